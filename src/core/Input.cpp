#include "core/Input.h"
#include "core/InputTape.h"
#include "core/Viewport.h"
#include "core/Window.h"
#include "platform/KeyCodes.h"
#include "platform/Messages.h"

InputState g_input;

static constexpr size_t TYPED_TEXT_KEPT = 32;

static void CharTyped(uintptr_t code) {
  if (code < 32 || code > 126) return; // the game's font and its file names are ASCII
  g_input.typedText.push_back(static_cast<char>(code));
  std::string& typed = g_input.typedText;
  if (typed.size() > TYPED_TEXT_KEPT) typed.erase(0, typed.size() - TYPED_TEXT_KEPT);
}

void KeyDown(int code) {
  if (!g_input.keyDown[code]) {
    g_input.keyTriggered[code] = true;
    g_input.keyDown[code] = true;
  }
  // Only digits and capital letters (and the signs between them) are typed characters.
  if (code < KEY_0 || code > KEY_A + 25) {
    g_input.lastDigit = 10;
    g_input.lastKeyChar = '-';
  } else if (code > KEY_0 + 9) {
    g_input.lastKeyChar = static_cast<char>(code);
    g_input.lastDigit = 10;
  } else {
    g_input.lastKeyChar = static_cast<char>(code);
    g_input.lastDigit = code - KEY_0;
  }
}

void KeyUp(int code) {
  g_input.keyTriggered[code] = false;
  g_input.keyDown[code] = false;
  g_input.lastDigit = 10;
  g_input.lastKeyChar = '-';
}

bool ConsumeTrigger(int code) {
  bool triggered = g_input.keyTriggered[code];
  if (triggered) {
    g_input.keyTriggered[code] = false;
    g_input.keyDown[code] = true;
  }
  return triggered;
}

bool IsDown(int code) { return g_input.keyDown[code]; }

void ResetKeys() {
  g_screen.windowWidth = g_screen.width;
  g_screen.windowHeight = g_screen.height;
  for (int code = 1; code <= 254; ++code) {
    g_input.keyDown[code] = false;
    g_input.keyTriggered[code] = false;
  }
  g_input.typedText.clear();
}

// Every piece of input passes here on its way to the rules.
static void Deliver(const InputEvent& event) {
  if (g_inputTape && g_inputTape->Intercepts(event)) return;
  if (g_inputTape) g_inputTape->Heard(event);
  ApplyInput(event);
}

void ApplyInput(const InputEvent& event) {
  switch (event.kind) {
  case InputEvent::Kind::KeyDown: KeyDown(event.code); break;
  case InputEvent::Kind::KeyUp: KeyUp(event.code); break;
  case InputEvent::Kind::Char: CharTyped(static_cast<uintptr_t>(event.code)); break;
  case InputEvent::Kind::Wheel: g_input.wheelSteps += event.code; break;
  case InputEvent::Kind::MouseTo:
    g_input.usingGamepad = false;
    g_input.mousePosition.x = event.x;
    g_input.mousePosition.y = event.y;
    break;
  }
}

static void Key(InputEvent::Kind kind, int code) { Deliver(InputEvent{kind, code}); }

// The pointer arrives in window pixels and is kept in logical pixels, whatever size
// the window has: through the picture's area, so a letterboxed full screen maps as drawn.
static void MouseMoved(intptr_t lParam) {
  // A window with no area (minimised, or its size unknown) has no pointer position.
  if (g_screen.windowWidth <= 0 || g_screen.windowHeight <= 0 || g_screen.width <= 0 || g_screen.height <= 0) return;
  int px = static_cast<int>(lParam & 0xFFFF);
  int py = static_cast<int>((lParam >> 16) & 0xFFFF);
  const PictureArea area = CurrentPictureArea(g_screen.windowWidth, g_screen.windowHeight);
  int oldX = 0, oldY = 0;
  LogicalToWindow(area, g_screen.width, g_screen.height, g_input.mousePosition.x, g_input.mousePosition.y, oldX, oldY);
  if (px == oldX && py == oldY) return;
  InputEvent moved{InputEvent::Kind::MouseTo};
  WindowToLogical(area, g_screen.width, g_screen.height, static_cast<float>(px), static_cast<float>(py), moved.x,
                  moved.y);
  Deliver(moved);
}

bool HandleInputMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
  using K = InputEvent::Kind;
  int code = static_cast<int>(wParam);
  switch (message) {
  case MSG_KEY_DOWN: Key(K::KeyDown, code); return true;
  case MSG_KEY_UP: Key(K::KeyUp, code); return true;
  // A press lands where the pointer is when it is pressed, whatever motion came before it
  // (another window's pointer warp can reach ours as motion between a move and a click).
  case MSG_LBUTTON_DOWN: MouseMoved(lParam); Key(K::KeyDown, MOUSE_LEFT); return true;
  case MSG_LBUTTON_UP: Key(K::KeyUp, MOUSE_LEFT); return true;
  case MSG_RBUTTON_DOWN: MouseMoved(lParam); Key(K::KeyDown, MOUSE_RIGHT); return true;
  case MSG_RBUTTON_UP: Key(K::KeyUp, MOUSE_RIGHT); return true;
  case MSG_MBUTTON_DOWN: MouseMoved(lParam); Key(K::KeyDown, MOUSE_MIDDLE); return true;
  case MSG_MBUTTON_UP: Key(K::KeyUp, MOUSE_MIDDLE); return true;
  case MSG_MOUSE_MOVE: MouseMoved(lParam); return true;
  case MSG_CHAR:
    if (wParam >= 32 && wParam <= 126) Key(K::Char, code);
    return true;
  case MSG_MOUSE_WHEEL: Key(K::Wheel, static_cast<int>(static_cast<intptr_t>(wParam))); return true;
  default: return false;
  }
}
