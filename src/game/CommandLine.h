#pragma once
#include <string>
#include <vector>

class GameLoop;

// What a start from a shell asks of this run: `Kvo --help` and the like. Nothing here is
// remembered: Options.txt keeps what the player chose in the game.
struct LaunchOptions {
  int exitCode = -1;         // 0 or more: end with it before any window opens
  int fullscreen = -1;       // -1 as remembered, 0 a window, 1 full screen
  std::string level;         // play this level at once, then the menu
  bool editor = false;       // open the editor ...
  std::string editorLevel;   // ... on this level, when named
  std::string replay;        // play this recorded run, then end
  bool check = false;        // ... as fast as it goes, comparing its outcome with the recorded one
};

// Reads the arguments after the program's name. --help and --version print and ask for
// exit 0; an unknown flag, a missing argument or a level the level folder does not hold
// print one line with the usage and ask for exit 2.
LaunchOptions ParseCommandLine(const std::vector<std::string>& arguments);
std::string Usage(); // the one line: "usage: Kvo [--help] ..."

// The first state, the level it plays and the display mode, set on a loop before Startup.
void ApplyLaunchOptions(const LaunchOptions& options, GameLoop& loop);
