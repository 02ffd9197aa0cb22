#include "screens/HighscoreTable.h"
#include "platform/SafeFile.h"
#include <climits>
#include <cstdio>
#include <fstream>
#include <istream>
#include <sstream>

HighscoreFile g_highscoreFile;

namespace {

// What the reader's >> treats as a gap between tokens.
bool Gap(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// One token the reader gets back whole: gaps become '_'.
std::string Token(const std::string& text) {
  std::string token = text;
  for (char& c : token)
    if (Gap(c)) c = '_';
  return token;
}

} // namespace

int ScoreValue(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) return negative ? INT_MIN : INT_MAX; // a hand-edited giant stays the best
  }
  return static_cast<int>(negative ? -value : value);
}

std::string TableName(const std::string& name) {
  // An empty name would leave the line's score to be read as the name, and every place
  // below would shift by one token.
  return name.empty() ? "_" : Token(name);
}

void HighscoreTable::Load() {
  std::ifstream file(g_highscoreFile.path, std::ios::binary);
  if (!file) {
    std::printf("No highscore table at %s yet: the table starts empty\n", g_highscoreFile.path.c_str());
    return;
  }
  // Ten places fit in far less; a damaged file of any size costs no more than this.
  std::string head(MAX_FILE_BYTES, '\0');
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(file.gcount()));
  std::istringstream in(head);
  Load(in, g_highscoreFile.path);
}

void HighscoreTable::Load(std::istream& in, const std::string& source) {
  bool reported = false;
  for (int i = 0; i < PLACES; ++i) {
    std::string name, score;
    if (!(in >> name >> score)) {
      // Not even one place: a damaged table (or a folder in its way), which the next save replaces.
      if (i == 0)
        std::printf("Error: %s holds no name and score: the table starts empty and the next result replaces it\n",
                    source.c_str());
      break;
    }
    // A hand-edited or damaged table is still shown as it stands; it says so once.
    const size_t digits = score.find_first_not_of("+-") == 1 ? 1 : 0;
    if (!reported && (score.size() <= digits || score.find_first_not_of("0123456789", digits) != std::string::npos)) {
      std::printf("Error: %s place %d is not a name and a score: the table is shown as it stands\n",
                  source.c_str(), i + 1);
      reported = true;
    }
    names[i] = name;
    scores[i] = score;
    std::printf("%s %s\n", name.c_str(), score.c_str());
  }
}

int HighscoreTable::FindRank(int score) {
  Load();
  return RankOf(score);
}

int HighscoreTable::RankOf(int score) const {
  for (int i = PLACES - 1; i >= 0; --i)
    if (ScoreValue(scores[i]) >= score) return i + 1 < PLACES ? i + 1 : -1;
  return 0;
}

void HighscoreTable::Insert(int score, const std::string& name) {
  if (g_highscoreFile.rank < 0 || g_highscoreFile.rank >= PLACES) return; // not a place in the table
  Place(g_highscoreFile.rank, score, name);
  Save();
}

void HighscoreTable::Place(int rank, int score, const std::string& name) {
  if (rank < 0 || rank >= PLACES) return;
  for (int i = PLACES - 1; i > rank; --i) {
    names[i] = names[i - 1];
    scores[i] = scores[i - 1];
  }
  names[rank] = name;
  scores[rank] = std::to_string(score);
}

std::string HighscoreTable::Text() const {
  // Places never filled at the end of the table stay blank lines, which the reader skips
  // and keeps empty. Any other place is written as two tokens, so that no place can take
  // its neighbour's name or score when the table is read back.
  int filled = PLACES;
  while (filled > 0 && names[filled - 1].empty() && scores[filled - 1].empty()) --filled;
  std::string text;
  for (int i = 0; i < PLACES; ++i) {
    if (i >= filled) {
      text += " \n";
      continue;
    }
    text += TableName(names[i]) + " " + (scores[i].empty() ? "0" : Token(scores[i])) + "\n";
  }
  return text;
}

bool HighscoreTable::Save() {
  std::string error;
  const bool saved = ReplaceFileWhole(g_highscoreFile.path, Text(), error);
  // The scores of this run stay in memory either way; the next save tries again.
  if (!saved)
    std::printf("Error: %s, the highscore table %s on disk is unchanged\n", error.c_str(), g_highscoreFile.path.c_str());
  else if (!error.empty())
    std::printf("Error: %s, the highscore table %s is saved but a power cut could lose it\n", error.c_str(),
                g_highscoreFile.path.c_str());
  return saved;
}
