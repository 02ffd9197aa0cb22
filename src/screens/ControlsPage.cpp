#include "screens/ControlsPage.h"
#include "audio/Audio.h"
#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/Options.h"
#include "core/Window.h"
#include "platform/KeyCodes.h"
#include "render/Font.h"
#include "render/SquarePrimitive.h"
#include "render/Texture.h"
#include "screens/Button.h"
#include <cctype>
#include <utility>

namespace {

// ============================================================================
// Layout: the pictures' own measures (content/art/image/optiontmp), about the screen centre
// ============================================================================

constexpr float ROW_TOP = -150.0f;  // first row's centre below the screen centre
constexpr float ROW_STEP = 40.0f;
constexpr float ROW_HALF_WIDTH = 306.0f;
constexpr float ROW_HALF_HEIGHT = 18.0f;
constexpr float KEY_CAP_X = 90.0f;      // the key caps' centre right of the screen centre
constexpr float PAD_CAP_X = 230.0f;
constexpr float HINT_Y = 228.0f;
constexpr float PAGE_BUTTONS_Y = 260.0f;
constexpr float STRIP_Y = 242.0f;   // the board under the pause panel

const char* BUTTON_FOLDER = "../Assets/image/optiontmp/button/";
const Vec3 INK(0.165f, 0.114f, 0.106f);   // @ink, on the key caps
const Vec3 PAPER(0.965f, 0.925f, 0.839f); // @paper, on the board
const Vec3 DIM(0.765f, 0.8f, 0.831f);     // @steelLight: what cannot change
const Vec3 CHEESE(0.961f, 0.761f, 0.259f); // @cheese: what waits for the player

Vec3 Centre() { return Vec3(g_screen.width / 2.0f, g_screen.height / 2.0f, 0.0f); }

std::shared_ptr<Button> MakeButton(const Vec3& at, int w, int h, const std::string& file) {
  const std::string base = std::string(BUTTON_FOLDER) + file;
  return std::make_shared<Button>(1, at, w, h, file, base + ".txt", base + ".png");
}

std::unique_ptr<Texture> MakePicture(const char* path, const Vec3& at, int w, int h) {
  auto picture = std::make_unique<Texture>(path, 1, at, w, h);
  picture->Init();
  return picture;
}

Action ActionAt(int row) { return static_cast<Action>(row); }

// What a row's pad cap says: the sticks are named for the row's way of driving.
std::string PadCap(int row) {
  const int pad = PadFor(ActionAt(row));
  if (pad != PAD_STICK) return PadName(pad);
  return row <= static_cast<int>(Action::DriveBack) ? "L STICK" : "R STICK";
}

} // namespace

// ============================================================================
// The page
// ============================================================================

ControlsPage::ControlsPage() {
  const Vec3 c = Centre();
  page = MakePicture("../Assets/image/optiontmp/controlsback.png", c, 340, 300);
  swapPanel = MakePicture("../Assets/image/optiontmp/swapback.png", c, 300, 200);
  highlight = std::make_unique<SquarePrimitive>(c, static_cast<int>(ROW_HALF_WIDTH), static_cast<int>(ROW_HALF_HEIGHT),
                                                0.961f, 0.761f, 0.259f, 0.22f);
  highlight->Init();
  font = std::make_unique<Font>();
  font->Init();
  defaults = MakeButton(c + Vec3(-140.0f, PAGE_BUTTONS_Y), 75, 26, "defaults");
  back = MakeButton(c + Vec3(140.0f, PAGE_BUTTONS_Y), 75, 26, "back");
  // The quit dialog's YES and NO, where that dialog has them.
  yes = std::make_shared<Button>(1, c + Vec3(-90.0f, 0.0f), 60, 35, "confirmyes", std::string(BUTTON_FOLDER) + "confirmyes.txt",
                                 std::string(BUTTON_FOLDER) + "confirmyes.png");
  no = std::make_shared<Button>(1, c + Vec3(90.0f, 0.0f), 60, 35, "confirm", std::string(BUTTON_FOLDER) + "confirm.txt",
                                std::string(BUTTON_FOLDER) + "confirm.png");
}

ControlsPage::~ControlsPage() { Close(); }

void ControlsPage::Open() {
  open = true;
  waiting = swapAsked = false;
  selected = 0;
  hint = "Choose an action, then press its new key or pad button.";
  g_controls.pageOpen = true;
}

void ControlsPage::Close() {
  open = waiting = swapAsked = false;
  g_controls.pageOpen = g_controls.listening = false;
  g_controls.heard = 0;
}

bool ControlsPage::ClickOn(Button& button) {
  button.SetFrame(button.UnderMouse() ? 1 : 0);
  if (!button.UnderMouse() || !ConsumeTrigger(MOUSE_LEFT)) return false;
  PlayClick();
  return true;
}

