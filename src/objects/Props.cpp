// Walls, sacks, gates, the pizza, fuel cans and the grass carpet.
#include <algorithm>
#include <string>

#include <GL/glew.h>

#include "audio/Audio.h"
#include "objects/RulesLocal.h"
#include "objects/Vehicle.h"
#include "objects/WorldRules.h"
#include "render/AnimatedTexture.h"
#include "render/Camera.h"
#include "render/Texture.h"

namespace {

const char* const GATE_OPEN = "../Assets/image/gateOpen.png";
const char* const GATE_CLOSED = "../Assets/image/gateClose.png";

std::string GateText(int number) { return number == 0 ? "GATE" : "GATE" + std::to_string(number); }

// Every gate whose name holds "GATE" + number takes hp and picture; a gate already so
// is left alone, so rules that run every frame reload no pictures.
void SetGates(std::vector<GameObject*>& gates, int number, int hp, const char* picture) {
  const std::string text = GateText(number);
  for (GameObject* gate : gates) {
    if (!gate || !Contains(gate->name, text.c_str())) continue;
    if (gate->hp == hp && gate->ImagePath() == picture) continue;
    gate->hp = hp;
    if (gate->ImagePath() != picture) gate->graphic->SetImage(picture);
  }
}

bool Closed(const GameObject& gate) { return gate.active && gate.hp >= 1 && !Contains(gate.name, "PORTAL"); }

} // namespace

// ---- blocking -------------------------------------------------------------------------------------

void IndexBlockers(World& world) {
  world.wallIndex.Refresh(world.walls);
  world.gateIndex.Refresh(world.gates);
  world.sackIndex.Refresh(world.sacks);
}

GameObject* FindBlocker(const World& world, const Poly& shape) {
  if (world.wallIndex.Covers(world.walls) && world.gateIndex.Covers(world.gates) &&
      world.sackIndex.Covers(world.sacks)) {
    if (GameObject* wall = world.wallIndex.First(world.walls, shape, [](const GameObject& o) { return o.active; }))
      return wall;
    if (GameObject* gate = world.gateIndex.First(world.gates, shape, Closed)) return gate;
    return world.sackIndex.First(world.sacks, shape, [](const GameObject& o) { return o.active; });
  }
  for (GameObject* wall : world.walls)
    if (wall && wall->active && shape.Intersects(*wall->shape)) return wall;
  for (GameObject* gate : world.gates)
    if (gate && Closed(*gate) && shape.Intersects(*gate->shape)) return gate;
  for (GameObject* sack : world.sacks)
    if (sack && sack->active && shape.Intersects(*sack->shape)) return sack;
  return nullptr;
}

void ShotEndsOn(World& world, GameObject& blocker, const Vec3& at) {
  if (std::find(world.sacks.begin(), world.sacks.end(), &blocker) != world.sacks.end()) HitSack(blocker);
  BurstAt(world.frame.puffs, at);
}

void HitSack(GameObject& sack) {
  if (!sack.active) return;
  PlaySlot(7);
  sack.hp -= 1;
  if (sack.hp < 1) {
    sack.active = false;
    return;
  }
  // The sack shows frames 2, 1, 0 as it wears down.
  if (AnimatedTexture* sheet = sack.Animated())
    if (sheet->currentFrame > 0) sheet->SetFrame(sheet->currentFrame - 1);
}

// ---- gates --------------------------------------------------------------------------------------

void OpenGate(std::vector<GameObject*>& gates, int number) { SetGates(gates, number, 0, GATE_OPEN); }

void OpenAllGates(std::vector<GameObject*>& gates) {
  for (int number = 0; number <= 9; ++number) SetGates(gates, number, 0, GATE_OPEN);
}

void CloseAllGates(std::vector<GameObject*>& gates) {
  for (int number = 0; number <= 9; ++number) SetGates(gates, number, 1, GATE_CLOSED);
}

bool GateInGroup(const std::string& gateName, int number) { return Contains(gateName, GateText(number).c_str()); }

