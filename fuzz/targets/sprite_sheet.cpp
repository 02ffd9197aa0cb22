// The sprite-sheet descriptor beside an animated picture, for a picture that
// loaded (odd sizes included) and for one that did not (size 0).
#include <cmath>
#include <sstream>

#include "FuzzTarget.h"
#include "render/SpriteSheet.h"

namespace {

void Read(const std::string& text, int width, int height) {
  std::istringstream in(text);
  for (const SpriteFrame& f : ParseSpriteSheet(in, width, height, "sheet.txt")) {
    // Frames become texture coordinates; a NaN or infinity would draw garbage.
    if (!std::isfinite(f.u) || !std::isfinite(f.v) || !std::isfinite(f.du) || !std::isfinite(f.dv))
      __builtin_trap();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = InputText(data, size);
  Read(text, 0, 0);
  Read(text, 256, 128);
  Read(text, 1, 3);
  return 0;
}
