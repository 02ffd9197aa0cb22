#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/Vec3.h"
#include "levels/FrontEnd.h"
#include "levels/Track.h"
#include "objects/GameObject.h"
#include "objects/World.h"
#include "objects/WorldRules.h"
#include "render/AnimatedTexture.h"
#include "render/SquarePrimitive.h"
#include "render/Texture.h"

// Where the camera's centre may go: the walls' extent, pulled in by half a screen. A level
// without walls has no limits and the camera follows the player anywhere.
struct CameraLimits {
  int minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool clamped = false; // false: no walls, no limits

  // Per axis: below the minimum gives the minimum, else above the maximum the maximum. When
  // the level is narrower than the screen the minimum exceeds the maximum and a target
  // lands on one side or the other; that is how the levels were laid out, so it stays.
  Vec3 Clamp(const Vec3& target) const;
};

// From the walls' centres (truncated to whole units); prints "walls N".
CameraLimits ComputeCameraLimits(const std::vector<GameObject*>& walls);

// What differs between the levels that use this build (the campaign and the tutorial).
struct BuildRules {
  std::string gunnerMark = "ENEMY_3"; // a name holding this (or exactly "ENEMY") is a gunner
  bool honourReverse = true;          // "REVERSE" in a patroller's name starts it backwards
  bool detectLevelKind = true;        // boss and main levels by path, and their music
};

// The campaign's rules (the defaults above), or the tutorial's: any numbered gunner, every
// patroller forwards, no kind detection.
BuildRules BuildRulesFor(LevelKind kind);

// What the build makes of an object by its name: the first of these that the name calls for.
// Gate holds portals too; Character and Garage also need the loader's NPC kind.
enum class ObjectRole : int {
  None = 0,
  Shooter,    // exactly "ENEMY", or holding the rules' gunner mark
  PlayerShot, // "PROJECTILE"
  EnemyShot,  // "ENEMYPROJECTILE"
  Patroller,  // holding "ENEMY2"
  Wall,       // "WALL"
  Sack,       // "SACK"
  Gate,       // holding "PORTAL" or "GATE"
  Character,  // holding "NPC"
  Garage,     // holding "GARAGE"
  Road,       // "ROAD" or "END"
  Fuel,       // "GAS"
  Pizza,      // "PIZZA"
  Filler,     // "FILLER"
};
ObjectRole RoleOf(const std::string& name, const BuildRules& rules);

// Step 8 of the build: every object of world.levelObjects into the role list its name calls
// for, with its role values. The player must already be in g_play.player (shots join its pool).
void SortObjectsIntoRoles(World& world, const BuildRules& rules);

// The loading picture shown over the level's first seconds, then a fade from black.
struct LoadingScreen {
  std::unique_ptr<AnimatedTexture> picture;
  std::unique_ptr<SquarePrimitive> loadVeil;
  std::unique_ptr<SquarePrimitive> fadeVeil;
  float loadTime = 0.0f;      // seconds of short frames counted so far
  float loadVeilAlpha = 1.0f;
  float fadeVeilAlpha = 1.0f;
  bool shown = true;          // the loading picture is up
  bool pending = true;        // the first frame after the loading has not passed yet
  double startedAt = 0.0;     // real seconds when the build finished

  // One frame; true while the loading picture still holds the level (the frame ends).
  // Only frames under 0.1 s count towards the 3 s, so a stall does not skip it; and after
  // 10 s of real time it ends anyway, or a machine that never makes 10 frames a second
  // would never get to play. The fade that follows steps by at most 0.1 s a frame.
  bool Update(float frameTime, double now);
  void Draw();
};

// Real seconds on a steady clock, as the loading screen counts them.
double RealSeconds();

// The screen objects every playing level has beside its world.
struct LevelScreens {
  std::unique_ptr<Texture> garagePicture;
  std::unique_ptr<AnimatedTexture> explosion;
  std::unique_ptr<GameObject> keyPrompt;   // "CKey", shown next to a character the player is near
  std::unique_ptr<GameObject> helpPicture; // "HelpScreen", a talking character's card
  std::shared_ptr<Track> track;
  std::shared_ptr<EndScreen> endScreen;    // null without a front end
  std::unique_ptr<GarageScreen> garage;    // null without a front end
  LoadingScreen loading;
  CameraLimits limits;
  int pulseCounter = 0;        // the player's heartbeat while alive
  bool explosionShown = false; // the one-shot explosion after a loss
  float deathTime = 0.0f;      // seconds the explosion has been shown
  bool endSoundPlayed = false;
  float trackClock = 0.0f;     // seconds since the last track mark
};

// Everything a build is told: the level file, who it is for, and its picture of help.
struct BuildRequest {
  std::string path;
  BuildRules rules;
  std::string helpPicture = "../Assets/image/npc/npcdefault.png";
  bool helpOpen = false; // the help picture starts shown
};

// Builds the level of request.path into world and screens. False when the level has no
// PLAYER: one line is printed, the main menu is requested and nothing else is made, so the
// level's frame and Free must cope with g_play.player being null.
bool BuildLevel(World& world, LevelScreens& screens, const BuildRequest& request);

// Lets go of the key prompt, the help card, the garage, the end screen and the track marks.
// The garage picture, the explosion and the loading screen stay until the next build
// replaces them.
void FreeLevelScreens(LevelScreens& screens);
