#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/System.h"
#include "levels/LevelFile.h"
#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include "objects/NPC.h"
#include "objects/Vehicle.h"
#include "objects/Weapon.h"
#include "render/AnimatedTexture.h"
#include "render/Texture.h"
#include "support/GlTestContext.h"
#include "support/TestImages.h"

namespace fs = std::filesystem;

namespace {

const float HALF_PI = 1.5707964f;

std::vector<std::string> Tokens(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> tokens;
  std::string t;
  while (in >> t) tokens.push_back(t);
  return tokens;
}

std::string Block(const std::string& keyword, const std::string& name, const std::string& image,
                  const std::string& numbers) {
  std::istringstream in(numbers);
  std::string s = keyword + "\n" + name + "\n" + image + "\n";
  std::string n;
  while (in >> n) s += n + "\n";
  return s + (keyword == "Vehicle" ? "EndVehicle\n" : "EndGameObject\n");
}

// A game folder in a temporary directory: tmp/Assets (pictures, levels),
// tmp/shaders and tmp/run, the working directory while a test runs.
class LevelFiles : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(GlTestContext::Get().ok);
    previous = fs::current_path();
    root = TempFolder();
    fs::create_directories(root + "/Assets/Levels");
    fs::create_directories(root + "/Assets/image");
    fs::create_directories(root + "/run");
    if (fs::exists(previous / "../shaders")) fs::create_directory_symlink(fs::canonical(previous / "../shaders"), root + "/shaders");
    for (const char* picture : {"tank", "brick", "gate", "npc", "shot", "wall", "wall2", "gun", "bullet"})
      WriteRgbaPng(root + "/Assets/image/" + picture + ".png", 4, 4, std::vector<uint32_t>(16, 0xffffffffu));
    WriteBmp(root + "/Assets/image/gate.bmp", 4, 4, std::vector<uint32_t>(16, 0x808080u));
    for (const char* sheet : {"tank", "gate"}) WriteText(root + "/Assets/image/" + sheet + ".txt", "f= 0 0 4 4\n");
    fs::current_path(root + "/run");
    factory = std::make_shared<GameObjectFactory>();
    g_systems.push_back(factory);
  }
  void TearDown() override {
    g_systems.clear();
    fs::current_path(previous);
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
    std::string out = testing::internal::GetCapturedStdout();
    if (output) *output = out;
    return objects;
  }

  fs::path previous;
  std::string root;
  std::shared_ptr<GameObjectFactory> factory;
};

} // namespace

// ---- saving and reloading ------------------------------------------------------

