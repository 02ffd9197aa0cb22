#pragma once
#include <string>

// The editor's play test: F5 in the editor saves the level and plays it at once in the
// tutorial state, and every way out of that play leads back to the editor, which opens
// the same level again.
//
// The editor sets g_playTestPath and asks for the tutorial; while the path is set the
// tutorial plays that file instead of its own and leaves for PlayTestExitState(...)
// wherever it would have gone. The editor opens the level again when it starts while the
// path is set, and empties the path when it is left for anything but the tutorial.

// ---- shared by several modules -------------------------------------------
extern std::string g_playTestPath; // "../Assets/Levels/NAME.txt" being tried out; empty when none

bool PlayTesting();                  // g_playTestPath is set
// The level file a tutorial plays: the play test's while there is one, else `ownPath`.
std::string PlayTestLevelPath(const std::string& ownPath);
// Where a playing state goes when it ends: the editor while play-testing, else `usual`.
// Quitting the program (state 0) is never redirected.
int PlayTestExitState(int usual);
