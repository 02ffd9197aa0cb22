#version 330 core
in vec3 tint;
in vec2 uv;

uniform sampler2D picture;

out vec4 outColor;

void main() {
  vec4 texel = texture(picture, uv);
  outColor = vec4(min(texel.rgb + tint, vec3(1.0)), texel.a);
}
