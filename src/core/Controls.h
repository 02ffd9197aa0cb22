#pragma once
#include <string>

struct PadState;

// The player's own keys and pad buttons for the actions of play. The rules, the autopilot
// and recorded runs keep speaking the game's own input codes (W drives, SPACE fires, the
// pad's A fires ...): while a level plays, a physical key or pad button is turned into
// the code of the action it is bound to as it arrives, before any rule sees it. Menus,
// text entry and the editor read the keys as they are. With the default bindings nothing
// is turned at all.

// ---- actions, in the order the controls page lists them ----------------------------
enum class Action : int {
  DriveForward = 0,
  DriveBack,
  TurnLeft,
  TurnRight,
  MainGun,
  LeftGun,
  RightGun,
  Talk, // talk, use a garage, close a card
  Pause,
  Count,
};
constexpr int ACTION_COUNT = static_cast<int>(Action::Count);

// Pad inputs a binding can name: the button indices of core/Gamepad.h, then the triggers.
enum : int {
  PAD_LEFT_TRIGGER = 14,
  PAD_RIGHT_TRIGGER = 15,
  PAD_INPUT_COUNT = 16,
  PAD_STICK = -1, // driving and turning stay on the sticks
};
constexpr int PAD_TRIGGER_PRESSED = 30; // a trigger past this counts as pressed, as the guns read it

struct ActionInfo {
  const char* fileName; // its word in Controls.txt
  const char* label;    // as the controls page shows it
  int defaultKey;       // the game's own input code for it
  int defaultPad;       // the game's own pad input for it, or PAD_STICK
};
const ActionInfo& InfoOf(Action action);

struct Bindings {
  int key[ACTION_COUNT] = {}; // physical key (input code) per action
  int pad[ACTION_COUNT] = {}; // physical pad input per action, or PAD_STICK
  bool operator==(const Bindings&) const = default;
};
Bindings DefaultBindings();

// ---- rebinding ------------------------------------------------------------------------
enum class BindResult {
  Bound,    // done (or it was already so)
  Reserved, // F11, F12 and Escape keep their own meaning; the sticks and the pause key stay
  Taken,    // another action holds it: `holder` says which; nothing changed
};
BindResult BindKey(Bindings& bindings, Action action, int key, Action& holder);
BindResult BindPad(Bindings& bindings, Action action, int padInput, Action& holder);
// The two actions exchange their keys (pad: their pad inputs).
void SwapKeys(Bindings& bindings, Action a, Action b);
void SwapPads(Bindings& bindings, Action a, Action b);

// ---- names ------------------------------------------------------------------------------
std::string KeyName(int code);      // "W", "SPACE", "F5", "NUM4", "PGUP"; "#code" for others
int KeyFromName(const std::string& name); // 0 for a name no key has
std::string PadName(int padInput);  // "A", "LB", "START", "LT", "STICK"
int PadFromName(const std::string& name, bool& found);

// ---- the file -----------------------------------------------------------------------------
// One "action key pad" line per action ("main SPACE A"), in any order. A missing file is
// the defaults; a damaged one (an unknown word, a reserved or doubled key, a missing
// action) gives the defaults and one line on standard output; false then.
inline constexpr const char* CONTROLS_PATH = "../Assets/Controls.txt";
const std::string& ControlsPath();
void SetControlsPath(const std::string& path); // tests keep their own
bool ReadBindings(Bindings& bindings, const std::string& path = ControlsPath());
// Temporary file, sync, rename; a failure prints one line and leaves the old file.
bool WriteBindings(const Bindings& bindings, const std::string& path = ControlsPath());

// ---- shared by several modules -------------------------------------------
struct ControlsState {
  Bindings bound = DefaultBindings();
  bool playing = false;   // a level plays: keys and pad are turned (the levels set it)
  bool pageOpen = false;  // the controls page shows: keys and pad reach it as they are
  bool listening = false; // the controls page waits for a key: the next key press goes to it
  int heard = 0;          // that key press (physical code), 0 until one came

  void Reset() { *this = ControlsState(); }
};
extern ControlsState g_controls;

// The bindings read at start-up (Controls.txt); a change the page makes is written at once.
void LoadBindings();
void RememberBindings(const Bindings& bindings);

// ---- the input edge -------------------------------------------------------------------------
// The code a physical key press or release reaches the game with; 0 drops it (a default
// key of an action bound elsewhere). A release goes out as its press went in.
int PlayKeyCode(int physical, bool down);
// The pad as the rules should see it, from the pad as it is.
void TranslatePad(PadState& state);
// The key the player presses for an action, and the pad input (what the hints show).
int KeyFor(Action action);
int PadFor(Action action);
