#pragma once
#include "core/FramePacer.h"
#include "core/GameState.h"
#include "core/Level.h"
#include "core/Subsystems.h"
#include <chrono>
#include <functional>
#include <map>
#include <memory>

class Window;

// The state machine that is the game's whole life: start-up, one state object at a
// time run frame by frame, shut-down. Run() is the game; tests drive the same steps
// one frame at a time.
class GameLoop {
public:
  using LevelMaker = std::function<std::unique_ptr<Level>()>;

  // The object made for stateId from now on, instead of the game's own screen.
  void InstallLevel(int stateId, LevelMaker make);

  bool Startup();   // engine systems, window in full screen, the subsystems; false if nothing can run
  bool RunFrame();  // enters the current state if needed, one frame, leaves it if asked; false once quit
  void Shutdown();  // releases everything in order; the loop can start again afterwards
  int Run();        // all of the above; the process exit code: 0, or 1 when the game could not run

  Level* CurrentLevel() const { return level.get(); }
  Window* GetWindow() const { return window.get(); }

  // What the loop does at each step above the core; the game hands it the whole game
  // (MakeGameSubsystems), a test may hand it less. Nothing but the loop's own steps by default.
  std::shared_ptr<Subsystems> subsystems = std::make_shared<Subsystems>();
  bool framePacing = true; // hold the game to 60 frames a second; off for tests and benchmarks
  // Above 0: every frame's g_loop.frameTime is exactly this, whatever the clock says, so that a
  // run without pacing still plays at a display's rate (the rules step per frame).
  float fixedFrameTime = 0.0f;
  int showCommand = 1;     // 0 keeps the window hidden
  int firstState = STATE_MAIN_MENU; // the state the game opens on (the command line may name another)
  int fullscreenThisRun = -1;       // 0 or 1 overrides the remembered display mode, without remembering it

private:
  std::unique_ptr<Level> MakeState(int stateId);
  void EnterState();
  void Frame();
  void LeaveState();
  void ReapplyDisplayModeOnFocus();
  void NoteGamepadActivity();
  void HandlePauseKey();
  void ChoosePacing();

  std::shared_ptr<Window> window;
  std::unique_ptr<Level> level;
  std::map<int, LevelMaker> installed;
  bool started = false;
  bool failed = false;       // the game ended because it could not run: no window, or a state without a screen
  bool entered = false;      // the current state has had Load / Initialize
  bool hadFocus = false;     // the window had the keyboard focus last frame
  double readoutClock = 0.0; // seconds of frame time since the read-outs were last sampled
  FramePacer pacer;
};

