#pragma once
#include "core/Subsystems.h"
#include <memory>

// The whole game behind the loop's steps: the object systems, the level list, audio, the
// front end, the tweak bars and the state table.
std::shared_ptr<Subsystems> MakeGameSubsystems();

// Runs the game from start-up to shut-down; returns the process exit code.
int RunGame();
