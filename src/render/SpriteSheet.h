#pragma once
// Sprite-sheet descriptors: the text file beside a sheet listing its frames, one
// non-empty line each, "label= x y w h" in pixels with y counted from the bottom
// edge of the picture. Reading needs no GL.
#include <istream>
#include <string>
#include <vector>

// One frame's rectangle in texture coordinates: lower-left corner (u, v), size du x dv.
struct SpriteFrame {
  float u = 0.0f;
  float v = 0.0f;
  float du = 1.0f;
  float dv = 1.0f;
};

// The frames of a descriptor for an image of the given size, in file order. A line
// that does not parse is skipped with one line on standard output (name says where).
// With an image size of 0 (the picture failed to load) every frame is the whole picture.
std::vector<SpriteFrame> ParseSpriteSheet(std::istream& text, int imageWidth, int imageHeight,
                                          const std::string& name);
// Reads the file at path. A missing file, or one without a single valid frame line,
// gives one frame covering the whole picture and one line on standard output.
std::vector<SpriteFrame> ReadSpriteSheet(const char* path, int imageWidth, int imageHeight);
