// Sprites on screen, the image decoders and the texture cache.
#include <gtest/gtest.h>
#include <GL/glew.h>
#include <png.h>

#include <climits>

#include "core/Window.h"
#include "render/Camera.h"
#include "render/DrawBatch.h"
#include "render/ImageFile.h"
#include "render/Shader.h"
#include "render/Texture.h"
#include "render/TextureCache.h"
#include "support/RenderFixture.h"
#include "support/TestImages.h"

namespace {

const Rgb RED{255, 0, 0}, GREEN{0, 255, 0}, BLUE{0, 0, 255}, WHITE{255, 255, 255}, BLACK{0, 0, 0};

// 2 x 2: red top-left, green top-right, blue bottom-left, white bottom-right.
std::string QuadrantPng(const std::string& folder) {
  const std::string path = folder + "/quadrants.png";
  WriteRgbaPng(path, 2, 2, {0xff0000ff, 0x00ff00ff, 0x0000ffff, 0xffffffff});
  return path;
}

std::string CapturedLine(const std::function<void()>& run) {
  testing::internal::CaptureStdout();
  run();
  return testing::internal::GetCapturedStdout();
}

class TextureDraw : public RenderTest {};

} // namespace

TEST_F(TextureDraw, ImageCoversItsRectangleOnlyAndKeepsItsOrientation) {
  const std::string folder = TempFolder();
  Texture t(QuadrantPng(folder).c_str(), 1, Vec3(100, 200, 0), 20, 10);
  t.Init();
  t.Draw();
  gl->ReadFrame();

  const Box box = LitBox();
  EXPECT_EQ(box.Width(), 40);
  EXPECT_EQ(box.Height(), 20);
  EXPECT_NEAR(box.left, 80, 1);
  EXPECT_NEAR(box.top, 190, 1);
  EXPECT_EQ(LitCount(), 40 * 20) << "pixels outside the quad were drawn";
  EXPECT_TRUE(Near(gl->FramePixel(90, 195), RED)) << ToString(gl->FramePixel(90, 195));
  EXPECT_TRUE(Near(gl->FramePixel(110, 195), GREEN));
  EXPECT_TRUE(Near(gl->FramePixel(90, 205), BLUE));
  EXPECT_TRUE(Near(gl->FramePixel(110, 205), WHITE));
}

// Batched pictures never make buffers of their own; drawn alone, one makes them at its
// first draw, from where it stands then, and follows where it goes after.
TEST_F(TextureDraw, WithoutBatchingAPictureDrawsFromItsOwnBuffersWhereItStands) {
  const std::string folder = TempFolder();
  Texture t(QuadrantPng(folder).c_str(), 1, Vec3(100, 200, 0), 20, 10);
  t.Init();
  t.Draw(); // batched
  SetBatching(false);
  for (float x : {150.0f, 400.0f}) {
    t.SetPosition(Vec3(x, 250, 0), 0.0f);
    gl->BeginFrame();
    t.Draw();
    gl->ReadFrame();
    EXPECT_NEAR(LitBox().left, x - 20, 1);
    EXPECT_EQ(LitCount(), 40 * 20);
    EXPECT_TRUE(Near(gl->FramePixel(static_cast<int>(x) + 10, 255), WHITE)) << ToString(gl->FramePixel(static_cast<int>(x) + 10, 255));
  }
  SetBatching(true);
}

TEST_F(TextureDraw, CameraMovesWhatIsDrawn) {
  const std::string folder = TempFolder();
  Texture t(QuadrantPng(folder).c_str(), 1, Vec3(300, 300, 0), 20, 20);
  t.Init();

  Camera camera(0, 0, 1);
  t.SetCamera(camera);
  t.Draw();
  gl->ReadFrame();
  const Box still = LitBox();
  EXPECT_NEAR(still.left, 280, 1) << "an identity camera moved the sprite";

  // 30 pixels right and 10 up, in device units.
  camera.Move(30 * 2.0f / g_screen.width, 10 * 2.0f / g_screen.height);
  t.SetCamera(camera);
  gl->BeginFrame();
  t.Draw();
  gl->ReadFrame();
  const Box moved = LitBox();
  EXPECT_NEAR(moved.left - still.left, 30, 1);
  EXPECT_NEAR(moved.top - still.top, -10, 1);

  // Centring on a point 100 pixels right of the screen centre shifts the scene left.
  Camera follow(0, 0, 1);
  follow.SetPosition(g_screen.width / 2.0f + 100, g_screen.height / 2.0f);
  t.SetCamera(follow);
  gl->BeginFrame();
  t.Draw();
  gl->ReadFrame();
  EXPECT_NEAR(LitBox().left - still.left, -100, 1);
}

