// Serial: the level pauses while its window lacks the keyboard focus, so it must hold it.
// The campaign state on the real loop: building a level from its file, the frame's order,
// winning, losing and portals, the loading screen, the chasers' path grid, the camera
// shake, the HUD's pizza read-outs and the track marks. Each test writes its own small
// level into a scratch tree that borrows the game's pictures and shaders.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/System.h"
#include "core/Window.h"
#include "levels/GenericLevel.h"
#include "levels/Hud.h"
#include "levels/PathGrid.h"
#include "levels/Track.h"
#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include "objects/NPC.h"
#include "objects/Vehicle.h"
#include "objects/DrawIndex.h"
#include "objects/World.h"
#include "objects/WorldRules.h"
#include "platform/KeyCodes.h"
#include "render/Camera.h"
#include "render/DrawBatch.h"
#include "render/Graphic.h"
#include "render/SceneryBake.h"

#include <GL/glew.h>
#include "support/GameHarness.h"

namespace fs = std::filesystem;

namespace {

// One object block of a level file: keyword, name, picture, centre and half size.
struct Placed {
  std::string name;
  float x = 0.0f;
  float y = 0.0f;
  float half = 25.0f;
};

std::string PictureFor(const std::string& name) {
  if (name == "PLAYER") return "../Assets/image/Tank_moving.png";
  if (name == "WALL") return "../Assets/image/wall.png";
  if (name == "GARAGE") return "../Assets/image/props/garage.png";
  if (name.find("NPC") != std::string::npos) return "../Assets/image/npc/char1.png";
  if (name.find("ENEMY2") != std::string::npos) return "../Assets/image/enemy/crawlerA.png";
  if (name.find("PROJECTILE") != std::string::npos) return "../Assets/image/star.png";
  if (name.find("ENEMY") != std::string::npos) return "../Assets/image/enemy/gunner.png";
  if (name.find("PORTAL") != std::string::npos || name.find("GATE") != std::string::npos)
    return "../Assets/image/props/portal.png";
  if (name == "END") return "../Assets/image/props/roadEnd.png";
  if (name == "PIZZA") return "../Assets/image/props/pizza.png";
  return "../Assets/image/grass.png";
}

// Both files of a level, as the editor leaves them: the game reads the list ("2") and
// checks the description, which for these objects holds the same blocks.
std::string LevelText(const std::vector<Placed>& objects) {
  std::ostringstream out;
  for (const Placed& o : objects) {
    const std::string keyword = o.name == "PLAYER" ? "Vehicle" : "GameObject";
    out << keyword << "\n" << o.name << "\n" << PictureFor(o.name) << "\n0\n1\n1\n0\n"
        << o.x << "\n" << o.y << "\n" << o.half << "\n" << o.half << "\nEnd" << keyword << "\n";
  }
  return out.str();
}

class CampaignTest : public ::testing::Test {
protected:
  void SetUp() override {
    const fs::path assets = fs::absolute("../Assets");
    real = assets;
    const fs::path shaders = fs::absolute("../shaders");
    tree = std::make_unique<ScratchTree>();
    fs::remove(fs::path(tree->root) / "shaders");
    fs::create_directory_symlink(shaders, fs::path(tree->root) / "shaders");
    for (const char* folder : {"image", "font", "Audio"})
      fs::create_directory_symlink(assets / folder, fs::path(tree->root) / "Assets" / folder);
    fs::copy_file(assets / "Windows.txt", fs::path(tree->root) / "Assets" / "Windows.txt");
    // Three hit points in the loadout: the level must start with ten all the same.
    tree->Write("Assets/Player.txt", "3\n0\n");
    ASSERT_TRUE(game.StartWithLevel());
  }
  void TearDown() override {
    game.LeaveLevelAndStop();
    tree.reset();
  }

  void WriteLevel(const std::string& name, const std::vector<Placed>& objects) {
    const std::string text = LevelText(objects);
    tree->Write("Assets/Levels/" + name + ".txt", text);
    tree->Write("Assets/Levels/" + name + ".txt2", text);
  }

