// Solid rectangles and lines.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include "core/Window.h"
#include "render/DrawBatch.h"
#include "render/Line.h"
#include "render/SquarePrimitive.h"
#include "support/RenderFixture.h"

namespace {
class PrimitiveDraw : public RenderTest {};
} // namespace

TEST_F(PrimitiveDraw, SetAlphaLastsUntilTheNextMove) {
  SquarePrimitive veil(Vec3(300, 300, 0), 50, 40, 1, 1, 1, 1);
  veil.Init();
  veil.Draw();
  gl->ReadFrame();
  EXPECT_TRUE(Near(gl->FramePixel(300, 300), {255, 255, 255}));
  EXPECT_EQ(LitBox().Width(), 100);
  EXPECT_EQ(LitBox().Height(), 80);

  gl->BeginFrame();
  veil.SetAlpha(0.5f);
  veil.Draw();
  EXPECT_TRUE(Near(gl->Pixel(300, 300), {128, 128, 128}, 12)) << ToString(gl->Pixel(300, 300));
  EXPECT_EQ(veil.fillColor[3], 1.0f);

  gl->BeginFrame();
  veil.SetPosition(Vec3(500, 200, 0), 0.0f);
  veil.Draw();
  gl->ReadFrame();
  EXPECT_TRUE(Near(gl->FramePixel(500, 200), {255, 255, 255}));
  EXPECT_NEAR(LitBox().left, 450, 1);
}

TEST_F(PrimitiveDraw, AFadedVeilSendsNoQuadUnlessBlendingIsOff) {
  SquarePrimitive under(Vec3(300, 300, 0), 50, 40, 0.2f, 0.4f, 0.6f, 1);
  SquarePrimitive veil(Vec3(300, 300, 0), 60, 50, 1, 1, 1, 1);
  under.Init();
  veil.Init();
  under.Draw();
  for (bool blending : {true, false}) {
    for (float alpha : {0.0f, -0.4f}) {
      FlushDrawing();
      if (!blending) glDisable(GL_BLEND);
      const long before = RenderCounters().quads;
      veil.SetAlpha(alpha);
      veil.Draw();
      FlushDrawing();
      glEnable(GL_BLEND);
      EXPECT_EQ(RenderCounters().quads - before, blending ? 0 : 1) << blending << " " << alpha;
    }
    // Unblended, a quad of alpha 0 still paints its colour.
    EXPECT_TRUE(Near(gl->Pixel(300, 300), blending ? Rgb{51, 102, 153} : Rgb{255, 255, 255}))
        << ToString(gl->Pixel(300, 300));
  }
}

TEST_F(PrimitiveDraw, CornersDoNotMoveWhatIsDrawn) {
  SquarePrimitive mark(Vec3(200, 200, 0), 3, 2, 0.5f, 0.5f, 0.5f, 1);
  mark.Init();
  mark.SetCorners(Vec3(600, 620, 0), 0, Vec3(640, 620, 0), 0, Vec3(600, 600, 0), 0, Vec3(640, 600, 0), 0);
  mark.Draw();
  gl->ReadFrame();
  const Box box = LitBox();
  EXPECT_EQ(box.Width(), 6);
  EXPECT_EQ(box.Height(), 4);
  EXPECT_NEAR(box.left, 197, 1);
}

TEST_F(PrimitiveDraw, LineSpansTheScreenDiagonal) {
  const float green[3] = {0, 1, 0};
  const float w = static_cast<float>(g_screen.width - 1), h = static_cast<float>(g_screen.height - 1);
  Line line(Vec3(0, 0, 0), Vec3(w, h, 0), green);
  line.Init();
  line.Draw();
  gl->ReadFrame();
  auto litNear = [&](int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const int px = std::clamp(x + dx, 0, gl->width - 1), py = std::clamp(y + dy, 0, gl->height - 1);
        if (gl->FramePixel(px, py).g > 60) return true;
      }
    return false;
  };
  EXPECT_TRUE(litNear(1, 1));
  EXPECT_TRUE(litNear(g_screen.width / 2, g_screen.height / 2));
  EXPECT_TRUE(litNear(g_screen.width - 2, g_screen.height - 2));
  EXPECT_FALSE(litNear(10, g_screen.height - 10));
  EXPECT_FALSE(litNear(g_screen.width - 10, 10));

  gl->BeginFrame();
  line.SetEnds(Vec3(100, 50, 0), Vec3(300, 50, 0));
  line.Draw();
  gl->ReadFrame();
  const Box box = LitBox();
  EXPECT_NEAR(box.left, 100, 1);
  EXPECT_NEAR(box.right, 300, 1);
  EXPECT_LE(box.Height(), 3);
}
