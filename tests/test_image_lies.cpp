// Picture files whose header claims far more pixels than the file holds: the
// decoders must see the lie before they allocate the picture. Each test runs
// in its own process, so the peak resident size shows what a decode allocated.
#include <gtest/gtest.h>

#include <png.h>
#include <sys/resource.h>
#include <zlib.h>

#include <algorithm>

#include "render/ImageFile.h"
#include "support/TestImages.h"

namespace {

long PeakKilobytes() {
  rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Decodes with standard output captured; the printed text comes back.
template <class Decode> std::string Printed(Decode decode) {
  testing::internal::CaptureStdout();
  decode();
  return testing::internal::GetCapturedStdout();
}

void PutBigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

} // namespace

TEST(ImageSizeLies, ABmpHeaderClaimingMorePixelsThanItsFileIsRefusedUnallocated) {
  const std::string folder = TempFolder();
  const std::string liar = folder + "/liar.bmp";
  // A whole 2 x 2 file, then its header made to claim 8192 x 8192 (400 MB of pixels).
  ASSERT_TRUE(WriteBmp(liar, 2, 2, std::vector<uint32_t>(4, 0x102030)));
  std::vector<uint8_t> bytes = ReadBytes(liar);
  for (size_t at : {18u, 22u}) std::copy_n(std::vector<uint8_t>{0, 0x20, 0, 0}.begin(), 4, bytes.begin() + at);
  WriteBytes(liar, bytes);

  const long before = PeakKilobytes();
  DecodedImage image;
  bool decoded = true;
  EXPECT_EQ(Printed([&] { decoded = DecodeBmp(liar.c_str(), image); }), "BMP FILE IS TRUNCATED: " + liar + "\n");
  EXPECT_FALSE(decoded);
  EXPECT_TRUE(image.pixels.empty());
  EXPECT_LT(PeakKilobytes() - before, 64 * 1024) << "the claimed picture was allocated";

  // Pixels said to start past the end of the file are the same lie.
  ASSERT_TRUE(WriteBmp(liar, 2, 2, std::vector<uint32_t>(4, 0x102030)));
  bytes = ReadBytes(liar);
  std::copy_n(std::vector<uint8_t>{0xa0, 0x0f, 0, 0}.begin(), 4, bytes.begin() + 10);
  WriteBytes(liar, bytes);
  EXPECT_FALSE(DecodeBmp(liar.c_str(), image));
}

TEST(ImageSizeLies, APngHeaderClaimingMoreRowsThanItsDataCouldHoldIsRefusedUnallocated) {
  const std::string folder = TempFolder();
  const std::string liar = folder + "/liar.png";
  // A whole 1 x 1 RGBA file, then its header made to claim 8192 x 8192
  // (256 MB of pixels) with its checksum put right, so only the size lies.
  ASSERT_TRUE(WriteRgbaPng(liar, 1, 1, {0xff00ffff}));
  std::vector<uint8_t> bytes = ReadBytes(liar);
  PutBigEndian(bytes, 16, 8192);
  PutBigEndian(bytes, 20, 8192);
  PutBigEndian(bytes, 29, static_cast<uint32_t>(crc32(0, bytes.data() + 12, 17)));
  WriteBytes(liar, bytes);

  const long before = PeakKilobytes();
  DecodedImage image;
  bool decoded = true;
  const std::string out = Printed([&] { decoded = DecodePng(liar.c_str(), image); });
  EXPECT_FALSE(decoded);
  EXPECT_EQ(out, "PNG FILE IS DAMAGED: " + liar + " (the file is too short for the size it claims), drawn without its picture\n");
  EXPECT_TRUE(image.pixels.empty());
  EXPECT_LT(PeakKilobytes() - before, 64 * 1024) << "the claimed picture was allocated";
}

TEST(ImageSizeLies, APngThatCompressesAsWellAsDeflateCanStillDecodes) {
  // 2048 x 2048 of one colour: a few kilobytes on disk for 16 MB of pixels,
  // as close to deflate's limit as an encoder gets.
  const std::string folder = TempFolder();
  PngPicture flat{2048, 2048, PNG_COLOR_TYPE_RGB_ALPHA, 8, std::vector<uint8_t>(2048 * 2048 * 4, 0), {}, {}};
  ASSERT_TRUE(WritePng(folder + "/flat.png", flat));
  DecodedImage image;
  std::string out = Printed([&] { EXPECT_TRUE(DecodePng((folder + "/flat.png").c_str(), image)); });
  EXPECT_EQ(out, "");
  EXPECT_EQ(image.width, 2048);
  EXPECT_EQ(image.pixels.size(), 2048u * 2048u * 4u);
}
