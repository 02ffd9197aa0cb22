#pragma once
#include <cstdint>

// The view every graphic receives through SetCamera before it draws. A vertex v is
// drawn at zoom * R(rotation) v - (x, y).
class Camera {
public:
  Camera() = default; // the view that moves nothing: screen-fixed pictures
  Camera(float x, float y, float zoom);

  // Centres the view on a point in logical pixels.
  void SetPosition(float px, float py);
  // Shifts the view by device units; returns the camera as it is afterwards.
  Camera Move(float dx, float dy);
  // One shake step: 0 up, 1 down, 2 left, 3 right by shakeMagnitude (then halved).
  void Shake(int direction);
  // Adds velocity to the position and viewVelocity to the view, unless held.
  void ApplyVelocity();

  float view[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1}; // row-major 3x3 handed to graphics
  float x = 0.0f;                              // device units
  float y = 0.0f;
  float zoom = 1.0f;
  float rotation = 0.0f;                       // degrees
  int32_t velocity[2] = {0, 0};                // per-frame step of x, y
  bool held = true;                            // ApplyVelocity does nothing while set
  float viewVelocity[2] = {0.0f, 0.0f};        // device units per frame, added to the view
  float restView[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  float shakeMagnitude = 0.0f;                 // device units, size of the next Shake step; each step halves it

private:
  void RebuildView();
};
