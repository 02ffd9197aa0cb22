#version 330 core
// Sprites: position in device units, a colour added to the picture, its coordinates.
in vec2 position;
in vec3 color;
in vec2 texcoord;

uniform mat4 camera;
uniform mat4 objectTrans;
uniform vec2 texOffSet;

out vec3 tint;
out vec2 uv;

void main() {
  vec4 p = camera * objectTrans * vec4(position, 1.0, 1.0);
  gl_Position = vec4(p.xy, 0.0, 1.0);
  tint = color;
  uv = texcoord + texOffSet;
}