void ApplyGateRules(World& world) {
  if (!world.gateStage1 && g_play.pizzaCarried) {
    world.gateStage1 = true;
    OpenGate(world.gates, PIZZA_GATE.group);
  }
  if (!world.gateStage2 && world.killCountA >= KILLS_A_GATE.count) {
    world.gateStage2 = true;
    OpenGate(world.gates, KILLS_A_GATE.group);
  }
  if (!world.gateStage3 && world.killCountB >= KILLS_B_GATE.count) {
    world.gateStage3 = true;
    OpenGate(world.gates, KILLS_B_GATE.group);
  }
  if (!world.isBossLevel) return;
  for (size_t i = 0; i < world.garageVisited.size(); ++i)
    if (world.garageVisited[i]) OpenGate(world.gates, BOSS_GARAGE_GATE.group + static_cast<int>(i));
}

std::vector<GateRule> GateRulesOf(LevelKind kind) {
  switch (kind) {
  case LevelKind::Main: return {PIZZA_GATE, KILLS_A_GATE, KILLS_B_GATE};
  case LevelKind::Boss: return {PIZZA_GATE, KILLS_A_GATE, KILLS_B_GATE, BOSS_GARAGE_GATE};
  case LevelKind::Tutorial: return {TALK_GATE_1, TALK_GATE_2, TALK_GATE_3, STAGE_GARAGE_GATE};
  }
  return {};
}

bool TalkOpens(const std::string& characterName, const GateRule& rule) {
  const bool talk = rule.opener == GateOpener::Talk || rule.opener == GateOpener::TalkAndGarage;
  return talk && characterName.find(static_cast<char>('0' + rule.count)) != std::string::npos;
}

// ---- pickups ------------------------------------------------------------------------------------

void UpdatePizza(World& world, const Vehicle& player) {
  GameObject* pizza = world.pizza;
  if (!pizza || !pizza->active || !Touches(*pizza, player)) return;
  g_play.thermometer = 1.0f;
  g_play.pizzaCarried = true;
  pizza->active = false;
}

void UpdateFuelPickups(World& world, Vehicle& player) {
  for (FuelPickup& fuel : world.fuelPickups) {
    if (!fuel.object) continue;
    if (world.frame.camera) fuel.object->graphic->SetCamera(*world.frame.camera);
    if (fuel.available && Touches(*fuel.object, player)) {
      PlaySlot(4);
      player.hp = 10;
      fuel.available = false;
    }
  }
  if (player.hp > 10) player.hp = 10;
}

FuelPickup MakeFuelPickup(const Vec3& centre) {
  FuelPickup fuel;
  fuel.object = std::make_shared<GameObject>("../Assets/image/fuel.png", centre, 20, 20, 1);
  fuel.available = true;
  return fuel;
}

// ---- the grass carpet -----------------------------------------------------------------------------

BackgroundTiles g_background;

namespace {
constexpr size_t TILE_COUNT = 100;
constexpr int TILE_SIZE = 400;
} // namespace

void CreateBackgroundTiles() {
  // Start-up goes on without a GL context only to end cleanly; pictures cannot be made then.
  if (!glGenVertexArrays) return;
  for (size_t i = 0; i < TILE_COUNT; ++i)
    g_background.tiles.push_back(new GameObject("../Assets/image/grass.png", Vec3(-1000, -1000, 0), 200, 200, 1));
  g_background.extent = TileExtent();
}

void MeasureLevel(const std::vector<GameObject*>& objects) {
  bool any = false;
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  for (const GameObject* o : objects) {
    if (!o) continue;
    const Vec3 c = o->Position();
    const int x = static_cast<int>(c.x), y = static_cast<int>(c.y);
    if (!any) {
      minX = maxX = x;
      minY = maxY = y;
      any = true;
    }
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  }
  if (!any) {
    g_background.extent.columns = g_background.extent.rows = 0; // nothing to cover
    return;
  }
  g_background.extent.originX = minX;
  g_background.extent.originY = minY;
  g_background.extent.columns = (maxX - minX) / TILE_SIZE + 2;
  g_background.extent.rows = (maxY - minY) / TILE_SIZE + 2;
}

void LayTiles() {
  size_t k = 0;
  for (int i = 0; i < g_background.extent.columns; ++i)
    for (int j = 0; j < g_background.extent.rows; ++j) {
      if (k >= g_background.tiles.size()) return;
      g_background.tiles[k++]->SetPosition(
          Vec3(static_cast<float>(g_background.extent.originX + TILE_SIZE * i),
               static_cast<float>(g_background.extent.originY + TILE_SIZE * j), 0.0f));
    }
}

void DestroyBackgroundTiles() {
  for (GameObject* tile : g_background.tiles) delete tile;
  g_background = BackgroundTiles();
}
