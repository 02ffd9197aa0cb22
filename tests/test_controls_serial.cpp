// The player's own controls and the pause panel's comfort switches, on the real loop over
// the first campaign level, driven with pushed keys, clicks and a virtual pad.
#include <gtest/gtest.h>
#include "core/Controls.h"
#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/Options.h"
#include "core/Window.h"
#include "editor/Editor.h"
#include "game/CommandLine.h"
#include "levels/FrontEnd.h"
#include "levels/GenericLevel.h"
#include "objects/Vehicle.h"
#include "objects/World.h"
#include "platform/KeyCodes.h"
#include "screens/OptionMenu.h"
#include "support/GameHarness.h"
#include <fstream>
#include <sstream>

namespace {

std::string Text(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int ActiveShots() {
  int active = 0;
  for (GameObject* shot : g_play.player->children) active += shot && shot->active;
  return active;
}

class PlayersControls : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(game.StartWithLevel());
    g_loop.nextState = STATE_LEVEL; // FIRSTMOD
    // Nothing plays, and the pause key does nothing, under the loading picture.
    ASSERT_TRUE(game.FramesUntil([&] {
      auto* level = dynamic_cast<GenericLevel*>(game.loop.CurrentLevel());
      return level && level->built && !level->screens.loading.shown;
    }));
  }
  void TearDown() override { game.LeaveLevelAndStop(); }

  ControlsPage& Page() { return *dynamic_cast<OptionMenu&>(*g_frontEnd.pausePanel).controlsPage; }
  void Click(float x, float y) { game.ClickLogical(x, y); }
  // The board under the pause panel: CONTROLS, SCREEN, SHAKE.
  void ClickStrip(int button) { Click(g_screen.width / 2.0f + 190.0f * (button - 1), g_screen.height / 2.0f + 240.0f); }
  void OpenPage() {
    game.TapKey(SDL_SCANCODE_ESCAPE);
    ASSERT_TRUE(g_loop.paused);
    ClickStrip(0);
    ASSERT_TRUE(Page().IsOpen());
  }
  void ClickRow(Action action) {
    Click(g_screen.width / 2.0f - 200.0f, g_screen.height / 2.0f - 150.0f + 40.0f * static_cast<int>(action));
    ASSERT_TRUE(Page().waiting);
  }
  void BackToPlay() {
    game.TapKey(SDL_SCANCODE_ESCAPE); // the page goes back to the panel
    EXPECT_FALSE(Page().IsOpen());
    EXPECT_TRUE(g_loop.paused);
    game.TapKey(SDL_SCANCODE_ESCAPE);
    EXPECT_FALSE(g_loop.paused);
  }
  GameHarness game;
};

TEST_F(PlayersControls, ARebindingIsRememberedAndPlaysAsTheGamesOwnCode) {
  VirtualPad pad;
  ASSERT_NO_FATAL_FAILURE(OpenPage());
  ClickRow(Action::MainGun);
  game.TapKey(SDL_SCANCODE_K);
  EXPECT_EQ(KeyFor(Action::MainGun), KEY_K);
  // The pad's B for the main gun, chosen with the pad's own walk over the rows.
  for (auto button : {SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_DOWN}) {
    pad.Button(button, true), game.Frame(2);
    pad.Button(button, false), game.Frame(2);
  }
  EXPECT_EQ(Page().selected, static_cast<int>(Action::MainGun) - 1);
  pad.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true), game.Frame(2), pad.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
  pad.Button(SDL_CONTROLLER_BUTTON_A, true), game.Frame(2), pad.Button(SDL_CONTROLLER_BUTTON_A, false), game.Frame(2);
  ASSERT_TRUE(Page().waiting);
  pad.Button(SDL_CONTROLLER_BUTTON_B, true), game.Frame(2), pad.Button(SDL_CONTROLLER_BUTTON_B, false), game.Frame(2);
  EXPECT_EQ(PadFor(Action::MainGun), PAD_B);
  EXPECT_NE(Text(ControlsPath()).find("main K B\n"), std::string::npos) << Text(ControlsPath());
  BackToPlay();

  // K reaches the rules as SPACE and fires; SPACE itself no longer does.
  const int before = ActiveShots();
  game.Key(SDL_SCANCODE_K, true);
  game.Drain();
  EXPECT_TRUE(IsDown(KEY_SPACE));
  EXPECT_FALSE(IsDown(KEY_K));
  EXPECT_EQ(ActiveShots(), before + 1);
  game.Key(SDL_SCANCODE_K, false);
  game.Drain();
  EXPECT_FALSE(IsDown(KEY_SPACE));
  game.Key(SDL_SCANCODE_SPACE, true);
  game.Drain();
  EXPECT_FALSE(IsDown(KEY_SPACE));
  game.Key(SDL_SCANCODE_SPACE, false);
  pad.Button(SDL_CONTROLLER_BUTTON_B, true), game.Frame(2);
  EXPECT_TRUE(g_gamepad.down[PAD_A]);
  EXPECT_FALSE(g_gamepad.down[PAD_B]);
  pad.Button(SDL_CONTROLLER_BUTTON_B, false), game.Frame(2);

  // The next run reads the same keys.
  Bindings read;
  EXPECT_TRUE(ReadBindings(read));
  EXPECT_EQ(read, g_controls.bound);
}

