#include "platform/Pad.h"
#include <SDL.h>
#include <algorithm>

// Only pad 0 exists: the first game controller found, replaced by the next one found
// when it is unplugged.
static SDL_GameController* s_pad = nullptr;
static PadState s_lastState;

static SDL_GameController* FindPad() {
  if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return nullptr;
  if (s_pad && !SDL_GameControllerGetAttached(s_pad)) {
    SDL_GameControllerClose(s_pad);
    s_pad = nullptr;
  }
  if (!s_pad) {
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (!SDL_IsGameController(i)) continue;
      if ((s_pad = SDL_GameControllerOpen(i))) break;
    }
  }
  return s_pad;
}

static uint16_t ButtonBits(SDL_GameController* pad) {
  struct Bit { SDL_GameControllerButton button; uint16_t mask; };
  static const Bit bits[] = {
      {SDL_CONTROLLER_BUTTON_DPAD_UP, 0x0001},      {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0x0002},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0x0004},    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0x0008},
      {SDL_CONTROLLER_BUTTON_START, 0x0010},        {SDL_CONTROLLER_BUTTON_BACK, 0x0020},
      {SDL_CONTROLLER_BUTTON_LEFTSTICK, 0x0040},    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 0x0080},
      {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0x0100}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0x0200},
      {SDL_CONTROLLER_BUTTON_A, 0x1000},            {SDL_CONTROLLER_BUTTON_B, 0x2000},
      {SDL_CONTROLLER_BUTTON_X, 0x4000},            {SDL_CONTROLLER_BUTTON_Y, 0x8000},
  };
  uint16_t buttons = 0;
  for (const Bit& b : bits)
    if (SDL_GameControllerGetButton(pad, b.button)) buttons |= b.mask;
  return buttons;
}

// SDL's y axes grow downwards; the game's grow upwards.
static int16_t Upwards(Sint16 v) { return static_cast<int16_t>(std::min(32767, -static_cast<int>(v))); }

static uint8_t TriggerByte(Sint16 v) { return static_cast<uint8_t>(std::max(0, static_cast<int>(v)) * 255 / 32767); }

bool ReadPad(int userIndex, PadState& out) {
  out = PadState{};
  if (userIndex != 0) return false;
  // Pad events stay out of the queue, so the pads are brought up to date here.
  SDL_GameControllerUpdate();
  SDL_GameController* pad = FindPad();
  if (!pad) return false;
  PadState now;
  now.buttons = ButtonBits(pad);
  now.leftTrigger = TriggerByte(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
  now.rightTrigger = TriggerByte(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
  now.thumbLX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
  now.thumbLY = Upwards(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
  now.thumbRX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
  now.thumbRY = Upwards(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY));
  now.packetNumber = s_lastState.packetNumber;
  const PadState& last = s_lastState;
  bool changed = now.buttons != last.buttons || now.leftTrigger != last.leftTrigger ||
                 now.rightTrigger != last.rightTrigger || now.thumbLX != last.thumbLX ||
                 now.thumbLY != last.thumbLY || now.thumbRX != last.thumbRX || now.thumbRY != last.thumbRY;
  if (changed) ++now.packetNumber;
  s_lastState = now;
  out = now;
  return true;
}

void SetPadMotors(int userIndex, uint16_t leftSpeed, uint16_t rightSpeed) {
  if (userIndex != 0) return;
  SDL_GameController* pad = FindPad();
  // The game stops the motors itself; SDL wants a duration, so give it the longest.
  if (pad) SDL_GameControllerRumble(pad, leftSpeed, rightSpeed, 0xFFFF);
}

void ClosePads() {
  if (s_pad) SDL_GameControllerClose(s_pad);
  s_pad = nullptr;
  s_lastState = PadState{};
}
