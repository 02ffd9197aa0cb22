#pragma once

// State ids written to g_loop.nextState.
enum : int {
  STATE_QUIT = 0,
  STATE_RESTART = 1,
  STATE_MAIN_MENU = 2,
  STATE_LEVEL = 3,
  STATE_EDITOR = 4,
  STATE_WEAPON_SELECT = 5,
  STATE_TUTORIAL = 6,
};

// ---- shared by several modules -------------------------------------------
// What the loop shares with the states: which state runs, the frame's time, the read-outs
// of the debug display and the pause.
struct LoopState {
  int currentState = STATE_MAIN_MENU;  // id of the running state; written only by the loop
  int nextState = STATE_MAIN_MENU;     // id requested for the next frame's end
  int previousState = STATE_MAIN_MENU; // id of the state before the current one
  float frameTime = 1.0f / 60.0f;      // seconds, duration of the last frame
  float framesPerSecond = 60.0f;       // from the frame-rate meter
  double initTime = 0.0;               // seconds, last Initialize
  double updateTime = 0.0;             // seconds, sampled every 2 s of frame time
  double renderTime = 0.0;             // seconds, sampled every 2 s of frame time
  double fpsReadout = 0.0;             // frames per second for the debug display
  unsigned int debugView = 0;          // 0 off, 1 and 2 debug displays
  bool paused = false;                 // the pause flag, toggled by Escape / Start
  bool toggleDisplay = false;          // a screen asks for the other display mode (as F12 does) next frame

  void Reset() { *this = LoopState(); }
};
extern LoopState g_loop;
