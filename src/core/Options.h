#pragma once
#include <string>

// The player's remembered options: sound levels, mute switches, the display mode and shake.
// They live in Options.txt beside Windows.txt, which the installed game's launcher puts in
// the player's own folder; each change is written at once, and the next start restores it.

// Where the options live, relative to the working directory.
inline constexpr const char* OPTIONS_PATH = "../Assets/Options.txt";
// The file the game reads and writes: OPTIONS_PATH, unless a test keeps its own.
const std::string& OptionsPath();
void SetOptionsPath(const std::string& path);

struct Options {
  float musicLevel = 0.75f;   // slider values, 0-1
  float effectsLevel = 0.75f;
  bool musicMuted = false;
  bool effectsMuted = false;
  bool fullscreen = true;     // the game starts in full screen
  bool shake = true;          // the view shakes when the tank is hit hard
  bool ghost = false;         // the level's best run drives beside the player
  bool operator==(const Options&) const = default;
};

// The file is one "name value" line per option, in any order; names it does not know are
// skipped (a later version may add some). A missing or unreadable file, a line that is not
// a known name with a value in range, or a file with no options at all gives the defaults
// and one line on standard output; false then.
bool ReadOptions(Options& options, const std::string& path = OptionsPath());

// Writes a temporary file beside `path` and renames it into place, so a crash leaves the
// old file whole (and an installed game's link to a shipped file becomes the player's
// own). A failure prints one line and leaves the old file; false then.
bool WriteOptions(const Options& options, const std::string& path = OptionsPath());

// The options as last read or remembered; the loop reads them at start-up.
extern Options g_options;

// Keeps `options` as the remembered ones and writes them when they differ from what was
// remembered before (a slider dragged back to where it was writes nothing).
void RememberOptions(const Options& options, const std::string& path = OptionsPath());
