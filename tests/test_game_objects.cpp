#include <gtest/gtest.h>

#include <cmath>

#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include "objects/NPC.h"
#include "objects/Vehicle.h"
#include "objects/Weapon.h"
#include "render/AnimatedTexture.h"
#include "render/Texture.h"
#include "support/GlTestContext.h"
#include "support/TestImages.h"

namespace {

constexpr float TWO_PI = 6.2831855f;

class GameObjects : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(GlTestContext::Get().ok); }

  // Pictures are made here so no test depends on the game's art.
  static std::string Picture() {
    static const std::string path = [] {
      std::string p = TempFolder() + "/thing.png";
      WriteRgbaPng(p, 4, 4, std::vector<uint32_t>(16, 0xff0000ffu));
      return p;
    }();
    return path;
  }
  static std::string Sheet() {
    static const std::string path = [] {
      std::string dir = TempFolder();
      WriteRgbaPng(dir + "/sheet.png", 8, 4, std::vector<uint32_t>(32, 0x00ff00ffu));
      WriteText(dir + "/sheet.txt", "a= 0 0 4 4\nb= 4 0 4 4\n");
      return dir + "/sheet.png";
    }();
    return path;
  }
  static std::string SheetDescriptor() { return Sheet().substr(0, Sheet().size() - 3) + "txt"; }

  GameObjectFactory factory;
};

void ExpectSamePolygon(const Poly& a, const Poly& b, float tolerance) {
  ASSERT_EQ(a.vertices.size(), b.vertices.size());
  for (size_t i = 0; i < a.vertices.size(); ++i) {
    EXPECT_NEAR(a.vertices[i].x, b.vertices[i].x, tolerance) << i;
    EXPECT_NEAR(a.vertices[i].y, b.vertices[i].y, tolerance) << i;
  }
}

} // namespace

TEST_F(GameObjects, EveryFactoryOperationNamesNamelessObjectsName) {
  const Vec3 at(100, 100, 1);
  GameObject* a = factory.Create("", Picture(), at, 10, 10, 1);
  GameObject* b = factory.CreateAnimated("", Sheet(), at, 10, 10, 1, SheetDescriptor());
  Vehicle* c = factory.CreateVehicle("", Sheet(), at, 10, 10, 1, SheetDescriptor());
  NPC* d = factory.CreateNPC("", Picture(), at, 10, 10, 1, "hello", Vec3(1, 2, 0));
  GameObject* e = factory.CreateCopy(*a);
  for (GameObject* o : {a, b, static_cast<GameObject*>(c), static_cast<GameObject*>(d), e})
    EXPECT_EQ(o->GetName(), "name");
  EXPECT_EQ(factory.objects.size(), 5u);
  EXPECT_EQ(factory.CreateCopy(*factory.Create("WALL", Picture(), at, 1, 1, 1))->name, "WALL");
  EXPECT_EQ(d->message, "hello");
  EXPECT_FLOAT_EQ(d->target.x, 101.0f);
}

TEST_F(GameObjects, NewObjectsStandWhereTheyWereMade) {
  GameObject* o = factory.Create("WALL", Picture(), Vec3(300, 200, 1), 20, 10, 1);
  EXPECT_FLOAT_EQ(o->startPosition.x, 300.0f);
  EXPECT_FLOAT_EQ(o->startPosition.y, 200.0f);
  auto [lo, hi] = o->shape->Bounds();
  EXPECT_FLOAT_EQ(lo.x, 280.0f);
  EXPECT_FLOAT_EQ(hi.y, 210.0f);
  EXPECT_FLOAT_EQ(o->shape->normals[0].x, -1.0f);
  EXPECT_EQ(o->cooldown, -1.0f);
  EXPECT_TRUE(o->active && o->forward);
  EXPECT_EQ(o->Animated(), nullptr);
  GameObject* s = factory.CreateAnimated("SACK", Sheet(), Vec3(0, 0, 1), 5, 5, 1, SheetDescriptor());
  ASSERT_NE(s->Animated(), nullptr);
  EXPECT_EQ(s->Animated()->currentFrame, 0u);
}

TEST_F(GameObjects, CopiesTakeMotionAndShapeButStartAfresh) {
  GameObject* source = factory.CreateAnimated("ENEMY2A", Sheet(), Vec3(50, 60, 1), 8, 12, 1, SheetDescriptor());
  source->velocity = Vec3(1, 2, 0);
  source->Rotate(0.5f);
  source->Scale(1.5f);
  source->hp = 7;
  source->active = false;
  source->children.push_back(source);
  source->Animated()->SetFrame(1);
  GameObject* copy = factory.CreateCopy(*source);
  EXPECT_TRUE(copy->active);
  EXPECT_EQ(copy->hp, 0);
  EXPECT_TRUE(copy->children.empty());
  EXPECT_EQ(copy->name, "ENEMY2A");
  EXPECT_EQ(copy->ImagePath(), source->ImagePath());
  EXPECT_EQ(copy->velocity, source->velocity);
  EXPECT_EQ(copy->rotation, source->rotation);
  EXPECT_EQ(copy->scale, source->scale);
  ExpectSamePolygon(*copy->shape, *source->shape, 0.0f);
  ASSERT_NE(copy->Animated(), nullptr);
  EXPECT_EQ(copy->Animated()->currentFrame, 0u);
  EXPECT_EQ(source->Animated()->currentFrame, 1u);
  // Separate polygons: moving the copy leaves the source.
  copy->Move(Vec3(10, 0, 0));
  EXPECT_NEAR(source->shape->Centroid().x, 50.0f, 1e-4f);
}

