#pragma once
#include <functional>
#include <memory>
#include <string>

#include "core/Vec3.h"
#include "render/Font.h"
#include "render/Texture.h"
#include "screens/Button.h"

// The table of the ten best total scores, best first, kept in a text file of ten lines
// "NAME SCORE" (g_highscorePath). Scores are kept as the text the file holds; comparisons
// read its leading number. No graphics: the file side of the table.
class HighscoreTable {
public:
  static constexpr int PLACES = 10;

  // Reads the file: whitespace-separated name and score, ten times. A missing file
  // changes no entry (one line says so); a short one fills the places it holds.
  void Load();
  // The 0-based place a score would take, or -1. Reads the file first: it is the truth.
  // Equal scores rank below the ones already there.
  int FindRank(int score);
  // Puts the entry at g_highscoreRank, moving the places below down one, and saves.
  void Insert(int score, const std::string& name);
  // Writes all ten lines beside the table and renames them into place, so the file
  // on disk is always a whole table. False (and one line) when that fails; the table in
  // memory is kept either way.
  bool Save();

  std::string names[PLACES];  // best first
  std::string scores[PLACES]; // decimal text, best first
};

// The table as the menu shows it and the end screens fill it.
class Highscore : public HighscoreTable {
public:
  Highscore(); // the picture, the "cancel" button, then Load

  void Update(); // the cancel button (or the pad's A) closes the table
  void Draw();

  std::shared_ptr<Button> cancel;  // the one button
  std::shared_ptr<Texture> picture;
  std::shared_ptr<Font> font;
  Vec3 hoverPoint;                 // the point last tested against the button
};

// The number a score text starts with (an optional sign, then digits); 0 when it starts
// with neither. Values beyond int saturate.
int ScoreValue(const std::string& text);

// ---- shared by the menu and the end screens --------------------------------------------
extern std::string g_highscorePath; // "../Assets/Highscore.txt"
extern int g_highscoreRank;         // the place of the current result; -1 none
extern bool g_resultRecorded;       // the current result has been ranked and stored
// Called during Save after each line written (1-10), after the data reached the disk (11)
// and after the rename (12): a crash test stops the process at each of them.
extern std::function<void(int step)> g_highscoreSaveStep;
