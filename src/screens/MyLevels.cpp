#include "screens/MyLevels.h"
#include "audio/Audio.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/GameState.h"
#include "core/Window.h"
#include "levels/Replay.h"
#include "platform/KeyCodes.h"
#include "render/Font.h"
#include "render/SquarePrimitive.h"
#include "render/Texture.h"
#include "screens/Button.h"
#include "screens/UserLevel.h"
#include <algorithm>
#include <memory>

// ============================================================================
// The list's state
// ============================================================================

MyLevelsState g_myLevels;

namespace {

// The board (mylevels.png, 1000 x 680) sits at the screen's centre; these are offsets from
// its top-left corner, as the picture lays them out.
constexpr float BOARD_HALF_W = 500.0f, BOARD_HALF_H = 340.0f;
constexpr float ROWS_TOP = 118.0f, ROW_HEIGHT = 34.0f, ROWS_LEFT = 36.0f, ROWS_WIDTH = 900.0f;
constexpr float BASELINE = 24.0f; // a row's text, below the row's top
constexpr float NAME_X = 50.0f, OBJECTS_X = 520.0f, TOTAL_X = 660.0f, TIME_X = 820.0f, ROW_RIGHT = 926.0f;
constexpr float TRACK_X = 957.0f, TRACK_HALF_W = 5.0f;
constexpr float FOOTER_Y = 556.0f, BACK_Y = 612.0f;
constexpr float TEXT_SCALE = 0.8f;
constexpr int WHEEL_ROWS = 3; // rows a wheel notch scrolls

const Vec3 INK(1.0f, 1.0f, 1.0f);
const Vec3 DIM(0.76f, 0.8f, 0.83f);
const Vec3 FAULT(0.94f, 0.45f, 0.35f);
constexpr float WATCH_HALF_W = 50.0f, WATCH_HALF_H = 20.0f, WATCH_RAISE = 7.0f; // WATCH on the footer's line

// The pictures: made as the list opens, let go with the menu.
struct ListPictures {
  std::shared_ptr<Texture> board;
  std::shared_ptr<Button> back;
  std::shared_ptr<Font> font;
  std::shared_ptr<SquarePrimitive> highlight;
  std::shared_ptr<SquarePrimitive> thumb;
  std::shared_ptr<Button> watch;
  Vec3 lastMouse;
};
ListPictures s_pictures;

float Left() { return g_screen.width / 2.0f - BOARD_HALF_W; }
float Top() { return g_screen.height / 2.0f - BOARD_HALF_H; }
int RowCount() { return static_cast<int>(g_myLevels.rows.size()); }
int LastTop() { return std::max(0, RowCount() - MY_LEVELS_ROWS_SHOWN); }

float ThumbHalfHeight() {
  const float track = MY_LEVELS_ROWS_SHOWN * ROW_HEIGHT;
  if (RowCount() <= MY_LEVELS_ROWS_SHOWN) return track / 2.0f;
  return std::max(12.0f, track / 2.0f * MY_LEVELS_ROWS_SHOWN / RowCount());
}

void MakePictures() {
  const Vec3 centre(g_screen.width / 2.0f, g_screen.height / 2.0f);
  if (!s_pictures.board) {
    s_pictures.board = std::make_shared<Texture>("../Assets/image/mylevels.png", 1, centre, 500, 340);
    s_pictures.board->Init();
    s_pictures.back = std::make_shared<Button>(1, Vec3(centre.x, Top() + BACK_Y), 100, 45, "back",
                                               "../Assets/image/optiontmp/button/cancel.txt",
                                               "../Assets/image/optiontmp/button/cancel.png");
    s_pictures.font = std::make_shared<Font>();
    s_pictures.font->Init();
    s_pictures.highlight = std::make_shared<SquarePrimitive>(centre, static_cast<int>(ROWS_WIDTH / 2),
                                                             static_cast<int>(ROW_HEIGHT / 2), 0.96f, 0.76f, 0.26f, 0.35f);
    s_pictures.highlight->Init();
    s_pictures.watch = std::make_shared<Button>(
        1, Vec3(Left() + ROWS_LEFT + ROWS_WIDTH - WATCH_HALF_W, Top() + FOOTER_Y - WATCH_RAISE),
        static_cast<int>(WATCH_HALF_W), static_cast<int>(WATCH_HALF_H), "WATCH", "../Assets/image/WatchBtns.txt",
        "../Assets/image/WatchBtns.png");
  }
  // The thumb's length says how much of the list shows: made anew for each reading.
  s_pictures.thumb = std::make_shared<SquarePrimitive>(centre, static_cast<int>(TRACK_HALF_W),
                                                       static_cast<int>(ThumbHalfHeight()), 0.96f, 0.76f, 0.26f, 1.0f);
  s_pictures.thumb->Init();
  s_pictures.lastMouse = g_input.mousePosition;
}

// Keeps the chosen row in view.
void Reveal() {
  if (g_myLevels.selected < g_myLevels.top) g_myLevels.top = g_myLevels.selected;
  if (g_myLevels.selected >= g_myLevels.top + MY_LEVELS_ROWS_SHOWN)
    g_myLevels.top = g_myLevels.selected - MY_LEVELS_ROWS_SHOWN + 1;
  g_myLevels.top = std::clamp(g_myLevels.top, 0, LastTop());
}

void Select(int row) {
  if (RowCount() == 0) return;
  g_myLevels.selected = std::clamp(row, 0, RowCount() - 1);
  Reveal();
}

void Scroll(int rows) { g_myLevels.top = std::clamp(g_myLevels.top + rows, 0, LastTop()); }

// Plays the chosen row; a row that cannot be played stays where it is.
void Choose() {
  if (g_myLevels.selected < 0 || g_myLevels.selected >= RowCount()) return;
  const LevelSummary& row = g_myLevels.rows[g_myLevels.selected];
  if (!row.problem.empty()) return;
  PlayClick();
  g_myLevels.lastPlayed = row.name;
  PlayUserLevel(row.name);
}

bool ChosenWatchable() {
  return g_myLevels.selected >= 0 && g_myLevels.selected < RowCount() &&
         g_myLevels.watchable.count(g_myLevels.rows[g_myLevels.selected].name) > 0;
}

// The chosen row's best run; the list opens again after it.
void Watch() {
  if (!ChosenWatchable()) return;
  const std::string& name = g_myLevels.rows[g_myLevels.selected].name;
  PlayClick();
  g_myLevels.lastPlayed = name;
  if (!WatchBestRun(name, STATE_MAIN_MENU)) return;
  g_myLevels.reopen = true;
  CloseMyLevels();
}

bool OverWatch() { return ChosenWatchable() && s_pictures.watch->UnderMouse(); }

// The row under a logical point, or -1.
int RowAt(const Vec3& p) {
  const float x = p.x - Left() - ROWS_LEFT, y = p.y - Top() - ROWS_TOP;
  if (x < 0.0f || x >= ROWS_WIDTH || y < 0.0f || y >= MY_LEVELS_ROWS_SHOWN * ROW_HEIGHT) return -1;
  const int row = g_myLevels.top + static_cast<int>(y / ROW_HEIGHT);
  return row < RowCount() ? row : -1;
}

// The text cut to fit `width` logical pixels at the list's scale, with "..." when cut.
std::string Fit(const std::string& text, float width) {
  auto pixels = [](const std::string& s) {
    float total = 0.0f;
    for (char c : s) {
      float w = 0.0f, h = 0.0f;
      GlyphCell(c, TEXT_SCALE, w, h);
      total += w * g_screen.width / 2.0f;
    }
    return total;
  };
  if (pixels(text) <= width) return text;
  std::string cut = text;
  while (!cut.empty() && pixels(cut + "...") > width) cut.pop_back();
  return cut + "...";
}

void HandleListKeys() {
  if (ConsumeTrigger(KEY_W)) Watch();
  if (ConsumeTrigger(KEY_UP)) Select(g_myLevels.selected - 1);
  if (ConsumeTrigger(KEY_DOWN)) Select(g_myLevels.selected + 1);
  if (ConsumeTrigger(KEY_PAGE_UP)) Select(g_myLevels.selected - MY_LEVELS_ROWS_SHOWN);
  if (ConsumeTrigger(KEY_PAGE_DOWN)) Select(g_myLevels.selected + MY_LEVELS_ROWS_SHOWN);
  if (ConsumeTrigger(KEY_HOME)) Select(0);
  if (ConsumeTrigger(KEY_END)) Select(RowCount() - 1);
  if (ConsumeTrigger(KEY_ENTER)) Choose();
}

void HandleListMouse() {
  const int steps = g_input.wheelSteps;
  g_input.wheelSteps = 0;
  if (steps) Scroll(-steps * WHEEL_ROWS);
  if (g_input.usingGamepad) return;
  // The pointer chooses a row only when it moves, or the keys could not move off it.
  const Vec3 mouse = g_input.mousePosition;
  const bool moved = mouse.x != s_pictures.lastMouse.x || mouse.y != s_pictures.lastMouse.y;
  s_pictures.lastMouse = mouse;
  const int row = RowAt(mouse);
  if (row >= 0 && moved) g_myLevels.selected = row;
  s_pictures.back->SetFrame(s_pictures.back->UnderMouse() ? 1 : 0);
  if (s_pictures.back->Clicked()) {
    PlayClick();
    CloseMyLevels();
    return;
  }
  s_pictures.watch->SetFrame(OverWatch() ? 0 : 1);
  if (OverWatch() && ConsumeTrigger(MOUSE_LEFT)) {
    Watch();
    return;
  }
  if (row >= 0 && ConsumeTrigger(MOUSE_LEFT)) {
    g_myLevels.selected = row;
    Choose();
  }
}

void HandleListPad() {
  Gamepad& pad = g_gamepad;
  const int y = pad.state.thumbLY;
  const bool yOut = y < -LEFT_THUMB_DEADZONE || y > LEFT_THUMB_DEADZONE;
  if (yOut && !g_myLevels.stickLatched) Select(g_myLevels.selected + (y > 0 ? -1 : 1));
  g_myLevels.stickLatched = yOut;
  if (pad.triggered[PAD_UP]) Select(g_myLevels.selected - 1);
  if (pad.triggered[PAD_DOWN]) Select(g_myLevels.selected + 1);
  if (pad.triggered[PAD_LB]) Select(g_myLevels.selected - MY_LEVELS_ROWS_SHOWN);
  if (pad.triggered[PAD_RB]) Select(g_myLevels.selected + MY_LEVELS_ROWS_SHOWN);
  if (pad.triggered[PAD_A]) {
    pad.triggered[PAD_A] = false;
    Choose();
  }
  if (pad.triggered[PAD_B]) {
    pad.triggered[PAD_B] = false;
    CloseMyLevels();
  }
  if (pad.triggered[PAD_Y]) {
    pad.triggered[PAD_Y] = false;
    Watch();
  }
}

// The game's letters read best as capitals; a file name is shown as it is spelt.
std::string Capitals(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string BestTotalText(const std::string& name) {
  auto found = g_myLevels.bests.find(name);
  return found == g_myLevels.bests.end() ? "-" : std::to_string(found->second.total);
}

std::string BestTimeText(const std::string& name) {
  auto found = g_myLevels.bests.find(name);
  return found == g_myLevels.bests.end() ? "-" : RunTimeText(found->second.seconds);
}

} // namespace

// ============================================================================
// Opening and closing
// ============================================================================

void OpenMyLevels() {
  g_myLevels.rows.clear();
  for (const std::string& name : ListOwnLevels()) g_myLevels.rows.push_back(SummariseLevel(name));
  g_myLevels.bests = ReadLevelBests();
  g_myLevels.watchable.clear();
  for (const LevelSummary& row : g_myLevels.rows)
    if (row.problem.empty() && BestRunPlayable(row.name)) g_myLevels.watchable.insert(row.name);
  g_myLevels.selected = g_myLevels.top = 0;
  for (int i = 0; i < RowCount(); ++i)
    if (g_myLevels.rows[i].name == g_myLevels.lastPlayed) g_myLevels.selected = i;
  Reveal();
  g_input.wheelSteps = 0;
  g_myLevels.stickLatched = false;
  g_myLevels.open = true;
  MakePictures();
}

void CloseMyLevels() { g_myLevels.open = false; }

void ReleaseMyLevels() { s_pictures = ListPictures(); }

// ============================================================================
// The frame
// ============================================================================

void UpdateMyLevels() {
  if (!g_myLevels.open) return;
  if (!s_pictures.board) MakePictures();
  if (ConsumeTrigger(KEY_ESCAPE)) {
    CloseMyLevels();
    return;
  }
  HandleListKeys();
  if (g_myLevels.open) HandleListPad();
  if (g_myLevels.open) HandleListMouse();
}

void DrawMyLevels() {
  if (!g_myLevels.open || !s_pictures.board) return;
  s_pictures.board->Draw();
  s_pictures.back->Draw();
  Font& font = *s_pictures.font;
  const float left = Left(), top = Top();

  if (g_myLevels.rows.empty()) {
    font.DrawText("No levels of your own yet.", Vec3(left + NAME_X, top + ROWS_TOP + BASELINE), INK, TEXT_SCALE);
    font.DrawText("Press E on the main menu to open the editor, then save a level.",
                  Vec3(left + NAME_X, top + ROWS_TOP + ROW_HEIGHT + BASELINE), DIM, TEXT_SCALE);
    return;
  }

  const int last = std::min(RowCount(), g_myLevels.top + MY_LEVELS_ROWS_SHOWN);
  for (int i = g_myLevels.top; i < last; ++i) {
    const float rowTop = top + ROWS_TOP + ROW_HEIGHT * (i - g_myLevels.top);
    if (i == g_myLevels.selected) {
      s_pictures.highlight->SetPosition(Vec3(left + ROWS_LEFT + ROWS_WIDTH / 2, rowTop + ROW_HEIGHT / 2), 0.0f);
      s_pictures.highlight->Draw();
    }
    const LevelSummary& row = g_myLevels.rows[i];
    const float baseline = rowTop + BASELINE;
    font.DrawText(Fit(row.name, OBJECTS_X - NAME_X - 20.0f), Vec3(left + NAME_X, baseline),
                  row.problem.empty() ? INK : FAULT, TEXT_SCALE);
    if (!row.problem.empty()) {
      font.DrawText(Fit(Capitals(row.problem), ROW_RIGHT - OBJECTS_X), Vec3(left + OBJECTS_X, baseline), FAULT, TEXT_SCALE);
      continue;
    }
    font.DrawText(std::to_string(row.objects), Vec3(left + OBJECTS_X, baseline), INK, TEXT_SCALE);
    font.DrawText(BestTotalText(row.name), Vec3(left + TOTAL_X, baseline), INK, TEXT_SCALE);
    font.DrawText(BestTimeText(row.name), Vec3(left + TIME_X, baseline), INK, TEXT_SCALE);
  }

  // Where the view is in the list.
  const float track = MY_LEVELS_ROWS_SHOWN * ROW_HEIGHT, half = ThumbHalfHeight();
  const float along = LastTop() > 0 ? static_cast<float>(g_myLevels.top) / LastTop() : 0.0f;
  s_pictures.thumb->SetPosition(Vec3(left + TRACK_X, top + ROWS_TOP + half + along * (track - 2 * half)), 0.0f);
  s_pictures.thumb->Draw();

  // The chosen row's line in full: why it cannot be played, or how far down the list it is.
  if (g_myLevels.selected >= 0 && g_myLevels.selected < RowCount()) {
    const LevelSummary& row = g_myLevels.rows[g_myLevels.selected];
    const std::string footer = row.problem.empty()
                                   ? row.name + "  (" + std::to_string(g_myLevels.selected + 1) + " of " +
                                         std::to_string(RowCount()) + ")"
                                   : "CANNOT BE PLAYED: " + Capitals(row.problem);
    const bool watch = ChosenWatchable();
    const float room = watch ? ROWS_WIDTH - 2 * WATCH_HALF_W - 30.0f : ROWS_WIDTH;
    font.DrawText(Fit(footer, room), Vec3(left + ROWS_LEFT, top + FOOTER_Y), row.problem.empty() ? DIM : FAULT,
                  TEXT_SCALE);
    if (watch) s_pictures.watch->Draw();
  }
}
