#include "render/Graphic.h"
#include "render/Camera.h"
#include "render/DrawBatch.h"
#include "render/RenderLocal.h"
#include "render/Shader.h"
#include "core/Window.h"

#include <cmath>
#include <cstring>

// Worked in double and rounded once, as every stored vertex has always been.
// std::trunc snaps like the int cast but stays defined for positions far off the map
// (an int cast of 1e30 is undefined), and gives the same value for every int-sized one.
float ToDeviceX(float x) {
  const double w = static_cast<float>(g_screen.width);
  return static_cast<float>((std::trunc(static_cast<double>(x)) + 0.5) * 2 / w - 1);
}

float ToDeviceY(float y) {
  const double h = static_cast<float>(g_screen.height);
  return static_cast<float>((h - (std::trunc(static_cast<double>(y)) + 0.5)) * 2 / h - 1);
}

void SetIdentity4(float m[16]) {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void SetIdentity3(float m[9]) {
  for (int i = 0; i < 9; ++i) m[i] = (i % 4 == 0) ? 1.0f : 0.0f;
}

void Place2DTransform(float out[16], const float m[9]) {
  SetIdentity4(out);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) out[c * 4 + r] = m[r * 3 + c];
}

GraphicGL::~GraphicGL() {
  // Text gathered with this program must be drawn while the program still exists.
  if (ownProgram) FlushDrawing();
  if (vertexBuffer) glDeleteBuffers(1, &vertexBuffer);
  if (vertexArray) glDeleteVertexArrays(1, &vertexArray);
  if (ownProgram) glDeleteProgram(ownProgram);
}

Graphic::Graphic(const float* data, int bytes) {
  const int floats = bytes > 0 ? bytes / 4 : 0;
  vertices.reset(new float[floats > 0 ? floats : 1]());
  if (floats > 0 && data) std::memcpy(vertices.get(), data, static_cast<size_t>(floats) * 4);
  // Only whole floats were copied; uploading more would read past the array.
  vertexBytes = floats * 4;
}

void Graphic::NewBuffers(bool withQuadIndices) {
  gl = std::make_shared<GraphicGL>();
  glGenVertexArrays(1, &gl->vertexArray);
  glBindVertexArray(gl->vertexArray);
  glGenBuffers(1, &gl->vertexBuffer);
  glBindBuffer(GL_ARRAY_BUFFER, gl->vertexBuffer);
  if (withQuadIndices) gl->indexBuffer = QuadIndexBuffer();
  gpuStale = false;
}

unsigned int Graphic::Program() const { return gl ? gl->program : 0; }

bool Graphic::HasBuffers() const { return gl && gl->vertexArray; }

bool Graphic::CanDraw() const { return gl && gl->program && (gl->vertexArray || gl->deferred); }

void Graphic::InitDeferred(unsigned int program, int stride, const int offsets[3]) {
  gl = std::make_shared<GraphicGL>();
  gl->deferred = true;
  gl->program = program;
  gl->stride = stride;
  GLint* locations[3] = {&gl->positionLocation, &gl->colorLocation, &gl->texcoordLocation};
  const char* names[3] = {"position", "color", "texcoord"};
  for (int a = 0; a < 3; ++a) {
    gl->offsets[a] = offsets[a];
    if (offsets[a] >= 0 && program) *locations[a] = glGetAttribLocation(program, names[a]);
  }
  gpuStale = false;
}

void MakeDeferredBuffers(GraphicGL& gl, const float* data, int bytes) {
  glGenVertexArrays(1, &gl.vertexArray);
  glBindVertexArray(gl.vertexArray);
  glGenBuffers(1, &gl.vertexBuffer);
  glBindBuffer(GL_ARRAY_BUFFER, gl.vertexBuffer);
  glBufferData(GL_ARRAY_BUFFER, bytes, data, GL_DYNAMIC_DRAW);
  gl.indexBuffer = QuadIndexBuffer();
  const GLint locations[3] = {gl.positionLocation, gl.colorLocation, gl.texcoordLocation};
  const GLint floats[3] = {2, 3, 2};
  for (int a = 0; a < 3; ++a) {
    if (locations[a] < 0) continue;
    glEnableVertexAttribArray(locations[a]);
    glVertexAttribPointer(locations[a], floats[a], GL_FLOAT, GL_FALSE, gl.stride,
                          reinterpret_cast<const void*>(static_cast<intptr_t>(gl.offsets[a])));
  }
}

