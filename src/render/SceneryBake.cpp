#include "render/SceneryBake.h"
#include "render/TextureCache.h"
#include "core/Window.h"
#include "platform/Display.h"
#include "render/Camera.h"
#include "render/DrawBatch.h"
#include "render/RenderLocal.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

// ============================================================================
// Switch
// ============================================================================

namespace {

struct BakeSwitch {
  bool read = false;
  bool on = false;
};
BakeSwitch s_switch;

void ReadSwitch() {
  if (s_switch.read) return;
  s_switch.read = true;
  const char* env = std::getenv("KVO_BAKE");
  // Off unless asked for: it can only run where the picture is not scaled, which no display
  // mode of the game gives, and its chunks hold tens of MB (bench_levels measures both ways).
  s_switch.on = env && std::strcmp(env, "1") == 0;
}

constexpr long CHUNKS_A_FRAME = 2; // chunks a frame may draw for the view
constexpr size_t CHUNK_BYTES = size_t{SceneryBake::CHUNK} * SceneryBake::CHUNK * 4;
// A view this close to a whole pixel rounds to it exactly on the way to the rasterizer,
// whose grid is a 256th of a pixel.
constexpr double PIXEL_SLACK = 1.0 / 1024.0;

// A basic-program quad that shows one chunk's texture: its edges fall on pixel edges and
// its texels on pixel centres, so nearest sampling takes each texel exactly once.
class ChunkQuad : public Graphic {
public:
  ChunkQuad() : Graphic(nullptr, 28 * sizeof(float)) {}
  void Show(const Camera& view, const float quad[28], GLuint texture) {
    SetCamera(view);
    glBindBuffer(GL_ARRAY_BUFFER, gl->vertexBuffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, 28 * sizeof(float), quad);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, texture);
    DrawQuad();
    glBindTexture(GL_TEXTURE_2D, 0);
    CountDirectDraw(1);
  }
  bool Ready() const { return CanDraw(); }
};

struct QuadHolder {
  std::unique_ptr<ChunkQuad> quad;
  unsigned context = 0;
};
QuadHolder s_quad;

ChunkQuad* Quad() {
  if (s_quad.quad && s_quad.context == GLContextGeneration()) return s_quad.quad.get();
  if (s_quad.quad && s_quad.context != GLContextGeneration()) {
    (void)s_quad.quad.release(); // its names went with the old context
  }
  s_quad.quad = std::make_unique<ChunkQuad>();
  s_quad.quad->Init();
  s_quad.context = GLContextGeneration();
  return s_quad.quad.get();
}

// Where the view's centre is, in world pixels, when it is a plain shift by whole
// pixels of a logical screen shown at its own size; false otherwise.
bool WholePixelView(const Camera& camera, int& x, int& y) {
  const float* v = camera.view;
  if (v[0] != 1.0f || v[1] != 0.0f || v[3] != 0.0f || v[4] != 1.0f) return false;
  const int w = g_screen.width, h = g_screen.height;
  if (w <= 0 || h <= 0 || w % 2 || h % 2) return false; // an odd side puts pixel edges on centres
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  // Scaled to the window, world pixels land between window pixels where the layers and a
  // chunk's texels round differently: only the picture at its own size is exact.
  if (viewport[2] != w || viewport[3] != h) return false;
  // The inverse of ToDeviceX / ToDeviceY for the view's shift.
  const double cx = (-static_cast<double>(v[2]) + 1.0) * w / 2 - 0.5;
  const double cy = h - 0.5 - (-static_cast<double>(v[5]) + 1.0) * h / 2;
  const double rx = std::round(cx), ry = std::round(cy);
  if (std::fabs(cx - rx) > PIXEL_SLACK || std::fabs(cy - ry) > PIXEL_SLACK) return false;
  if (std::fabs(rx) > 1e8 || std::fabs(ry) > 1e8) return false;
  x = static_cast<int>(rx);
  y = static_cast<int>(ry);
  return true;
}

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

} // namespace

void SetSceneryBake(bool on) {
  ReadSwitch();
  s_switch.on = on;
}

bool SceneryBakeOn() {
  ReadSwitch();
  return s_switch.on;
}

void WorldRect::Include(const WorldRect& o) {
  if (o.Empty()) return;
  if (Empty()) {
    *this = o;
    return;
  }
  left = std::min(left, o.left);
  top = std::min(top, o.top);
  right = std::max(right, o.right);
  bottom = std::max(bottom, o.bottom);
}

