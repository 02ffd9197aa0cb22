#pragma once
#include <functional>
#include <iosfwd>
#include <string>

// The sound list ("../Assets/Audio/AudioLoad.txt"): one sound file a line,
// numbered in file order. Reading the lines needs no audio device, so a
// damaged list can be examined (and fuzzed) on its own; Audio loads what the
// lines name.

// Calls `onLine` with every non-empty line, its trailing \r removed, and prints
// "Error: The line is empty." for each empty one, the end of a file whose last
// line has its line break included. A read error ends the list.
void ReadSoundList(std::istream& list, const std::function<void(const std::string&)>& onLine);

// Key of a sound-list line: from its last '/' through its extension.
std::string SoundKey(const std::string& line);
