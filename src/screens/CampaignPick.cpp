#include "screens/CampaignPick.h"
#include "audio/Audio.h"
#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "levels/GenericLevel.h"
#include "levels/PlayerRecords.h"
#include "levels/Replay.h"
#include "platform/KeyCodes.h"
#include "render/Texture.h"
#include "screens/Button.h"
#include <memory>
#include <vector>

namespace {

// The board (campaignPick.png, 580 x 340) left of the menu's board; the buttons are the
// menu's, 61 px apart, three of them from 128 px below the board's top, fewer centred there,
// each with room on its right for WATCH.
const Vec3 BOARD_CENTRE(536.0f, 400.0f);
constexpr float BOARD_HALF_W = 290.0f, BOARD_HALF_H = 170.0f;
constexpr float BUTTON_X = -40.0f, WATCH_X = 228.0f; // from the board's centre
constexpr float FIRST_BUTTON = 128.0f, BUTTON_STEP = 61.0f;
// Idle frames on the menu's sheet of the start and of the second and boss levels.
constexpr unsigned int START_FRAME[CAMPAIGN_LEVEL_COUNT] = {14, 16, 18};

struct Pick {
  bool open = false;
  std::vector<int> levels;                      // campaign indices offered, in order
  std::vector<bool> watchable;                  // each one's best run can be watched
  std::vector<std::shared_ptr<Button>> buttons; // one for each
  std::vector<std::shared_ptr<Button>> watch;   // WATCH beside each, drawn where watchable
  std::shared_ptr<Texture> board;
  int selection = 0;
  bool stickLatched = false;
  Vec3 lastMouse; // the pointer picks a button only when it moves, or the keys could not move off it
};
Pick s_pick;

void Begin(int index) {
  PlayClick();
  ChooseCampaignStart(index);
  s_pick.open = false;
  g_loop.nextState = STATE_LEVEL;
}

void Move(int step) {
  const int count = static_cast<int>(s_pick.buttons.size());
  if (count > 0) s_pick.selection = (s_pick.selection + step + count) % count;
}

bool OverWatch(size_t k) { return s_pick.watchable[k] && s_pick.watch[k]->UnderMouse(); }

// The best run of the pick's k-th level; the menu comes back after it.
void Watch(size_t k) {
  if (!s_pick.watchable[k]) return;
  PlayClick();
  if (WatchBestRun(LevelNameOf(CAMPAIGN_LEVEL_PATHS[s_pick.levels[k]]), STATE_MAIN_MENU)) s_pick.open = false;
}

bool OverBoard(const Vec3& p) {
  return p.x >= BOARD_CENTRE.x - BOARD_HALF_W && p.x <= BOARD_CENTRE.x + BOARD_HALF_W &&
         p.y >= BOARD_CENTRE.y - BOARD_HALF_H && p.y <= BOARD_CENTRE.y + BOARD_HALF_H;
}

} // namespace

void StartCampaign() {
  const CampaignProgress progress = ReadProgress();
  if (progress.ReachedCount() <= 1) {
    g_loop.nextState = STATE_LEVEL; // only the first level reached: as it always was
    return;
  }
  s_pick.levels.clear();
  s_pick.watchable.clear();
  s_pick.buttons.clear();
  s_pick.watch.clear();
  for (int i = 0; i < CAMPAIGN_LEVEL_COUNT; ++i)
    if (progress.reached[i] || i == 0) {
      s_pick.levels.push_back(i);
      s_pick.watchable.push_back(BestRunPlayable(LevelNameOf(CAMPAIGN_LEVEL_PATHS[i])));
    }
  const float middle = BOARD_CENTRE.y - BOARD_HALF_H + FIRST_BUTTON + BUTTON_STEP;
  const float first = middle - BUTTON_STEP * (s_pick.levels.size() - 1) / 2.0f;
  for (size_t k = 0; k < s_pick.levels.size(); ++k) {
    const float y = first + BUTTON_STEP * k;
    s_pick.watch.push_back(std::make_shared<Button>(1, Vec3(BOARD_CENTRE.x + WATCH_X, y), 50, 20, "WATCH",
                                                    "../Assets/image/WatchBtns.txt", "../Assets/image/WatchBtns.png"));
    auto button = std::make_shared<Button>(1, Vec3(BOARD_CENTRE.x + BUTTON_X, y), 200, 30,
                                           "DEFAULT", "../Assets/image/mainmenuBtns.txt",
                                           "../Assets/image/mainmenuBtns.png");
    button->SetFrame(START_FRAME[s_pick.levels[k]]);
    s_pick.buttons.push_back(std::move(button));
  }
  if (!s_pick.board) {
    s_pick.board = std::make_shared<Texture>("../Assets/image/campaignPick.png", 1, BOARD_CENTRE,
                                             static_cast<int>(BOARD_HALF_W), static_cast<int>(BOARD_HALF_H));
    s_pick.board->Init();
  }
  // The pad starts on the furthest level reached: the one a returning player wants.
  s_pick.selection = static_cast<int>(s_pick.buttons.size()) - 1;
  s_pick.stickLatched = true; // the push that chose CAMPAIGN must not move the pick too
  s_pick.lastMouse = g_input.mousePosition;
  s_pick.open = true;
}

