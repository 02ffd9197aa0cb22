// Side weapons: the garage's guns, every firing pattern, the volley's end, the black hole's
// split, and what their projectiles hit.
#include <gtest/gtest.h>

#include <cmath>

#include "core/GameState.h"
#include "objects/Projectile.h"
#include "objects/Vehicle.h"
#include "objects/Weapon.h"
#include "objects/WorldRules.h"
#include "support/TestWorld.h"

namespace {

const std::string BULLET = "../Assets/image/gun/GunDefault_Bullet.png";

class WeaponRules : public WorldTest {
protected:
  // A loadout-style weapon at `at` with `entries` separate projectiles.
  std::shared_ptr<Weapon> Gun(WeaponKind kind, int entries, double reloadTime = 0.1, const Vec3& at = Vec3(400, 300, 0),
                              const std::string& image = "../Assets/image/gun/GunDefault_Left.png") {
    auto gun = std::make_shared<Weapon>(at, 25, 25, 1, kind, image, reloadTime, 3.0);
    for (int i = 0; i < entries; ++i)
      gun->projectiles.push_back(std::make_shared<Projectile>(1, Vec3(-1000, -1000, 0), 7, 7, BULLET, 2.0));
    return gun;
  }
  static std::vector<int> Flying(const Weapon& w) {
    std::vector<int> out;
    for (size_t i = 0; i < w.projectiles.size(); ++i)
      if (w.projectiles[i]->active) out.push_back(static_cast<int>(i));
    return out;
  }
  static void Ticks(Weapon& w, double seconds) {
    for (int i = 0; i < static_cast<int>(std::lround(seconds * 60)); ++i) w.Tick();
  }
};

TEST_F(WeaponRules, TheGarageOffersSixGunsWithPoolsFilledInWholePasses) {
  auto guns = MakeGarageGuns();
  ASSERT_EQ(guns.size(), 6u);
  const char* names[] = {"DEFAULT_Left", "DEFAULT_Right", "MINICANNON_Left", "MINICANNON_Right", "BLACKHOLE_Left",
                         "BLACKHOLE_Right"};
  const WeaponKind kinds[] = {WeaponKind::Sprayer, WeaponKind::Sprayer, WeaponKind::Boom,
                             WeaponKind::Boom,    WeaponKind::Split,   WeaponKind::Split};
  const size_t entries[] = {120, 120, 64, 64, 80, 80}; // 2.0 / 0.1 is 20 passes, not 19
  const double damage[] = {3.0, 3.0, 2.0, 2.0, 4.0, 4.0};
  for (size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(guns[i]->name, names[i]);
    EXPECT_EQ(guns[i]->kind, kinds[i]);
    EXPECT_EQ(guns[i]->projectiles.size(), entries[i]);
    EXPECT_EQ(guns[i]->damage, damage[i]);
    EXPECT_EQ(guns[i]->projectiles.front(), guns[i]->projectiles.back()); // one shared template
    EXPECT_NE(guns[i]->ImagePath().find(i % 2 ? "_Right.png" : "_Left.png"), std::string::npos);
  }
  // On the vehicle each gun is a copy with projectiles of its own and a 2 s volley.
  const double reload[] = {0.3, 3.5, 2.1};
  for (size_t k = 0; k < 3; ++k) {
    Weapon copy(*guns[2 * k]);
    EXPECT_NE(copy.projectiles[0], copy.projectiles[1]);
    EXPECT_EQ(copy.styleDuration, 2.0);
    copy.Fire();
    EXPECT_NEAR(copy.reloadRemaining, reload[k], 1e-9);
  }
}

TEST_F(WeaponRules, TheSprayerAlternatesItsGroupsAndACopyStartsWithTheSecond) {
  auto gun = Gun(WeaponKind::Sprayer, 6);
  gun->Fire();
  EXPECT_EQ(Flying(*gun), (std::vector<int>{0, 1, 2}));
  gun->Fire();
  EXPECT_EQ(Flying(*gun), (std::vector<int>{0, 1, 2, 3, 4, 5}));
  Weapon copy(*Gun(WeaponKind::Sprayer, 6));
  copy.Fire();
  EXPECT_EQ(Flying(copy), (std::vector<int>{3, 4, 5}));
  // A busy entry pushes the group on; the scan stops at the end of the pool.
  copy.Fire();
  EXPECT_EQ(Flying(copy), (std::vector<int>{0, 1, 2, 3, 4, 5}));
  copy.Fire();
  EXPECT_EQ(Flying(copy).size(), 6u);
}

TEST_F(WeaponRules, TheMiniCannonFiresFifteenShellsHalfARadianApart) {
  auto gun = Gun(WeaponKind::Boom, 16);
  gun->Fire();
  std::vector<int> expected;
  for (int i = 0; i < 15; ++i) expected.push_back(i);
  EXPECT_EQ(Flying(*gun), expected);
  for (int k = 0; k < 15; ++k) {
    const Projectile& p = *gun->projectiles[k];
    const float heading = std::atan2(p.velocity.y, p.velocity.x);
    const float want = std::remainder((k - 1) * 0.5f, 6.2831855f);
    EXPECT_NEAR(std::remainder(heading - want, 6.2831855f), 0.0f, 1e-4f) << k;
    EXPECT_NEAR(Length2D(p.velocity), 375.0f, 1e-2f);
  }
}

TEST_F(WeaponRules, AVolleyEndsAllItsShotsAtOnce) {
  Weapon gun(*Gun(WeaponKind::Boom, 16));
  gun.projectiles[0]->lifetime = 10.0; // would fly on for long
  gun.Fire();
  for (auto& p : gun.projectiles) p->remaining = 10.0;
  Ticks(gun, 1.9);
  EXPECT_EQ(Flying(gun).size(), 15u);
  Ticks(gun, 0.2);
  EXPECT_TRUE(Flying(gun).empty());
  EXPECT_EQ(gun.styleTimer, 0.0);
}

TEST_F(WeaponRules, AWeaponWithoutReloadTimeFiresAgain) {
  Weapon gun(*Gun(WeaponKind::Sprayer, 6, 0.0));
  gun.Fire();
  EXPECT_GT(gun.reloadRemaining, 0.0); // the volley's share of the reload
  Ticks(gun, 0.3);
  EXPECT_LE(gun.reloadRemaining, 0.0);
}

TEST_F(WeaponRules, TheBlackHoleSplitsAfterPointEightSecondsAndOnAHit) {
  Weapon gun(*Gun(WeaponKind::Split, 8));
  gun.Fire();
  EXPECT_EQ(Flying(gun), (std::vector<int>{0, 1}));
  Ticks(gun, 0.78);
  EXPECT_EQ(Flying(gun), (std::vector<int>{0, 1}));
  Ticks(gun, 0.05);
  EXPECT_EQ(Flying(gun), (std::vector<int>{2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(gun.damage, 2.0);
  for (size_t i = 2; i < 8; ++i) EXPECT_TRUE(std::isfinite(gun.projectiles[i]->position.x));
  Ticks(gun, 5.0);
  EXPECT_TRUE(Flying(gun).empty());
  EXPECT_EQ(gun.damage, 4.0);

  // Against a gunner the primary splits where it strikes.
  Vehicle* v = Player(Vec3(400, 300, 0));
  GameObject* gunner = Gunner(Vec3(470, 300, 0));
  gunner->hp = 100;
  v->weapons.push_back(std::make_shared<Weapon>(*Gun(WeaponKind::Split, 8)));
  Weapon& fitted = *v->weapons[0];
  fitted.Fire();
  fitted.projectiles[1]->active = false;
  fitted.projectiles[0]->velocity = Vec3(375, 0, 0);
  fitted.projectiles[0]->position = Vec3(430, 300, 0);
  for (int frame = 0; frame < 20 && fitted.projectiles[0]->active; ++frame) UpdateSideWeapons(world, *v);
  EXPECT_FALSE(fitted.projectiles[0]->active);
  EXPECT_LT(gunner->hp, 100);
  // The fragments were launched at once (they may strike the gunner too); the second
  // primary's fragments were not.
  for (size_t i = 2; i <= 4; ++i) EXPECT_GT(fitted.projectiles[i]->remaining, 0.0) << i;
  for (size_t i = 5; i <= 7; ++i) EXPECT_EQ(fitted.projectiles[i]->remaining, 0.0) << i;
}

TEST_F(WeaponRules, TheBlackHoleScanStopsAtTheEndOfAShortPool) {
  for (int entries : {0, 1, 2, 3}) {
    auto gun = Gun(WeaponKind::Split, entries);
    if (entries > 0) gun->projectiles[0]->active = true;
    gun->Fire(); // must not read past the pool
    gun->Tick();
  }
  auto two = Gun(WeaponKind::Split, 2);
  two->Fire();
  EXPECT_EQ(Flying(*two), (std::vector<int>{0, 1}));
}

TEST_F(WeaponRules, ProjectilesHitGunnersAndPatrollersButPassTurrets) {
  world.isMainLevel = true;
  Vehicle* v = Player(Vec3(0, 0, 0));
  GameObject* turret = Turret("ENEMY_31", Vec3(600, 300, 0));
  GameObject* crawler = Patroller("ENEMY2A", Vec3(600, 600, 0));
  v->weapons.push_back(std::make_shared<Weapon>(*Gun(WeaponKind::Sprayer, 6)));
  Weapon& gun = *v->weapons[0];
  auto aim = [&](size_t i, const Vec3& at) {
    Projectile& p = *gun.projectiles[i];
    p.active = true;
    p.remaining = 2.0;
    p.velocity = Vec3();
    p.position = at;
  };
  // Two shots reach one crawler in the same frame: one death, one star, one kill.
  aim(0, Vec3(600, 600, 0));
  aim(1, Vec3(600, 600, 0));
  aim(2, Vec3(600, 300, 0));
  UpdateSideWeapons(world, *v);
  EXPECT_FALSE(crawler->active);
  EXPECT_EQ(world.stars.size(), 1u);
  EXPECT_EQ(world.killCountA, 1);
  EXPECT_TRUE(gun.projectiles[2]->active); // through the turret
  EXPECT_EQ(turret->hp, 2);
  EXPECT_TRUE(turret->active);
  // In the boss level gunners are out of reach.
  world.isBossLevel = true;
  GameObject* gunner = Gunner(Vec3(900, 900, 0));
  aim(3, Vec3(900, 900, 0));
  UpdateSideWeapons(world, *v);
  EXPECT_EQ(gunner->hp, 2);
}

TEST_F(WeaponRules, AProjectileOnASackWearsItDownAndPuffs) {
  Vehicle* v = Player(Vec3(0, 0, 0));
  GameObject* sack = Sack(Vec3(500, 500, 0));
  v->weapons.push_back(std::make_shared<Weapon>(*Gun(WeaponKind::Sprayer, 6)));
  Projectile& p = *v->weapons[0]->projectiles[0];
  p.active = true;
  p.remaining = 2.0;
  p.position = Vec3(500, 500, 0);
  UpdateSideWeapons(world, *v);
  EXPECT_FALSE(p.active);
  EXPECT_EQ(sack->hp, 2);
  int puffing = 0;
  for (auto& s : g_particles.puff) puffing += s->elapsed <= s->duration;
  EXPECT_EQ(puffing, 1);
}

} // namespace
