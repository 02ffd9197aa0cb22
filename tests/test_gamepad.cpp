// The pad as the states poll it, through a virtual SDL game controller.
#include <gtest/gtest.h>
#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "support/GameHarness.h"

namespace {

class PadTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(game.Start()); }
  GameHarness game;
};

TEST_F(PadTest, ButtonsTriggerOnTheFirstPollAndLandOnTheirOwnIndex) {
  VirtualPad pad;
  const SDL_GameControllerButton order[PAD_BUTTON_COUNT] = {
      SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y,
      SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_LEFT,
      SDL_CONTROLLER_BUTTON_DPAD_RIGHT, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
      SDL_CONTROLLER_BUTTON_LEFTSTICK, SDL_CONTROLLER_BUTTON_RIGHTSTICK, SDL_CONTROLLER_BUTTON_START,
      SDL_CONTROLLER_BUTTON_BACK};
  for (int index = 0; index < PAD_BUTTON_COUNT; ++index) {
    pad.Button(order[index], true);
    for (int poll = 0; poll < 3; ++poll) {
      g_gamepad.Update();
      for (int i = 0; i < PAD_BUTTON_COUNT; ++i) {
        EXPECT_EQ(g_gamepad.down[i], i == index) << index << " " << i;
        EXPECT_EQ(g_gamepad.triggered[i], i == index && poll == 0) << index << " " << i;
      }
    }
    pad.Button(order[index], false);
  }
}

TEST_F(PadTest, SticksPointUpAndTriggersReadAsBytes) {
  VirtualPad pad;
  g_gamepad.Update();
  EXPECT_EQ(g_gamepad.state.leftTrigger, 0); // at rest
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, SDL_JOYSTICK_AXIS_MIN); // pushed fully up
  pad.Axis(SDL_CONTROLLER_AXIS_RIGHTY, SDL_JOYSTICK_AXIS_MAX);
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -20000);
  pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_JOYSTICK_AXIS_MAX);
  g_gamepad.Update();
  const PadState& s = g_gamepad.state;
  EXPECT_EQ(s.thumbLY, 32767);
  EXPECT_EQ(s.thumbRY, -32767);
  EXPECT_EQ(s.thumbLX, -20000);
  EXPECT_EQ(s.leftTrigger, 255);
  EXPECT_EQ(s.rightTrigger, 0);
}

TEST_F(PadTest, APadPluggedInOrOutWhileRunningIsFollowed) {
  g_gamepad.Update();
  auto pad = std::make_unique<VirtualPad>();
  pad->Button(SDL_CONTROLLER_BUTTON_B, true);
  g_gamepad.Update();
  EXPECT_TRUE(g_gamepad.down[PAD_B]);
  pad.reset();
  g_gamepad.Update();
  EXPECT_FALSE(g_gamepad.down[PAD_B]);
  EXPECT_EQ(g_gamepad.state.buttons, 0);
  VirtualPad another;
  another.Button(SDL_CONTROLLER_BUTTON_Y, true);
  g_gamepad.Update();
  EXPECT_TRUE(g_gamepad.triggered[PAD_Y]);
}

TEST_F(PadTest, ARumbleStopsOnThePollAfterItsTimeIsUsedUp) {
  VirtualPad pad;
  g_gamepad.StartRumble(0x3FFF, 0x3FFF, 0.5f);
  g_loop.frameTime = 0.125f; // four polls use up half a second
  for (int i = 0; i < 4; ++i) {
    g_gamepad.Update();
    EXPECT_EQ(pad.lowSpeed, 0x3FFF) << i;
  }
  g_gamepad.Update();
  EXPECT_EQ(pad.lowSpeed, 0);
  EXPECT_EQ(pad.highSpeed, 0);
}

TEST_F(PadTest, AStickOutsideItsDeadZoneMakesThePadActiveUntilTheMouseMoves) {
  VirtualPad pad;
  for (Sint16 x : {7849, 7850}) {
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, x);
    g_gamepad.Update();
    game.Frame();
    EXPECT_EQ(g_input.usingGamepad, x > 7849);
  }
  // Centred again, the stick no longer marks the pad active, but only the mouse clears
  // the flag; with the stick still out, any window event the server sends after the
  // move would set it again in the next frame.
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  g_gamepad.Update();
  game.Frame();
  EXPECT_TRUE(g_input.usingGamepad);
  game.MouseMove(321, 123);
  game.Drain();
  EXPECT_FALSE(g_input.usingGamepad);
}

} // namespace