TEST_F(TextureDraw, RotatedCornersTurnThePicture) {
  const std::string folder = TempFolder();
  Texture t(QuadrantPng(folder).c_str(), 1, Vec3(100, 100, 0), 20, 10);
  t.Init();
  // Turned a quarter: the picture's left edge lies along the screen's bottom, so its
  // red top-left corner ends bottom-left and its white bottom-right corner top-right.
  t.SetCorners(Vec3(510, 420, 0), 0, Vec3(510, 380, 0), 0, Vec3(490, 420, 0), 0, Vec3(490, 380, 0), 0);
  EXPECT_EQ(t.halfWidth, 20);
  EXPECT_EQ(t.halfHeight, 10);
  EXPECT_FLOAT_EQ(t.center[0], 500);
  EXPECT_FLOAT_EQ(t.center[1], 400);
  t.Draw();
  gl->ReadFrame();
  const Box box = LitBox();
  EXPECT_EQ(box.Width(), 20);
  EXPECT_EQ(box.Height(), 40);
  EXPECT_TRUE(Near(gl->FramePixel(495, 415), RED)) << ToString(gl->FramePixel(495, 415));
  EXPECT_TRUE(Near(gl->FramePixel(505, 385), WHITE));
}

TEST_F(TextureDraw, AxisAlignedCornersMatchSetPosition) {
  Texture a(nullptr, 1, Vec3(0, 0, 0), 30, 12);
  Texture b(nullptr, 1, Vec3(0, 0, 0), 30, 12);
  a.SetPosition(Vec3(200, 150, 0), 0.0f);
  b.SetCorners(Vec3(170, 162, 0), 0, Vec3(230, 162, 0), 0, Vec3(170, 138, 0), 0, Vec3(230, 138, 0), 0);
  for (int i = 0; i < 28; ++i) EXPECT_FLOAT_EQ(a.VertexData()[i], b.VertexData()[i]) << "float " << i;
  // Corners from a damaged file, far beyond int's range: the sizes stay at its limit.
  b.SetCorners(Vec3(-1e30f, 0, 0), 0, Vec3(1e30f, 0, 0), 0, Vec3(-1e30f, -1e30f, 0), 0, Vec3(1e30f, -1e30f, 0), 0);
  EXPECT_EQ(b.halfWidth, INT_MAX);
  EXPECT_EQ(b.halfHeight, INT_MAX);
  // The left-bottom vertex of a full-screen picture sits on the screen's corner pixel.
  Texture full(nullptr, 1, Vec3(g_screen.width / 2.0f, g_screen.height / 2.0f, 0), g_screen.width / 2,
               g_screen.height / 2);
  EXPECT_FLOAT_EQ(full.VertexData()[0], ToDeviceX(0));
  EXPECT_FLOAT_EQ(full.VertexData()[1], ToDeviceY(static_cast<float>(g_screen.height)));
}

TEST_F(TextureDraw, DestroyedCopyLeavesTheOriginalDrawing) {
  const std::string folder = TempFolder();
  Texture original(QuadrantPng(folder).c_str(), 1, Vec3(100, 100, 0), 10, 10);
  original.Init();
  {
    Texture copy(original);
    copy.Init();
    copy.SetPosition(Vec3(400, 400, 0), 0.0f);
    Texture unused(original); // a copy never initialised shares the original's buffers
  }
  original.Init(); // re-initialising must not pick up the copy's move
  original.Draw();
  gl->ReadFrame();
  EXPECT_NEAR(LitBox().left, 90, 1);
  EXPECT_EQ(LitCount(), 400);
}

TEST_F(TextureDraw, ProgramsAreSharedWithinAStateAndRebuiltAfter) {
  Texture a, b;
  a.Init();
  b.Init();
  EXPECT_NE(a.Program(), 0u);
  EXPECT_EQ(a.Program(), b.Program());
  ResetStateProgramCaches();
  Texture c;
  c.Init();
  EXPECT_NE(c.Program(), 0u);
  // Built anew into the same program: the graphics made before the reset still draw with
  // a live program, and a state change does not leave one program behind.
  EXPECT_EQ(c.Program(), a.Program());
  EXPECT_TRUE(glIsProgram(a.Program()));
  for (int state = 0; state < 5; ++state) {
    ResetStateProgramCaches();
    Texture d;
    d.Init();
    EXPECT_EQ(d.Program(), a.Program());
  }
  GLuint fresh = glCreateProgram();
  glDeleteProgram(fresh);
  int live = 0;
  for (GLuint name = 1; name < fresh; ++name) live += glIsProgram(name) ? 1 : 0;
  EXPECT_LE(live, 6) << "programs left behind by the rebuilds";
  DeleteSharedPrograms();
  EXPECT_EQ(CachedProgram(SharedProgram::Basic), 0u);
}