TEST_F(PlayersControls, AHeldKeyOffersASwapAndReservedKeysAreRefused) {
  ASSERT_NO_FATAL_FAILURE(OpenPage());
  const bool fullscreen = g_screen.fullscreen;
  for (SDL_Scancode reserved : {SDL_SCANCODE_F12, SDL_SCANCODE_F11, SDL_SCANCODE_ESCAPE}) {
    ClickRow(Action::MainGun);
    game.TapKey(reserved);
    EXPECT_FALSE(Page().waiting);
    EXPECT_FALSE(Page().swapAsked);
    EXPECT_EQ(g_controls.bound, DefaultBindings()) << Page().hint;
  }
  EXPECT_EQ(g_screen.fullscreen, fullscreen); // F12 went to the page, not to the display
  EXPECT_EQ(g_loop.debugView, 0u);
  EXPECT_TRUE(Page().IsOpen());

  // W belongs to driving: asked, refused, asked again and swapped.
  for (bool swap : {false, true}) {
    ClickRow(Action::MainGun);
    game.TapKey(SDL_SCANCODE_W);
    ASSERT_TRUE(Page().swapAsked);
    game.TapKey(swap ? SDL_SCANCODE_RETURN : SDL_SCANCODE_ESCAPE);
    EXPECT_FALSE(Page().swapAsked);
    EXPECT_TRUE(Page().IsOpen());
  }
  EXPECT_EQ(KeyFor(Action::MainGun), KEY_W);
  EXPECT_EQ(KeyFor(Action::DriveForward), KEY_SPACE);

  // The pad's Start answers a waiting row (it is the pause's button) instead of unpausing.
  VirtualPad pad;
  ClickRow(Action::LeftGun);
  pad.Button(SDL_CONTROLLER_BUTTON_START, true), game.Frame(3), pad.Button(SDL_CONTROLLER_BUTTON_START, false);
  EXPECT_TRUE(Page().swapAsked);
  EXPECT_TRUE(g_loop.paused);
  game.TapKey(SDL_SCANCODE_ESCAPE);

  // DEFAULTS puts the game's own keys back.
  Click(g_screen.width / 2.0f - 140.0f, g_screen.height / 2.0f + 260.0f);
  EXPECT_EQ(g_controls.bound, DefaultBindings());
}

TEST_F(PlayersControls, TheDisplayModeAndShakeAreRememberedWithTheOtherOptions) {
  game.TapKey(SDL_SCANCODE_ESCAPE);
  const bool fullscreen = g_screen.fullscreen;
  ClickStrip(1);
  game.Frame(2);
  EXPECT_NE(g_screen.fullscreen, fullscreen);
  ClickStrip(2);
  EXPECT_FALSE(g_options.shake);
  Options read;
  ASSERT_TRUE(ReadOptions(read));
  EXPECT_EQ(read.fullscreen, g_screen.fullscreen);
  EXPECT_FALSE(read.shake);
}

// ---- the command line's run ----------------------------------------------------------------

TEST(CommandLine, ALevelOrTheEditorOpensAtOnceInTheModeAskedForThisRunOnly) {
  struct Case {
    std::vector<std::string> arguments;
    int state;
    bool fullscreen;
  } cases[] = {
      {{"--windowed", "--level", "SECOND"}, STATE_LEVEL, false},
      {{"--editor", "SECOND", "--fullscreen"}, STATE_EDITOR, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments[0]);
    GameHarness game;
    g_options.fullscreen = !c.fullscreen;
    const LaunchOptions options = ParseCommandLine(c.arguments);
    ASSERT_EQ(options.exitCode, -1);
    ApplyLaunchOptions(options, game.loop);
    ASSERT_TRUE(game.Start());
    game.Frame(3);
    EXPECT_EQ(g_loop.currentState, c.state);
    EXPECT_EQ(g_screen.fullscreen, c.fullscreen);
    if (c.state == STATE_LEVEL) {
      auto* level = dynamic_cast<GenericLevel*>(game.loop.CurrentLevel());
      ASSERT_NE(level, nullptr);
      EXPECT_EQ(level->levelPath, "../Assets/Levels/SECOND.txt");
    } else {
      EXPECT_EQ(g_editor.displayName, "SECOND");
      EXPECT_FALSE(g_editor.placedObjects.empty());
    }
    Options written;
    EXPECT_TRUE(!ReadOptions(written) || written.fullscreen != c.fullscreen); // not remembered
    game.LeaveLevelAndStop();
  }
}

} // namespace
