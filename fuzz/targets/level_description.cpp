// The level description check that decides which files the level list shows.
#include <sstream>

#include "FuzzTarget.h"
#include "levels/LevelTokens.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(InputText(data, size));
  (void)ValidateLevelTokens(in);
  return 0;
}