TEST_F(LevelFiles, SaveAndReloadKeepsValuesToSixSignificantDigits) {
  Vehicle* player = Player(412.345678f, 300.5f);
  player->Rotate(0.785398163f);
  player->Scale(1.5f);
  player->storedValue = 3.14159265f;
  GameObject* wall = Brick("WALL", -250.25f, 1234567.0f);
  wall->storedValue = 1234567.0f;
  wall->Rotate(-2.5f);
  GameObject* gate = factory->CreateAnimated("GATE12", "../Assets/image/gate.bmp", Vec3(10, 20, 1), 30, 12, 0,
                                             "../Assets/image/gate.txt");
  GameObject* shot = factory->Create("ENEMYPROJECTILE", "../Assets/image/shot.png", Vec3(5, 5, 1), 4, 4, 1);
  GameObject* npc = factory->CreateNPC("NPC_BOB", "../Assets/image/npc.png", Vec3(-40, 80, 1), 20, 30, 1, "hi", Vec3());
  std::vector<GameObject*> level = {wall, shot, gate, player, npc};

  testing::internal::CaptureStdout();
  SaveLevel(level, "../Assets/Levels/ROUND.txt");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Serializing..\nSerialized 5 objects\n");
  EXPECT_FALSE(fs::exists("../Assets/Levels/ROUND.txt.saving"));
  EXPECT_FALSE(fs::exists("../Assets/Levels/ROUND.txt2.saving"));
  EXPECT_TRUE(ValidateLevelFile("../Assets/Levels/ROUND.txt2"));

  factory->objects.clear();
  testing::internal::CaptureStdout();
  auto loaded = LoadObjectList("../Assets/Levels/ROUND.txt", true);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unserializing..\nUnserialized 5 objects\n");
  ASSERT_EQ(loaded.size(), 5u);
  // The player first, the shots last, the rest in list order.
  const char* order[] = {"PLAYER", "WALL", "GATE12", "NPC_BOB", "ENEMYPROJECTILE"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(loaded[i]->name, order[i]);

  auto* p = dynamic_cast<Vehicle*>(loaded[0]);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->ImagePath(), "../Assets/image/tank.png");
  EXPECT_FLOAT_EQ(p->storedValue, 3.14159f);
  EXPECT_FLOAT_EQ(p->scale, 1.5f);
  EXPECT_FLOAT_EQ(p->rotation, 0.785398f);
  EXPECT_NEAR(p->Position().x, 412.346f, 1e-3f);
  EXPECT_NEAR(p->Position().y, 300.5f, 1e-3f);
  // Sizes come back in whole units at scale 1, then the scale is applied again.
  Poly upright(*p->shape);
  upright.Rotate(-p->rotation);
  auto [lo, hi] = upright.Bounds();
  EXPECT_NEAR(hi.x - lo.x, 48 * 1.5f, 1e-3f);
  EXPECT_NEAR(hi.y - lo.y, 32 * 1.5f, 1e-3f);

  EXPECT_FLOAT_EQ(loaded[1]->storedValue, 1234570.0f);
  EXPECT_NEAR(loaded[1]->Position().y, 1234570.0f, 0.5f);
  EXPECT_FLOAT_EQ(loaded[1]->rotation, -2.5f);
  EXPECT_EQ(loaded[2]->graphic->format, 0);
  EXPECT_NE(loaded[2]->Animated(), nullptr);
  ASSERT_NE(dynamic_cast<NPC*>(loaded[3]), nullptr);
  EXPECT_EQ(dynamic_cast<NPC*>(loaded[3])->message, "Press 'C' to enter garage");
  EXPECT_EQ(loaded[4]->Animated(), nullptr);
}

TEST_F(LevelFiles, ListFileUndoesTheRotationAndTheDescriptionDoesNot) {
  // 40 x 20 at scale 2, turned a quarter: 10 x 5 at scale 1, unturned.
  Vehicle* player = factory->CreateVehicle("PLAYER", "../Assets/image/tank.png", Vec3(100, 100, 1), 10, 5, 1,
                                           "../Assets/image/tank.txt");
  player->Scale(2.0f);
  player->Rotate(HALF_PI);
  player->weapons.push_back(
      std::make_unique<Weapon>(Vec3(100, 100, 1), 25, 15, 1, 6, "../Assets/image/gun.png", 1.5, 2.0));
  player->weapons.back()->name = "MINICANNON_Left";
  player->weapons.push_back(nullptr);
  const Poly before = *player->shape;
  SaveLevel({player}, "../Assets/Levels/TURN.txt");

  auto list = Tokens("../Assets/Levels/TURN.txt2");
  ASSERT_EQ(list.size(), 12u);
  EXPECT_EQ(list[0], "Vehicle");
  EXPECT_EQ(list[6], "1.5708");
  EXPECT_EQ(list[9], "10");
  EXPECT_EQ(list[10], "5");
  EXPECT_EQ(list[11], "EndVehicle");

  auto description = Tokens("../Assets/Levels/TURN.txt");
  ASSERT_EQ(description.size(), 12u + 15u);
  EXPECT_EQ(description[5], "5");
  EXPECT_EQ(description[6], "10");
  EXPECT_EQ(description[11], "Weapon");
  EXPECT_EQ(description[12], "MINICANNON_Left");
  EXPECT_EQ(description[16], "12.5"); // the weapon's extents over the vehicle's scale
  EXPECT_EQ(description[17], "7.5");
  EXPECT_EQ(description[22], "1.5");
  EXPECT_EQ(description[24], "6");
  EXPECT_EQ(description[25], "EndWeapon");
  EXPECT_EQ(description[26], "EndVehicle");
  // Saving measures a copy: the object's own polygon is untouched.
  for (size_t i = 0; i < before.vertices.size(); ++i) EXPECT_EQ(player->shape->vertices[i], before.vertices[i]);
}

