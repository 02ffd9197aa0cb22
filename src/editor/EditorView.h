#pragma once
#include "core/Vec3.h"

class Camera;

// How the editor's field is shown: a zoom about the screen's centre and a pan, both in
// logical pixels. A world point p shows at zoom * (p - c) + c - pan, c being the centre
// of the screen's middle pixel. At zoom 1 this is the mapping the editor has always had:
// the picture moves half as far as the camera's x and y (pan = (x / 2, -y / 2)).

struct EditorView {
  static constexpr float MIN_ZOOM = 0.2f;   // the largest shipped levels (3744 x 2912) fit the field
  static constexpr float MAX_ZOOM = 1.0f;   // the scale levels are made at
  static constexpr float WHEEL_STEP = 1.25f; // zoom factor of one wheel notch

  float zoom = 1.0f;

  // World point under a screen point, and back, for the camera's current pan.
  Vec3 ToWorld(const Vec3& screen, const Camera& camera) const;
  Vec3 ToScreen(const Vec3& world, const Camera& camera) const;
  // Zooms by `notches` wheel notches, keeping the world point under `screen` where it is;
  // the pan is the camera's, which moves accordingly.
  void ZoomAbout(const Vec3& screen, int notches, Camera& camera);
  // Back to zoom 1 about `screen`, the pan rounded to whole pixels as panning leaves it.
  void Reset(const Vec3& screen, Camera& camera);
  // Pans so that `world` shows at the screen point `at`, at the current zoom.
  void CentreOn(const Vec3& world, const Vec3& at, Camera& camera) const;
  // The camera's matrix for this zoom and its pan.
  void Apply(Camera& camera) const;
};