  // Enters the campaign (its first level, FIRSTMOD) and returns the state.
  GenericLevel* Enter() {
    g_loop.nextState = STATE_LEVEL;
    game.Frame(2);
    return dynamic_cast<GenericLevel*>(game.loop.CurrentLevel());
  }
  // Past the loading picture, with steady 60 Hz frames from here on.
  void SkipLoading(GenericLevel* level) {
    level->screens.loading.loadTime = 3.0f;
    Frames(1);
  }
  void Frames(int count, float frameTime = 1.0f / 60.0f) {
    for (int i = 0; i < count; ++i) {
      g_loop.frameTime = frameTime;
      game.Frame();
    }
  }

  std::unique_ptr<ScratchTree> tree;
  fs::path real; // the game's own Assets
  GameHarness game;
};

const std::vector<Placed> kWalledLevel = {
    {"PLAYER", 200, 300}, {"WALL", 100, 300, 26}, {"WALL", 500, 300, 26}, {"WALL", 900, 300, 26}};

// ---- the build --------------------------------------------------------------------------

TEST_F(CampaignTest, BuildDerivesCameraLimitsFromTheWallsAndClampsTheStart) {
  WriteLevel("FIRSTMOD", kWalledLevel);
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  ASSERT_EQ(g_screen.width, 1264);
  EXPECT_TRUE(level->screens.limits.clamped);
  EXPECT_EQ(level->screens.limits.minX, 682);
  EXPECT_EQ(level->screens.limits.maxX, 318);
  // Below the minimum: the minimum; the minimum above the maximum is kept as it is.
  EXPECT_EQ(level->screens.limits.Clamp(Vec3(200, 0)).x, 682.0f);
  EXPECT_EQ(level->screens.limits.Clamp(Vec3(700, 0)).x, 318.0f);
  EXPECT_FLOAT_EQ(g_play.camera->x, ToDeviceX(682.0f));
}

TEST_F(CampaignTest, BuildSortsRolesAndStartsEveryEnemyShotInThePool) {
  WriteLevel("FIRSTMOD", {{"PLAYER", 200, 300},
                          {"ENEMYPROJECTILE", 0, 0, 10}, // before any shooter: nobody's
                          {"ENEMY_32", 300, 300},
                          {"ENEMY_310", 400, 300},
                          {"ENEMY_31", 500, 300},
                          {"ENEMY", 600, 300},
                          {"PLAYER", 900, 300}, // hand-edited: the last player plays
                          {"ENEMY2AREVERSE", 700, 300, 22},
                          {"ENEMY2VERTICALB", 800, 300, 22},
                          {"PROJECTILE", 0, 0, 10},
                          {"ENEMYPROJECTILE", 0, 0, 10},
                          {"ENEMYPROJECTILE", 0, 0, 10}});
  testing::internal::CaptureStdout();
  GenericLevel* level = Enter();
  testing::internal::GetCapturedStdout();
  ASSERT_NE(level, nullptr);
  World& world = level->world;
  std::vector<std::string> names;
  for (GameObject* s : world.shooters) names.push_back(s->name);
  // Byte-wise: "ENEMY_310" sorts before "ENEMY_32".
  EXPECT_EQ(names, (std::vector<std::string>{"ENEMY", "ENEMY_31", "ENEMY_310", "ENEMY_32"}));
  for (GameObject* s : world.shooters) {
    EXPECT_EQ(s->hp, 2);
    EXPECT_EQ(s->children.size(), 2u) << s->name;
    for (GameObject* shot : s->children) {
      EXPECT_FALSE(shot->active) << "an enemy shot must start in the pool, not in flight";
      EXPECT_EQ(shot->damage, 1);
    }
  }
  ASSERT_EQ(world.patrollers.size(), 2u);
  EXPECT_FALSE(world.patrollers[0]->forward); // REVERSE
  EXPECT_TRUE(world.patrollers[1]->vertical);
  EXPECT_FLOAT_EQ(g_play.player->Position().x, 900.0f);
  ASSERT_EQ(g_play.player->children.size(), 1u);
  EXPECT_EQ(g_play.player->children[0]->damage, 2);
  EXPECT_FALSE(g_play.player->children[0]->active);
  EXPECT_EQ(g_play.player->hp, 10) << "the loadout's 3 hit points are replaced";
}

TEST_F(CampaignTest, AShotIsDrawnThoughTheShooterThatSortsFirstDoesNotHoldIt) {
  WriteLevel("FIRSTMOD", {{"PLAYER", 200, 300}, {"ENEMY_31", 2000, 300}, {"ENEMYPROJECTILE", 900, 300, 10},
                          {"ENEMY", 2200, 300}});
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  SkipLoading(level);
  GameObject* shot = level->world.shooters.back()->children.at(0);
  shot->active = true;
  shot->lifetime = 5.0f;
  Frames(1);
  const float* seen = shot->graphic->CameraView();
  EXPECT_TRUE(std::equal(seen, seen + 16, g_play.player->graphic->CameraView())) << "drawn: handed the level's camera";
}

TEST_F(CampaignTest, GaragesArePrintedAndEveryBuildResetsTheWorldsLists) {
  WriteLevel("FIRSTMOD", {{"PLAYER", 200, 300},
                          {"WALL", 0, 0, 26},
                          {"GARAGE", 400, 300, 27},
                          {"GARAGE", 500, 300, 27},
                          {"GARAGE", 600, 300, 27},
                          {"ENEMY_31", 700, 300}});
  testing::internal::CaptureStdout();
  GenericLevel* level = Enter();
  const std::string out = testing::internal::GetCapturedStdout();
  ASSERT_NE(level, nullptr);
  EXPECT_NE(out.find("Number of garages on map: 3\n"), std::string::npos) << out;
  EXPECT_EQ(level->world.garageVisited, std::vector<bool>(3, false));
  EXPECT_EQ(level->world.chainBits, std::vector<bool>(6, false));
  EXPECT_TRUE(level->world.trailList.empty());
  ASSERT_EQ(level->world.chainBits.size(), 6u);

  // A stale visit or chain bit must not survive a restart and open a gate at once.
  level->world.garageVisited[1] = true;
  level->world.chainBits[2] = true;
  level->world.trailList.push_back(nullptr);
  g_loop.nextState = STATE_RESTART;
  Frames(2);
  ASSERT_EQ(game.loop.CurrentLevel(), level);
  EXPECT_EQ(level->world.garageVisited, std::vector<bool>(3, false));
  EXPECT_EQ(level->world.chainBits, std::vector<bool>(6, false));
  EXPECT_TRUE(level->world.trailList.empty());
  EXPECT_EQ(level->world.garages.size(), 3u);
  EXPECT_EQ(level->world.shooters.size(), 1u);
}

TEST_F(CampaignTest, WithoutWallsTheCameraFollowsThePlayerAnywhere) {
  WriteLevel("FIRSTMOD", {{"PLAYER", -5000, 7000}});
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  EXPECT_FALSE(level->screens.limits.clamped);
  EXPECT_EQ(g_background.extent.columns, 0);
  SkipLoading(level);
  Frames(2);
  const Vec3 p = g_play.player->Position();
  EXPECT_FLOAT_EQ(g_play.camera->x, ToDeviceX(p.x));
  EXPECT_FLOAT_EQ(g_play.camera->y, ToDeviceY(p.y));
}

TEST_F(CampaignTest, ALevelWithoutPlayerPrintsOneLineAndGoesBackToTheMenu) {
  // "PLAYER" appears only as a picture name: the file validates, but no vehicle comes of it.
  tree->Write("Assets/Levels/FIRSTMOD.txt",
              "GameObject\nWALL\nPLAYER\n0\n1\n1\n0\n0\n0\n26\n26\nEndGameObject\n");
  tree->Write("Assets/Levels/FIRSTMOD.txt2",
              "GameObject\nWALL\nPLAYER\n0\n1\n1\n0\n0\n0\n26\n26\nEndGameObject\n");
  testing::internal::CaptureStdout();
  g_loop.nextState = STATE_LEVEL;
  game.Frame(2);
  const std::string out = testing::internal::GetCapturedStdout();
  const size_t first = out.find("has no PLAYER");
  ASSERT_NE(first, std::string::npos) << out;
  EXPECT_EQ(out.find("has no PLAYER", first + 1), std::string::npos) << "one line, once";
  game.Frame(2);
  EXPECT_EQ(g_loop.currentState, STATE_MAIN_MENU);
  EXPECT_EQ(g_play.player, nullptr);
  EXPECT_EQ(g_campaignWorld.pizza, nullptr);
}

TEST_F(CampaignTest, FreeLetsGoOfThePlayerAndThePizza) {
  WriteLevel("FIRSTMOD", {{"PLAYER", 200, 300}, {"PIZZA", 400, 300, 20}});
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  ASSERT_NE(level->world.pizza, nullptr);
  g_play.pizzaCarried = true;
  g_loop.nextState = STATE_MAIN_MENU;
  game.Frame(2);
  EXPECT_EQ(g_play.player, nullptr);
  EXPECT_EQ(g_campaignWorld.pizza, nullptr);
  EXPECT_FALSE(g_play.pizzaCarried);
  EXPECT_TRUE(FindSystem<GameObjectFactory>()->objects.empty());
}

// ---- the loading screen -----------------------------------------------------------------

TEST_F(CampaignTest, LoadingCountsOnlyShortFramesAndEndsAfterTenRealSeconds) {
  WriteLevel("FIRSTMOD", kWalledLevel);
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  LoadingScreen& loading = level->screens.loading;
  const float counted = loading.loadTime;
  Frames(20, 0.2f); // four seconds of slow frames
  EXPECT_EQ(loading.loadTime, counted);
  EXPECT_TRUE(loading.shown);
  EXPECT_TRUE(g_loop.paused);
  Frames(58, 0.05f); // 2.9 s
  EXPECT_TRUE(loading.shown);
  Frames(3, 0.05f);
  EXPECT_FALSE(loading.shown);
  EXPECT_FALSE(g_loop.paused);

  // On a machine that never makes a short frame, real time ends it.
  g_loop.nextState = STATE_RESTART;
  Frames(2, 0.2f);
  EXPECT_TRUE(level->screens.loading.shown);
  level->screens.loading.startedAt -= 10.0;
  Frames(1, 0.2f);
  EXPECT_FALSE(level->screens.loading.shown);
  EXPECT_FALSE(g_loop.paused);
}

// ---- the frame's order ------------------------------------------------------------------

TEST_F(CampaignTest, WhilePausedOnlyTheTracksAgeAndAClosedOverlayLetsTheFramePlay) {
  WriteLevel("FIRSTMOD", {{"PLAYER", 200, 300}, {"WALL", 0, 0, 26}});
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  SkipLoading(level);
  level->screens.track->AddMark(MakeTrackMark(Vec3(0, 0)));
  level->world.levelTimer = 50.0f;

  g_frontEnd.helpOpen = true;
  g_loop.paused = true;
  Frames(30);
  EXPECT_EQ(level->world.levelTimer, 50.0f) << "the world stands still under an overlay";
  EXPECT_NEAR(level->screens.track->marks[0].age, 0.5f, 1e-4f) << "tracks age while paused";

  // C closes the overlay and the same frame plays on: the world's timer runs.
  g_input.keyTriggered[KEY_C] = true;
  Frames(1);
  EXPECT_FALSE(g_frontEnd.helpOpen);
  EXPECT_FALSE(g_loop.paused);
  EXPECT_LT(level->world.levelTimer, 50.0f);
}

TEST_F(CampaignTest, ThePadsXClosesTheHelpWithoutReopeningItInTheSameFrame) {
  // The garage beside the character waits: talk comes first.
  WriteLevel("FIRSTMOD", {{"PLAYER", 200, 300}, {"WALL", 0, 0, 26}, {"NPC2", 230, 300, 20}, {"GARAGE", 170, 300, 27}});
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  SkipLoading(level);
  VirtualPad pad;
  ASSERT_TRUE(pad.Attached());
  level->world.npcs[0]->near = true;

  g_frontEnd.helpOpen = true;
  g_loop.paused = true;
  pad.Button(SDL_CONTROLLER_BUTTON_X, true);
  game.Drain();
  Frames(1);
  EXPECT_FALSE(g_frontEnd.helpOpen) << "X closes the help, and holding it does not reopen it";
  for (int i = 0; i < 5; ++i) {
    level->world.npcs[0]->near = true;
    Frames(1);
    EXPECT_FALSE(g_frontEnd.helpOpen) << "frame " << i;
  }
  pad.Button(SDL_CONTROLLER_BUTTON_X, false);
  game.Drain();
  level->world.npcs[0]->near = true;
  pad.Button(SDL_CONTROLLER_BUTTON_X, true);
  game.Drain();
  level->world.npcs[0]->near = true;
  Frames(1);
  EXPECT_TRUE(g_frontEnd.helpOpen) << "a fresh press next to the character opens it";
}

// ---- winning, losing, portals -----------------------------------------------------------

TEST_F(CampaignTest, TheEndRoadWinsAndKThenLeadsToTheMainMenu) {
  WriteLevel("FIRSTMOD", {{"PLAYER", 200, 300}, {"WALL", 0, 0, 26}, {"END", 210, 300}});
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  level->world.roads[0]->active = false; // counts whether active or not
  SkipLoading(level);
  Frames(1);
  EXPECT_TRUE(g_play.levelWon);
  EXPECT_FALSE(g_play.levelLost);
  g_input.keyTriggered[KEY_K] = true;
  Frames(1);
  EXPECT_EQ(g_loop.nextState, STATE_MAIN_MENU);
}

TEST_F(CampaignTest, ZeroHitPointsLoseAndKReplaysTheLevelFresh) {
  WriteLevel("FIRSTMOD", {{"PLAYER", 200, 300}, {"WALL", 0, 0, 26}, {"PIZZA", 900, 300, 20}});
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  SkipLoading(level);
  g_play.pizzaCarried = true;
  g_play.player->hp = 0;
  Frames(1);
  EXPECT_TRUE(g_play.levelLost);
  EXPECT_FALSE(g_play.levelWon);
  g_input.keyTriggered[KEY_K] = true;
  Frames(3);
  EXPECT_EQ(g_loop.currentState, STATE_LEVEL);
  EXPECT_FALSE(g_play.levelLost);
  ASSERT_NE(g_play.player, nullptr);
  EXPECT_EQ(g_play.player->hp, 10);
  EXPECT_FALSE(g_play.pizzaCarried);
}

TEST_F(CampaignTest, PortalsWinWithTheirTargetButNotForTheDead) {
  WriteLevel("FIRSTMOD", {{"PLAYER", 200, 300}, {"WALL", 0, 0, 26}, {"PORTALSECOND", 210, 300, 26}});
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  g_play.player->hp = 0; // dying on the portal is a loss, not both
  SkipLoading(level);
  Frames(1);
  EXPECT_TRUE(g_play.levelLost);
  EXPECT_FALSE(g_play.levelWon);
  EXPECT_EQ(level->levelPath, "../Assets/Levels/FIRSTMOD.txt");

  g_loop.nextState = STATE_RESTART;
  Frames(2);
  SkipLoading(level);
  Frames(1);
  EXPECT_TRUE(g_play.levelWon);
  EXPECT_FALSE(g_play.levelLost);
  EXPECT_EQ(level->levelPath, "../Assets/Levels/SECOND.txt");
  // The next build goes by the campaign's index again.
  g_loop.nextState = STATE_RESTART;
  Frames(2);
  EXPECT_EQ(level->levelPath, "../Assets/Levels/FIRSTMOD.txt");

  bool toMenu = false;
  EXPECT_EQ(PortalTarget("PORTALEND", toMenu), "");
  EXPECT_TRUE(toMenu);
  EXPECT_EQ(PortalTarget("PORTALENDS", toMenu), "../Assets/Levels/ENDS.txt");
  EXPECT_FALSE(toMenu);
}

// ---- the chasers' path grid -------------------------------------------------------------

class PathGridTest : public CampaignTest {
protected:
  GameObject* Make(const std::string& name, float x, float y, int half) {
    return FindSystem<GameObjectFactory>()->Create(name, PictureFor(name), Vec3(x, y, 0), half, half, 1);
  }
  // Follows a trail from its entry; false if it crosses a blocked cell or never arrives.
  static bool ClearWayToPlayer(PathCell* from, PathCell* goal) {
    for (int steps = 0; from && steps < 400; ++steps) {
      if (from->cost >= PathGrid::BLOCKED) return false;
      if (from == goal) return true;
      from = from->previous;
    }
    return false;
  }
  World world;
  PathGrid grid;
};

TEST_F(PathGridTest, APatrollerIsRoutedAroundAWallButNeverThroughAOneCellGap) {
  // The player at the origin; a wall from y -130 to +26 at x 78 between it and a patroller.
  for (float y = -130.0f; y <= 26.0f; y += 26.0f) world.walls.push_back(Make("WALL", 78.0f, y, 13));
  world.patrollers.push_back(Make("ENEMY2A", 156.0f, 0.0f, 11));
  grid.Rebuild(world, Vec3(0, 0, 0));
  ASSERT_EQ(world.trailList.size(), 1u);
  PathCell* goal = grid.CellNearest(Vec3(0, 0, 0));
  ASSERT_NE(world.trailList[0], nullptr);
  EXPECT_TRUE(ClearWayToPlayer(world.trailList[0], goal));
  bool wentBelowTheWall = false;
  for (PathCell* c = world.trailList[0]; c; c = c->previous)
    if (c->centre.y > 26.0f) wentBelowTheWall = true;
  EXPECT_TRUE(wentBelowTheWall) << "the way leads round the wall's open end";

  // A wall right across the grid with one cell's gap: doubled obstacles close the gap.
  world = World();
  for (float y = -260.0f; y <= 260.0f; y += 26.0f)
    if (y != 0.0f) world.walls.push_back(Make("WALL", 78.0f, y, 13));
  world.patrollers.push_back(Make("ENEMY2A", 156.0f, 0.0f, 11));
  world.patrollers.push_back(Make("ENEMY2A", 5000.0f, 0.0f, 11)); // off the grid
  grid.Rebuild(world, Vec3(0, 0, 0));
  ASSERT_EQ(world.trailList.size(), 2u);
  EXPECT_EQ(world.trailList[0], nullptr);
  EXPECT_EQ(world.trailList[1], nullptr);
  EXPECT_EQ(TrailEntry(world, 7), nullptr) << "a missing entry counts as none";
}

// ---- camera shake -----------------------------------------------------------------------

TEST_F(CampaignTest, AShakeLastsOneHundredTwentyFramesWithEightHalvingSteps) {
  WriteLevel("FIRSTMOD", kWalledLevel);
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  SkipLoading(level);
  level->StartShake(g_play.player->Position() + Vec3(-50.0f, 0.0f));
  EXPECT_EQ(level->shakeDirection, 2);
  int frames = 0;
  while (level->shaking && frames < 200) {
    Frames(1);
    ++frames;
  }
  EXPECT_EQ(frames, 120);
  EXPECT_FLOAT_EQ(g_play.camera->shakeMagnitude, 0.01f / 256.0f);
  // A hit asks for a shake through the world; the level starts it.
  level->world.shake.requested = true;
  level->world.shake.towards = g_play.player->Position() + Vec3(0.0f, 50.0f);
  Frames(1);
  EXPECT_TRUE(level->shaking);
  EXPECT_EQ(level->shakeDirection, 1);
}

// ---- HUD ----------------------------------------------------------------------------------

TEST_F(CampaignTest, ThePizzaLabelCountsTensOfUnitsAndTheThermometerCoolsOnlyInPlay) {
  WriteLevel("FIRSTMOD", {{"PLAYER", 200, 300}, {"WALL", 0, 0, 26}, {"PIZZA", 353.7f, 300, 20}});
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  SkipLoading(level);
  const float distance = level->world.pizza->Position().x - g_play.player->Position().x;
  Frames(1);
  EXPECT_EQ(g_hud.pizzaLabel, PizzaDistanceLabel(distance));
  EXPECT_EQ(PizzaDistanceLabel(153.7f), "15m");
  EXPECT_EQ(PizzaDistanceLabel(9.9f), "0m");
  EXPECT_EQ(PizzaDistanceLabel(2.9e9f), "214748364m"); // coordinates reach 1e9 either way

  g_play.pizzaCarried = true;
  g_play.thermometer = 1.0f;
  Frames(60);
  EXPECT_NEAR(g_play.thermometer, 1.0f - 0.003f, 1e-5f) << "0.003 a second";
  EXPECT_EQ(g_hud.pizzaLabel, "") << "no arrow once the pizza is carried";
  const float before = g_play.thermometer;
  g_frontEnd.garageOpen = true;
  g_loop.paused = true;
  Frames(60);
  EXPECT_EQ(g_play.thermometer, before) << "no cooling while paused";
  g_play.thermometer = -0.5f;
  g_frontEnd.garageOpen = false;
  g_loop.paused = false;
  Frames(1);
  EXPECT_LT(g_play.thermometer, -0.5f) << "not clamped";
}

// ---- track marks --------------------------------------------------------------------------

TEST_F(CampaignTest, SteadyMarksKeepAboutFortyAndRetireOneAFrame) {
  WriteLevel("FIRSTMOD", kWalledLevel);
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  SkipLoading(level);
  Track& track = *level->screens.track;
  track.marks.clear();
  // What driving does: a mark whenever more than 0.1 s passed since the last.
  float clock = 0.0f;
  for (int frame = 0; frame < 600; ++frame) {
    if (clock > 0.1f) {
      track.AddMark(MakeTrackMark(Vec3(frame, 0)));
      clock = 0.0f;
    }
    g_loop.frameTime = 1.0f / 60.0f;
    track.Update(*g_play.camera);
    clock += g_loop.frameTime;
  }
  EXPECT_GE(track.marks.size(), 34u);
  EXPECT_LE(track.marks.size(), 41u);
  EXPECT_EQ(track.marks.front().firstPrint.x, track.marks.front().secondPrint.x - 28.0f);

  // Several expired at once go one a frame, oldest first.
  for (TrackMark& m : track.marks) m.age = 10.0f;
  const size_t count = track.marks.size();
  track.Update(*g_play.camera);
  EXPECT_EQ(track.marks.size(), count - 1);
  track.Update(*g_play.camera);
  EXPECT_EQ(track.marks.size(), count - 2);
}

TEST_F(CampaignTest, DrivingForwardLaysAboutFortyMarks) {
  WriteLevel("FIRSTMOD", {{"PLAYER", 0, 0}});
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  SkipLoading(level);
  g_input.keyDown[KEY_W] = true;
  Frames(360);
  g_input.keyDown[KEY_W] = false;
  const size_t marks = level->screens.track->marks.size();
  EXPECT_GE(marks, 34u);
  EXPECT_LE(marks, 41u);
  EXPECT_GT(g_play.player->Position().x, 800.0f) << "the vehicle drove";
}

// ---- the shipped campaign -----------------------------------------------------------------

TEST_F(CampaignTest, EachShippedLevelBuildsWithAPlayerWallsAndItsKind) {
  const char* names[3] = {"FIRSTMOD", "SECOND", "BOSS"};
  for (int i = 0; i < 3; ++i) {
    for (const char* suffix : {".txt", ".txt2"}) {
      std::ifstream in(real / "Levels" / (std::string(names[i]) + suffix));
      ASSERT_TRUE(in) << names[i] << suffix << " (the content build makes it)";
      std::stringstream text;
      text << in.rdbuf();
      tree->Write(std::string("Assets/Levels/") + names[i] + suffix, text.str());
    }
  }
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(names[i]);
    ASSERT_NE(g_play.player, nullptr);
    EXPECT_EQ(level->levelPath, std::string("../Assets/Levels/") + names[i] + ".txt");
    EXPECT_TRUE(level->screens.limits.clamped);
    EXPECT_GT(g_background.extent.columns, 0);
    EXPECT_EQ(level->world.isBossLevel, i == 2);
    EXPECT_EQ(level->world.isMainLevel, i != 2);
    EXPECT_EQ(level->world.garageVisited.size(), level->world.garages.size());
    SkipLoading(level);
    Frames(30);
    EXPECT_EQ(level->world.trailList.size(), level->world.patrollers.size());
    EXPECT_FALSE(g_play.levelLost);
    // On to the next level, as the end screen's button does after a win.
    level->levelIndex = i + 1;
    g_loop.nextState = STATE_RESTART;
    Frames(2);
  }
}

