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

using Calls = std::vector<std::string>;

class LoopTest : public ::testing::Test {
protected:
  // Every state records into one log and runs the test's hook in its Update.
  void SetUp() override {
    for (int id = STATE_MAIN_MENU; id <= STATE_TUTORIAL; ++id)
      game.Install(id, [this] {
        auto level = std::make_unique<RecordingLevel>(log);
        level->onUpdate = [this](RecordingLevel& self) { if (hook) hook(self); };
        return level;
      });
    ASSERT_TRUE(game.Start());
  }
  // One frame whose Update asks for `state`, then one more; returns what they called.
  Calls Request(int state) {
    log->clear();
    hook = [state](RecordingLevel&) { g_loop.nextState = state; };
    game.Frame();
    hook = nullptr;
    game.Frame();
    return *log;
  }
  std::shared_ptr<Calls> log = std::make_shared<Calls>();
  std::function<void(RecordingLevel&)> hook;
  GameHarness game;
};

TEST_F(LoopTest, AChangeAskedForInUpdateHappensAfterThatFramesDraw) {
  EXPECT_EQ(Calls(log->begin(), log->begin() + 3), (Calls{"2:~", "2:Load", "2:Initialize"}));
  EXPECT_EQ(Request(STATE_LEVEL), (Calls{"2:Update", "2:Draw", "2:Free", "2:Unload", "2:~", "3:Load",
                                         "3:Initialize", "3:Update", "3:Draw"}));
  EXPECT_EQ(g_loop.previousState, STATE_MAIN_MENU);
  EXPECT_EQ(g_loop.currentState, STATE_LEVEL);
}

TEST_F(LoopTest, RestartRunsFreeThenInitializeOnTheSameObject) {
  Request(STATE_LEVEL);
  Level* before = game.loop.CurrentLevel();
  EXPECT_EQ(Request(STATE_RESTART), (Calls{"3:Update", "3:Draw", "3:Free", "3:Initialize", "3:Update", "3:Draw"}));
  EXPECT_EQ(game.loop.CurrentLevel(), before);
  EXPECT_EQ(g_loop.currentState, STATE_LEVEL);
  EXPECT_EQ(g_loop.nextState, STATE_LEVEL);
  EXPECT_EQ(g_loop.previousState, STATE_LEVEL);
}

TEST_F(LoopTest, AnUnknownStateLeadsToTheMainMenuWithOneLine) {
  Request(STATE_TUTORIAL);
  testing::internal::CaptureStdout();
  Calls calls = Request(9);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
  EXPECT_EQ(g_loop.currentState, STATE_MAIN_MENU);
  EXPECT_EQ(Calls(calls.begin() + 2, calls.begin() + 6), (Calls{"6:Free", "6:Unload", "6:~", "2:Load"}));
}

TEST_F(LoopTest, AStateThatCannotBeMadeEndsTheGameWithOneLine) {
  game.Install(STATE_TUTORIAL, [] { return std::unique_ptr<Level>(); });
  testing::internal::CaptureStdout();
  Request(STATE_TUTORIAL);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
  EXPECT_FALSE(game.running);
  EXPECT_EQ(g_loop.currentState, STATE_QUIT);
}

TEST_F(LoopTest, F11CyclesTheDebugView) {
  std::vector<unsigned> seen;
  for (int i = 0; i < 3; ++i) {
    game.TapKey(SDL_SCANCODE_F11);
    seen.push_back(g_loop.debugView);
  }
  EXPECT_EQ(seen, (std::vector<unsigned>{1, 2, 0}));
}

