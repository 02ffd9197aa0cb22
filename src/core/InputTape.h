#pragma once
#include "core/Input.h"
#include "platform/Pad.h"

// The door between the player's devices and the rules. Everything a level's outcome depends
// on from outside passes it once a frame: the frame's time, the keyboard and mouse input, the
// pad's poll and the window's focus. While a tape runs, a recording hears that traffic and a
// replay speaks it instead of the devices, through the very same path, so the rules cannot
// tell a replayed frame from a played one. Without a tape the door stands open.
class InputTape {
public:
  virtual ~InputTape() = default;

  // ---- the loop, once a frame, in this order ----------------------------------------
  // After the frame's window message, before the rules: a recording takes the frame down, a
  // replay sets g_loop.frameTime and applies the frame's input. False: the frame is not
  // played at all (a replay held on pause); the loop then neither updates nor draws.
  virtual bool BeginFrame() { return true; }
  virtual void EndFrame() {}                       // after the frame's rules, the pause key included
  virtual bool PacesFrame() const { return true; } // false: shown without waiting (fast-forward)

  // ---- the doors --------------------------------------------------------------------
  // A replay keeps the player's own input from the rules (it steers the replay instead).
  virtual bool Intercepts(const InputEvent& /*event*/) { return false; }
  virtual void Heard(const InputEvent& /*event*/) {}    // on its way into g_input
  virtual void PadPolled(PadState& /*polled*/) {}       // a replay writes the recorded poll over it
  virtual bool Focus() { return RealFocus(); }          // the focus this frame's rules see
  // A replay plays the recorded player's option drags too; they are not the watcher's choice.
  virtual bool KeepsOptions() const { return true; }

  static bool RealFocus();
};

// ---- shared by several modules -------------------------------------------
extern InputTape* g_inputTape; // the running tape, or null

// The window's focus as the rules see it: the tape's while one runs.
bool RulesFocus();
