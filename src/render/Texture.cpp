#include "render/Texture.h"
#include "render/DrawBatch.h"
#include "render/RenderLocal.h"
#include "render/Shader.h"
#include "platform/Display.h"
#include "render/TextureCache.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const float OUTLINE_COLOR[3] = {0.0f, 1.0f, 0.0f};
const float QUAD_TEXCOORDS[8] = {0, 0, 1, 0, 1, 1, 0, 1};

// Basic layout of four vertices at the given positions, colour 0.
void BuildQuad(float out[28], const float positions[8]) {
  for (int v = 0; v < 4; ++v) {
    float* p = out + v * 7;
    p[0] = positions[v * 2];
    p[1] = positions[v * 2 + 1];
    p[2] = p[3] = p[4] = 0.0f;
    p[5] = QUAD_TEXCOORDS[v * 2];
    p[6] = QUAD_TEXCOORDS[v * 2 + 1];
  }
}

// Device positions of the unrotated rectangle in vertex order LB, RB, RT, LT.
void RectanglePositions(float x, float y, int hw, int hh, float out[8]) {
  const float l = ToDeviceX(x - hw), r = ToDeviceX(x + hw);
  const float b = ToDeviceY(y + hh), t = ToDeviceY(y - hh);
  const float p[8] = {l, b, r, b, r, t, l, t};
  for (int i = 0; i < 8; ++i) out[i] = p[i];
}

void ApplyImage(Texture& t, bool ok, const CachedImage& image) {
  t.opaqueImage = ok && !image.hasAlpha;
  if (!ok) {
    t.textureName = 0;
    return;
  }
  // Transparent pictures need blending, and it stays on for everything after them.
  if (image.hasAlpha) {
    FlushDrawing(); // what was gathered before keeps the blending it was drawn under
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  t.textureName = image.texture;
  t.imageWidth = image.width;
  t.imageHeight = image.height;
}

unsigned long s_indexedPlacements = 0;

} // namespace

unsigned long IndexedPlacements() { return s_indexedPlacements; }

void Texture::BoxOf(const float* data, int stride, float box[4]) {
  box[0] = box[2] = data[0];
  box[1] = box[3] = data[1];
  for (int v = 1; v < 4; ++v) {
    const float x = data[v * stride], y = data[v * stride + 1];
    box[0] = std::min(box[0], x);
    box[1] = std::min(box[1], y);
    box[2] = std::max(box[2], x);
    box[3] = std::max(box[3], y);
  }
}

void Texture::DeviceBox(float box[4]) const { BoxOf(vertices.get(), 7, box); }

void Texture::AdoptQuad() {
  vertices.reset(new float[28]);
  std::copy(quadVertices, quadVertices + 28, vertices.get());
  vertexBytes = sizeof quadVertices;
  for (Line& line : outline) std::copy(OUTLINE_COLOR, OUTLINE_COLOR + 3, line.color);
}

// Even without geometry the quad exists (collapsed at the origin), so moving or
// drawing a default texture is safe.
Texture::Texture() {
  const float origin[8] = {};
  BuildQuad(quadVertices, origin);
  AdoptQuad();
}

Texture::Texture(const char* file, int format_, const Vec3& position, int hw, int hh) {
  center[0] = position.x;
  center[1] = position.y;
  depth = position.z;
  halfWidth = hw;
  halfHeight = hh;
  float q[8];
  RectanglePositions(position.x, position.y, hw, hh, q);
  corners[0] = Vec3(q[0], q[1], 0.0f);
  corners[1] = Vec3(q[2], q[3], 0.0f);
  corners[2] = Vec3(q[6], q[7], 0.0f);
  corners[3] = Vec3(q[4], q[5], 0.0f);
  BuildQuad(quadVertices, q);
  AdoptQuad();

  format = format_;
  PlaceOutline(position.x, position.y);
  if (file) SetImage(file);
}

void Texture::PlaceOutline(float x, float y) {
  const Vec3 lb(x - halfWidth, y + halfHeight, 1.0f), rb(x + halfWidth, y + halfHeight, 1.0f);
  const Vec3 rt(x + halfWidth, y - halfHeight, 1.0f), lt(x - halfWidth, y - halfHeight, 1.0f);
  outline[0].SetEnds(lb, rb);
  outline[1].SetEnds(lt, lb);
  outline[2].SetEnds(rt, rb);
  outline[3].SetEnds(lt, rt);
}

// The basic program's inputs, x y, r g b, u v; the buffers wait for a draw of the picture's own.
void Texture::Init() {
  const int offsets[3] = {0, 8, 20};
  InitDeferred(UseSharedProgram(SharedProgram::Basic), 28, offsets);
  FinishInit(true);
}

void Texture::MakeBuffers() {
  MakeDeferredBuffers(*gl, vertices.get(), vertexBytes);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
  gpuStale = false;
}

void Texture::Draw() {
  if (!SubmitQuad(QuadLayout::Basic, textureName, vertices.get(), vertexBytes)) return; // out of view, outline too
  DrawOutline();
}

void Texture::DrawOutline() {
  if (!showOutline) return;
  for (Line& line : outline) {
    LendView(line);
    line.InitOnce();
    line.Draw();
  }
}

