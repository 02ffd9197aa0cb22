#include "core/GameLoop.h"
#include <cstdio>

int RunGame() {
  std::printf("Kvo\n");
  return 0;
}
