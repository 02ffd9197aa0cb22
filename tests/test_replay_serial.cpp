// Serial: a level pauses while its window lacks the keyboard focus, and the run recorded here
// must be played. Recorded runs: the file refuses what it cannot trust, stays small, and a
// run played with irregular frame times, keys and the pad replays to the same end.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <random>

#include "core/GameState.h"
#include "core/ReplayFile.h"
#include "levels/Replay.h"
#include "objects/World.h"
#include "support/GameHarness.h"

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Three minutes of a player on a pad: the sticks never rest, the keys come and go.
Replay ThreeMinutesOnAPad() {
  Replay run;
  run.levelName = "FIRSTMOD";
  std::mt19937 random(3);
  std::uniform_int_distribution<int> jitter(-300, 300);
  for (int f = 0; f < 60 * 180; ++f) {
    ReplayFrame frame;
    frame.frameTime = f % 7 == 0 ? 0.018f : 1.0f / 60.0f;
    frame.pad.thumbLX = static_cast<int16_t>(12000 + jitter(random));
    frame.pad.thumbLY = static_cast<int16_t>(-8000 + jitter(random));
    frame.pad.buttons = (f / 45) % 2 ? 0x1000 : 0;
    if (f % 20 == 0) frame.events.push_back(InputEvent{InputEvent::Kind::KeyDown, 87});
    if (f % 20 == 10) frame.events.push_back(InputEvent{InputEvent::Kind::KeyUp, 87});
    run.frames.push_back(frame);
    if (f % TRACE_EVERY_FRAMES == 0) run.trace.push_back(TracePoint{f, f * 0.5f, 100.0f, 0.25f});
  }
  run.outcome.frames = static_cast<int>(run.frames.size());
  return run;
}

TEST(ReplayFile, AThreeMinuteRunIsSmallAndReadsBackWhole) {
  const Replay run = ThreeMinutesOnAPad();
  const std::string bytes = EncodeReplay(run);
  EXPECT_LT(bytes.size(), 50u * 1024);
  Replay back;
  std::string error;
  ASSERT_TRUE(DecodeReplay(bytes, back, error)) << error;
  EXPECT_EQ(EncodeReplay(back), bytes);
  ASSERT_EQ(back.frames.size(), run.frames.size());
  EXPECT_EQ(back.frames[4321].pad.thumbLY, run.frames[4321].pad.thumbLY);
  EXPECT_EQ(back.frames[4320].events, run.frames[4320].events);
}

// A run kept by the first release: read as it was recorded, written again in today's layout.
TEST(ReplayFile, AFormatOneRunStillReads) {
  std::ifstream file(KVO_REPLAYS_DIR "/format1/TUTORIAL.kvr", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  Replay old, again;
  std::string error;
  ASSERT_TRUE(DecodeReplay(bytes, old, error)) << error;
  EXPECT_EQ(old.format, 1);
  EXPECT_EQ(old.levelName, "TUTORIAL");
  EXPECT_FALSE(old.ownLevel);
  EXPECT_EQ(old.screenWidth, 1264);
  EXPECT_EQ(old.screenHeight, 720);
  EXPECT_TRUE(old.outcome.won);
  ASSERT_TRUE(DecodeReplay(EncodeReplay(old), again, error)) << error;
  EXPECT_EQ(again.format, REPLAY_FORMAT);
  EXPECT_EQ(again.outcome, old.outcome);
  EXPECT_EQ(again.frames.size(), old.frames.size());
}

// ---- a run through the real game ------------------------------------------------------

class ReplayRun : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(harness.StartWithLevel());
    harness.Settle();
    g_loop.nextState = STATE_LEVEL; // FIRSTMOD
    ASSERT_TRUE(harness.FramesUntil([this] { return Sampled(played); }, 10));
  }
  void TearDown() override {
    SetReplayChecking(false);
    harness.LeaveLevelAndStop();
  }
  // The positions alone would not show a frame time gone astray (the vehicle moves by the
  // frame): the level's timer, which counts the frames' seconds, does.
  bool Sampled(std::vector<float>& timers) {
    if (g_loop.currentState != STATE_LEVEL || !g_play.player) return false;
    timers.push_back(g_campaignWorld.levelTimer);
    return true;
  }
  // A frame whose time is anything a busy machine gives: 4 to 40 ms.
  bool IrregularFrame() {
    harness.loop.fixedFrameTime = frameMs(random) / 1000.0f;
    const bool running = harness.Frame();
    Sampled(WatchingReplay() ? replayed : played);
    return running;
  }
  bool IrregularFramesUntil(const std::function<bool()>& done, int most) {
    for (int i = 0; i < most && !done(); ++i)
      if (!IrregularFrame()) return false;
    return done();
  }

  GameHarness harness;
  std::mt19937 random{27};
  std::uniform_real_distribution<float> frameMs{4.0f, 40.0f};
  std::vector<float> played, replayed; // the level timer after each frame
};

