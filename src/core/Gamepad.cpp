#include "core/Gamepad.h"
#include "core/Controls.h"
#include "core/GameState.h"
#include "core/InputTape.h"

Gamepad g_gamepad;

namespace {
// The pad mask each button index tests, in index order.
constexpr uint16_t PAD_BUTTON_MASKS[PAD_BUTTON_COUNT] = {
    0x1000, 0x2000, 0x4000, 0x8000, // A B X Y
    0x0001, 0x0002, 0x0004, 0x0008, // d-pad up down left right
    0x0100, 0x0200,                 // shoulders
    0x0040, 0x0080,                 // stick presses
    0x0010, 0x0020,                 // Start, Back
};
} // namespace

void Gamepad::Update() {
  PadState polled;
  ReadPad(userIndex, polled); // an absent pad reads all zero, which is all the game needs
  TranslatePad(polled);
  if (g_inputTape) g_inputTape->PadPolled(polled);
  state = polled;
  for (int i = 0; i < PAD_BUTTON_COUNT; ++i) {
    uint16_t mask = PAD_BUTTON_MASKS[i];
    down[i] = (state.buttons & mask) == mask;
    triggered[i] = down[i] && !previous[i];
    previous[i] = down[i];
  }
  if (rumbleTime > 0.0f)
    rumbleTime -= g_loop.frameTime;
  else
    SetPadMotors(userIndex, 0, 0);
}

void Gamepad::StartRumble(uint16_t leftSpeed, uint16_t rightSpeed, float seconds) {
  SetPadMotors(userIndex, leftSpeed, rightSpeed);
  rumbleTime = seconds;
}
