#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "levels/LevelTokens.h"

namespace {

std::string Block(const std::string& keyword, const std::string& numbers) {
  return keyword + " WALL w.png " + numbers + (keyword == "Vehicle" ? " EndVehicle\n" : " EndGameObject\n");
}
const std::string PLAYER = "Vehicle\nPLAYER\np.png\n0\n1\n1\n0\n400\n300\n48\n32\nEndVehicle\n";

bool Validate(const std::string& text) {
  std::istringstream in(text);
  return ValidateLevelTokens(in);
}

BlockResult ParseOne(const std::string& text) {
  std::istringstream in(text);
  ObjectRecord r;
  std::string problem;
  return ParseObjectBlock(in, r, problem);
}

LoadoutRecord Loadout(const std::string& text, std::string& log, bool vehicle = true) {
  std::istringstream in(text);
  std::ostringstream out;
  LoadoutRecord l;
  ParseLoadout(in, vehicle, l, out, "loadout");
  log = out.str();
  return l;
}

const std::string WEAPON = "Weapon A a.png 0 1 1 0 0 0 25 25 0.1 3 1\n";

} // namespace

TEST(ObjectBlockParsing, NumbersMustBeWholeFiniteAndInRange) {
  EXPECT_EQ(ParseOne(Block("GameObject", "0 1 +1 -0 1.23457e+06 -5e-05 15.9 100000")), BlockResult::Read);
  EXPECT_EQ(ParseOne(Block("GameObject", "0 1 1 0 1 1 0 0\r\n")), BlockResult::Read);
  EXPECT_EQ(ParseOne(Block("GameObject", "0 1 2 0 -1e+09 1e+09 50000 1")), BlockResult::Read);
  // Far-off centres and huge scales stay finite as floats but not once the
  // object is made: the centroid overflows and the picture's sizes leave int.
  for (const char* numbers : {"0 1 1 0 abc 1 1 1", "0 1 1 0 nan 1 1 1", "0 1 1 0 inf 1 1 1", "0 1 1 0 1e39 1 1 1",
                              "0 1 1 0 12abc 1 1 1", "0 1.5 1 0 1 1 1 1", "0 1 1 0 1 1 -1 1",
                              "0 1 1 0 1 1 1 100000.5", "0 1 1 0 1 1 3e9 1", "0 1 0 0 1 1 1 1", "0 1 -2 0 1 1 1 1",
                              "0 1 1 0 3e38 1 1 1", "0 1 1 0 1 -1.5e9 1 1", "0 1 1e30 0 1 1 5 5",
                              "0 1 2 0 1 1 1 60000"})
    EXPECT_EQ(ParseOne(Block("GameObject", numbers)), BlockResult::Malformed) << numbers;
  EXPECT_EQ(ParseOne("GameObject WALL w.png 0 1"), BlockResult::Truncated);
  EXPECT_EQ(ParseOne("GameObject WALL w.png 0 1 1 0 1 1 1 1"), BlockResult::Read); // only the end keyword missing
  EXPECT_EQ(ParseOne(" \n"), BlockResult::End);
}

TEST(ObjectKinds, DescriptorAndWallVariantPaths) {
  EXPECT_EQ(ChooseObjectKind("Thing", "ENEMY"), ObjectKind::None);
  EXPECT_EQ(ChooseObjectKind("Thing", "WALL"), ObjectKind::Static);
  EXPECT_EQ(ChooseObjectKind("GameObject", "SACKS"), ObjectKind::Static);
  EXPECT_EQ(ChooseObjectKind("GameObject", "PORTAL3"), ObjectKind::Animated);
  EXPECT_EQ(ChooseObjectKind("GameObject", "ENEMY_310"), ObjectKind::Animated);
  EXPECT_EQ(ChooseObjectKind("Vehicle", "GARAGE"), ObjectKind::Npc);
  EXPECT_EQ(ChooseObjectKind("GameObject", "GARAGE2"), ObjectKind::Static);
  EXPECT_EQ(DescriptorPath("../Assets/image/Tank.png"), "../Assets/image/Tank.txt");
  EXPECT_EQ(DescriptorPath("ab"), "txt");
  EXPECT_EQ(WallVariantPath("../Assets/image/stonewall.png", 0), "../Assets/image/stonewall2.png");
  EXPECT_EQ(WallVariantPath("../Assets/image/wall.png", 3), "../Assets/image/wall.png");
  EXPECT_EQ(WallVariantPath("../Assets/image/wall.bmp", 0), "../Assets/image/wall.bmp");
}

TEST(LevelValidation, AcceptsOnlyWellFramedFilesWithAPlayer) {
  const std::string wall = Block("GameObject", "0 1 1 0 1 1 1 1");
  EXPECT_TRUE(Validate(PLAYER));
  EXPECT_TRUE(Validate(PLAYER + wall + wall + "\r\n"));
  EXPECT_FALSE(Validate(""));
  EXPECT_FALSE(Validate(wall));                      // no PLAYER
  EXPECT_FALSE(Validate(PLAYER + wall + "extra\n")); // not a multiple of 12
  EXPECT_FALSE(Validate(wall + PLAYER));             // once a GameObject is open the file ends on one
  EXPECT_FALSE(Validate(PLAYER + "GameObject WALL w.png 0 1 1 0 1 1 1 1 xy\n")); // too short to compare
  std::string noBreak = PLAYER + wall;
  noBreak.pop_back();
  EXPECT_FALSE(Validate(noBreak));
}

