#include "platform/Messages.h"
#include "platform/Display.h"
#include "platform/KeyCodes.h"
#include <SDL.h>

// ============================================================================
// Code translation
// ============================================================================

int VirtualKeyFromScancode(int scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return KEY_A + (scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return KEY_0 + 1 + (scancode - SDL_SCANCODE_1);
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) return KEY_NUMPAD_0 + 1 + (scancode - SDL_SCANCODE_KP_1);
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return KEY_F1 + (scancode - SDL_SCANCODE_F1);
  switch (scancode) {
  case SDL_SCANCODE_0: return KEY_0;
  case SDL_SCANCODE_KP_0: return KEY_NUMPAD_0;
  case SDL_SCANCODE_RETURN:
  case SDL_SCANCODE_KP_ENTER: return KEY_ENTER;
  case SDL_SCANCODE_BACKSPACE: return KEY_BACKSPACE;
  case SDL_SCANCODE_TAB: return KEY_TAB;
  case SDL_SCANCODE_LSHIFT:
  case SDL_SCANCODE_RSHIFT: return KEY_SHIFT;
  case SDL_SCANCODE_LCTRL:
  case SDL_SCANCODE_RCTRL: return KEY_CTRL;
  case SDL_SCANCODE_ESCAPE: return KEY_ESCAPE;
  case SDL_SCANCODE_SPACE: return KEY_SPACE;
  case SDL_SCANCODE_PAGEUP: return KEY_PAGE_UP;
  case SDL_SCANCODE_PAGEDOWN: return KEY_PAGE_DOWN;
  case SDL_SCANCODE_END: return KEY_END;
  case SDL_SCANCODE_HOME: return KEY_HOME;
  case SDL_SCANCODE_LEFT: return KEY_LEFT;
  case SDL_SCANCODE_UP: return KEY_UP;
  case SDL_SCANCODE_RIGHT: return KEY_RIGHT;
  case SDL_SCANCODE_DOWN: return KEY_DOWN;
  case SDL_SCANCODE_EXECUTE: return KEY_EXECUTE;
  case SDL_SCANCODE_INSERT: return KEY_INSERT;
  case SDL_SCANCODE_DELETE: return KEY_DELETE;
  default: return 0;
  }
}

int GameMouseButton(int platformButton) {
  switch (platformButton) {
  case SDL_BUTTON_LEFT: return MOUSE_LEFT;
  case SDL_BUTTON_RIGHT: return MOUSE_RIGHT;
  case SDL_BUTTON_MIDDLE: return MOUSE_MIDDLE;
  default: return 0;
  }
}

// The first character of a UTF-8 text; 0 when the text is empty or malformed.
static uint32_t FirstCodePoint(const char* text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  if (s[0] < 0x80) return s[0];
  int extra = (s[0] & 0xE0) == 0xC0 ? 1 : (s[0] & 0xF0) == 0xE0 ? 2 : (s[0] & 0xF8) == 0xF0 ? 3 : -1;
  if (extra < 0) return 0;
  uint32_t code = s[0] & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    code = (code << 6) | (s[i] & 0x3F);
  }
  return code;
}

// ============================================================================
// Message pump
// ============================================================================

// Window pixels travel as two unsigned 16-bit halves; a pointer captured outside the
// window would wrap to 65535, so it is held at the window's edge instead.
static intptr_t PackPoint(int x, int y) {
  auto clamp16 = [](int v) { return v < 0 ? 0 : (v > 0xFFFF ? 0xFFFF : v); };
  return static_cast<intptr_t>(clamp16(x) | (clamp16(y) << 16));
}

static void DropStaleMouseMoves() {
  SDL_Event head[64];
  for (;;) {
    int count = SDL_PeepEvents(head, 64, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
    int moves = 0;
    while (moves < count && head[moves].type == SDL_MOUSEMOTION) ++moves;
    if (moves < 2) return;
    // Taking by type removes the oldest moves, which are exactly the leading ones.
    SDL_PeepEvents(head, moves - 1, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION);
    if (moves < count || count < 64) return;
  }
}

static PlatformMessage Translate(const SDL_Event& e) {
  PlatformMessage m;
  switch (e.type) {
  case SDL_QUIT:
    m.message = MSG_QUIT;
    break;
  case SDL_WINDOWEVENT:
    // Only the game window's own closing and sizing concern the game.
    if (e.window.windowID != SDL_GetWindowID(SdlWindowOf(CurrentGameWindow()))) break;
    if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
      m.message = MSG_DESTROY;
    } else if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
      m.message = MSG_SIZE;
      m.lParam = PackPoint(e.window.data1, e.window.data2);
    }
    break;
  case SDL_KEYDOWN:
  case SDL_KEYUP:
    if (int code = VirtualKeyFromScancode(e.key.keysym.scancode)) {
      m.message = e.type == SDL_KEYDOWN ? MSG_KEY_DOWN : MSG_KEY_UP;
      m.wParam = static_cast<uintptr_t>(code);
    }
    break;
  case SDL_MOUSEBUTTONDOWN:
  case SDL_MOUSEBUTTONUP: {
    bool down = e.type == SDL_MOUSEBUTTONDOWN;
    switch (GameMouseButton(e.button.button)) {
    case MOUSE_LEFT: m.message = down ? MSG_LBUTTON_DOWN : MSG_LBUTTON_UP; break;
    case MOUSE_RIGHT: m.message = down ? MSG_RBUTTON_DOWN : MSG_RBUTTON_UP; break;
    case MOUSE_MIDDLE: m.message = down ? MSG_MBUTTON_DOWN : MSG_MBUTTON_UP; break;
    default: break;
    }
    m.lParam = PackPoint(e.button.x, e.button.y);
    break;
  }
  case SDL_TEXTINPUT:
    // The key press came as its own message; this is the character it typed.
    if (uint32_t code = FirstCodePoint(e.text.text)) {
      m.message = MSG_CHAR;
      m.wParam = code;
    }
    break;
  case SDL_MOUSEWHEEL: {
    const int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
    if (notches != 0) {
      m.message = MSG_MOUSE_WHEEL;
      m.wParam = static_cast<uintptr_t>(static_cast<intptr_t>(notches));
    }
    break;
  }
  case SDL_MOUSEMOTION:
    m.message = MSG_MOUSE_MOVE;
    m.lParam = PackPoint(e.motion.x, e.motion.y);
    break;
  default:
    break;
  }
  return m;
}

bool TakeOneMessage(PlatformMessage& out) {
  static SDL_Event taken; // stays valid for the tweak bars until the next call
  SDL_PumpEvents();
  DropStaleMouseMoves();
  // A held key repeats at the keyboard's rate, and the game reads held keys from their
  // state: its repeats say nothing new. A frame takes one message, so on a slow frame they
  // would queue ahead of everything else (a level running at 6 frames a second took 45 s
  // to see its window closed behind a held W).
  do {
    if (SDL_PeepEvents(&taken, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) != 1) return false;
  } while (taken.type == SDL_KEYDOWN && taken.key.repeat != 0);
  out = Translate(taken);
  out.native = &taken;
  return true;
}
