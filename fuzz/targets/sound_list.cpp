// The sound list, line by line as the sound manager reads it, with each line's
// key filed the way the manager files its sounds.
#include <map>
#include <sstream>
#include <vector>

#include "FuzzTarget.h"
#include "audio/SoundList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(InputText(data, size));
  std::vector<std::string> names;
  std::map<std::string, int> sounds;
  int loaded = 0;
  ReadSoundList(in, [&](const std::string& line) {
    if (line.empty()) __builtin_trap(); // empty lines are reported, never loaded
    const std::string key = SoundKey(line);
    names.push_back(key);
    sounds[key] = ++loaded;
  });
  return 0;
}
