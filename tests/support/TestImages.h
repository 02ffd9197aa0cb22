#pragma once
// Image files written at test time, so the tests do not depend on the game's art.
#include <cstdint>
#include <string>
#include <vector>

// A fresh folder under the system's temporary directory, removed at exit.
std::string TempFolder();

struct PngPicture {
  int width = 0;
  int height = 0;
  int colorType = 2;                  // libpng PNG_COLOR_TYPE_*
  int bitDepth = 8;
  std::vector<uint8_t> rows;          // packed rows as the file stores them, top row first
  std::vector<uint8_t> palette;       // r, g, b triples for palette images
  std::vector<uint8_t> transparency;  // tRNS: palette alphas, or the grey/RGB key as 16-bit values
  bool interlaced = false;
};
// Writes the PNG; false if libpng refused.
bool WritePng(const std::string& path, const PngPicture& picture);
// An 8-bit RGBA picture, pixels top row first.
bool WriteRgbaPng(const std::string& path, int width, int height, const std::vector<uint32_t>& rgba);

// A 24-bit BMP, pixels 0xRRGGBB top row first. sizeField is written at byte 34;
// heightField overrides the stored height when non-zero; dataOffset at byte 10.
bool WriteBmp(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb,
              uint32_t sizeField = 0, int32_t heightField = 0, uint32_t dataOffset = 54);

void WriteText(const std::string& path, const std::string& text);
std::vector<uint8_t> ReadBytes(const std::string& path);
// The file's whitespace-separated words, as the level reader sees them.
std::vector<std::string> ReadTokens(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
