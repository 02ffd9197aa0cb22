#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "levels/LevelFile.h"
#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include "objects/NPC.h"
#include "objects/Vehicle.h"
#include "objects/Weapon.h"
#include "render/AnimatedTexture.h"
#include "render/Texture.h"
#include "support/GameFolder.h"
#include "support/GlTestContext.h"
#include "support/TestImages.h"

namespace fs = std::filesystem;

namespace {

const float HALF_PI = 1.5707964f;

std::string Block(const std::string& keyword, const std::string& name, const std::string& image,
                  const std::string& numbers) {
  std::istringstream in(numbers);
  std::string s = keyword + "\n" + name + "\n" + image + "\n";
  std::string n;
  while (in >> n) s += n + "\n";
  return s + (keyword == "Vehicle" ? "EndVehicle\n" : "EndGameObject\n");
}

// A game folder in a temporary directory, with the shaders linked in.
class LevelFiles : public GameFolderTest {
protected:
  void SetUp() override {
    ASSERT_TRUE(GlTestContext::Get().ok);
    EnterGameFolder({"tank", "brick", "gate", "npc", "shot", "wall", "wall2", "gun", "bullet"}, {"tank", "gate"});
    // The vehicle builds its HUD from the game's own pictures and font.
    LinkGameAssets({"font", "image/Gun", "image/keys", "image/Overlay.png", "image/editorSelectedIcon.png",
                    "image/power.png", "image/greyout.png"});
    WriteBmp(root + "/Assets/image/gate.bmp", 4, 4, std::vector<uint32_t>(16, 0x808080u));
  }

  Vehicle* Player(float x = 400, float y = 300) {
    return factory->CreateVehicle("PLAYER", "../Assets/image/tank.png", Vec3(x, y, 1), 24, 16, 1,
                                  "../Assets/image/tank.txt");
  }
  GameObject* Brick(const std::string& name, float x, float y) {
    return factory->Create(name, "../Assets/image/brick.png", Vec3(x, y, 1), 16, 16, 1);
  }
  std::vector<GameObject*> Load(const std::string& text, bool validate, std::string* output = nullptr) {
    WriteText("../Assets/Levels/T.txt2", text);
    testing::internal::CaptureStdout();
    auto objects = LoadObjectList("../Assets/Levels/T.txt", validate);
    const std::string out = testing::internal::GetCapturedStdout();
    return output ? (*output = out, objects) : objects;
  }
};

} // namespace

// ---- saving and reloading ------------------------------------------------------

