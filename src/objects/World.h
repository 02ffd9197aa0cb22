#pragma once
#include "core/Vec3.h"
#include "objects/BlockerIndex.h"
#include "objects/DrawIndex.h"
#include "render/ParticleSys.h"
#include <list>
#include <memory>
#include <vector>

class Camera;
class GameObject;
class NPC;
class Vehicle;

// The state of a running level that its objects' rules, the level's own frame and the
// screens around it all read. The level build fills it; the rules of the vehicle, the
// weapons, the enemies and the props are written once over a World they are handed, so the
// campaign and the tutorial, which each keep a World of their own, run the same rules.
//
// Ownership: the factory owns every object; the lists hold plain pointers. A level's Free
// empties its World (Clear) before the factory lets the objects go.

// A fuel can the player may drive over once: it refills the hit points.
struct FuelPickup {
  std::shared_ptr<GameObject> object;
  bool available = true;
};

// One cell of the chasers' path grid. The level lays the grid around the player every few
// frames and links each reachable cell to the next one on the way to the player; a
// patroller walks from its trail entry along `previous`.
struct PathCell {
  Vec3 centre;
  float distance = 10000.0f;
  PathCell* previous = nullptr;
  PathCell* neighbours[8] = {};
  float cost = 1.0f;
  int state = 3; // 3 unvisited, 2 reached, 0 to expand
};

// What the rules read from outside the World. The level fills it once per frame before its
// rules run (ThisFrame), so a rule handed a World reaches for no global of its own.
struct FrameContext {
  float frameTime = 1.0f / 60.0f;       // seconds, the last frame's duration
  bool cheatMode = false;               // player shots do ten times their damage, enemy hits do not hurt
  const Camera* camera = nullptr;       // the level's view for pictures the rules move; none: left as they are
  const ParticlePool* bursts = nullptr; // a destroyed enemy; none: no effect
  const ParticlePool* puffs = nullptr;  // a shot ending on a wall, closed gate or sack
  const ParticlePool* flames = nullptr; // an enemy shot hitting the player
};

// A camera shake asked for by a hit; the level plays it out over the following frames.
struct ShakeRequest {
  bool running = false;   // a shake is playing (no new one starts meanwhile)
  bool requested = false; // a hit asked for one this frame; the level starts it
  Vec3 towards;           // the point the hit came from
};

struct World {
  // ---- role lists, in level-file order (shooters sorted by name after the build) -------
  std::vector<GameObject*> levelObjects; // every object of the level
  std::vector<GameObject*> shooters;     // gunners and turrets, which share one shot pool
  std::vector<GameObject*> enemyShots;   // every "ENEMYPROJECTILE", whoever holds it
  std::vector<GameObject*> patrollers;
  std::vector<GameObject*> walls;
  std::vector<GameObject*> sacks;
  std::vector<GameObject*> gates; // gates and portals
  std::vector<NPC*> npcs;
  std::vector<NPC*> garages;
  std::vector<GameObject*> roads; // roads and the END
  std::vector<GameObject*> fillers;
  std::vector<FuelPickup> fuelPickups;
  GameObject* pizza = nullptr; // none when the level has none (the tutorial keeps its own)
  std::list<std::shared_ptr<GameObject>> stars; // dropped by destroyed enemies

  // ---- the chasers' path ------------------------------------------------------------
  // One entry per patroller, in the patrollers' order: the cell it walks from, or null.
  // A patroller whose entry is missing (the list is shorter) has no path either.
  std::vector<PathCell*> trailList;

  // ---- gates, kills and turrets -------------------------------------------------------
  std::vector<bool> garageVisited; // one per garage
  std::vector<bool> chainBits;     // one per turret battery of the boss level
  int killCountA = 0;              // destroyed "ENEMY2A" patrollers
  int killCountB = 0;              // destroyed "ENEMY2B" / "ENEMY2VERTICALB" patrollers
  bool gateStage1 = false;         // gate group 10 (pizza) has been opened
  bool gateStage2 = false;         // gate group 11 (A kills)
  bool gateStage3 = false;         // gate group 12 (B kills)
  bool garageGateOpened = false;   // a garage opened gate group 0 (levels neither main nor boss)

  // ---- the kind of level ----------------------------------------------------------------
  bool isBossLevel = false; // turrets in chain mode, patrollers chase anywhere in the grid
  bool isMainLevel = false; // turrets in volley mode, kill-count gates
  bool countsKills = true;  // campaign levels count patroller kills; the tutorial does not
  float levelTimer = 120.0f;

  // ---- where the blockers stand: FindBlocker asks these once IndexBlockers made them ------
  BlockerIndex wallIndex, gateIndex, sackIndex;
  // ---- what the camera may see of the standing lists: the level's draw asks these -------
  DrawIndex roadDraws, wallDraws, sackDraws, gateDraws, fillerDraws;

  ShakeRequest shake;
  FrameContext frame; // this frame's outside view; Clear leaves the defaults until the level refills it

  // Empties every list and resets every flag and counter, ready for the next build.
  void Clear() { *this = World(); }
};

// ---- shared by the campaign and the tutorial -------------------------------------------
// The state of play around the running level's World: who plays, what the screen looks
// through, how the level stands.
struct PlayState {
  Vehicle* player = nullptr;      // the running level's player (FindPlayer), or null
  std::shared_ptr<Camera> camera; // the playing states' camera
  bool levelWon = false;
  bool levelLost = false;
  bool pizzaCarried = false;      // the campaign's pizza has been picked up
  float thermometer = 1.0f;       // the pizza's warmth, 1.0 when full; not clamped
  int score = 0;                  // stars collected
  bool cheatMode = false;         // player shots do ten times their damage, enemy shots do not hurt

  void Reset() { *this = PlayState(); }
};
extern PlayState g_play;

// The level's player among its objects: the last one named "PLAYER", or null. A file edited
// by hand may hold several; the later block wins, in the game and in the editor alike.
GameObject* FindPlayer(const std::vector<GameObject*>& objects);

// The campaign's own World. The campaign's names for its lists are the fields of this one.
extern World g_campaignWorld;

// The frame context of the running game: g_loop's frame time, g_play's cheat switch and
// camera, and the effect pools.
FrameContext ThisFrame();
