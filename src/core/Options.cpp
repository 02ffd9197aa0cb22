#include "core/Options.h"
#include "core/InputTape.h"
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <locale>
#include <sstream>

Options g_options;

namespace {

std::string s_optionsPath = OPTIONS_PATH;

bool ParseLevel(const std::string& text, float& level) {
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  double value = 0;
  if (!(in >> value) || !(in >> std::ws).eof() || !std::isfinite(value) || value < 0.0 || value > 1.0) return false;
  level = static_cast<float>(value);
  return true;
}

bool ParseSwitch(const std::string& text, bool& on) {
  if (text != "0" && text != "1") return false;
  on = text == "1";
  return true;
}

// One line into `options`; false when it names a known option with a bad value, or has
// no value. `known` says whether the name was one of ours.
bool ParseLine(const std::string& line, Options& options, bool& known) {
  std::istringstream in(line);
  std::string name, value, extra;
  known = false;
  if (!(in >> name >> value) || (in >> extra)) return false;
  known = true;
  if (name == "music") return ParseLevel(value, options.musicLevel);
  if (name == "effects") return ParseLevel(value, options.effectsLevel);
  if (name == "musicMuted") return ParseSwitch(value, options.musicMuted);
  if (name == "effectsMuted") return ParseSwitch(value, options.effectsMuted);
  if (name == "fullscreen") return ParseSwitch(value, options.fullscreen);
  if (name == "shake") return ParseSwitch(value, options.shake);
  if (name == "ghost") return ParseSwitch(value, options.ghost);
  known = false;
  return true;
}

} // namespace

const std::string& OptionsPath() { return s_optionsPath; }

void SetOptionsPath(const std::string& path) { s_optionsPath = path; }

bool ReadOptions(Options& options, const std::string& path) {
  options = Options{};
  std::ifstream file(path);
  if (!file) {
    std::printf("Options: %s cannot be opened, the options are the defaults\n", path.c_str());
    return false;
  }
  Options read;
  int lineNumber = 0, knownLines = 0;
  std::string line;
  while (std::getline(file, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    bool known = false;
    if (!ParseLine(line, read, known)) {
      std::printf("Options: %s line %d is damaged, the options are the defaults\n", path.c_str(), lineNumber);
      return false;
    }
    if (known) ++knownLines;
  }
  if (knownLines == 0) {
    std::printf("Options: %s holds no options, the options are the defaults\n", path.c_str());
    return false;
  }
  options = read;
  return true;
}

bool WriteOptions(const Options& options, const std::string& path) {
  const std::string temporary = path + ".saving";
  {
    std::ofstream out(temporary, std::ios::trunc);
    if (out) {
      out.imbue(std::locale::classic());
      out << "music " << options.musicLevel << '\n'
          << "effects " << options.effectsLevel << '\n'
          << "musicMuted " << (options.musicMuted ? 1 : 0) << '\n'
          << "effectsMuted " << (options.effectsMuted ? 1 : 0) << '\n'
          << "fullscreen " << (options.fullscreen ? 1 : 0) << '\n'
          << "shake " << (options.shake ? 1 : 0) << '\n'
          << "ghost " << (options.ghost ? 1 : 0) << '\n';
      out.close();
    }
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      std::printf("Options: %s cannot be written, the options are not remembered\n", path.c_str());
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    std::printf("Options: %s cannot be replaced, the options are not remembered\n", path.c_str());
    return false;
  }
  return true;
}

void RememberOptions(const Options& options, const std::string& path) {
  if (options == g_options) return;
  if (g_inputTape && !g_inputTape->KeepsOptions()) return; // a watched run's drags are not the watcher's
  g_options = options;
  WriteOptions(options, path);
}
