#include "render/DrawBatch.h"
#include "platform/Display.h"
#include "render/Camera.h"
#include "render/RenderLocal.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

// ============================================================================
// Batch state
// ============================================================================

namespace {

// A batch never grows past this many quads; the index buffer covers them all.
constexpr int MAX_BATCH_QUADS = 8192;
constexpr int LAYOUTS = 4;
// Beyond the view by this much (device units, about ten pixels) is surely unseen,
// smoothed outline edges included.
constexpr float VIEW_MARGIN = 1.0f / 64.0f;

struct LayoutFormat {
  int floatsPerVertex;
  int verticesPerQuad;
  bool indexed;
  int attributeFloats[3]; // per attribute, in layout order; 0 = none
};

// Basic x y r g b u v; sprite x y u v; colour x y r g b a; text x y u v as six vertices.
const LayoutFormat FORMATS[LAYOUTS] = {
    {7, 4, true, {2, 3, 2}},
    {4, 4, true, {2, 2, 0}},
    {6, 4, true, {2, 4, 0}},
    {4, 6, false, {4, 0, 0}},
};

const LayoutFormat& FormatOf(QuadLayout layout) { return FORMATS[static_cast<int>(layout)]; }

// The values a pending batch was gathered under, copied: the graphics may change or
// go before the batch is sent.
struct PendingState {
  BatchState key;
  float camera[16] = {};
  float objectTrans[16] = {};
  float texOffset[2] = {};
  float color[3] = {};
};

struct LayoutObjects {
  GLuint vertexArray = 0;
  GLuint vertexBuffer = 0;
  GLuint program = 0;          // the program the attribute pointers were set up for
  GLint attributes[3] = {-1, -1, -1};
};

struct Batcher {
  bool switchRead = false;
  bool on = true;
  bool hooked = false;         // flushes before every swap
  PendingState pending;
  int quads = 0;               // gathered under pending
  int reserved = 0;            // quads promised to the open BeginBatchQuads
  std::vector<float> vertices; // reserved once for a full batch
  LayoutObjects layouts[LAYOUTS];
  GLuint indexBuffer = 0;
  unsigned context = 0;        // GLContextGeneration the objects were made in
};

Batcher s_batch;
DrawCounters s_counters;

void ReadSwitch() {
  if (s_batch.switchRead) return;
  s_batch.switchRead = true;
  const char* env = std::getenv("KVO_BATCHING");
  s_batch.on = !(env && std::strcmp(env, "0") == 0);
}

bool SameValues(GLint location, const float* a, const float* b, int n) {
  if (location < 0) return true;
  if (!a || !b) return a == b;
  return std::memcmp(a, b, sizeof(float) * static_cast<size_t>(n)) == 0;
}

bool Matches(const PendingState& p, const BatchState& s) {
  const BatchState& k = p.key;
  return k.program == s.program && k.texture == s.texture && k.layout == s.layout &&
         std::equal(k.attributes, k.attributes + 3, s.attributes) && k.cameraLocation == s.cameraLocation &&
         k.objectTransLocation == s.objectTransLocation && k.texOffsetLocation == s.texOffsetLocation &&
         k.colorLocation == s.colorLocation && SameValues(s.cameraLocation, p.camera, s.camera, 16) &&
         SameValues(s.objectTransLocation, p.objectTrans, s.objectTrans, 16) &&
         SameValues(s.texOffsetLocation, p.texOffset, s.texOffset, 2) &&
         SameValues(s.colorLocation, p.color, s.color, 3);
}

void Adopt(PendingState& p, const BatchState& s) {
  p.key = s;
  if (s.camera) std::memcpy(p.camera, s.camera, sizeof p.camera);
  if (s.objectTrans) std::memcpy(p.objectTrans, s.objectTrans, sizeof p.objectTrans);
  if (s.texOffset) std::memcpy(p.texOffset, s.texOffset, sizeof p.texOffset);
  if (s.color) std::memcpy(p.color, s.color, sizeof p.color);
  p.key.camera = s.camera ? p.camera : nullptr;
  p.key.objectTrans = s.objectTrans ? p.objectTrans : nullptr;
  p.key.texOffset = s.texOffset ? p.texOffset : nullptr;
  p.key.color = s.color ? p.color : nullptr;
}

GLuint MakeBatchIndexBuffer() {
  std::vector<GLuint> indices(static_cast<size_t>(MAX_BATCH_QUADS) * 6);
  for (GLuint q = 0; q < static_cast<GLuint>(MAX_BATCH_QUADS); ++q) {
    const GLuint base = q * 4;
    const GLuint quad[6] = {base, base + 1, base + 2, base + 2, base + 3, base};
    std::copy(quad, quad + 6, indices.begin() + q * 6);
  }
  GLuint buffer = 0;
  glGenBuffers(1, &buffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)), indices.data(),
               GL_STATIC_DRAW);
  return buffer;
}

