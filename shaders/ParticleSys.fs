#version 330 core
in vec4 fill;

out vec4 outColor;

void main() {
  outColor = fill;
}
