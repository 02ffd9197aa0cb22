// The soak: the real game played by seeded random input through every state for a
// bounded time, then twenty level restarts to show that memory stays flat.
//
//   soak [seconds] [seed]      (or KVO_SOAK_SECONDS / KVO_SOAK_SEED; 50 s and 1 by default)
//
// Runs from the build folder over a scratch copy of ../Assets, so that what the game writes
// (highscores, editor levels) never touches the real one. Fails (exit 1) on a GL error, an
// uncaught exception, resident size after 20 restarts more than 5% above its size after 2,
// or a GL texture count that grew. Sanitizer reports end the process on their own.
#include "core/GameState.h"
#include "core/Window.h"
#include "objects/World.h"
#include "platform/Focus.h"
#include "render/TextureCache.h"
#include "support/SoakDriver.h"
#include <algorithm>
#include <GL/glew.h>
#include <malloc.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes(); // live heap, without what ASan holds back
extern "C" void __sanitizer_print_memory_profile(size_t top_percent, size_t max_contexts);
// AddressSanitizer holds freed memory back (256 MB by default) to catch late uses; all
// of it would count as growth between the two measurements. A smaller hold still catches
// uses soon after a free. ASAN_OPTIONS from the environment come on top of this.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }
#endif

namespace {

struct Figures {
  long residentKb = 0;
  int textures = 0;
  int cachedImages = 0;
};

Figures Measure(long residentKb) {
  return {residentKb, SoakDriver::LiveTextureCount(), CachedImageCount()};
}

double Setting(int argc, char** argv, int index, const char* variable, double fallback) {
  if (argc > index) return std::atof(argv[index]);
  if (const char* value = std::getenv(variable)) return std::atof(value);
  return fallback;
}

// Restarts played before the measured twenty (see Soak).
constexpr int WARM_UP_RESTARTS = 3;

// Back to the windowed mode at one size, by the game's own F12 where it is full screen.
bool FixWindow(SoakDriver& soak) {
  soak.Settle();
  if (!soak.StepsUntil([] { return HasKeyboardFocus(); }, 120)) {
    std::printf("soak: the window did not get its focus back\n");
    return false;
  }
  if (g_screen.fullscreen) {
    soak.game->TapKey(SDL_SCANCODE_F12);
    if (!soak.StepsUntil([] { return !g_screen.fullscreen; }, 60)) {
      std::printf("soak: the window did not leave full screen\n");
      return false;
    }
  }
  SDL_SetWindowSize(soak.game->Sdl(), 1280, 720);
  return soak.Play(10);
}

// One restart as a player makes them: the level again from its end screen or the pause
// panel (Initialize only), then out to the menu and in again (the whole Load).
bool RestartLevel(SoakDriver& soak) {
  auto in = [](int state) { return [state] { return g_loop.currentState == state && g_loop.nextState == state; }; };
  if (g_loop.currentState == STATE_LEVEL) soak.Request(STATE_RESTART);
  if (!soak.Play(15)) return false;
  soak.Request(STATE_MAIN_MENU);
  if (!soak.StepsUntil(in(STATE_MAIN_MENU), 300)) return false;
  soak.Request(STATE_LEVEL);
  if (!soak.StepsUntil(in(STATE_LEVEL), 300)) return false;
  return soak.Play(15);
}

int Soak(double seconds, uint32_t seed) {
  const auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };

  // A scratch tree: a copy of the game's Assets, its shaders linked.
  const fs::path assets = fs::absolute("../Assets"), shaders = fs::absolute("../shaders");
  ScratchTree tree;
  fs::remove_all(fs::path(tree.root) / "Assets");
  fs::copy(assets, fs::path(tree.root) / "Assets", fs::copy_options::recursive);
  fs::remove(fs::path(tree.root) / "shaders");
  fs::create_directory_symlink(shaders, fs::path(tree.root) / "shaders");

  SoakDriver soak(seed);
  soak.editorScratchLevel = "SOAKSCRTCH"; // no shipped level has this name
  if (!soak.Start()) {
    std::printf("soak: the game did not start\n");
    return 1;
  }
  // The tour leaves about a fifth of the time (at least 10 s) for the restarts.
  const double tourSeconds = seconds - std::max(10.0, seconds * 0.2);
  if (!soak.Tour(tourSeconds)) return 1;
  std::printf("soak: tour %ld frames\n", soak.counts.frames);

