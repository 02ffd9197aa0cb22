#include <gtest/gtest.h>
#include "core/GameState.h"
#include "editor/Editor.h"
#include "levels/FrontEnd.h"
#include "levels/Hud.h"
#include "levels/LevelFile.h"
#include "levels/PlayTest.h"
#include "levels/TutorialLevel.h"
#include "screens/HighscoreTable.h"
#include "screens/MainMenu.h"
#include "support/GameHarness.h"

TEST(Smoke, StateIdsAreStable) {
  EXPECT_EQ(STATE_QUIT, 0);
  EXPECT_EQ(STATE_TUTORIAL, 6);
}

// What one test leaves in a screen's state must not reach the next: the harness's reset
// puts every screen back as a new run finds it, but leaves the highscore table where the
// test (or the autopilot) pointed it.
TEST(Smoke, TheHarnessResetPutsEveryScreenBack) {
  const std::string table = g_highscoreFile.path;
  g_menu.splashDone = true;
  g_menu.selection = 4;
  g_highscoreFile = HighscoreFile{"elsewhere/Highscore.txt", 3, true};
  g_editor.levelIndex = 2;
  g_editor.snapMode = true;
  g_hud.pizzaLabel = "15m";
  TUTORIAL_LEVEL::g_tutorial.talkedTo4 = true;
  g_frontEnd.tutorialHelpOpen = true;
  g_levelNames = {"STALE"};
  StartPlayTest("../Assets/Levels/STALE.txt");

  ResetGameGlobals();
  EXPECT_FALSE(g_menu.splashDone);
  EXPECT_EQ(g_menu.selection, 0);
  EXPECT_EQ(g_highscoreFile.path, "elsewhere/Highscore.txt");
  EXPECT_EQ(g_highscoreFile.rank, -1);
  EXPECT_FALSE(g_highscoreFile.resultRecorded);
  EXPECT_EQ(g_editor.levelIndex, 0);
  EXPECT_FALSE(g_editor.snapMode);
  EXPECT_EQ(g_hud.pizzaLabel, "");
  EXPECT_FALSE(TUTORIAL_LEVEL::g_tutorial.talkedTo4);
  EXPECT_FALSE(g_frontEnd.tutorialHelpOpen);
  EXPECT_TRUE(g_levelNames.empty());
  EXPECT_FALSE(PlayTesting());
  g_highscoreFile.path = table;
}
