#pragma once
#include "core/Input.h"
#include "platform/Pad.h"
#include <cstdint>
#include <string>
#include <vector>

// A recorded run of one level: everything its outcome depends on, so that the real game can
// play it again frame for frame. The file (NAME.best.kvr, NAME.last.kvr in Replays/) is the
// magic "KVR" and a format byte, then the deflated body with its length and CRC; a reader
// refuses another format, a short or damaged file, or a body that does not parse to the end.

// Format 2 added the run's kind (own level) and the logical screen; format 1 files still read.
inline constexpr int REPLAY_FORMAT = 2;
inline constexpr int OLDEST_REPLAY_FORMAT = 1;
inline constexpr const char* REPLAY_EXTENSION = ".kvr";
inline constexpr int TRACE_EVERY_FRAMES = 60; // the player's position is kept this often

// One frame as the rules saw it.
struct ReplayFrame {
  float frameTime = 1.0f / 60.0f; // seconds, g_loop.frameTime during the frame
  bool focus = true;              // the window had the keyboard focus
  PadState pad;                   // the pad's poll (packetNumber not kept)
  std::vector<InputEvent> events; // keyboard and mouse input, in arrival order
};

// The input and play state a level starts with from before its build: keys still held or
// pressed, where the pointer is, the pad's last poll, the cheat switch.
struct ReplayStart {
  uint8_t keyDown[32] = {};      // one bit per key code 0-255
  uint8_t keyTriggered[32] = {};
  float mouseX = 0.0f, mouseY = 0.0f;
  bool usingGamepad = false;
  uint16_t padPrevious = 0; // the pad's held buttons at its last poll, one bit per button index
  bool cheatMode = false;
  bool operator==(const ReplayStart&) const = default;
};

// How the run ended, in the autopilot's figures.
struct ReplayOutcome {
  bool won = false;
  int frames = 0;          // from the level's first frame to the one it ended in
  int hp = 0;
  int stars = 0;
  float thermometer = 0.0f; // the warmth that counts (0 without the pizza)
  int total = 0;
  bool operator==(const ReplayOutcome&) const = default;
};

struct TracePoint {
  int frame = 0; // taken after this frame's rules
  float x = 0.0f, y = 0.0f, rotation = 0.0f;
};

struct Replay {
  // ---- header --------------------------------------------------------------------------
  int format = REPLAY_FORMAT;
  std::string gameVersion;   // KVO_VERSION of the game that recorded it
  std::string levelName;     // "FIRSTMOD", the file's name without folder and extension
  std::string levelPath;     // the level file as the state built it
  uint32_t levelChecksum = 0; // of the level's two files and Player.txt (ReplayChecksum)
  // ---- what else the outcome depends on ------------------------------------------------
  int stateId = 0;           // the playing state (campaign or tutorial) it ran in
  int levelIndex = 0;        // the campaign's level counter
  bool playTest = false;     // the editor's play test (no opening card)
  bool ownLevel = false;     // a level of MY LEVELS, played by its rules (its portals end it)
  // The logical screen the rules saw: the camera's limits and the build's placing follow it.
  // Format 1 files were all recorded at the shipped window's 1264 x 720.
  int screenWidth = 1264, screenHeight = 720;
  uint32_t seed = 0;         // the C library's generator, seeded as the level was built
  uint64_t weaponDraws = 0;  // draws of the weapons' shared generator before the level
  int loadingTimeoutFrame = -1; // the frame the loading screen's wall-clock limit struck, or -1
  std::string loadout;       // the player's guns as built (for the reader; Player.txt is checksummed)
  ReplayStart start;
  ReplayOutcome outcome;
  std::vector<ReplayFrame> frames;
  std::vector<TracePoint> trace; // every TRACE_EVERY_FRAMES frames
};

// ---- the file -----------------------------------------------------------------------------
std::string EncodeReplay(const Replay& replay);
// False with `error` (one line's worth) when the bytes are not a whole replay of this format.
bool DecodeReplay(const std::string& bytes, Replay& out, std::string& error);
bool ReadReplayFile(const std::string& path, Replay& out, std::string& error);
// Temporary file, sync, rename: the previous file stays whole if anything fails.
bool WriteReplayFile(const std::string& path, const Replay& replay, std::string& error);

// CRC-32 over the files' bytes in order; a missing file counts as its name alone, so adding
// or removing one changes the sum.
uint32_t ReplayChecksum(const std::vector<std::string>& paths);
const char* GameVersion(); // KVO_VERSION
