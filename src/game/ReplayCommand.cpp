#include "game/ReplayCommand.h"

#include <cstdio>

#include "core/GameLoop.h"
#include "core/GameState.h"
#include "game/GameSubsystems.h"
#include "levels/Replay.h"

int RunReplayCommand(const std::string& file, bool check) {
  GameLoop loop;
  loop.subsystems = MakeGameSubsystems();
  // No menu under a replay: the loop starts in an empty state and leaves it for the run's.
  loop.InstallLevel(STATE_MAIN_MENU, [] { return std::make_unique<Level>(); });
  if (check) {
    loop.framePacing = false;
    loop.showCommand = 0;
  }
  SetReplayChecking(check);
  bool ok = loop.Startup() && WatchReplay(file, STATE_QUIT);
  if (ok)
    while (loop.RunFrame()) {}
  loop.Shutdown();
  if (!ok) return 1;

  const ReplayVerdict& v = LastReplayVerdict();
  if (!v.played)
    std::printf("replay: %s left at frame %d of %d\n", v.levelName.c_str(), v.got.frames, v.recorded.frames);
  else if (!v.ended)
    std::printf("replay: %s did not end in its %d frames\n", v.levelName.c_str(), v.recorded.frames);
  else
    std::printf("replay: %s\n", DescribeOutcome(v.levelName, v.got).c_str());
  if (!check) return 0;
  if (v.matches) {
    std::printf("replay: the outcome is the recorded one\n");
  } else {
    std::printf("replay: the outcome differs, recorded: %s\n", DescribeOutcome(v.levelName, v.recorded).c_str());
    if (!v.played) std::printf("replay: the replay did not play to its end\n");
  }
  if (v.departedAt >= 0)
    std::printf("replay: %s: the player's position departs from the recording at frame %d\n", v.levelName.c_str(),
                v.departedAt);
  std::fflush(stdout);
  return v.matches && v.departedAt < 0 ? 0 : 1;
}