void Texture::SetPosition(const Vec3& p, float z) {
  if (drawIndexed) ++s_indexedPlacements;
  center[0] = p.x;
  center[1] = p.y;
  depth = z;
  PlaceOutline(p.x, p.y);
  float q[8];
  RectanglePositions(p.x, p.y, halfWidth, halfHeight, q);
  StoreQuad(q);
}

void Texture::SetCorners(const Vec3& p0, float z0, const Vec3& p1, float z1, const Vec3& p2, float z2,
                         const Vec3& p3, float z3) {
  if (drawIndexed) ++s_indexedPlacements;
  const Vec3 a(p0.x, p0.y, 1.0f), b(p1.x, p1.y, 1.0f), c(p2.x, p2.y, 1.0f), d(p3.x, p3.y, 1.0f);
  outline[0].SetEnds(a, b);
  outline[1].SetEnds(c, a);
  outline[2].SetEnds(d, b);
  outline[3].SetEnds(c, d);
  center[0] = (p0.x + p1.x + p2.x + p3.x) / 4.0f;
  center[1] = (p0.y + p1.y + p2.y + p3.y) / 4.0f;
  depth = (z0 + z1 + z2 + z3) / 4.0f;
  halfWidth = TruncateToInt(std::hypot(p1.x - p0.x, p1.y - p0.y) / 2.0f);
  halfHeight = TruncateToInt(std::hypot(p0.x - p2.x, p0.y - p2.y) / 2.0f);
  const float q[8] = {ToDeviceX(p0.x), ToDeviceY(p0.y), ToDeviceX(p1.x), ToDeviceY(p1.y),
                      ToDeviceX(p3.x), ToDeviceY(p3.y), ToDeviceX(p2.x), ToDeviceY(p2.y)};
  StoreQuad(q);
}

void Texture::WriteQuadPositions(const float q[8]) {
  float* v = WritableVertices();
  for (int i = 0; i < 4; ++i) {
    v[i * 7] = q[i * 2];
    v[i * 7 + 1] = q[i * 2 + 1];
  }
}

void Texture::StoreQuad(const float q[8]) {
  WriteQuadPositions(q);
  if (!HasBuffers()) return; // not initialised yet: Init uploads them
  if (DeferUpload()) return;
  const float* v = vertices.get();
  glBindVertexArray(gl->vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, gl->vertexBuffer);
  glBufferSubData(GL_ARRAY_BUFFER, 0, vertexBytes, v);
  gpuStale = false;
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}

void Texture::SetImage(const char* newPath) {
  if (!newPath) return;
  path = newPath;
  textureName = format ? LoadPng(path.c_str()) : LoadBmp(path.c_str());
}

unsigned int Texture::LoadPng(const char* file) {
  CachedImage image;
  ApplyImage(*this, AcquireImage(file, ImageKind::Png, image), image);
  return textureName;
}

unsigned int Texture::LoadBmp(const char* file) {
  CachedImage image;
  ApplyImage(*this, AcquireImage(file, ImageKind::Bmp, image), image);
  return textureName;
}

// ---------------------------------------------------------------------------------------
// Outlines in one draw
// ---------------------------------------------------------------------------------------

OutlineBatch::OutlineBatch(const float c[3]) { std::memcpy(color, c, sizeof color); }

OutlineBatch::~OutlineBatch() {
  // Objects of a context that has gone are forgotten: their names may belong to another.
  if (context != GLContextGeneration() || !vertexArray) return;
  glDeleteBuffers(1, &vertexBuffer);
  glDeleteVertexArrays(1, &vertexArray);
}

void OutlineBatch::Add(const Texture& picture) {
  const float* view = picture.CameraView();
  if (!ends.empty() && std::memcmp(view, camera, sizeof camera) != 0) Draw();
  if (ends.empty()) std::memcpy(camera, view, sizeof camera);
  for (const Line& line : picture.outline) ends.insert(ends.end(), line.VertexData(), line.VertexData() + 4);
}

// The lines as each would draw alone (smoothed, the line program), in one call.
void OutlineBatch::Draw() {
  if (ends.empty()) return;
  const GLuint program = UseSharedProgram(SharedProgram::Line);
  const GLsizei lines = static_cast<GLsizei>(ends.size() / 4);
  if (!program) {
    ends.clear();
    return;
  }
  FlushDrawing();
  if (context != GLContextGeneration()) {
    vertexArray = vertexBuffer = 0;
    context = GLContextGeneration();
  }
  if (!vertexArray) {
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &vertexBuffer);
  }
  glUseProgram(program);
  glBindVertexArray(vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(ends.size() * sizeof(float)), ends.data(), GL_STREAM_DRAW);
  BindAttribute(program, "vertex", 2, 8, 0);
  const GLint cameraAt = UniformLocation(program, "camera");
  if (cameraAt >= 0) glUniformMatrix4fv(cameraAt, 1, GL_FALSE, camera);
  const GLint colorAt = UniformLocation(program, "lineColor");
  if (colorAt >= 0) glUniform3fv(colorAt, 1, color);
  glEnable(GL_LINE_SMOOTH);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glDrawArrays(GL_LINES, 0, lines * 2);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
  CountDirectDraw(lines);
  ends.clear();
}
