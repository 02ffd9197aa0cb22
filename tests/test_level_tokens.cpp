#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "levels/LevelTokens.h"

namespace {

std::string Lines(std::initializer_list<const char*> tokens) {
  std::string s;
  for (const char* t : tokens) s += std::string(t) + "\n";
  return s;
}

const std::string PLAYER_BLOCK =
    Lines({"Vehicle", "PLAYER", "../Assets/image/Tank_moving.png", "0", "1", "1", "0", "400", "300", "48", "32",
           "EndVehicle"});
const std::string WALL_BLOCK =
    Lines({"GameObject", "WALL", "../Assets/image/wall.png", "2.5", "1", "2", "1.5708", "100", "50", "15.9",
           "16", "EndGameObject"});

bool Validate(const std::string& text) {
  std::istringstream in(text);
  return ValidateLevelTokens(in);
}

// Reads blocks as the loader does and returns how many were made.
int CountBlocks(const std::string& text, BlockResult& last, std::string& problem) {
  std::istringstream in(text);
  ObjectRecord r;
  int made = 0;
  while (in.good()) {
    last = ParseObjectBlock(in, r, problem);
    if (last != BlockResult::Read) break;
    ++made;
  }
  return made;
}

} // namespace

TEST(ObjectBlockParsing, ReadsEveryFieldInFileOrder) {
  std::istringstream in(WALL_BLOCK);
  ObjectRecord r;
  std::string problem;
  ASSERT_EQ(ParseObjectBlock(in, r, problem), BlockResult::Read);
  EXPECT_EQ(r.keyword, "GameObject");
  EXPECT_EQ(r.name, "WALL");
  EXPECT_EQ(r.imagePath, "../Assets/image/wall.png");
  EXPECT_FLOAT_EQ(r.storedValue, 2.5f);
  EXPECT_EQ(r.format, 1);
  EXPECT_FLOAT_EQ(r.scale, 2.0f);
  EXPECT_FLOAT_EQ(r.rotation, 1.5708f);
  EXPECT_FLOAT_EQ(r.centreX, 100.0f);
  EXPECT_FLOAT_EQ(r.centreY, 50.0f);
  EXPECT_EQ(static_cast<int>(r.halfWidth), 15); // the factory truncates 15.9
  EXPECT_EQ(r.endKeyword, "EndGameObject");
  EXPECT_EQ(ParseObjectBlock(in, r, problem), BlockResult::End);
}

TEST(ObjectBlockParsing, LineStructureAndCarriageReturnsDoNotMatter) {
  std::string crlf;
  for (char c : WALL_BLOCK) crlf += (c == '\n') ? std::string("\r\n") : std::string(1, c);
  std::istringstream in("  " + crlf + "GameObject ROAD r.png 0 1 +1 -0 1.23457e+06 -5e-05 25 25 EndGameObject");
  ObjectRecord r;
  std::string problem;
  ASSERT_EQ(ParseObjectBlock(in, r, problem), BlockResult::Read);
  EXPECT_EQ(r.endKeyword, "EndGameObject");
  ASSERT_EQ(ParseObjectBlock(in, r, problem), BlockResult::Read) << problem;
  EXPECT_FLOAT_EQ(r.centreX, 1234570.0f);
  EXPECT_FLOAT_EQ(r.centreY, -5e-05f);
}

TEST(ObjectBlockParsing, BadFieldsStopReadingButKeepEarlierBlocks) {
  const char* bad[] = {"abc", "nan", "inf", "-inf", "1e39", "12abc", "", "0x10"};
  for (const char* field : bad) {
    std::string block = Lines({"GameObject", "WALL", "w.png", "0", "1", "1", "0", field, "50", "16", "16",
                               "EndGameObject"});
    BlockResult last{};
    std::string problem;
    int made = CountBlocks(PLAYER_BLOCK + block + WALL_BLOCK, last, problem);
    if (std::string(field).empty()) {
      // An empty line is no token at all: the block shifts and fails later on.
      EXPECT_NE(last, BlockResult::End);
    } else {
      EXPECT_EQ(last, BlockResult::Malformed) << field;
      EXPECT_NE(problem.find("centre x"), std::string::npos) << problem;
    }
    EXPECT_EQ(made, 1) << field;
  }
}

TEST(ObjectBlockParsing, RejectsImpossibleSizesAndScales) {
  struct Case { const char* scale; const char* hw; bool accepted; };
  const Case cases[] = {{"1", "100000", true}, {"1", "0", true},       {"1", "100000.5", false},
                        {"1", "-1", false},    {"1", "3e9", false},    {"0", "10", false},
                        {"-2", "10", false},   {"0.0001", "10", true}};
  for (const auto& c : cases) {
    std::string block = Lines({"GameObject", "WALL", "w.png", "0", "1", c.scale, "0", "1", "1", c.hw, "16",
                               "EndGameObject"});
    std::istringstream in(block);
    ObjectRecord r;
    std::string problem;
    EXPECT_EQ(ParseObjectBlock(in, r, problem) == BlockResult::Read, c.accepted) << c.scale << " " << c.hw;
  }
}

