// Frame pacing against simulated displays: the game's speed is its frame rate, so the
// mean frame must be 1/60 s whatever the display's refresh rate.
#include <gtest/gtest.h>

#include "core/FramePacer.h"

#include <cmath>
#include <vector>

namespace {

using Clock = FramePacer::Clock;
using std::chrono::duration;
using std::chrono::nanoseconds;

// A display refreshing at hz on a virtual clock. Its swap honours the swap interval
// n (the frame shows n vblanks after the last one at the earliest); with interval 0
// it either shows at once or, like a driver that forces vsync, still waits for the
// next vblank.
struct SimulatedDisplay {
  double hz = 60.0;
  bool forcesVsync = true;
  bool honoursInterval = true; // false: a driver that accepts any interval and ignores it
  int interval = 1;
  double now = 0.0;            // seconds
  double lastShown = -1.0;
  std::vector<double> shown;   // when each frame reached the screen

  double NextVblank(double t) const { return std::ceil(t * hz - 1e-9) / hz; }

  void Swap() {
    const int n = honoursInterval ? interval : 0;
    if (n > 0 || forcesVsync) {
      now = NextVblank(now);
      if (n > 1 && lastShown >= 0.0) now = std::max(now, NextVblank(lastShown + n / hz - 1e-6));
    }
    lastShown = now;
    shown.push_back(now);
  }

  FramePacer::Platform Platform() {
    FramePacer::Platform p;
    p.now = [this] { return Clock::time_point(std::chrono::duration_cast<nanoseconds>(duration<double>(now))); };
    p.sleepUntil = [this](Clock::time_point t) {
      now = std::max(now, duration<double>(t.time_since_epoch()).count());
    };
    p.swap = [this] { Swap(); };
    p.setSwapInterval = [this](int n) {
      interval = n;
      return true;
    };
    return p;
  }
};

// Runs frames whose update and draw take between 1 and 9 ms, the odd one 14 ms.
void RunFrames(FramePacer& pacer, SimulatedDisplay& display, int frames) {
  for (int i = 0; i < frames; ++i) {
    display.now += 0.001 * (1 + (i * 7) % 9) + (i % 50 == 0 ? 0.005 : 0.0);
    pacer.Present();
  }
}

double MeanFrameMs(const std::vector<double>& shown, size_t from) {
  return 1000.0 * (shown.back() - shown[from]) / static_cast<double>(shown.size() - 1 - from);
}

const double FRAME_MS = 1000.0 / 60.0;

} // namespace

TEST(FramePacing, MeanFrameIsOneSixtiethAtEveryRefreshRate) {
  for (double hz : {60.0, 75.0, 120.0, 144.0, 240.0, 59.94, 165.0}) {
    for (bool forced : {true, false}) {
      SimulatedDisplay display;
      display.hz = hz;
      display.forcesVsync = forced;
      FramePacer pacer(display.Platform());
      pacer.ChooseMode(static_cast<int>(std::lround(hz)));
      RunFrames(pacer, display, 1200);
      const double mean = MeanFrameMs(display.shown, 10);
      EXPECT_NEAR(mean, FRAME_MS, FRAME_MS * 0.01) << hz << " Hz, swap " << (forced ? "always waits" : "free");
    }
  }
}

TEST(FramePacing, VsyncOnlyWhereFramesLandOnOneSixtieth) {
  SimulatedDisplay display;
  FramePacer pacer(display.Platform());
  const struct {
    int hz;
    int interval;
  } cases[] = {{60, 1}, {120, 2}, {240, 4}, {180, 3}, {75, 0}, {144, 0}, {59, 0}, {0, 0}, {30, 0}};
  for (const auto& c : cases) {
    pacer.ChooseMode(c.hz);
    EXPECT_EQ(pacer.swapInterval, c.interval) << c.hz << " Hz";
    EXPECT_EQ(display.interval, c.interval) << c.hz << " Hz";
    EXPECT_EQ(pacer.usesTimer, c.interval == 0) << c.hz << " Hz";
  }
  // A driver without swap control leaves the timer in charge.
  pacer.platform.setSwapInterval = [](int n) { return n == 0; };
  pacer.ChooseMode(60);
  EXPECT_TRUE(pacer.usesTimer);
}

TEST(FramePacing, DisplayThatIgnoresTheIntervalStillRunsAtSixty) {
  SimulatedDisplay display;
  display.hz = 60.0;
  display.forcesVsync = false;
  display.honoursInterval = false;
  FramePacer pacer(display.Platform());
  pacer.ChooseMode(60);
  ASSERT_FALSE(pacer.usesTimer);
  RunFrames(pacer, display, 600);
  EXPECT_NEAR(MeanFrameMs(display.shown, 10), FRAME_MS, FRAME_MS * 0.01);
}

TEST(FramePacing, StallRestartsTheScheduleWithoutARush) {
  for (double hz : {144.0, 60.0}) {
    SimulatedDisplay display;
    display.hz = hz;
    FramePacer pacer(display.Platform());
    pacer.ChooseMode(static_cast<int>(hz));
    RunFrames(pacer, display, 100);
    display.now += 0.25; // a level loads
    pacer.Present();
    const size_t afterStall = display.shown.size();
    RunFrames(pacer, display, 120);
    // Frames after the stall keep their pace: no quarter second holds more than its
    // fifteen frames and one, as a burst to make up time would.
    for (size_t i = afterStall, first = afterStall; i < display.shown.size(); ++i) {
      while (display.shown[first] <= display.shown[i] - 0.25) ++first;
      EXPECT_LE(i - first + 1, 16u) << hz << " Hz frame " << i;
    }
    EXPECT_NEAR(MeanFrameMs(display.shown, afterStall), FRAME_MS, FRAME_MS * 0.02) << hz << " Hz";
  }
}

TEST(FramePacing, UnpacedFramesDoNotWait) {
  SimulatedDisplay display;
  display.forcesVsync = false;
  FramePacer pacer(display.Platform());
  pacer.ChooseMode(0);
  for (int i = 0; i < 100; ++i) pacer.PresentUnpaced();
  EXPECT_EQ(display.now, 0.0);
}
