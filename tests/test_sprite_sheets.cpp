// Sprite-sheet descriptors and the frames an AnimatedTexture shows.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "core/GameState.h"
#include "render/AnimatedTexture.h"
#include "render/SpriteSheet.h"
#include "support/RenderFixture.h"
#include "support/TestImages.h"

namespace {

std::vector<SpriteFrame> Parse(const std::string& text, int w, int h, std::string* printed = nullptr) {
  std::istringstream in(text);
  testing::internal::CaptureStdout();
  auto frames = ParseSpriteSheet(in, w, h, "sheet.txt");
  const std::string out = testing::internal::GetCapturedStdout();
  if (printed) *printed = out;
  return frames;
}

void ExpectFrame(const SpriteFrame& f, float u, float v, float du, float dv) {
  EXPECT_FLOAT_EQ(f.u, u);
  EXPECT_FLOAT_EQ(f.v, v);
  EXPECT_FLOAT_EQ(f.du, du);
  EXPECT_FLOAT_EQ(f.dv, dv);
}

int Lines(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

} // namespace

TEST(SpriteSheetFile, FramesComeInFileOrderInTextureUnits) {
  std::string printed;
  auto frames = Parse("idle= 0 0 100 100\n\nhover= 100 0 100 100\r\npressed= 200 0 100 100\n\n", 300, 100, &printed);
  ASSERT_EQ(frames.size(), 3u);
  ExpectFrame(frames[0], 0, 0, 1.0f / 3, 1);
  ExpectFrame(frames[1], 1.0f / 3, 0, 1.0f / 3, 1);
  ExpectFrame(frames[2], 2.0f / 3, 0, 1.0f / 3, 1);
  EXPECT_EQ(printed, "");

  // The label runs to the first "=" after its first character.
  frames = Parse("=x= 10 20 30 40\n", 100, 200);
  ASSERT_EQ(frames.size(), 1u);
  ExpectFrame(frames[0], 0.1f, 0.1f, 0.3f, 0.2f);
}

TEST(SpriteSheetFile, MalformedLinesAreSkippedWithOneLineEach) {
  std::string printed;
  auto frames = Parse("a= 1 2 3\n"          // three numbers
                      "b= 1 x 3 4\n"        // not a number
                      "c=10 2 3 4\n"        // no space after "=": the 1 would be lost
                      "no equals here\n"
                      "e= 99999999999 0 1 1\n" // beyond int
                      "=\n"
                      "ok= 0 0 10 10\n",
                      10, 10, &printed);
  ASSERT_EQ(frames.size(), 1u);
  ExpectFrame(frames[0], 0, 0, 1, 1);
  EXPECT_EQ(Lines(printed), 6) << printed;
}

TEST(SpriteSheetFile, MissingOrEmptyDescriptorGivesOneWholeFrame) {
  const std::string folder = TempFolder();
  testing::internal::CaptureStdout();
  auto frames = ReadSpriteSheet((folder + "/none.txt").c_str(), 64, 64);
  EXPECT_EQ(Lines(testing::internal::GetCapturedStdout()), 1);
  ASSERT_EQ(frames.size(), 1u);
  ExpectFrame(frames[0], 0, 0, 1, 1);

  WriteText(folder + "/blank.txt", "\n\n  \n");
  testing::internal::CaptureStdout();
  frames = ReadSpriteSheet((folder + "/blank.txt").c_str(), 64, 64);
  EXPECT_EQ(Lines(testing::internal::GetCapturedStdout()), 1);
  ASSERT_EQ(frames.size(), 1u);

  // A picture that failed to load has no size: frames keep their count, not garbage.
  frames = Parse("a= 0 0 10 10\nb= 10 0 10 10\n", 0, 0);
  ASSERT_EQ(frames.size(), 2u);
  ExpectFrame(frames[1], 0, 0, 1, 1);
}

TEST(SpriteAnimation, TimerStepsThroughFramesAndShowsFrameZeroTwice) {
  const std::string folder = TempFolder();
  WriteText(folder + "/sheet.txt", "a= 0 0 1 1\nb= 1 0 1 1\nc= 2 0 1 1\n");
  testing::internal::CaptureStdout(); // no picture: its loader complains
  AnimatedTexture sprite(nullptr, 1, Vec3(0, 0, 0), 5, 5, (folder + "/sheet.txt").c_str());
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(sprite.frames.size(), 3u);
  // Without a picture every frame is the whole sheet; number them by u to tell them apart.
  for (int f = 0; f < 3; ++f) sprite.frames[f].u = static_cast<float>(f);

  g_loop.frameTime = 0.25f;
  sprite.frameTime = 0.5f;
  sprite.Animate();
  sprite.Animate();
  EXPECT_EQ(sprite.frameTimer, 0.0f) << "the timer ran while not animating";
  sprite.animating = true;
  // The frame shown after each step; a timer of exactly 0.5 does not step.
  std::vector<unsigned int> shown;
  for (int draw = 0; draw < 18; ++draw) {
    sprite.Animate();
    shown.push_back(static_cast<unsigned int>(std::lround(sprite.spriteVertices[2])));
  }
  const std::vector<unsigned int> expected = {0, 0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 0, 0, 0, 0, 0, 0, 1};
  EXPECT_EQ(shown, expected);

  sprite.animating = false;
  const unsigned int frame = sprite.currentFrame;
  for (int draw = 0; draw < 10; ++draw) sprite.Animate();
  EXPECT_EQ(sprite.currentFrame, frame);
  sprite.SetFrame(2);
  EXPECT_EQ(sprite.currentFrame, 2u);
  sprite.SetFrame(3); // past the last frame: ignored
  sprite.SetFrame(static_cast<unsigned int>(-1));
  EXPECT_EQ(sprite.currentFrame, 2u);
  g_loop.frameTime = 1.0f / 60.0f;
}

class SpriteDraw : public RenderTest {};

TEST_F(SpriteDraw, SetFrameShowsThatRegionOfTheSheet) {
  const std::string folder = TempFolder();
  // Top row red, green, blue; bottom row white, black, black. Frame y counts from the bottom.
  WriteRgbaPng(folder + "/sheet.png", 3, 2,
               {0xff0000ff, 0x00ff00ff, 0x0000ffff, 0xffffffff, 0x000000ff, 0x000000ff});
  WriteText(folder + "/sheet.txt", "red= 0 1 1 1\ngreen= 1 1 1 1\nblue= 2 1 1 1\nwhite= 0 0 1 1\n");
  AnimatedTexture sprite((folder + "/sheet.png").c_str(), 1, Vec3(200, 200, 0), 16, 16,
                         (folder + "/sheet.txt").c_str());
  sprite.Init();
  const Rgb expected[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  for (unsigned int f = 0; f < 4; ++f) {
    gl->BeginFrame();
    sprite.SetFrame(f);
    sprite.Draw();
    gl->ReadFrame();
    EXPECT_TRUE(Near(gl->FramePixel(200, 200), expected[f])) << "frame " << f << ToString(gl->FramePixel(200, 200));
    EXPECT_TRUE(Near(gl->FramePixel(186, 214), expected[f])) << "frame " << f;
    EXPECT_EQ(LitBox().Width(), 32);
  }
  sprite.SetPosition(Vec3(400, 300, 0), 0.0f);
  gl->BeginFrame();
  sprite.Draw();
  gl->ReadFrame();
  EXPECT_TRUE(Near(gl->FramePixel(400, 300), expected[3]));
  EXPECT_NEAR(LitBox().left, 384, 1);
}
