#include "core/WindowSettings.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

bool ParseWholeInt(const std::string& field, int& value) {
  std::istringstream in(field);
  long long v = 0;
  if (!(in >> v) || !in.eof() || v < -2147483647LL || v > 2147483647LL) return false;
  value = static_cast<int>(v);
  return true;
}

// Three integers, and a window big enough to leave a logical screen.
bool ParseSettingsLine(const std::string& line, int& width, int& height, int& console) {
  std::istringstream in(line);
  std::string fields[3];
  for (std::string& f : fields)
    if (!(in >> f)) return false;
  int w = 0, h = 0, s = 0;
  if (!ParseWholeInt(fields[0], w) || !ParseWholeInt(fields[1], h) || !ParseWholeInt(fields[2], s)) return false;
  if (w <= 16 || h <= 40 || w > 16384 || h > 16384) return false;
  width = w;
  height = h;
  console = s;
  return true;
}

void Defaults(int& width, int& height, int& console) {
  width = 1280;
  height = 760;
  console = 0;
}

} // namespace

bool ParseWindowSettings(std::istream& text, int& width, int& height, int& console, const std::string& name) {
  Defaults(width, height, console);
  int w = 0, h = 0, s = 0, lineNumber = 0;
  bool any = false;
  std::string line;
  while (std::getline(text, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    if (!ParseSettingsLine(line, w, h, s)) {
      std::printf("Error: %s line %d does not hold a window width, height and console switch, "
                  "the window is 1280 760 0\n", name.c_str(), lineNumber);
      return false;
    }
    any = true;
  }
  if (!any) {
    std::printf("Error: %s holds no window size, the window is 1280 760 0\n", name.c_str());
    return false;
  }
  width = w;
  height = h;
  console = s;
  return true;
}

bool ReadWindowSettings(int& width, int& height, int& console, const std::string& path) {
  Defaults(width, height, console);
  std::ifstream file(path);
  if (!file) {
    std::printf("Error: %s cannot be opened, the window is 1280 760 0\n", path.c_str());
    return false;
  }
  return ParseWindowSettings(file, width, height, console, path);
}

bool ClampWindowSize(int& width, int& height, int displayWidth, int displayHeight, const std::string& name) {
  const int w = width - 16, h = height - 40;
  int keptW = std::max(w, MIN_SCREEN_WIDTH), keptH = std::max(h, MIN_SCREEN_HEIGHT);
  // A display smaller than the smallest screen still gets the smallest screen.
  if (displayWidth > 0) keptW = std::min(keptW, std::max(displayWidth, MIN_SCREEN_WIDTH));
  if (displayHeight > 0) keptH = std::min(keptH, std::max(displayHeight, MIN_SCREEN_HEIGHT));
  if (keptW == w && keptH == h) return false;
  width = keptW + 16;
  height = keptH + 40;
  std::printf("Error: %s asks for a %d x %d screen, which does not fit between %d x %d and the display's "
              "%d x %d: the window is %d %d\n",
              name.c_str(), w, h, MIN_SCREEN_WIDTH, MIN_SCREEN_HEIGHT, displayWidth, displayHeight, width, height);
  return true;
}
