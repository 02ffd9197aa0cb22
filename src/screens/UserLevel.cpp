#include "screens/UserLevel.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "platform/KeyCodes.h"
#include "levels/FrontEnd.h"
#include "levels/OwnLevels.h"
#include "levels/PlayerRecords.h"
#include "objects/GameObject.h"
#include "objects/Predicates.h"
#include "objects/Vehicle.h"
#include "screens/MyLevels.h"
#include "screens/WinLoseScreen.h"
#include <cstdio>

UserLevelRequest g_userLevelRequest;

namespace {

// The end screen of a user level: the same panel and score, its own records and way on.
class UserLevelEndScreen : public WinLoseScreen {
public:
  explicit UserLevelEndScreen(const UserLevel& level) : level(level) {}

  void MoveOn(bool won, int&) override {
    if (!won) {
      g_loop.nextState = STATE_RESTART;
      return;
    }
    g_myLevels.reopen = level.after == AfterUserLevel::MyLevels;
    g_loop.nextState = STATE_MAIN_MENU;
  }

  std::string KeepResult(int total) override {
    if (!won) return "A LOSS KEEPS NO BESTS.";
    const BestNews news = RecordLevelWin(level.name, total, level.playSeconds);
    const std::string time = "TIME " + RunTimeText(level.playSeconds);
    if (news.total && news.seconds) return time + "  NEW BESTS!";
    if (news.total) return time + "  NEW BEST TOTAL!";
    if (news.seconds) return time + "  NEW BEST TIME!";
    return time;
  }

private:
  const UserLevel& level;
};

} // namespace

// ============================================================================
// Asking for a level
// ============================================================================

bool PlayUserLevel(const std::string& name, AfterUserLevel after) {
  const LevelSummary summary = SummariseLevel(name);
  if (!summary.problem.empty()) {
    std::printf("Error: the level %s cannot be played: %s\n", name.c_str(), summary.problem.c_str());
    return false;
  }
  g_userLevelRequest = UserLevelRequest{name, after, true};
  g_loop.nextState = STATE_LEVEL;
  return true;
}

bool UserLevelRequested() { return g_userLevelRequest.pending; }

std::unique_ptr<Level> MakeUserLevel() {
  const UserLevelRequest request = g_userLevelRequest;
  g_userLevelRequest = UserLevelRequest();
  return std::make_unique<UserLevel>(request.name, request.after);
}

// ============================================================================
// UserLevel
// ============================================================================

UserLevel::UserLevel(std::string levelName, AfterUserLevel afterWin)
    : GenericLevel(g_campaignWorld, g_frontEnd.garageOpen, g_frontEnd.helpOpen), name(std::move(levelName)),
      after(afterWin) {
  levelPath = "../Assets/Levels/" + name + ".txt";
  ownLevel = true;
}

// K at the end does what the end screen's button does: after a win, back to the list.
void UserLevel::HandleKeyboard() {
  if (g_play.levelWon && g_input.keyTriggered[KEY_K]) g_myLevels.reopen = after == AfterUserLevel::MyLevels;
  GenericLevel::HandleKeyboard();
}

BuildRequest UserLevel::MakeBuildRequest() const {
  BuildRequest request;
  request.path = levelPath;
  // Its kind is not read from its name: "MYBOSS" plays as any other level of the player's.
  request.rules.detectLevelKind = false;
  return request;
}

void UserLevel::Initialize() {
  playSeconds = 0.0f;
  if (!StartLevel()) return;
  world.isMainLevel = true; // the campaign's gates and turrets
  if (screens.endScreen) screens.endScreen = std::make_shared<UserLevelEndScreen>(*this);
}

void UserLevel::UpdateWorld() {
  playSeconds += g_loop.frameTime;
  GenericLevel::UpdateWorld();
}

void UserLevel::CheckPortals() {
  if (g_play.levelWon || g_play.levelLost || g_play.player->hp < 1) return;
  for (GameObject* gate : world.gates) {
    if (!gate->active || Contains(gate->name, "GATE")) continue;
    if (!Touches(*g_play.player, *gate)) continue;
    EndLevel(true);
    return;
  }
}