TEST_F(GameObjects, RotationStaysWithinOneTurnEitherWay) {
  GameObject* o = factory.Create("WALL", Picture(), Vec3(0, 0, 1), 5, 5, 1);
  o->Rotate(7.0f);
  EXPECT_FLOAT_EQ(o->rotation, 7.0f - TWO_PI);
  o->SetRotation(0.0f);
  EXPECT_FLOAT_EQ(o->rotation, 0.0f);
  o->Rotate(-7.0f);
  EXPECT_FLOAT_EQ(o->rotation, -7.0f + TWO_PI);
  o->SetRotation(6.0f);
  EXPECT_NEAR(o->rotation, 6.0f, 1e-6f);
  // A corrupted file's angle must not hang the loader.
  o->Rotate(1e30f);
  EXPECT_LE(std::fabs(o->rotation), TWO_PI);
}

TEST_F(GameObjects, PictureFollowsThePolygon) {
  GameObject* o = factory.Create("WALL", Picture(), Vec3(100, 100, 1), 20, 10, 1);
  o->SetPosition(Vec3(400, 250, 1));
  EXPECT_FLOAT_EQ(o->graphic->center[0], 400.0f);
  EXPECT_FLOAT_EQ(o->graphic->center[1], 250.0f);
  // A quarter turn keeps the picture's sizes along its own edges.
  o->Rotate(1.5707964f);
  EXPECT_EQ(o->graphic->halfWidth, 20);
  EXPECT_EQ(o->graphic->halfHeight, 10);
  EXPECT_NEAR(o->Position().x, 400.0f, 1e-3f);
  o->Move(Vec3(-5, 5, 0));
  EXPECT_NEAR(o->Position().y, 255.0f, 1e-3f);
  o->velocity = Vec3(1, 0, 0);
  o->Update();
  EXPECT_NEAR(o->Position().x, 396.0f, 1e-3f);
}

TEST_F(GameObjects, SetScaleIsAbsoluteAndReversible) {
  GameObject* o = factory.Create("WALL", Picture(), Vec3(70, 30, 1), 16, 8, 1);
  o->Rotate(0.3f);
  const Poly before = *o->shape;
  o->SetScale(2.0f);
  EXPECT_FLOAT_EQ(o->scale, 2.0f);
  o->SetScale(2.0f);
  EXPECT_FLOAT_EQ(o->scale, 2.0f);
  o->SetScale(1.0f);
  ExpectSamePolygon(*o->shape, before, 1e-3f);
  o->Scale(0.5f);
  o->Scale(0.5f);
  EXPECT_FLOAT_EQ(o->scale, 0.25f);
  EXPECT_NEAR(o->graphic->halfWidth, 4, 1); // measured along a turned edge, then truncated
}

TEST_F(GameObjects, ResetTreeFlipsEveryChildDownTheTree) {
  GameObject* enemy = factory.Create("ENEMY", Picture(), Vec3(0, 0, 1), 5, 5, 1);
  GameObject* shot = factory.Create("ENEMYPROJECTILE", Picture(), Vec3(0, 0, 1), 2, 2, 1);
  GameObject* spark = factory.Create("SPARK", Picture(), Vec3(0, 0, 1), 1, 1, 1);
  enemy->children.push_back(shot);
  shot->children.push_back(spark);
  shot->active = false;
  enemy->ResetTree();
  EXPECT_TRUE(enemy->active);
  EXPECT_TRUE(shot->active);
  EXPECT_FALSE(spark->active);
}

TEST_F(GameObjects, VehicleCarriesItsWeaponsAlong) {
  Vehicle* v = factory.CreateVehicle("PLAYER", Sheet(), Vec3(200, 200, 1), 24, 16, 1, SheetDescriptor());
  v->weapons.push_back(std::make_unique<Weapon>(Vec3(200, 200, 1), 25, 25, 1, 1, Picture(), 0.1, 3.0));
  v->weapons.push_back(nullptr);
  v->Move(Vec3(10, 0, 0));
  EXPECT_NEAR(v->weapons[0]->Position().x, 210.0f, 1e-3f);
  EXPECT_NEAR(v->Position().x, 210.0f, 1e-3f);
  v->velocity = Vec3(0, 3, 0);
  v->Update();
  EXPECT_NEAR(v->Position().y, 203.0f, 1e-3f);
  EXPECT_NEAR(v->weapons[0]->Position().y, 206.0f, 1e-3f); // once directly, once through Move
}

TEST_F(GameObjects, WeaponCopiesHaveTheirOwnProjectiles) {
  Weapon source(Vec3(-1000, -1000, 1), 25, 25, 1, 6, Picture(), 1.5, 2.0);
  source.name = "MINICANNON_Right";
  source.projectiles.push_back(std::make_shared<Projectile>(1, Vec3(-1000, -1000, 1), 7, 7, Picture(), 6.0));
  source.projectiles.push_back(source.projectiles[0]);
  source.projectiles[0]->active = true;
  Weapon copy(source);
  EXPECT_EQ(copy.name, "MINICANNON_Right");
  EXPECT_EQ(copy.kind, 6);
  EXPECT_DOUBLE_EQ(copy.styleDuration, 2.0);
  EXPECT_FALSE(copy.alternate);
  ASSERT_EQ(copy.projectiles.size(), 2u);
  EXPECT_NE(copy.projectiles[0], copy.projectiles[1]);
  EXPECT_NE(copy.projectiles[0], source.projectiles[0]);
  EXPECT_FALSE(copy.projectiles[0]->active);
  EXPECT_DOUBLE_EQ(copy.projectiles[1]->lifetime, 6.0);
  EXPECT_EQ(copy.projectiles[1]->ImagePath(), Picture());
}
