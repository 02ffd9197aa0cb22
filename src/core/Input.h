#pragma once
#include "core/System.h"
#include "core/Vec3.h"
#include <cstdint>
#include <map>
#include <string>

// Keyboard and mouse state, built from the window messages the window procedure hands
// over. Input codes are virtual-key codes 1-254; the mouse buttons are 1 left, 2 right,
// 4 middle. Reading an entry that was never written creates it as false.

// ---- shared by several modules -------------------------------------------
struct InputState {
  std::map<int, bool> keyTriggered; // pressed and not yet consumed (cleared on release)
  std::map<int, bool> keyDown;      // held
  Vec3 mousePosition;               // logical pixels, origin top-left, y down; z is 0
  char lastKeyChar = '\0';          // last key pressed if its code is 48-90, else '-'
  int lastDigit = 10;               // value of the last digit key pressed; 10 = none
  bool usingGamepad = false;        // the pad is the active device (a mouse move clears it)
  int wheelSteps = 0;               // wheel notches since a reader last took them; positive away from the user
  // Printable ASCII characters typed since a reader last emptied it, as the keyboard layout
  // gives them (the letter printed on the key, shifted or not); the newest 32 are kept.
  std::string typedText;

  void Reset() { *this = InputState(); }
};
extern InputState g_input;

// ---- key maps ----------------------------------------------------------------
void KeyDown(int code);        // a held key does not trigger again (auto-repeat)
void KeyUp(int code);
bool ConsumeTrigger(int code); // true once per physical press; marks the key held
bool IsDown(int code);
void ResetKeys();              // every code released; window size back to the logical size

// One piece of input as the rules receive it, the pointer already in logical pixels: what a
// recording keeps and a replay hands back (core/InputTape.h).
struct InputEvent {
  enum class Kind : uint8_t { KeyDown = 0, KeyUp = 1, Char = 2, Wheel = 3, MouseTo = 4 };
  Kind kind = Kind::KeyDown;
  int code = 0;           // key code, typed character, or wheel notches
  float x = 0.0f, y = 0.0f; // MouseTo: logical pixels
  bool operator==(const InputEvent&) const = default;
};
void ApplyInput(const InputEvent& event); // into g_input, as the message it came from would

// True when the message was keyboard or mouse input (it is then handled). It reaches
// g_input through the input tape's door: heard by a recording, or kept from the rules by a replay.
bool HandleInputMessage(unsigned message, uintptr_t wParam, intptr_t lParam);

// The engine system whose only behaviour is resetting the key maps.
class InputSystem : public System {
public:
  void Initialize() override { ResetKeys(); }
};