// ---- the baked scenery -------------------------------------------------------------------

// The level's frame as it stands, read back; Draw steps nothing it shows (frame time 0,
// the heartbeat's count put back).
std::vector<unsigned char> DrawnFrame(GenericLevel& level, bool bake) {
  SetSceneryBake(bake);
  const float frameTime = g_loop.frameTime;
  const int pulse = level.screens.pulseCounter;
  g_loop.frameTime = 0.0f;
  for (int again = 0; again < 10; ++again) { // the chunks in view come a couple a frame
    level.screens.pulseCounter = pulse;
    level.Draw();
    if (!bake || level.scenery.bake.Shown()) break;
  }
  EXPECT_EQ(level.scenery.bake.Shown(), bake);
  FlushDrawing();
  g_loop.frameTime = frameTime;
  level.screens.pulseCounter = pulse;
  std::vector<unsigned char> pixels(static_cast<size_t>(g_screen.width) * g_screen.height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, g_screen.width, g_screen.height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  SetSceneryBake(false); // the game's own setting
  return pixels;
}

TEST_F(CampaignTest, TheBakedSceneryGivesTheLayersPixelsAndSacksAndGatesStayLive) {
  for (const char* suffix : {".txt", ".txt2"}) {
    std::ifstream in(real / "Levels" / (std::string("FIRSTMOD") + suffix));
    std::stringstream text;
    text << in.rdbuf();
    tree->Write(std::string("Assets/Levels/FIRSTMOD") + suffix, text.str());
  }
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  SkipLoading(level);
  glViewport(0, 0, g_screen.width, g_screen.height); // the logical screen's own size: the bake's
  ASSERT_FALSE(level->world.sacks.empty());
  ASSERT_FALSE(level->world.gates.empty());
  const Vec3 start = level->cameraTarget;
  GameObject* sack = level->world.sacks[0];
  const Vec3 gate = level->world.gates[0]->Position();
  struct Case {
    const char* what;
    Vec3 view;
    int change; // 1: open the gates first, 2: destroy the sack first
  };
  const Case cases[] = {{"first frame", start, 0},      {"moved view", start + Vec3(137, -61, 0), 0},
                        {"at a gate", gate, 0},         {"the gate opened", gate, 1},
                        {"at a sack", sack->Position(), 0}, {"the sack destroyed", sack->Position(), 2}};
  std::vector<unsigned char> before;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    g_play.camera->SetPosition(c.view.x, c.view.y);
    if (c.change == 1)
      for (int group : {10, 11}) OpenGate(level->world.gates, group);
    while (c.change == 2 && sack->active) HitSack(*sack);
    const std::vector<unsigned char> off = DrawnFrame(*level, false), on = DrawnFrame(*level, true);
    EXPECT_TRUE(off == on) << std::count_if(off.begin(), off.end(), [&](const unsigned char& b) {
      return b != on[&b - off.data()];
    }) << " bytes differ";
    if (c.change) EXPECT_FALSE(on == before) << "the change shows";
    before = on;
  }
  EXPECT_EQ(level->scenery.live.size(), level->world.sacks.size() + level->world.gates.size());
}

