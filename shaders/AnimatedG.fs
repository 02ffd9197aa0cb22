#version 330 core
in vec2 uv;

uniform sampler2D sheet;

out vec4 outColor;

void main() {
  outColor = texture(sheet, uv);
}
