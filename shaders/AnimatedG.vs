#version 330 core
// Sprite-sheet frames: position in device units, coordinates inside the sheet.
in vec2 position;
in vec2 texcoord;

uniform mat4 camera;
uniform mat4 objectTrans;

out vec2 uv;

void main() {
  vec4 p = camera * objectTrans * vec4(position, 1.0, 1.0);
  gl_Position = vec4(p.xy, 0.0, 1.0);
  uv = texcoord;
}