TEST_F(ReplayRun, IrregularFramesKeysAndThePadReplayToTheSameEnd) {
  VirtualPad pad;
  ASSERT_TRUE(IrregularFramesUntil([] { return !g_loop.paused; }, 600)); // the loading screen
  harness.Key(SDL_SCANCODE_W, true);
  for (int i = 0; i < 240; ++i) {
    if (i % 60 == 30) pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(i % 120 == 30 ? 20000 : -15000));
    if (i == 100) harness.Key(SDL_SCANCODE_SPACE, true);
    if (i == 140) harness.Key(SDL_SCANCODE_SPACE, false);
    ASSERT_TRUE(IrregularFrame());
  }
  harness.Key(SDL_SCANCODE_W, false);
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  harness.Key(SDL_SCANCODE_F6, true); // through the portal: the run is won and kept
  ASSERT_TRUE(IrregularFramesUntil([] { return !LastRunPath().empty(); }, 200));

  SetReplayChecking(true);
  ASSERT_TRUE(WatchReplay(LastRunPath(), STATE_MAIN_MENU));
  ASSERT_TRUE(IrregularFramesUntil([] { return !WatchingReplay(); }, 2000));
  const ReplayVerdict& v = LastReplayVerdict();
  EXPECT_TRUE(v.played);
  EXPECT_TRUE(v.matches) << DescribeOutcome("got", v.got) << " / " << DescribeOutcome("recorded", v.recorded);
  EXPECT_EQ(v.departedAt, -1);
  EXPECT_TRUE(v.recorded.won);
  EXPECT_EQ(replayed, played);
}

TEST_F(ReplayRun, AFileThatCannotBeTrustedIsRefusedAndNothingPlays) {
  harness.Key(SDL_SCANCODE_F6, true); // through the portal: the run is won and kept
  ASSERT_TRUE(harness.FramesUntil([] { return !LastRunPath().empty(); }, 600));
  const std::string kept = ReadBytes(LastRunPath());
  Replay run;
  std::string error;
  ASSERT_TRUE(DecodeReplay(kept, run, error)) << error;
  Replay otherLevel = run, otherScreen = run;
  ++otherLevel.levelChecksum;
  otherScreen.screenWidth = 1904; // the camera's limits follow the logical screen
  const struct {
    const char* what;
    std::string bytes;
  } refused[] = {
      {"cut short", kept.substr(0, kept.size() - 9)},
      {"a byte changed", std::string(kept).replace(kept.size() / 2, 1, 1, static_cast<char>(kept[kept.size() / 2] ^ 0x40))},
      {"another format", std::string(kept).replace(3, 1, 1, static_cast<char>(REPLAY_FORMAT + 1))},
      {"not a replay", "music 0.5\n"},
      {"other level files", EncodeReplay(otherLevel)},
      {"another screen", EncodeReplay(otherScreen)},
  };
  const std::string path = ReplayFolder() + "/refused.kvr";
  for (const auto& r : refused) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << r.bytes;
    EXPECT_FALSE(WatchReplay(path, STATE_MAIN_MENU)) << r.what;
    EXPECT_FALSE(WatchingReplay()) << r.what;
    EXPECT_EQ(g_loop.nextState, g_loop.currentState) << r.what;
  }
}

} // namespace
