#pragma once
// Scenery that stays as it is while a level plays, drawn once into textures that each hold
// a square chunk of world space at one texel a logical pixel, and shown as a few opaque
// quads instead of hundreds of sprites.
//
// The chunks hold exactly what the screen would: the same draws, through a view shifted by
// whole pixels, over the same clear colour and with the same blending; shown texel for
// pixel with blending off, they give the screen's colours, alpha included. Where a view
// cannot be shown texel for pixel, Draw declines and the caller draws the layers itself.
#include <cstddef>
#include <functional>
#include <vector>

class Camera;

// ---- switch --------------------------------------------------------------------
// Off unless the environment variable KVO_BAKE is "1" at the first use (bench_levels and the
// tests set it themselves); off, Draw always declines and the scenery draws itself every frame.
void SetSceneryBake(bool on);
bool SceneryBakeOn();

// A rectangle of world space in logical pixels: [left, right) x [top, bottom).
struct WorldRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  bool Overlaps(const WorldRect& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
  void Include(const WorldRect& o);
};

class SceneryBake {
public:
  using DrawLayers = std::function<void(const Camera&)>;

  SceneryBake() = default;
  SceneryBake(const SceneryBake&) = delete;
  SceneryBake& operator=(const SceneryBake&) = delete;

  // Forgets what was drawn: from now on the chunks hold what `draw` puts over the clear
  // colour inside `area`; outside it nothing is shown (the screen's clear shows there).
  // Chunks are drawn when first in view, and those touching `seen` (where the view can
  // go; all of the area when empty) one a frame ahead of it, nearest first, so a build
  // costs nothing. Textures are kept for the next chunks.
  void Reset(const WorldRect& area, const float clearColour[3], DrawLayers draw, const WorldRect& seen = {});
  // Chunks touching `area` are drawn again when next needed.
  void Invalidate(const WorldRect& area);
  // Shows the scenery through the camera, drawing the chunks in view that are missing
  // first, two a frame. False, with nothing shown, while chunks in view are still missing,
  // when the view cannot be shown texel for pixel (a zoom, a turn, a view between pixels
  // as in a shake, a picture scaled to its window), when the switch is off or nothing was
  // handed to Reset.
  bool Draw(const Camera& camera);
  // Deletes the textures and forgets the area and the layers; call it while the context
  // is current.
  void Release();

  // ---- inspection ----------------------------------------------------------------
  size_t TextureBytes() const;         // held now
  long ChunksDrawn() const { return drawnChunks; } // chunk bakes since the last Reset
  bool Shown() const { return shown; }             // the last Draw showed the chunks
  static constexpr int CHUNK = 512;    // a chunk's side, logical pixels
  static constexpr size_t MAX_BYTES = size_t{64} << 20; // the textures never hold more

private:
  struct Chunk {
    unsigned int texture = 0;
    bool drawn = false;
    long lastShown = -1; // frame number
  };
  Chunk* ChunkAt(int column, int row);
  void DrawChunk(int column, int row);
  bool TakeTexture(Chunk& chunk);
  void ForgetOldContext(); // names of a context that has gone are dropped, not deleted
  void ShowChunk(const Camera& camera, int column, int row, unsigned int texture);
  void BakeOneAhead(float centreX, float centreY);

  WorldRect area;
  WorldRect ahead;                  // where chunks are baked before they are in view
  int columns = 0;
  int rows = 0;
  std::vector<Chunk> chunks;
  std::vector<unsigned int> spare;  // textures of no chunk, kept for the next
  float clear[3] = {0.0f, 0.0f, 0.0f};
  DrawLayers layers;
  unsigned int framebuffer = 0;
  unsigned int context = 0;         // GLContextGeneration the GL names belong to
  size_t textures = 0;              // made and not deleted
  long frame = 0;
  long drawnChunks = 0;
  bool shown = false;
};
