#include "render/AnimatedTexture.h"
#include "core/GameState.h"
#include "render/RenderLocal.h"
#include "render/Shader.h"

AnimatedTexture::AnimatedTexture(const char* file, int format_, const Vec3& position, int hw, int hh,
                                 const char* descriptorPath)
    : Texture(file, format_, position, hw, hh) {
  frames = ReadSpriteSheet(descriptorPath, textureName ? imageWidth : 0, textureName ? imageHeight : 0);
  for (int v = 0; v < 4; ++v) {
    spriteVertices[v * 4] = quadVertices[v * 7];
    spriteVertices[v * 4 + 1] = quadVertices[v * 7 + 1];
  }
  SetFrame(0);
}

// The sprite program's inputs, x y, u v; the buffers wait for a draw of the sprite's own.
void AnimatedTexture::Init() {
  const int offsets[3] = {0, -1, 8};
  InitDeferred(UseSharedProgram(SharedProgram::Sprite), 16, offsets);
  FinishInit(false);
}

void AnimatedTexture::MakeBuffers() {
  MakeDeferredBuffers(*gl, spriteVertices, sizeof spriteVertices);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
  gpuStale = false;
}

void AnimatedTexture::Draw() {
  Animate();
  if (!SubmitQuad(QuadLayout::Sprite, textureName, spriteVertices, sizeof spriteVertices)) return;
  DrawOutline();
}

void AnimatedTexture::DeviceBox(float box[4]) const { BoxOf(spriteVertices, 4, box); }

void AnimatedTexture::Animate() {
  if (animating) frameTimer += g_loop.frameTime;
  if (frameTimer > frameTime) {
    if (currentFrame < frames.size()) {
      SetFrame(currentFrame);
      currentFrame += 1;
    } else {
      currentFrame = 0;
      SetFrame(0);
    }
    frameTimer = 0.0f;
  }
}

void AnimatedTexture::SetFrame(unsigned int index) {
  if (index >= frames.size()) return;
  currentFrame = index;
  const SpriteFrame& f = frames[index];
  const float uv[8] = {f.u, f.v, f.u + f.du, f.v, f.u + f.du, f.v + f.dv, f.u, f.v + f.dv};
  for (int v = 0; v < 4; ++v) {
    spriteVertices[v * 4 + 2] = uv[v * 2];
    spriteVertices[v * 4 + 3] = uv[v * 2 + 1];
  }
  UploadSpriteVertices();
}

void AnimatedTexture::StoreQuad(const float q[8]) {
  for (int v = 0; v < 4; ++v) {
    spriteVertices[v * 4] = q[v * 2];
    spriteVertices[v * 4 + 1] = q[v * 2 + 1];
  }
  UploadSpriteVertices();
}

void AnimatedTexture::UploadSpriteVertices() {
  if (!HasBuffers()) return; // Init uploads them
  if (DeferUpload()) return;
  glBindVertexArray(gl->vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, gl->vertexBuffer);
  glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof spriteVertices, spriteVertices);
  gpuStale = false;
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}
