#include "levels/LevelBuild.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <iostream>

#include "audio/Audio.h"
#include "core/GameState.h"
#include "core/Window.h"
#include "levels/FrontEnd.h"
#include "levels/Hud.h"
#include "levels/LevelFile.h"
#include "levels/Track.h"
#include "objects/GameObject.h"
#include "objects/NPC.h"
#include "objects/Predicates.h"
#include "objects/Vehicle.h"
#include "objects/WorldRules.h"
#include "render/AnimatedTexture.h"
#include "render/Camera.h"
#include "render/ParticleSys.h"
#include "render/SquarePrimitive.h"
#include "render/Texture.h"

namespace {

void SetAnimation(GameObject& object, float frameTime, bool playing) {
  if (AnimatedTexture* sheet = object.Animated()) {
    sheet->frameTime = frameTime;
    sheet->animating = playing;
  }
}

} // namespace

// ---- camera limits -----------------------------------------------------------------------

Vec3 CameraLimits::Clamp(const Vec3& target) const {
  if (!clamped) return target;
  Vec3 out = target;
  if (out.x < minX) out.x = static_cast<float>(minX);
  else if (out.x > maxX) out.x = static_cast<float>(maxX);
  if (out.y < minY) out.y = static_cast<float>(minY);
  else if (out.y > maxY) out.y = static_cast<float>(maxY);
  return out;
}

CameraLimits ComputeCameraLimits(const std::vector<GameObject*>& walls) {
  CameraLimits limits;
  int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
  int counted = 0;
  for (const GameObject* wall : walls) {
    if (!wall) continue;
    const Vec3 centre = wall->Position();
    const int x = static_cast<int>(centre.x), y = static_cast<int>(centre.y);
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
    ++counted;
  }
  std::cout << "walls " << walls.size() << "\n";
  if (counted == 0) return limits; // nothing to hold the camera in
  limits.minX = minX + g_screen.width / 2 - 50;
  limits.minY = minY + g_screen.height / 2 - 50;
  limits.maxX = maxX - g_screen.width / 2 + 50;
  limits.maxY = maxY - g_screen.height / 2 + 150;
  limits.clamped = true;
  return limits;
}

// ---- roles ------------------------------------------------------------------------------

BuildRules BuildRulesFor(LevelKind kind) {
  BuildRules rules;
  if (kind == LevelKind::Tutorial) {
    rules.gunnerMark = "ENEMY_"; // any numbered gunner, not only turret batteries
    rules.honourReverse = false; // every patroller starts forwards
    rules.detectLevelKind = false;
  }
  return rules;
}

ObjectRole RoleOf(const std::string& name, const BuildRules& rules) {
  if (name == "ENEMY" || Contains(name, rules.gunnerMark.c_str())) return ObjectRole::Shooter;
  if (name == "PROJECTILE") return ObjectRole::PlayerShot;
  if (name == "ENEMYPROJECTILE") return ObjectRole::EnemyShot;
  if (Contains(name, "ENEMY2")) return ObjectRole::Patroller;
  if (name == "WALL") return ObjectRole::Wall;
  if (name == "SACK") return ObjectRole::Sack;
  if (Contains(name, "PORTAL") || Contains(name, "GATE")) return ObjectRole::Gate;
  if (Contains(name, "NPC")) return ObjectRole::Character;
  if (Contains(name, "GARAGE")) return ObjectRole::Garage;
  if (name == "ROAD" || name == "END") return ObjectRole::Road;
  if (name == "GAS") return ObjectRole::Fuel;
  if (name == "PIZZA") return ObjectRole::Pizza;
  if (name == "FILLER") return ObjectRole::Filler;
  return ObjectRole::None;
}

void SortObjectsIntoRoles(World& world, const BuildRules& rules) {
  for (GameObject* object : world.levelObjects) {
    if (!object) continue;
    const std::string& name = object->name;
    switch (RoleOf(name, rules)) {
    case ObjectRole::Shooter:
      object->hp = 2;
      SetAnimation(*object, 0.5f, true);
      world.shooters.push_back(object);
      break;
    case ObjectRole::PlayerShot:
      object->damage = 2;
      object->Scale(0.5f);
      if (g_play.player) g_play.player->children.push_back(object);
      break;
    case ObjectRole::EnemyShot:
      // Cleared at load (every shot starts in the pool, not in flight); it stays cleared.
      object->active = false;
      object->damage = 1;
      object->Scale(0.5f);
      for (GameObject* shooter : world.shooters) shooter->children.push_back(object);
      world.enemyShots.push_back(object);
      break;
    case ObjectRole::Patroller:
      object->hp = 2;
      object->damage = 1;
      if (Contains(name, "ENEMY2VERTICAL")) object->vertical = true;
      if (rules.honourReverse && Contains(name, "REVERSE")) object->forward = false;
      SetAnimation(*object, 0.5f, true);
      world.patrollers.push_back(object);
      break;
    case ObjectRole::Wall: world.walls.push_back(object); break;
    case ObjectRole::Sack:
      world.sacks.push_back(object);
      object->hp = 3;
      if (AnimatedTexture* sheet = object->Animated()) sheet->SetFrame(2);
      break;
    case ObjectRole::Gate:
      world.gates.push_back(object);
      object->hp = 1;
      SetAnimation(*object, 0.1f, true);
      break;
    case ObjectRole::Character:
      if (auto* npc = dynamic_cast<NPC*>(object)) world.npcs.push_back(npc);
      break;
    case ObjectRole::Garage:
      if (auto* garage = dynamic_cast<NPC*>(object)) world.garages.push_back(garage);
      break;
    case ObjectRole::Road: world.roads.push_back(object); break;
    case ObjectRole::Fuel: world.fuelPickups.push_back(MakeFuelPickup(object->Position())); break;
    case ObjectRole::Pizza: world.pizza = object; break;
    case ObjectRole::Filler: world.fillers.push_back(object); break;
    case ObjectRole::None: break;
    }
  }
}

