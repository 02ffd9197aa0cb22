// Plays the whole game as a player would: the campaign from the main menu's button through
// its three levels and end screens, then the tutorial's three stages, and prints a line per
// level. Run from build/ under a display:
//   xvfb-run -a -s "-screen 0 1280x800x24 -noreset" ./tools/autopilot/autopilot [options]
// Options: --campaign / --tutorial (only that part), --verbose, --max-seconds N (wall time,
// then the process ends), --shots FOLDER (a screen
// capture of FIRSTMOD every --every SECONDS of game time, 5 by default, of its garage and of
// each end screen; the folder is made when missing), --table FILE (the highscore table to
// keep the run's scores in; without it they go to a scratch table that the run removes, so the
// player's own table is never touched), --replays FOLDER (each level's recorded run is kept
// there as NAME.kvr; without it the runs go to a scratch folder that the run removes), --ghost
// FILE (that recorded run is the best of its level and the ghost switch is on: its tank drives
// beside the autopilot's, for pictures of it).
// The exit code is 0 only when every level played was won.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "Autopilot.h"
#include "core/Options.h"
#include "levels/Replay.h"
#include "screens/Highscore.h"
#include "support/GameHarness.h"

int main(int argc, char** argv) {
  bool campaign = true, tutorial = true, verbose = false;
  std::string shots, replays, ghost;
  bool tableGiven = false;
  double every = 5.0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--campaign") tutorial = false;
    else if (arg == "--tutorial") campaign = false;
    else if (arg == "--verbose") verbose = true;
    else if (arg == "--shots" && i + 1 < argc) shots = argv[++i];
    else if (arg == "--every" && i + 1 < argc) every = std::atof(argv[++i]);
    else if (arg == "--table" && i + 1 < argc) {
      g_highscoreFile.path = argv[++i];
      tableGiven = true;
    }
    else if (arg == "--replays" && i + 1 < argc) replays = argv[++i];
    else if (arg == "--ghost" && i + 1 < argc) ghost = argv[++i];
    else if (arg == "--max-seconds" && i + 1 < argc) alarm(static_cast<unsigned>(std::atoi(argv[++i])));
    else {
      std::printf("usage: autopilot [--campaign|--tutorial] [--verbose] [--shots FOLDER [--every SECONDS]] "
                  "[--table FILE] [--replays FOLDER] [--ghost FILE]\n");
      return 2;
    }
  }

  std::setvbuf(stdout, nullptr, _IOLBF, 0); // lines reach a log as they happen
  if (!shots.empty()) {
    std::error_code error;
    std::filesystem::create_directories(shots, error);
    if (error) {
      std::printf("autopilot: cannot make the picture folder %s (%s), no pictures are taken\n", shots.c_str(),
                  error.message().c_str());
      shots.clear();
    }
  }
  // The player's table is the player's: a run without --table keeps its scores in a scratch
  // table of its own, gone when the run ends.
  std::string scratchFolder;
  if (!tableGiven) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvo-autopilot-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::printf("autopilot: cannot make a scratch folder for the highscore table\n");
      return 1;
    }
    scratchFolder = pattern;
    g_highscoreFile.path = scratchFolder + "/Highscore.txt";
  }
  const auto began = std::chrono::steady_clock::now();
  GameHarness harness;
  harness.loop.fixedFrameTime = 1.0f / 60.0f; // no frame wait, yet every frame is a display's
  if (!ghost.empty()) {
    // The harness keeps the options and the runs in its own scratch folder: both go there.
    Replay best;
    std::string error;
    std::error_code copyError;
    Options withGhost;
    withGhost.ghost = true;
    WriteOptions(withGhost);
    std::filesystem::create_directories(ReplayFolder(), copyError);
    if (!ReadReplayFile(ghost, best, error) ||
        !std::filesystem::copy_file(ghost, BestReplayPath(best.levelName), copyError))
      std::printf("autopilot: %s cannot be the ghost (%s)\n", ghost.c_str(), error.c_str());
  }
  if (!harness.Start()) {
    std::printf("autopilot: the game did not start\n");
    return 1;
  }
  Autopilot pilot(harness);
  pilot.brain.verbose = verbose;
  pilot.shotsFolder = shots;
  pilot.shotEverySeconds = every;

  std::vector<LevelResult> results;
  bool ok = true;
  size_t expected = 0;
  if (campaign) {
    expected += 3;
    ok = pilot.PlayCampaign(results) && ok;
  }
  if (tutorial && ok) {
    expected += 3;
    ok = pilot.PlayTutorial(results) && ok;
  }
  // The game recorded every level it played; the last run of each is the one reported.
  for (const LevelResult& r : results) {
    if (replays.empty()) break;
    std::error_code error;
    std::filesystem::create_directories(replays, error);
    std::filesystem::copy_file(LastReplayPath(r.level), replays + "/" + r.level + ".kvr",
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) std::printf("autopilot: the run of %s is not kept in %s (%s)\n", r.level.c_str(), replays.c_str(),
                           error.message().c_str());
  }
  harness.Stop();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

  std::printf("\n%-9s %-5s %9s %7s %3s %5s %6s %5s %8s\n", "level", "won", "game s", "frames", "hp", "stars",
              "thermo", "total", "attempts");
  long frames = 0;
  for (const LevelResult& r : results) {
    std::printf("%-9s %-5s %9.1f %7ld %3d %5d %6.2f %5d %8d %s\n", r.level.c_str(), r.won ? "won" : "LOST",
                r.frames / 60.0, r.frames, r.hp, r.stars, r.thermometer, r.total, r.attempts, r.note.c_str());
    frames += r.frames;
    ok = ok && r.won;
  }
  if (results.size() < expected) ok = false;
  std::printf("%zu of %zu levels played, %ld frames, %.1f s of wall time (%.0f frames a second)\n", results.size(),
              expected, frames, seconds, seconds > 0 ? frames / seconds : 0.0);
  std::ifstream table(g_highscoreFile.path);
  std::string line;
  std::printf("highscore table:");
  while (std::getline(table, line)) std::printf(" [%s]", line.c_str());
  std::printf("\n%s\n", ok ? "autopilot: every level won" : "autopilot: NOT every level was won");
  if (!scratchFolder.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder, ignored);
  }
  return ok ? 0 : 1;
}
