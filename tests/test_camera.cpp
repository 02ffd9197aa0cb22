// The pixel-to-device conversion and the camera's view.
#include <gtest/gtest.h>

#include "core/Window.h"
#include "render/Camera.h"
#include "render/Graphic.h"

namespace {

// Where the view puts the device point (x, y).
std::pair<float, float> Apply(const Camera& c, float x, float y) {
  const float* m = c.view;
  return {m[0] * x + m[1] * y + m[2], m[3] * x + m[4] * y + m[5]};
}

} // namespace

TEST(DeviceCoordinates, PixelCentresAndFlippedY) {
  const float w = static_cast<float>(g_screen.width), h = static_cast<float>(g_screen.height);
  EXPECT_FLOAT_EQ(ToDeviceX(0), 1 / w - 1);
  EXPECT_FLOAT_EQ(ToDeviceX(w - 1), 1 - 1 / w);
  EXPECT_FLOAT_EQ(ToDeviceY(0), 1 - 1 / h);
  EXPECT_FLOAT_EQ(ToDeviceY(h - 1), 1 / h - 1);
  EXPECT_FLOAT_EQ(ToDeviceX(10.9f), ToDeviceX(10)) << "positions snap to whole pixels";
  EXPECT_FLOAT_EQ(ToDeviceX(-0.5f), ToDeviceX(0)) << "truncation goes toward zero";

  // Stored vertices are the int-snapped formula worked in double and rounded once;
  // float arithmetic lands one step off for some pixels.
  int differing = 0;
  for (int px = -3000; px <= 3000; ++px) {
    const float x = px + 0.25f;
    differing += ToDeviceX(x) != static_cast<float>((static_cast<int>(x) + 0.5) * 2 / w - 1);
    differing += ToDeviceY(x) != static_cast<float>((h - (static_cast<int>(x) + 0.5)) * 2 / h - 1);
  }
  EXPECT_EQ(differing, 0);

  // Far beyond int's range (a corrupt level file): defined, and still off screen.
  EXPECT_GT(ToDeviceX(1e30f), 1.0f);
  EXPECT_LT(ToDeviceX(-1e30f), -1.0f);
  EXPECT_LT(ToDeviceY(1e30f), -1.0f);
}

TEST(CameraView, StartsAsIdentityAndFollowsPositionZoomAndRotation) {
  Camera camera(0, 0, 1);
  for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(camera.view[i], i % 4 == 0 ? 1.0f : 0.0f);
  EXPECT_TRUE(camera.held);

  camera.zoom = 2.0f;
  camera.rotation = 90.0f;
  camera.SetPosition(g_screen.width / 2.0f, 0);
  auto [x, y] = Apply(camera, 0.1f, 0.0f); // zoom * R v - (x, y)
  EXPECT_NEAR(x, -camera.x, 1e-6);
  EXPECT_NEAR(y, 0.2f - camera.y, 1e-6);
  EXPECT_FLOAT_EQ(camera.y, ToDeviceY(0));
}

TEST(CameraView, ShakeStepsAndHalves) {
  Camera camera(0, 0, 1);
  camera.shakeMagnitude = 0.01f;
  camera.Shake(2);
  EXPECT_FLOAT_EQ(camera.view[2], -0.01f);
  EXPECT_FLOAT_EQ(camera.view[5], 0.0f);
  EXPECT_FLOAT_EQ(camera.shakeMagnitude, 0.005f);
  camera.Shake(0);
  EXPECT_FLOAT_EQ(camera.view[5], 0.005f);
  camera.Shake(7); // no such direction: no step, still halves
  EXPECT_FLOAT_EQ(camera.view[5], 0.005f);
  EXPECT_FLOAT_EQ(camera.shakeMagnitude, 0.00125f);
  const Camera after = camera.Move(0.5f, 0);
  EXPECT_FLOAT_EQ(after.view[2], camera.view[2]);
  EXPECT_FLOAT_EQ(camera.x, 0.5f - 0.01f);
}
