#include "render/SpriteSheet.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

bool IsBlank(const std::string& line) {
  return line.find_first_not_of(" \t\r\n\f\v") == std::string::npos;
}

// x, y, w, h of one frame line, or false when it does not follow the format.
bool ParseFrameLine(const std::string& line, int out[4]) {
  const size_t equals = line.find('=', 1); // the label has at least one character
  if (equals == std::string::npos || equals + 2 > line.size()) return false;
  // The character after "=" is dropped unread, so it must be the separating blank:
  // "a=10 0 4 4" would otherwise come out as x = 0.
  if (line[equals + 1] != ' ' && line[equals + 1] != '\t') return false;
  std::istringstream fields(line.substr(equals + 2)); // "=" and the space after it
  for (int i = 0; i < 4; ++i) {
    std::string field;
    if (!(fields >> field)) return false;
    try {
      out[i] = std::stoi(field);
    } catch (const std::logic_error&) { // not a number, or out of int's range
      return false;
    }
  }
  return true;
}

} // namespace

std::vector<SpriteFrame> ParseSpriteSheet(std::istream& text, int imageWidth, int imageHeight,
                                          const std::string& name) {
  std::vector<SpriteFrame> frames;
  std::string line;
  int lineNumber = 0;
  while (std::getline(text, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsBlank(line)) continue;
    int r[4] = {};
    if (!ParseFrameLine(line, r)) {
      std::printf("SPRITE SHEET LINE SKIPPED: %s:%d: %s\n", name.c_str(), lineNumber, line.c_str());
      continue;
    }
    SpriteFrame f;
    if (imageWidth > 0 && imageHeight > 0) {
      const float w = static_cast<float>(imageWidth), h = static_cast<float>(imageHeight);
      f.u = r[0] / w;
      f.du = r[2] / w;
      f.v = r[1] / h;
      f.dv = r[3] / h;
    }
    frames.push_back(f);
  }
  return frames;
}

std::vector<SpriteFrame> ReadSpriteSheet(const char* path, int imageWidth, int imageHeight) {
  const std::string name = path ? path : "(none)";
  std::ifstream file;
  if (path) file.open(path);
  if (!file) {
    std::printf("SPRITE SHEET CANNOT OPEN: %s\n", name.c_str());
    return {SpriteFrame{}};
  }
  std::vector<SpriteFrame> frames = ParseSpriteSheet(file, imageWidth, imageHeight, name);
  if (frames.empty()) {
    std::printf("SPRITE SHEET HAS NO FRAMES: %s\n", name.c_str());
    frames.push_back(SpriteFrame{});
  }
  return frames;
}
