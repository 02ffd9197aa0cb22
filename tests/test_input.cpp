// The key maps and the mouse, fed through the real message pump where the platform's
// translation matters.
#include <gtest/gtest.h>
#include "core/GameState.h"
#include "core/Input.h"
#include "core/Level.h"
#include "core/Window.h"
#include "support/GameHarness.h"

namespace {

TEST(KeyMaps, EachPhysicalPressTriggersOnce) {
  ResetGameGlobals();
  ResetKeys();
  for (int i = 0; i < 3; ++i) KeyDown('W'); // the first press, then auto-repeat
  EXPECT_TRUE(ConsumeTrigger('W'));
  EXPECT_FALSE(ConsumeTrigger('W'));
  EXPECT_TRUE(IsDown('W'));
  ResetKeys(); // the held key's next repeat counts as a new press
  KeyDown('W');
  EXPECT_TRUE(ConsumeTrigger('W'));

  KeyDown(32); // pressed and released before anyone asked
  KeyUp(32);
  EXPECT_FALSE(ConsumeTrigger(32));
}

TEST(KeyMaps, TheMouseIsReportedInLogicalPixels) {
  ResetGameGlobals();
  g_screen.windowWidth = 2 * g_screen.width; // a window twice the logical size
  g_screen.windowHeight = 2 * g_screen.height;
  g_input.usingGamepad = true;
  HandleInputMessage(MSG_MOUSE_MOVE, 0, 200 | (300 << 16));
  EXPECT_FLOAT_EQ(g_input.mousePosition.x, 100.0f);
  EXPECT_FLOAT_EQ(g_input.mousePosition.y, 150.0f);
  EXPECT_FALSE(g_input.usingGamepad);
  g_screen.windowWidth = 0; // a window without an area has nowhere to put the pointer
  HandleInputMessage(MSG_MOUSE_MOVE, 0, 50 | (60 << 16));
  EXPECT_FLOAT_EQ(g_input.mousePosition.x, 100.0f);
}

class PumpTest : public ::testing::Test {
protected:
  // A state that reads no input, so the keys reach the test as the pump left them
  // (the menu's splash would take Execute, Escape, Space and the click for itself).
  void SetUp() override {
    game.Install(STATE_MAIN_MENU, [] { return std::make_unique<Level>(); });
    ASSERT_TRUE(game.Start());
  }
  GameHarness game;
};

TEST_F(PumpTest, KeysAndButtonsArriveAsTheGameCodes) {
  struct Case { SDL_Scancode key; int code; char character; int digit; };
  for (Case c : {Case{SDL_SCANCODE_7, '7', '7', 7}, {SDL_SCANCODE_0, '0', '0', 0}, {SDL_SCANCODE_K, 'K', 'K', 10},
                 {SDL_SCANCODE_RETURN, 13, '-', 10}, {SDL_SCANCODE_KP_ENTER, 13, '-', 10},
                 {SDL_SCANCODE_KP_7, 103, '-', 10}, {SDL_SCANCODE_LEFT, 37, '-', 10}, {SDL_SCANCODE_F1, 112, '-', 10},
                 {SDL_SCANCODE_EXECUTE, 43, '-', 10}}) {
    game.Key(c.key, true);
    game.Drain();
    EXPECT_TRUE(ConsumeTrigger(c.code)) << SDL_GetScancodeName(c.key);
    EXPECT_EQ(g_input.lastKeyChar, c.character) << SDL_GetScancodeName(c.key);
    EXPECT_EQ(g_input.lastDigit, c.digit) << SDL_GetScancodeName(c.key);
    game.Key(c.key, false);
    game.Drain();
    EXPECT_EQ(g_input.lastKeyChar, '-');
  }
  for (auto [sdl, code] : {std::pair{SDL_BUTTON_LEFT, 1}, {SDL_BUTTON_RIGHT, 2}, {SDL_BUTTON_MIDDLE, 4}}) {
    game.MouseButton(sdl, true);
    game.Drain();
    EXPECT_TRUE(IsDown(code)) << sdl;
    game.MouseButton(sdl, false);
    game.Drain();
    EXPECT_FALSE(IsDown(code)) << sdl;
  }
}

TEST_F(PumpTest, OneMessagePerFrameWithPendingMovesMerged) {
  g_screen.windowWidth = g_screen.width; // one window pixel per logical pixel
  g_screen.windowHeight = g_screen.height;
  for (int i = 1; i <= 5; ++i) game.MouseMove(10 * i, 20 * i);
  game.Key(SDL_SCANCODE_T, true);
  game.MouseMove(7, 8);
  game.MouseMove(9, 11);
  game.Key(SDL_SCANCODE_T, false);

  game.Frame(); // the five moves, merged into the last
  EXPECT_FLOAT_EQ(g_input.mousePosition.x, 50.0f);
  EXPECT_FALSE(IsDown('T'));
  game.Frame(); // the key, on its own
  EXPECT_TRUE(IsDown('T'));
  game.Frame(); // the two later moves
  EXPECT_FLOAT_EQ(g_input.mousePosition.x, 9.0f);
  EXPECT_FLOAT_EQ(g_input.mousePosition.y, 11.0f);
  EXPECT_TRUE(IsDown('T'));
  game.Frame(); // the release
  EXPECT_FALSE(IsDown('T'));
}

} // namespace
