#pragma once
#include <memory>

class Camera;
class ViewCull;
struct BatchState;
struct GraphicGL;

// ---- logical pixels to device coordinates ----------------------------------
// Snaps to the whole pixel (truncating toward zero), takes the pixel's centre and
// flips y: ToDeviceX(0) = 1/W - 1, ToDeviceY(0) = 1 - 1/H for the logical screen W x H.
float ToDeviceX(float x);
float ToDeviceY(float y);

// ---- matrices ----------------------------------------------------------------
// 4x4 matrices are column-major as GL takes them; 2D transforms are row-major 3x3
// acting on column vectors (x, y, 1).
void SetIdentity4(float m[16]);
void SetIdentity3(float m[9]);
// Places the row-major 3x3 into the upper-left of a 4x4 identity.
void Place2DTransform(float out[16], const float m[9]);

// Vertex formats of the quads the renderer can gather into one draw call.
enum class QuadLayout : int {
  Basic,  // x, y, r, g, b, u, v (sprites, tiles)
  Sprite, // x, y, u, v (sprite sheets)
  Colour, // x, y, r, g, b, a (particles, solid rectangles)
  Text,   // x, y, u, v, six vertices a cell (glyphs)
};

// A drawable: a quad (or the drawable's own shape) of vertex data in device coordinates,
// drawn with a program shared by its kind, through a camera and an object transform.
// The basic layout is 7 floats a vertex: x, y (device), r, g, b, u, v; a quad is 4
// vertices (left-bottom, right-bottom, right-top, left-top) drawn as the triangles
// 0 1 2 and 2 3 0. Construction needs no GL; Init needs the context. Copies share the
// GPU objects until one of them runs Init again.
class Graphic {
public:
  Graphic() = default;
  // Copies bytes (rounded down to whole floats) of vertex data.
  Graphic(const float* data, int bytes);
  Graphic(const Graphic&) = default;
  Graphic& operator=(const Graphic&) = default;

  virtual ~Graphic() = default;
  // Creates the GPU objects and picks the basic program. Running it again gives the
  // graphic fresh GPU objects; the old ones go when nothing shares them.
  virtual void Init();
  // Draws the quad with the bound 2D texture (the caller binds it).
  virtual void Draw();
  // Draws from now on through the camera's view as it stands (a copy is kept).
  virtual void SetCamera(const Camera& camera);

  // ---- inspection ------------------------------------------------------------
  // The program the graphic draws with; 0 before Init, or when it did not build, and
  // then the graphic draws nothing.
  unsigned int Program() const;
  // The CPU copy of the vertex data, in the graphic's own layout.
  const float* VertexData() const { return vertices.get(); }
  // The view SetCamera last gave it, 4x4 column-major.
  const float* CameraView() const { return camera; }

protected:
  // A picture drawn through the batcher never uses a vertex array and buffer of its own, and
  // the driver spends kilobytes on each: InitDeferred looks up the program's inputs and leaves
  // them to MakeBuffers, which the first draw of the graphic's own runs.
  void InitDeferred(unsigned int program, int stride, const int offsets[3]);
  virtual void MakeBuffers() {}
  // Generates a vertex array and a vertex buffer (both left bound) and, if asked,
  // the quad's index buffer, replacing this graphic's share of the old ones. The
  // program and its locations start over with them.
  void NewBuffers(bool withQuadIndices);
  // Uploads the matrices and offset to whichever of the uniforms the program has.
  void UploadUniforms() const;
  // The end of every Init: looks up "camera", "objectTrans" and, when the program
  // has one, "texOffSet"; resets the matrices and offset; unbinds buffer and array.
  void FinishInit(bool withTexOffset);
  // Init has made the GPU objects.
  bool HasBuffers() const;
  // Init has made the GPU objects and the program built: a draw can be made.
  bool CanDraw() const;
  // Draws the quad's six indices with this graphic's program, buffers and uniforms;
  // the caller binds any texture. Nothing happens without a program or buffers.
  void DrawQuad() const;
  // Draws one quad whose vertices (data, in layout's format, bytes long, the same
  // data the graphic's own buffer holds) are the graphic's: nothing when the camera
  // cannot see it, gathered with its neighbours while batching, else uploaded if
  // stale and drawn alone with texture bound. False when culled.
  bool SubmitQuad(QuadLayout layout, unsigned int texture, const float* data, int bytes);
  // Moving a graphic while batching leaves its own buffer behind (the batch takes
  // the CPU copy); a draw of its own uploads it first. True when that was done now.
  bool DeferUpload();
  // Gives other the view this graphic was last given (an outline line draws through its picture's).
  void LendView(Graphic& other) const;
  // The vertex data, first unshared from copies: moving one copy must not move the
  // CPU data another copy uploads when it is initialised again.
  float* WritableVertices();

  // Uniform values, 4x4 column-major: the graphic's own transform (identity) and the view
  // SetCamera gave it.
  float objectTrans[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float camera[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float texOffset[2] = {0.0f, 0.0f};   // added to texture coordinates
  std::shared_ptr<float[]> vertices;   // CPU copy of the vertex data
  int vertexBytes = 0;                 // size of vertices in bytes
  std::shared_ptr<GraphicGL> gl;       // made by Init: GL objects, program, locations (RenderLocal.h)
  bool gpuStale = false;               // the own vertex buffer lags the CPU vertices

private:
  // The renderer's internals read what the graphic draws with.
  friend class ViewCull;
  friend BatchState GatherStateOf(const Graphic& g, QuadLayout layout, unsigned int texture);
};