bool CampaignPickOpen() { return s_pick.open; }

void CloseCampaignPick() { s_pick.open = false; }

void ReleaseCampaignPick() { s_pick = Pick(); }

void UpdateCampaignPick() {
  if (!s_pick.open) return;
  if (ConsumeTrigger(KEY_ESCAPE)) {
    CloseCampaignPick();
    return;
  }
  if (ConsumeTrigger(KEY_UP)) Move(-1);
  if (ConsumeTrigger(KEY_DOWN)) Move(+1);

  Gamepad& pad = g_gamepad;
  const int y = pad.state.thumbLY;
  const bool yOut = y < -LEFT_THUMB_DEADZONE || y > LEFT_THUMB_DEADZONE;
  if (yOut && !s_pick.stickLatched) Move(y > 0 ? -1 : +1);
  s_pick.stickLatched = yOut;
  if (pad.triggered[PAD_UP]) Move(-1);
  if (pad.triggered[PAD_DOWN]) Move(+1);
  if (pad.triggered[PAD_B]) {
    pad.triggered[PAD_B] = false;
    CloseCampaignPick();
    return;
  }
  if (pad.triggered[PAD_Y] || ConsumeTrigger(KEY_W)) {
    pad.triggered[PAD_Y] = false;
    Watch(static_cast<size_t>(s_pick.selection));
    return;
  }
  if (pad.triggered[PAD_A] || ConsumeTrigger(KEY_ENTER)) {
    pad.triggered[PAD_A] = false;
    Begin(s_pick.levels[s_pick.selection]);
    return;
  }

  // The mouse: hover highlights, a click chooses; a click beside the board closes it.
  if (g_input.usingGamepad) {
    g_input.mousePosition = s_pick.buttons[s_pick.selection]->Centre();
  } else if (g_input.mousePosition.x != s_pick.lastMouse.x || g_input.mousePosition.y != s_pick.lastMouse.y) {
    for (size_t k = 0; k < s_pick.buttons.size(); ++k)
      if (s_pick.buttons[k]->UnderMouse()) s_pick.selection = static_cast<int>(k);
  }
  s_pick.lastMouse = g_input.mousePosition;
  for (size_t k = 0; k < s_pick.buttons.size(); ++k) {
    Button& b = *s_pick.buttons[k];
    const unsigned int idle = START_FRAME[s_pick.levels[k]];
    b.SetFrame(static_cast<int>(k) == s_pick.selection ? idle + 1 : idle);
    s_pick.watch[k]->SetFrame(OverWatch(k) ? 0 : 1);
    if (OverWatch(k) && ConsumeTrigger(MOUSE_LEFT)) {
      Watch(k);
      return;
    }
    if (b.UnderMouse() && ConsumeTrigger(MOUSE_LEFT)) {
      Begin(s_pick.levels[k]);
      return;
    }
  }
  if (!OverBoard(g_input.mousePosition) && ConsumeTrigger(MOUSE_LEFT)) CloseCampaignPick();
}

void DrawCampaignPick() {
  if (!s_pick.open || !s_pick.board) return;
  s_pick.board->Draw();
  for (auto& b : s_pick.buttons) b->Draw();
  for (size_t k = 0; k < s_pick.watch.size(); ++k)
    if (s_pick.watchable[k]) s_pick.watch[k]->Draw();
}