// ---- loading screen --------------------------------------------------------------------

double RealSeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool LoadingScreen::Update(float frameTime, double now) {
  const bool counts = frameTime < 0.1f;
  if (counts) {
    loadTime += frameTime;
    loadVeilAlpha -= frameTime;
  }
  if (loadTime < 3.0f && now - startedAt < 10.0) {
    g_loop.paused = true;
    shown = true;
    if (loadVeil) loadVeil->SetAlpha(loadVeilAlpha);
    return true;
  }
  // The fade steps by at most 0.1 s a frame: on a machine too slow for short frames it
  // still clears (in ten frames) instead of leaving the level under a black veil.
  fadeVeilAlpha -= counts ? frameTime : 0.1f;
  if (fadeVeil) fadeVeil->SetAlpha(fadeVeilAlpha);
  if (pending) {
    g_loop.paused = false;
    shown = false;
    pending = false;
  }
  return false;
}

void LoadingScreen::Draw() {
  if (shown) {
    if (picture) picture->Draw();
    if (loadVeil) loadVeil->Draw();
  } else {
    if (picture) picture->SetFrame(0);
    if (fadeVeil) fadeVeil->Draw();
  }
}

// ---- the level's screens ---------------------------------------------------------------

namespace {

// Steps 15-20 of the build: the garage picture, the explosion, the key prompt and the help
// card around the screen's centre, then the track marks and the end screen.
void MakeLevelScreens(LevelScreens& screens, const BuildRequest& request) {
  // 15-18: screen objects around the screen's centre.
  const Vec3 centre(g_screen.width * 0.5f + 50.0f, g_screen.height * 0.5f, 0.0f);
  screens.garagePicture = std::make_unique<Texture>("../Assets/image/customize/customize.png", 1, centre, 320, 240);
  screens.garagePicture->Init();
  screens.explosion = std::make_unique<AnimatedTexture>("../Assets/image/optiontmp/exploding.png", 1, centre, 50,
                                                        50, "../Assets/image/optiontmp/exploding.txt");
  screens.explosion->Init();
  screens.explosion->frameTime = 0.12f;
  screens.explosion->animating = true;
  screens.keyPrompt = std::make_unique<GameObject>("CKey", "../Assets/image/Ckey.png", centre, 12, 12, 1,
                                                   "../Assets/image/Ckey.txt");
  screens.keyPrompt->name = "CKey";
  SetAnimation(*screens.keyPrompt, 0.5f, true);
  screens.keyPrompt->active = false;
  screens.helpPicture = std::make_unique<GameObject>(
      request.helpPicture, Vec3(static_cast<float>(g_screen.width / 2), static_cast<float>(g_screen.height / 2), 0.0f),
      100, 150, 1);
  screens.helpPicture->name = "HelpScreen";
  screens.helpPicture->active = request.helpOpen;

  // 19-20: tracks and the end screen.
  screens.track = std::make_shared<Track>();
  screens.endScreen = g_frontEnd.makeEndScreen ? g_frontEnd.makeEndScreen() : nullptr;
  screens.endSoundPlayed = false;
  screens.trackClock = 0.0f;
}

// Step 21: the loading picture over the level's first seconds, counted from now.
void MakeLoadingScreen(LoadingScreen& loading) {
  // The picture fills the logical screen, whatever its height: sized for a 680-row screen it
  // left the bottom rows of a 720-row one showing the level through the fading veil.
  const Vec3 screenCentre(g_screen.width * 0.5f, g_screen.height * 0.5f, 0.0f);
  loading.picture = std::make_unique<AnimatedTexture>("../Assets/image/pic/loadS.png", 1, screenCentre,
                                                      std::max(640, g_screen.width / 2), std::max(345, g_screen.height / 2),
                                                      "../Assets/image/pic/loadS.txt");
  loading.picture->Init();
  loading.picture->frameTime = 0.5f;
  loading.picture->animating = true;
  loading.picture->SetFrame(0);
  const int halfW = g_screen.width / 2 + 16, halfH = g_screen.height / 2 + 16;
  loading.loadVeil = std::make_unique<SquarePrimitive>(screenCentre, halfW, halfH, 0.0f, 0.0f, 0.0f, 1.0f);
  loading.fadeVeil = std::make_unique<SquarePrimitive>(screenCentre, halfW, halfH, 0.0f, 0.0f, 0.0f, 1.0f);
  loading.loadVeil->Init();
  loading.fadeVeil->Init();
  loading.loadTime = 0.0f;
  loading.loadVeilAlpha = 1.0f;
  loading.fadeVeilAlpha = 1.0f;
  loading.shown = true;
  loading.pending = true;
  loading.startedAt = RealSeconds();
}

} // namespace

