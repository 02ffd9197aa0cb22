#pragma once
#include <string>

#include "core/Level.h"
#include "levels/LevelBuild.h"
#include "levels/LevelScenery.h"
#include "levels/PathGrid.h"
#include "objects/World.h"
#include "objects/WorldRules.h"

class Gamepad;

// The campaign's levels, in the order it plays them.
inline constexpr const char* CAMPAIGN_LEVEL_PATHS[3] = {"../Assets/Levels/FIRSTMOD.txt", "../Assets/Levels/SECOND.txt",
                                                        "../Assets/Levels/BOSS.txt"};
// The kind a level file plays as: the campaign's files as its main levels and its boss level;
// any other file only ever plays in the tutorial's state (a stage, a portal's target, the
// editor's play test).
LevelKind KindOfLevel(const std::string& path);

// The campaign: FIRSTMOD, SECOND and BOSS in order, each built from its file, played, and
// ended at the END road, at a portal or at 0 hit points. The end screen advances
// levelIndex; a restart builds the level it names (or replays a lost one).
//
// The frame is written over a World and a set of screens so that the tutorial, which plays
// by the same rules over its own World, can reuse it.
class GenericLevel : public Level {
public:
  GenericLevel();
  ~GenericLevel() override; // where the screens' types are complete

  void Load() override;
  void Initialize() override;
  void Update() override;
  void Draw() override;
  void Free() override;
  void Unload() override {}
  void HandleKeyboard() override;
  void HandleMouse() override {}
  void HandleGamepad(Gamepad& pad, GameObject* player) override;

  // The gameplay of one frame (run while the level plays and has not ended).
  virtual void UpdateWorld();
  // A hit asked for a shake towards `target` (none starts while one runs).
  void StartShake(const Vec3& target);
  void UpdateShake();

  // The pizza's warmth counts for the score: it has been picked up.
  bool PizzaCounts() const { return ThermometerShown(); }

  std::string levelPath;
  int levelIndex = 0;
  bool ownLevel = false; // MY LEVELS' rules (a recorded run must be played by them again)
  std::string levelPaths[3] = {CAMPAIGN_LEVEL_PATHS[0], CAMPAIGN_LEVEL_PATHS[1], CAMPAIGN_LEVEL_PATHS[2]};

  // ---- what the frame works on (public for the tests that drive it) --------------------
  World& world;
  LevelScreens screens;
  PathGrid pathGrid;
  int pathFrames = 0;          // UpdateWorld passes since the grid was last laid
  bool shaking = false;
  unsigned int shakeCounter = 0;
  int shakeDirection = 0;
  float smokeClock = 0.0f;
  bool overlayClosedThisFrame = false; // the pad's X must not reopen what it just closed
  int wallOutlines = -1;       // the debug outline every wall was last given; -1 none since the build
  bool built = false;                  // the last build found a PLAYER
  Vec3 cameraTarget;                   // where the camera was last told to look (logical pixels)
  LevelScenery scenery;                // the scenery layers, baked where they never change

protected:
  // A playing state that runs this frame over a World and overlay flags of its own.
  GenericLevel(World& world, bool& garageOpen, bool& helpOpen);
  bool& garageOpen; // the garage screen is open over the level
  bool& helpOpen;   // a talking character's card is shown
  float clearColour[3] = {0.0f, 0.6f, 0.0f};
  // The pizza drawn on the map, whether the thermometer shows, and the counter the end
  // screen's button advances.
  virtual GameObject* PizzaOnMap() const { return world.pizza; }
  virtual bool ThermometerShown() const { return g_play.pizzaCarried; }
  virtual int& EndScreenCounter() { return levelIndex; }

  // What the build is told: the campaign's rules over levelPath.
  virtual BuildRequest MakeBuildRequest() const;
  // The frame's own state as a level starts: no shake, no path pass, no smoke, no overlay
  // open or just closed, no pizza carried.
  void ResetFrame();
  // ResetFrame, then the build of MakeBuildRequest() with the camera's target on the player;
  // false when the level has no PLAYER.
  bool StartLevel();
  void FollowWithCamera();
  void CheckEndConditions();
  virtual void CheckPortals();
  void ResolvePortal(const std::string& portalName);
  void CollectStars();
  void EmitLowHealthSmoke();
  // Drawing pass: C (or a fresh press of the pad's X) next to a character shows its card;
  // only when no character was talked to does it open a garage in reach. Either pauses.
  void TalkAndGarageChecks();
  // Shows the card of the first character in reach whose talk came this frame (C, or the
  // pad when padOpens) and pauses under it; the character talked to, or null.
  NPC* TalkToCharacterInReach(bool padOpens);
  // What a talk and a garage entry open: the campaign's garage opens gates by level kind.
  virtual void Talked(const NPC&) {}
  virtual void EnteredGarage();
  void DrawWorld();
  void EndLevel(bool won);
  void CloseOverlays();
};

// The portal's target after "PORTAL" in its name: "END" (three characters holding END) asks
// for the main menu and returns an empty path; any other target gives its level file.
std::string PortalTarget(const std::string& portalName, bool& toMainMenu);
