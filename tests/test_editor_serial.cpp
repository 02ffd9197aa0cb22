// The way into the editor from the real main menu, and back, and a level made by hand and
// played. The menu and the levels pause when the window loses the keyboard focus, so this
// runs on its own.
#include "core/GameState.h"
#include "core/Input.h"
#include "editor/Editor.h"
#include "levels/TutorialLevel.h"
#include "objects/GameObject.h"
#include "objects/Vehicle.h"
#include "objects/World.h"
#include "platform/TweakBar.h"
#include "screens/MainMenu.h"
#include "screens/WinLoseScreen.h"
#include "support/EditorSession.h"
#include "support/GameHarness.h"
#include <gtest/gtest.h>

TEST(EditorWayIn, EOnTheMenuOpensTheEditorAndEscapeLeavesIt) {
  GameHarness harness; // the game's own state table, reading the game's own content
  g_menu.splashDone = true;
  ASSERT_TRUE(harness.Start());
  ASSERT_EQ(g_loop.currentState, STATE_MAIN_MENU);
  harness.TapKey(SDL_SCANCODE_E);
  ASSERT_TRUE(harness.FramesUntil([] { return g_loop.currentState == STATE_EDITOR; }, 200));
  EXPECT_NE(dynamic_cast<Editor*>(harness.loop.CurrentLevel()), nullptr);
  harness.Frame(3);
  EXPECT_EQ(TwBarCount(), 2);
  harness.TapKey(SDL_SCANCODE_ESCAPE);
  ASSERT_TRUE(harness.FramesUntil([] { return g_loop.currentState == STATE_MAIN_MENU; }, 200));
  EXPECT_EQ(TwBarCount(), 0);
}

// A level made by hand in the editor, as a designer makes one: a player between two rows
// of walls, a gunner off to the side and the road's end ahead; named, then played at once
// with F5 and won by driving to the end. The end screen's button leads back to the editor
// with the level open. A playing level pauses without the keyboard focus: this runs alone.
TEST(EditorHandMadeLevel, PlacedSavedPlayedWithF5AndWon) {
  EditorSession s; // the game's own state table: the real tutorial plays the level
  ASSERT_TRUE(s.Enter());

  s.Key(SDL_SCANCODE_1); // the player
  s.Click(450, 400);
  s.Key(SDL_SCANCODE_3); // the road's end
  s.Click(840, 400);
  s.Key(SDL_SCANCODE_4); // a gunner, out of range of the road
  s.Click(150, 680);
  GameObject* wall = nullptr;
  for (GameObject* entry : g_editor.palette)
    if (entry->name == "WALL") wall = entry;
  ASSERT_NE(wall, nullptr);
  s.Click(wall->Position().x, wall->Position().y); // picked from the palette
  for (float x = 400; x < 940; x += 52) {
    s.Click(x, 300);
    s.Click(x, 500);
  }
  ASSERT_EQ(g_editor.placedObjects.size(), 3u + 22u);

  s.ClickButton("RENAME");
  for (int i = 0; i < 10; ++i) s.Key(SDL_SCANCODE_BACKSPACE);
  s.Type("hand");
  s.Key(SDL_SCANCODE_RETURN);
  ASSERT_EQ(g_editor.displayName, "HAND");

  s.Key(SDL_SCANCODE_F5);
  ASSERT_TRUE(s.harness.FramesUntil([] { return g_loop.currentState == STATE_TUTORIAL; }));
  auto* level = dynamic_cast<TUTORIAL_LEVEL::TutorialLevel*>(s.harness.loop.CurrentLevel());
  ASSERT_NE(level, nullptr);
  EXPECT_EQ(level->levelPath, "../Assets/Levels/HAND.txt");
  level->screens.loading.loadTime = 3.0f; // past the loading picture
  s.harness.Frame(2);
  EXPECT_FALSE(g_frontEnd.tutorialHelpOpen); // no tutorial card over a designer's own level
  EXPECT_FALSE(g_loop.paused);
  ASSERT_NE(g_play.player, nullptr);
  const Vec3 start = g_play.player->Position();

  // Forward is to the right: straight down the corridor to the end.
  s.harness.Key(SDL_SCANCODE_W, true);
  const bool won = s.harness.FramesUntil([] { return g_play.levelWon || g_play.levelLost; }, 3000);
  s.harness.Key(SDL_SCANCODE_W, false);
  s.harness.Drain();
  ASSERT_TRUE(won);
  EXPECT_TRUE(g_play.levelWon);
  EXPECT_GT(g_play.player->Position().x, start.x + 250.0f);

  // The end screen's button: back in the editor, the same level open.
  auto* end = dynamic_cast<WinLoseScreen*>(level->screens.endScreen.get());
  ASSERT_NE(end, nullptr);
  s.harness.Frame(3);
  const auto [low, high] = end->endButton->shape->Bounds();
  s.Click((low.x + high.x) / 2, (low.y + high.y) / 2);
  ASSERT_TRUE(s.harness.FramesUntil([] { return g_loop.currentState == STATE_EDITOR; }, 200));
  s.harness.Frame(3);
  EXPECT_EQ(g_editor.displayName, "HAND");
  EXPECT_EQ(g_editor.placedObjects.size(), 3u + 22u + 25u); // with the shot pools the save added
}