// ---- the build -------------------------------------------------------------------------

bool BuildLevel(World& world, LevelScreens& screens, const BuildRequest& request) {
  const std::string& path = request.path;

  // 1-2: a clean slate. Every list, flag and counter of the world starts afresh here, so
  // nothing of a previous run (garage visits, chain bits, an old trail) leaks into this one.
  screens.pulseCounter = 0;
  screens.explosionShown = false;
  screens.deathTime = 0.0f;
  FillParticlePools();
  world.Clear();
  g_play.player = nullptr;
  g_play.levelWon = false;
  g_play.levelLost = false;
  world.levelTimer = 120.0f;

  // 3-4: which kind of level, and its music.
  std::cout << path << "\n";
  if (request.rules.detectLevelKind) {
    world.isBossLevel = Contains(path, "BOSS");
    world.isMainLevel = Contains(path, "FIRSTMOD") || Contains(path, "SECOND");
  }
  std::cout << world.isBossLevel << " " << path << "\n";
  PlayMusicSlot(world.isBossLevel ? 3 : 2);
  if (g_frontEnd.pausePanel) g_frontEnd.pausePanel->ApplyVolumes();

  // 5-7: the objects, the player and its loadout.
  world.levelObjects = LoadObjectList(path, true);
  g_play.player = dynamic_cast<Vehicle*>(FindPlayer(world.levelObjects));
  if (g_play.player && g_play.player->Animated()) g_play.player->Animated()->frameTime = 0.2f;
  for (GameObject* object : world.levelObjects)
    if (object && Contains(object->name, "PROJECTILE")) object->active = false;
  if (!g_play.player) {
    std::cout << "Error: " << path << " has no PLAYER vehicle, back to the main menu" << std::endl;
    g_loop.nextState = STATE_MAIN_MENU;
    return false;
  }
  LoadPlayerLoadout("../Assets/Player.txt", g_play.player);

  // 8-9: roles.
  SortObjectsIntoRoles(world, request.rules);
  std::cout << "Number of garages on map: " << world.garages.size() << "\n";

  // 10-11: camera and the grass under the level.
  screens.limits = ComputeCameraLimits(world.walls);
  const Vec3 start = screens.limits.Clamp(g_play.player->Position());
  if (g_play.camera) g_play.camera->SetPosition(start.x, start.y);
  if (!world.walls.empty()) {
    MeasureLevel(world.walls);
    LayTiles();
  } else {
    g_background.extent = TileExtent(); // nothing to measure: no columns, no carpet
  }

  // 12-13: gate and turret bookkeeping; batteries in the order of their names.
  world.garageVisited.assign(world.garages.size(), false);
  std::stable_sort(world.shooters.begin(), world.shooters.end(),
                   [](const GameObject* a, const GameObject* b) { return a->name < b->name; });
  world.chainBits.assign(6, false); // the boss level's six batteries at least
  SizeChainBits(world);

  // 14: HUD, the vehicle's parts, the garage screen.
  SetUpHud();
  for (auto& weapon : g_play.player->weapons)
    if (weapon) weapon->SetPosition(g_play.player->Position());
  screens.garage = g_frontEnd.makeGarage ? g_frontEnd.makeGarage() : nullptr;
  if (screens.garage) screens.garage->Initialize();

  g_play.player->hp = 10; // whatever the loadout said

  // 15-20: the screens around the level.
  MakeLevelScreens(screens, request);
  world.stars.clear();

  // 21: the loading screen shows first.
  MakeLoadingScreen(screens.loading);
  g_loop.paused = true; // nothing plays under the loading picture, not even its first frame
  return true;
}

void FreeLevelScreens(LevelScreens& screens) {
  screens.keyPrompt.reset();
  screens.helpPicture.reset();
  screens.garage.reset();
  screens.endScreen.reset();
  screens.track.reset();
}