// ---- PNG decoding ------------------------------------------------------------

namespace {

struct Decoded {
  DecodedImage image;
  bool ok = false;
  // Pixel (x, y) with y counted from the top of the picture, as RGBA (alpha 255 for RGB).
  std::array<int, 4> At(int x, int y) const {
    const int row = image.height - 1 - y;
    const unsigned char* p = image.pixels.data() + (static_cast<size_t>(row) * image.width + x) * image.channels;
    return {p[0], p[1], p[2], image.channels == 4 ? p[3] : 255};
  }
};

Decoded DecodePicture(const PngPicture& picture) {
  const std::string path = TempFolder() + "/image.png";
  EXPECT_TRUE(WritePng(path, picture));
  Decoded d;
  d.ok = DecodePng(path.c_str(), d.image);
  return d;
}

using Rgba = std::array<int, 4>;

} // namespace

TEST(PngDecoding, EveryColourTypeComesOutAsEightBitRgbOrRgba) {
  {
    PngPicture s{2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, {255, 0, 0, 0, 0, 255}, {}};
    Decoded d = DecodePicture(s);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.channels, 3);
    EXPECT_EQ(d.At(0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(d.At(1, 0), (Rgba{0, 0, 255, 255}));
  }
  { // palette with transparency, 4-bit indices
    PngPicture s{2, 1, PNG_COLOR_TYPE_PALETTE, 4, {0x01}, {255, 0, 0, 0, 255, 0}, {0, 128}};
    Decoded d = DecodePicture(s);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.channels, 4);
    EXPECT_EQ(d.At(0, 0), (Rgba{255, 0, 0, 0}));
    EXPECT_EQ(d.At(1, 0), (Rgba{0, 255, 0, 128}));
  }
  { // 1-bit grey, two rows
    PngPicture s{3, 2, PNG_COLOR_TYPE_GRAY, 1, {0xA0, 0x40}, {}, {}};
    Decoded d = DecodePicture(s);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.channels, 3);
    EXPECT_EQ(d.At(0, 0), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(d.At(1, 0), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(d.At(2, 0), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(d.At(1, 1), (Rgba{255, 255, 255, 255})) << "rows must be stored bottom first";
  }
  { // 16-bit grey with a transparent key
    PngPicture s{2, 1, PNG_COLOR_TYPE_GRAY, 16, {0x80, 0x00, 0xFF, 0xFF}, {}, {0}};
    s.transparency = {0xFF}; // key 0x00FF: neither pixel, so both stay opaque
    Decoded d = DecodePicture(s);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.channels, 4);
    EXPECT_NEAR(d.At(0, 0)[0], 128, 1);
    EXPECT_EQ(d.At(1, 0), (Rgba{255, 255, 255, 255}));
  }
  { // grey with alpha
    PngPicture s{1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {200, 50}, {}, {}};
    Decoded d = DecodePicture(s);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.At(0, 0), (Rgba{200, 200, 200, 50}));
  }
  { // 16-bit RGBA
    PngPicture s{1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0xFF, 0xFF, 0x00, 0x00, 0x80, 0x80, 0xFF, 0xFF}, {}, {}};
    Decoded d = DecodePicture(s);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.channels, 4);
    EXPECT_EQ(d.At(0, 0), (Rgba{255, 0, 128, 255}));
  }
  { // interlaced RGB
    PngPicture s{3, 3, PNG_COLOR_TYPE_RGB, 8, {}, {}, {}};
    for (int i = 0; i < 9; ++i) s.rows.insert(s.rows.end(), {uint8_t(i * 20), 0, 0});
    s.interlaced = true;
    Decoded d = DecodePicture(s);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.At(2, 1), (Rgba{100, 0, 0, 255}));
  }
}

TEST_F(TextureDraw, PalettePictureDrawsInItsColours) {
  const std::string path = TempFolder() + "/palette.png";
  PngPicture s{2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, {0, 255, 0, 0, 0, 0}, {255, 0}};
  ASSERT_TRUE(WritePng(path, s));
  Texture t(path.c_str(), 1, Vec3(100, 100, 0), 10, 10);
  t.Init();
  t.Draw();
  gl->ReadFrame();
  EXPECT_TRUE(Near(gl->FramePixel(95, 100), GREEN)) << ToString(gl->FramePixel(95, 100));
  EXPECT_TRUE(Near(gl->FramePixel(105, 100), BLACK)) << "the transparent half was drawn";
}

