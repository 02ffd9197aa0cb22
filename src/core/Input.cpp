#include "core/Input.h"
#include "core/Viewport.h"
#include "core/Window.h"
#include "platform/KeyCodes.h"
#include "platform/Messages.h"

std::map<int, bool> g_keyTriggered;
std::map<int, bool> g_keyDown;
Vec3 g_mousePosition;
char g_lastKeyChar = '\0';
int g_lastDigit = 10;
bool g_usingGamepad = false;
std::string g_typedText;

static constexpr size_t TYPED_TEXT_KEPT = 32;

static void CharTyped(uintptr_t code) {
  if (code < 32 || code > 126) return; // the game's font and its file names are ASCII
  g_typedText.push_back(static_cast<char>(code));
  if (g_typedText.size() > TYPED_TEXT_KEPT) g_typedText.erase(0, g_typedText.size() - TYPED_TEXT_KEPT);
}

void KeyDown(int code) {
  if (!g_keyDown[code]) {
    g_keyTriggered[code] = true;
    g_keyDown[code] = true;
  }
  // Only digits and capital letters (and the signs between them) are typed characters.
  if (code < KEY_0 || code > KEY_A + 25) {
    g_lastDigit = 10;
    g_lastKeyChar = '-';
  } else if (code > KEY_0 + 9) {
    g_lastKeyChar = static_cast<char>(code);
    g_lastDigit = 10;
  } else {
    g_lastKeyChar = static_cast<char>(code);
    g_lastDigit = code - KEY_0;
  }
}

void KeyUp(int code) {
  g_keyTriggered[code] = false;
  g_keyDown[code] = false;
  g_lastDigit = 10;
  g_lastKeyChar = '-';
}

bool ConsumeTrigger(int code) {
  bool triggered = g_keyTriggered[code];
  if (triggered) {
    g_keyTriggered[code] = false;
    g_keyDown[code] = true;
  }
  return triggered;
}

bool IsDown(int code) { return g_keyDown[code]; }

void ResetKeys() {
  g_windowWidth = g_screenWidth;
  g_windowHeight = g_screenHeight;
  for (int code = 1; code <= 254; ++code) {
    g_keyDown[code] = false;
    g_keyTriggered[code] = false;
  }
  g_typedText.clear();
}

// The pointer arrives in window pixels and is kept in logical pixels, whatever size
// the window has: through the picture's area, so a letterboxed full screen maps as drawn.
static void MouseMoved(intptr_t lParam) {
  // A window with no area (minimised, or its size unknown) has no pointer position.
  if (g_windowWidth <= 0 || g_windowHeight <= 0 || g_screenWidth <= 0 || g_screenHeight <= 0) return;
  int px = static_cast<int>(lParam & 0xFFFF);
  int py = static_cast<int>((lParam >> 16) & 0xFFFF);
  const PictureArea area = CurrentPictureArea(g_windowWidth, g_windowHeight);
  int oldX = 0, oldY = 0;
  LogicalToWindow(area, g_screenWidth, g_screenHeight, g_mousePosition.x, g_mousePosition.y, oldX, oldY);
  if (px == oldX && py == oldY) return;
  g_usingGamepad = false;
  WindowToLogical(area, g_screenWidth, g_screenHeight, static_cast<float>(px), static_cast<float>(py),
                  g_mousePosition.x, g_mousePosition.y);
}

bool HandleInputMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
  int code = static_cast<int>(wParam);
  switch (message) {
  case MSG_KEY_DOWN: KeyDown(code); return true;
  case MSG_KEY_UP: KeyUp(code); return true;
  // A press lands where the pointer is when it is pressed, whatever motion came before it
  // (another window's pointer warp can reach ours as motion between a move and a click).
  case MSG_LBUTTON_DOWN: MouseMoved(lParam); KeyDown(MOUSE_LEFT); return true;
  case MSG_LBUTTON_UP: KeyUp(MOUSE_LEFT); return true;
  case MSG_RBUTTON_DOWN: MouseMoved(lParam); KeyDown(MOUSE_RIGHT); return true;
  case MSG_RBUTTON_UP: KeyUp(MOUSE_RIGHT); return true;
  case MSG_MBUTTON_DOWN: MouseMoved(lParam); KeyDown(MOUSE_MIDDLE); return true;
  case MSG_MBUTTON_UP: KeyUp(MOUSE_MIDDLE); return true;
  case MSG_MOUSE_MOVE: MouseMoved(lParam); return true;
  case MSG_CHAR: CharTyped(wParam); return true;
  default: return false;
  }
}
