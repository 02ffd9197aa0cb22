#pragma once
#include <string>

// The editor's play test: F5 in the editor saves the level and plays it at once in the
// tutorial state, and every way out of that play leads back to the editor, which opens
// the same level again.
//
// The editor starts the play test and asks for the tutorial; while it runs the tutorial
// plays that file instead of its own and leaves for PlayTestExitState(...) wherever it
// would have gone. The editor opens the level again when it starts during a play test,
// and ends the play test when it is left for anything but the tutorial.

void StartPlayTest(const std::string& path); // "../Assets/Levels/NAME.txt" to try out
void EndPlayTest();
bool PlayTesting();                  // a play test runs
const std::string& PlayTestPath();   // the level being tried out; empty when none
// The level file a tutorial plays: the play test's while there is one, else `ownPath`.
std::string PlayTestLevelPath(const std::string& ownPath);
// Where a playing state goes when it ends: the editor while play-testing, else `usual`.
// Quitting the program (state 0) is never redirected.
int PlayTestExitState(int usual);
