#pragma once
// Decoding image files into 8-bit pixels, without GL. Used by the texture cache;
// tests call it directly.
#include <string>
#include <vector>

struct DecodedImage {
  int width = 0;
  int height = 0;
  int channels = 0;                  // 3 (RGB) or 4 (RGBA)
  std::vector<unsigned char> pixels; // tight rows, bottom row first, as GL takes them
};

// Largest side and area we decode; anything bigger is reported instead of allocated.
constexpr int MAX_IMAGE_SIDE = 16384;
constexpr long long MAX_IMAGE_PIXELS = 8192LL * 8192LL;

// Every PNG colour type and depth comes out as 8-bit RGB, or RGBA when the file has
// alpha or a transparency chunk. False (one line printed) for a missing, foreign,
// truncated or corrupt file.
bool DecodePng(const char* path, DecodedImage& image);
// Uncompressed 24-bit BMP to RGB. False (one line printed) for a missing, foreign or
// truncated file and for absurd sizes.
bool DecodeBmp(const char* path, DecodedImage& image);
