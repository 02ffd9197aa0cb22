#include "render/ImageFile.h"
#include "platform/ConsoleTexts.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <sys/stat.h>

namespace {

int32_t ReadInt32(const unsigned char* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

int ReadUint16(const unsigned char* p) { return p[0] | p[1] << 8; }

} // namespace

bool DecodeBmp(const char* path, DecodedImage& image) {
  FILE* file = std::fopen(path, "rb");
  if (!file) {
    std::printf("%s %s: drawn without its picture\n", ConsoleText::FILE_CANNOT_OPEN, path);
    return false;
  }
  unsigned char header[54] = {};
  if (std::fread(header, 1, 54, file) != 54) {
    std::printf("%s\n", ConsoleText::BMP_WRONG_FILE);
    std::fclose(file);
    return false;
  }
  if (header[0] != 'B' || header[1] != 'M') {
    std::printf("%s\n", ConsoleText::BMP_WRONG_TYPE);
    std::fclose(file);
    return false;
  }
  const int32_t dataOffset = ReadInt32(header + 10);
  const int32_t width = ReadInt32(header + 18);
  const int32_t rawHeight = ReadInt32(header + 22);
  const int bitsPerPixel = ReadUint16(header + 28);
  const int32_t compression = ReadInt32(header + 30);
  if (bitsPerPixel != 24 || compression != 0) {
    std::printf("BMP IS NOT 24-BIT UNCOMPRESSED: %s\n", path);
    std::fclose(file);
    return false;
  }
  // A negative height is a top-down file; INT32_MIN has no positive twin.
  const bool topDown = rawHeight < 0;
  const int64_t height = topDown ? -static_cast<int64_t>(rawHeight) : rawHeight;
  if (width <= 0 || height <= 0 || width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE ||
      width * height > MAX_IMAGE_PIXELS) {
    std::printf("BMP SIZE IS ABSURD: %s (%d x %lld)\n", path, width, static_cast<long long>(height));
    std::fclose(file);
    return false;
  }

  // Rows are padded to four bytes in the file whatever the header's size field says.
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  const size_t bytes = stride * static_cast<size_t>(height);
  // Headers longer than the classic 54 bytes put the pixels further on.
  const long start = dataOffset >= 54 ? dataOffset : 54;
  // A file too short for the pixels its header claims is refused before the
  // picture is allocated: a damaged 54-byte header may claim 400 MB of them.
  struct stat info = {};
  if (fstat(fileno(file), &info) != 0 || static_cast<unsigned long long>(info.st_size) < start + bytes) {
    std::printf("BMP FILE IS TRUNCATED: %s\n", path);
    std::fclose(file);
    return false;
  }
  std::vector<unsigned char> raw;
  try {
    raw.resize(bytes);
    image.pixels.assign(static_cast<size_t>(width) * 3 * height, 0);
  } catch (const std::bad_alloc&) {
    std::printf("BMP TOO LARGE TO LOAD: %s\n", path);
    std::fclose(file);
    return false;
  }
  const bool complete = std::fseek(file, start, SEEK_SET) == 0 && std::fread(raw.data(), 1, bytes, file) == bytes;
  std::fclose(file);
  if (!complete) {
    std::printf("BMP FILE IS TRUNCATED: %s\n", path);
    image = DecodedImage{};
    return false;
  }

  image.width = width;
  image.height = static_cast<int>(height);
  image.channels = 3;
  for (int64_t row = 0; row < height; ++row) {
    const unsigned char* src = raw.data() + stride * row;
    const int64_t target = topDown ? height - 1 - row : row; // bottom row first
    unsigned char* dst = image.pixels.data() + static_cast<size_t>(width) * 3 * target;
    for (int32_t x = 0; x < width; ++x) { // BGR to RGB
      dst[x * 3 + 0] = src[x * 3 + 2];
      dst[x * 3 + 1] = src[x * 3 + 1];
      dst[x * 3 + 2] = src[x * 3 + 0];
    }
  }
  return true;
}
