// Serial: the levels pause while their window lacks the keyboard focus.
// MY LEVELS and the campaign's start pick on the real loop, driven by pushed events: the
// list of the player's own levels with their counts, bests and broken rows, playing and
// winning one, 500 levels, starting the campaign at a level reached, damaged record files.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/GameState.h"
#include "core/Window.h"
#include "levels/GenericLevel.h"
#include "levels/PlayerRecords.h"
#include "levels/Replay.h"
#include "objects/Vehicle.h"
#include "objects/World.h"
#include "screens/HighscoreTable.h"
#include "screens/MainMenu.h"
#include "screens/MyLevels.h"
#include "screens/UserLevel.h"
#include "support/GameHarness.h"

namespace fs = std::filesystem;

namespace {

// Object blocks of a level file: a name and a centre. PLAYER is the tank, END the road's end.
std::string LevelText(const std::vector<std::pair<std::string, int>>& objects) {
  std::ostringstream out;
  for (const auto& [name, x] : objects) {
    const bool tank = name == "PLAYER";
    const std::string keyword = tank ? "Vehicle" : "GameObject";
    const std::string picture = tank ? "Tank_moving.png" : name == "END" ? "props/roadEnd.png" : "wall.png";
    out << keyword << "\n" << name << "\n../Assets/image/" << picture << "\n0\n1\n1\n0\n" << x << "\n300\n25\n25\nEnd"
        << keyword << "\n";
  }
  return out.str();
}

const std::string WINNABLE = LevelText({{"PLAYER", 300}, {"END", 600}, {"WALL", 100}});

class MyLevels : public ::testing::Test {
protected:
  void SetUp() override {
    const fs::path assets = fs::absolute("../Assets"), shaders = fs::absolute("../shaders");
    tree = std::make_unique<ScratchTree>();
    fs::remove(fs::path(tree->root) / "shaders");
    fs::create_directory_symlink(shaders, fs::path(tree->root) / "shaders");
    for (const char* folder : {"image", "font", "Audio"})
      fs::create_directory_symlink(assets / folder, fs::path(tree->root) / "Assets" / folder);
    for (const char* file : {"Windows.txt", "Player.txt", "WSHudObj.txt2"})
      fs::copy_file(assets / file, fs::path(tree->root) / "Assets" / file);
    g_menu.splashDone = true;
  }
  void TearDown() override {
    game.Stop();
    tree.reset();
  }
  void Start() {
    game.loop.fixedFrameTime = 1.0f / 60.0f; // game time runs as on a display, however fast the frames
    ASSERT_TRUE(game.Start());
  }
  void WriteLevel(const std::string& name, const std::string& text, const std::string& list = "") {
    tree->Write("Assets/Levels/" + name + ".txt", text);
    tree->Write("Assets/Levels/" + name + ".txt2", list.empty() ? text : list);
  }
  void Click(float x, float y) { game.ClickLogical(x, y); }
  bool Reach(int state) {
    const bool reached = game.FramesUntil([state] { return g_loop.currentState == state; }, 100);
    game.Frame();
    return reached;
  }
  std::vector<std::string> RowNames() const {
    std::vector<std::string> names;
    for (const LevelSummary& row : g_myLevels.rows) names.push_back(row.name);
    return names;
  }

  std::unique_ptr<ScratchTree> tree;
  GameHarness game;
};

} // namespace

