// The highscore table: read as the menu reads it, then a result entered as the end
// screen enters one, with a name and a score taken from the input's first line, and the
// table written as Save writes it. What was written must read back place for place.
#include <sstream>

#include "FuzzTarget.h"
#include "screens/HighscoreTable.h"

namespace {

bool SamePlaces(const HighscoreTable& a, const HighscoreTable& b) {
  for (int i = 0; i < HighscoreTable::PLACES; ++i)
    if (a.names[i] != b.names[i] || a.scores[i] != b.scores[i]) return false;
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = InputText(data, size);
  // The first line, if any, gives the result: a score, then the rest of the line as the name.
  const size_t end = text.find('\n');
  const std::string first = text.substr(0, end);
  const size_t space = first.find(' ');
  const int score = ScoreValue(first.substr(0, space));
  const std::string name = space == std::string::npos ? "" : first.substr(space + 1);

  HighscoreTable table;
  std::istringstream in(end == std::string::npos ? text : text.substr(end + 1));
  table.Load(in, "Highscore.txt");
  const int rank = table.RankOf(score);
  if (rank < -1 || rank >= HighscoreTable::PLACES) __builtin_trap();
  table.Place(rank, score, name);
  if (rank >= 0 && ScoreValue(table.scores[rank]) != score) __builtin_trap();

  const std::string saved = table.Text();
  HighscoreTable again;
  std::istringstream back(saved);
  again.Load(back, "Highscore.txt");
  if (again.Text() != saved) __builtin_trap(); // a save reloads as the same file
  // Read and entered places are whole tokens already; only the name may need mending.
  int filled = HighscoreTable::PLACES;
  while (filled > 0 && table.names[filled - 1].empty() && table.scores[filled - 1].empty()) --filled;
  HighscoreTable written;
  for (int i = 0; i < filled; ++i) {
    written.names[i] = TableName(table.names[i]);
    written.scores[i] = table.scores[i];
  }
  if (!SamePlaces(again, written)) __builtin_trap(); // no place took a neighbour's name
  return 0;
}
