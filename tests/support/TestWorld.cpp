#include "support/TestWorld.h"

#include "core/GameState.h"
#include "objects/GameObject.h"
#include "objects/NPC.h"
#include "objects/Vehicle.h"
#include "render/AnimatedTexture.h"
#include "render/ParticleSys.h"
#include "support/GlTestContext.h"

namespace {

const std::string IMAGES = "../Assets/image/";

std::string Sheet(const std::string& png) { return png.substr(0, png.size() - 3) + "txt"; }

GameObject* Animated(GameObjectFactory& factory, const std::string& name, const std::string& png, const Vec3& at,
                     int half) {
  return factory.CreateAnimated(name, IMAGES + png, at, half, half, 1, Sheet(IMAGES + png));
}

} // namespace

void WorldTest::SetUp() {
  ASSERT_TRUE(GlTestContext::Get().ok);
  g_loop.frameTime = 1.0f / 60.0f;
  g_play.Reset();
  g_play.thermometer = 0.5f;
  FillParticlePools();
  FinishEffects();
  world.isMainLevel = true;
  world.frame = ThisFrame(); // as a level fills it before its rules run
}

void WorldTest::TearDown() {
  EmptyParticlePools();
  g_play.player = nullptr;
  world.Clear();
  factory.objects.clear();
}

void WorldTest::FinishEffects() {
  for (ParticlePool* pool : g_particles.All())
    for (auto& system : *pool) system->elapsed = system->duration + 1.0f;
}

Vehicle* WorldTest::Player(const Vec3& at, int shots) {
  Vehicle* v = factory.CreateVehicle("PLAYER", IMAGES + "Tank_moving.png", at, 25, 25, 1, IMAGES + "Tank_moving.txt");
  v->hp = 10;
  for (int i = 0; i < shots; ++i) {
    GameObject* shot = factory.Create("PROJECTILE", IMAGES + "props/shotPlayer.png", Vec3(-500, -500, 0), 10, 5, 1);
    shot->damage = 2;
    shot->Scale(0.5f);
    shot->active = false;
    v->children.push_back(shot);
  }
  g_play.player = v;
  return v;
}

GameObject* WorldTest::Gunner(const Vec3& at) {
  GameObject* e = Animated(factory, "ENEMY", "enemy/gunner.png", at, 25);
  e->hp = 2;
  world.shooters.push_back(e);
  return e;
}

GameObject* WorldTest::Turret(const std::string& name, const Vec3& at, float facing) {
  GameObject* e = Animated(factory, name, "enemy/turret.png", at, 25);
  e->hp = 2;
  e->Rotate(facing);
  world.shooters.push_back(e);
  return e;
}

GameObject* WorldTest::Patroller(const std::string& name, const Vec3& at) {
  GameObject* e = Animated(factory, name, "enemy/crawlerA.png", at, 22);
  e->hp = 2;
  e->damage = 1;
  e->vertical = name.find("ENEMY2VERTICAL") != std::string::npos;
  if (name.find("REVERSE") != std::string::npos) e->forward = false;
  world.patrollers.push_back(e);
  return e;
}

GameObject* WorldTest::Wall(const Vec3& at) {
  GameObject* w = factory.Create("WALL", IMAGES + "wall.png", at, 26, 26, 1);
  world.walls.push_back(w);
  return w;
}

GameObject* WorldTest::Sack(const Vec3& at) {
  GameObject* s = Animated(factory, "SACK", "props/sack.png", at, 24);
  s->hp = 3;
  s->Animated()->SetFrame(2);
  world.sacks.push_back(s);
  return s;
}

GameObject* WorldTest::Gate(const std::string& name, const Vec3& at) {
  const bool portal = name.find("PORTAL") != std::string::npos;
  GameObject* g = Animated(factory, name, portal ? "props/portal.png" : "gateClose.png", at, 26);
  g->hp = 1;
  world.gates.push_back(g);
  return g;
}

NPC* WorldTest::Character(const std::string& name, const Vec3& at) {
  const bool garage = name == "GARAGE";
  NPC* n = factory.CreateNPC(name, IMAGES + (garage ? "props/garage.png" : "npc/char1.png"), at, 20, 20, 1,
                             "Press 'C' to enter garage", Vec3());
  (garage ? world.garages : world.npcs).push_back(n);
  return n;
}

GameObject* WorldTest::Pizza(const Vec3& at) {
  world.pizza = factory.Create("PIZZA", IMAGES + "props/pizza.png", at, 20, 20, 1);
  return world.pizza;
}

void WorldTest::EnemyShots(int count) {
  for (int i = 0; i < count; ++i) {
    GameObject* shot = factory.Create("ENEMYPROJECTILE", IMAGES + "props/shotEnemy.png", Vec3(-500, -500, 0), 10, 5, 1);
    shot->active = false;
    shot->damage = 1;
    shot->Scale(0.5f);
    for (GameObject* shooter : world.shooters) shooter->children.push_back(shot);
  }
}
