#pragma once
#include <vector>

#include "render/Texture.h"

// A solid rectangle, translucent if its alpha says so: veils, panels, track marks.
// Placed in logical pixels like a Texture but drawn untextured with the primitives
// program; its GPU vertices are x, y, r, g, b, a.
class SquarePrimitive : public Texture {
public:
  SquarePrimitive(const Vec3& position, int halfWidth, int halfHeight, float r, float g, float b, float a);

  void Init() override;
  void Draw() override;
  // Moves the rectangle and brings back fillColor's alpha.
  void SetPosition(const Vec3& p, float z) override;
  // Changes the alpha drawn until the next SetPosition; fillColor keeps its own.
  void SetAlpha(float alpha);

  std::vector<float> colorVertices; // 4 vertices of x, y, r, g, b, a
  float fillColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};

protected:
  // Corner changes stay in the Texture part's vertex data; only SetPosition moves
  // what is drawn.
  void StoreQuad(const float positions[8]) override;

private:
  void RebuildColorVertices();
  void UploadColorVertices();
};