int ControlsPage::RowUnder(const Vec3& point) const {
  const Vec3 c = Centre();
  if (point.x < c.x - ROW_HALF_WIDTH || point.x > c.x + ROW_HALF_WIDTH) return -1;
  for (int row = 0; row < ACTION_COUNT; ++row) {
    const float y = c.y + ROW_TOP + ROW_STEP * row;
    if (point.y >= y - ROW_HALF_HEIGHT && point.y <= y + ROW_HALF_HEIGHT) return row;
  }
  return -1;
}

bool ControlsPage::PadPressed(int padInput) const {
  if (padInput < PAD_BUTTON_COUNT) return g_gamepad.triggered[padInput];
  const int side = padInput - PAD_LEFT_TRIGGER;
  const int value = side == 0 ? g_gamepad.state.leftTrigger : g_gamepad.state.rightTrigger;
  return value > PAD_TRIGGER_PRESSED && !triggerWasDown[side];
}

void ControlsPage::Update() {
  if (!open) return;
  if (swapAsked) UpdateSwap();
  else UpdateRows();
  triggerWasDown[0] = g_gamepad.state.leftTrigger > PAD_TRIGGER_PRESSED;
  triggerWasDown[1] = g_gamepad.state.rightTrigger > PAD_TRIGGER_PRESSED;
}

void ControlsPage::UpdateRows() {
  if (waiting) {
    Hear();
    if (waiting) return;
  }
  const int under = RowUnder(g_input.mousePosition);
  if (under >= 0 && ConsumeTrigger(MOUSE_LEFT)) {
    PlayClick();
    Choose(under);
    return;
  }
  if (ClickOn(*defaults)) {
    RememberBindings(DefaultBindings());
    hint = "The game's own keys and buttons are back.";
  }
  bool leave = ClickOn(*back) || ConsumeTrigger(KEY_ESCAPE);
  for (int button : {PAD_B, PAD_BACK})
    if (std::exchange(g_gamepad.triggered[button], false)) leave = true;
  if (leave) {
    Close();
    return;
  }
  if (ConsumeTrigger(KEY_UP) || std::exchange(g_gamepad.triggered[PAD_UP], false))
    selected = (selected + ACTION_COUNT - 1) % ACTION_COUNT;
  if (ConsumeTrigger(KEY_DOWN) || std::exchange(g_gamepad.triggered[PAD_DOWN], false))
    selected = (selected + 1) % ACTION_COUNT;
  if (ConsumeTrigger(KEY_ENTER) || std::exchange(g_gamepad.triggered[PAD_A], false)) Choose(selected);
}

void ControlsPage::Choose(int row) {
  selected = row;
  waiting = true;
  g_controls.listening = true;
  g_controls.heard = 0;
  // A press already waiting is not the answer.
  for (int i = 0; i < PAD_BUTTON_COUNT; ++i) g_gamepad.triggered[i] = false;
  hint = std::string("Press the new key or pad button for ") + InfoOf(ActionAt(row)).label + ".";
}

void ControlsPage::Hear() {
  const Action action = ActionAt(selected);
  int padInput = -1;
  for (int input = 0; input < PAD_INPUT_COUNT && padInput < 0; ++input)
    if (PadPressed(input)) padInput = input;
  const int key = std::exchange(g_controls.heard, 0);
  if (!key && padInput < 0) return;
  if (padInput >= 0 && padInput < PAD_BUTTON_COUNT) g_gamepad.triggered[padInput] = false;
  waiting = false;
  g_controls.listening = false;

  Bindings changed = g_controls.bound;
  Action holder = action;
  const bool pad = key == 0;
  const BindResult result = pad ? BindPad(changed, action, padInput, holder) : BindKey(changed, action, key, holder);
  const std::string name = pad ? PadName(padInput) : KeyName(key);
  if (result == BindResult::Bound) {
    RememberBindings(changed);
    hint = std::string(InfoOf(action).label) + ": " + name + ".";
  } else if (result == BindResult::Taken) {
    Offer(pad ? padInput : key, pad, holder);
  } else if (action == Action::Pause && !pad) {
    hint = "Escape always pauses; the pad's pause button can change.";
  } else if (pad) {
    hint = "Driving and turning stay on the sticks.";
  } else {
    hint = name + " is kept for the game (F11, F12 and Escape).";
  }
}

void ControlsPage::Offer(int code, bool pad, Action holder) {
  swapAsked = true;
  offered = code;
  offeredPad = pad;
  offeredHolder = holder;
}

void ControlsPage::UpdateSwap() {
  bool answered = false, answer = false;
  if (ClickOn(*yes) || ConsumeTrigger(KEY_ENTER) || ConsumeTrigger(KEY_Y) ||
      std::exchange(g_gamepad.triggered[PAD_A], false))
    answered = answer = true;
  else if (ClickOn(*no) || ConsumeTrigger(KEY_ESCAPE) || ConsumeTrigger('N') ||
           std::exchange(g_gamepad.triggered[PAD_B], false))
    answered = true;
  if (answered) AnswerSwap(answer);
}

