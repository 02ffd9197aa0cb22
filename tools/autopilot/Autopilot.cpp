#include "Autopilot.h"

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/GameLoop.h"
#include "core/GameState.h"
#include "core/Window.h"
#include "levels/GenericLevel.h"
#include "platform/Focus.h"
#include "platform/KeyCodes.h"
#include "platform/Messages.h"
#include "screens/MainMenu.h"
#include "screens/WinLoseScreen.h"
#include "support/GameHarness.h"

namespace {

// The physical key that types the game's key code (the brain speaks in the game's codes).
SDL_Scancode ScancodeOf(int key) {
  for (int s = SDL_SCANCODE_UNKNOWN + 1; s < SDL_NUM_SCANCODES; ++s)
    if (VirtualKeyFromScancode(s) == key) return static_cast<SDL_Scancode>(s);
  return SDL_SCANCODE_UNKNOWN;
}

} // namespace

Autopilot::Autopilot(GameHarness& h) : harness(h) {
  brain.onMoment = [this](const std::string& name) {
    if (brain.Result().level == "FIRSTMOD") CaptureScreen(name); // FIRSTMOD's garage only
  };
}

// ============================================================================
// Hands
// ============================================================================

void Autopilot::Push(const PilotEvent& e) {
  switch (e.kind) {
  case PilotEvent::Kind::KeyDown:
  case PilotEvent::Kind::KeyUp: harness.Key(ScancodeOf(e.key), e.kind == PilotEvent::Kind::KeyDown); break;
  case PilotEvent::Kind::MouseMove: {
    // The game scales window pixels to its logical screen: scale back.
    const float sx = g_screen.width > 0 ? static_cast<float>(g_screen.windowWidth) / g_screen.width : 1.0f;
    const float sy = g_screen.height > 0 ? static_cast<float>(g_screen.windowHeight) / g_screen.height : 1.0f;
    harness.MouseMove(static_cast<int>(std::lround(e.at.x * sx)), static_cast<int>(std::lround(e.at.y * sy)));
    break;
  }
  case PilotEvent::Kind::ButtonDown:
  case PilotEvent::Kind::ButtonUp:
    harness.MouseButton(SDL_BUTTON_LEFT, e.kind == PilotEvent::Kind::ButtonDown);
    break;
  }
}

bool Autopilot::Frame() {
  if (!HasKeyboardFocus() && std::chrono::steady_clock::now() - lastFocusAsk > std::chrono::milliseconds(300)) {
    SDL_SetWindowInputFocus(harness.Sdl());
    lastFocusAsk = std::chrono::steady_clock::now();
  }
  PilotEvent event;
  if (brain.NextEvent(event)) Push(event);
  return harness.Frame();
}

bool Autopilot::WaitFrames(int count) {
  for (int i = 0; i < count; ++i)
    if (!Frame()) return false;
  return true;
}

// ============================================================================
// The menu and the screens around the levels
// ============================================================================

bool Autopilot::ReachMenu() {
  for (int i = 0; i < 2000 && g_loop.currentState != STATE_MAIN_MENU; ++i)
    if (!Frame()) return false;
  if (g_loop.currentState != STATE_MAIN_MENU) return false;
  // The splash takes a press to skip; the menu then fades in.
  for (int i = 0; i < 600 && !g_menu.splashDone; ++i) {
    if (!brain.TapsPending() && i % 30 == 0) brain.Tap(KEY_SPACE);
    if (!Frame()) return false;
  }
  brain.DropTaps();
  for (int i = 0; i < 300 && g_menu.fadeAlpha > 0.0f; ++i)
    if (!Frame()) return false;
  return WaitFrames(5);
}

bool Autopilot::PressMenuButton(int index, int expectState) {
  if (!ReachMenu()) return false;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (static_cast<int>(g_menu.buttons.size()) <= index) return false;
    brain.Click(g_menu.buttons[static_cast<size_t>(index)]->Centre());
    for (int i = 0; i < 120; ++i) {
      if (!Frame()) return false;
      if (g_loop.currentState == expectState) {
        brain.DropTaps();
        return true;
      }
    }
  }
  std::printf("autopilot: the menu's button %d did not lead to state %d\n", index, expectState);
  return false;
}

bool Autopilot::PlayCampaign(std::vector<LevelResult>& results) {
  if (!PressMenuButton(0, STATE_LEVEL)) return false;
  return PlayUntilLeft(STATE_LEVEL, results);
}

bool Autopilot::PlayTutorial(std::vector<LevelResult>& results) {
  if (!PressMenuButton(1, STATE_TUTORIAL)) return false;
  return PlayUntilLeft(STATE_TUTORIAL, results);
}

