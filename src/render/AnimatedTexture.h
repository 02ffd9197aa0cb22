#pragma once
#include <vector>

#include "render/SpriteSheet.h"
#include "render/Texture.h"

// A Texture whose image is a sprite sheet: it shows one frame at a time, chosen by
// SetFrame or stepped by the frame timer while animating. It draws with the sprite-
// sheet program and keeps its own vertex data: x, y (device), u, v per vertex.
// Copies carry every field; their GPU objects are shared until they run Init.
class AnimatedTexture : public Texture {
public:
  // The Texture arguments, then the descriptor file beside the sheet.
  AnimatedTexture(const char* path, int format, const Vec3& position, int halfWidth, int halfHeight,
                  const char* descriptorPath);

  void Init() override;
  void Draw() override; // steps the timer (Animate) first, so undrawn sprites stand still
  void DeviceBox(float box[4]) const override;

  // Shows frame index now; an index past the last frame is ignored.
  void SetFrame(unsigned int index);
  // The timer step: once frameTimer passes frameTime, shows currentFrame and moves on;
  // after the last frame it comes back to frame 0.
  void Animate();

  bool animating = false;        // the timer runs while set
  float spriteVertices[16] = {}; // LB, RB, RT, LT as x, y, u, v
  float frameTime = 1.0f;        // seconds a frame is shown while animating
  std::vector<SpriteFrame> frames;
  unsigned int currentFrame = 0; // next frame the timer shows; owners read and set it
  float frameTimer = 0.0f;       // seconds towards the next step

protected:
  void StoreQuad(const float positions[8]) override;
  void MakeBuffers() override;

private:
  void UploadSpriteVertices();
};
