#include "core/GameState.h"
#include "core/System.h"

std::vector<std::shared_ptr<System>> g_systems;

LoopState g_loop;