bool Autopilot::PlayUntilLeft(int state, std::vector<LevelResult>& results) {
  bool started = false; // a level of this state has begun
  int nextAttempt = 1;
  std::string retryPath;
  LevelResult lastSeen;
  int endClickWait = 0;
  bool ok = true;

  while (g_loop.currentState == state || g_loop.currentState == STATE_RESTART) {
    auto* level = dynamic_cast<GenericLevel*>(harness.loop.CurrentLevel());
    if (!level || !level->built || !g_play.player) {
      brain.ReleaseAll();
      if (!Frame()) return false;
      continue;
    }
    // A fresh build: the first, or the one the end screen's button asked for.
    if (!started || (brain.Finished() && !g_play.levelWon && !g_play.levelLost)) {
      brain.StartLevel(*level, !retryPath.empty() && level->levelPath == retryPath ? nextAttempt : 1);
      started = true;
      endClickWait = 0;
    }

    if (!brain.Finished() && (g_play.levelWon || g_play.levelLost)) {
      brain.FinishLevel(*level, g_play.levelWon, g_play.levelWon ? "" : "destroyed");
      const LevelResult& result = brain.Result();
      Report(result);
      if (result.won || result.attempts >= maxAttempts) {
        results.push_back(result);
        if (!result.won) ok = false;
      }
      // A portal may already have named the next level: the replay is of the level played.
      retryPath = result.won ? std::string() : brain.StagePath();
      nextAttempt = result.attempts + 1;
      if (!result.won && result.attempts >= maxAttempts) {
        std::printf("autopilot: giving up on %s after %d attempts\n", result.level.c_str(), result.attempts);
        return false;
      }
    }

    if (brain.Finished()) {
      brain.ReleaseAll();
      auto* endScreen = dynamic_cast<WinLoseScreen*>(level->screens.endScreen.get());
      const bool panelUp = g_play.levelWon || level->screens.deathTime >= 2.05f;
      if (endScreen && panelUp && !brain.TapsPending() && ++endClickWait % 40 == 20) {
        if (endClickWait == 20) CaptureScreen(brain.Result().level + "_end"); // the first look at it
        brain.Click(endScreen->endButton->Centre());
      }
    } else {
      Capture();
      brain.Think(*level);
      // What the end would report if the level were left during the next frame (a portal
      // straight to the menu ends the level without an end screen).
      lastSeen = brain.Standing(*level);
      lastSeen.frames += 1;
      if (brain.LevelFrames() > maxLevelFrames) {
        brain.FinishLevel(*level, false, "out of time");
        Report(brain.Result());
        results.push_back(brain.Result());
        return false;
      }
    }
    if (!Frame()) return false;
  }
  if (started && !brain.Finished()) {
    // Left without an end: a portal to the menu finished the stage.
    lastSeen.won = true;
    lastSeen.note = "portal to the menu";
    results.push_back(lastSeen);
    Report(lastSeen);
  }
  brain.ReleaseAll();
  return ok;
}

// ============================================================================
// Reports and pictures
// ============================================================================

void Autopilot::Report(const LevelResult& r) {
  std::printf("autopilot: %s %s after %.1f s (%ld frames), hp %d, stars %d, thermometer %.2f, total %d%s%s\n",
              r.level.c_str(), r.won ? "won" : "lost", r.frames / 60.0, r.frames, r.hp, r.stars, r.thermometer,
              r.total, r.note.empty() ? "" : ", ", r.note.c_str());
  std::fflush(stdout);
}

void Autopilot::Capture() {
  if (shotsFolder.empty() || brain.Result().level != "FIRSTMOD") return;
  const long every = static_cast<long>(shotEverySeconds * 60.0);
  if (every <= 0 || brain.LevelFrames() % every != 0) return;
  char name[64];
  std::snprintf(name, sizeof name, "%s_%03d", brain.Result().level.c_str(), shotIndex++);
  CaptureScreen(name);
}

void Autopilot::CaptureScreen(const std::string& name) {
  if (shotsFolder.empty()) return;
  // The folder's name goes to the shell inside single quotes: each of its own quotes is closed,
  // escaped and reopened.
  std::string quoted;
  for (char c : shotsFolder + "/" + name + ".png") quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  const std::string command = "import -window root '" + quoted + "' 2>/dev/null";
  if (std::system(command.c_str()) == 0) return;
  // Whatever failed will fail for every picture: said once, then no more pictures.
  std::printf("autopilot: screen capture into %s failed (is ImageMagick's import installed?), no more pictures\n",
              shotsFolder.c_str());
  shotsFolder.clear();
}