TEST_F(LevelFiles, NamelessObjectsAreNamedAndPicturelessOnesStayOutOfTheList) {
  Vehicle* player = Player();
  GameObject* nameless = Brick("", 50, 50);
  nameless->name.clear();
  GameObject* blank = factory->Create("FILLER", "", Vec3(70, 70, 1), 5, 5, 1);
  GameObject* spaced = Brick("MY WALL", 90, 90);
  SaveLevel({player, nameless, blank, spaced}, "../Assets/Levels/N.txt");
  EXPECT_EQ(nameless->name, "name");
  auto list = Tokens("../Assets/Levels/N.txt2");
  EXPECT_EQ(list.size(), 36u);
  EXPECT_EQ(list[13], "name");
  EXPECT_EQ(list[25], "MY_WALL"); // a blank would split the name into two tokens
  auto description = Tokens("../Assets/Levels/N.txt");
  EXPECT_NE(std::find(description.begin(), description.end(), "FILLER"), description.end());
  EXPECT_NE(std::find(description.begin(), description.end(), "name"), description.end());
}

TEST_F(LevelFiles, SavingWithoutAPlayerTouchesNothing) {
  WriteText("../Assets/Levels/KEEP.txt", "old description\n");
  WriteText("../Assets/Levels/KEEP.txt2", "old list\n");
  GameObject* wall = Brick("WALL", 0, 0);
  GameObject* nameless = Brick("", 0, 0);
  nameless->name.clear();
  for (const auto& level : {std::vector<GameObject*>{wall, nameless}, std::vector<GameObject*>{}}) {
    testing::internal::CaptureStdout();
    SaveLevel(level, "../Assets/Levels/KEEP.txt");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Serializing..\nERROR: NO PLAYER FOUND!\n");
  }
  EXPECT_EQ(Tokens("../Assets/Levels/KEEP.txt"), (std::vector<std::string>{"old", "description"}));
  EXPECT_EQ(Tokens("../Assets/Levels/KEEP.txt2"), (std::vector<std::string>{"old", "list"}));
  EXPECT_TRUE(nameless->name.empty());
  EXPECT_EQ(std::distance(fs::directory_iterator("../Assets/Levels"), fs::directory_iterator()), 2);
}

TEST_F(LevelFiles, AFailedSaveLeavesThePreviousFilesWhole) {
  WriteText("../Assets/Levels/BUSY.txt", "old description\n");
  WriteText("../Assets/Levels/BUSY.txt2", "old list\n");
  fs::create_directory("../Assets/Levels/BUSY.txt2.saving"); // the list cannot be written beside itself
  testing::internal::CaptureStdout();
  SaveLevel({Player()}, "../Assets/Levels/BUSY.txt");
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Error"), std::string::npos);
  EXPECT_EQ(out.find("Serialized"), std::string::npos);
  EXPECT_EQ(Tokens("../Assets/Levels/BUSY.txt"), (std::vector<std::string>{"old", "description"}));
  EXPECT_EQ(Tokens("../Assets/Levels/BUSY.txt2"), (std::vector<std::string>{"old", "list"}));
  EXPECT_FALSE(fs::exists("../Assets/Levels/BUSY.txt.saving"));
}

// ---- loading -------------------------------------------------------------------