TEST(LevelValidation, VehicleWeaponCountDecidesTheBlockAlignment) {
  auto vehicle = [](int weapons) {
    std::string s = "Vehicle PLAYER p.png 1 2 3 4 0 1 1 0\n";
    for (int i = 0; i < weapons; ++i) s += "Weapon W w.png 1 2 3 4 0 1 1 0 0.1 3 1 EndWeapon\n";
    return s + "EndVehicle\n";
  };
  const std::string wall = Block("GameObject", "0 1 1 0 1 1 1 1");
  EXPECT_FALSE(Validate(vehicle(2) + wall)); // 12 + 2 * 15 = 42 tokens before it
  EXPECT_TRUE(Validate(vehicle(0) + wall));
  EXPECT_TRUE(Validate(vehicle(4) + wall));
}

TEST(LoadoutParsing, ReadsWeaponsAndKeepsAProjectileWithoutItsEnd) {
  std::string log;
  LoadoutRecord l = Loadout("7\n2\n" + WEAPON +
                                "Projectile b.png 1 375 0 -1000 -1000 7.9 7 2 EndProjectile\n"
                                "Projectile b.png 1 375 0 -1000 -1000 7 7 6 Wrong\n"
                                "EndWeapon\nWeapon M m.png 0 1 1 0 5 6 25 24 1.5 2 6\nEndWeapon\n",
                            log);
  ASSERT_EQ(l.weapons.size(), 2u);
  ASSERT_EQ(l.weapons[0].projectiles.size(), 2u);
  EXPECT_DOUBLE_EQ(l.weapons[0].projectiles[1].lifetime, 6.0);
  EXPECT_EQ(l.weapons[1].kind, 6);
  EXPECT_EQ(log, "PROBLEM!\n");
}

TEST(LoadoutParsing, ClampsWhatNoHitCouldUseWithOneLineEach) {
  const std::string shot = "Projectile b.png 1 375 0 -1000 -1000 7 7 2 EndProjectile\n";
  std::string pool;
  for (int i = 0; i < 1500; ++i) pool += shot;
  struct Case {
    std::string text;
    int upgradeLevel;
    double damage;
    size_t shots;
  } cases[] = {
      {"10\n2000000000\n" + WEAPON + "EndWeapon\n", MAX_UPGRADE_LEVEL, 3.0, 0},
      {"10\n-2147483648\n" + WEAPON + "EndWeapon\n", -MAX_UPGRADE_LEVEL, 3.0, 0},
      {"10\n1\nWeapon A a.png 0 1 1 0 0 0 25 25 0.1 1e38 1\nEndWeapon\n", 1, MAX_WEAPON_DAMAGE, 0},
      {"10\n1\nWeapon A a.png 0 1 1 0 0 0 25 25 0.1 -3e38 1\nEndWeapon\n", 1, -MAX_WEAPON_DAMAGE, 0},
      {"10\n1\n" + WEAPON + pool + "EndWeapon\n", 1, 3.0, MAX_LOADOUT_SHOTS},
  };
  for (const Case& c : cases) {
    std::string log;
    LoadoutRecord l = Loadout(c.text, log);
    EXPECT_EQ(l.upgradeLevel, c.upgradeLevel);
    ASSERT_EQ(l.weapons.size(), 1u);
    EXPECT_DOUBLE_EQ(l.weapons[0].damage, c.damage);
    EXPECT_EQ(l.weapons[0].projectiles.size(), c.shots);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  }
  std::string log;
  Loadout("10\n1000\n" + WEAPON + shot + "EndWeapon\n", log); // at the limits: nothing to say
  EXPECT_EQ(log, "");
}

TEST(LoadoutParsing, StopsAtTheFirstFaultAndKeepsWhatCameBefore) {
  std::string log;
  EXPECT_EQ(Loadout("10\n1\n" + WEAPON + "EndWeapon\nWeapon B b.png 0 1 1 0 0 0 25 25 fast 3 1\n" + WEAPON, log)
                .weapons.size(),
            1u);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
  EXPECT_NE(log.find("reload time"), std::string::npos);
  // Tokens running out inside a weapon, or right after one: nothing spins, earlier weapons stay.
  EXPECT_EQ(Loadout("10\n1\n" + WEAPON + "EndWeapon\nWeapon C c.png 0 1", log).weapons.size(), 1u);
  EXPECT_EQ(Loadout("10\n1\n" + WEAPON, log).weapons.size(), 1u);
  EXPECT_EQ(Loadout("10\n1\n" + WEAPON + "Projectile b.png 1 375 0", log).weapons.size(), 1u);
  EXPECT_TRUE(Loadout("4\n9\n" + WEAPON, log, false).weapons.empty()); // not a vehicle: hit points alone
  EXPECT_FALSE(Loadout("ten\n", log).hasHp);
  for (const char* cut : {"", "\n", "10\n"}) { // nothing, or no upgrade level: said once, not passed over
    EXPECT_FALSE(Loadout(cut, log).hasUpgradeLevel);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << cut;
  }
}
