#version 330 core
// Text cells arrive in device units (x, y) with the glyph's coordinates (u, v);
// text is drawn in screen space, so the camera is declared but not applied.
in vec4 vertex;

uniform mat4 camera;

out vec2 uv;

void main() {
  gl_Position = vec4(vertex.xy, 0.0, 1.0);
  uv = vertex.zw;
}