// The layout's vertex array, with its pointers set up for the program's attributes.
void BindLayout(QuadLayout layout, const BatchState& key) {
  LayoutObjects& o = s_batch.layouts[static_cast<int>(layout)];
  const LayoutFormat& f = FormatOf(layout);
  if (!o.vertexArray) {
    glGenVertexArrays(1, &o.vertexArray);
    glBindVertexArray(o.vertexArray);
    glGenBuffers(1, &o.vertexBuffer);
    if (f.indexed) {
      if (!s_batch.indexBuffer) s_batch.indexBuffer = MakeBatchIndexBuffer();
      glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s_batch.indexBuffer);
    }
  } else {
    glBindVertexArray(o.vertexArray);
  }
  glBindBuffer(GL_ARRAY_BUFFER, o.vertexBuffer);
  if (o.program == key.program && std::equal(o.attributes, o.attributes + 3, key.attributes)) return;
  for (GLint location : o.attributes)
    if (location >= 0) glDisableVertexAttribArray(location);
  const GLsizei stride = f.floatsPerVertex * static_cast<GLsizei>(sizeof(float));
  int offset = 0;
  for (int a = 0; a < 3 && f.attributeFloats[a] > 0; ++a) {
    const GLint location = key.attributes[a];
    if (location >= 0) {
      glEnableVertexAttribArray(location);
      glVertexAttribPointer(location, f.attributeFloats[a], GL_FLOAT, GL_FALSE, stride,
                            reinterpret_cast<const void*>(static_cast<intptr_t>(offset * sizeof(float))));
    }
    offset += f.attributeFloats[a];
  }
  o.program = key.program;
  std::copy(key.attributes, key.attributes + 3, o.attributes);
}

// Objects of a context that has gone are forgotten, not deleted: their names may
// already belong to something of the new one.
void ForgetObjectsOfOldContext() {
  if (s_batch.context == GLContextGeneration()) return;
  for (LayoutObjects& o : s_batch.layouts) o = LayoutObjects{};
  s_batch.indexBuffer = 0;
  s_batch.quads = 0;
  s_batch.context = GLContextGeneration();
}

void HookSwap() {
  ForgetObjectsOfOldContext();
  if (s_batch.hooked) return;
  s_batch.hooked = true;
  SetBeforePresent(&FlushDrawing);
}

} // namespace

// ============================================================================
// Switch and counters
// ============================================================================

void SetBatching(bool on) {
  ReadSwitch();
  if (s_batch.on != on) FlushDrawing();
  s_batch.on = on;
}

bool BatchingOn() {
  ReadSwitch();
  return s_batch.on;
}

DrawCounters& RenderCounters() { return s_counters; }

void CountDirectDraw(int quads) {
  ++s_counters.drawCalls;
  s_counters.quads += quads;
}

void CountCulled(int quads) { s_counters.culled += quads; }

// ============================================================================
// Gathering and sending
// ============================================================================

int QuadFloats(QuadLayout layout) {
  const LayoutFormat& f = FormatOf(layout);
  return f.floatsPerVertex * f.verticesPerQuad;
}

float* BeginBatchQuads(const BatchState& state, int quads) {
  HookSwap();
  quads = std::clamp(quads, 0, MAX_BATCH_QUADS);
  const bool room = s_batch.quads + quads <= MAX_BATCH_QUADS;
  if (s_batch.quads > 0 && (!room || !Matches(s_batch.pending, state))) FlushDrawing();
  if (s_batch.quads == 0) Adopt(s_batch.pending, state);
  const size_t needed = static_cast<size_t>(MAX_BATCH_QUADS) * QuadFloats(QuadLayout::Basic);
  if (s_batch.vertices.size() < needed) s_batch.vertices.resize(needed);
  s_batch.reserved = quads;
  return s_batch.vertices.data() + static_cast<size_t>(s_batch.quads) * QuadFloats(state.layout);
}

void EndBatchQuads(int written) {
  s_batch.quads += std::clamp(written, 0, s_batch.reserved);
  s_batch.reserved = 0;
  // With batching off a gathered draw still goes out alone, at once.
  if (!s_batch.on) FlushDrawing();
}

