#include "core/Controls.h"
#include "core/Gamepad.h"
#include "platform/KeyCodes.h"
#include "platform/SafeFile.h"
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

ControlsState g_controls;

namespace {

// ============================================================================
// The input table
// ============================================================================

constexpr ActionInfo ACTIONS[ACTION_COUNT] = {
    {"forward", "DRIVE FORWARD", KEY_W, PAD_STICK},
    {"back", "DRIVE BACK", KEY_S, PAD_STICK},
    {"left", "TURN LEFT", KEY_A, PAD_STICK},
    {"right", "TURN RIGHT", KEY_D, PAD_STICK},
    {"main", "MAIN GUN", KEY_SPACE, PAD_A},
    {"leftgun", "LEFT GUN", KEY_Q, PAD_LEFT_TRIGGER},
    {"rightgun", "RIGHT GUN", KEY_E, PAD_RIGHT_TRIGGER},
    {"talk", "TALK / GARAGE", KEY_C, PAD_X},
    {"pause", "PAUSE", KEY_ESCAPE, PAD_START},
};

// The pad's masks by button index, as core/Gamepad.cpp reads them.
constexpr uint16_t PAD_MASKS[PAD_BUTTON_COUNT] = {0x1000, 0x2000, 0x4000, 0x8000, 0x0001, 0x0002, 0x0004,
                                                  0x0008, 0x0100, 0x0200, 0x0040, 0x0080, 0x0010, 0x0020};
constexpr const char* PAD_NAMES[PAD_INPUT_COUNT] = {"A",  "B",  "X",  "Y",  "UP",    "DOWN", "LEFT", "RIGHT",
                                                    "LB", "RB", "LS", "RS", "START", "BACK", "LT",   "RT"};

std::string s_controlsPath = CONTROLS_PATH;
std::map<int, int> s_pressedAs; // physical key -> the code its press went in as

bool ReservedKey(int key) { return key <= 0 || key == KEY_F11 || key == KEY_F12 || key == KEY_ESCAPE; }

int Index(Action action) { return static_cast<int>(action); }

bool PadPressed(const PadState& s, int input) {
  if (input == PAD_LEFT_TRIGGER) return s.leftTrigger > PAD_TRIGGER_PRESSED;
  if (input == PAD_RIGHT_TRIGGER) return s.rightTrigger > PAD_TRIGGER_PRESSED;
  return input >= 0 && input < PAD_BUTTON_COUNT && (s.buttons & PAD_MASKS[input]) == PAD_MASKS[input];
}

void SetPad(PadState& s, int input, bool pressed) {
  if (input == PAD_LEFT_TRIGGER) s.leftTrigger = pressed ? 255 : 0;
  else if (input == PAD_RIGHT_TRIGGER) s.rightTrigger = pressed ? 255 : 0;
  else if (input >= 0 && input < PAD_BUTTON_COUNT) s.buttons = pressed ? (s.buttons | PAD_MASKS[input]) : (s.buttons & ~PAD_MASKS[input]);
}

// Whether the table is one a player could have made: every key an unreserved one of its own
// (pause keeps Escape), every pad input its own, the sticks where they are.
bool Sound(const Bindings& b) {
  for (int a = 0; a < ACTION_COUNT; ++a) {
    const bool pause = a == Index(Action::Pause);
    if (pause ? b.key[a] != KEY_ESCAPE : (ReservedKey(b.key[a]) || KeyName(b.key[a])[0] == '#')) return false;
    const bool stick = ACTIONS[a].defaultPad == PAD_STICK;
    if (stick ? b.pad[a] != PAD_STICK : (b.pad[a] < 0 || b.pad[a] >= PAD_INPUT_COUNT)) return false;
    for (int other = 0; other < a; ++other)
      if (b.key[other] == b.key[a] || (!stick && b.pad[other] == b.pad[a])) return false;
  }
  return true;
}

} // namespace

