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

// Pictures are written here so that no test depends on the game's art.
class GameObjects : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    const std::string dir = TempFolder();
    picture = dir + "/thing.png";
    sheet = dir + "/sheet.png";
    descriptor = dir + "/sheet.txt";
    WriteRgbaPng(picture, 4, 4, std::vector<uint32_t>(16, 0xff0000ffu));
    WriteRgbaPng(sheet, 8, 4, std::vector<uint32_t>(32, 0x00ff00ffu));
    WriteText(descriptor, "a= 0 0 4 4\nb= 4 0 4 4\n");
  }
  void SetUp() override { ASSERT_TRUE(GlTestContext::Get().ok); }
  GameObject* Wall(float x = 100, float y = 100, int hw = 20, int hh = 10) {
    return factory.Create("WALL", picture, Vec3(x, y, 1), hw, hh, 1);
  }

  static inline std::string picture, sheet, descriptor;
  GameObjectFactory factory;
};

} // namespace

TEST_F(GameObjects, EveryFactoryOperationNamesNamelessObjectsName) {
  const Vec3 at(100, 100, 1);
  GameObject* made[] = {factory.Create("", picture, at, 10, 10, 1),
                        factory.CreateAnimated("", sheet, at, 10, 10, 1, descriptor),
                        factory.CreateVehicle("", sheet, at, 10, 10, 1, descriptor),
                        factory.CreateNPC("", picture, at, 10, 10, 1, "hello", Vec3(1, 2, 0)), nullptr};
  made[4] = factory.CreateCopy(*made[0]);
  for (GameObject* o : made) EXPECT_EQ(o->GetName(), "name");
  EXPECT_EQ(factory.objects.size(), 5u);
}

TEST_F(GameObjects, CopiesTakeMotionShapeAndPictureButStartAfresh) {
  GameObject* source = factory.CreateAnimated("ENEMY2A", sheet, Vec3(50, 60, 1), 8, 12, 1, descriptor);
  source->velocity = Vec3(1, 2, 0);
  source->Rotate(0.5f);
  source->Scale(1.5f);
  source->hp = 7;
  source->active = false;
  source->Animated()->SetFrame(1);
  GameObject* copy = factory.CreateCopy(*source);
  EXPECT_TRUE(copy->active);
  EXPECT_EQ(copy->hp, 0);
  EXPECT_EQ(copy->name, "ENEMY2A");
  EXPECT_EQ(copy->ImagePath(), source->ImagePath());
  EXPECT_EQ(copy->velocity, source->velocity);
  EXPECT_EQ(copy->rotation, source->rotation);
  EXPECT_EQ(copy->scale, source->scale);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(copy->shape->vertices[i], source->shape->vertices[i]);
  EXPECT_EQ(copy->Animated()->currentFrame, 0u);
  EXPECT_EQ(source->Animated()->currentFrame, 1u); // the source keeps its frame
}

TEST_F(GameObjects, RotationStaysWithinOneTurnEitherWay) {
  GameObject* o = Wall();
  o->Rotate(7.0f);
  EXPECT_FLOAT_EQ(o->rotation, 7.0f - TWO_PI);
  o->SetRotation(0.0f);
  o->Rotate(-7.0f);
  EXPECT_FLOAT_EQ(o->rotation, -7.0f + TWO_PI);
  o->SetRotation(6.0f);
  EXPECT_NEAR(o->rotation, 6.0f, 1e-6f);
  o->Rotate(1e30f); // a corrupted file's angle must not hang the loader
  EXPECT_LE(std::fabs(o->rotation), TWO_PI);
}

TEST_F(GameObjects, PictureFollowsThePolygon) {
  GameObject* o = Wall();
  o->SetPosition(Vec3(400, 250, 1));
  EXPECT_FLOAT_EQ(o->graphic->center[0], 400.0f);
  EXPECT_FLOAT_EQ(o->graphic->center[1], 250.0f);
  o->Rotate(1.5707964f); // sizes stay measured along the picture's own edges
  EXPECT_EQ(o->graphic->halfWidth, 20);
  EXPECT_EQ(o->graphic->halfHeight, 10);
  o->velocity = Vec3(-4, 5, 0);
  o->Update();
  EXPECT_NEAR(o->Position().x, 396.0f, 1e-3f);
  EXPECT_NEAR(o->Position().y, 255.0f, 1e-3f);
  const Poly before = *o->shape;
  o->SetScale(2.0f);
  o->SetScale(2.0f);
  EXPECT_FLOAT_EQ(o->scale, 2.0f);
  o->SetScale(1.0f);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(o->shape->vertices[i].x, before.vertices[i].x, 1e-3f);
    EXPECT_NEAR(o->shape->vertices[i].y, before.vertices[i].y, 1e-3f);
  }
}

TEST_F(GameObjects, ResetTreeFlipsEveryChildDownTheTree) {
  GameObject* enemy = Wall();
  GameObject* shot = Wall();
  GameObject* spark = Wall();
  enemy->children.push_back(shot);
  shot->children.push_back(spark);
  shot->active = false;
  enemy->ResetTree();
  EXPECT_TRUE(enemy->active);
  EXPECT_TRUE(shot->active);
  EXPECT_FALSE(spark->active);
}

TEST_F(GameObjects, VehicleCarriesItsWeapons) {
  Vehicle* v = factory.CreateVehicle("PLAYER", sheet, Vec3(200, 200, 1), 24, 16, 1, descriptor);
  v->weapons.push_back(
      std::make_unique<Weapon>(Vec3(200, 200, 1), 25, 25, 1, WeaponKind::Boom, picture, 1.5, 2.0));
  v->weapons.push_back(nullptr);
  v->velocity = Vec3(0, 3, 0);
  v->Update();
  EXPECT_NEAR(v->Position().y, 203.0f, 1e-3f);
  EXPECT_NEAR(v->weapons[0]->Position().y, 206.0f, 1e-3f); // once directly, once through Move
}

TEST_F(GameObjects, GarageGunsShareOneTemplateUntilFittedToTheVehicle) {
  const Vec3 away(-1000, -1000, 1);
  const Projectile bullet(1, away, 7, 7, picture, 2.0), shell(1, away, 7, 7, picture, 6.0);
  const Weapon spray(away, 25, 25, 1, WeaponKind::Sprayer, picture, 0.1, 0.1, bullet);
  const Weapon cannon(away, 25, 25, 1, WeaponKind::Boom, picture, 1.5, 1.0, shell);
  const Weapon hole(away, 25, 25, 1, WeaponKind::Split, picture, 0.1, 0.6, bullet);
  EXPECT_EQ(spray.projectiles.size(), 120u); // 2.0 / 0.1 passes, not 19
  EXPECT_EQ(cannon.projectiles.size(), 64u);
  EXPECT_EQ(hole.projectiles.size(), 80u);
  EXPECT_DOUBLE_EQ(spray.damage, 3.0);
  EXPECT_DOUBLE_EQ(cannon.damage, 2.0);
  EXPECT_DOUBLE_EQ(hole.damage, 4.0);
  EXPECT_EQ(spray.projectiles.back(), spray.projectileTemplate);
  const Weapon fitted(spray);
  ASSERT_EQ(fitted.projectiles.size(), 120u);
  EXPECT_NE(fitted.projectiles[0], fitted.projectiles[1]); // every shot flies on its own
  EXPECT_FALSE(fitted.alternate);
  EXPECT_DOUBLE_EQ(fitted.styleDuration, 2.0);
}
