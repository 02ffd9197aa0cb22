#pragma once
#include <cstdint>

// The gamepad as the game reads it: one record per poll, in the layout the game's pad
// code was written for (button masks of the table in core/Gamepad.h, stick up is
// positive y, triggers 0-255). The first game controller plugged in is pad 0.
struct PadState {
  uint32_t packetNumber = 0; // changes whenever the pad's state changes
  uint16_t buttons = 0;      // button masks, see core/Gamepad.h
  uint8_t leftTrigger = 0;   // 0 released .. 255 fully pulled
  uint8_t rightTrigger = 0;
  int16_t thumbLX = 0;       // -32768 left .. 32767 right
  int16_t thumbLY = 0;       // -32768 down .. 32767 up
  int16_t thumbRX = 0;
  int16_t thumbRY = 0;
};

// Fills out from pad userIndex; an absent pad reads all zero and returns false.
// Pads plugged in or out while the game runs are picked up here.
bool ReadPad(int userIndex, PadState& out);
// Runs both motors (0 stops) until told otherwise; no effect on an absent pad.
void SetPadMotors(int userIndex, uint16_t leftSpeed, uint16_t rightSpeed);
void ClosePads(); // before the platform stops
