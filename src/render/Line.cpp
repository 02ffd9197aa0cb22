#include "render/Line.h"
#include "render/DrawBatch.h"
#include "render/RenderLocal.h"
#include "render/Shader.h"
#include <algorithm>

namespace {

void StoreEnds(float* v, const Vec3& p1, const Vec3& p2) {
  v[0] = ToDeviceX(p1.x);
  v[1] = ToDeviceY(p1.y);
  v[2] = ToDeviceX(p2.x);
  v[3] = ToDeviceY(p2.y);
}

} // namespace

Line::Line() {
  vertices.reset(new float[4]());
  vertexBytes = 16;
}

Line::Line(const Vec3& p1, const Vec3& p2, const float c[3]) : Line() {
  StoreEnds(vertices.get(), p1, p2);
  color[0] = c[0];
  color[1] = c[1];
  color[2] = c[2];
}

void Line::Init() {
  NewBuffers(false);
  glBufferData(GL_ARRAY_BUFFER, 16, vertices.get(), GL_STATIC_DRAW);
  gl->program = UseSharedProgram(SharedProgram::Line);
  gl->positionLocation = BindAttribute(gl->program, "vertex", 2, 8, 0);
  gl->cameraLocation = UniformLocation(gl->program, "camera");
  SetIdentity4(camera);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}

void Line::InitOnce() {
  if (HasBuffers()) return;
  FlushDrawing(); // what was gathered before draws with the state it was gathered in
  float view[16];
  std::copy(camera, camera + 16, view);
  Init();
  std::copy(view, view + 16, camera);
}

// Lines are debug outlines, few and drawn with line smoothing: they go out alone,
// after what was gathered before them.
void Line::Draw() {
  if (!CanDraw()) return;
  if (ViewCull(*this).Skips(vertices.get(), 2, 2)) return;
  FlushDrawing();
  CountDirectDraw(1);
  glUseProgram(gl->program);
  glBindVertexArray(gl->vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, gl->vertexBuffer);
  if (gpuStale) {
    glBufferSubData(GL_ARRAY_BUFFER, 0, 16, vertices.get());
    gpuStale = false;
  }
  if (gl->cameraLocation >= 0) glUniformMatrix4fv(gl->cameraLocation, 1, GL_FALSE, camera);
  const GLint colorAt = glGetUniformLocation(gl->program, "lineColor");
  if (colorAt >= 0) glUniform3fv(colorAt, 1, color);
  glEnable(GL_LINE_SMOOTH);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glDrawArrays(GL_LINE_STRIP, 0, 2);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}

// Every move of an object re-places its four outline lines, shown or not: the GPU copy
// waits for the next Draw, so moving costs no buffer uploads.
void Line::SetEnds(const Vec3& p1, const Vec3& p2) {
  StoreEnds(WritableVertices(), p1, p2);
  gpuStale = true;
}