TEST(ObjectBlockParsing, FileEndingInsideABlockMakesNothing) {
  BlockResult last{};
  std::string problem;
  EXPECT_EQ(CountBlocks(PLAYER_BLOCK + "GameObject\nWALL\nw.png\n0\n1\n", last, problem), 1);
  EXPECT_EQ(last, BlockResult::Truncated);
  // Only the end keyword missing: every value is there, the block counts.
  std::string noEnd = WALL_BLOCK.substr(0, WALL_BLOCK.rfind("EndGameObject"));
  EXPECT_EQ(CountBlocks(noEnd, last, problem), 1);
  EXPECT_EQ(CountBlocks("", last, problem), 0);
  EXPECT_EQ(last, BlockResult::End);
}

TEST(ObjectKinds, TypeNamesChooseTheFactoryOperation) {
  EXPECT_EQ(ChooseObjectKind("Vehicle", "PLAYER"), ObjectKind::Vehicle);
  EXPECT_EQ(ChooseObjectKind("GameObject", "PLAYER"), ObjectKind::Animated);
  EXPECT_EQ(ChooseObjectKind("GameObject", "ENEMYPROJECTILE"), ObjectKind::Static);
  EXPECT_EQ(ChooseObjectKind("GameObject", "PROJECTILE"), ObjectKind::Static);
  EXPECT_EQ(ChooseObjectKind("GameObject", "ENEMY2VERTICAL"), ObjectKind::Animated);
  EXPECT_EQ(ChooseObjectKind("GameObject", "ENEMY_37"), ObjectKind::Animated);
  EXPECT_EQ(ChooseObjectKind("GameObject", "GATE15"), ObjectKind::Animated);
  EXPECT_EQ(ChooseObjectKind("GameObject", "PORTAL2"), ObjectKind::Animated);
  EXPECT_EQ(ChooseObjectKind("GameObject", "SACK"), ObjectKind::Animated);
  EXPECT_EQ(ChooseObjectKind("GameObject", "SACKS"), ObjectKind::Static);
  EXPECT_EQ(ChooseObjectKind("GameObject", "NPC_OLDMAN"), ObjectKind::Npc);
  EXPECT_EQ(ChooseObjectKind("GameObject", "GARAGE"), ObjectKind::Npc);
  EXPECT_EQ(ChooseObjectKind("GameObject", "GARAGE2"), ObjectKind::Static);
  EXPECT_EQ(ChooseObjectKind("GameObject", "WALL"), ObjectKind::Static);
  EXPECT_EQ(ChooseObjectKind("Thing", "ENEMY"), ObjectKind::None);
  EXPECT_EQ(ChooseObjectKind("Thing", "WALL"), ObjectKind::Static);
}

TEST(ObjectKinds, DescriptorAndWallVariantPaths) {
  EXPECT_EQ(DescriptorPath("../Assets/image/Tank.png"), "../Assets/image/Tank.txt");
  EXPECT_EQ(DescriptorPath("ab"), "txt");
  EXPECT_EQ(WallVariantPath("../Assets/image/wall.png", 0), "../Assets/image/wall2.png");
  EXPECT_EQ(WallVariantPath("../Assets/image/wall.png", 3), "../Assets/image/wall.png");
  EXPECT_EQ(WallVariantPath("../Assets/image/stonewall.png", 0), "../Assets/image/stonewall2.png");
  EXPECT_EQ(WallVariantPath("../Assets/image/wall.bmp", 0), "../Assets/image/wall.bmp");
  EXPECT_EQ(WallVariantPath("", 0), "");
}

TEST(LevelValidation, AcceptsWhatTheSaverWrites) {
  EXPECT_TRUE(Validate(PLAYER_BLOCK));
  EXPECT_TRUE(Validate(PLAYER_BLOCK + WALL_BLOCK + WALL_BLOCK));
  EXPECT_TRUE(Validate(PLAYER_BLOCK + WALL_BLOCK + "\r\n"));
  // Once a GameObject block is open the file has to end on one.
  EXPECT_FALSE(Validate(WALL_BLOCK + PLAYER_BLOCK));
}

TEST(LevelValidation, RejectsFilesTheGameCannotPlay) {
  EXPECT_FALSE(Validate(""));
  EXPECT_FALSE(Validate(WALL_BLOCK));                              // no PLAYER
  EXPECT_FALSE(Validate(PLAYER_BLOCK + WALL_BLOCK + "extra\n"));   // not a multiple of 12
  std::string noBreak = PLAYER_BLOCK + WALL_BLOCK;
  noBreak.pop_back();
  EXPECT_FALSE(Validate(noBreak));
  // The last token must close an object block once a GameObject has been seen.
  EXPECT_FALSE(Validate(WALL_BLOCK + PLAYER_BLOCK.substr(0, PLAYER_BLOCK.rfind("End")) + "xy\n"));
}

