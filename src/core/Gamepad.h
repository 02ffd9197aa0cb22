#pragma once
#include "platform/Pad.h"
#include <cstdint>

// Button indices into Gamepad's flag arrays.
enum : int {
  PAD_A = 0,
  PAD_B = 1,
  PAD_X = 2,
  PAD_Y = 3,
  PAD_UP = 4,
  PAD_DOWN = 5,
  PAD_LEFT = 6,
  PAD_RIGHT = 7,
  PAD_LB = 8,
  PAD_RB = 9,
  PAD_LTHUMB = 10,
  PAD_RTHUMB = 11,
  PAD_START = 12,
  PAD_BACK = 13,
  PAD_BUTTON_COUNT = 14,
};

// Raw stick values within -dead..+dead count as centred.
constexpr int LEFT_THUMB_DEADZONE = 7849;
constexpr int RIGHT_THUMB_DEADZONE = 8689;

// The one gamepad. It changes only when a state polls it (Update, once per frame from
// the state's HandleGamepad); an absent pad reads as released buttons and centred sticks.
class Gamepad {
public:
  void Update(); // poll; derive held and newly pressed buttons; run the rumble timer
  // Both motors at these speeds for about this long; a later Update stops them.
  void StartRumble(uint16_t leftSpeed, uint16_t rightSpeed, float seconds);

  PadState state;                          // copy of the last poll
  int userIndex = 0;                       // which pad is read
  float rumbleTime = 0.0f;                 // seconds the rumble still runs
  bool previous[PAD_BUTTON_COUNT] = {};    // down flags of the poll before the last
  bool down[PAD_BUTTON_COUNT] = {};        // held at the last poll
  bool triggered[PAD_BUTTON_COUNT] = {};   // held at the last poll and not at the one before
};

// ---- shared by several modules -------------------------------------------
extern Gamepad g_gamepad; // the pad every state reads
