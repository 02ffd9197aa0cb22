// Gunners, the two turret rhythms, patrollers, deaths and the friendly characters.
#include <gtest/gtest.h>

#include <cmath>

#include "core/GameState.h"
#include "objects/NPC.h"
#include "objects/Vehicle.h"
#include "objects/WorldRules.h"
#include "render/AnimatedTexture.h"
#include "support/TestWorld.h"

namespace {

bool Finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

int ActiveShots(const GameObject& shooter) {
  int n = 0;
  for (GameObject* s : shooter.children) n += s->active;
  return n;
}

class EnemyRules : public WorldTest {};

TEST_F(EnemyRules, AGunnerFiresAtExactlyThreeHundredUnitsAndNoFurther) {
  Vehicle* v = Player(Vec3(700, 300, 0));
  GameObject* gunner = Gunner(Vec3(400, 300, 0));
  EnemyShots(3);
  gunner->cooldown = 0.0f;
  v->SetPosition(Vec3(700.01f, 300, 0));
  UpdateGunners(world, *v);
  EXPECT_EQ(ActiveShots(*gunner), 0);
  v->SetPosition(Vec3(700, 300, 0));
  UpdateGunners(world, *v);
  ASSERT_EQ(ActiveShots(*gunner), 1);
  GameObject* shot = gunner->children[0];
  EXPECT_NEAR(shot->velocity.x, 0.2f, 1e-6f);
  EXPECT_NEAR(shot->velocity.y, 0.0f, 1e-6f);
  EXPECT_FLOAT_EQ(gunner->cooldown, 1.0f);
}

TEST_F(EnemyRules, AGunnerFiresOncePerSecondAndWaitsForAFreeShot) {
  Vehicle* v = Player(Vec3(400, 500, 0));
  GameObject* gunner = Gunner(Vec3(400, 300, 0));
  EnemyShots(2);
  int fired = 0;
  for (int frame = 0; frame < 150; ++frame) {
    const int before = ActiveShots(*gunner);
    UpdateGunners(world, *v);
    fired += ActiveShots(*gunner) > before;
  }
  EXPECT_EQ(fired, 2); // at 0 s and 1 s; then the pool is empty
  EXPECT_LE(gunner->cooldown, 0.0f);
  // Its shots fly towards the player, downwards.
  EXPECT_NEAR(gunner->children[0]->velocity.y, 0.2f, 1e-5f);
}

TEST_F(EnemyRules, APlayerOnTheGunnersCentreGetsNoNaN) {
  Vehicle* v = Player(Vec3(400, 300, 0));
  GameObject* gunner = Gunner(Vec3(400, 300, 0));
  EnemyShots(1);
  gunner->cooldown = 0.0f;
  v->hit = true; // keep the shot flying
  UpdateGunners(world, *v);
  GameObject* shot = gunner->children[0];
  EXPECT_TRUE(Finite(shot->velocity));
  EXPECT_TRUE(Finite(shot->Position()));
  EXPECT_TRUE(std::isfinite(shot->rotation));
}

TEST_F(EnemyRules, TwoMainGunShotsInOneFrameKillAGunnerOnce) {
  Vehicle* v = Player(Vec3(100, 100, 0), 2);
  GameObject* gunner = Gunner(Vec3(400, 300, 0));
  for (GameObject* shot : v->children) {
    shot->active = true;
    shot->lifetime = 2.0f;
    shot->SetPosition(gunner->Position());
  }
  UpdateMainGunShots(world, *v);
  EXPECT_FALSE(gunner->active);
  EXPECT_EQ(world.stars.size(), 1u);
  EXPECT_EQ(gunner->hp, 0);
  // The second shot flew on: it found nothing live to hit.
  EXPECT_TRUE(v->children[1]->active);
  // Cheat mode and the upgrade level multiply the damage.
  GameObject* other = Gunner(Vec3(800, 300, 0));
  other->hp = 100;
  v->upgradeLevel = 1;
  world.frame.cheatMode = true;
  v->children[0]->active = true;
  v->children[0]->lifetime = 2.0f;
  v->children[0]->SetPosition(other->Position());
  UpdateMainGunShots(world, *v);
  EXPECT_EQ(other->hp, 60);
}

// ---- turrets --------------------------------------------------------------------------------------

// Frames of the main level's turret steps with the player far away; returns the frames
// on which each turret fired.
std::vector<std::vector<int>> RunTurrets(World& world, Vehicle& player, const std::vector<GameObject*>& turrets,
                                         int frames, bool chain) {
  std::vector<std::vector<int>> fired(turrets.size());
  for (int frame = 0; frame < frames; ++frame) {
    std::vector<float> before;
    for (GameObject* t : turrets) before.push_back(t->cooldown);
    UpdateTurretChain(world, player.Position());
    if (chain) FireTurretChain(world);
    else FireTurretVolley(world);
    for (size_t k = 0; k < turrets.size(); ++k)
      if (turrets[k]->armed && before[k] <= 0.0f && turrets[k]->cooldown > 0.5f && frame > 0)
        fired[k].push_back(frame);
    UpdateGunners(world, player);
  }
  return fired;
}

TEST_F(EnemyRules, VolleyTurretsFireOnStaggeredBeatsWhereverThePlayerIs) {
  Vehicle* v = Player(Vec3(5000, 5000, 0));
  std::vector<GameObject*> turrets = {Turret("ENEMY_3", Vec3(100, 100, 0), 0.0f),
                                      Turret("ENEMY_31", Vec3(100, 300, 0), 1.5707964f),
                                      Turret("ENEMY_32", Vec3(100, 500, 0))};
  EnemyShots(40);
  const auto fired = RunTurrets(world, *v, turrets, 600, false);
  for (size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    ASSERT_GE(fired[k].size(), 3u);
    const float beat = 1.04f + 0.04f * k;
    for (size_t i = 1; i < fired[k].size(); ++i)
      EXPECT_NEAR((fired[k][i] - fired[k][i - 1]) / 60.0f, beat, 1.5f / 60.0f);
  }
  // Each fires along its own facing: the second turret faces +y.
  bool downwards = false;
  for (GameObject* s : turrets[1]->children)
    if (s->active && std::fabs(s->velocity.y - 0.2f) < 1e-4f) downwards = true;
  EXPECT_TRUE(downwards);
}

TEST_F(EnemyRules, ChainTurretsFireOnlyInTheBatteryThePlayerIsNear) {
  world.isMainLevel = false;
  world.isBossLevel = true;
  Vehicle* v = Player(Vec3(100, 450, 0));
  std::vector<GameObject*> turrets = {Turret("ENEMY_31", Vec3(100, 100, 0)), Turret("ENEMY_31", Vec3(100, 200, 0)),
                                      Turret("ENEMY_32", Vec3(2000, 100, 0))};
  SizeChainBits(world);
  EXPECT_GE(world.chainBits.size(), 6u);
  EnemyShots(40);
  auto fired = RunTurrets(world, *v, turrets, 300, true);
  // The bit stays set while the player stays near: the battery keeps its beat.
  EXPECT_TRUE(world.chainBits[0]);
  EXPECT_FALSE(world.chainBits[1]);
  EXPECT_GE(fired[0].size(), 3u);
  EXPECT_GE(fired[1].size(), 3u);
  EXPECT_TRUE(fired[2].empty());
  for (size_t i = 1; i < fired[0].size(); ++i) EXPECT_NEAR(fired[0][i] - fired[0][i - 1], 62, 2);
  // Over to the second battery: the first is disarmed, the second waits a full beat.
  v->SetPosition(Vec3(2000, 400, 0));
  fired = RunTurrets(world, *v, turrets, 200, true);
  EXPECT_FALSE(world.chainBits[0]);
  EXPECT_TRUE(world.chainBits[1]);
  EXPECT_TRUE(fired[0].empty());
  EXPECT_FALSE(turrets[0]->armed);
  ASSERT_FALSE(fired[2].empty());
  EXPECT_NEAR(fired[2][0], 62, 2);
  // Far from every battery nothing fires.
  v->SetPosition(Vec3(9000, 9000, 0));
  fired = RunTurrets(world, *v, turrets, 200, true);
  for (auto& f : fired) EXPECT_TRUE(f.empty());
}

TEST_F(EnemyRules, ChainBitsCoverEveryBatteryOfTheLevel) {
  world.isBossLevel = true;
  Vehicle* v = Player(Vec3(100, 100, 0));
  for (int n = 1; n <= 9; ++n) Turret("ENEMY_3" + std::to_string(n), Vec3(100.0f + 1000.0f * n, 100, 0));
  SizeChainBits(world);
  EXPECT_GE(world.chainBits.size(), 9u);
  v->SetPosition(Vec3(9100, 100, 0));
  UpdateTurretChain(world, v->Position());
  ASSERT_GE(world.chainBits.size(), 9u);
  EXPECT_TRUE(world.chainBits[8]);
  FireTurretChain(world);
  EXPECT_TRUE(world.shooters.back()->armed);
  // A list the build did not size still gets bits enough.
  world.chainBits.clear();
  UpdateTurretChain(world, v->Position());
  EXPECT_TRUE(world.chainBits.at(8));
}

TEST_F(EnemyRules, ATurretWakesTheBatteryItsNameNumbersWhereverItSorts) {
  // In name order: a leading zero numbers no battery, 10 sorts before 3, and 2 is missing.
  const int battery[] = {0, 1, 10, 3};
  for (const char* name : {"ENEMY_305", "ENEMY_31", "ENEMY_310", "ENEMY_33"})
    Turret(name, Vec3(2000.0f * world.shooters.size(), 0, 0));
  for (int near = 0; near < 4; ++near) {
    UpdateTurretChain(world, world.shooters[near]->Position());
    FireTurretChain(world);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(world.shooters[i]->armed, i == near && battery[near]) << near << i;
  }
}

// ---- patrollers -----------------------------------------------------------------------------------

TEST_F(EnemyRules, APatrollerReversesEveryFiveSecondsWithinItsStretch) {
  Vehicle* v = Player(Vec3(5000, 5000, 0));
  GameObject* e = Patroller("ENEMY2A", Vec3(400, 300, 0));
  float lowest = 400, highest = 400;
  int turns = 0;
  float lastVx = 0;
  for (int frame = 0; frame < 60 * 20; ++frame) {
    MovePatrollers(world);
    UpdatePatrollers(world, *v);
    lowest = std::min(lowest, e->Position().x);
    highest = std::max(highest, e->Position().x);
    if (lastVx != 0 && e->velocity.x != lastVx) ++turns;
    lastVx = e->velocity.x;
  }
  EXPECT_LE(highest - lowest, 151.0f);
  EXPECT_GE(turns, 3);
  EXPECT_EQ(e->Position().y, 300.0f);
}

TEST_F(EnemyRules, APatrollerThatTouchesThePlayerIsPushedBackAndHurtsOnce) {
  Vehicle* v = Player(Vec3(440, 300, 0));
  GameObject* e = Patroller("ENEMY2B", Vec3(400, 300, 0));
  e->velocity = Vec3(0.5f, 0, 0);
  world.trailList = {nullptr};
  UpdatePatrollers(world, *v);
  EXPECT_EQ(v->hp, 9);
  EXPECT_TRUE(v->hit);
  EXPECT_TRUE(e->hit);
  EXPECT_FALSE(e->Animated()->animating);
  EXPECT_EQ(e->velocity, Vec3());
  EXPECT_TRUE(world.shake.requested);
  Frames(30, [&] {
    MovePatrollers(world);
    UpdatePatrollers(world, *v);
  });
  EXPECT_EQ(v->hp, 9); // the player's window holds while they still touch
  v->SetPosition(Vec3(3000, 3000, 0));
  Frames(40, [&] { UpdatePatrollers(world, *v); });
  EXPECT_FALSE(e->hit);
  EXPECT_TRUE(e->Animated()->animating);
}

TEST_F(EnemyRules, APatrollerFollowsItsTrailAndStandsStillOnItsCell) {
  Vehicle* v = Player(Vec3(400, 500, 0));
  GameObject* e = Patroller("ENEMY2A", Vec3(400, 300, 0));
  PathCell here, next;
  here.centre = Vec3(400, 300, 0);
  next.centre = Vec3(400, 326, 0);
  here.previous = &next;
  world.trailList = {&here};
  UpdatePatrollers(world, *v);
  EXPECT_EQ(world.trailList[0], &next);
  EXPECT_NEAR(e->velocity.y, 1.0f, 1e-5f);
  EXPECT_NEAR(e->rotation, 1.5707964f, 1e-5f); // faces the player below
  EXPECT_FLOAT_EQ(e->waitTimer, 3.0f);
  // Standing on the last cell of the trail: no direction, and no NaN.
  e->SetPosition(next.centre);
  UpdatePatrollers(world, *v);
  EXPECT_EQ(e->velocity, Vec3());
  EXPECT_TRUE(Finite(e->Position()));
  // Trail lost: it waits, looking from side to side, then patrols again.
  world.trailList = {nullptr};
  UpdatePatrollers(world, *v);
  EXPECT_EQ(e->velocity, Vec3());
  Frames(200, [&] { UpdatePatrollers(world, *v); });
  EXPECT_NE(e->velocity, Vec3());
}

TEST_F(EnemyRules, ADestroyedCrawlerCountsItsKindOnlyInCampaignLevels) {
  GameObject* a = Patroller("ENEMY2A", Vec3(100, 100, 0));
  GameObject* b = Patroller("ENEMY2VERTICALB", Vec3(200, 100, 0));
  GameObject* healthy = Patroller("ENEMY2B", Vec3(300, 100, 0));
  a->hp = 0;
  b->hp = -1;
  EnemyDeathCheck(world, *a);
  EnemyDeathCheck(world, *b);
  EnemyDeathCheck(world, *healthy);
  EnemyDeathCheck(world, *a); // already gone: nothing more
  EXPECT_EQ(world.killCountA, 1);
  EXPECT_EQ(world.killCountB, 1);
  EXPECT_TRUE(healthy->active);
  ASSERT_EQ(world.stars.size(), 2u);
  EXPECT_EQ(world.stars.front()->name, "score");
  EXPECT_NEAR(world.stars.front()->Position().x, 100.0f, 1e-3f);
  EXPECT_FALSE(a->active);
  // The tutorial drops stars but counts nothing.
  World tutorial;
  tutorial.countsKills = false;
  tutorial.isMainLevel = true;
  GameObject* c = Patroller("ENEMY2A", Vec3(400, 100, 0));
  c->hp = 0;
  EnemyDeathCheck(tutorial, *c);
  EXPECT_EQ(tutorial.killCountA, 0);
  EXPECT_EQ(tutorial.stars.size(), 1u);
}

TEST_F(EnemyRules, TheKeyPromptStandsAboveTheFirstCharacterNear) {
  Vehicle* v = Player(Vec3(400, 300, 0));
  NPC* far = Character("NPC1", Vec3(600, 300, 0));
  NPC* garage = Character("GARAGE", Vec3(450, 300, 0));
  GameObject* prompt = factory.Create("CKEY", "../Assets/image/Ckey.png", Vec3(0, 0, 0), 15, 15, 1);
  UpdateCharacters(world, *v, prompt);
  EXPECT_FALSE(far->near);
  EXPECT_TRUE(garage->near);
  EXPECT_TRUE(prompt->active);
  EXPECT_NEAR(prompt->Position().x, 450.0f, 1e-3f);
  EXPECT_NEAR(prompt->Position().y, 260.0f, 1e-3f);
  // Characters come before garages.
  NPC* close = Character("NPC2", Vec3(400, 350, 0));
  UpdateCharacters(world, *v, prompt);
  EXPECT_NEAR(prompt->Position().y, 310.0f, 1e-3f);
  EXPECT_TRUE(close->near);
  v->SetPosition(Vec3(3000, 3000, 0));
  UpdateCharacters(world, *v, prompt);
  EXPECT_FALSE(prompt->active);
  EXPECT_EQ(prompt->Position().x, 0.0f);
}

} // namespace
