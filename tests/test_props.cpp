// Sacks, gates and their rules, pickups, and the grass carpet.
#include <gtest/gtest.h>

#include "core/GameState.h"
#include "objects/Vehicle.h"
#include "objects/WorldRules.h"
#include "render/AnimatedTexture.h"
#include "render/Texture.h"
#include "support/TestWorld.h"

namespace {

class PropRules : public WorldTest {};

TEST_F(PropRules, ASackTakesTwoShotsShowingItsWearAndGoesAtTheThird) {
  GameObject* sack = Sack(Vec3(300, 300, 0));
  HitSack(*sack);
  EXPECT_EQ(sack->Animated()->currentFrame, 1u);
  HitSack(*sack);
  EXPECT_EQ(sack->Animated()->currentFrame, 0u);
  EXPECT_TRUE(sack->active);
  HitSack(*sack);
  EXPECT_FALSE(sack->active);
  HitSack(*sack); // a gone sack stays gone
  EXPECT_FALSE(sack->active);
}

TEST_F(PropRules, MainGunShotsEndOnWallsAndWearSacks) {
  Vehicle* v = Player(Vec3(0, 0, 0), 2);
  Wall(Vec3(300, 300, 0));
  GameObject* sack = Sack(Vec3(600, 300, 0));
  GameObject* open = Gate("GATE4", Vec3(900, 300, 0));
  open->hp = 0;
  const Vec3 at[] = {Vec3(300, 300, 0), Vec3(600, 300, 0)};
  for (int i = 0; i < 2; ++i) {
    v->children[i]->active = true;
    v->children[i]->lifetime = 2.0f;
    v->children[i]->SetPosition(at[i]);
  }
  UpdateMainGunShots(world, *v);
  EXPECT_FALSE(v->children[0]->active);
  EXPECT_FALSE(v->children[1]->active);
  EXPECT_EQ(sack->hp, 2);
  // An open gate lets shots through.
  v->children[0]->active = true;
  v->children[0]->SetPosition(open->Position());
  UpdateMainGunShots(world, *v);
  EXPECT_TRUE(v->children[0]->active);
}

TEST_F(PropRules, GateNumbersMatchByContainment) {
  GameObject* g1 = Gate("GATE1", Vec3(0, 0, 0));
  GameObject* g12 = Gate("GATE12", Vec3(100, 0, 0));
  GameObject* g2 = Gate("GATE2", Vec3(200, 0, 0));
  GameObject* portal = Gate("PORTALEND", Vec3(300, 0, 0));
  OpenGate(world.gates, 1);
  EXPECT_EQ(g1->hp, 0);
  EXPECT_EQ(g12->hp, 0);
  EXPECT_EQ(g2->hp, 1);
  EXPECT_EQ(g12->ImagePath(), "../Assets/image/gateOpen.png");
  CloseAllGates(world.gates);
  EXPECT_EQ(g1->hp, 1);
  EXPECT_EQ(g12->ImagePath(), "../Assets/image/gateClose.png");
  OpenGate(world.gates, 0);
  for (GameObject* g : {g1, g12, g2}) EXPECT_EQ(g->hp, 0);
  EXPECT_EQ(portal->hp, 1);
  EXPECT_EQ(portal->ImagePath(), "../Assets/image/props/portal.png");
}

TEST_F(PropRules, KillsAndThePizzaOpenTheirGatesOnce) {
  Vehicle* v = Player(Vec3(0, 0, 0));
  GameObject* g10 = Gate("GATE10", Vec3(100, 0, 0));
  GameObject* g11 = Gate("GATE11", Vec3(200, 0, 0));
  GameObject* g12 = Gate("GATE12", Vec3(300, 0, 0));
  GameObject* pizza = Pizza(Vec3(700, 700, 0));
  for (int i = 0; i < 4; ++i) {
    ApplyGateRules(world);
    EXPECT_EQ(g11->hp, 1) << i;
    GameObject* e = Patroller("ENEMY2A", Vec3(100.0f * i, 500, 0));
    e->hp = 0;
    EnemyDeathCheck(world, *e);
  }
  ApplyGateRules(world);
  EXPECT_TRUE(world.gateStage2);
  EXPECT_EQ(g11->hp, 0);
  // Once marked, the rule leaves the group alone: a gate closed since stays closed.
  g11->hp = 1;
  GameObject* e = Patroller("ENEMY2A", Vec3(900, 500, 0));
  e->hp = 0;
  EnemyDeathCheck(world, *e);
  ApplyGateRules(world);
  EXPECT_EQ(g11->hp, 1);
  EXPECT_EQ(g10->hp, 1);
  EXPECT_EQ(g12->hp, 1);
  // The pizza.
  UpdatePizza(world, *v);
  EXPECT_TRUE(pizza->active);
  v->SetPosition(pizza->Position());
  UpdatePizza(world, *v);
  EXPECT_FALSE(pizza->active);
  EXPECT_TRUE(g_play.pizzaCarried);
  EXPECT_EQ(g_play.thermometer, 1.0f);
  ApplyGateRules(world);
  EXPECT_EQ(g10->hp, 0);
}

TEST_F(PropRules, AVisitedGarageOpensItsGateWithoutReloadingThePicture) {
  world.isMainLevel = false;
  world.isBossLevel = true;
  GameObject* g21 = Gate("GATE21", Vec3(0, 0, 0));
  world.garageVisited = {true};
  ApplyGateRules(world);
  EXPECT_EQ(g21->hp, 0);
  EXPECT_EQ(g21->ImagePath(), "../Assets/image/gateOpen.png");
  // Frame after frame the rule runs again; the gate's picture must not be loaded anew.
  g21->graphic->textureName = 987654;
  for (int frame = 0; frame < 5; ++frame) ApplyGateRules(world);
  EXPECT_EQ(g21->graphic->textureName, 987654u);
  OpenAllGates(world.gates);
  EXPECT_EQ(g21->graphic->textureName, 987654u);
  g21->graphic->textureName = 0;
}

TEST_F(PropRules, AFuelCanRefillsOnceAndHitPointsStopAtTen) {
  Vehicle* v = Player(Vec3(400, 300, 0));
  world.fuelPickups.push_back(MakeFuelPickup(Vec3(400, 300, 0)));
  EXPECT_TRUE(world.fuelPickups[0].available);
  EXPECT_EQ(world.fuelPickups[0].object->ImagePath(), "../Assets/image/fuel.png");
  v->hp = 4;
  UpdateFuelPickups(world, *v);
  EXPECT_EQ(v->hp, 10);
  EXPECT_FALSE(world.fuelPickups[0].available);
  v->hp = 4;
  UpdateFuelPickups(world, *v);
  EXPECT_EQ(v->hp, 4);
  v->hp = 14;
  UpdateFuelPickups(world, *v);
  EXPECT_EQ(v->hp, 10);
}

// ---- the grass carpet -----------------------------------------------------------------------------

class GrassCarpet : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    CreateBackgroundTiles();
  }
  void TearDown() override {
    DestroyBackgroundTiles();
    WorldTest::TearDown();
  }
};

