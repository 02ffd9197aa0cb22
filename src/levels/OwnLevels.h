#pragma once
#include <string>
#include <vector>

// The player's own levels: every level of the level folder that the game does not ship,
// as MY LEVELS lists them. Reading them takes no GL and makes no objects, so that a
// folder of hundreds is listed in a moment.

// The six levels the game ships: the campaign's three and the tutorial's stages.
inline constexpr const char* SHIPPED_LEVEL_NAMES[6] = {"FIRSTMOD", "SECOND", "BOSS", "TUTORIAL", "TUTSHOOT", "TUTPIT"};
bool IsShippedLevel(const std::string& name);

// The names (no folder, no ".txt") of the folder's "*.txt" files that are not shipped,
// sorted; empty, with one line, when the folder cannot be listed.
std::vector<std::string> ListOwnLevels();

// What a list row shows of a level before it is played.
struct LevelSummary {
  std::string name;
  int objects = 0;     // what the designer placed: the shot pools a save adds are not counted
  std::string problem; // why it cannot be played, in one line; empty when it can
};
// Reads the level's two files once, as the build would take them.
LevelSummary SummariseLevel(const std::string& name);
