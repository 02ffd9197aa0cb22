#include "support/RenderFixture.h"

#include "render/Shader.h"

#include <algorithm>

void RenderTest::SetUp() {
  gl = &GlTestContext::Get();
  ASSERT_TRUE(gl->ok) << "no GL context";
  gl->Error();
  ResetStateProgramCaches();
  gl->BeginFrame();
}

void RenderTest::TearDown() {
  if (gl && gl->ok) {
    EXPECT_EQ(gl->Error(), 0u) << "GL error left by the test";
  }
}

Box RenderTest::LitBox() const {
  Box box{gl->width, gl->height, -1, -1};
  for (int y = 0; y < gl->height; ++y)
    for (int x = 0; x < gl->width; ++x) {
      const Rgb p = gl->FramePixel(x, y);
      if (p.r + p.g + p.b > 24) {
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
      }
    }
  return box;
}

int RenderTest::LitCount() const {
  int n = 0;
  for (int y = 0; y < gl->height; ++y)
    for (int x = 0; x < gl->width; ++x) {
      const Rgb p = gl->FramePixel(x, y);
      if (p.r + p.g + p.b > 24) ++n;
    }
  return n;
}
