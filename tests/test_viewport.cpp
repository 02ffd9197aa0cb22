// Where the logical screen lands in the window, and the mouse mapped back through it.
#include <gtest/gtest.h>
#include "core/Input.h"
#include "core/Viewport.h"
#include "core/Window.h"
#include "platform/Messages.h"
#include "support/GameHarness.h"

namespace {

TEST(Viewport, FullScreenKeepsThePictureShape) {
  // 4:3 display: letterbox, 911 rows (1600 * 720 / 1264 = 911.4), centred.
  EXPECT_EQ(FitPicture(1600, 1200, 1264, 720), (PictureArea{0, 144, 1600, 911}));
  // 21:9 display: pillarbox.
  EXPECT_EQ(FitPicture(2560, 1080, 1264, 720), (PictureArea{332, 0, 1896, 1080}));
  // The test server's 16:10 screen.
  EXPECT_EQ(FitPicture(1280, 800, 1264, 720), (PictureArea{0, 35, 1280, 729}));
  // The picture's own shape, at any scale, fills the window.
  EXPECT_EQ(FitPicture(2528, 1440, 1264, 720), (PictureArea{0, 0, 2528, 1440}));
  EXPECT_EQ(FitPicture(1264, 720, 1264, 720), (PictureArea{0, 0, 1264, 720}));
  // Nothing to fit: the whole window, never a division by zero.
  EXPECT_EQ(FitPicture(0, 0, 1264, 720), (PictureArea{0, 0, 0, 0}));
  EXPECT_EQ(FitPicture(800, 600, 0, 720), (PictureArea{0, 0, 800, 600}));
}

TEST(Viewport, OnlyFullScreenIsBoxed) {
  ResetGameGlobals();
  g_screen.fullscreen = true;
  EXPECT_EQ(CurrentPictureArea(1600, 1200), (PictureArea{0, 144, 1600, 911}));
  g_screen.fullscreen = false; // a window is stretched, as it always was
  EXPECT_EQ(CurrentPictureArea(1280, 720), (PictureArea{0, 0, 1280, 720}));
}

class LetterboxedMouse : public ::testing::Test {
protected:
  void SetUp() override {
    ResetGameGlobals();
    g_screen.fullscreen = true;
    g_screen.windowWidth = 1600;
    g_screen.windowHeight = 1200;
  }
  void TearDown() override { ResetGameGlobals(); }
  Vec3 MoveTo(int px, int py) {
    HandleInputMessage(MSG_MOUSE_MOVE, 0, px | (py << 16));
    return g_input.mousePosition;
  }
};

TEST_F(LetterboxedMouse, ThePointerMapsThroughThePicture) {
  ASSERT_EQ(g_screen.width, 1264);
  ASSERT_EQ(g_screen.height, 720);
  Vec3 corner = MoveTo(0, 144); // the picture's top-left pixel
  EXPECT_FLOAT_EQ(corner.x, 0.0f);
  EXPECT_FLOAT_EQ(corner.y, 0.0f);
  Vec3 centre = MoveTo(800, 144 + 911 / 2);
  EXPECT_NEAR(centre.x, 632.0f, 0.5f);
  EXPECT_NEAR(centre.y, 360.0f, 0.5f);
  Vec3 bottom = MoveTo(1599, 144 + 910); // the last row of the picture
  EXPECT_NEAR(bottom.x, 1264.0f, 1.0f);
  EXPECT_NEAR(bottom.y, 720.0f, 1.0f);
  EXPECT_LT(bottom.y, 720.0f);
}

TEST_F(LetterboxedMouse, ThePointerOnABarStaysAtThePicturesEdge) {
  EXPECT_FLOAT_EQ(MoveTo(400, 10).y, 0.0f);      // top bar
  EXPECT_FLOAT_EQ(MoveTo(400, 1190).y, 720.0f);  // bottom bar
  g_screen.windowWidth = 2560; // a pillarboxed display: the side bars
  g_screen.windowHeight = 1080;
  EXPECT_FLOAT_EQ(MoveTo(100, 500).x, 0.0f);
  EXPECT_FLOAT_EQ(MoveTo(2500, 500).x, 1264.0f);
}

TEST_F(LetterboxedMouse, ALogicalPointShowsWhereThePointerPicksItUp) {
  // What a test (or the game) that places the pointer over a logical point relies on.
  const PictureArea area = CurrentPictureArea(g_screen.windowWidth, g_screen.windowHeight);
  for (Vec3 target : {Vec3(0, 0), Vec3(632, 360), Vec3(1000, 700), Vec3(17, 543)}) {
    int px = 0, py = 0;
    LogicalToWindow(area, g_screen.width, g_screen.height, target.x, target.y, px, py);
    Vec3 seen = MoveTo(px, py);
    EXPECT_NEAR(seen.x, target.x, 1264.0f / 1600.0f) << target.x;
    EXPECT_NEAR(seen.y, target.y, 720.0f / 911.0f) << target.y;
  }
}

} // namespace
