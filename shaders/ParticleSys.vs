#version 330 core
// Particles and solid rectangles: position in device units and a colour with alpha.
in vec2 position;
in vec4 color;

uniform mat4 camera;
uniform mat4 objectTrans;
uniform vec2 texOffSet; // shared uniform set; nothing here is textured

out vec4 fill;

void main() {
  vec4 p = camera * objectTrans * vec4(position, 1.0, 1.0);
  gl_Position = vec4(p.xy, 0.0, 1.0);
  fill = color;
}
