#pragma once
#include <chrono>
#include <functional>

// Holds the game to 60 frames a second on any display: every velocity is per frame,
// so the frame rate is the game's speed. Where the display refreshes at a whole
// multiple of 60 Hz (within 1%), the swap waits for every n-th vblank and frames land
// on 1/60 s by themselves. Elsewhere the swap does not wait and a precise timer ends
// each frame on a fixed 1/60 s schedule; were the swap to wait for vblanks anyway, the
// schedule still keeps the mean frame at 1/60 s (frames alternate between the vblanks
// around it). With vsync the schedule also stands behind the swap, so a display that
// claims 60 Hz but does not hold the swap still runs at 60 frames a second.
class FramePacer {
public:
  using Clock = std::chrono::steady_clock;

  // What pacing needs of the platform; the game uses the real clock and window,
  // tests a simulated display.
  struct Platform {
    std::function<Clock::time_point()> now;
    std::function<void(Clock::time_point)> sleepUntil;
    std::function<void()> swap;                  // presents the frame
    std::function<bool(int)> setSwapInterval;    // false where the driver cannot
  };

  static constexpr std::chrono::nanoseconds FRAME{1'000'000'000 / 60};

  FramePacer(); // the real clock and a precise sleep; no swap until one is set
  explicit FramePacer(Platform platform);

  // Picks vsync or the timer for a display of refreshHz (0 = unknown) and sets the
  // swap interval to match.
  void ChooseMode(int refreshHz);
  // Swaps, then holds until the frame's time on the schedule has come.
  void Present();
  // Swaps without holding (benchmarks, tests); the schedule starts afresh afterwards.
  void PresentUnpaced();

  Platform platform;
  int swapInterval = 0;    // vblanks a swap waits for; 0 = the timer paces
  bool usesTimer = true;

private:
  // Moves due on by a frame; false when the schedule had to start afresh.
  bool Advance(Clock::time_point now);

  bool scheduled = false;   // due holds the time the current frame ends
  Clock::time_point due{};
};

// Sleeps until the time point and spins out the last stretch, which a plain sleep
// overshoots by up to a scheduler tick.
void SleepPreciselyUntil(FramePacer::Clock::time_point when);
