// The key maps and the mouse, fed through the real message pump where the platform's
// translation matters.
#include <gtest/gtest.h>
#include "core/GameState.h"
#include "core/Input.h"
#include "core/Window.h"
#include "platform/Messages.h"
#include "support/GameHarness.h"

namespace {

class KeyMapTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetGameGlobals();
    ResetKeys();
  }
};

TEST_F(KeyMapTest, AHeldKeyTriggersOncePerPhysicalPress) {
  KeyDown('W');
  KeyDown('W'); // auto-repeat
  KeyDown('W');
  EXPECT_TRUE(ConsumeTrigger('W'));
  EXPECT_FALSE(ConsumeTrigger('W'));
  EXPECT_TRUE(IsDown('W'));
  KeyDown('W');
  EXPECT_FALSE(ConsumeTrigger('W'));

  // Once the maps are reset, the held key's next repeat counts as a new press.
  ResetKeys();
  KeyDown('W');
  EXPECT_TRUE(ConsumeTrigger('W'));

  KeyUp('W');
  KeyDown('W');
  EXPECT_TRUE(ConsumeTrigger('W'));
}

TEST_F(KeyMapTest, APressReleasedBeforeAnyoneAsksIsLost) {
  KeyDown(32);
  KeyUp(32);
  EXPECT_FALSE(ConsumeTrigger(32));
  EXPECT_FALSE(IsDown(32));
  EXPECT_FALSE(ConsumeTrigger(200)); // never pressed
}

TEST_F(KeyMapTest, ConsumingMarksTheKeyHeldSoItCannotTriggerAgain) {
  g_keyTriggered[13] = true; // set by a screen that fakes a press
  EXPECT_TRUE(ConsumeTrigger(13));
  EXPECT_TRUE(IsDown(13));
  KeyDown(13);
  EXPECT_FALSE(ConsumeTrigger(13));
}

TEST_F(KeyMapTest, TheMouseIsReportedInLogicalPixels) {
  g_screenWidth = 1264;
  g_screenHeight = 720;
  g_windowWidth = 2 * 1264;
  g_windowHeight = 2 * 720;
  g_usingGamepad = true;
  EXPECT_TRUE(HandleInputMessage(MSG_MOUSE_MOVE, 0, 200 | (300 << 16)));
  EXPECT_FLOAT_EQ(g_mousePosition.x, 100.0f);
  EXPECT_FLOAT_EQ(g_mousePosition.y, 150.0f);
  EXPECT_EQ(g_mousePosition.z, 0.0f);
  EXPECT_FALSE(g_usingGamepad);

  // A move to where the pointer already is does not take the pad's place.
  g_usingGamepad = true;
  HandleInputMessage(MSG_MOUSE_MOVE, 0, 200 | (300 << 16));
  EXPECT_TRUE(g_usingGamepad);

  // A window without an area has nowhere to put the pointer.
  g_windowWidth = 0;
  HandleInputMessage(MSG_MOUSE_MOVE, 0, 50 | (60 << 16));
  EXPECT_FLOAT_EQ(g_mousePosition.x, 100.0f);
  EXPECT_FALSE(HandleInputMessage(MSG_SIZE, 0, 0));
}

// ---- through the pump --------------------------------------------------------------

class PumpTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(game.Start()); }
  GameHarness game;
};

TEST_F(PumpTest, TypedKeysSetTheLastCharacterAndDigit) {
  struct Case { SDL_Scancode key; int code; char character; int digit; };
  const Case cases[] = {
      {SDL_SCANCODE_7, '7', '7', 7},           {SDL_SCANCODE_0, '0', '0', 0},
      {SDL_SCANCODE_K, 'K', 'K', 10},          {SDL_SCANCODE_A, 'A', 'A', 10},
      {SDL_SCANCODE_Z, 'Z', 'Z', 10},          {SDL_SCANCODE_RETURN, 13, '-', 10},
      {SDL_SCANCODE_KP_ENTER, 13, '-', 10},    {SDL_SCANCODE_KP_7, 103, '-', 10},
      {SDL_SCANCODE_BACKSPACE, 8, '-', 10},    {SDL_SCANCODE_SPACE, 32, '-', 10},
      {SDL_SCANCODE_LEFT, 37, '-', 10},        {SDL_SCANCODE_DOWN, 40, '-', 10},
      {SDL_SCANCODE_F1, 112, '-', 10},
  };
  for (const Case& c : cases) {
    game.Key(c.key, true);
    game.Drain();
    EXPECT_TRUE(ConsumeTrigger(c.code)) << SDL_GetScancodeName(c.key);
    EXPECT_EQ(g_lastKeyChar, c.character) << SDL_GetScancodeName(c.key);
    EXPECT_EQ(g_lastDigit, c.digit) << SDL_GetScancodeName(c.key);
    game.Key(c.key, false);
    game.Drain();
    EXPECT_FALSE(IsDown(c.code));
    EXPECT_EQ(g_lastKeyChar, '-');
    EXPECT_EQ(g_lastDigit, 10);
  }
}

TEST_F(PumpTest, MouseButtonsUseTheGameCodes) {
  const std::pair<int, int> buttons[] = {{SDL_BUTTON_LEFT, 1}, {SDL_BUTTON_RIGHT, 2}, {SDL_BUTTON_MIDDLE, 4}};
  for (auto [sdl, code] : buttons) {
    game.MouseButton(sdl, true);
    game.Drain();
    EXPECT_TRUE(IsDown(code)) << sdl;
    EXPECT_TRUE(ConsumeTrigger(code)) << sdl;
    game.MouseButton(sdl, false);
    game.Drain();
    EXPECT_FALSE(IsDown(code)) << sdl;
  }
}

TEST_F(PumpTest, OneMessagePerFrameWithPendingMovesMerged) {
  g_windowWidth = g_screenWidth; // one window pixel per logical pixel
  g_windowHeight = g_screenHeight;
  for (int i = 1; i <= 5; ++i) game.MouseMove(10 * i, 20 * i);
  game.Key(SDL_SCANCODE_T, true);
  game.MouseMove(7, 8);
  game.MouseMove(9, 11);
  game.Key(SDL_SCANCODE_T, false);

  game.Frame(); // the five moves, merged into the last
  EXPECT_FLOAT_EQ(g_mousePosition.x, 50.0f);
  EXPECT_FLOAT_EQ(g_mousePosition.y, 100.0f);
  EXPECT_FALSE(IsDown('T'));
  game.Frame(); // the key press, on its own
  EXPECT_TRUE(IsDown('T'));
  EXPECT_FLOAT_EQ(g_mousePosition.x, 50.0f);
  game.Frame(); // the two later moves
  EXPECT_FLOAT_EQ(g_mousePosition.x, 9.0f);
  EXPECT_FLOAT_EQ(g_mousePosition.y, 11.0f);
  EXPECT_TRUE(IsDown('T'));
  game.Frame(); // the release
  EXPECT_FALSE(IsDown('T'));
  EXPECT_EQ(game.PendingMessages(), 0);
}

} // namespace
