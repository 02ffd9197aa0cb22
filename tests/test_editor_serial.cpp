// The way into the editor from the real main menu, and back. The menu pauses when the
// window loses the keyboard focus, so this runs on its own.
#include "core/GameState.h"
#include "core/Input.h"
#include "editor/Editor.h"
#include "platform/TweakBar.h"
#include "screens/MainMenu.h"
#include "support/GameHarness.h"
#include <gtest/gtest.h>

TEST(EditorWayIn, EOnTheMenuOpensTheEditorAndEscapeLeavesIt) {
  GameHarness harness; // the game's own state table, reading the game's own content
  g_splashDone = true;
  ASSERT_TRUE(harness.Start());
  ASSERT_EQ(g_currentState, STATE_MAIN_MENU);
  harness.TapKey(SDL_SCANCODE_E);
  ASSERT_TRUE(harness.FramesUntil([] { return g_currentState == STATE_EDITOR; }, 200));
  EXPECT_NE(dynamic_cast<Editor*>(harness.loop.CurrentLevel()), nullptr);
  harness.Frame(3);
  EXPECT_EQ(TwBarCount(), 2);
  harness.TapKey(SDL_SCANCODE_ESCAPE);
  ASSERT_TRUE(harness.FramesUntil([] { return g_currentState == STATE_MAIN_MENU; }, 200));
  EXPECT_EQ(TwBarCount(), 0);
}