TEST_F(LevelFiles, SaveAndReloadKeepsValuesToSixSignificantDigits) {
  Vehicle* player = Player(412.345678f, 300.5f);
  player->Rotate(0.785398163f);
  player->Scale(1.5f);
  player->storedValue = 3.14159265f;
  GameObject* wall = Brick("", -250.25f, 1234567.0f);
  wall->name.clear();
  wall->storedValue = 1234567.0f;
  wall->Rotate(-2.5f);
  GameObject* gate = factory->CreateAnimated("GATE12", "../Assets/image/gate.bmp", Vec3(10, 20, 1), 30, 12, 0,
                                             "../Assets/image/gate.txt");
  GameObject* shot = factory->Create("ENEMYPROJECTILE", "../Assets/image/shot.png", Vec3(5, 5, 1), 4, 4, 1);
  GameObject* npc = factory->CreateNPC("NPC BOB", "../Assets/image/npc.png", Vec3(-40, 80, 1), 20, 30, 1, "", Vec3());
  GameObject* pictureless = factory->Create("FILLER", "", Vec3(70, 70, 1), 5, 5, 1);

  testing::internal::CaptureStdout();
  // Of two players the last is kept, as the game plays it.
  SaveLevel({wall, shot, Player(1, 1), gate, player, pictureless, npc}, "../Assets/Levels/ROUND.txt");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Serializing..\nSerialized 7 objects\n");
  EXPECT_EQ(wall->name, "name");
  EXPECT_FALSE(fs::exists("../Assets/Levels/ROUND.txt2.saving"));
  auto description = ReadTokens("../Assets/Levels/ROUND.txt");
  EXPECT_NE(std::find(description.begin(), description.end(), "FILLER"), description.end());
  // The pictureless block keeps its 12 tokens, so the level stays on the list.
  EXPECT_TRUE(ValidateLevelFile("../Assets/Levels/ROUND.txt"));

  factory->objects.clear();
  testing::internal::CaptureStdout();
  auto loaded = LoadObjectList("../Assets/Levels/ROUND.txt", true);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unserializing..\nUnserialized 5 objects\n");
  ASSERT_EQ(loaded.size(), 5u);
  // The player first, the shots last, the rest in list order; no picture, no block.
  const char* order[] = {"PLAYER", "name", "GATE12", "NPC_BOB", "ENEMYPROJECTILE"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(loaded[i]->name, order[i]);
  auto* p = dynamic_cast<Vehicle*>(loaded[0]);
  ASSERT_NE(p, nullptr);
  EXPECT_FLOAT_EQ(p->storedValue, 3.14159f);
  EXPECT_FLOAT_EQ(p->scale, 1.5f);
  EXPECT_FLOAT_EQ(p->rotation, 0.785398f);
  EXPECT_NEAR(p->Position().x, 412.346f, 1e-3f);
  Poly upright(*p->shape); // whole units at scale 1, scaled again on loading
  upright.Rotate(-p->rotation);
  EXPECT_NEAR(upright.Bounds().second.x - upright.Bounds().first.x, 48 * 1.5f, 1e-3f);
  EXPECT_FLOAT_EQ(loaded[1]->storedValue, 1234570.0f);
  EXPECT_NEAR(loaded[1]->Position().y, 1234570.0f, 0.5f);
  EXPECT_FLOAT_EQ(loaded[1]->rotation, -2.5f);
  EXPECT_EQ(loaded[2]->graphic->format, 0);
  EXPECT_EQ(dynamic_cast<NPC*>(loaded[3])->message, "Press 'C' to enter garage");
}

TEST_F(LevelFiles, ListFileUndoesTheRotationAndTheDescriptionDoesNot) {
  // 40 x 20 at scale 2, turned a quarter: 10 x 5 at scale 1, unturned.
  Vehicle* player = factory->CreateVehicle("PLAYER", "../Assets/image/tank.png", Vec3(100, 100, 1), 10, 5, 1,
                                           "../Assets/image/tank.txt");
  player->Scale(2.0f);
  player->Rotate(HALF_PI);
  player->weapons.push_back(
      std::make_unique<Weapon>(Vec3(100, 100, 1), 25, 15, 1, WeaponKind::Boom, "../Assets/image/gun.png", 1.5, 2.0));
  player->weapons.back()->name = "MINICANNON_Left";
  player->weapons.push_back(nullptr);
  const Poly before = *player->shape;
  SaveLevel({player}, "../Assets/Levels/TURN.txt");
  auto list = ReadTokens("../Assets/Levels/TURN.txt2");
  ASSERT_EQ(list.size(), 12u);
  EXPECT_EQ(std::vector<std::string>(list.begin() + 6, list.end()),
            (std::vector<std::string>{"1.5708", "100", "100", "10", "5", "EndVehicle"}));
  auto description = ReadTokens("../Assets/Levels/TURN.txt");
  ASSERT_EQ(description.size(), 12u + 15u);
  EXPECT_EQ(description[5], "5");
  EXPECT_EQ(description[6], "10");
  // The weapon's extents are divided by the vehicle's scale.
  EXPECT_EQ(std::vector<std::string>(description.begin() + 16, description.end()),
            (std::vector<std::string>{"12.5", "7.5", "0", "1", "1", "0", "1.5", "2", "6", "EndWeapon", "EndVehicle"}));
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(player->shape->vertices[i], before.vertices[i]); // measured on a copy
}

TEST_F(LevelFiles, SavingWithoutAPlayerOrUnableToFinishTouchesNothing) {
  WriteText("../Assets/Levels/KEEP.txt", "old description\n");
  WriteText("../Assets/Levels/KEEP.txt2", "old list\n");
  auto unchanged = [] {
    EXPECT_EQ(ReadTokens("../Assets/Levels/KEEP.txt"), (std::vector<std::string>{"old", "description"}));
    EXPECT_EQ(ReadTokens("../Assets/Levels/KEEP.txt2"), (std::vector<std::string>{"old", "list"}));
    EXPECT_FALSE(fs::exists("../Assets/Levels/KEEP.txt.saving"));
  };
  GameObject* nameless = Brick("", 0, 0);
  nameless->name.clear();
  GameObject* spoilt = Brick("BRICK", 0, 0);
  spoilt->rotation = INFINITY; // "inf" would be written, which no reader takes back
  testing::internal::CaptureStdout();
  SaveLevel({nameless}, "../Assets/Levels/KEEP.txt");
  SaveLevel({}, "../Assets/Levels/KEEP.txt");
  SaveLevel({Player(), spoilt}, "../Assets/Levels/KEEP.txt");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Serializing..\nERROR: NO PLAYER FOUND!\nSerializing..\nERROR: NO PLAYER FOUND!\nSerializing..\n"
            "Error: an object holds a number that is not finite, the level ../Assets/Levels/KEEP.txt is unchanged\n");
  EXPECT_TRUE(nameless->name.empty());
  unchanged();
  fs::create_directory("../Assets/Levels/KEEP.txt2.saving"); // the list cannot be written beside itself
  testing::internal::CaptureStdout();
  SaveLevel({Player()}, "../Assets/Levels/KEEP.txt");
  EXPECT_EQ(testing::internal::GetCapturedStdout().find("Serialized"), std::string::npos);
  unchanged();
}