TEST_F(MyLevels, ListsTheOwnLevelsWithCountsBestsAndTheLineOfEachBrokenOne) {
  WriteLevel("BETA", LevelText({{"PLAYER", 300}, {"WALL", 100}, {"WALL", 160}, {"PROJECTILE", 0}}));
  WriteLevel("ALPHA", WINNABLE);
  WriteLevel("FIRSTMOD", WINNABLE); // shipped: never listed
  const struct {
    const char* name;
    std::string description, list;
    const char* says;
  } broken[] = {
      {"CUT", WINNABLE, WINNABLE.substr(0, WINNABLE.size() - 40), "ends inside"},
      {"NOTANK", WINNABLE, LevelText({{"WALL", 100}}), "no PLAYER"},
      {"UNENDED", WINNABLE, WINNABLE.substr(0, WINNABLE.size() - 1), "not laid out"},
      {"OLDDESC", "junk\n", WINNABLE, "description"},
  };
  for (const auto& b : broken) WriteLevel(b.name, b.description, b.list);
  tree->Write("Assets/Levels/NOLIST.txt", WINNABLE);
  std::ofstream(g_recordPaths.bests) << "7 12.5 ALPHA\nthis line is damaged\n";
  Start();

  Click(g_menu.myLevels->Centre().x, g_menu.myLevels->Centre().y);
  ASSERT_TRUE(g_myLevels.open);
  EXPECT_EQ(RowNames(), (std::vector<std::string>{"ALPHA", "BETA", "CUT", "NOLIST", "NOTANK", "OLDDESC", "UNENDED"}));
  EXPECT_EQ(g_myLevels.rows[0].objects, 3);
  EXPECT_EQ(g_myLevels.rows[1].objects, 3) << "the shot pool a save adds is not the designer's";
  EXPECT_EQ(g_myLevels.bests["ALPHA"].total, 7) << "a damaged line costs only itself";
  EXPECT_FLOAT_EQ(g_myLevels.bests["ALPHA"].seconds, 12.5f);
  const std::vector<std::string> names = RowNames();
  for (const auto& b : broken) {
    const auto row = std::find(names.begin(), names.end(), b.name) - names.begin();
    EXPECT_NE(g_myLevels.rows[row].problem.find(b.says), std::string::npos) << b.name << ": " << g_myLevels.rows[row].problem;
  }
  EXPECT_NE(g_myLevels.rows[3].problem.find("no object list"), std::string::npos);

  // A broken row is chosen by neither Enter nor a click; Escape closes the list.
  for (int i = 0; i < 2; ++i) game.TapKey(SDL_SCANCODE_DOWN);
  ASSERT_EQ(g_myLevels.selected, 2);
  game.TapKey(SDL_SCANCODE_RETURN);
  game.Frame(3);
  EXPECT_EQ(g_loop.currentState, STATE_MAIN_MENU);
  EXPECT_FALSE(PlayUserLevel("CUT")) << "nor by name";
  game.TapKey(SDL_SCANCODE_ESCAPE);
  EXPECT_FALSE(g_myLevels.open);
  EXPECT_FALSE(g_loop.paused) << "the Escape is the list's";
}

TEST_F(MyLevels, AWonLevelKeepsItsBestsAndGoesBackToTheListALostOneReplays) {
  WriteLevel("ALPHA", WINNABLE);
  Start();
  game.TapKey(SDL_SCANCODE_M);
  ASSERT_TRUE(g_myLevels.open);
  game.TapKey(SDL_SCANCODE_RETURN);
  ASSERT_TRUE(Reach(STATE_LEVEL));
  auto* level = dynamic_cast<UserLevel*>(game.loop.CurrentLevel());
  ASSERT_NE(level, nullptr);
  EXPECT_TRUE(level->world.isMainLevel) << "the campaign's rules";

  auto play = [&] {
    level->screens.loading.loadTime = 3.0f;
    game.Frame(30);
  };
  const float w = g_screen.width / 2.0f, endButtonY = g_screen.height / 2.0f + 150;
  // Lost: the end screen's button plays the same level again.
  play();
  g_play.player->hp = 0;
  game.FramesUntil([] { return g_play.levelLost; });
  game.Frame(150); // the explosion
  Click(w, endButtonY);
  game.Frame(2);
  EXPECT_EQ(game.loop.CurrentLevel(), level);
  EXPECT_FALSE(g_play.levelLost);
  EXPECT_FALSE(fs::exists(g_recordPaths.bests)) << "a loss keeps no bests";

  // Won at the road's end (F6 takes the tank there): the bests, then the list. The loading
  // picture runs its course here: the run is watched again below, and a replay does not
  // know of a test's shortcut.
  ASSERT_TRUE(game.FramesUntil([&] { return !level->screens.loading.pending; }, 400));
  game.Frame(29);
  const float seconds = level->playSeconds;
  EXPECT_NEAR(seconds, 29 / 60.0f, 1 / 30.0f) << "the frames played, not the loading picture";
  game.TapKey(SDL_SCANCODE_F6);
  ASSERT_TRUE(game.FramesUntil([] { return g_play.levelWon; }, 10));
  game.Frame(2);
  std::ifstream bests(g_recordPaths.bests);
  std::string line;
  std::getline(bests, line);
  char expected[64];
  std::snprintf(expected, sizeof expected, "0 %.2f ALPHA", level->playSeconds);
  EXPECT_EQ(line, expected);
  EXPECT_FALSE(fs::exists(g_highscoreFile.path)) << "the highscore table stays the campaign's";
  game.TapKey(SDL_SCANCODE_K); // as the button: K goes where it goes
  ASSERT_TRUE(Reach(STATE_MAIN_MENU));
  ASSERT_TRUE(g_myLevels.open) << "back to the list";
  EXPECT_EQ(g_myLevels.bests.count("ALPHA"), 1u) << "showing the new bests";

  // Its best run plays again by MY LEVELS' rules to the same end, and the list comes back.
  ASSERT_EQ(g_myLevels.watchable.count("ALPHA"), 1u);
  game.TapKey(SDL_SCANCODE_W);
  ASSERT_TRUE(Reach(STATE_LEVEL));
  EXPECT_NE(dynamic_cast<UserLevel*>(game.loop.CurrentLevel()), nullptr);
  EXPECT_TRUE(WatchingReplay());
  ASSERT_TRUE(game.FramesUntil([] { return g_loop.currentState == STATE_MAIN_MENU; }, 3000));
  game.Frame();
  EXPECT_TRUE(LastReplayVerdict().matches) << DescribeOutcome("ALPHA", LastReplayVerdict().got);
  EXPECT_TRUE(g_myLevels.open);
  // Once the level is changed its old run is not offered.
  CloseMyLevels();
  WriteLevel("ALPHA", LevelText({{"PLAYER", 300}, {"END", 700}, {"WALL", 100}}));
  game.TapKey(SDL_SCANCODE_M);
  EXPECT_EQ(g_myLevels.watchable.count("ALPHA"), 0u);
}