TEST(PngDecoding, BrokenFilesGiveNothingAndOneLine) {
  const std::string folder = TempFolder();
  const std::string good = folder + "/good.png";
  PngPicture s{64, 64, PNG_COLOR_TYPE_RGB, 8, {}, {}, {}};
  for (int i = 0; i < 64 * 64 * 3; ++i) s.rows.push_back(static_cast<uint8_t>(i * 7919 >> 3));
  ASSERT_TRUE(WritePng(good, s));
  const std::vector<uint8_t> bytes = ReadBytes(good);

  std::vector<uint8_t> truncated(bytes.begin(), bytes.begin() + bytes.size() / 2);
  WriteBytes(folder + "/truncated.png", truncated);
  std::vector<uint8_t> corrupt = bytes;
  for (size_t i = 60; i < corrupt.size() - 20; i += 97) corrupt[i] ^= 0x5A;
  WriteBytes(folder + "/corrupt.png", corrupt);
  std::vector<uint8_t> headerOnly(bytes.begin(), bytes.begin() + 8);
  WriteBytes(folder + "/header.png", headerOnly);
  WriteText(folder + "/text.png", "this is not a picture\n");
  ASSERT_TRUE(WritePng(folder + "/wide.png", PngPicture{20000, 1, PNG_COLOR_TYPE_RGB, 8, {}, {}, {}}));

  for (const char* name : {"truncated.png", "corrupt.png", "header.png", "wide.png"}) {
    DecodedImage image;
    std::string out = CapturedLine([&] { EXPECT_FALSE(DecodePng((folder + "/" + name).c_str(), image)) << name; });
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << name << ": " << out;
    EXPECT_TRUE(image.pixels.empty());
  }
  DecodedImage image;
  EXPECT_EQ(CapturedLine([&] { DecodePng((folder + "/text.png").c_str(), image); }),
            "NOT A PNG FILE! " + folder + "/text.png: drawn without its picture\n");
  EXPECT_EQ(CapturedLine([&] { DecodePng((folder + "/missing.png").c_str(), image); }),
            "FILE CANNOT OPEN! " + folder + "/missing.png: drawn without its picture\n");
}

TEST_F(TextureDraw, FailedPictureGivesTextureZeroAndDrawsSafely) {
  const std::string folder = TempFolder();
  WriteText(folder + "/bad.png", "\x89PNG\r\n\x1a\nbroken");
  std::string out;
  out = CapturedLine([&] {
    Texture t((folder + "/bad.png").c_str(), 1, Vec3(100, 100, 0), 10, 10);
    EXPECT_EQ(t.textureName, 0u);
    t.Init();
    t.Draw();
  });
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
  EXPECT_EQ(CapturedLine([] { Texture t(nullptr, 1, Vec3(5, 5, 0), 2, 2); }), "");
  EXPECT_EQ(CapturedLine([] {
              Texture t;
              EXPECT_EQ(t.LoadPng(nullptr), 0u);
            }),
            "FILE CANNOT OPEN!\n");
}

// ---- BMP decoding ------------------------------------------------------------

TEST(BmpDecoding, ReadsPaddedRowsAndBothRowOrders) {
  const std::string folder = TempFolder();
  // 3 pixels wide: rows carry three bytes of padding. Size field 0 means "work it out".
  const std::vector<uint32_t> pixels = {0xff0000, 0x00ff00, 0x0000ff, 0x101010, 0x202020, 0x303030};
  WriteBmp(folder + "/a.bmp", 3, 2, pixels, 0);
  DecodedImage image;
  ASSERT_TRUE(DecodeBmp((folder + "/a.bmp").c_str(), image));
  EXPECT_EQ(image.channels, 3);
  const std::vector<unsigned char> expected = {0x10, 0x10, 0x10, 0x20, 0x20, 0x20, 0x30, 0x30, 0x30,
                                               0xff, 0, 0, 0, 0xff, 0, 0, 0, 0xff};
  EXPECT_EQ(image.pixels, expected);

  // The same picture stored top-down (negative height) and behind a longer header.
  const std::vector<uint32_t> flipped = {0x101010, 0x202020, 0x303030, 0xff0000, 0x00ff00, 0x0000ff};
  WriteBmp(folder + "/b.bmp", 3, 2, flipped, 24, -2, 138);
  DecodedImage other;
  ASSERT_TRUE(DecodeBmp((folder + "/b.bmp").c_str(), other));
  EXPECT_EQ(other.pixels, expected);
}