// ---- loading -------------------------------------------------------------------

TEST_F(LevelFiles, TypeNamesPickTheClassAndSizesAreTruncated) {
  const std::string small = "0 1 1 0 1 1 4 4";
  auto objects = Load(Block("Vehicle", "PLAYER", "../Assets/image/tank.png", "0 1 1 0 400 300 15.9 10.99") +
                          Block("GameObject", "ENEMYPROJECTILE", "../Assets/image/shot.png", small) +
                          Block("Foo", "ENEMY2VERTICAL", "../Assets/image/gate.png", small) +
                          Block("GameObject", "GATE7", "../Assets/image/gate.png", small) +
                          Block("GameObject", "OLD_NPC", "../Assets/image/npc.png", small),
                      false);
  ASSERT_EQ(objects.size(), 4u); // the animated type under "Foo" is skipped and reading goes on
  ASSERT_NE(dynamic_cast<Vehicle*>(objects[0]), nullptr);
  EXPECT_EQ(objects[0]->graphic->halfWidth, 15);
  EXPECT_EQ(objects[0]->graphic->halfHeight, 10);
  EXPECT_EQ(objects[1]->Animated(), nullptr);
  EXPECT_NE(objects[2]->Animated(), nullptr);
  EXPECT_NE(dynamic_cast<NPC*>(objects[3]), nullptr);
}

TEST_F(LevelFiles, EmptyMissingAndBadFilesGiveWhatTheyCan) {
  std::string out;
  EXPECT_TRUE(Load("", false, &out).empty());
  EXPECT_EQ(out, "Unserializing..\nUnserialized 0 objects\n");
  EXPECT_TRUE(Load("", true, &out).empty());
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1); // one line, no "Unserializing.."
  testing::internal::CaptureStdout();
  EXPECT_TRUE(LoadObjectList("../Assets/Levels/MISSING.txt", false).empty());
  EXPECT_EQ(testing::internal::GetCapturedStdout().find("Error"), 0u);

  const std::string good = Block("GameObject", "WALL", "../Assets/image/brick.png", "0 1 1 0 10 10 16 16");
  const std::string bad = Block("GameObject", "ROAD", "../Assets/image/brick.png", "0 1 1 0 nan 1 1 1");
  EXPECT_EQ(Load(good + good + bad + good, false, &out).size(), 2u);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3) << out; // the two framing lines and one error
  EXPECT_EQ(Load(good + "GameObject\nWALL\n../Assets/image/brick.png\n0\n", false).size(), 1u);
}

