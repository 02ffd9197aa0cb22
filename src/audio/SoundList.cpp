#include "audio/SoundList.h"
#include "platform/ConsoleTexts.h"

#include <cstdio>
#include <istream>

std::string SoundKey(const std::string& line) {
  const std::size_t slash = line.rfind('/');
  if (slash == std::string::npos) return line;
  const std::size_t dot = line.rfind('.');
  // Without an extension after the last '/' the name is the whole key; the
  // length rule below would otherwise cut every such name to a few letters.
  if (dot == std::string::npos || dot < slash) return line.substr(slash);
  return line.substr(slash, dot + 3);
}

void ReadSoundList(std::istream& list, const std::function<void(const std::string&)>& onLine) {
  std::string line;
  while (list.good()) {
    std::getline(list, line);
    // A read error would never reach end of file: stop rather than spin.
    if (list.bad() || (list.fail() && !list.eof())) break;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) {
      std::puts(ConsoleText::SOUND_LIST_EMPTY_LINE);
      std::fflush(stdout);
      continue;
    }
    onLine(line);
  }
}