TEST_F(GrassCarpet, ALevelIsCoveredFromItsLowestCorner) {
  ASSERT_EQ(g_background.tiles.size(), 100u);
  EXPECT_EQ(g_background.extent.columns, 0);
  LayTiles(); // no columns: nothing moves
  EXPECT_EQ(g_background.tiles[0]->Position().x, -1000.0f);
  std::vector<GameObject*> objects = {Wall(Vec3(100, 50, 0)), Wall(Vec3(1100, 650, 0)), Wall(Vec3(600, 300, 0))};
  MeasureLevel(objects);
  EXPECT_EQ(g_background.extent.originX, 100);
  EXPECT_EQ(g_background.extent.originY, 50);
  EXPECT_EQ(g_background.extent.columns, 4);
  EXPECT_EQ(g_background.extent.rows, 3);
  LayTiles();
  EXPECT_EQ(g_background.tiles[0]->Position().x, 100.0f);
  EXPECT_EQ(g_background.tiles[0]->Position().y, 50.0f);
  EXPECT_EQ(g_background.tiles[1]->Position().y, 450.0f); // down the first column first
  EXPECT_EQ(g_background.tiles[3]->Position().x, 500.0f);
  EXPECT_EQ(g_background.tiles[11]->Position().x, 1300.0f);
  EXPECT_EQ(g_background.tiles[12]->Position().x, -1000.0f);
}

TEST_F(GrassCarpet, AHugeLevelGetsTheFirstHundredTiles) {
  MeasureLevel({Wall(Vec3(0, 0, 0)), Wall(Vec3(8000, 8000, 0))});
  EXPECT_EQ(g_background.extent.columns, 22);
  LayTiles();
  EXPECT_EQ(g_background.tiles[99]->Position().x, 400.0f * (99 / 22));
  EXPECT_EQ(g_background.tiles[99]->Position().y, 400.0f * (99 % 22));
  MeasureLevel({});
  EXPECT_EQ(g_background.extent.columns, 0);
}

} // namespace