TEST_F(LevelFiles, OneWallInTenShowsTheVariant) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += Block("GameObject", "WALL", "../Assets/image/wall.png", "0 1 1 0 5 5 8 8");
  std::srand(7);
  int variants = 0;
  for (auto* w : Load(text, false)) variants += w->ImagePath() == "../Assets/image/wall2.png";
  EXPECT_GT(variants, 5);
  EXPECT_LT(variants, 45);
}

// ---- the level list -------------------------------------------------------------

TEST_F(LevelFiles, LevelListHoldsValidLevelsSortedByName) {
  const std::string player = Block("Vehicle", "PLAYER", "p.png", "0 1 1 0 1 1 4 4");
  for (const char* name : {"ZED", "ALPHA", "MIDDLE", " BLANK"})
    WriteText(std::string("../Assets/Levels/") + name + ".txt", player);
  WriteText("../Assets/Levels/BROKEN.txt", player + "stray\n");
  WriteText("../Assets/Levels/ALPHA.txt2", player);
  fs::create_directory("../Assets/Levels/FOLDER.txt");
  g_levelNames = {"stale"};
  testing::internal::CaptureStdout();
  ListLevels();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "  FOLDER.txt   <DIR>\n");
  EXPECT_EQ(g_levelNames, (std::vector<std::string>{"ALPHA", "MIDDLE", "ZED"}));
  EXPECT_EQ(LevelCount(), 3);
}

// ---- the player loadout --------------------------------------------------------

TEST_F(LevelFiles, LoadoutFillsTheVehicleAndLeavesOthersAlone) {
  const std::string projectile = "Projectile ../Assets/image/bullet.png 1 375 0 -1000 -1000 7 7 2 EndProjectile\n";
  WriteText("../Assets/Player.txt", "7\n3\nWeapon DEFAULT_Left ../Assets/image/gun.png 4 1 2 0.5 -1000 -1000 25.7 25 "
                                    "0.1 3 1\n" + projectile + projectile + "EndWeapon\n");
  Vehicle* player = Player();
  player->weapons.push_back(nullptr);
  LoadPlayerLoadout("../Assets/Player.txt", player);
  EXPECT_EQ(player->hp, 7);
  EXPECT_EQ(player->upgradeLevel, 3);
  ASSERT_EQ(player->weapons.size(), 2u); // appended, not replaced
  Weapon& left = *player->weapons[1];
  EXPECT_EQ(left.name, "DEFAULT_Left");
  EXPECT_EQ(left.graphic->halfWidth, 25);
  EXPECT_FLOAT_EQ(left.scale, 1.0f); // rebuilt at scale 1 and rotation 0
  EXPECT_FLOAT_EQ(left.rotation, 0.0f);
  ASSERT_EQ(left.projectiles.size(), 2u);
  EXPECT_DOUBLE_EQ(left.projectiles[0]->lifetime, 2.0);

  GameObject* other = Brick("WALL", 0, 0);
  LoadPlayerLoadout("../Assets/Player.txt", other);
  EXPECT_EQ(other->hp, 7);
  testing::internal::CaptureStdout();
  LoadPlayerLoadout("../Assets/Nothing.txt", player);
  EXPECT_EQ(testing::internal::GetCapturedStdout().find("Error"), 0u);
  EXPECT_EQ(player->weapons.size(), 2u);
}