// ---- the draw index ---------------------------------------------------------------------

// The frame as the level draws it, read back; the frame's clock stands still meanwhile so
// that no sheet or heartbeat steps between two reads.
std::vector<unsigned char> DrawnFrame(GenericLevel& level) {
  const float frameTime = g_loop.frameTime;
  const int pulse = level.screens.pulseCounter;
  g_loop.frameTime = 0.0f;
  level.Draw();
  FlushDrawing();
  level.screens.pulseCounter = pulse;
  g_loop.frameTime = frameTime;
  std::vector<unsigned char> pixels(static_cast<size_t>(g_screen.width) * g_screen.height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, g_screen.width, g_screen.height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

TEST_F(CampaignTest, TheDrawIndexHidesNothingOnScreenWhileThingsMove) {
  // Walls on a grid wider than many screens, some standing across the view's edges, and
  // patrollers walking among them.
  std::vector<Placed> objects = {{"PLAYER", 1000, 700}};
  for (float x = -1500; x <= 3500; x += 137)
    for (float y = -900; y <= 2300; y += 149) objects.push_back({"WALL", x, y, 26});
  for (float x = 300; x <= 1800; x += 500) objects.push_back({"ENEMY2A", x, 760, 20});
  WriteLevel("FIRSTMOD", objects);
  GenericLevel* level = Enter();
  ASSERT_NE(level, nullptr);
  SkipLoading(level);
  GameObject* far = level->world.walls.front();
  const struct { float x, y; bool bringWall; } stops[] = {
      {1000, 700, false}, {2600, 1900, false}, {-700, -300, true}, {1013, 711, true}};
  for (const auto& stop : stops) {
    SCOPED_TRACE(std::to_string(stop.x) + ", " + std::to_string(stop.y));
    g_play.player->SetPosition(Vec3(stop.x, stop.y, 0));
    // A wall brought from the far corner into the view must be drawn where it now stands.
    if (stop.bringWall) far->SetPosition(Vec3(stop.x + 180, stop.y - 90, 0));
    Frames(20);
    SetDrawIndexing(true);
    const auto indexed = DrawnFrame(*level);
    SetDrawIndexing(false);
    const auto walked = DrawnFrame(*level);
    SetDrawIndexing(true);
    long differ = 0;
    for (size_t i = 0; i < indexed.size(); ++i) differ += indexed[i] != walked[i];
    EXPECT_EQ(differ, 0);
  }
}

} // namespace
