#pragma once
#include <iosfwd>
#include <string>

// Windows.txt: the window size and the console switch, read before any window
// exists. Reading needs no platform, so a damaged file can be examined (and
// fuzzed) on its own.

// Where the window settings live, relative to the working directory.
inline constexpr const char* WINDOW_SETTINGS_PATH = "../Assets/Windows.txt";

// Fills width, height and console switch from the last line of the file. A missing
// file or a line that does not hold three integers (blank lines are skipped) gives
// 1280 760 0 and one line on standard output; false then.
bool ReadWindowSettings(int& width, int& height, int& console, const std::string& path = WINDOW_SETTINGS_PATH);

// The same for text already open; `name` is the file the messages name.
bool ParseWindowSettings(std::istream& text, int& width, int& height, int& console, const std::string& name);

// The smallest logical screen the screens are laid out to fit (the design is 1264 x 720).
inline constexpr int MIN_SCREEN_WIDTH = 640;
inline constexpr int MIN_SCREEN_HEIGHT = 360;

// Holds the file's width and height (which include the 16 x 40 frame) to a logical screen
// between the smallest above and the display's own size; a display size of 0 sets no upper
// bound. One line on standard output when a value changes; true then.
bool ClampWindowSize(int& width, int& height, int displayWidth, int displayHeight,
                     const std::string& name = WINDOW_SETTINGS_PATH);
