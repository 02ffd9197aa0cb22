#include "editor/EditorDialog.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/Window.h"
#include "platform/KeyCodes.h"
#include "render/AnimatedTexture.h"
#include "render/Font.h"
#include "render/SquarePrimitive.h"
#include "screens/Button.h"

namespace {

constexpr const char* ART = "../Assets/image/editor/";
enum : int { SAVE = 0, DISCARD = 1, STAY = 2, RESTORE = 3 };
constexpr DialogAnswer ANSWER_OF[] = {DialogAnswer::Save, DialogAnswer::Discard, DialogAnswer::Stay,
                                      DialogAnswer::Restore};

// The board's colours for text, from the game's palette: paper and light steel.
const Vec3 TEXT_COLOUR(0.965f, 0.925f, 0.839f);
const Vec3 HINT_COLOUR(0.765f, 0.8f, 0.831f);

std::shared_ptr<Button> MakeButton(const char* file) {
  const std::string base = std::string(ART) + file;
  return std::make_shared<Button>(1, Vec3(), 80, 35, file, base + ".txt", base + ".png");
}

void DrawCentred(Font& font, const std::string& text, float x, float y, const Vec3& colour, float scale) {
  font.DrawText(text, Vec3(x - TextWidth(text, scale) / 2.0f, y, 0.0f), colour, scale);
}

// A question takes the whole keyboard: nothing typed while it was open acts afterwards.
void SwallowInput() {
  for (auto& [code, triggered] : g_input.keyTriggered) triggered = false;
  g_input.typedText.clear();
  g_input.lastDigit = 10;
  g_input.lastKeyChar = '-';
  g_input.wheelSteps = 0;
  for (bool& triggered : g_gamepad.triggered) triggered = false;
}

} // namespace

void EditorDialog::Make() {
  if (board) return;
  board = std::make_shared<AnimatedTexture>((std::string(ART) + "dialog.png").c_str(), 1, Vec3(), 300, 200,
                                            (std::string(ART) + "dialog.txt").c_str());
  board->Init();
  veil = std::make_shared<SquarePrimitive>(Vec3(), 10, 10, 0.0f, 0.0f, 0.0f, 0.45f);
  veil->Init();
  buttons = {MakeButton("dialogSave"), MakeButton("dialogDiscard"), MakeButton("dialogStay"),
             MakeButton("dialogRestore")};
}

// Around the screen's centre, as the pause panel is, whatever size the screen has now.
void EditorDialog::Layout() {
  const float cx = g_screen.width / 2.0f, cy = g_screen.height / 2.0f;
  board->SetPosition(Vec3(cx, cy, 0.0f), 0.0f);
  veil->halfWidth = g_screen.width / 2 + 1;
  veil->halfHeight = g_screen.height / 2 + 1;
  veil->SetPosition(Vec3(cx, cy, 0.0f), 0.0f);
  shown = kind == DialogKind::Unsaved ? std::vector<int>{SAVE, DISCARD, STAY} : std::vector<int>{RESTORE, DISCARD};
  const float step = 180.0f, left = cx - step * (static_cast<float>(shown.size()) - 1) / 2.0f;
  for (size_t i = 0; i < shown.size(); ++i) buttons[shown[i]]->SetPosition(Vec3(left + step * i, cy + 40, 0.0f));
}

void EditorDialog::Open(DialogKind k, const std::string& name) {
  Make();
  kind = k;
  levelName = name;
  open = true;
  highlighted = 0;
  lastMouse = g_input.mousePosition;
  Layout();
  // Only presses made while the question is shown answer it.
  g_gamepad.Update();
  SwallowInput();
}

void EditorDialog::Close() { open = false; }

DialogAnswer EditorDialog::Take(int index) const {
  if (index < 0 || index >= static_cast<int>(shown.size())) return DialogAnswer::None;
  return ANSWER_OF[shown[index]];
}

DialogAnswer EditorDialog::Update() {
  if (!open) return DialogAnswer::None;
  const int count = static_cast<int>(shown.size());
  const DialogAnswer back = kind == DialogKind::Unsaved ? DialogAnswer::Stay : DialogAnswer::Later;
  DialogAnswer answer = DialogAnswer::None;

  const Vec3 mouse = g_input.mousePosition;
  const bool moved = !(mouse == lastMouse);
  lastMouse = mouse;
  int under = -1;
  for (int i = 0; i < count; ++i)
    if (buttons[shown[i]]->UnderPoint(mouse)) under = i;
  if (moved && under >= 0) highlighted = under;
  if (ConsumeTrigger(MOUSE_LEFT) && under >= 0) answer = Take(under);

  if (ConsumeTrigger(KEY_LEFT)) highlighted = (highlighted + count - 1) % count;
  if (ConsumeTrigger(KEY_RIGHT)) highlighted = (highlighted + 1) % count;
  if (ConsumeTrigger(KEY_ENTER)) answer = Take(highlighted);
  if (ConsumeTrigger(KEY_D)) answer = DialogAnswer::Discard;
  if (ConsumeTrigger(KEY_ESCAPE)) answer = back;
  if (kind == DialogKind::Unsaved && ConsumeTrigger(KEY_S)) answer = DialogAnswer::Save;
  if (kind == DialogKind::Restore && ConsumeTrigger(KEY_R)) answer = DialogAnswer::Restore;

  g_gamepad.Update();
  const bool* pad = g_gamepad.triggered;
  if (pad[PAD_LEFT]) highlighted = (highlighted + count - 1) % count;
  if (pad[PAD_RIGHT]) highlighted = (highlighted + 1) % count;
  if (pad[PAD_A]) answer = Take(highlighted);
  if (pad[PAD_X]) answer = DialogAnswer::Discard;
  if (pad[PAD_B] || pad[PAD_START]) answer = back;

  SwallowInput();
  return answer;
}

void EditorDialog::Draw(Font& font) {
  if (!open || !board) return;
  Layout();
  const float cx = g_screen.width / 2.0f, top = g_screen.height / 2.0f - 200.0f;
  veil->Draw();
  board->SetFrame(kind == DialogKind::Unsaved ? 0 : 1);
  board->Draw();
  const bool unsaved = kind == DialogKind::Unsaved;
  DrawCentred(font, unsaved ? levelName + " HAS CHANGES THAT ARE NOT SAVED" : levelName + " WAS NOT SAVED LAST TIME",
              cx, top + 140, TEXT_COLOUR, 0.55f);
  DrawCentred(font, unsaved ? "SAVE THEM FIRST?" : "OPEN THE COPY THE EDITOR KEPT?", cx, top + 178, TEXT_COLOUR, 0.55f);
  for (size_t i = 0; i < shown.size(); ++i) {
    Button& b = *buttons[shown[i]];
    b.SetFrame(static_cast<int>(i) == highlighted ? 1 : 0);
    b.Draw();
  }
  DrawCentred(font, unsaved ? "S SAVE    D DISCARD    ESC STAY" : "R RESTORE    D DISCARD    ESC LATER", cx,
              top + 335, HINT_COLOUR, 0.42f);
}

void EditorDialog::Release() {
  open = false;
  board.reset();
  veil.reset();
  buttons.clear();
  shown.clear();
}
