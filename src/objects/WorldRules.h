#pragma once
#include <string>
#include <vector>

#include "core/Vec3.h"
#include "objects/World.h"

class Gamepad;
class GameObject;
class Poly;
class Vehicle;
class Weapon;

// The rules that make a level's objects behave, written once over a World the playing
// state hands them: the campaign passes g_campaignWorld, the tutorial its own. Each
// operation is one step of the level's frame; the level calls them in this order:
//
//   HandleGamepad:  ApplyPadInput                      (pad polled first, also while paused)
//   HandleKeyboard: ApplyKeyInput                      (W, S, A, D, SPACE, Q, E)
//   UpdateWorld:    camera follow
//                   UpdateCharacters                   (near flags and the C-key prompt)
//                   UpdatePlayer                       (vehicle, main-gun shots, enemy shots move)
//                   MovePatrollers
//                   turrets: UpdateTurretChain, then FireTurretChain (boss) or FireTurretVolley
//                            (main levels); ApplyGateRules between them
//                   UpdatePizza
//                   BlockPlayer                        (walls, closed gates, sacks; ends the move)
//                   UpdatePlayerHitWindow, UpdateMainGunShots, UpdateGunners
//                   (path grid, which fills world.trailList), UpdatePatrollers
//   Update step 4:  UpdateFuelPickups                  (before the world, every frame)
//   Update step 14: UpdateSideWeapons
//
// Before any of them the level fills world.frame (ThisFrame): the frame time, the cheat
// switch, the camera and the effect pools the rules use come from there. Sounds go through
// the sound slots; a camera shake is asked for through world.shake (the level plays it).

// ==== input =================================================================================

// What the input of one frame did to the vehicle.
struct DriveInput {
  bool forward = false; // W held or the stick pushed forward: the level lays track marks
};

// The gamepad's part of the input table: left stick drives, right stick turns, A fires the
// main gun, the triggers the side weapons. Call after the pad was polled.
DriveInput ApplyPadInput(Vehicle& vehicle, const Gamepad& pad);
// The keyboard's part: W/S drive, A/D turn, SPACE/Q/E fire (presses are consumed).
DriveInput ApplyKeyInput(Vehicle& vehicle);
// Both, pad first, as a level that reads them in one place would.
DriveInput ApplyDriveInput(Vehicle& vehicle, const Gamepad& pad);

// ==== the player ==============================================================================

// The vehicle's Update (weapons ride along), the main gun's cooldown, and the move of every
// shot in flight: the player's, and the enemy pool once per member of the shooter list
// (every shooter holds the whole pool, so enemy shots move 0.2 x shooters per frame).
void UpdatePlayer(World& world, Vehicle& player);
// Walls, closed gates and sacks stop the vehicle: it moves back by its velocity, the turn
// of this frame is undone exactly, and the pad rumbles. Then the frame's move ends:
// velocity and the remembered turn return to zero, blocked or not.
void BlockPlayer(World& world, Vehicle& player);
// The invulnerability window after a hit runs down; at its end the treads animate again.
void UpdatePlayerHitWindow(Vehicle& player);
// Main-gun shots age and hit: gunners named exactly "ENEMY" (not in the boss level) and
// patrollers lose damage + 2 x upgrade level (x10 in cheat mode); blockers stop them.
void UpdateMainGunShots(World& world, Vehicle& player);
// Side weapons: Tick, re-centre on the vehicle, fly every projectile, then hits on gunners
// (not in the boss level) and patrollers, and on walls, closed gates and sacks.
void UpdateSideWeapons(World& world, Vehicle& player);
// An enemy shot hit the vehicle outside its invulnerability window (and not in cheat
// mode): hit points, the flame burst, a shake towards the shot.
void PlayerHit(World& world, Vehicle& player, const GameObject& shot);

// ==== enemies =================================================================================

// Friendly characters: every NPC and garage keeper notes whether the player is within
// sqrt(5000) units; the prompt (may be null) stands 40 above the first one near
// (characters before garages), or is parked inactive at the origin.
void UpdateCharacters(World& world, const Vehicle& player, GameObject* keyPrompt);
// Gunners aim and fire at the player within 300 x scale; every shooter ages and tests the
// shared enemy pool against the player and the blockers.
void UpdateGunners(World& world, Vehicle& player);
// Turrets. Volley mode (main levels): every live turret arms once and fires along its
// facing on its own beat. Chain mode (boss level): of the batteries ("ENEMY_3" + n is a
// member of battery n), the lowest with a live member within 400 units of the player fires;
// see Enemies.cpp for the rhythm.
void UpdateTurretChain(World& world, const Vec3& playerCentre);
void FireTurretChain(World& world);
void FireTurretVolley(World& world);
// Sizes world.chainBits to the level's turret batteries (at least six); the build calls it
// after sorting the shooters, and UpdateTurretChain grows it if a battery was missed.
void SizeChainBits(World& world);
// Patrollers walk, chase along world.trailList (entry i belongs to patroller i), wait, bump
// blockers and hurt the player on contact.
void UpdatePatrollers(World& world, Vehicle& player);
// Every active patroller's own Update (its velocity for this frame).
void MovePatrollers(World& world);
// One patrol step of `seconds`: direction from vertical/forward, reversing every 5 s.
void Patrol(GameObject& enemy, float seconds);
// After a hit: an enemy at 0 hit points leaves, drops a star, bursts, and counts its kill.
void EnemyDeathCheck(World& world, GameObject& enemy);

