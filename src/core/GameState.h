#pragma once

// State ids written to g_nextState.
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
extern int g_currentState;      // id of the running state; written only by the loop
extern int g_nextState;         // id requested for the next frame's end
extern int g_previousState;     // id of the state before the current one
extern float g_frameTime;       // seconds, duration of the last frame
extern float g_framesPerSecond; // from the frame-rate meter
extern double g_initTime;       // seconds, last Initialize
extern double g_updateTime;     // seconds, sampled every 2 s of frame time
extern double g_renderTime;     // seconds, sampled every 2 s of frame time
extern double g_fpsReadout;     // frames per second for the debug display
extern unsigned int g_debugView; // 0 off, 1 and 2 debug displays
extern bool g_paused;           // the pause flag, toggled by Escape / Start
