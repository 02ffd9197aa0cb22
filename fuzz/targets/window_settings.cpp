// Windows.txt: the window size and console switch read before the window opens.
#include <sstream>

#include "FuzzTarget.h"
#include "core/WindowSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(InputText(data, size));
  int width = 0, height = 0, console = 0;
  const bool read = ParseWindowSettings(in, width, height, console, "Windows.txt");
  // The window opens at width - 16 by height - 40: either the file gave a size
  // that leaves a screen or the defaults stand.
  if (read && (width <= 16 || height <= 40 || width > 16384 || height > 16384)) __builtin_trap();
  if (!read && (width != 1280 || height != 760 || console != 0)) __builtin_trap();
  return 0;
}