  // Twenty restarts, measured after the 2nd and the 20th. No quitting in between: a new
  // window would start the figures over. The window keeps one size from here on, as the
  // driver's framebuffers and the game's follow it; and a few restarts go first unmeasured,
  // because the first frames of each kind of drawing fill the GL driver's caches of
  // compiled shader variants and the font's glyphs once (a one-time rise, not a leak).
  soak.allowQuit = false;
  soak.allowWindowChanges = false;
  if (!FixWindow(soak)) return 1;
  Figures second, twentieth;
  long previousKb = 0, largestStepKb = 0; // the largest rise from one restart to the next
  for (int restart = 1 - WARM_UP_RESTARTS; restart <= 20; ++restart) {
    if (!RestartLevel(soak)) {
      std::printf("soak: restart %d did not reach the level (state %d, next %d, %ld frames)\n", restart,
                  g_loop.currentState, g_loop.nextState, soak.counts.frames);
      return 1;
    }
    if (std::getenv("KVO_SOAK_VERBOSE")) {
#if defined(__SANITIZE_ADDRESS__)
      const long heapKb = static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
      const struct mallinfo2 heap = mallinfo2();
      const long heapKb = static_cast<long>((heap.uordblks + heap.hblkhd) / 1024); // in use, small and mapped
#endif
      int w = 0, h = 0;
      SDL_GetWindowSize(soak.game->Sdl(), &w, &h);
      std::printf("soak: restart %d resident %ld kB, heap %ld kB, %d textures, %s, window %dx%d%s, frame %ld\n",
                  restart, SoakDriver::ResidentKilobytes(), heapKb, SoakDriver::LiveTextureCount(),
                  SoakDriver::LiveGlObjects().c_str(), w, h, g_screen.fullscreen ? " full screen" : "",
                  soak.counts.frames);
    }
#if defined(__SANITIZE_ADDRESS__)
    if (restart == 20 && std::getenv("KVO_SOAK_PROFILE")) __sanitizer_print_memory_profile(60, 8);
#endif
    if (restart >= 2) {
      const long resident = SoakDriver::ResidentKilobytes();
      if (restart > 2) largestStepKb = std::max(largestStepKb, resident - previousKb);
      previousKb = resident;
      if (restart == 2) second = Measure(resident);
      if (restart == 20) twentieth = Measure(resident);
    }
  }
  soak.Request(STATE_MAIN_MENU);
  soak.StepsUntil([] { return g_loop.currentState == STATE_MAIN_MENU; }, 300);
  const SoakCounts counts = soak.counts;
  soak.Stop();

  std::printf("soak: seed %u, %.1f s, %ld frames, %d game runs, %d wins, %d losses\n", seed, elapsed(),
              counts.frames, counts.gameRuns, counts.wins, counts.losses);
  std::printf("soak: editor: %d saves and %d loads of %s\n", counts.editorSaves, counts.editorLoads,
              soak.editorScratchLevel.c_str());
  std::printf("soak: frames by state:");
  for (const auto& [state, frames] : counts.framesInState) std::printf(" %d:%ld", state, frames);
  std::printf("\n");
  std::printf("soak: after 2 restarts  resident %ld kB, %d GL textures (%d cached images)\n", second.residentKb,
              second.textures, second.cachedImages);
  std::printf("soak: after 20 restarts resident %ld kB, %d GL textures (%d cached images)\n", twentieth.residentKb,
              twentieth.textures, twentieth.cachedImages);
  const double growth = 100.0 * (twentieth.residentKb - second.residentKb) / second.residentKb;
  std::printf("soak: resident growth %+.2f%%; largest single step %ld kB\n", growth, largestStepKb);

  bool ok = true;
  if (counts.glErrors > 0) {
    std::printf("soak: FAILED: %d frames ended with a GL error; the first: %s\n", counts.glErrors,
                counts.firstGlError.c_str());
    ok = false;
  }
  if (growth > 5.0) {
    std::printf("soak: FAILED: resident size grew by more than 5%%\n");
    ok = false;
  }
  if (twentieth.textures > second.textures || twentieth.cachedImages > second.cachedImages) {
    std::printf("soak: FAILED: the GL texture count grew\n");
    ok = false;
  }
  for (int state : {STATE_MAIN_MENU, STATE_LEVEL, STATE_EDITOR, STATE_WEAPON_SELECT, STATE_TUTORIAL})
    if (counts.framesInState.count(state) == 0) {
      std::printf("soak: FAILED: state %d was never reached\n", state);
      ok = false;
    }
  std::printf("soak: %s\n", ok ? "clean" : "FAILED");
  return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
  // The software GL driver's rasterizer threads keep a pool of binned-frame memory that jumps
  // by about 20 MB and back at random moments (64 KiB blocks of the driver's own), which would
  // hide or fake a leak of ours. Rasterizing on the calling thread keeps the driver's share
  // steady; other drivers ignore the setting. A value from the environment wins.
  setenv("LP_NUM_THREADS", "0", 0);
  const double seconds = Setting(argc, argv, 1, "KVO_SOAK_SECONDS", 50.0);
  const auto seed = static_cast<uint32_t>(Setting(argc, argv, 2, "KVO_SOAK_SEED", 1.0));
  try {
    return Soak(seconds, seed);
  } catch (const std::exception& e) {
    std::printf("soak: FAILED: uncaught exception: %s\n", e.what());
  } catch (...) {
    std::printf("soak: FAILED: uncaught exception\n");
  }
  return 1;
}
