// Text: cell sizes, the pen's advance on screen and the shared glyphs.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/Window.h"
#include "render/Camera.h"
#include "render/DrawBatch.h"
#include "render/Font.h"
#include "render/Shader.h"
#include "support/RenderFixture.h"
#include "support/TestImages.h"

namespace {

float CellWidth(char ch, float scale) {
  float w = 0, h = 0;
  GlyphCell(ch, scale, w, h);
  return w;
}

// Device width to pixels of the logical screen.
float Pixels(float deviceWidth) { return deviceWidth * g_screen.width / 2.0f; }

class TextDraw : public RenderTest {
protected:
  // Ink box of text drawn in white at (x, y) with the given scale.
  Box Ink(Font& font, const std::string& text, float x, float y, float scale) {
    gl->BeginFrame();
    font.DrawText(text, Vec3(x, y, 0), Vec3(1, 1, 1), scale);
    gl->ReadFrame();
    return LitBox();
  }
};

} // namespace

TEST_F(TextDraw, PenAdvancesByEachCellWidth) {
  Font font;
  font.Init();
  const Box h = Ink(font, "H", 100, 300, 1.0f);
  ASSERT_FALSE(h.Empty());
  EXPECT_NEAR(h.left, 100, 1);
  EXPECT_NEAR(h.bottom, 300, 1) << "the position is the bottom-left of the cell";
  EXPECT_NEAR(h.Width(), Pixels(0.03f), 1.5);
  EXPECT_NEAR(h.Height(), 0.04f * g_screen.height / 2.0f, 1.5);

  // A space, a character with no glyph and a narrow "i" only move the pen.
  EXPECT_NEAR(Ink(font, " H", 100, 300, 1.0f).left, 100 + Pixels(CellWidth(' ', 1.0f)), 1);
  EXPECT_NEAR(Ink(font, std::string(1, static_cast<char>(200)) + "H", 100, 300, 1.0f).left, 100 + Pixels(0.03f), 1);
  const Box two = Ink(font, "HH", 100, 300, 1.0f);
  EXPECT_NEAR(two.Width(), 2 * Pixels(0.03f), 2);
  const Box scaled = Ink(font, "  H", 100, 300, 0.75f);
  EXPECT_NEAR(scaled.left, 100 + 2 * Pixels(CellWidth(' ', 0.75f)), 1);

  // Nothing at all for an empty text.
  EXPECT_TRUE(Ink(font, "", 100, 300, 1.0f).Empty());
}

TEST_F(TextDraw, TextKeepsItsColourAndIgnoresTheCamera) {
  Font font;
  font.Init();
  Camera shifted;
  shifted.Move(0.5f, 0.5f);
  font.SetCamera(shifted);
  gl->BeginFrame();
  font.DrawText("I", Vec3(200, 200, 0), Vec3(1, 0, 0), 2.0f);
  gl->ReadFrame();
  const Box box = LitBox();
  EXPECT_NEAR(box.left, 200, 1);
  const Rgb middle = gl->FramePixel((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  EXPECT_TRUE(Near(middle, {255, 0, 0})) << ToString(middle);
}

TEST_F(TextDraw, GlyphsAreMadeOncePerRunAndShared) {
  Font first;
  Font second;
  ASSERT_EQ(first.glyphs.size(), 128u);
  EXPECT_EQ(first.glyphs['A'].texture, second.glyphs['A'].texture);
  EXPECT_NE(first.glyphs['A'].texture, first.glyphs['B'].texture);
  EXPECT_GT(first.glyphs['A'].advance, 0);
  first.Init();
  second.Init();
  EXPECT_NE(first.Program(), second.Program()) << "each font has its own program";
}

TEST_F(TextDraw, MissingFontAndShadersLeaveAFontThatDrawsNothing) {
  const std::string root = TempFolder();
  std::filesystem::create_directories(root + "/run");
  std::filesystem::create_directories(root + "/shaders");
  WriteText(root + "/shaders/font.fs", "void main() { undeclared = 1; }\n");
  const auto home = std::filesystem::current_path();
  std::filesystem::current_path(root + "/run");
  DeleteGlyphTextures(); // forget this run's glyphs so the font file is opened again
  testing::internal::CaptureStdout();
  Font font;
  font.Init();
  font.DrawText("HELLO", Vec3(100, 100, 0), Vec3(1, 1, 1), 1.0f);
  Font nextScreen;
  nextScreen.Init();
  const std::string out = testing::internal::GetCapturedStdout();
  std::filesystem::current_path(home);
  DeleteGlyphTextures(); // the next tests' fonts read the real file
  // Told once each, the shader with the compiler's own words after its name.
  for (const char* line : {"ERROR::FREETYPE: Failed to load font ../Assets/font/RobotoCondensed-Regular.ttf: "
                           "text is not drawn\n",
                           "error ../shaders/font.fs: 0:"}) {
    EXPECT_NE(out.find(line), std::string::npos) << out;
    EXPECT_EQ(out.find(line), out.rfind(line)) << out;
  }
  EXPECT_TRUE(font.glyphs.empty());
  EXPECT_EQ(font.Program(), 0u);
  gl->ReadFrame();
  EXPECT_TRUE(LitBox().Empty());
}

// Marks are not letters: stretched over a letter's cell "!" became a block and "'" a dot
// on the baseline, so "YOU'VE" read "YOU.VE". They keep their shape and height beside a
// capital, while the pen still moves by their cells.
TEST_F(TextDraw, MarksKeepTheirShapeAndPlaceBesideCapitals) {
  Font font;
  font.Init();
  const bool wasBatching = BatchingOn();
  for (bool batched : {false, true}) {
    SetBatching(batched);
    SCOPED_TRACE(batched ? "gathered" : "one draw per character");
    const Box capital = Ink(font, "H", 100, 300, 1.0f);
    ASSERT_FALSE(capital.Empty());

    const Box bang = Ink(font, "!", 100, 300, 1.0f);
    ASSERT_FALSE(bang.Empty());
    EXPECT_NEAR(bang.top, capital.top, 2);
    EXPECT_NEAR(bang.bottom, capital.bottom, 1);
    EXPECT_LT(bang.Width(), capital.Width() / 3) << "a thin stroke, not a block";
    EXPECT_GT(bang.left, capital.left) << "centred in its cell";
    // The dot stands apart from the stroke: a dark row between them.
    const int column = (bang.left + bang.right) / 2;
    int darkRows = 0;
    for (int y = bang.top; y <= bang.bottom; ++y)
      if (gl->FramePixel(column, y).r < 40) ++darkRows;
    EXPECT_GE(darkRows, 1);

    const Box tick = Ink(font, "'", 100, 300, 1.0f);
    ASSERT_FALSE(tick.Empty());
    EXPECT_NEAR(tick.top, capital.top, 2) << "an apostrophe hangs from the capitals' top";
    EXPECT_LT(tick.bottom, (capital.top + capital.bottom) / 2);

    // The cells, and with them the pen, are unchanged.
    EXPECT_NEAR(Ink(font, "!H", 100, 300, 1.0f).right, 100 + Pixels(CellWidth('!', 1.0f) + 0.03f) - 1, 1.5);
    EXPECT_NEAR(Ink(font, "'H", 100, 300, 1.0f).right, 100 + Pixels(CellWidth('\'', 1.0f) + 0.03f) - 1, 1.5);
  }
  SetBatching(wasBatching);
}