TEST_F(LevelFiles, TypeNamesPickTheClassAndSizesAreTruncated) {
  std::string text = Block("Vehicle", "PLAYER", "../Assets/image/tank.png", "0 1 1 0 400 300 15.9 10.99") +
                     Block("GameObject", "ENEMYPROJECTILE", "../Assets/image/shot.png", "0 1 1 0 1 1 4 4") +
                     Block("GameObject", "ENEMY2VERTICAL", "../Assets/image/gate.png", "0 1 1 0 1 1 4 4") +
                     Block("Foo", "ENEMY", "../Assets/image/gate.png", "0 1 1 0 1 1 4 4") +
                     Block("GameObject", "PORTAL3", "../Assets/image/gate.png", "0 1 1 0 1 1 4 4") +
                     Block("GameObject", "GATE12", "../Assets/image/gate.png", "0 1 1 0 1 1 4 4") +
                     Block("GameObject", "OLD_NPC", "../Assets/image/npc.png", "0 1 1 0 1 1 4 4") +
                     Block("Vehicle", "GARAGE", "../Assets/image/npc.png", "0 1 1 0 1 1 4 4") +
                     Block("GameObject", "GARAGE2", "../Assets/image/npc.png", "0 1 1 0 1 1 4 4");
  std::string out;
  auto objects = Load(text, false, &out);
  ASSERT_EQ(objects.size(), 8u);
  ASSERT_NE(dynamic_cast<Vehicle*>(objects[0]), nullptr);
  EXPECT_EQ(objects[0]->graphic->halfWidth, 15);
  EXPECT_EQ(objects[0]->graphic->halfHeight, 10);
  EXPECT_NEAR(objects[0]->shape->Bounds().second.x, 415.0f, 1e-3f);
  EXPECT_EQ(objects[1]->Animated(), nullptr);
  EXPECT_NE(objects[2]->Animated(), nullptr);
  EXPECT_EQ(dynamic_cast<Vehicle*>(objects[2]), nullptr);
  EXPECT_EQ(objects[3]->name, "PORTAL3"); // the ENEMY under "Foo" is skipped, reading goes on
  EXPECT_NE(objects[3]->Animated(), nullptr);
  EXPECT_NE(objects[4]->Animated(), nullptr);
  EXPECT_NE(dynamic_cast<NPC*>(objects[5]), nullptr);
  EXPECT_NE(dynamic_cast<NPC*>(objects[6]), nullptr);
  EXPECT_EQ(dynamic_cast<NPC*>(objects[7]), nullptr);
  EXPECT_NE(out.find("Unserialized 9 objects"), std::string::npos);
}

TEST_F(LevelFiles, EmptyObjectListsWithAndWithoutValidation) {
  std::string out;
  EXPECT_TRUE(Load("", false, &out).empty());
  EXPECT_EQ(out, "Unserializing..\nUnserialized 0 objects\n");
  EXPECT_TRUE(Load("", true, &out).empty());
  EXPECT_EQ(out.find("Unserializing"), std::string::npos);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
  // No file at all: one line, nothing made.
  testing::internal::CaptureStdout();
  EXPECT_TRUE(LoadObjectList("../Assets/Levels/MISSING.txt", false).empty());
  out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
  EXPECT_TRUE(factory->objects.empty());
}

TEST_F(LevelFiles, ABadBlockStopsReadingAndKeepsWhatCameBefore) {
  const std::string good = Block("GameObject", "WALL", "../Assets/image/brick.png", "0 1 1 0 10 10 16 16");
  for (const char* numbers : {"0 1 1 0 nan 10 16 16", "0 1 1 0 10 10 -3 16", "0 1 1 0 10 10 16 250000",
                              "0 one 1 0 10 10 16 16", "0 1 1 0 10 10 1e40 16"}) {
    std::string out;
    auto objects = Load(Block("Vehicle", "PLAYER", "../Assets/image/tank.png", "0 1 1 0 1 1 4 4") + good +
                            Block("GameObject", "ROAD", "../Assets/image/brick.png", numbers) + good,
                        false, &out);
    EXPECT_EQ(objects.size(), 2u) << numbers;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3) << out; // the two framing lines and one error
    EXPECT_NE(out.find("Error"), std::string::npos);
  }
  // Cut short by the end of the file.
  auto objects = Load(good + "GameObject\nWALL\n../Assets/image/brick.png\n0\n", false);
  EXPECT_EQ(objects.size(), 1u);
}

