#pragma once
// Helpers shared by the drawables' sources; not for use outside src/render.
#include <GL/glew.h>

#include <climits>

// Enables attribute name of program on the bound vertex array; -1 (and nothing
// enabled) when the program has no such active attribute, so a shader that
// optimised an input away costs a missing effect rather than a GL error.
GLint BindAttribute(GLuint program, const char* name, GLint floats, GLsizei stride, GLsizei offset);
// glGetUniformLocation that tolerates program 0.
GLint UniformLocation(GLuint program, const char* name);

// The quad's triangles 0-1-2 and 2-3-0 in a new static index buffer bound to the
// current vertex array.
GLuint MakeQuadIndexBuffer();

// The whole part of v as an int, held at int's limits (NaN gives 0): positions from a
// damaged file can be far beyond them, where the plain cast is undefined.
inline int TruncateToInt(float v) {
  if (!(v == v)) return 0;
  if (v >= 2147483648.0f) return INT_MAX;
  if (v <= -2147483648.0f) return INT_MIN;
  return static_cast<int>(v);
}
