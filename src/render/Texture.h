#pragma once
#include <string>
#include <vector>

#include "core/Vec3.h"
#include "render/Graphic.h"
#include "render/Line.h"

// The game's sprite: a quad with an image, placed in logical pixels, plus the four
// lines of its outline for the debug view. Images come from PNG (format non-zero) or
// 24-bit BMP (format 0) files and are shared through the texture cache.
// Constructing with a path loads the image, so the GL context must exist.
class Texture : public Graphic {
public:
  Texture();
  // path may be null (a quad without image); position is the centre, z kept in depth.
  Texture(const char* path, int format, const Vec3& position, int halfWidth, int halfHeight);

  void Init() override;  // buffers and program; the outline's lines wait until first shown
  void Draw() override;  // the image, then the outline while showOutline
  // The quad's corners in logical pixels, as the (possibly rotated) rectangle
  // p0 left-bottom, p1 right-bottom, p2 left-top, p3 right-top; sizes follow its edges.
  virtual void SetCorners(const Vec3& p0, float z0, const Vec3& p1, float z1, const Vec3& p2, float z2,
                          const Vec3& p3, float z3);
  // Moves the unrotated quad so that its centre is p.
  virtual void SetPosition(const Vec3& p, float z);

  // Shows another image file (loaded by the loader format selects).
  void SetImage(const char* newPath);
  // Both set textureName, imageWidth and imageHeight; 0 when the file fails.
  unsigned int LoadPng(const char* file);
  unsigned int LoadBmp(const char* file);

  float center[2] = {0.0f, 0.0f};   // logical pixels
  float depth = 0.0f;               // z handed in with the position; not used for drawing
  Vec3 corners[4];                  // device coordinates as first built: LB, RB, LT, RT
  int halfWidth = 0;                // logical pixels
  int halfHeight = 0;
  float quadVertices[28] = {};      // the initial vertex data
  unsigned int textureName = 0;     // GL name; 0 draws without image
  int imageWidth = 0;               // pixels of the loaded image
  int imageHeight = 0;
  int format = 1;                   // non-zero PNG, 0 BMP
  bool opaqueImage = false;         // the loaded image has no alpha: every texel is opaque
  std::string path;                 // the image file, empty when there is none
  Line outline[4];                  // bottom, left, right, top; drawn through the picture's view
  bool showOutline = false;
  bool drawIndexed = false;         // a draw index files it by its place: placing it counts (IndexedPlacements)

  // The box of the quad as its draw tests it against the view: min x, min y, max x,
  // max y in device units, before the camera.
  virtual void DeviceBox(float box[4]) const;

protected:
  void MakeBuffers() override;
  // The box of four x, y positions stride floats apart.
  static void BoxOf(const float* data, int stride, float box[4]);
  // Takes the four vertex positions (x, y in device units, vertex order LB, RB, RT, LT)
  // and hands them to the GPU. Each drawable keeps its positions in its own layout.
  virtual void StoreQuad(const float positions[8]);
  // The outline's lines through the picture's own view, when showOutline asks for them.
  void DrawOutline();
  // Writes the positions into the basic-layout vertex data only.
  void WriteQuadPositions(const float positions[8]);
  // Copies quadVertices into the Graphic vertex data and colours the outline.
  void AdoptQuad();
  // Puts the outline on the rectangle of centre (x, y) and the current half sizes.
  void PlaceOutline(float x, float y);
};

// How many times a picture with drawIndexed set has been placed since start-up; an index
// that reads another count than when it filed its pictures files them again.
unsigned long IndexedPlacements();

// Outlines of many pictures sent as one draw call per view: the editor's selection, which
// may outline a whole level at once. Each picture's four lines go through the view the
// picture was last given, in the batch's colour, over what was drawn before.
class OutlineBatch {
public:
  explicit OutlineBatch(const float color[3]);
  ~OutlineBatch();
  OutlineBatch(const OutlineBatch&) = delete;
  OutlineBatch& operator=(const OutlineBatch&) = delete;

  void Add(const Texture& picture); // a picture under another view sends what came before
  void Draw();                      // sends what was added

private:
  std::vector<float> ends;   // x1, y1, x2, y2 a line, device units
  float camera[16] = {};     // the view of what ends holds
  float color[3] = {};
  unsigned vertexArray = 0;
  unsigned vertexBuffer = 0;
  unsigned context = 0;      // GLContextGeneration the GL objects were made in
};
