#include "game/GameSubsystems.h"

int main() { return RunGame(); }
