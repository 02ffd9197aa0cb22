#include "core/GameLoop.h"
#include "platform/ConsoleTexts.h"
#include "core/Controls.h"
#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/InputTape.h"
#include "core/Options.h"
#include "core/Subsystems.h"
#include "core/System.h"
#include "core/Window.h"
#include "platform/Focus.h"
#include "platform/KeyCodes.h"
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>
#include <thread>

using Clock = std::chrono::steady_clock;

static double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// ============================================================================
// Frame-rate meter
// ============================================================================

namespace {
struct FrameRateMeter {
  int frameCounter = 0;
  int64_t lastRefreshMs = 0;
  float refreshIntervalMs = 250.0f;
};
FrameRateMeter s_meter;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

// Once per frame after presenting: g_loop.framesPerSecond over the last quarter second,
// g_loop.frameTime its reciprocal. A reset meter reads 60 frames per second.
void ResetFrameRateMeter() {
  // The first quarter second measures from now, at the rate the game was tuned for,
  // so the first frames do not see a frame time of the whole uptime.
  s_meter = FrameRateMeter{};
  s_meter.lastRefreshMs = NowMs();
  g_loop.framesPerSecond = 60.0f;
  g_loop.frameTime = 1.0f / 60.0f;
}

void MeasureFrameRate() {
  ++s_meter.frameCounter;
  int64_t now = NowMs();
  float elapsed = static_cast<float>(now - s_meter.lastRefreshMs);
  if (elapsed > s_meter.refreshIntervalMs) {
    g_loop.framesPerSecond = s_meter.frameCounter * 1000.0f / elapsed;
    s_meter.lastRefreshMs = now;
    s_meter.frameCounter = 0;
  }
  g_loop.frameTime = 1.0f / g_loop.framesPerSecond;
}

} // namespace

// ============================================================================
// Start-up and shut-down
// ============================================================================

void GameLoop::InstallLevel(int stateId, LevelMaker make) { installed[stateId] = std::move(make); }

std::unique_ptr<Level> GameLoop::MakeState(int stateId) {
  auto found = installed.find(stateId);
  std::unique_ptr<Level> made = found != installed.end() ? found->second() : subsystems->MakeLevel(stateId);
  if (made) made->stateId = stateId;
  return made;
}

bool GameLoop::Startup() {
  failed = false;
  subsystems->AddObjectSystems();
  g_systems.push_back(std::make_shared<InputSystem>());
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  g_loop.debugView = 0;

  ReadOptions(g_options);
  LoadBindings();
  window = std::make_shared<Window>(showCommand);
  window->subsystems = subsystems.get();
  // Created windowed: the toggle enters full screen, or the 1280 x 720 window the player
  // last chose.
  g_screen.fullscreen = fullscreenThisRun >= 0 ? fullscreenThisRun == 0 : !g_options.fullscreen;
  window->ToggleDisplayMode();
  window->SetTitle("Kvo");
  ResetFrameRateMeter();
  if (fixedFrameTime > 0.0f) g_loop.frameTime = fixedFrameTime;
  std::printf("%s\n", window->showCommand != 0 ? ConsoleText::WINDOW_SHOWN : ConsoleText::WINDOW_HIDDEN);

  subsystems->ListPlayableLevels();
  subsystems->MakeBackgroundTiles();
  level = MakeState(STATE_MAIN_MENU);
  g_loop.currentState = g_loop.nextState = g_loop.previousState = STATE_MAIN_MENU;
  // Another first state is made as it is entered; leaving it leads to the menu.
  if (firstState != STATE_MAIN_MENU) g_loop.currentState = g_loop.nextState = firstState;
  subsystems->CreateAudio();
  subsystems->CreateOptionMenu();
  subsystems->InitTweakBars();
  subsystems->ResetSoundSlots();

  // Without a window and a context every drawing call would fail: end cleanly instead.
  if (!window->IsUsable()) {
    std::printf("Error: there is no window to draw in, the game ends\n");
    g_loop.currentState = g_loop.nextState = STATE_QUIT;
    failed = true;
  }
  started = true;
  entered = false;
  hadFocus = false;
  readoutClock = 0.0;
  // The start-up steps after the first reset load pictures (the pause panel's, the grass):
  // the first frame must not count them as its own time.
  ResetFrameRateMeter();
  if (fixedFrameTime > 0.0f) g_loop.frameTime = fixedFrameTime;
  pacer.platform.swap = [this] { window->Present(); };
  pacer.platform.setSwapInterval = [](int interval) { return SetSwapInterval(interval); };
  ChoosePacing();
  std::fflush(stdout);
  return g_loop.currentState != STATE_QUIT;
}

void GameLoop::Shutdown() {
  if (!started) return;
  // A loop stopped from outside (tests) still lets the running state clean up.
  if (entered && level) {
    level->Free();
    level->Unload();
    entered = false;
  }
  subsystems->SilenceMusic();
  subsystems->FreeBackgroundTiles();
  level.reset();
  subsystems->DeletePrograms();
  subsystems->TerminateTweakBars();
  subsystems->ReleaseFrontEnd();
  // Level objects may hold GL resources: they go while the context still exists.
  g_systems.clear();
  window->Shutdown();
  window.reset();
  started = false;
  std::fflush(stdout);
}

int GameLoop::Run() {
  if (Startup())
    while (RunFrame()) {}
  Shutdown();
  // Launchers, desktop sessions and scripts read 0 as a game that ran.
  return failed ? 1 : 0;
}

// ============================================================================
// States
// ============================================================================