// ==== props ===================================================================================

// The first active wall, closed gate (not a portal) or active sack the polygon touches, or null.
// Walls before gates before sacks, each in list order; the answer is the same with the
// blockers indexed (IndexBlockers) or not, only quicker.
GameObject* FindBlocker(const World& world, const Poly& shape);
// Files the walls, gates and sacks by place for FindBlocker; the level calls it once a
// frame before its rules run, and it costs next to nothing when nothing moved.
void IndexBlockers(World& world);
// A shot struck a sack: it loses a hit point, steps its picture down, and goes at 0.
void HitSack(GameObject& sack);
// Gates by number: "GATE" + number (0: every gate; 1 also reaches 10-19). Opening an open
// gate or closing a closed one changes nothing (no picture is reloaded).
void OpenGate(std::vector<GameObject*>& gates, int number);
void OpenAllGates(std::vector<GameObject*>& gates);
void CloseAllGates(std::vector<GameObject*>& gates);
// Whether OpenGate(..., number) reaches a gate of this name.
bool GateInGroup(const std::string& gateName, int number);
// Gate 10 with the pizza, 11 after four A kills, 12 after seven B kills, each once; in the
// boss level also 21 + i for every garage i visited.
void ApplyGateRules(World& world);
// The pizza is fetched on touch: full thermometer, g_play.pizzaCarried, gone from the map.
void UpdatePizza(World& world, const Vehicle& player);
// Fuel cans refill the hit points to 10 once each; hit points above 10 are cut to 10.
void UpdateFuelPickups(World& world, Vehicle& player);
// A fresh fuel can at centre.
FuelPickup MakeFuelPickup(const Vec3& centre);

// ==== what opens the gates =====================================================================
// The rules above, the campaign's garage and the tutorial's talks open gate groups by these
// entries; the editor's level check reads the same ones.

// The kinds of level, by the rules they play with: the campaign's main levels (FIRSTMOD and
// SECOND), its boss level, and every level the tutorial's state plays (its stages, and any
// other level: the editor's play test runs there).
enum class LevelKind : int { Main = 0, Boss = 1, Tutorial = 2 };

enum class GateOpener : int {
  Pizza = 0,         // the pizza is picked up
  KillsA = 1,        // `count` patrollers of kill group A destroyed
  KillsB = 2,        // `count` patrollers of kill group B destroyed
  Garage = 3,        // a garage is entered for the first time
  Talk = 4,          // a character whose name holds the digit `count` is talked to
  TalkAndGarage = 5, // the same, once a garage has been entered
};
struct GateRule {
  int group = 0; // OpenGate's number
  GateOpener opener = GateOpener::Pizza;
  int count = 0; // kills needed, or the digit the character's name holds
};
inline constexpr GateRule PIZZA_GATE{10, GateOpener::Pizza, 0};
inline constexpr GateRule KILLS_A_GATE{11, GateOpener::KillsA, 4};
inline constexpr GateRule KILLS_B_GATE{12, GateOpener::KillsB, 7};
inline constexpr GateRule BOSS_GARAGE_GATE{21, GateOpener::Garage, 0}; // the boss level's first garage
inline constexpr GateRule TALK_GATE_1{1, GateOpener::Talk, 2};
inline constexpr GateRule TALK_GATE_2{2, GateOpener::Talk, 3};
inline constexpr GateRule TALK_GATE_3{3, GateOpener::TalkAndGarage, 4};
inline constexpr GateRule STAGE_GARAGE_GATE{0, GateOpener::Garage, 0}; // every gate of a stage
// Every rule that opens gates in a level of this kind.
std::vector<GateRule> GateRulesOf(LevelKind kind);
// A talk with a character of this name answers a Talk or TalkAndGarage rule.
bool TalkOpens(const std::string& characterName, const GateRule& rule);

// Which kill counter a destroyed patroller raises (main and boss levels only).
enum class KillGroup : int { None = 0, A = 1, B = 2 };
KillGroup KillGroupOf(const std::string& patrollerName); // A: "ENEMY2A"; B: "ENEMY2B", "ENEMY2VERTICALB"

// Squared distance within which the player is near a character or garage (C talks or enters).
inline constexpr float CHARACTER_REACH_SQUARED = 5000.0f;

// ==== the grass carpet ========================================================================

struct TileExtent {
  int originX = -1000; // world units, centre of the first tile
  int originY = -1000;
  int columns = 0;
  int rows = 0;
};
// The grass under every level: one pool of tiles for the whole run, laid anew for each level.
struct BackgroundTiles {
  std::vector<GameObject*> tiles; // owned by the list; 100 grass tiles, 400 units each
  TileExtent extent;              // where LayTiles puts them
};
extern BackgroundTiles g_background;

void CreateBackgroundTiles();                                // start-up: 100 tiles parked off the map
void MeasureLevel(const std::vector<GameObject*>& objects);  // the extent covering these centres
void LayTiles();                                             // column by column, at most 100
void DestroyBackgroundTiles();                               // shut-down: none left, no extent

// ==== the garage's guns =======================================================================

// The six ready-made guns in the order DEFAULT left, DEFAULT right, MINICANNON left,
// MINICANNON right, BLACKHOLE left, BLACKHOLE right (kind i has its pair at 2i, 2i + 1).
std::vector<std::shared_ptr<Weapon>> MakeGarageGuns();
