// The highscore table's file side: ranking, inserting, the file format, hand-edited files,
// and saves that are cut short.
#include <gtest/gtest.h>
#include "platform/SafeFile.h"
#include "screens/HighscoreTable.h"
#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class HighscoreFile : public ::testing::Test {
protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kvo-highscore-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
    previousPath = g_highscoreFile.path;
    g_highscoreFile.path = folder + "/Highscore.txt";
    g_highscoreFile.rank = -1;
  }
  void TearDown() override {
    g_highscoreFile.path = previousPath;
    SetSaveStepHook(nullptr);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  void WriteTable(const std::string& text) { std::ofstream(g_highscoreFile.path, std::ios::binary) << text; }
  // A table of ten "NONAME s" lines with the given scores, best first.
  static std::string Table(std::initializer_list<int> scores) {
    std::string text;
    for (int s : scores) text += "NONAME " + std::to_string(s) + "\n";
    return text;
  }
  // Ranks and inserts as the end screen does.
  static int Enter(HighscoreTable& table, int total) {
    g_highscoreFile.rank = table.FindRank(total);
    if (g_highscoreFile.rank >= 0) table.Insert(total, "NONAME");
    return g_highscoreFile.rank;
  }
  std::string folder;
  std::string previousPath;
};

TEST_F(HighscoreFile, EqualScoresRankBelowTheOnesAlreadyThere) {
  WriteTable(Table({100, 90, 80, 70, 60, 50, 40, 30, 20, 10}));
  HighscoreTable table;
  EXPECT_EQ(table.FindRank(10), -1) << "equal to the tenth: not entered";
  EXPECT_EQ(table.FindRank(11), 9);
  EXPECT_EQ(table.FindRank(100), 1) << "equal to the first: second row";
  EXPECT_EQ(table.FindRank(101), 0);
}

TEST_F(HighscoreFile, AnEmptyTableTakesAnyPositiveTotalAsTheBest) {
  HighscoreTable table;
  testing::internal::CaptureStdout();
  EXPECT_EQ(table.FindRank(0), -1) << "0 never beats an empty place, which counts as 0";
  EXPECT_EQ(Enter(table, 1), 0);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("No highscore table"), std::string::npos) << out;
  // The nine places never filled stay blank lines, which read back as empty places.
  std::string blanks;
  for (int i = 1; i < HighscoreTable::PLACES; ++i) blanks += " \n";
  EXPECT_EQ(ReadAll(g_highscoreFile.path), "NONAME 1\n" + blanks);
  HighscoreTable again;
  again.Load();
  EXPECT_EQ(again.scores[0], "1");
  EXPECT_EQ(again.scores[1], "");
}

TEST_F(HighscoreFile, AnInsertMovesThePlacesBelowDownAndDropsTheTenth) {
  WriteTable(Table({100, 90, 80, 70, 60, 50, 40, 30, 20, 10}));
  HighscoreTable table;
  EXPECT_EQ(Enter(table, 75), 3);
  HighscoreTable read;
  read.Load();
  const std::string expected[10] = {"100", "90", "80", "75", "70", "60", "50", "40", "30", "20"};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(read.scores[i], expected[i]) << "place " << i;
  EXPECT_EQ(ReadAll(g_highscoreFile.path), Table({100, 90, 80, 75, 70, 60, 50, 40, 30, 20}));
  EXPECT_EQ(Enter(table, 20), -1) << "equal to the tenth";
  EXPECT_EQ(Enter(table, 25), 9) << "the last place is overwritten";
  read.Load();
  EXPECT_EQ(read.scores[9], "25");
  EXPECT_EQ(read.scores[8], "30");
}

TEST_F(HighscoreFile, HandEditedScoresReadTheirLeadingNumberAndSaturate) {
  EXPECT_EQ(ScoreValue("57"), 57);
  EXPECT_EQ(ScoreValue("57abc"), 57);
  EXPECT_EQ(ScoreValue("abc"), 0);
  EXPECT_EQ(ScoreValue(""), 0);
  EXPECT_EQ(ScoreValue("99999999999"), INT_MAX);
  EXPECT_EQ(ScoreValue("-99999999999"), INT_MIN);
  WriteTable("NONAME 99999999999\nBOB 5x\nshort\n");
  HighscoreTable table;
  table.Load();
  EXPECT_EQ(table.scores[0], "99999999999") << "the text is kept as it stands";
  EXPECT_EQ(table.FindRank(INT_MAX), 1) << "a giant stays first";
  EXPECT_EQ(table.FindRank(6), 1) << "5x counts as 5";
  EXPECT_EQ(table.FindRank(5), 2);
}

