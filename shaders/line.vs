#version 330 core
// Debug outlines: two ends in device units.
in vec2 vertex;

uniform mat4 camera;

void main() {
  vec4 p = camera * vec4(vertex, 1.0, 1.0);
  gl_Position = vec4(p.xy, 0.0, 1.0);
}
