#include "core/WindowSettings.h"

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
