#pragma once
#include <cstdint>

// The window messages the game handles. Their numbers are the ones the game's
// message handling has always used; the platform translates its own events into them.
enum : unsigned {
  MSG_NULL = 0x0000,         // anything the game does not handle (focus, expose, ...)
  MSG_DESTROY = 0x0002,      // the window is going away: the game quits
  MSG_SIZE = 0x0005,         // the client area changed size; lParam = width | height << 16
  MSG_QUIT = 0x0012,         // the application is asked to end
  MSG_KEY_DOWN = 0x0100,     // wParam = virtual-key code; sent again on auto-repeat
  MSG_KEY_UP = 0x0101,       // wParam = virtual-key code
  MSG_CHAR = 0x0102,         // wParam = a typed character (Unicode), as the keyboard layout gives it
  MSG_MOUSE_MOVE = 0x0200,   // lParam = x | y << 16, window pixels, both unsigned 16 bits
  MSG_LBUTTON_DOWN = 0x0201,
  MSG_LBUTTON_UP = 0x0202,
  MSG_RBUTTON_DOWN = 0x0204,
  MSG_RBUTTON_UP = 0x0205,
  MSG_MBUTTON_DOWN = 0x0207,
  MSG_MBUTTON_UP = 0x0208,
  MSG_MOUSE_WHEEL = 0x020A,  // wParam = notches turned, signed, positive away from the user
};

struct PlatformMessage {
  unsigned message = MSG_NULL;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
  const void* native = nullptr; // the platform event behind it; valid until the next TakeOneMessage
};

// ---- message pump ------------------------------------------------------------
// Takes at most one queued message without waiting; false when nothing is queued.
// Consecutive mouse moves at the head of the queue are first merged into the latest
// one, so the pointer never lags behind; keys and buttons are never merged or dropped.
bool TakeOneMessage(PlatformMessage& out);

// ---- code translation ------------------------------------------------------
int VirtualKeyFromScancode(int scancode); // physical key (US positions) -> virtual-key code; 0 = none
int GameMouseButton(int platformButton);  // platform 1 left / 2 middle / 3 right -> 1 / 4 / 2; 0 = none
