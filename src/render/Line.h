#pragma once
#include "core/Vec3.h"
#include "render/Graphic.h"

// One coloured segment between two points given in logical pixels (z ignored).
// The vertex data is the two ends in device coordinates: x1, y1, x2, y2.
class Line : public Graphic {
public:
  Line(); // no ends yet, colour black; for arrays filled later
  Line(const Vec3& p1, const Vec3& p2, const float color[3]);

  void Init() override;
  void Draw() override;
  // Init unless done before, keeping the view SetCamera gave: an object's outline lines
  // get their GL side the first time the debug view shows them, not with the object.
  void InitOnce();

  // Moves both ends; the GPU copy follows once the line is initialised.
  void SetEnds(const Vec3& p1, const Vec3& p2);

  float color[3] = {0.0f, 0.0f, 0.0f}; // r, g, b, 0-1
};
