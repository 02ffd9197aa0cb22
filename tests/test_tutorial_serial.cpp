// The tutorial state on the real loop over the shipped stages: its cards, the gates its
// characters open, its pizza, its portals and end, its debug keys, the faults of the shared
// build, and the editor's play test. A level pauses without the keyboard focus, so this
// binary runs alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <unistd.h>

#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/System.h"
#include "levels/FrontEnd.h"
#include "levels/Hud.h"
#include "levels/LevelFile.h"
#include "levels/PlayTest.h"
#include "levels/TutorialLevel.h"
#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include "objects/NPC.h"
#include "objects/Vehicle.h"
#include "render/Texture.h"
#include "support/GameHarness.h"

using namespace TUTORIAL_LEVEL;
namespace fs = std::filesystem;

namespace {

std::string Stage(const std::string& name) { return "../Assets/Levels/" + name + ".txt"; }

// The end screen's button as the player uses it: pressed at once. A won level advances the
// counter it is handed; three wins of the campaign lead to the main menu.
class PressedEndScreen : public EndScreen {
public:
  void Update(bool won, int& counter) override {
    ++shown;
    if (won && ++counter >= 3) g_loop.nextState = STATE_MAIN_MENU;
    else g_loop.nextState = STATE_RESTART;
  }
  void Draw() override {}
  static inline int shown = 0;
};

// The pause panel's Quit, pressed when the test arms it.
class QuittingPanel : public PausePanel {
public:
  void Update() override {
    if (quit) g_loop.nextState = STATE_MAIN_MENU;
  }
  void Draw() override {}
  void ApplyVolumes() override {}
  void MuteMusic() override {}
  bool quit = false;
};

class TutorialTest : public ::testing::Test {
protected:
  void SetUp() override {
    PressedEndScreen::shown = 0;
    ASSERT_TRUE(game.Start());
  }
  void TearDown() override {
    game.Stop();
    EndPlayTest();
    g_frontEnd = FrontEnd();
    g_frontEnd.pausePanel.reset();
  }

  // Enters the tutorial on the level at `path` (the state table's own level when empty),
  // past the loading picture; the stage's card is still up.
  TutorialLevel* Enter(const std::string& path = "") {
    if (!path.empty()) game.Install(STATE_TUTORIAL, [path] { return std::make_unique<TutorialLevel>(path); });
    g_loop.nextState = STATE_TUTORIAL;
    game.Frame(2);
    TutorialLevel* level = Current();
    if (level) PastLoading();
    return level;
  }
  TutorialLevel* Current() { return dynamic_cast<TutorialLevel*>(game.loop.CurrentLevel()); }
  void PastLoading() {
    Current()->screens.loading.loadTime = 3.0f;
    game.Frame();
  }
  // Enters and closes the card: the stage is playing.
  TutorialLevel* Play(const std::string& path) {
    TutorialLevel* level = Enter(path);
    if (level) game.TapKey(SDL_SCANCODE_C);
    return level;
  }
  static GameObject* Named(const std::string& name) {
    for (GameObject* object : g_tutorial.world.levelObjects)
      if (object->name == name) return object;
    return nullptr;
  }
  static std::vector<GameObject*> AllNamed(const std::string& name) {
    std::vector<GameObject*> found;
    for (GameObject* object : g_tutorial.world.levelObjects)
      if (object->name == name) found.push_back(object);
    return found;
  }
  static bool AllOpen(const std::string& gate) {
    auto gates = AllNamed(gate);
    return !gates.empty() && std::all_of(gates.begin(), gates.end(), [](GameObject* g) { return g->hp == 0; });
  }
  static bool AllClosed(const std::string& gate) {
    auto gates = AllNamed(gate);
    return !gates.empty() && std::all_of(gates.begin(), gates.end(), [](GameObject* g) { return g->hp >= 1; });
  }
  static void PlaceAt(const Vec3& where) { g_play.player->Move(where - g_play.player->Position()); }
  // Drives up to a character (or garage) and presses C, as a player does.
  void TalkTo(const std::string& name) {
    GameObject* who = Named(name);
    ASSERT_NE(who, nullptr) << name;
    PlaceAt(who->Position() + Vec3(0.0f, 30.0f, 0.0f));
    game.Frame(); // the character notices the player
    game.TapKey(SDL_SCANCODE_C);
  }
  static std::string HelpImage(TutorialLevel& level) {
    auto& help = level.screens.helpPicture;
    return help && help->graphic ? fs::path(help->graphic->path).filename().string() : std::string();
  }