TEST(LevelValidation, VehicleWeaponCountDecidesTheBlockAlignment) {
  auto vehicle = [](int weapons) {
    std::string s = "Vehicle PLAYER p.png 1 2 3 4 0 1 1 0\n";
    for (int i = 0; i < weapons; ++i) s += "Weapon W w.png 1 2 3 4 0 1 1 0 0.1 3 1 EndWeapon\n";
    return s + "EndVehicle\n";
  };
  // 12 + 2 * 15 = 42 tokens: the next "EndGameObject" is not on a multiple of 12.
  EXPECT_FALSE(Validate(vehicle(2) + WALL_BLOCK));
  EXPECT_TRUE(Validate(vehicle(0) + WALL_BLOCK));
  EXPECT_TRUE(Validate(vehicle(4) + WALL_BLOCK));
}

TEST(LoadoutParsing, ReadsWeaponsWithTheirProjectiles) {
  std::istringstream in(
      "7\n2\n"
      "Weapon DEFAULT_Left ../Assets/image/Gun/GunDefault_Left.png 0 1 1 0 -1000 -1000 25 25 0.1 3 1\n"
      "Projectile ../Assets/image/Gun/GunDefault_Bullet.png 1 375 0 -1000 -1000 7.9 7 2 EndProjectile\n"
      "Projectile b.png 1 375 0 -1000 -1000 7 7 6 Wrong\n"
      "EndWeapon\n"
      "Weapon MINICANNON_Right m.png 0 1 1 0 5 6 25 24 1.5 2 6\n"
      "EndWeapon\n");
  std::ostringstream log;
  LoadoutRecord l;
  ParseLoadout(in, true, l, log, "loadout");
  EXPECT_EQ(l.hp, 7);
  EXPECT_EQ(l.upgradeLevel, 2);
  ASSERT_EQ(l.weapons.size(), 2u);
  EXPECT_EQ(l.weapons[0].name, "DEFAULT_Left");
  EXPECT_FLOAT_EQ(static_cast<float>(l.weapons[0].reloadTime), 0.1f);
  ASSERT_EQ(l.weapons[0].projectiles.size(), 2u);
  EXPECT_EQ(static_cast<int>(l.weapons[0].projectiles[0].halfWidth), 7);
  EXPECT_DOUBLE_EQ(l.weapons[0].projectiles[1].lifetime, 6.0);
  EXPECT_EQ(l.weapons[1].kind, 6);
  EXPECT_TRUE(l.weapons[1].projectiles.empty());
  EXPECT_EQ(log.str(), "PROBLEM!\n"); // the projectile without its end keyword is kept
}

TEST(LoadoutParsing, StopsAtTheFirstFaultAndKeepsWhatCameBefore) {
  const std::string good = "Weapon A a.png 0 1 1 0 0 0 25 25 0.1 3 1\nEndWeapon\n";
  {
    std::istringstream in("10\n1\n" + good + "Weapon B b.png 0 1 1 0 0 0 25 25 fast 3 1\nEndWeapon\n" + good);
    std::ostringstream log;
    LoadoutRecord l;
    ParseLoadout(in, true, l, log, "loadout");
    EXPECT_EQ(l.weapons.size(), 1u);
    const std::string text = log.str();
    EXPECT_NE(text.find("reload time"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
  }
  {
    // Weapon tokens run out: earlier weapons stay, nothing spins.
    std::istringstream in("10\n1\n" + good + "Weapon C c.png 0 1");
    std::ostringstream log;
    LoadoutRecord l;
    ParseLoadout(in, true, l, log, "loadout");
    EXPECT_EQ(l.weapons.size(), 1u);
  }
  {
    // A file that stops right after a weapon's values has given the whole weapon.
    std::istringstream in("10\n1\nWeapon A a.png 0 1 1 0 0 0 25 25 0.1 3 1");
    std::ostringstream log;
    LoadoutRecord l;
    ParseLoadout(in, true, l, log, "loadout");
    EXPECT_EQ(l.weapons.size(), 1u);
  }
}

TEST(LoadoutParsing, HitPointsAloneForObjectsThatAreNotVehicles) {
  std::istringstream in("4\n9\nWeapon A a.png 0 1 1 0 0 0 25 25 0.1 3 1\nEndWeapon\n");
  std::ostringstream log;
  LoadoutRecord l;
  ParseLoadout(in, false, l, log, "loadout");
  EXPECT_TRUE(l.hasHp);
  EXPECT_EQ(l.hp, 4);
  EXPECT_FALSE(l.hasUpgradeLevel);
  EXPECT_TRUE(l.weapons.empty());

  std::istringstream bad("ten\n");
  LoadoutRecord m;
  ParseLoadout(bad, true, m, log, "loadout");
  EXPECT_FALSE(m.hasHp);
}
