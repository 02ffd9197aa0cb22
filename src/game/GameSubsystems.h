#pragma once
#include "core/Subsystems.h"
#include <memory>
#include <string>

// The whole game behind the loop's steps: the object systems, the level list, audio, the
// front end, the tweak bars and the state table.
std::shared_ptr<Subsystems> MakeGameSubsystems();

// Runs the game from start-up to shut-down, as the command line asks; returns the process
// exit code (2 for a command line it cannot follow, before any window opens).
int RunGame(int argc, char** argv);

// The next campaign level made is this level file instead, played as the campaign's last.
void PlayLevelFirst(const std::string& path);
