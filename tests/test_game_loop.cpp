// The state machine on the real loop: entering, restarting and leaving states, the
// global keys, the pause key, the window closing and the frame timing.
#include <gtest/gtest.h>
#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "support/GameHarness.h"
#include <algorithm>
#include <chrono>

namespace {

using Log = std::shared_ptr<std::vector<std::string>>;

class LoopTest : public ::testing::Test {
protected:
  // Every state the loop makes records into the same log.
  void InstallRecorders() {
    for (int id = STATE_MAIN_MENU; id <= STATE_TUTORIAL; ++id)
      game.Install(id, [this] {
        auto level = std::make_unique<RecordingLevel>(log);
        level->onUpdate = [this](RecordingLevel& self) {
          if (hook) hook(self);
        };
        return level;
      });
  }
  // The log from the first entry matching `from` on.
  std::vector<std::string> CallsSince(const std::string& from) const {
    auto it = std::find(log->begin(), log->end(), from);
    return std::vector<std::string>(it, log->end());
  }
  void GoTo(int state) {
    g_nextState = state;
    ASSERT_TRUE(game.FramesUntil([&] { return g_currentState == state && game.loop.CurrentLevel(); }));
    game.Frame();
  }

  Log log = std::make_shared<std::vector<std::string>>();
  std::function<void(RecordingLevel&)> hook;
  GameHarness game;
};

TEST_F(LoopTest, StartsInTheMainMenuAndReplacesStatesOnRequest) {
  InstallRecorders();
  ASSERT_TRUE(game.Start());
  EXPECT_EQ(g_currentState, STATE_MAIN_MENU);
  // The menu object made at start-up is replaced by a fresh one on the first pass.
  std::vector<std::string> start(log->begin(), log->begin() + 4);
  EXPECT_EQ(start, (std::vector<std::string>{"2:~", "2:Load", "2:Initialize", "2:Update"}));

  // A change asked for in Update takes effect only after that frame's Draw.
  hook = [](RecordingLevel& self) {
    if (self.stateId == STATE_MAIN_MENU) g_nextState = STATE_LEVEL;
  };
  log->clear();
  game.Frame();
  hook = nullptr;
  game.Frame();
  EXPECT_EQ(*log, (std::vector<std::string>{"2:Update", "2:Draw", "2:Free", "2:Unload", "2:~", "3:Load",
                                            "3:Initialize", "3:Update", "3:Draw"}));
  EXPECT_EQ(g_previousState, STATE_MAIN_MENU);
  EXPECT_EQ(g_currentState, STATE_LEVEL);
}

TEST_F(LoopTest, RestartRunsFreeThenInitializeOnTheSameObject) {
  InstallRecorders();
  ASSERT_TRUE(game.Start());
  GoTo(STATE_LEVEL);
  Level* before = game.loop.CurrentLevel();

  log->clear();
  hook = [](RecordingLevel&) { g_nextState = STATE_RESTART; };
  game.Frame();
  hook = nullptr;
  game.Frame();
  EXPECT_EQ(*log, (std::vector<std::string>{"3:Update", "3:Draw", "3:Free", "3:Initialize", "3:Update", "3:Draw"}));
  EXPECT_EQ(game.loop.CurrentLevel(), before);
  EXPECT_EQ(g_currentState, STATE_LEVEL);
  EXPECT_EQ(g_nextState, STATE_LEVEL);
  EXPECT_EQ(g_previousState, STATE_LEVEL);
}

TEST_F(LoopTest, AnUnknownStateLeadsToTheMainMenuWithOneLine) {
  InstallRecorders();
  ASSERT_TRUE(game.Start());
  GoTo(STATE_TUTORIAL);
  log->clear();
  testing::internal::CaptureStdout();
  hook = [](RecordingLevel&) { g_nextState = 9; };
  game.Frame();
  hook = nullptr;
  game.Frame();
  std::fflush(stdout);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
  EXPECT_NE(out.find("9"), std::string::npos) << out;
  EXPECT_EQ(g_currentState, STATE_MAIN_MENU);
  EXPECT_EQ(CallsSince("6:Free"), (std::vector<std::string>{"6:Free", "6:Unload", "6:~", "2:Load", "2:Initialize",
                                                            "2:Update", "2:Draw"}));
}

TEST_F(LoopTest, F11CyclesTheDebugView) {
  ASSERT_TRUE(game.Start());
  std::vector<unsigned> seen;
  for (int i = 0; i < 3; ++i) {
    game.TapKey(SDL_SCANCODE_F11);
    seen.push_back(g_debugView);
  }
  EXPECT_EQ(seen, (std::vector<unsigned>{1, 2, 0}));
}

TEST_F(LoopTest, EscapeTogglesThePauseOncePerPress) {
  ASSERT_TRUE(game.Start());
  game.Key(SDL_SCANCODE_ESCAPE, true);
  game.Drain();
  EXPECT_TRUE(g_paused);
  for (int i = 0; i < 3; ++i) game.Key(SDL_SCANCODE_ESCAPE, true, true); // auto-repeat
  game.Drain();
  EXPECT_TRUE(g_paused);
  game.Key(SDL_SCANCODE_ESCAPE, false);
  game.Drain();
  game.TapKey(SDL_SCANCODE_ESCAPE);
  EXPECT_FALSE(g_paused);
  EXPECT_EQ(g_currentState, STATE_MAIN_MENU); // the main menu stays
}

TEST_F(LoopTest, EscapeLeavesTheEditorAndWeaponSelectForTheMainMenu) {
  InstallRecorders();
  ASSERT_TRUE(game.Start());
  for (int state : {STATE_EDITOR, STATE_WEAPON_SELECT}) {
    GoTo(state);
    ASSERT_EQ(g_currentState, state);
    bool pausedBefore = g_paused;
    game.TapKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(g_currentState, STATE_MAIN_MENU) << state;
    EXPECT_NE(g_paused, pausedBefore) << state;
  }
  // The campaign keeps running: only its pause flag changes.
  GoTo(STATE_LEVEL);
  game.TapKey(SDL_SCANCODE_ESCAPE);
  EXPECT_EQ(g_currentState, STATE_LEVEL);
}

// A state that polls the pad each frame, as the menus and playing states do.
class PollingLevel : public Level {
public:
  void Update() override { HandleGamepad(g_gamepad, nullptr); }
  void HandleGamepad(Gamepad& pad, GameObject*) override { pad.Update(); }
};

TEST_F(LoopTest, HoldingStartPausesOnceAndRumblesTheFirstTime) {
  game.Install<PollingLevel>(STATE_MAIN_MENU);
  ASSERT_TRUE(game.Start());
  VirtualPad pad;
  pad.Button(SDL_CONTROLLER_BUTTON_START, true);
  game.Frame(5);
  EXPECT_TRUE(g_paused);
  EXPECT_EQ(pad.lowSpeed, 0x3FFF);
  EXPECT_EQ(pad.highSpeed, 0x3FFF);
  EXPECT_TRUE(g_usingGamepad);
  pad.Button(SDL_CONTROLLER_BUTTON_START, false);
  game.Frame(2);
  pad.Button(SDL_CONTROLLER_BUTTON_START, true);
  game.Frame(3);
  EXPECT_FALSE(g_paused); // unpausing does not rumble again
}

// A state that never polls keeps its last pad flags; a Start press left in them
// must not toggle the pause frame after frame.
TEST_F(LoopTest, AStartPressSeenOnceActsOnceInAStateThatDoesNotPoll) {
  ASSERT_TRUE(game.Start());
  g_gamepad.triggered[PAD_START] = g_gamepad.down[PAD_START] = true;
  game.Frame(4);
  EXPECT_TRUE(g_paused);
}

TEST_F(LoopTest, ClosingTheWindowFinishesTheFrameAndQuits) {
  InstallRecorders();
  ASSERT_TRUE(game.Start());
  GoTo(STATE_LEVEL);
  log->clear();
  game.CloseWindow();
  EXPECT_TRUE(game.FramesUntil([] { return !g_currentState; }, 200));
  EXPECT_FALSE(game.running);
  EXPECT_EQ(CallsSince("3:Free"), (std::vector<std::string>{"3:Free", "3:Unload"}));
  ASSERT_GE(log->size(), 4u);
  EXPECT_EQ((*log)[log->size() - 3], "3:Draw"); // the closing frame still ran to its end
  game.Stop();
  EXPECT_EQ(log->back(), "3:~");
}

TEST_F(LoopTest, TheFirstFramesSeeOneSixtiethOfASecond) {
  std::vector<float> frameTimes;
  game.Install(STATE_MAIN_MENU, [&] {
    auto level = std::make_unique<RecordingLevel>(log);
    level->onUpdate = [&](RecordingLevel&) { frameTimes.push_back(g_frameTime); };
    return level;
  });
  ASSERT_TRUE(game.loop.Startup());
  game.running = true;
  game.Frame(3);
  ASSERT_EQ(frameTimes.size(), 3u);
  for (float t : frameTimes) EXPECT_FLOAT_EQ(t, 1.0f / 60.0f);
}

TEST_F(LoopTest, PacedFramesAreNeverShorterThanOneSixtieth) {
  ASSERT_TRUE(game.Start());
  game.loop.framePacing = true;
  game.Frame(); // measures from here
  auto start = std::chrono::steady_clock::now();
  game.Frame(6);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(seconds, 6.0 / 60.0);
}

} // namespace
