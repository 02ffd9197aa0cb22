#pragma once
#include <memory>
#include <string>

#include "core/Level.h"
#include "levels/GenericLevel.h"

// One of the player's own levels, played by the campaign's rules: its pizza cools while
// carried, its gates open as a campaign level's do (the pizza, the kill counts) and its
// turrets fire, and it ends at its END road, at any portal or at 0 hit points. The end
// screen keeps the result in the level's bests (LevelBests.txt), never in the highscore
// table; its button goes back to MY LEVELS (or the main menu) after a win and replays the
// level after a loss.

// Where the end screen's button leads after a win.
enum class AfterUserLevel { MyLevels, MainMenu };

// Plays the level NAME of the player's level folder ("../Assets/Levels/NAME.txt") from the
// end of this frame, in the playing state (STATE_LEVEL). False, with one line and nothing
// asked of the loop, when the level cannot be played.
bool PlayUserLevel(const std::string& name, AfterUserLevel after = AfterUserLevel::MyLevels);

// ---- the state table's side -----------------------------------------------------------------
// What PlayUserLevel asked for, until the state table makes it. Reset by assignment.
struct UserLevelRequest {
  std::string name;
  AfterUserLevel after = AfterUserLevel::MyLevels;
  bool pending = false;
};
extern UserLevelRequest g_userLevelRequest;
bool UserLevelRequested();
// The playing state's object for the level asked for; the request is taken.
std::unique_ptr<Level> MakeUserLevel();

class UserLevel : public GenericLevel {
public:
  UserLevel(std::string name, AfterUserLevel after);

  void Initialize() override; // also each replay
  void UpdateWorld() override;
  void HandleKeyboard() override;

  const std::string name;
  const AfterUserLevel after;
  float playSeconds = 0.0f; // the run's time: frames played, not the loading picture nor pauses

protected:
  BuildRequest MakeBuildRequest() const override;
  // Any portal ends the level with a win; it leads nowhere else.
  void CheckPortals() override;
};
