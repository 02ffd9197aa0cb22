#include "core/FramePacer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>

void SleepPreciselyUntil(FramePacer::Clock::time_point when) {
  using namespace std::chrono;
  const auto spinFrom = when - microseconds(1500);
  if (FramePacer::Clock::now() < spinFrom) std::this_thread::sleep_until(spinFrom);
  while (FramePacer::Clock::now() < when) std::this_thread::yield();
}

FramePacer::FramePacer()
    : FramePacer(Platform{[] { return Clock::now(); }, SleepPreciselyUntil, [] {}, [](int) { return false; }}) {}

FramePacer::FramePacer(Platform p) : platform(std::move(p)) {}

void FramePacer::ChooseMode(int refreshHz) {
  swapInterval = 0;
  if (refreshHz > 0) {
    const int n = static_cast<int>(std::lround(refreshHz / 60.0));
    if (n >= 1 && std::fabs(refreshHz - 60.0 * n) <= 0.6 * n && platform.setSwapInterval(n)) swapInterval = n;
  }
  usesTimer = swapInterval == 0;
  if (usesTimer) platform.setSwapInterval(0);
  scheduled = false;
}

void FramePacer::PresentUnpaced() {
  platform.swap();
  scheduled = false;
}

bool FramePacer::Advance(Clock::time_point now) {
  if (!scheduled) {
    due = now + FRAME;
    scheduled = true;
    return true;
  }
  due += FRAME;
  // A frame late by more than a whole frame (a load, a stall) starts the schedule
  // afresh rather than rushing the next frames to catch up: that would speed the game.
  if (now > due + FRAME) {
    due = now;
    return false;
  }
  return true;
}

void FramePacer::Present() {
  if (!usesTimer) {
    // The swap holds the frame to its vblank. Waiting first for half a frame before
    // the frame is due costs nothing there, and caps a display that ignores the swap
    // interval at 60 frames a second all the same.
    if (Advance(platform.now()) && platform.now() < due - FRAME / 2) platform.sleepUntil(due - FRAME / 2);
    platform.swap();
    return;
  }
  platform.swap();
  const Clock::time_point now = platform.now();
  if (!Advance(now) || now >= due) return;
  platform.sleepUntil(due);
  // The next frame is due a whole frame after this one really ended, so that no two
  // frames come closer than 1/60 s; an oversleep of microseconds is all it costs.
  due = std::max(due, platform.now());
}