bool GameLoop::RunFrame() {
  if (!started || g_loop.currentState == STATE_QUIT) return false;
  if (!entered) EnterState();
  if (!entered) return false; // no object could be made for the state: the game has ended
  if (g_loop.currentState == g_loop.nextState) Frame();
  if (g_loop.currentState != g_loop.nextState) LeaveState();
  return g_loop.currentState != STATE_QUIT;
}

void GameLoop::EnterState() {
  if (g_loop.currentState == STATE_RESTART) {
    // Same object, same id: only Initialize runs again.
    g_loop.currentState = g_loop.nextState = g_loop.previousState;
  } else {
    level.reset();
    level = MakeState(g_loop.currentState);
    if (!level) {
      std::printf("Error: game state %d has no screen, the game ends\n", g_loop.currentState);
      g_loop.currentState = g_loop.nextState = STATE_QUIT;
      failed = true;
      return;
    }
    level->Load();
    subsystems->ResetProgramCaches();
  }
  Clock::time_point start = Clock::now();
  level->Initialize();
  g_loop.initTime = SecondsSince(start);
  // Loading is not a frame: the first frames of the state measure from here, or every
  // Update of the next quarter second would take the whole load as its frame time.
  ResetFrameRateMeter();
  if (fixedFrameTime > 0.0f) g_loop.frameTime = fixedFrameTime;
  entered = true;
}

void GameLoop::LeaveState() {
  level->Free();
  if (g_loop.nextState != STATE_RESTART) level->Unload();
  if (g_loop.nextState < STATE_QUIT || g_loop.nextState > STATE_TUTORIAL) {
    std::printf("Error: there is no game state %d, going to the main menu\n", g_loop.nextState);
    g_loop.nextState = STATE_MAIN_MENU;
  }
  g_loop.previousState = g_loop.currentState;
  g_loop.currentState = g_loop.nextState;
  entered = false;
}

// ============================================================================
// One frame
// ============================================================================

void GameLoop::Frame() {
  ReapplyDisplayModeOnFocus();
  NoteGamepadActivity();
  window->DispatchOneMessage();
  if (ConsumeTrigger(KEY_F12) || std::exchange(g_loop.toggleDisplay, false)) { // F12, or the pause panel
    window->ToggleDisplayMode();
    ChoosePacing();
    Options chosen = g_options;
    chosen.fullscreen = g_screen.fullscreen;
    RememberOptions(chosen);
  }
  if (ConsumeTrigger(KEY_F11)) g_loop.debugView = g_loop.debugView >= 2 ? 0 : g_loop.debugView + 1; // F11

  const bool plays = !g_inputTape || g_inputTape->BeginFrame();
  Clock::time_point start = Clock::now();
  if (plays) level->Update();
  double updateSeconds = SecondsSince(start);
  start = Clock::now();
  if (plays) {
    window->BeginPicture();
    level->Draw();
    window->EndPicture();
  }
  double renderSeconds = SecondsSince(start);
  // The read-outs change slowly enough to be read.
  if (readoutClock > 2.0) {
    g_loop.updateTime = updateSeconds;
    g_loop.renderTime = renderSeconds;
    readoutClock = 0.0;
  }

  HandlePauseKey();
  if (g_inputTape) g_inputTape->EndFrame();
  readoutClock += static_cast<double>(g_loop.frameTime);
  if (!plays)
    std::this_thread::sleep_for(std::chrono::milliseconds(16)); // nothing new to show: the last picture stays
  else if (framePacing && (!g_inputTape || g_inputTape->PacesFrame()))
    pacer.Present();
  else
    pacer.PresentUnpaced();
  MeasureFrameRate();
  if (fixedFrameTime > 0.0f) g_loop.frameTime = fixedFrameTime;
  g_loop.fpsReadout = g_loop.framesPerSecond;
}

// Another program may have changed the display while the game was in the background.
void GameLoop::ReapplyDisplayModeOnFocus() {
  bool focus = HasKeyboardFocus();
  if (focus && !hadFocus) {
    g_screen.fullscreen = !g_screen.fullscreen;
    window->ToggleDisplayMode();
    ChoosePacing();
  }
  hadFocus = focus;
}

void GameLoop::NoteGamepadActivity() {
  const PadState& s = g_gamepad.state;
  bool active = s.thumbLX < -LEFT_THUMB_DEADZONE || s.thumbLX > LEFT_THUMB_DEADZONE ||
                s.thumbRX < -RIGHT_THUMB_DEADZONE || s.thumbRX > RIGHT_THUMB_DEADZONE;
  for (int i = 0; i < PAD_BUTTON_COUNT && !active; ++i)
    active = g_gamepad.triggered[i] || g_gamepad.down[i];
  if (active) g_input.usingGamepad = true;
}

// Runs after Draw: a state that wants Escape for itself consumes it in its Update.
void GameLoop::HandlePauseKey() {
  bool escape = ConsumeTrigger(KEY_ESCAPE);
  // A controls page waiting for a button takes Start as its answer.
  bool start = g_gamepad.triggered[PAD_START] && !g_controls.listening;
  if (!escape && !start) return;
  // Start is consumed as Escape is, or a state that never polls the pad would
  // see the same press every frame.
  g_gamepad.triggered[PAD_START] = false;
  g_loop.paused = !g_loop.paused;
  subsystems->ShowPausePanel();
  if (g_loop.paused) g_gamepad.StartRumble(0x3FFF, 0x3FFF, 0.5f);
  if (g_loop.currentState == STATE_EDITOR || g_loop.currentState == STATE_WEAPON_SELECT)
    g_loop.nextState = STATE_MAIN_MENU;
}

// The display may have changed with the window's mode or place: vsync where its
// refresh rate lands frames on 1/60 s, the timer elsewhere.
void GameLoop::ChoosePacing() {
  if (window && window->IsUsable()) pacer.ChooseMode(DisplayRefreshRate(window->handle));
}
