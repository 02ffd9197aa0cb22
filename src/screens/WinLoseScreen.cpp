#include "screens/WinLoseScreen.h"
#include "audio/Audio.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "core/Window.h"
#include "levels/Hud.h"
#include "levels/Replay.h"
#include "objects/World.h"
#include "platform/KeyCodes.h"
#include "screens/Highscore.h"
#include "screens/MainMenu.h"
#include "screens/WeaponSelect.h"
#include <algorithm>
#include <climits>
#include <cmath>

namespace {
constexpr int CAMPAIGN_LEVELS = 3;

// WATCH, on the board right of the panel's button: the run just played, from its first frame.
Vec3 WatchCentre() { return Vec3(g_screen.width / 2.0f + 180.0f, g_screen.height / 2.0f + 150.0f); }
bool WatchOffered() { return !WatchingReplay() && !LastRunPath().empty(); }
} // namespace

WinLoseScreen::WinLoseScreen() {
  const float w = static_cast<float>(g_screen.width), h = static_cast<float>(g_screen.height);
  winPicture = std::make_shared<Texture>("../Assets/image/you_win.png", 1, Vec3(w / 2, h / 2), 320, 240);
  losePicture = std::make_shared<Texture>("../Assets/image/you_lose.png", 1, Vec3(w / 2, h / 2), 320, 240);
  winPicture->Init();
  losePicture->Init();
  endButton = std::make_shared<Button>(1, Vec3(w / 2, h / 2 + 150), 100, 45, "end",
                                       "../Assets/image/optiontmp/button/end.txt",
                                       "../Assets/image/optiontmp/button/end.png");
  watchButton = std::make_shared<Button>(1, WatchCentre(), 50, 20, "WATCH", "../Assets/image/WatchBtns.txt",
                                         "../Assets/image/WatchBtns.png");
  font = std::make_shared<Font>();
  font->Init();
  g_highscoreFile.resultRecorded = false;
  g_highscoreFile.rank = -1;
}

void WinLoseScreen::Update(bool won_, int& levelIndex) {
  won = won_;
  hoverPoint = g_input.mousePosition;
  const bool overWatch = WatchOffered() && watchButton->UnderPoint(hoverPoint);
  watchButton->SetFrame(overWatch ? 0 : 1);
  if (overWatch && ConsumeTrigger(MOUSE_LEFT)) {
    PlayClick();
    WatchReplay(LastRunPath(), STATE_MAIN_MENU);
    return;
  }
  const bool over = endButton->UnderPoint(hoverPoint);
  endButton->SetFrame(over ? 1 : 0);
  if (!over || !ConsumeTrigger(MOUSE_LEFT)) return;
  g_loop.paused = false;
  PlayClick();
  MoveOn(won, levelIndex);
}

void WinLoseScreen::MoveOn(bool won, int& levelIndex) {
  if (won) {
    ++levelIndex;
    g_loop.nextState = levelIndex < CAMPAIGN_LEVELS ? STATE_RESTART : STATE_MAIN_MENU;
  } else {
    g_loop.nextState = STATE_RESTART;
  }
}

float WinLoseScreen::Warmth() {
  const bool carried = pizzaCarried ? *pizzaCarried : g_play.pizzaCarried;
  if (!carried) {
    g_play.thermometer = 0.0f;
    return 0.0f;
  }
  // The thermometer keeps falling below 0 in play; a cold pizza only loses its bonus.
  return std::clamp(g_play.thermometer, 0.0f, 1.0f);
}

int WinLoseScreen::TotalScore(float t, int score) { return ScoreTotal(t, score); }

std::string WinLoseScreen::MultiplierDigits(float t) {
  std::string digits = std::to_string(static_cast<int>(t * 50));
  return digits.size() < 2 ? "0" + digits : digits;
}

void WinLoseScreen::Draw() {
  (won ? winPicture : losePicture)->Draw();
  endButton->Draw();

  const float t = Warmth();
  const int score = g_play.score;
  const int total = TotalScore(t, score);
  const float w = static_cast<float>(g_screen.width), h = static_cast<float>(g_screen.height);
  const float x = w / 2 - 250;
  const Vec3 ink(1.0f, 1.0f, 1.0f);
  font->DrawText("SCORE : " + std::to_string(score), Vec3(x, h / 2 - 100), ink, 1.0f);
  font->DrawText("THERMOMETER MULTIPLIER : 1 . " + MultiplierDigits(t), Vec3(x, h / 2 - 50), ink, 1.0f);
  font->DrawText("TOTAL SCORE : " + std::to_string(total), Vec3(x, h / 2), ink, 1.0f);

  if (!ranked) {
    // A watched run is not a new result: it keeps nothing and says so.
    resultLine = WatchingReplay() ? std::string("A WATCHED RUN IS NOT RANKED.") : KeepResult(total);
    ranked = true;
  }
  if (WatchOffered()) watchButton->Draw();
  font->DrawText(resultLine, Vec3(x, h / 2 + 50), ink, 1.0f);
  g_highscoreFile.resultRecorded = true;
}

std::string WinLoseScreen::KeepResult(int total) {
  if (!g_menu.highscore) g_menu.highscore = std::make_shared<Highscore>();
  g_highscoreFile.rank = g_menu.highscore->FindRank(total);
  if (g_highscoreFile.rank >= 0) g_menu.highscore->Insert(total, "NONAME");
  return g_highscoreFile.rank < 0 ? "I'M SORRY. NO HIGHSCORE FOR YOU." : "YOU'VE BEATEN A HIGHSCORE!";
}

void InstallFrontEndScreens() {
  g_frontEnd.makeGarage = [] { return std::unique_ptr<GarageScreen>(std::make_unique<WeaponSelect>()); };
  g_frontEnd.makeEndScreen = [] { return std::shared_ptr<EndScreen>(std::make_shared<WinLoseScreen>()); };
}