  GameHarness game;
};

// ---- cards -----------------------------------------------------------------------------

TEST_F(TutorialTest, EveryStageOpensPausedOnItsCardChosenByShoot) {
  g_loop.nextState = STATE_TUTORIAL;
  game.Frame(2);
  EXPECT_TRUE(g_loop.paused); // the loading picture, then the card, hold the stage
  TutorialLevel* level = Current();
  ASSERT_NE(level, nullptr);
  PastLoading();
  EXPECT_EQ(level->levelPath, "../Assets/Levels/TUTORIAL.txt"); // the state table's stage
  EXPECT_EQ(HelpImage(*level), "npcdefault1.png");
  EXPECT_TRUE(g_frontEnd.tutorialHelpOpen);
  EXPECT_TRUE(level->screens.helpPicture->active);
  EXPECT_FALSE(g_frontEnd.helpOpen); // the campaign's overlay is not the tutorial's

  // While the card is up nothing plays, not even the debug keys.
  const Vec3 start = g_play.player->Position();
  game.TapKey(SDL_SCANCODE_F6);
  EXPECT_EQ(g_play.player->Position().x, start.x);

  game.TapKey(SDL_SCANCODE_C);
  EXPECT_FALSE(g_frontEnd.tutorialHelpOpen);
  EXPECT_FALSE(g_loop.paused);
  EXPECT_FALSE(level->screens.helpPicture->active);

  for (const auto& [stage, card] : {std::pair<std::string, std::string>{"TUTSHOOT", "npcdefault2.png"},
                                    {"TUTPIT", "npcdefault1.png"}}) {
    g_loop.nextState = STATE_MAIN_MENU;
    game.Frame(2);
    level = Enter(Stage(stage));
    ASSERT_NE(level, nullptr) << stage;
    EXPECT_EQ(HelpImage(*level), card) << stage;
    EXPECT_TRUE(g_frontEnd.tutorialHelpOpen) << stage;
  }
}

TEST_F(TutorialTest, ThePadsXClosesACardWithoutOpeningItAgain) {
  VirtualPad pad;
  TutorialLevel* level = Play(Stage("TUTORIAL"));
  ASSERT_NE(level, nullptr);
  GameObject* npc = Named("NPC11");
  ASSERT_NE(npc, nullptr);
  PlaceAt(npc->Position() + Vec3(0.0f, 30.0f, 0.0f));
  game.Frame(2);

  pad.Button(SDL_CONTROLLER_BUTTON_X, true); // opens the character's card
  game.Frame(3);
  pad.Button(SDL_CONTROLLER_BUTTON_X, false);
  game.Frame(2);
  ASSERT_TRUE(g_frontEnd.tutorialHelpOpen);
  EXPECT_EQ(HelpImage(*level), "npc11.png");

  pad.Button(SDL_CONTROLLER_BUTTON_X, true); // closes it, and it stays closed while X is held
  game.Frame(5);
  EXPECT_FALSE(g_frontEnd.tutorialHelpOpen);
  EXPECT_FALSE(g_loop.paused);
  pad.Button(SDL_CONTROLLER_BUTTON_X, false);
  game.Frame(2);
  EXPECT_FALSE(g_frontEnd.tutorialHelpOpen);
}

// ---- gates by conversation ---------------------------------------------------------------

TEST_F(TutorialTest, CharactersOpenTheirGatesAndTheMechanicWaitsForTheGarage) {
  TutorialLevel* level = Play(Stage("TUTPIT"));
  ASSERT_NE(level, nullptr);

  // A 4 beside the garage before any visit: talk first, the card shows, nothing opens.
  Named("NPC74")->SetPosition(Named("GARAGE")->Position() - Vec3(0.0f, 60.0f, 0.0f));
  TalkTo("NPC74");
  EXPECT_TRUE(g_frontEnd.tutorialHelpOpen);
  EXPECT_EQ(HelpImage(*level), "npc74.png");
  game.TapKey(SDL_SCANCODE_C);
  game.Frame(3);
  EXPECT_TRUE(AllClosed("GATE3"));
  EXPECT_TRUE(AllClosed("GATE1"));
  EXPECT_TRUE(g_tutorial.talkedTo4);

  // A 2 opens gate 1 in the frame its card closes, and only gate 1.
  TalkTo("NPC72");
  game.TapKey(SDL_SCANCODE_C);
  EXPECT_TRUE(AllOpen("GATE1"));
  EXPECT_TRUE(AllClosed("GATE3"));

  // The first garage entry opens every gate of the stage.
  TalkTo("GARAGE");
  EXPECT_TRUE(g_frontEnd.tutorialGarageOpen);
  EXPECT_TRUE(g_tutorial.garageVisited);
  EXPECT_TRUE(AllOpen("GATE3"));
  game.TapKey(SDL_SCANCODE_C);
  EXPECT_FALSE(g_frontEnd.tutorialGarageOpen);
  EXPECT_FALSE(g_tutorial.talkedTo4); // granted on the first frame back

  // Gates closed with F4: now a 4 opens gate 3 by itself, on the next frame, and a second
  // garage entry opens nothing.
  game.TapKey(SDL_SCANCODE_F4);
  ASSERT_TRUE(AllClosed("GATE3"));
  ASSERT_TRUE(AllClosed("GATE1"));
  TalkTo("NPC74");
  game.TapKey(SDL_SCANCODE_C);
  EXPECT_TRUE(AllOpen("GATE3"));
  EXPECT_TRUE(AllClosed("GATE1"));
  TalkTo("GARAGE");
  ASSERT_TRUE(g_frontEnd.tutorialGarageOpen);
  game.TapKey(SDL_SCANCODE_C);
  EXPECT_TRUE(AllClosed("GATE1"));

  // F3 opens every gate.
  game.TapKey(SDL_SCANCODE_F3);
  EXPECT_TRUE(AllOpen("GATE1") && AllOpen("GATE3"));
}

// ---- pizza, portals, the end ------------------------------------------------------------------

TEST_F(TutorialTest, ThePizzaShowsAFullThermometerAndNeverAnArrow) {
  TutorialLevel* level = Play(Stage("TUTPIT"));
  ASSERT_NE(level, nullptr);
  ASSERT_NE(g_tutorial.pizza, nullptr);
  EXPECT_EQ(g_tutorial.world.pizza, nullptr);
  game.Frame(10);
  EXPECT_TRUE(g_hud.pizzaLabel.empty()); // no arrow, no distance
  EXPECT_FALSE(g_tutorial.pizzaTaken);

  PlaceAt(g_tutorial.pizza->Position());
  game.Frame();
  EXPECT_TRUE(g_tutorial.pizzaTaken);
  EXPECT_FALSE(g_tutorial.pizza->active);
  EXPECT_FALSE(g_play.pizzaCarried);
  g_play.thermometer = 0.5f; // an NPC or the pizza sets it full; it must not move from here
  game.Frame(30);
  EXPECT_EQ(g_play.thermometer, 0.5f);
  EXPECT_TRUE(g_hud.thermometerFillShown);
  EXPECT_TRUE(g_hud.pizzaLabel.empty());
}

TEST_F(TutorialTest, PortalsPickTheStageThatTheEndScreensButtonBuilds) {
  g_frontEnd.makeEndScreen = [] { return std::make_shared<PressedEndScreen>(); };
  TutorialLevel* level = Play(Stage("TUTORIAL"));
  ASSERT_NE(level, nullptr);
  GameObject* portal = Named("PORTALTUTSHOOT");
  GameObject* end = Named("END");
  ASSERT_TRUE(portal && end);

  PlaceAt(portal->Position());
  game.Frame(3);
  EXPECT_EQ(level->levelPath, "../Assets/Levels/TUTSHOOT.txt");
  EXPECT_FALSE(g_play.levelWon); // a portal does not end the stage
  EXPECT_EQ(g_loop.currentState, STATE_TUTORIAL);

  PlaceAt(end->Position());
  game.FramesUntil([&] { return Named("NPC61") != nullptr; }, 20);
  EXPECT_GE(PressedEndScreen::shown, 1);
  EXPECT_EQ(Current(), level); // restarted, not made anew
  EXPECT_EQ(level->levelPath, "../Assets/Levels/TUTSHOOT.txt");
  ASSERT_NE(Named("NPC61"), nullptr);
  EXPECT_EQ(HelpImage(*level), "npcdefault2.png");
  EXPECT_TRUE(g_frontEnd.tutorialHelpOpen);

  // Winning without a portal replays the stage, however often: the button is handed a
  // fresh counter each time, not a place in the campaign.
  for (int win = 0; win < 3; ++win) {
    PastLoading();
    game.TapKey(SDL_SCANCODE_C);
    ASSERT_NE(Named("END"), nullptr);
    PlaceAt(Named("END")->Position());
    game.FramesUntil(
        [&] {
          return g_loop.currentState == STATE_MAIN_MENU ||
                 (g_loop.currentState == STATE_TUTORIAL && g_frontEnd.tutorialHelpOpen);
        },
        20);
    ASSERT_EQ(g_loop.currentState, STATE_TUTORIAL) << "win " << win;
    EXPECT_EQ(level->levelPath, "../Assets/Levels/TUTSHOOT.txt");
    EXPECT_FALSE(g_play.levelWon);
  }
}

TEST_F(TutorialTest, ThePortalToEndReturnsToTheMainMenuAtOnce) {
  TutorialLevel* level = Play(Stage("TUTPIT"));
  ASSERT_NE(level, nullptr);
  GameObject* portal = Named("PORTALEND");
  ASSERT_NE(portal, nullptr);
  PlaceAt(portal->Position());
  game.Frame();
  EXPECT_EQ(g_loop.currentState, STATE_MAIN_MENU);
  EXPECT_FALSE(g_play.levelWon);
}

TEST_F(TutorialTest, F6PutsThePlayerOnTheSameSpotInEveryStage) {
  for (const char* stage : {"TUTORIAL", "TUTSHOOT", "TUTPIT"}) {
    g_loop.nextState = STATE_MAIN_MENU;
    game.Frame(2);
    ASSERT_NE(Play(Stage(stage)), nullptr) << stage;
    game.TapKey(SDL_SCANCODE_F6);
    EXPECT_NEAR(g_play.player->Position().x, SKIP_X, 0.01f) << stage;
    EXPECT_NEAR(g_play.player->Position().y, SKIP_Y, 0.01f) << stage;
    EXPECT_FALSE(g_play.levelWon) << stage;
  }
}

// ---- the shared build's faults, in the tutorial ----------------------------------------------

TEST_F(TutorialTest, EveryBuildStartsFromCleanListsWithEnemyShotsAtRest) {
  g_frontEnd.makeEndScreen = [] { return std::make_shared<PressedEndScreen>(); };
  TutorialLevel* level = Play(Stage("TUTSHOOT"));
  ASSERT_NE(level, nullptr);
  const size_t walls = g_tutorial.world.walls.size(), shooters = g_tutorial.world.shooters.size();
  const size_t gates = g_tutorial.world.gates.size(), npcs = g_tutorial.world.npcs.size();
  EXPECT_EQ(walls, 213u);
  EXPECT_EQ(shooters, 3u);
  EXPECT_EQ(g_campaignWorld.walls.size(), 0u); // the campaign's lists are not the tutorial's
  // Winning replays the stage: the second build holds the same objects, not twice as many.
  PlaceAt(Named("END")->Position());
  game.FramesUntil([&] { return g_frontEnd.tutorialHelpOpen; }, 20);
  EXPECT_EQ(g_tutorial.world.walls.size(), walls);
  EXPECT_EQ(g_tutorial.world.shooters.size(), shooters);
  EXPECT_EQ(g_tutorial.world.gates.size(), gates);
  EXPECT_EQ(g_tutorial.world.npcs.size(), npcs);
  auto shots = AllNamed("ENEMYPROJECTILE");
  EXPECT_EQ(shots.size(), 20u);
  for (GameObject* shot : shots) EXPECT_FALSE(shot->active);
  for (GameObject* shooter : g_tutorial.world.shooters) EXPECT_EQ(shooter->children.size(), 20u);
}

TEST_F(TutorialTest, TheLoadingPictureGivesWayAfterTenSecondsOfRealTime) {
  g_loop.nextState = STATE_TUTORIAL;
  game.Frame(2);
  TutorialLevel* level = Current();
  ASSERT_NE(level, nullptr);
  game.Frame(3);
  EXPECT_TRUE(level->screens.loading.shown);
  level->screens.loading.startedAt -= 11.0; // a machine too slow for short frames
  game.Frame();
  EXPECT_FALSE(level->screens.loading.shown);
  EXPECT_TRUE(g_frontEnd.tutorialHelpOpen); // and the stage's card is what the player sees
}

// A copy of a shipped stage without its walls, saved where the test can play it.
class StageWithoutWalls {
public:
  StageWithoutWalls() {
    dir = fs::temp_directory_path() / ("kvo_tutorial_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    path = (dir / "NOWALLS.txt").string();
    auto objects = LoadObjectList(Stage("TUTORIAL"), true);
    objects.erase(std::remove_if(objects.begin(), objects.end(), [](GameObject* o) { return o->name == "WALL"; }),
                  objects.end());
    SaveLevel(objects, path);
    if (auto* factory = FindSystem<GameObjectFactory>()) factory->objects.clear();
  }
  ~StageWithoutWalls() { fs::remove_all(dir); }
  std::string path;

private:
  fs::path dir;
};

TEST_F(TutorialTest, AStageWithoutWallsPlaysAndOneWithoutAPlayerLeadsToTheMenu) {
  StageWithoutWalls noWalls;
  TutorialLevel* level = Play(noWalls.path);
  ASSERT_NE(level, nullptr);
  EXPECT_TRUE(g_tutorial.world.walls.empty());
  EXPECT_FALSE(level->screens.limits.clamped);
  game.TapKey(SDL_SCANCODE_F6); // no walls hold the camera: it follows the player anywhere
  game.Frame(3);
  EXPECT_EQ(g_loop.currentState, STATE_TUTORIAL);

  // A stage that cannot be read has no player: one line, and back to the menu.
  g_loop.nextState = STATE_MAIN_MENU;
  game.Frame(2);
  game.Install(STATE_TUTORIAL, [] { return std::make_unique<TutorialLevel>(Stage("NOSUCHSTAGE")); });
  testing::internal::CaptureStdout();
  g_loop.nextState = STATE_TUTORIAL;
  game.Frame(4);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(g_loop.currentState, STATE_MAIN_MENU);
  EXPECT_NE(out.find("no PLAYER"), std::string::npos) << out;
}

// ---- the editor's play test ------------------------------------------------------------------

TEST_F(TutorialTest, APlayTestPlaysTheEditorsLevelAndEveryWayOutLeadsBackToTheEditor) {
  // A portal to END.
  StartPlayTest(Stage("TUTPIT"));
  g_loop.nextState = STATE_TUTORIAL; // the state table's tutorial, as the editor's F5 asks for it
  game.Frame(2);
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(Current()->levelPath, Stage("TUTPIT"));
  PastLoading();
  EXPECT_FALSE(g_frontEnd.tutorialHelpOpen); // a play test opens on the level, not on a card
  PlaceAt(Named("PORTALEND")->Position());
  game.Frame();
  EXPECT_EQ(g_loop.currentState, STATE_EDITOR);

  // The end screen's button after a win.
  g_frontEnd.makeEndScreen = [] { return std::make_shared<PressedEndScreen>(); };
  g_loop.nextState = STATE_TUTORIAL;
  game.Frame(2);
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(Current()->levelPath, Stage("TUTPIT"));
  PastLoading();
  PlaceAt(Named("END")->Position());
  game.FramesUntil([] { return g_loop.currentState != STATE_TUTORIAL; }, 20);
  EXPECT_EQ(g_loop.currentState, STATE_EDITOR);

  // Quit from the pause panel.
  auto panel = std::make_shared<QuittingPanel>();
  g_frontEnd.pausePanel = panel;
  g_loop.nextState = STATE_TUTORIAL;
  game.Frame(2);
  ASSERT_NE(Current(), nullptr);
  PastLoading();
  game.TapKey(SDL_SCANCODE_ESCAPE);
  panel->quit = true;
  game.Frame(2);
  EXPECT_EQ(g_loop.currentState, STATE_EDITOR);

  // Without a play test the same quit leads to the main menu.
  EndPlayTest();
  panel->quit = false;
  g_loop.nextState = STATE_TUTORIAL;
  game.Frame(2);
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(Current()->levelPath, Stage("TUTORIAL"));
  panel->quit = true;
  game.Frame(2);
  EXPECT_EQ(g_loop.currentState, STATE_MAIN_MENU);
}

} // namespace