TEST_F(MyLevels, FiveHundredLevelsOpenAtOnceAndScrollByKeysWheelAndPad) {
  for (int i = 0; i < 500; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "L%03d", i);
    WriteLevel(name, WINNABLE);
  }
  Start();
  VirtualPad pad;
  auto press = [&](SDL_GameControllerButton button) {
    pad.Button(button, true);
    game.Frame(2);
    pad.Button(button, false);
    game.Frame(2);
  };
  game.Frame(2);
  press(SDL_CONTROLLER_BUTTON_DPAD_LEFT); // MY LEVELS sits left of the board
  EXPECT_EQ(g_menu.selection, MainMenu::MY_LEVELS);
  const auto began = std::chrono::steady_clock::now();
  press(SDL_CONTROLLER_BUTTON_A);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count(), 3.0);
  ASSERT_EQ(g_myLevels.rows.size(), 500u);

  game.TapKey(SDL_SCANCODE_END);
  EXPECT_EQ(g_myLevels.selected, 499);
  EXPECT_EQ(g_myLevels.top, 500 - MY_LEVELS_ROWS_SHOWN);
  game.MouseWheel(2);
  game.Drain();
  EXPECT_EQ(g_myLevels.top, 500 - MY_LEVELS_ROWS_SHOWN - 6);
  game.TapKey(SDL_SCANCODE_HOME);
  game.TapKey(SDL_SCANCODE_PAGEDOWN);
  EXPECT_EQ(g_myLevels.selected, MY_LEVELS_ROWS_SHOWN);
  press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  EXPECT_EQ(g_myLevels.selected, MY_LEVELS_ROWS_SHOWN + 1);
  // A frame draws the rows in view only, however long the list.
  const auto drawn = std::chrono::steady_clock::now();
  game.Frame(20);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - drawn).count(), 2.0);
  press(SDL_CONTROLLER_BUTTON_B);
  EXPECT_FALSE(g_myLevels.open);
}

TEST_F(MyLevels, CampaignStartsAtAReachedLevelAndADamagedProgressFileStartsAtTheFirst) {
  for (const char* name : {"FIRSTMOD", "SECOND"}) WriteLevel(name, WINNABLE);
  const struct {
    const char* progress;
    bool picks;
  } cases[] = {{"", false}, {"FIRSTMOD\nSECOND\n", true}, {"SECOND\nGARBAGE\n", false}};
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.progress);
    fs::remove(g_recordPaths.progress);
    if (*c.progress) std::ofstream(g_recordPaths.progress) << c.progress;
    game.TapKey(SDL_SCANCODE_RETURN);
    if (c.picks) {
      EXPECT_EQ(g_loop.nextState, STATE_MAIN_MENU) << "the pick opens first";
      game.TapKey(SDL_SCANCODE_RETURN); // the furthest level reached is offered first
    }
    ASSERT_TRUE(Reach(STATE_LEVEL));
    auto* level = dynamic_cast<GenericLevel*>(game.loop.CurrentLevel());
    EXPECT_EQ(level->levelIndex, c.picks ? 1 : 0);
    EXPECT_EQ(level->levelPath, c.picks ? CAMPAIGN_LEVEL_PATHS[1] : CAMPAIGN_LEVEL_PATHS[0]);
    g_loop.nextState = STATE_MAIN_MENU;
    ASSERT_TRUE(Reach(STATE_MAIN_MENU));
  }
  // The campaign moving on records the level reached.
  fs::remove(g_recordPaths.progress);
  game.TapKey(SDL_SCANCODE_RETURN);
  ASSERT_TRUE(Reach(STATE_LEVEL));
  dynamic_cast<GenericLevel*>(game.loop.CurrentLevel())->levelIndex = 1;
  g_loop.nextState = STATE_RESTART;
  game.Frame(3);
  EXPECT_TRUE(ReadProgress().reached[1]);
}