TEST_F(LevelFiles, OneWallInTenShowsTheVariant) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += Block("GameObject", "WALL", "../Assets/image/wall.png", "0 1 1 0 5 5 8 8");
  std::srand(7);
  auto walls = Load(text, false);
  ASSERT_EQ(walls.size(), 200u);
  int variants = 0;
  for (auto* w : walls) {
    if (w->ImagePath() == "../Assets/image/wall2.png") ++variants;
    else EXPECT_EQ(w->ImagePath(), "../Assets/image/wall.png");
  }
  EXPECT_GT(variants, 5);
  EXPECT_LT(variants, 45);
}

// ---- the level list -------------------------------------------------------------

TEST_F(LevelFiles, LevelListHoldsValidLevelsSortedByName) {
  const std::string player = Block("Vehicle", "PLAYER", "p.png", "0 1 1 0 1 1 4 4");
  for (const char* name : {"ZED", "ALPHA", "MIDDLE", " BLANK"}) WriteText(std::string("../Assets/Levels/") + name + ".txt", player);
  WriteText("../Assets/Levels/BROKEN.txt", player + "stray\n");
  WriteText("../Assets/Levels/ALPHA.txt2", player);
  fs::create_directory("../Assets/Levels/FOLDER.txt");
  g_levelNames = {"stale"};
  testing::internal::CaptureStdout();
  ListLevels();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "  FOLDER.txt   <DIR>\n");
  EXPECT_EQ(g_levelNames, (std::vector<std::string>{"ALPHA", "MIDDLE", "ZED"}));
  EXPECT_EQ(g_levelCount, 3);

  fs::remove_all("../Assets/Levels");
  testing::internal::CaptureStdout();
  ListLevels();
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(g_levelNames.empty());
  EXPECT_EQ(g_levelCount, 0);
}

// ---- the player loadout --------------------------------------------------------

TEST_F(LevelFiles, LoadoutFillsTheVehicleAndLeavesOthersAlone) {
  WriteText("../Assets/Player.txt",
            "7\n3\n"
            "Weapon\nDEFAULT_Left\n../Assets/image/gun.png\n4\n1\n2\n0.5\n-1000\n-1000\n25.7\n25\n0.1\n3\n1\n"
            "Projectile\n../Assets/image/bullet.png\n1\n375\n0\n-1000\n-1000\n7\n7\n2\nEndProjectile\n"
            "Projectile\n../Assets/image/bullet.png\n1\n375\n0\n-1000\n-1000\n7\n7\n2\nEndProjectile\n"
            "EndWeapon\n"
            "Weapon\nBLACKHOLE_Right\n../Assets/image/gun.png\n0\n1\n1\n0\n-1000\n-1000\n25\n25\n0.1\n4\n2\n"
            "EndWeapon\n");
  Vehicle* player = Player();
  player->weapons.push_back(nullptr);
  LoadPlayerLoadout("../Assets/Player.txt", player);
  EXPECT_EQ(player->hp, 7);
  EXPECT_EQ(player->upgradeLevel, 3);
  ASSERT_EQ(player->weapons.size(), 3u); // appended, not replaced
  Weapon& left = *player->weapons[1];
  EXPECT_EQ(left.name, "DEFAULT_Left");
  EXPECT_EQ(left.kind, 1);
  EXPECT_NEAR(left.reloadTime, 0.1, 1e-7);
  EXPECT_DOUBLE_EQ(left.damage, 3.0);
  EXPECT_EQ(left.graphic->halfWidth, 25);
  EXPECT_FLOAT_EQ(left.scale, 1.0f); // rebuilt at scale 1 and rotation 0
  EXPECT_FLOAT_EQ(left.rotation, 0.0f);
  ASSERT_EQ(left.projectiles.size(), 2u);
  EXPECT_DOUBLE_EQ(left.projectiles[0]->lifetime, 2.0);
  EXPECT_FALSE(left.projectiles[0]->active);
  EXPECT_EQ(player->weapons[2]->kind, 2);

  GameObject* other = Brick("WALL", 0, 0);
  LoadPlayerLoadout("../Assets/Player.txt", other);
  EXPECT_EQ(other->hp, 7);

  testing::internal::CaptureStdout();
  LoadPlayerLoadout("../Assets/Nothing.txt", player);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
  EXPECT_EQ(player->hp, 7);
  EXPECT_EQ(player->weapons.size(), 3u);
}
