// The pad as the states poll it: buttons, sticks, triggers, rumble and hot-plugging,
// through a virtual SDL game controller.
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

TEST_F(PadTest, NoPadReadsAsReleasedAndCentred) {
  g_gamepad.state.buttons = 0xFFFF; // left from an earlier poll
  g_gamepad.Update();
  EXPECT_EQ(g_gamepad.state.buttons, 0);
  EXPECT_EQ(g_gamepad.state.thumbLX, 0);
  EXPECT_EQ(g_gamepad.state.leftTrigger, 0);
  for (bool down : g_gamepad.down) EXPECT_FALSE(down);
  g_gamepad.StartRumble(100, 100, 1.0f); // goes nowhere, harmlessly
  g_gamepad.Update();
}

TEST_F(PadTest, AHeldButtonTriggersOnTheFirstPollOnly) {
  VirtualPad pad;
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  std::vector<bool> triggered, down;
  for (int i = 0; i < 4; ++i) {
    g_gamepad.Update();
    triggered.push_back(g_gamepad.triggered[PAD_A]);
    down.push_back(g_gamepad.down[PAD_A]);
  }
  EXPECT_EQ(triggered, (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(down, (std::vector<bool>{true, true, true, true}));
  pad.Button(SDL_CONTROLLER_BUTTON_A, false);
  g_gamepad.Update();
  EXPECT_FALSE(g_gamepad.down[PAD_A]);
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  g_gamepad.Update();
  EXPECT_TRUE(g_gamepad.triggered[PAD_A]);
}

TEST_F(PadTest, EachButtonLandsOnItsOwnIndex) {
  VirtualPad pad;
  const std::pair<SDL_GameControllerButton, int> buttons[] = {
      {SDL_CONTROLLER_BUTTON_A, PAD_A},
      {SDL_CONTROLLER_BUTTON_B, PAD_B},
      {SDL_CONTROLLER_BUTTON_X, PAD_X},
      {SDL_CONTROLLER_BUTTON_Y, PAD_Y},
      {SDL_CONTROLLER_BUTTON_DPAD_UP, PAD_UP},
      {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PAD_DOWN},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PAD_LEFT},
      {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PAD_RIGHT},
      {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, PAD_LB},
      {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PAD_RB},
      {SDL_CONTROLLER_BUTTON_LEFTSTICK, PAD_LTHUMB},
      {SDL_CONTROLLER_BUTTON_RIGHTSTICK, PAD_RTHUMB},
      {SDL_CONTROLLER_BUTTON_START, PAD_START},
      {SDL_CONTROLLER_BUTTON_BACK, PAD_BACK},
  };
  for (auto [button, index] : buttons) {
    pad.Button(button, true);
    g_gamepad.Update();
    for (int i = 0; i < PAD_BUTTON_COUNT; ++i) EXPECT_EQ(g_gamepad.down[i], i == index) << index << " " << i;
    pad.Button(button, false);
  }
}

TEST_F(PadTest, SticksPointUpAndTriggersReadAsBytes) {
  VirtualPad pad;
  g_gamepad.Update();
  EXPECT_EQ(g_gamepad.state.leftTrigger, 0); // at rest
  EXPECT_EQ(g_gamepad.state.thumbLY, 0);

  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, SDL_JOYSTICK_AXIS_MIN);   // pushed fully up
  pad.Axis(SDL_CONTROLLER_AXIS_RIGHTY, SDL_JOYSTICK_AXIS_MAX);  // fully down
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -20000);
  pad.Axis(SDL_CONTROLLER_AXIS_RIGHTX, 12345);
  pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_JOYSTICK_AXIS_MAX);
  g_gamepad.Update();
  const PadState& s = g_gamepad.state;
  EXPECT_EQ(s.thumbLY, 32767);
  EXPECT_EQ(s.thumbRY, -32767);
  EXPECT_EQ(s.thumbLX, -20000);
  EXPECT_EQ(s.thumbRX, 12345);
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

  VirtualPad another;
  another.Button(SDL_CONTROLLER_BUTTON_Y, true);
  g_gamepad.Update();
  EXPECT_TRUE(g_gamepad.down[PAD_Y]);
  EXPECT_TRUE(g_gamepad.triggered[PAD_Y]);
}

TEST_F(PadTest, ARumbleStopsOnThePollAfterItsTimeIsUsedUp) {
  VirtualPad pad;
  g_gamepad.Update();
  g_gamepad.StartRumble(0x3FFF, 0x3FFF, 0.5f);
  EXPECT_EQ(pad.lowSpeed, 0x3FFF);
  g_frameTime = 0.125f; // four polls use up half a second
  for (int i = 0; i < 4; ++i) {
    g_gamepad.Update();
    EXPECT_EQ(pad.lowSpeed, 0x3FFF) << i;
  }
  g_gamepad.Update();
  EXPECT_EQ(pad.lowSpeed, 0);
  EXPECT_EQ(pad.highSpeed, 0);
}

TEST_F(PadTest, StickOrButtonsMakeThePadTheActiveDeviceUntilTheMouseMoves) {
  VirtualPad pad;
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 7849); // still inside the dead zone
  g_gamepad.Update();
  game.Frame();
  EXPECT_FALSE(g_usingGamepad);
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 7850);
  g_gamepad.Update();
  game.Frame();
  EXPECT_TRUE(g_usingGamepad);

  game.MouseMove(321, 123);
  game.Drain();
  EXPECT_FALSE(g_usingGamepad);
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  pad.Button(SDL_CONTROLLER_BUTTON_BACK, true);
  g_gamepad.Update();
  game.Frame();
  EXPECT_TRUE(g_usingGamepad);
}

} // namespace