// ============================================================================
// Chunks
// ============================================================================

void SceneryBake::ForgetOldContext() {
  if (context == GLContextGeneration()) return;
  for (Chunk& c : chunks) c = Chunk{};
  spare.clear();
  framebuffer = 0;
  textures = 0;
  context = GLContextGeneration();
}

void SceneryBake::Reset(const WorldRect& newArea, const float clearColour[3], DrawLayers draw,
                        const WorldRect& seen) {
  ForgetOldContext();
  ahead = seen;
  for (Chunk& c : chunks)
    if (c.texture) spare.push_back(c.texture);
  chunks.clear();
  area = newArea;
  layers = std::move(draw);
  std::copy(clearColour, clearColour + 3, clear);
  columns = area.Empty() ? 0 : (area.right - area.left + CHUNK - 1) / CHUNK;
  rows = area.Empty() ? 0 : (area.bottom - area.top + CHUNK - 1) / CHUNK;
  chunks.assign(static_cast<size_t>(columns) * static_cast<size_t>(rows), Chunk{});
  drawnChunks = 0;
}

void SceneryBake::Invalidate(const WorldRect& changed) {
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column) {
      const WorldRect box{area.left + column * CHUNK, area.top + row * CHUNK, area.left + (column + 1) * CHUNK,
                          area.top + (row + 1) * CHUNK};
      if (box.Overlaps(changed)) ChunkAt(column, row)->drawn = false;
    }
}

size_t SceneryBake::TextureBytes() const { return textures * CHUNK_BYTES; }

SceneryBake::Chunk* SceneryBake::ChunkAt(int column, int row) {
  if (column < 0 || row < 0 || column >= columns || row >= rows) return nullptr;
  return &chunks[static_cast<size_t>(row) * columns + column];
}

// A texture for the chunk: a spare one, a new one within the budget, or the one of the
// chunk shown longest ago (never one shown this frame).
bool SceneryBake::TakeTexture(Chunk& chunk) {
  if (chunk.texture) return true;
  if (!spare.empty()) {
    chunk.texture = spare.back();
    spare.pop_back();
    return true;
  }
  if ((textures + 1) * CHUNK_BYTES <= MAX_BYTES) {
    chunk.texture = MakeNearestTexture(GL_RGBA8, CHUNK, CHUNK, GL_RGBA, nullptr);
    ++textures;
    return true;
  }
  Chunk* oldest = nullptr;
  for (Chunk& c : chunks)
    if (c.texture && c.lastShown < frame && (!oldest || c.lastShown < oldest->lastShown)) oldest = &c;
  if (!oldest) return false;
  chunk.texture = oldest->texture;
  oldest->texture = 0;
  oldest->drawn = false;
  return true;
}

