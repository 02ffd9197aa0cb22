#version 330 core
in vec2 uv;

uniform sampler2D glyph;
uniform vec3 textColor;

out vec4 outColor;

void main() {
  outColor = vec4(textColor, texture(glyph, uv).r);
}
