#include "levels/PlayerRecords.h"
#include "platform/SafeFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <locale>
#include <sstream>

RecordPaths g_recordPaths;

namespace {

// Far more than 500 levels' lines; a damaged file of any size costs no more than this.
constexpr size_t MAX_RECORD_BYTES = 1 << 20;
// A run longer than this is a damaged figure, not a drive.
constexpr double MAX_RUN_SECONDS = 100.0 * 3600.0;

int s_campaignStart = 0;

// The head of the file, or nothing (and false) when it does not open.
bool ReadHead(const std::string& path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  text.assign(MAX_RECORD_BYTES, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(file.gcount()));
  return true;
}

bool Blank(const std::string& line) { return line.find_first_not_of(" \t\r") == std::string::npos; }

// "TOTAL SECONDS NAME"; false when any part is missing or out of range.
bool ParseBestLine(const std::string& line, std::string& name, LevelBest& best) {
  std::istringstream in(line);
  in.imbue(std::locale::classic());
  long long total = 0;
  double seconds = 0.0;
  if (!(in >> total >> seconds)) return false;
  std::getline(in >> std::ws, name);
  while (!name.empty() && (name.back() == '\r' || name.back() == ' ' || name.back() == '\t')) name.pop_back();
  if (name.empty() || total < 0 || total > 2147483647LL) return false;
  if (!std::isfinite(seconds) || seconds < 0.0 || seconds > MAX_RUN_SECONDS) return false;
  best.total = static_cast<int>(total);
  best.seconds = static_cast<float>(seconds);
  return true;
}

int CampaignIndex(const std::string& name) {
  for (int i = 0; i < CAMPAIGN_LEVEL_COUNT; ++i)
    if (name == CAMPAIGN_LEVEL_NAMES[i]) return i;
  return -1;
}

bool Replace(const std::string& path, const std::string& text, const char* what) {
  std::string error;
  const bool saved = ReplaceFileWhole(path, text, error);
  if (!saved) std::printf("Error: %s, the %s in %s are unchanged\n", error.c_str(), what, path.c_str());
  else if (!error.empty()) std::printf("Error: %s, the %s are saved but a power cut could lose them\n", error.c_str(), what);
  return saved;
}

} // namespace

// ============================================================================
// Best figures
// ============================================================================

LevelBests ReadLevelBests() {
  LevelBests bests;
  std::string text;
  if (!ReadHead(g_recordPaths.bests, text)) return bests; // no level won yet
  std::istringstream in(text);
  std::string line;
  int lineNumber = 0;
  bool reported = false;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (Blank(line)) continue;
    std::string name;
    LevelBest best;
    if (ParseBestLine(line, name, best)) {
      bests[name] = best;
    } else if (!reported) {
      std::printf("Error: %s line %d is not a total, a time and a level name: the levels it damaged show no bests\n",
                  g_recordPaths.bests.c_str(), lineNumber);
      reported = true;
    }
  }
  return bests;
}

std::string LevelBestsText(const LevelBests& bests) {
  std::string text;
  char figures[64];
  for (const auto& [name, best] : bests) {
    // A line break in a name would split the line; no file name of the folder holds one.
    if (name.empty() || name.find_first_of("\r\n") != std::string::npos) continue;
    std::snprintf(figures, sizeof figures, "%d %.2f ", best.total, static_cast<double>(best.seconds));
    text += figures + name + "\n";
  }
  return text;
}

bool WriteLevelBests(const LevelBests& bests) {
  return Replace(g_recordPaths.bests, LevelBestsText(bests), "level bests");
}

BestNews RecordLevelWin(const std::string& name, int total, float seconds) {
  LevelBests bests = ReadLevelBests();
  BestNews news;
  auto found = bests.find(name);
  if (found == bests.end()) {
    bests[name] = LevelBest{total, seconds};
    news.total = news.seconds = true;
  } else {
    // Two figures, each its own record: a slow run can still bring the best total.
    LevelBest& best = found->second;
    if (total > best.total) {
      best.total = total;
      news.total = true;
    }
    if (seconds < best.seconds) {
      best.seconds = seconds;
      news.seconds = true;
    }
  }
  if (news.total || news.seconds) WriteLevelBests(bests);
  return news;
}

std::string RunTimeText(float seconds) {
  const long hundredths = std::lround(std::max(0.0, static_cast<double>(seconds)) * 100.0);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld.%02ld", hundredths / 6000, hundredths / 100 % 60, hundredths % 100);
  return text;
}

// ============================================================================
// Campaign progress
// ============================================================================

int CampaignProgress::ReachedCount() const {
  int count = 0;
  for (bool r : reached) count += r ? 1 : 0;
  return count;
}

CampaignProgress ReadProgress() {
  CampaignProgress progress;
  std::string text;
  if (!ReadHead(g_recordPaths.progress, text)) return progress; // a fresh player
  CampaignProgress read;
  std::istringstream in(text);
  std::string name;
  while (in >> name) {
    const int index = CampaignIndex(name);
    if (index < 0) {
      std::printf("Error: %s names \"%s\", which is no campaign level: the campaign starts at FIRSTMOD\n",
                  g_recordPaths.progress.c_str(), name.substr(0, 40).c_str());
      return progress;
    }
    read.reached[index] = true;
  }
  return read;
}

void NoteCampaignLevelReached(int index) {
  if (index <= 0 || index >= CAMPAIGN_LEVEL_COUNT) return; // the first level is always reached
  CampaignProgress progress = ReadProgress();
  if (progress.reached[index]) return;
  progress.reached[index] = true;
  std::string text;
  for (int i = 0; i < CAMPAIGN_LEVEL_COUNT; ++i)
    if (progress.reached[i]) text += std::string(CAMPAIGN_LEVEL_NAMES[i]) + "\n";
  Replace(g_recordPaths.progress, text, "campaign levels reached");
}

void ChooseCampaignStart(int index) {
  s_campaignStart = index >= 0 && index < CAMPAIGN_LEVEL_COUNT ? index : 0;
}

int TakeCampaignStart() {
  const int index = s_campaignStart;
  s_campaignStart = 0;
  return index;
}
