#pragma once
#include <memory>
#include <string>

#include "core/Level.h"
#include "core/ReplayFile.h"

class Camera;
class GenericLevel;
struct LoadingScreen;

// Every play of a level is recorded (its input through core/InputTape.h) and kept in the
// player's Replays/ folder when it ends: NAME.last.kvr always, NAME.best.kvr when it is won
// and beats the best so far. A kept run plays again in the real game, frame for frame, with
// its own keys (P or Space pause, F x4, Escape leave); and the best run can drive beside the
// player as a ghost.

// ---- the player's replay files ------------------------------------------------------------
inline constexpr const char* REPLAY_FOLDER = "../Assets/Replays";
const std::string& ReplayFolder(); // REPLAY_FOLDER, unless a test or a tool keeps its own
void SetReplayFolder(const std::string& folder);
std::string BestReplayPath(const std::string& levelName);
std::string LastReplayPath(const std::string& levelName);
// The files a run's checksum covers: the level's two files and Player.txt.
uint32_t LevelChecksum(const std::string& levelPath);
// "FIRSTMOD" for "../Assets/Levels/FIRSTMOD.txt".
std::string LevelNameOf(const std::string& levelPath);

// While false a run plays and records as ever but is not kept: the autopilot proving a level
// for its designer must not become the player's best run. True at start.
void SetRunsKept(bool kept);

// ---- hooks of the playing states, in the order a level calls them ----------------------------
void SeedRun(GenericLevel& level);  // before the build: the random generators as the run starts
void StartRun(GenericLevel& level); // after a build that found a player: the tape starts
double RunClock(const LoadingScreen& loading); // the wall clock the loading screen's limit reads
void DrawGhost(const Camera& camera);          // before the player: the best run's tank
void DrawReplayHud();                           // last: what the replay's keys do
void RunLeftByPortal();             // a portal to the menu ended the level: a win without an end screen
void EndRun(GenericLevel& level);   // the level is freed: the tape stops

// ---- watching -----------------------------------------------------------------------------
// Reads the file and asks for the state it was recorded in; `exitState` follows its end or
// Escape. A file that cannot be read, of another format or recorded over other level files
// is refused with one line on standard output; false then, and nothing changes.
bool WatchReplay(const std::string& path, int exitState);
// The best run of level NAME; false (one line) when there is none.
bool WatchBestRun(const std::string& levelName, int exitState);
// Level NAME has a best run that WatchBestRun would play: readable, recorded over the level's
// files as they are now and on this screen. Says nothing.
bool BestRunPlayable(const std::string& levelName);
bool WatchingReplay();              // a replay plays now (it must not count as a run)
const std::string& LastRunPath();   // the file of the run played last, empty before any
// While true the next state is the replay's: the state table asks MakeReplayLevel for it.
bool ReplayPending();
const Replay* PendingReplay(); // null unless pending
// The campaign's or the tutorial's state object; a MY LEVELS run is made by the state table.
std::unique_ptr<Level> MakeReplayLevel();

// ---- checking -----------------------------------------------------------------------------
struct ReplayVerdict {
  bool played = false;     // the whole tape ran
  bool matches = false;    // the outcome is the recorded one
  bool ended = false;      // the replayed level ended (won, lost or through a portal to the menu)
  ReplayOutcome recorded;
  ReplayOutcome got;
  int departedAt = -1;     // the first traced frame where the player stood elsewhere, or -1
  std::string levelName;
};
// Fast: no frame waits, no pause or leave keys; the verdict of the replay that ran last.
void SetReplayChecking(bool on);
const ReplayVerdict& LastReplayVerdict();
// "FIRSTMOD won 7490 frames hp 8 stars 13 thermometer 0.72 total 18"
std::string DescribeOutcome(const std::string& levelName, const ReplayOutcome& outcome);
