#include "core/GameLoop.h"

int main() { return RunGame(); }