const ActionInfo& InfoOf(Action action) { return ACTIONS[Index(action)]; }

Bindings DefaultBindings() {
  Bindings b;
  for (int a = 0; a < ACTION_COUNT; ++a) {
    b.key[a] = ACTIONS[a].defaultKey;
    b.pad[a] = ACTIONS[a].defaultPad;
  }
  return b;
}

// ============================================================================
// Rebinding
// ============================================================================

BindResult BindKey(Bindings& bindings, Action action, int key, Action& holder) {
  if (ReservedKey(key) || action == Action::Pause || KeyName(key)[0] == '#') return BindResult::Reserved;
  for (int a = 0; a < ACTION_COUNT; ++a)
    if (bindings.key[a] == key && a != Index(action)) {
      holder = static_cast<Action>(a);
      return BindResult::Taken;
    }
  bindings.key[Index(action)] = key;
  return BindResult::Bound;
}

BindResult BindPad(Bindings& bindings, Action action, int padInput, Action& holder) {
  if (InfoOf(action).defaultPad == PAD_STICK || padInput < 0 || padInput >= PAD_INPUT_COUNT) return BindResult::Reserved;
  for (int a = 0; a < ACTION_COUNT; ++a)
    if (bindings.pad[a] == padInput && a != Index(action)) {
      holder = static_cast<Action>(a);
      return BindResult::Taken;
    }
  bindings.pad[Index(action)] = padInput;
  return BindResult::Bound;
}

void SwapKeys(Bindings& bindings, Action a, Action b) { std::swap(bindings.key[Index(a)], bindings.key[Index(b)]); }
void SwapPads(Bindings& bindings, Action a, Action b) { std::swap(bindings.pad[Index(a)], bindings.pad[Index(b)]); }

// ============================================================================
// Names
// ============================================================================

std::string KeyName(int code) {
  if (code >= KEY_A && code <= KEY_Z) return std::string(1, static_cast<char>(code));
  if (code >= KEY_0 && code <= KEY_0 + 9) return std::string(1, static_cast<char>(code));
  if (code >= KEY_NUMPAD_0 && code <= KEY_NUMPAD_0 + 9) return "NUM" + std::to_string(code - KEY_NUMPAD_0);
  if (code >= KEY_F1 && code <= KEY_F12) return "F" + std::to_string(code - KEY_F1 + 1);
  switch (code) {
  case KEY_BACKSPACE: return "BACKSPACE";
  case KEY_TAB: return "TAB";
  case KEY_ENTER: return "ENTER";
  case KEY_SHIFT: return "SHIFT";
  case KEY_CTRL: return "CTRL";
  case KEY_ESCAPE: return "ESC";
  case KEY_SPACE: return "SPACE";
  case KEY_PAGE_UP: return "PGUP";
  case KEY_PAGE_DOWN: return "PGDN";
  case KEY_END: return "END";
  case KEY_HOME: return "HOME";
  case KEY_LEFT: return "LEFT";
  case KEY_UP: return "UP";
  case KEY_RIGHT: return "RIGHT";
  case KEY_DOWN: return "DOWN";
  case KEY_INSERT: return "INS";
  case KEY_DELETE: return "DEL";
  default: return "#" + std::to_string(code);
  }
}

int KeyFromName(const std::string& name) {
  for (int code = 1; code <= 254; ++code)
    if (KeyName(code) == name) return code;
  return 0;
}

std::string PadName(int padInput) {
  return padInput >= 0 && padInput < PAD_INPUT_COUNT ? PAD_NAMES[padInput] : "STICK";
}

int PadFromName(const std::string& name, bool& found) {
  found = true;
  if (name == "STICK") return PAD_STICK;
  for (int i = 0; i < PAD_INPUT_COUNT; ++i)
    if (name == PAD_NAMES[i]) return i;
  found = false;
  return PAD_STICK;
}

// ============================================================================
// The file
// ============================================================================

