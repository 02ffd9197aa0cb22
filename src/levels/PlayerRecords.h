#pragma once
#include <map>
#include <string>

// The player's own records beside the highscore table, which stays the campaign's:
// - LevelBests.txt, the best figures of each level played from MY LEVELS, one line
//   "TOTAL SECONDS NAME" a level (the name last: it may hold blanks);
// - Progress.txt, the campaign levels reached, one name a line.
// Each is replaced whole (platform/SafeFile.h). A missing file is a fresh player's; a
// damaged one gives what it could (the bests lines that read, the campaign's start) and
// one line on standard output.

// Where the records live, relative to the working directory; tests keep their own.
struct RecordPaths {
  std::string bests = "../Assets/LevelBests.txt";
  std::string progress = "../Assets/Progress.txt";
};
extern RecordPaths g_recordPaths;

// ---- best figures of the player's levels ------------------------------------------------
struct LevelBest {
  int total = 0;        // the best end-screen total of a won run
  float seconds = 0.0f; // the shortest won run, seconds of play (the loading picture not counted)
};
using LevelBests = std::map<std::string, LevelBest>; // by level name

LevelBests ReadLevelBests();
bool WriteLevelBests(const LevelBests& bests); // false (and one line) when the file could not be replaced
// The text WriteLevelBests puts in the file; every line reads back as the level it came from.
std::string LevelBestsText(const LevelBests& bests);

// What a win changed in a level's bests.
struct BestNews {
  bool total = false;   // a higher total than any before
  bool seconds = false; // a shorter run than any before
};
// A won run of the level: each figure is kept if it beats the one on file (the file is
// read first: it is the truth), and the file is written when one did.
BestNews RecordLevelWin(const std::string& name, int total, float seconds);
// "1:05.25" (minutes, seconds and hundredths) for a run's length.
std::string RunTimeText(float seconds);

// ---- the campaign's progress --------------------------------------------------------------
inline constexpr int CAMPAIGN_LEVEL_COUNT = 3;
inline constexpr const char* CAMPAIGN_LEVEL_NAMES[CAMPAIGN_LEVEL_COUNT] = {"FIRSTMOD", "SECOND", "BOSS"};

struct CampaignProgress {
  bool reached[CAMPAIGN_LEVEL_COUNT] = {true, false, false}; // by campaign index; the first always
  int ReachedCount() const;
};

CampaignProgress ReadProgress();
// The campaign has started level `index` (0-2): kept in the file when it is new.
void NoteCampaignLevelReached(int index);

// ---- where the next campaign starts ------------------------------------------------------
// The menu's pick chooses a reached level; the campaign's state takes it as it is made, and
// the choice goes back to the first level.
void ChooseCampaignStart(int index);
int TakeCampaignStart();
