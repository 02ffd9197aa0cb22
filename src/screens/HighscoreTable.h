#pragma once
#include <cstddef>
#include <iosfwd>
#include <string>

// The table of the ten best total scores, best first, kept in a text file of ten lines
// "NAME SCORE" (g_highscoreFile.path). Scores are kept as the text the file holds; comparisons
// read its leading number. No graphics, no window: the file side of the table, which the
// fuzz target reads on its own.
class HighscoreTable {
public:
  static constexpr int PLACES = 10;
  static constexpr size_t MAX_FILE_BYTES = 64 * 1024; // what Load reads of the file at most

  // Reads the file: whitespace-separated name and score, ten times. A missing file
  // changes no entry (one line says so); a short one fills the places it holds; one
  // without a single place says so in one line.
  void Load();
  // The same from any stream; `source` names it in the lines printed.
  void Load(std::istream& in, const std::string& source);
  // The 0-based place a score would take, or -1. Reads the file first: it is the truth.
  // Equal scores rank below the ones already there.
  int FindRank(int score);
  // FindRank over the table in memory, without reading the file.
  int RankOf(int score) const;
  // Puts the entry at g_highscoreFile.rank, moving the places below down one, and saves.
  void Insert(int score, const std::string& name);
  // The in-memory half of Insert, at any place 0-9 (others change nothing).
  void Place(int rank, int score, const std::string& name);
  // Replaces the file whole (see platform/SafeFile.h), so the file on disk is always a
  // whole table. False (and one line) when that fails; the table in memory is kept
  // either way.
  bool Save();
  // The ten lines Save writes; every line reads back as the place it came from.
  std::string Text() const;

  std::string names[PLACES];  // best first
  std::string scores[PLACES]; // decimal text, best first
};

// The number a score text starts with (an optional sign, then digits); 0 when it starts
// with neither. Values beyond int saturate.
int ScoreValue(const std::string& text);

// A name as the file can hold it: one token, never empty.
std::string TableName(const std::string& name);

// ---- the table's file and the result ranked in it --------------------------------------
// Kept apart from the menu's state: the file side of the table builds on its own.
struct HighscoreFile {
  std::string path = "../Assets/Highscore.txt"; // tests and the autopilot point it at a scratch table
  int rank = -1;                                // the place of the current result; -1 none
  bool resultRecorded = false;                  // the current result has been ranked and stored

  // A run's fresh result; the table stays where it was pointed.
  void ClearResult() { *this = HighscoreFile{path}; }
};
extern HighscoreFile g_highscoreFile;