const std::string& ControlsPath() { return s_controlsPath; }
void SetControlsPath(const std::string& path) { s_controlsPath = path; }

bool ReadBindings(Bindings& bindings, const std::string& path) {
  bindings = DefaultBindings();
  std::ifstream file(path);
  if (!file) return true; // never changed: the game's own keys
  Bindings read;
  bool seen[ACTION_COUNT] = {};
  std::string line, damage;
  int lineNumber = 0;
  while (damage.empty() && std::getline(file, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    std::istringstream in(line);
    std::string name, key, pad, extra;
    const bool shaped = (in >> name >> key >> pad) && !(in >> extra);
    int a = 0;
    while (a < ACTION_COUNT && name != ACTIONS[a].fileName) ++a;
    bool padFound = false;
    if (shaped && a < ACTION_COUNT && !seen[a]) {
      seen[a] = true;
      read.key[a] = KeyFromName(key);
      read.pad[a] = PadFromName(pad, padFound);
    }
    if (!padFound) damage = "line " + std::to_string(lineNumber);
  }
  if (damage.empty())
    for (int a = 0; a < ACTION_COUNT && damage.empty(); ++a)
      if (!seen[a]) damage = std::string("no line for ") + ACTIONS[a].fileName;
  if (damage.empty() && !Sound(read)) damage = "a key or button twice, or one kept for the game";
  if (!damage.empty()) {
    std::printf("Controls: %s is damaged (%s), the keys are the defaults\n", path.c_str(), damage.c_str());
    return false;
  }
  bindings = read;
  return true;
}

bool WriteBindings(const Bindings& bindings, const std::string& path) {
  std::string text;
  for (int a = 0; a < ACTION_COUNT; ++a)
    text += std::string(ACTIONS[a].fileName) + ' ' + KeyName(bindings.key[a]) + ' ' + PadName(bindings.pad[a]) + '\n';
  std::string error;
  if (ReplaceFileWhole(path, text, error)) return true;
  std::printf("Controls: %s, the keys are not remembered\n", error.c_str());
  return false;
}

void LoadBindings() {
  ReadBindings(g_controls.bound);
  s_pressedAs.clear();
}

void RememberBindings(const Bindings& bindings) {
  if (bindings == g_controls.bound) return;
  g_controls.bound = bindings;
  WriteBindings(bindings);
}

// ============================================================================
// The input edge
// ============================================================================

int PlayKeyCode(int physical, bool down) {
  if (!down) {
    auto went = s_pressedAs.find(physical);
    if (went == s_pressedAs.end()) return physical;
    const int code = went->second;
    s_pressedAs.erase(went);
    return code;
  }
  int code = physical;
  if (g_controls.playing && !g_controls.pageOpen && g_controls.bound != DefaultBindings()) {
    for (int a = 0; a < ACTION_COUNT; ++a)
      if (ACTIONS[a].defaultKey == physical) code = 0; // its action moved to another key
    for (int a = 0; a < ACTION_COUNT; ++a)
      if (g_controls.bound.key[a] == physical) code = ACTIONS[a].defaultKey;
  }
  if (code != physical) s_pressedAs[physical] = code;
  return code;
}

void TranslatePad(PadState& state) {
  if (!g_controls.playing || g_controls.pageOpen || g_controls.bound == DefaultBindings()) return;
  const PadState raw = state;
  for (int a = 0; a < ACTION_COUNT; ++a) SetPad(state, ACTIONS[a].defaultPad, false);
  for (int a = 0; a < ACTION_COUNT; ++a) SetPad(state, g_controls.bound.pad[a], false);
  for (int a = 0; a < ACTION_COUNT; ++a)
    if (PadPressed(raw, g_controls.bound.pad[a])) SetPad(state, ACTIONS[a].defaultPad, true);
}

int KeyFor(Action action) { return g_controls.bound.key[Index(action)]; }
int PadFor(Action action) { return g_controls.bound.pad[Index(action)]; }
