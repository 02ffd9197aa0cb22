// What one frame of the bare loop costs, and how evenly the pacing holds frames to 1/60 s.
#include "core/GameLoop.h"
#include "game/GameSubsystems.h"
#include "core/GameState.h"
#include "platform/Display.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using Clock = std::chrono::steady_clock;

static std::vector<double> FrameDurations(GameLoop& loop, int frames) {
  std::vector<double> ms;
  Clock::time_point last = Clock::now();
  for (int i = 0; i < frames && loop.RunFrame(); ++i) {
    Clock::time_point now = Clock::now();
    ms.push_back(std::chrono::duration<double, std::milli>(now - last).count());
    last = now;
  }
  return ms;
}

static void Report(const char* what, std::vector<double> ms) {
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  double sum = 0.0;
  for (double m : ms) sum += m;
  std::printf("%-22s frames %5zu  mean %7.3f ms  min %7.3f ms  median %7.3f ms  max %7.3f ms\n", what, ms.size(),
              sum / ms.size(), ms.front(), ms[ms.size() / 2], ms.back());
}

int main() {
  SetMessageBoxesShown(false);
  GameLoop loop;
  loop.subsystems = MakeGameSubsystems();
  if (!loop.Startup()) return 1;
  loop.framePacing = false;
  FrameDurations(loop, 120); // settle the window and the first state
  Report("unpaced (main menu)", FrameDurations(loop, 2000));
  loop.framePacing = true;
  FrameDurations(loop, 1); // the first paced frame measures from the last unpaced one
  Report("paced to 1/60 s", FrameDurations(loop, 180));
  std::printf("g_loop.framesPerSecond %.1f, g_loop.frameTime %.5f s\n", g_loop.framesPerSecond, g_loop.frameTime);
  loop.Shutdown();
  return 0;
}
