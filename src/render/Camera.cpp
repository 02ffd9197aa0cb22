#include "render/Camera.h"
#include "render/Graphic.h"

#include <cmath>
#include <numbers>

namespace {

// out = a * b, row-major 3x3.
void Multiply3(const float a[9], const float b[9], float out[9]) {
  float r[9];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[i * 3 + j] = a[i * 3] * b[j] + a[i * 3 + 1] * b[3 + j] + a[i * 3 + 2] * b[6 + j];
  for (int i = 0; i < 9; ++i) out[i] = r[i];
}

void Translation(float a, float b, float m[9]) {
  SetIdentity3(m);
  m[2] = a;
  m[5] = b;
}

} // namespace

Camera::Camera(float x_, float y_, float zoom_) : x(x_), y(y_), zoom(zoom_) { RebuildView(); }

// view = T(-x, -y) * S(zoom) * R(rotation)
void Camera::RebuildView() {
  const double t = rotation * std::numbers::pi / 180.0;
  const float c = static_cast<float>(std::cos(t));
  const float s = static_cast<float>(std::sin(t));
  const float scale[9] = {zoom, 0, 0, 0, zoom, 0, 0, 0, 1};
  const float rotate[9] = {c, -s, 0, s, c, 0, 0, 0, 1};
  float shift[9];
  Translation(-x, -y, shift);
  float sr[9];
  Multiply3(scale, rotate, sr);
  Multiply3(shift, sr, view);
}

void Camera::SetPosition(float px, float py) {
  x = ToDeviceX(px);
  y = ToDeviceY(py);
  RebuildView();
}

Camera Camera::Move(float dx, float dy) {
  x += dx;
  y += dy;
  float shift[9];
  Translation(dx, dy, shift);
  Multiply3(shift, view, view);
  return *this;
}

void Camera::Shake(int direction) {
  const float m = shakeMagnitude;
  float dx = 0.0f, dy = 0.0f;
  switch (direction) {
  case 0: dy = m; break;
  case 1: dy = -m; break;
  case 2: dx = -m; break;
  case 3: dx = m; break;
  default: break;
  }
  shakeMagnitude = m * 0.5f;
  Move(dx, dy);
}

void Camera::ApplyVelocity() {
  if (held) return;
  view[2] += viewVelocity[0];
  view[5] += viewVelocity[1];
  x += static_cast<float>(velocity[0]);
  y += static_cast<float>(velocity[1]);
}
