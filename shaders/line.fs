#version 330 core
uniform vec3 lineColor;

out vec4 outColor;

void main() {
  outColor = vec4(lineColor, 1.0);
}