// Draws the layers into the chunk through a view that puts the chunk's top-left world
// pixel at the bottom-left of a logical-screen-sized viewport: the screen's own mapping,
// shifted by whole pixels.
void SceneryBake::DrawChunk(int column, int row) {
  Chunk* chunk = ChunkAt(column, row);
  if (!chunk || !TakeTexture(*chunk)) return;
  const int w = g_screen.width, h = g_screen.height;
  const int left = area.left + column * CHUNK, top = area.top + row * CHUNK;
  Camera view(0.0f, 0.0f, 1.0f);
  view.SetPosition(static_cast<float>(left + w / 2), static_cast<float>(top + CHUNK - h / 2));

  FlushDrawing();
  GLint previousFramebuffer = 0, viewport[4] = {0, 0, 0, 0};
  GLfloat previousClear[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousFramebuffer);
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetFloatv(GL_COLOR_CLEAR_VALUE, previousClear);
  const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
  if (!framebuffer) glGenFramebuffers(1, &framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, chunk->texture, 0);
  if (scissor) glDisable(GL_SCISSOR_TEST);
  glViewport(0, 0, w, h);
  glClearColor(clear[0], clear[1], clear[2], 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  if (layers) layers(view);
  FlushDrawing();
  glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
  glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
  glClearColor(previousClear[0], previousClear[1], previousClear[2], previousClear[3]);
  if (scissor) glEnable(GL_SCISSOR_TEST);
  chunk->drawn = true;
  ++drawnChunks;
}

void SceneryBake::ShowChunk(const Camera& camera, int column, int row, unsigned int texture) {
  const float left = static_cast<float>(area.left + column * CHUNK), top = static_cast<float>(area.top + row * CHUNK);
  const float l = ToDeviceX(left), r = ToDeviceX(left + CHUNK);
  const float b = ToDeviceY(top + CHUNK), t = ToDeviceY(top);
  const float quad[28] = {l, b, 0, 0, 0, 0, 0, r, b, 0, 0, 0, 1, 0, r, t, 0, 0, 0, 1, 1, l, t, 0, 0, 0, 0, 1};
  Quad()->Show(camera, quad, texture);
}

// One chunk of the area not yet drawn, the nearest to the view's centre: by the time the
// view comes to it, it is ready.
void SceneryBake::BakeOneAhead(float centreX, float centreY) {
  int best = -1;
  float bestDistance = 0.0f;
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column) {
      const Chunk& c = chunks[static_cast<size_t>(row) * columns + column];
      if (c.drawn) continue;
      const WorldRect box{area.left + column * CHUNK, area.top + row * CHUNK, area.left + (column + 1) * CHUNK,
                          area.top + (row + 1) * CHUNK};
      if (!ahead.Empty() && !box.Overlaps(ahead)) continue;
      const float dx = area.left + (column + 0.5f) * CHUNK - centreX, dy = area.top + (row + 0.5f) * CHUNK - centreY;
      const float d = dx * dx + dy * dy;
      if (best < 0 || d < bestDistance) best = row * columns + column, bestDistance = d;
    }
  if (best < 0) return;
  // Only while the budget has room: never push out a chunk to bake one ahead.
  if (spare.empty() && (textures + 1) * CHUNK_BYTES > MAX_BYTES && !chunks[best].texture) return;
  DrawChunk(best % columns, best / columns);
}

bool SceneryBake::Draw(const Camera& camera) {
  shown = false;
  if (!SceneryBakeOn() || chunks.empty()) return false;
  ForgetOldContext();
  int cx = 0, cy = 0;
  if (!WholePixelView(camera, cx, cy)) return false;
  if (!Quad()->Ready()) return false;
  ++frame;
  const int w = g_screen.width, h = g_screen.height;
  const int firstColumn = std::max(0, FloorDiv(cx - w / 2 - area.left, CHUNK));
  const int lastColumn = std::min(columns - 1, FloorDiv(cx + w / 2 - 1 - area.left, CHUNK));
  const int firstRow = std::max(0, FloorDiv(cy - h / 2 - area.top, CHUNK));
  const int lastRow = std::min(rows - 1, FloorDiv(cy + h / 2 - 1 - area.top, CHUNK));
  const long before = drawnChunks;
  bool ready = true;
  for (int row = firstRow; row <= lastRow; ++row)
    for (int column = firstColumn; column <= lastColumn; ++column) {
      Chunk* c = ChunkAt(column, row);
      c->lastShown = frame;
      if (!c->drawn && drawnChunks - before < CHUNKS_A_FRAME) DrawChunk(column, row);
      ready = ready && c->drawn;
    }
  // Until every chunk in view is there (a new level, a jump of the view), the layers draw
  // themselves: a frame never pays for more than a couple of chunks.
  if (!ready) return false;
  FlushDrawing();
  // The chunks are opaque: what they show replaces the screen's clear.
  const GLboolean blending = glIsEnabled(GL_BLEND);
  if (blending) glDisable(GL_BLEND);
  for (int row = firstRow; row <= lastRow; ++row)
    for (int column = firstColumn; column <= lastColumn; ++column) {
      const Chunk* c = ChunkAt(column, row);
      if (c->texture && c->drawn) ShowChunk(camera, column, row, c->texture);
    }
  if (blending) glEnable(GL_BLEND);
  if (drawnChunks == before) BakeOneAhead(static_cast<float>(cx), static_cast<float>(cy));
  shown = true;
  return true;
}

void SceneryBake::Release() {
  if (context == GLContextGeneration()) {
    for (Chunk& c : chunks)
      if (c.texture) glDeleteTextures(1, &c.texture);
    for (GLuint name : spare) glDeleteTextures(1, &name);
    if (framebuffer) glDeleteFramebuffers(1, &framebuffer);
  }
  chunks.clear();
  columns = rows = 0;
  area = ahead = WorldRect{};
  layers = nullptr;
  spare.clear();
  framebuffer = 0;
  textures = 0;
}