float* Graphic::WritableVertices() {
  if (vertices && vertices.use_count() > 1) {
    const int floats = vertexBytes / 4;
    std::shared_ptr<float[]> own(new float[floats > 0 ? floats : 1]());
    if (floats > 0) std::memcpy(own.get(), vertices.get(), static_cast<size_t>(floats) * 4);
    vertices = std::move(own);
  }
  return vertices.get();
}

void Graphic::UploadUniforms() const {
  if (!gl) return;
  if (gl->objectTransLocation >= 0) glUniformMatrix4fv(gl->objectTransLocation, 1, GL_FALSE, objectTrans);
  if (gl->cameraLocation >= 0) glUniformMatrix4fv(gl->cameraLocation, 1, GL_FALSE, camera);
  if (gl->texOffsetLocation >= 0) glUniform2fv(gl->texOffsetLocation, 1, texOffset);
}

void Graphic::Init() {
  NewBuffers(true);
  glBufferData(GL_ARRAY_BUFFER, vertexBytes, vertices.get(), GL_DYNAMIC_DRAW);

  gl->program = UseSharedProgram(SharedProgram::Basic);
  gl->positionLocation = BindAttribute(gl->program, "position", 2, 28, 0);
  gl->colorLocation = BindAttribute(gl->program, "color", 3, 28, 8);
  gl->texcoordLocation = BindAttribute(gl->program, "texcoord", 2, 28, 20);
  FinishInit(true);
}

void Graphic::FinishInit(bool withTexOffset) {
  gl->cameraLocation = UniformLocation(gl->program, "camera");
  gl->objectTransLocation = UniformLocation(gl->program, "objectTrans");
  gl->texOffsetLocation = withTexOffset ? UniformLocation(gl->program, "texOffSet") : -1;
  SetIdentity4(objectTrans);
  SetIdentity4(camera);
  texOffset[0] = texOffset[1] = 0.0f;
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}

void Graphic::DrawQuad() const {
  if (!CanDraw() || !gl->vertexArray) return;
  glUseProgram(gl->program);
  glBindVertexArray(gl->vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, gl->vertexBuffer);
  UploadUniforms();
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}

// A plain graphic draws with whatever texture its caller bound: that binding is not
// the batcher's to know, so it goes out alone after what was gathered.
void Graphic::Draw() {
  FlushDrawing();
  if (CanDraw() && !HasBuffers()) MakeBuffers();
  if (CanDraw()) CountDirectDraw(1);
  DrawQuad();
}

bool Graphic::DeferUpload() {
  if (!HasBuffers() || !BatchingOn()) return false;
  gpuStale = true;
  return true;
}

bool Graphic::SubmitQuad(QuadLayout layout, unsigned int texture, const float* data, int bytes) {
  if (!CanDraw()) return true;
  if (ViewCull(*this).Skips(data, 4, QuadFloats(layout) / 4)) return false;
  if (BatchingOn()) {
    float* out = BeginBatchQuads(GatherStateOf(*this, layout, texture), 1);
    std::memcpy(out, data, sizeof(float) * static_cast<size_t>(QuadFloats(layout)));
    EndBatchQuads(1);
    return true;
  }
  FlushDrawing();
  if (!HasBuffers()) MakeBuffers(); // with the vertices as they stand: nothing is stale
  if (gpuStale) {
    glBindBuffer(GL_ARRAY_BUFFER, gl->vertexBuffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, bytes, data);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    gpuStale = false;
  }
  glBindTexture(GL_TEXTURE_2D, texture);
  DrawQuad();
  glBindTexture(GL_TEXTURE_2D, 0);
  CountDirectDraw(1);
  return true;
}

void Graphic::SetCamera(const Camera& view) { Place2DTransform(camera, view.view); }

void Graphic::LendView(Graphic& other) const { std::memcpy(other.camera, camera, sizeof camera); }
