#pragma once
// Helpers shared by the drawables' sources; not for use outside src/render.
#include <GL/glew.h>

#include <climits>

#include "render/Graphic.h"

// ---- the GL side of a graphic ----------------------------------------------------

// What a graphic's Init made and looked up: its GL objects, the program it draws with and
// where that program takes its inputs (-1 where it has none). Copies of a graphic share
// it until one of them runs Init again; the vertex array and buffers, and a program of
// the graphic's own, are deleted with the last of them.
struct GraphicGL {
  GLuint vertexArray = 0;
  GLuint vertexBuffer = 0;
  GLuint indexBuffer = 0;         // QuadIndexBuffer(), shared, or 0 (lines and text have none)
  GLuint program = 0;             // usually a shared one; 0 draws nothing
  GLuint ownProgram = 0;          // a program only this graphic uses (text), or 0
  GLint positionLocation = -1;    // "position" (the line and text programs' "vertex")
  GLint colorLocation = -1;       // "color"
  GLint texcoordLocation = -1;    // "texcoord"
  GLint cameraLocation = -1;      // "camera"
  GLint objectTransLocation = -1; // "objectTrans"
  GLint texOffsetLocation = -1;   // "texOffSet"
  GLsizei stride = 0;             // bytes a vertex, for a deferred graphic's MakeBuffers
  GLsizei offsets[3] = {};        // of position, colour, texcoord within a vertex
  bool deferred = false;          // the vertex array and buffer wait for a draw of the graphic's own

  GraphicGL() = default;
  GraphicGL(const GraphicGL&) = delete;
  GraphicGL& operator=(const GraphicGL&) = delete;
  ~GraphicGL();
};

// Enables attribute name of program on the bound vertex array; -1 (and nothing
// enabled) when the program has no such active attribute, so a shader that
// optimised an input away costs a missing effect rather than a GL error.
GLint BindAttribute(GLuint program, const char* name, GLint floats, GLsizei stride, GLsizei offset);
// Makes a deferred graphic's vertex array (left bound) with the quad's index buffer and the
// attribute pointers its Init looked up, and its vertex buffer holding bytes of data.
void MakeDeferredBuffers(GraphicGL& gl, const float* data, int bytes);
// glGetUniformLocation that tolerates program 0.
GLint UniformLocation(GLuint program, const char* name);

// The quad's triangles 0-1-2 and 2-3-0: the one static index buffer of the current GL
// context, bound to the current vertex array. Shared: no graphic deletes it.
GLuint QuadIndexBuffer();

// The whole part of v as an int, held at int's limits (NaN gives 0): positions from a
// damaged file can be far beyond them, where the plain cast is undefined.
inline int TruncateToInt(float v) {
  if (!(v == v)) return 0;
  if (v >= 2147483648.0f) return INT_MAX;
  if (v <= -2147483648.0f) return INT_MIN;
  return static_cast<int>(v);
}

// ---- gathering draws (DrawBatch.cpp) -------------------------------------------

// What a gathered draw needs to match the one before it to share its draw call.
// Uniform values are compared only where the program has the uniform.
struct BatchState {
  GLuint program = 0;
  GLuint texture = 0;                      // bound on unit 0 for the draw; 0 untextured
  QuadLayout layout = QuadLayout::Basic;
  GLint attributes[3] = {-1, -1, -1};      // locations of the layout's attributes, in layout order
  GLint cameraLocation = -1;
  GLint objectTransLocation = -1;
  GLint texOffsetLocation = -1;
  GLint colorLocation = -1;                // a vec3 colour uniform (the text's "textColor")
  const float* camera = nullptr;           // 16 floats
  const float* objectTrans = nullptr;      // 16 floats
  const float* texOffset = nullptr;        // 2 floats
  const float* color = nullptr;            // 3 floats
};

// The state a graphic's quads gather under: its program, the layout's attributes in
// layout order, its uniforms and the texture.
BatchState GatherStateOf(const Graphic& g, QuadLayout layout, GLuint texture);

// Floats one quad takes in a layout (text cells are six vertices, the rest four).
int QuadFloats(QuadLayout layout);
// Room for up to quads quads drawn with state, to be written in the layout's vertex
// format; what was gathered under another state goes to the GPU first.
float* BeginBatchQuads(const BatchState& state, int quads);
// How many of the reserved quads were written.
void EndBatchQuads(int written);
// Counts a draw call made outside the batcher.
void CountDirectDraw(int quads);
void CountCulled(int quads);

// ---- what the camera sees ------------------------------------------------------------

// camera * objectTrans as the vertex shaders apply it, kept as the 2 x 3 that moves x, y.
struct ViewTransform {
  float m[6] = {1, 0, 0, 0, 1, 0}; // x' = m0 x + m1 y + m2, y' = m3 x + m4 y + m5
};
ViewTransform MakeViewTransform(const float camera[16], const float objectTrans[16]);
// True when every point (x, y at data + i * stride) lands wholly beyond one edge of
// the view, with a margin wide enough for smoothed outlines.
bool OutsideView(const ViewTransform& t, const float* data, int points, int stride);
// The same for a square of half side s around (x, y).
bool SquareOutsideView(const ViewTransform& t, float x, float y, float s);

// The one place a drawable decides whether its camera can see a quad: what it cannot
// see is counted as culled and skipped. Taken once per Draw, from the graphic's
// camera and object transform as they stand.
class ViewCull {
public:
  explicit ViewCull(const Graphic& g) : view(MakeViewTransform(g.camera, g.objectTrans)) {}
  // points vertices at data, x and y first in each stride floats.
  bool Skips(const float* data, int points, int stride) const;
  // A square of half side half around (x, y).
  bool SkipsSquare(float x, float y, float half) const;

private:
  ViewTransform view;
};
