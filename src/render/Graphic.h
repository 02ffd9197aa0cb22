#pragma once
#include <memory>

class Camera;

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

// GPU objects of one graphic, shared by its copies and deleted with the last of them.
struct GraphicBuffers {
  unsigned int vertexArray = 0;
  unsigned int vertexBuffer = 0;
  unsigned int indexBuffer = 0;
  unsigned int ownProgram = 0; // a program only this graphic uses (text), or 0
  GraphicBuffers() = default;
  GraphicBuffers(const GraphicBuffers&) = delete;
  GraphicBuffers& operator=(const GraphicBuffers&) = delete;
  ~GraphicBuffers();
};

// A drawable: vertex array, vertex and index buffers, a (usually shared) program and
// its uniforms. The basic layout is 7 floats a vertex: x, y (device), r, g, b, u, v;
// a quad is 4 vertices (left-bottom, right-bottom, right-top, left-top) and the
// indices 0 1 2 2 3 0. Construction needs no GL; Init needs the context.
// Copies share the GPU objects until one of them runs Init again.
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

  unsigned int vertexArray = 0;
  unsigned int vertexBuffer = 0;
  unsigned int indexBuffer = 0;
  unsigned int program = 0;        // shared; 0 draws nothing
  unsigned int fragmentShader = 0; // only the text graphic builds its own program
  unsigned int vertexShader = 0;
  int cameraLocation = -1;         // "camera"
  int objectTransLocation = -1;    // "objectTrans"
  int texOffSetLocation = -1;      // "texOffSet"
  std::shared_ptr<float[]> vertices; // CPU copy of the vertex data
  int positionLocation = -1;       // "position" (the text program's "vertex")
  int colorLocation = -1;          // "color"
  int texcoordLocation = -1;       // "texcoord"
  int vertexBytes = 0;             // size of vertices in bytes
  float objectTrans[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float camera[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float texOffset[2] = {0.0f, 0.0f};

protected:
  // Generates a vertex array and a vertex buffer (both left bound) and, if asked,
  // the quad's index buffer, replacing this graphic's share of the old ones.
  void NewBuffers(bool withQuadIndices);
  // Uploads the matrices and offset to whichever of the uniforms the program has.
  void UploadUniforms() const;
  // The end of every Init: looks up "camera", "objectTrans" and, when the program
  // has one, "texOffSet"; resets the matrices and offset; unbinds buffer and array.
  void FinishInit(bool withTexOffset);
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
  // The vertex data, first unshared from copies: moving one copy must not move the
  // CPU data another copy uploads when it is initialised again.
  float* WritableVertices();

  std::shared_ptr<GraphicBuffers> buffers;
  bool gpuStale = false; // the own vertex buffer lags the CPU vertices
};