TEST_F(LoopTest, EscapeTogglesThePauseOncePerPressAndLeavesEditorAndWeaponSelect) {
  game.Key(SDL_SCANCODE_ESCAPE, true);
  for (int i = 0; i < 3; ++i) game.Key(SDL_SCANCODE_ESCAPE, true, true); // auto-repeat
  game.Drain();
  EXPECT_TRUE(g_loop.paused);
  // A held key's repeats never stand between the player and the next press.
  game.Key(SDL_SCANCODE_ESCAPE, false);
  game.Frame();
  game.Key(SDL_SCANCODE_W, true);
  for (int i = 0; i < 200; ++i) game.Key(SDL_SCANCODE_W, true, true);
  game.Key(SDL_SCANCODE_ESCAPE, true);
  game.Frame(3);
  EXPECT_FALSE(g_loop.paused);
  game.Key(SDL_SCANCODE_W, false);
  game.Key(SDL_SCANCODE_ESCAPE, false);
  game.TapKey(SDL_SCANCODE_ESCAPE);
  ASSERT_TRUE(g_loop.paused);
  game.Key(SDL_SCANCODE_ESCAPE, false);
  game.TapKey(SDL_SCANCODE_ESCAPE);
  EXPECT_FALSE(g_loop.paused);
  EXPECT_EQ(g_loop.currentState, STATE_MAIN_MENU);

  for (int state : {STATE_EDITOR, STATE_WEAPON_SELECT, STATE_LEVEL}) {
    Request(state);
    game.TapKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(g_loop.currentState, state == STATE_LEVEL ? STATE_LEVEL : STATE_MAIN_MENU) << state;
  }
}

TEST_F(LoopTest, StartPausesOncePerPressAndRumblesWhenPausing) {
  hook = [](RecordingLevel&) { g_gamepad.Update(); }; // as the menus and levels poll
  VirtualPad pad;
  pad.Button(SDL_CONTROLLER_BUTTON_START, true);
  game.Frame(5);
  EXPECT_TRUE(g_loop.paused);
  EXPECT_EQ(pad.lowSpeed, 0x3FFF);
  EXPECT_EQ(pad.highSpeed, 0x3FFF);

  // A state that never polls keeps the pad's last flags: the press still counts once.
  hook = nullptr;
  g_gamepad.triggered[PAD_START] = true;
  game.Frame(4);
  EXPECT_FALSE(g_loop.paused);
}

TEST_F(LoopTest, ClosingTheWindowFinishesTheFrameAndQuits) {
  Request(STATE_LEVEL);
  log->clear();
  game.CloseWindow();
  EXPECT_TRUE(game.FramesUntil([] { return g_loop.currentState == STATE_QUIT; }, 200));
  EXPECT_FALSE(game.running);
  ASSERT_GE(log->size(), 4u);
  EXPECT_EQ(Calls(log->end() - 4, log->end()), (Calls{"3:Update", "3:Draw", "3:Free", "3:Unload"}));
  game.Stop();
  EXPECT_EQ(log->back(), "3:~");
}

// The menu's slot holds a level that notes the frame time each Update sees.
void RecordFrameTimes(GameHarness& game, std::vector<float>& frameTimes) {
  game.Install(STATE_MAIN_MENU, [&frameTimes] {
    auto level = std::make_unique<RecordingLevel>(std::make_shared<Calls>());
    level->onUpdate = [&frameTimes](RecordingLevel&) { frameTimes.push_back(g_loop.frameTime); };
    return level;
  });
}

TEST(LoopTiming, FirstFramesSeeOneSixtiethAndPacedFramesAreNeverShorter) {
  GameHarness game;
  std::vector<float> frameTimes;
  RecordFrameTimes(game, frameTimes);
  ASSERT_TRUE(game.loop.Startup());
  game.running = true;
  game.Frame(3);
  EXPECT_EQ(frameTimes, (std::vector<float>(3, 1.0f / 60.0f)));

  game.loop.framePacing = true;
  game.Frame(); // measures from here
  auto start = std::chrono::steady_clock::now();
  game.Frame(6);
  EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 6.0 / 60.0);
}

TEST(LoopTiming, AFixedFrameTimeHoldsWhateverTheClockSays) {
  // Unpaced frames run far faster than 60 a second; the meter would report tiny frame
  // times after its first quarter second. With the switch every frame is one sixtieth.
  GameHarness game;
  game.loop.fixedFrameTime = 1.0f / 60.0f;
  std::vector<float> frameTimes;
  RecordFrameTimes(game, frameTimes);
  ASSERT_TRUE(game.loop.Startup());
  game.running = true;
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(400)) game.Frame();
  ASSERT_GT(frameTimes.size(), 2u);
  for (float t : frameTimes) ASSERT_EQ(t, 1.0f / 60.0f);
}

} // namespace
