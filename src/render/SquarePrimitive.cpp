#include "render/SquarePrimitive.h"
#include "render/DrawBatch.h"
#include "render/RenderLocal.h"
#include "render/Shader.h"

#include <algorithm>

SquarePrimitive::SquarePrimitive(const Vec3& position, int hw, int hh, float r, float g, float b, float a)
    : Texture(nullptr, 1, position, hw, hh) {
  fillColor[0] = r;
  fillColor[1] = g;
  fillColor[2] = b;
  fillColor[3] = a;
}

void SquarePrimitive::RebuildColorVertices() {
  colorVertices.clear();
  for (int v = 0; v < 4; ++v) {
    colorVertices.push_back(vertices[v * 7]);
    colorVertices.push_back(vertices[v * 7 + 1]);
    colorVertices.insert(colorVertices.end(), fillColor, fillColor + 4);
  }
}

void SquarePrimitive::UploadColorVertices() {
  if (!HasBuffers()) return; // Init uploads them
  if (DeferUpload()) return;
  glBindVertexArray(gl->vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, gl->vertexBuffer);
  glBufferSubData(GL_ARRAY_BUFFER, 0, 96, colorVertices.data());
  gpuStale = false;
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}

void SquarePrimitive::Init() {
  NewBuffers(true);
  RebuildColorVertices();
  glBufferData(GL_ARRAY_BUFFER, 96, colorVertices.data(), GL_STREAM_DRAW);
  gl->program = UseSharedProgram(SharedProgram::Primitive);
  gl->positionLocation = BindAttribute(gl->program, "position", 2, 24, 0);
  gl->colorLocation = BindAttribute(gl->program, "color", 4, 24, 8);
  FinishInit(true);
}

void SquarePrimitive::Draw() {
  if (colorVertices.size() < 24) return;
  // A veil faded out still covers the screen: on a software rasterizer its fill costs a
  // millisecond a frame, for nothing.
  const float* c = colorVertices.data();
  if (std::max({c[5], c[11], c[17], c[23]}) <= 0.0f && LeavesNoMark(0.0f)) return;
  SubmitQuad(QuadLayout::Colour, 0, c, 96);
}

void SquarePrimitive::StoreQuad(const float q[8]) { WriteQuadPositions(q); }

void SquarePrimitive::SetPosition(const Vec3& p, float z) {
  Texture::SetPosition(p, z);
  RebuildColorVertices();
  UploadColorVertices();
}

void SquarePrimitive::SetAlpha(float alpha) {
  if (colorVertices.size() < 24) RebuildColorVertices();
  for (int v = 0; v < 4; ++v) colorVertices[v * 6 + 5] = alpha;
  UploadColorVertices();
}
