#pragma once
#include <set>
#include <string>
#include <vector>

#include "levels/OwnLevels.h"
#include "levels/PlayerRecords.h"

// MY LEVELS: the main menu's list of the player's own levels (every level of the folder the
// game does not ship), each row with its name, object count, best total and best time.
// Choosing a row plays it (UserLevel.h); a row that cannot be played shows its one line and
// cannot be chosen. The files are read once, as the list opens: a frame only draws the rows
// in view, however many the folder holds.
//
// The menu runs it as an overlay: while it is open the menu's Update and Draw hand over to
// it. Mouse (rows, wheel, BACK), keys (arrows, Page Up/Down, Home/End, Enter, Escape) and
// the pad (up/down, A, B) work it. W, the pad's Y or the footer's WATCH BEST RUN plays the
// chosen level's best run, and the list comes back after it.

// ---- the list's state ---------------------------------------------------------------------
// Reset by assignment.
struct MyLevelsState {
  bool open = false;
  bool reopen = false;             // a won level asked to come back to the list: it opens with the menu
  std::vector<LevelSummary> rows;  // read as the list opened, sorted by name
  LevelBests bests;                // read as the list opened
  std::set<std::string> watchable; // levels with a best run that can be watched, as the list opened
  int selected = 0;                // the chosen row, an index into rows
  int top = 0;                     // the first row in view
  std::string lastPlayed;          // the level last chosen: selected again when the list reopens
  bool stickLatched = false;       // the stick has moved the selection and not come back to centre
};
extern MyLevelsState g_myLevels;

inline constexpr int MY_LEVELS_ROWS_SHOWN = 12;

// Reads the folder and the bests, and shows the list.
void OpenMyLevels();
void CloseMyLevels();
// One frame of the list's input (the pad already polled); may start a level.
void UpdateMyLevels();
void DrawMyLevels();
// Lets go of the list's pictures (the menu's Free).
void ReleaseMyLevels();