void ControlsPage::AnswerSwap(bool yesSwap) {
  swapAsked = false;
  const Action action = ActionAt(selected);
  const std::string name = offeredPad ? PadName(offered) : KeyName(offered);
  if (!yesSwap) {
    hint = std::string(InfoOf(action).label) + " keeps its " + (offeredPad ? "button." : "key.");
    return;
  }
  Bindings changed = g_controls.bound;
  offeredPad ? SwapPads(changed, action, offeredHolder) : SwapKeys(changed, action, offeredHolder);
  RememberBindings(changed);
  hint = std::string(InfoOf(action).label) + ": " + name + ", and " + InfoOf(offeredHolder).label + " took the other.";
}

// ============================================================================
// Drawing
// ============================================================================

// The game's texts are capitals: the font's small letters are drawn narrowed.
void ControlsPage::DrawCentred(const std::string& mixed, float x, float y, const Vec3& colour, float scale) {
  std::string text = mixed;
  for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  float w = 0.0f, h = 0.0f;
  GlyphCell('A', scale, w, h);
  const float height = h * g_screen.height / 2.0f;
  font->DrawText(text, Vec3(x - TextWidth(text, scale) / 2.0f, y + height / 2.0f, 0.0f), colour, scale);
}

void ControlsPage::Draw() {
  if (!open) return;
  const Vec3 c = Centre();
  page->Draw();
  const int under = RowUnder(g_input.mousePosition);
  const int lit = waiting ? selected : (under >= 0 ? under : selected);
  highlight->SetPosition(Vec3(c.x, c.y + ROW_TOP + ROW_STEP * lit, 0.0f), 0.0f);
  highlight->Draw();
  for (int row = 0; row < ACTION_COUNT; ++row) {
    const float y = c.y + ROW_TOP + ROW_STEP * row;
    const bool fixedKey = row == static_cast<int>(Action::Pause);
    const bool fixedPad = PadFor(ActionAt(row)) == PAD_STICK;
    const bool asked = waiting && row == selected;
    DrawCentred(asked ? "?" : KeyName(KeyFor(ActionAt(row))), c.x + KEY_CAP_X, y, fixedKey ? DIM * 0.6f : INK, 0.65f);
    DrawCentred(asked ? "?" : PadCap(row), c.x + PAD_CAP_X, y, fixedPad ? DIM * 0.6f : INK, 0.65f);
  }
  DrawCentred(hint, c.x, c.y + HINT_Y, waiting ? CHEESE : DIM, 0.55f);
  defaults->Draw();
  back->Draw();

  if (!swapAsked) return;
  swapPanel->Draw();
  const std::string name = offeredPad ? PadName(offered) : KeyName(offered);
  const Action action = ActionAt(selected);
  const int old = offeredPad ? PadFor(action) : KeyFor(action);
  DrawCentred(name + " is " + InfoOf(offeredHolder).label + "'s " + (offeredPad ? "button." : "key."), c.x, c.y - 95.0f,
              PAPER, 0.6f);
  DrawCentred(std::string("Swap? ") + InfoOf(offeredHolder).label + " gets " + (offeredPad ? PadName(old) : KeyName(old)) + ".",
              c.x, c.y - 60.0f, CHEESE, 0.6f);
  yes->Draw();
  no->Draw();
}

// ============================================================================
// The board under the pause panel
// ============================================================================

ComfortStrip::ComfortStrip() {
  const Vec3 at = Centre() + Vec3(0.0f, STRIP_Y, 0.0f);
  board = MakePicture("../Assets/image/optiontmp/comfort.png", at, 300, 42);
  controls = MakeButton(at + Vec3(-190.0f, -2.0f), 85, 26, "controls");
  display = MakeButton(at + Vec3(0.0f, -2.0f), 85, 26, "display");
  shake = MakeButton(at + Vec3(190.0f, -2.0f), 85, 26, "shake");
}

ComfortStrip::~ComfortStrip() = default;

void ComfortStrip::Update(ControlsPage& page) {
  auto clicked = [](Button& button, unsigned idle) {
    const bool over = button.UnderMouse();
    button.SetFrame(idle + (over ? 1 : 0));
    if (!over || !ConsumeTrigger(MOUSE_LEFT)) return false;
    PlayClick();
    return true;
  };
  if (clicked(*controls, 0)) page.Open();
  // The loop switches the mode at its next frame, and remembers it as F12 does.
  if (clicked(*display, g_screen.fullscreen ? 0 : 2)) g_loop.toggleDisplay = true;
  if (clicked(*shake, g_options.shake ? 0 : 2)) {
    Options chosen = g_options;
    chosen.shake = !chosen.shake;
    RememberOptions(chosen);
  }
}

void ComfortStrip::Draw() {
  board->Draw();
  controls->Draw();
  display->Draw();
  shake->Draw();
}