TEST_F(HighscoreFile, ATableWithoutAPlaceSaysSoOnceAndStartsEmpty) {
  const std::string nuls(1000, '\0');
  // Ten places fit in far less than 64 KB: what lies beyond is never read.
  const std::string farAway = std::string(HighscoreTable::MAX_FILE_BYTES, ' ') + "BOB 5\n";
  for (const std::string* text : {&nuls, &farAway}) {
    WriteTable(*text);
    HighscoreTable table;
    testing::internal::CaptureStdout();
    table.Load();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    EXPECT_NE(out.find("Error: " + g_highscoreFile.path), std::string::npos) << out;
    EXPECT_EQ(table.names[0], "");
  }
  fs::remove(g_highscoreFile.path);
  fs::create_directory(g_highscoreFile.path); // a folder in the table's place
  HighscoreTable table;
  testing::internal::CaptureStdout();
  table.Load();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
}

TEST_F(HighscoreFile, AFailedWriteSaysSoOnceAndKeepsTheTableInMemory) {
  WriteTable(Table({100, 90, 80, 70, 60, 50, 40, 30, 20, 10}));
  HighscoreTable table;
  table.Load();
  g_highscoreFile.rank = table.FindRank(95);
  // The table's folder is a file now: nothing can be written beside the table.
  const std::string tablePath = g_highscoreFile.path;
  fs::rename(folder, folder + ".moved");
  std::ofstream(folder) << "in the way\n";
  testing::internal::CaptureStdout();
  table.Insert(95, "NONAME");
  std::string out = testing::internal::GetCapturedStdout();
  fs::remove(folder);
  fs::rename(folder + ".moved", folder);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
  EXPECT_NE(out.find("Error"), std::string::npos) << out;
  EXPECT_EQ(table.scores[1], "95") << "the table in memory has the result";
  EXPECT_EQ(ReadAll(g_highscoreFile.path), Table({100, 90, 80, 70, 60, 50, 40, 30, 20, 10}));
}

// The names of a save's steps, and the step a child process is killed before.
std::vector<std::string> s_steps;
int s_killAt = 0;
int s_step = 0;
void RecordStep(const char* step) { s_steps.push_back(step); }
void KillBeforeStep(const char*) {
  if (++s_step == s_killAt) raise(SIGKILL);
}

// A process that dies at any point of a save leaves the old table or the new one, whole.
TEST_F(HighscoreFile, ASaveKilledAtAnyStepLeavesTheOldTableOrTheNewOneWhole) {
  const std::string oldTable = Table({100, 90, 80, 70, 60, 50, 40, 30, 20, 10});
  const std::string newTable = Table({100, 90, 85, 80, 70, 60, 50, 40, 30, 20});
  WriteTable(oldTable);
  {
    HighscoreTable table;
    table.Load();
    s_steps.clear();
    SetSaveStepHook(RecordStep);
    table.Save();
    SetSaveStepHook(nullptr);
  }
  const std::vector<std::string> steps = s_steps;
  ASSERT_EQ(steps.back(), "sync folder");
  const int renameStep = static_cast<int>(std::find(steps.begin(), steps.end(), "rename") - steps.begin()) + 1;
  for (int killAt = 1; killAt <= static_cast<int>(steps.size()); ++killAt) {
    WriteTable(oldTable);
    std::fflush(stdout);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      s_step = 0;
      s_killAt = killAt;
      SetSaveStepHook(KillBeforeStep);
      HighscoreTable table;
      g_highscoreFile.rank = table.FindRank(85);
      table.Insert(85, "NONAME");
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "step " << killAt << " was never reached";
    const std::string onDisk = ReadAll(g_highscoreFile.path);
    EXPECT_TRUE(onDisk == oldTable || onDisk == newTable) << "killed before " << steps[killAt - 1] << ":\n" << onDisk;
    EXPECT_EQ(onDisk == newTable, killAt > renameStep) << "killed before step " << killAt << ", " << steps[killAt - 1];
    // The next save goes through over whatever the dead one left beside the table.
    if (onDisk == newTable) continue;
    HighscoreTable table;
    g_highscoreFile.rank = table.FindRank(85);
    table.Insert(85, "NONAME");
    EXPECT_EQ(ReadAll(g_highscoreFile.path), newTable) << "after a save killed at step " << killAt;
    EXPECT_FALSE(fs::exists(g_highscoreFile.path + ".saving"));
  }
}

// Names the end screen does not give (a blank, several words, nothing) are still written
// as one token each, so the saved table reads back place for place.
TEST_F(HighscoreFile, AnyNameReadsBackInItsOwnPlace) {
  WriteTable(Table({100, 90, 80}));
  HighscoreTable table;
  g_highscoreFile.rank = table.FindRank(95);
  table.Insert(95, "");
  g_highscoreFile.rank = table.FindRank(85);
  table.Insert(85, "ANNA MARIA\tB");
  g_highscoreFile.rank = table.FindRank(50);
  table.Insert(50, " ");
  testing::internal::CaptureStdout();
  HighscoreTable read;
  read.Load();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.find("Error"), std::string::npos) << out;
  const std::string names[] = {"NONAME", "_", "NONAME", "ANNA_MARIA_B", "NONAME", "_", ""};
  const std::string scores[] = {"100", "95", "90", "85", "80", "50", ""};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(read.names[i], names[i]) << "place " << i;
    EXPECT_EQ(read.scores[i], scores[i]) << "place " << i;
  }
}

} // namespace