void FlushDrawing() {
  if (s_batch.quads == 0) return;
  const BatchState& key = s_batch.pending.key;
  const QuadLayout layout = key.layout;
  const LayoutFormat& f = FormatOf(layout);
  const int quads = s_batch.quads;
  s_batch.quads = 0;
  if (!key.program) return;

  glUseProgram(key.program);
  BindLayout(layout, key);
  const GLsizeiptr bytes = static_cast<GLsizeiptr>(quads) * QuadFloats(layout) * static_cast<GLsizeiptr>(sizeof(float));
  // A fresh store each time: the driver need not wait for the previous draw to finish.
  glBufferData(GL_ARRAY_BUFFER, bytes, s_batch.vertices.data(), GL_STREAM_DRAW);
  if (key.objectTransLocation >= 0) glUniformMatrix4fv(key.objectTransLocation, 1, GL_FALSE, key.objectTrans);
  if (key.cameraLocation >= 0) glUniformMatrix4fv(key.cameraLocation, 1, GL_FALSE, key.camera);
  if (key.texOffsetLocation >= 0) glUniform2fv(key.texOffsetLocation, 1, key.texOffset);
  if (key.colorLocation >= 0) glUniform3fv(key.colorLocation, 1, key.color);
  glBindTexture(GL_TEXTURE_2D, key.texture);
  if (f.indexed)
    glDrawElements(GL_TRIANGLES, quads * 6, GL_UNSIGNED_INT, nullptr);
  else
    glDrawArrays(GL_TRIANGLES, 0, quads * f.verticesPerQuad);
  glBindTexture(GL_TEXTURE_2D, 0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
  ++s_counters.drawCalls;
  s_counters.quads += quads;
}

void ReleaseDrawBatch() {
  ForgetObjectsOfOldContext();
  FlushDrawing();
  for (LayoutObjects& o : s_batch.layouts) {
    if (o.vertexBuffer) glDeleteBuffers(1, &o.vertexBuffer);
    if (o.vertexArray) glDeleteVertexArrays(1, &o.vertexArray);
    o = LayoutObjects{};
  }
  if (s_batch.indexBuffer) glDeleteBuffers(1, &s_batch.indexBuffer);
  s_batch.indexBuffer = 0;
}

// ============================================================================
// What the camera sees
// ============================================================================

ViewTransform MakeViewTransform(const float c[16], const float o[16]) {
  // Rows 0 and 1 of camera * objectTrans (column-major), applied to (x, y, 1, 1).
  auto at = [&](int r, int col) {
    float sum = 0.0f;
    for (int k = 0; k < 4; ++k) sum += c[k * 4 + r] * o[col * 4 + k];
    return sum;
  };
  ViewTransform t;
  t.m[0] = at(0, 0);
  t.m[1] = at(0, 1);
  t.m[2] = at(0, 2) + at(0, 3);
  t.m[3] = at(1, 0);
  t.m[4] = at(1, 1);
  t.m[5] = at(1, 2) + at(1, 3);
  return t;
}

bool OutsideView(const ViewTransform& t, const float* data, int points, int stride) {
  float minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
  for (int i = 0; i < points; ++i) {
    const float x = data[i * stride], y = data[i * stride + 1];
    const float px = t.m[0] * x + t.m[1] * y + t.m[2];
    const float py = t.m[3] * x + t.m[4] * y + t.m[5];
    minX = std::min(minX, px);
    maxX = std::max(maxX, px);
    minY = std::min(minY, py);
    maxY = std::max(maxY, py);
  }
  const float edge = 1.0f + VIEW_MARGIN;
  // NaN positions compare false everywhere and so are drawn, as they always were.
  return maxX < -edge || minX > edge || maxY < -edge || minY > edge;
}

bool SquareOutsideView(const ViewTransform& t, float x, float y, float s) {
  const float px = t.m[0] * x + t.m[1] * y + t.m[2];
  const float py = t.m[3] * x + t.m[4] * y + t.m[5];
  const float ex = (std::fabs(t.m[0]) + std::fabs(t.m[1])) * s;
  const float ey = (std::fabs(t.m[3]) + std::fabs(t.m[4])) * s;
  const float edge = 1.0f + VIEW_MARGIN;
  return px + ex < -edge || px - ex > edge || py + ey < -edge || py - ey > edge;
}

bool ViewCull::Skips(const float* data, int points, int stride) const {
  if (!OutsideView(view, data, points, stride)) return false;
  CountCulled(1);
  return true;
}

bool ViewCull::SkipsSquare(float x, float y, float half) const {
  if (!SquareOutsideView(view, x, y, half)) return false;
  CountCulled(1);
  return true;
}

bool LeavesNoMark(float alpha) { return alpha <= 0.0f && glIsEnabled(GL_BLEND); }

bool BoxOutsideView(const Camera& camera, float minX, float minY, float maxX, float maxY) {
  float view[16], identity[16];
  Place2DTransform(view, camera.view);
  SetIdentity4(identity);
  const float corners[8] = {minX, minY, maxX, minY, maxX, maxY, minX, maxY};
  return OutsideView(MakeViewTransform(view, identity), corners, 4, 2);
}

BatchState GatherStateOf(const Graphic& g, QuadLayout layout, GLuint texture) {
  BatchState state;
  state.texture = texture;
  state.layout = layout;
  state.camera = g.camera;
  state.objectTrans = g.objectTrans;
  state.texOffset = g.texOffset;
  if (!g.gl) return state; // program 0: never drawn
  const GraphicGL& gl = *g.gl;
  state.program = gl.program;
  state.attributes[0] = gl.positionLocation;
  state.attributes[1] = layout == QuadLayout::Sprite ? gl.texcoordLocation : gl.colorLocation;
  state.attributes[2] = layout == QuadLayout::Basic ? gl.texcoordLocation : -1;
  state.cameraLocation = gl.cameraLocation;
  state.objectTransLocation = gl.objectTransLocation;
  state.texOffsetLocation = gl.texOffsetLocation;
  return state;
}