TEST(BmpDecoding, LiesAndDamageGiveNothingAndOneLine) {
  const std::string folder = TempFolder();
  const std::vector<uint32_t> pixels(16 * 16, 0x808080);
  WriteBmp(folder + "/full.bmp", 16, 16, pixels);
  std::vector<uint8_t> bytes = ReadBytes(folder + "/full.bmp");

  auto patched = [&](const char* name, size_t at, std::vector<uint8_t> with) {
    std::vector<uint8_t> copy = bytes;
    std::copy(with.begin(), with.end(), copy.begin() + at);
    WriteBytes(folder + "/" + name, copy);
  };
  patched("huge.bmp", 18, {0xff, 0xff, 0xff, 0x7f});     // width 2^31 - 1
  patched("negative.bmp", 18, {0xf0, 0xff, 0xff, 0xff}); // width -16
  patched("minheight.bmp", 22, {0, 0, 0, 0x80});         // height INT32_MIN
  patched("palette.bmp", 28, {8});
  WriteBytes(folder + "/truncated.bmp", std::vector<uint8_t>(bytes.begin(), bytes.begin() + 54 + 16 * 3 * 8));

  for (const char* name : {"truncated.bmp", "huge.bmp", "negative.bmp", "minheight.bmp", "palette.bmp"}) {
    DecodedImage image;
    std::string out = CapturedLine([&] { EXPECT_FALSE(DecodeBmp((folder + "/" + name).c_str(), image)) << name; });
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << name << ": " << out;
  }
  std::vector<uint8_t> shortHeader(bytes.begin(), bytes.begin() + 30);
  WriteBytes(folder + "/short.bmp", shortHeader);
  DecodedImage image;
  EXPECT_EQ(CapturedLine([&] { DecodeBmp((folder + "/short.bmp").c_str(), image); }), "WRONG FILE!\n");
  WriteText(folder + "/png.bmp", std::string(60, 'P'));
  EXPECT_EQ(CapturedLine([&] { DecodeBmp((folder + "/png.bmp").c_str(), image); }), "WRONG FILE TYPE!\n");
}

// ---- the texture cache -------------------------------------------------------

TEST_F(TextureDraw, EachFileIsUploadedOnceAndShared) {
  const std::string folder = TempFolder();
  const std::string open = folder + "/open.png", closed = folder + "/closed.png";
  WriteRgbaPng(open, 1, 1, {0x00ff00ff});
  WriteRgbaPng(closed, 1, 1, {0xff0000ff});
  const int before = CachedImageCount();
  Texture gate(closed.c_str(), 1, Vec3(50, 50, 0), 8, 8);
  Texture other(closed.c_str(), 1, Vec3(80, 50, 0), 8, 8);
  EXPECT_EQ(gate.textureName, other.textureName);
  const unsigned int closedName = gate.textureName;
  for (int i = 0; i < 5; ++i) {
    gate.SetImage(open.c_str());
    gate.SetImage(closed.c_str());
  }
  EXPECT_EQ(gate.textureName, closedName);
  EXPECT_EQ(CachedImageCount(), before + 2);
  gate.SetImage(open.c_str());
  gate.Init();
  gate.Draw();
  EXPECT_TRUE(Near(gl->Pixel(50, 50), GREEN));
}

// The debug view's outline gets its GL side only when first shown, and must then
// stand where the picture stands, under the view the picture was given before.
TEST_F(TextureDraw, OutlineFirstShownFollowsTheViewGivenBefore) {
  const std::string folder = TempFolder();
  Texture picture(QuadrantPng(folder).c_str(), 1, Vec3(300, 300, 0), 20, 20);
  picture.Init();
  Camera view(0, 0, 1);
  view.Move(60 * 2.0f / g_screen.width, 0); // 60 pixels right
  picture.SetCamera(view);
  picture.Draw();
  gl->ReadFrame();
  const Box where = LitBox();
  ASSERT_NEAR(where.left, 340, 1) << "the view did not move the picture";
  int greenBefore = 0, greenAfter = 0;
  for (int y = where.top; y <= where.bottom; ++y) greenBefore += Near(gl->FramePixel(where.left, y), GREEN);

  gl->BeginFrame();
  picture.showOutline = true;
  picture.Draw();
  gl->ReadFrame();
  for (int y = where.top; y <= where.bottom; ++y) greenAfter += Near(gl->FramePixel(where.left, y), GREEN);
  EXPECT_GT(greenAfter, greenBefore + where.Height() / 2) << "no outline on the picture's left edge";
}
