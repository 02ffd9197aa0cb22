// The level editor driven through the real loop: placing rules, the palette, naming,
// saving, stepping through levels and the play test hand-over.
#include "core/GameState.h"
#include "core/Input.h"
#include "core/Window.h"
#include "editor/Editor.h"
#include "levels/LevelFile.h"
#include "levels/PlayTest.h"
#include "objects/GameObject.h"
#include "support/EditorSession.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

int Count(const std::string& kind) {
  return static_cast<int>(std::count_if(g_editor.placedObjects.begin(), g_editor.placedObjects.end(),
                                        [&](GameObject* o) { return o->name == kind; }));
}

GameObject* First(const std::string& kind) {
  for (GameObject* o : g_editor.placedObjects)
    if (o->name == kind) return o;
  return nullptr;
}

GameObject* PaletteEntry(const std::string& kind) {
  for (GameObject* o : g_editor.palette)
    if (o->name == kind) return o;
  return nullptr;
}

// Selecting a kind the way a designer does: a click on its palette entry.
void Pick(EditorSession& s, const std::string& kind) {
  GameObject* entry = PaletteEntry(kind);
  ASSERT_NE(entry, nullptr) << kind;
  s.Click(entry->Position().x, entry->Position().y);
  ASSERT_EQ(g_editor.currentKind, entry);
}

// Pointer positions pass through window pixels of another size and back.
constexpr float MOUSE_STEP = 1.5f;

int CountTokens(const std::vector<std::string>& tokens, const std::string& token) {
  return static_cast<int>(std::count(tokens.begin(), tokens.end(), token));
}

} // namespace

// ============================================================================
// Placing
// ============================================================================

TEST(EditorPlacing, OnePlayerRoadCellsAndTouchingWalls) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  ASSERT_FALSE(g_editor.palette.empty());

  // The player: a second one moves the first.
  s.Key(SDL_SCANCODE_1);
  ASSERT_EQ(g_editor.currentKind, g_editor.palette[0]);
  s.Click(450, 300);
  ASSERT_EQ(Count("PLAYER"), 1);
  s.Click(700, 420);
  ASSERT_EQ(Count("PLAYER"), 1);
  EXPECT_NEAR(First("PLAYER")->Position().x, 700.0f, MOUSE_STEP);
  EXPECT_NEAR(First("PLAYER")->Position().y, 420.0f, MOUSE_STEP);

  // Roads snap to the 50-unit grid and never share a cell.
  s.Key(SDL_SCANCODE_2);
  s.Click(610, 610);
  ASSERT_EQ(Count("ROAD"), 1);
  EXPECT_FLOAT_EQ(First("ROAD")->Position().x, 625.0f);
  EXPECT_FLOAT_EQ(First("ROAD")->Position().y, 625.0f);
  s.Click(640, 640);
  EXPECT_EQ(Count("ROAD"), 1);
  s.Click(660, 610);
  EXPECT_EQ(Count("ROAD"), 2);

  // Walls always snap to the 52-unit grid; a row of them touches and is accepted whole.
  Pick(s, "WALL");
  for (float x : {440.0f, 490.0f, 550.0f, 600.0f}) s.Click(x, 500);
  ASSERT_EQ(Count("WALL"), 4);
  std::vector<float> xs;
  for (GameObject* o : g_editor.placedObjects)
    if (o->name == "WALL") xs.push_back(o->Position().x);
  EXPECT_EQ(xs, (std::vector<float>{442, 494, 546, 598}));
  // A column touches as well; a wall on a wall is refused.
  s.Click(480, 540);
  EXPECT_EQ(Count("WALL"), 5);
  s.Click(500, 505);
  EXPECT_EQ(Count("WALL"), 5);

  // A gunner may stand on a road but not on a wall, nor on another gunner.
  s.Key(SDL_SCANCODE_4);
  s.Click(494, 512);
  EXPECT_EQ(Count("ENEMY"), 0);
  s.Click(625, 625);
  EXPECT_EQ(Count("ENEMY"), 1);
  s.Click(640, 640);
  EXPECT_EQ(Count("ENEMY"), 1);
}

TEST(EditorPlacing, SnapModeAndTheGrids) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  s.Key(SDL_SCANCODE_4);
  s.Click(613, 407);
  ASSERT_EQ(Count("ENEMY"), 1);
  EXPECT_NEAR(First("ENEMY")->Position().x, 613.0f, MOUSE_STEP); // snap off: the point itself
  EXPECT_NEAR(First("ENEMY")->Position().y, 407.0f, MOUSE_STEP);

  s.ClickButton("SNAP");
  ASSERT_TRUE(g_editor.snapMode);
  s.Click(701, 407);
  ASSERT_EQ(Count("ENEMY"), 2);
  EXPECT_FLOAT_EQ(g_editor.placedObjects.back()->Position().x, 702.0f);
  EXPECT_FLOAT_EQ(g_editor.placedObjects.back()->Position().y, 390.0f);
  s.ClickButton("SNAP");
  EXPECT_FALSE(g_editor.snapMode);

  // Negative x snaps toward the positive side, negative y does not: levels rely on it.
  EXPECT_FLOAT_EQ(SnapToRoadGrid(Vec3(-10, -10, 0)).x, 25.0f);
  EXPECT_FLOAT_EQ(SnapToRoadGrid(Vec3(-10, -10, 0)).y, -25.0f);
  EXPECT_FLOAT_EQ(SnapToWallGrid(Vec3(-10, -10, 0)).x, 26.0f);
  EXPECT_FLOAT_EQ(SnapToWallGrid(Vec3(-10, -10, 0)).y, -26.0f);
}

TEST(EditorPlacing, KeysDragsAndRemoval) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());

  // 0 clears the kind, so a click places nothing.
  s.Key(SDL_SCANCODE_0);
  EXPECT_EQ(g_editor.currentKind, nullptr);
  s.Click(600, 400);
  EXPECT_TRUE(g_editor.placedObjects.empty());

  // Dragging an entry out of the palette places it where it is let go.
  GameObject* gunner = PaletteEntry("ENEMY");
  ASSERT_NE(gunner, nullptr);
  s.Drag(gunner->Position().x, gunner->Position().y, 620, 450);
  ASSERT_EQ(Count("ENEMY"), 1);
  EXPECT_NEAR(First("ENEMY")->Position().x, 620.0f, MOUSE_STEP);
  EXPECT_EQ(g_editor.currentKind, gunner);
  EXPECT_FALSE(g_editor.dragging);
  // A click on an entry only picks it: nothing lands hidden under the panel.
  Pick(s, "SACK");
  EXPECT_EQ(g_editor.placedObjects.size(), 1u);

  // The right button takes the object under the pointer out of the level.
  s.Click(620, 450, SDL_BUTTON_RIGHT);
  EXPECT_TRUE(g_editor.placedObjects.empty());

  // C clears the level; the panning keys move the view and the world under the mouse.
  s.Key(SDL_SCANCODE_1);
  s.Click(600, 400);
  ASSERT_EQ(g_editor.placedObjects.size(), 1u);
  s.Key(SDL_SCANCODE_C);
  EXPECT_TRUE(g_editor.placedObjects.empty());
  s.MoveTo(600, 400);
  const Vec3 before = g_editor.mouse;
  s.harness.Key(SDL_SCANCODE_D, true);
  s.harness.Drain();
  s.harness.Frame(10);
  s.harness.Key(SDL_SCANCODE_D, false);
  s.harness.Drain();
  s.harness.Frame(1);
  EXPECT_GT(g_editor.mouse.x, before.x + 10.0f);
  EXPECT_FLOAT_EQ(g_editor.mouse.y, before.y);
}

TEST(EditorPlacing, MissingOrEmptyPaletteLeavesNothingToPlace) {
  {
    EditorSession s({.palette = false, .paletteText = ""});
    ASSERT_TRUE(s.Enter());
    EXPECT_TRUE(g_editor.palette.empty());
    EXPECT_EQ(g_editor.currentKind, nullptr);
    s.Key(SDL_SCANCODE_1);
    s.Key(SDL_SCANCODE_0);
    s.Click(450, 300);
    s.Click(1100, 100);
    EXPECT_TRUE(g_editor.placedObjects.empty());
    EXPECT_EQ(g_loop.currentState, STATE_EDITOR);
  }
  {
    EditorSession s({.palette = true, .paletteText = "GameObject\n"});
    ASSERT_TRUE(s.Enter());
    EXPECT_TRUE(g_editor.palette.empty());
    s.Click(450, 300);
    EXPECT_TRUE(g_editor.placedObjects.empty());
  }
}

// ============================================================================
// The level's name
// ============================================================================

TEST(EditorNaming, TypingFollowsTheLayoutAndKeepsDigits) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  ASSERT_EQ(g_editor.levelName, "LEVEL"); // no levels yet
  GameObject* kind = g_editor.currentKind;

  s.ClickButton("RENAME");
  ASSERT_TRUE(g_editor.renameMode);
  // A keyboard gives characters only with SDL's text input on (the session's typing
  // goes through the same switch).
  EXPECT_TRUE(SDL_IsTextInputActive());
  for (int i = 0; i < 7; ++i) s.Key(SDL_SCANCODE_BACKSPACE); // two more than the name has
  EXPECT_EQ(g_editor.levelName, "");
  EXPECT_EQ(g_editor.displayName, "_");

  // Digits are characters while renaming, not palette keys.
  s.Type("l2");
  EXPECT_EQ(g_editor.levelName, "L2");
  EXPECT_EQ(g_editor.currentKind, kind);
  // On a German keyboard the key at the US "Y" position types "z".
  s.TypeKey(SDL_SCANCODE_Y, "z");
  EXPECT_EQ(g_editor.levelName, "L2Z");
  s.Type("c"); // the letter of the clear key clears nothing
  s.Type("abcdefgh");
  EXPECT_EQ(g_editor.levelName, "L2ZCABCDEF"); // ten characters at most
  s.Key(SDL_SCANCODE_RETURN);
  EXPECT_FALSE(g_editor.renameMode);
  EXPECT_EQ(g_editor.displayName, "L2ZCABCDEF");
}

// Only Enter ends the typing: clicks, on RENAME or on the field, do nothing meanwhile.
TEST(EditorNaming, AnEmptyNameBecomesMylevelAndOnlyEnterEndsIt) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  s.ClickButton("RENAME");
  for (int i = 0; i < 5; ++i) s.Key(SDL_SCANCODE_BACKSPACE);
  s.Key(SDL_SCANCODE_RETURN);
  EXPECT_EQ(g_editor.displayName, "MYLEVEL");

  s.ClickButton("RENAME");
  for (int i = 0; i < 7; ++i) s.Key(SDL_SCANCODE_BACKSPACE);
  s.ClickButton("RENAME");
  s.Click(450, 300);
  EXPECT_EQ(g_editor.displayName, "_");
  s.Key(SDL_SCANCODE_RETURN);
  EXPECT_FALSE(g_editor.renameMode);
  EXPECT_TRUE(g_editor.placedObjects.empty());
  EXPECT_EQ(g_editor.levelName, "MYLEVEL");
  EXPECT_EQ(g_editor.displayName, "MYLEVEL");

  // Saving under it writes MYLEVEL.txt, never ".txt".
  s.Key(SDL_SCANCODE_1);
  s.Click(450, 300);
  s.ClickButton("SERIALIZE");
  EXPECT_TRUE(fs::exists(fs::path(s.LevelsFolder()) / "MYLEVEL.txt"));
  EXPECT_FALSE(fs::exists(fs::path(s.LevelsFolder()) / ".txt"));
}

// ============================================================================
// Saving, loading and stepping
// ============================================================================

TEST(EditorLevels, SavingAddsTheShotPoolsOnce) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  s.Key(SDL_SCANCODE_1);
  s.Click(450, 300);
  s.Key(SDL_SCANCODE_4);
  s.Click(700, 300);
  s.ClickButton("SERIALIZE");
  EXPECT_EQ(Count("PROJECTILE"), 5);
  EXPECT_EQ(Count("ENEMYPROJECTILE"), 20);
  s.ClickButton("SERIALIZE");
  EXPECT_EQ(Count("PROJECTILE"), 5);
  EXPECT_EQ(Count("ENEMYPROJECTILE"), 20);

  const std::string path = s.LevelsFolder() + "/LEVEL.txt";
  auto list = FileTokens(path + "2");
  ASSERT_EQ(list.size(), 27u * 12u);
  EXPECT_EQ(CountTokens(list, "PROJECTILE"), 5);
  EXPECT_EQ(CountTokens(list, "ENEMYPROJECTILE"), 20);
  EXPECT_EQ(list[1], "PLAYER");

  // Every save looks the level over; K and CHECK put the findings away and bring them back.
  const Editor& editor = *dynamic_cast<Editor*>(s.harness.loop.CurrentLevel());
  EXPECT_TRUE(editor.CheckShown());
  s.Key(SDL_SCANCODE_K);
  EXPECT_FALSE(editor.CheckShown());
  s.ClickButton("CHECK");
  EXPECT_TRUE(editor.CheckShown());
  s.ClickButton("CHECK");
  EXPECT_FALSE(editor.CheckShown());
  EXPECT_TRUE(ValidateLevelFile("../Assets/Levels/LEVEL.txt"));
  EXPECT_EQ(g_levelNames, std::vector<std::string>{"LEVEL"});

  // Loading it back gives the same level.
  s.Key(SDL_SCANCODE_C);
  ASSERT_TRUE(g_editor.placedObjects.empty());
  s.ClickButton("UNSERIALIZE");
  EXPECT_EQ(g_editor.placedObjects.size(), 27u);
  ASSERT_NE(First("ENEMY"), nullptr);
  EXPECT_NEAR(First("ENEMY")->Position().x, 700.0f, MOUSE_STEP);
}

TEST(EditorLevels, PreviousAndNextWrapAndNeverLeaveTheList) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  // Without levels both buttons leave everything as it is.
  s.ClickButton("PREVIOUS");
  s.ClickButton("NEXT");
  EXPECT_EQ(g_editor.levelIndex, 0);
  EXPECT_EQ(g_editor.displayName, "LEVEL");

  s.Key(SDL_SCANCODE_1);
  s.Click(450, 300);
  for (const char* name : {"AAA", "BBB", "CCC"}) {
    s.ClickButton("RENAME");
    for (int i = 0; i < 10; ++i) s.Key(SDL_SCANCODE_BACKSPACE);
    s.Type(name);
    s.Key(SDL_SCANCODE_RETURN);
    s.ClickButton("SERIALIZE");
  }
  ASSERT_EQ(g_levelNames, (std::vector<std::string>{"AAA", "BBB", "CCC"}));
  g_editor.levelIndex = 0;
  s.ClickButton("PREVIOUS");
  EXPECT_EQ(g_editor.levelIndex, 2);
  EXPECT_EQ(g_editor.displayName, "CCC");
  s.ClickButton("NEXT");
  EXPECT_EQ(g_editor.displayName, "AAA");
  s.ClickButton("NEXT");
  EXPECT_EQ(g_editor.displayName, "BBB");
  // Stepping only names a level; UNSERIALIZE opens it.
  EXPECT_EQ(Count("PLAYER"), 1);
  EXPECT_EQ(Count("PROJECTILE"), 5);

  // Levels gone from the folder: the index stays on an entry after the next listing.
  s.ClickButton("NEXT");
  ASSERT_EQ(g_editor.levelIndex, 2);
  fs::remove(fs::path(s.LevelsFolder()) / "BBB.txt");
  fs::remove(fs::path(s.LevelsFolder()) / "CCC.txt");
  s.ClickButton("SERIALIZE"); // saves CCC again and lists AAA, CCC
  EXPECT_EQ(LevelCount(), 2);
  EXPECT_GE(g_editor.levelIndex, 0);
  EXPECT_LT(g_editor.levelIndex, LevelCount());
}

// ============================================================================
// Play test hand-over
// ============================================================================

TEST(EditorPlayTest, F5SavesPlaysAndComesBackToTheSameLevel) {
  EditorSession s;
  auto calls = std::make_shared<std::vector<std::string>>();
  std::string playedPath;
  s.harness.Install(STATE_TUTORIAL, [&] {
    auto level = std::make_unique<RecordingLevel>(calls);
    // A stand-in for the tutorial: it plays what it is handed and leaves at once.
    level->onUpdate = [&](RecordingLevel&) {
      playedPath = PlayTestLevelPath("../Assets/Levels/TUTORIAL.txt");
      g_loop.nextState = PlayTestExitState(STATE_MAIN_MENU);
    };
    return level;
  });
  ASSERT_TRUE(s.Enter());

  // Without a player there is nothing to play.
  s.Key(SDL_SCANCODE_F5);
  EXPECT_EQ(g_loop.nextState, STATE_EDITOR);
  EXPECT_FALSE(PlayTesting());

  s.Key(SDL_SCANCODE_1);
  s.Click(450, 300);
  s.Key(SDL_SCANCODE_4);
  s.Click(700, 300);
  s.ClickButton("RENAME");
  for (int i = 0; i < 5; ++i) s.Key(SDL_SCANCODE_BACKSPACE);
  s.Type("TRY");
  s.Key(SDL_SCANCODE_RETURN);
  s.Key(SDL_SCANCODE_F5);
  ASSERT_TRUE(s.harness.FramesUntil([&] { return !calls->empty() && g_loop.currentState == STATE_EDITOR; }));
  s.harness.Frame(2);

  EXPECT_EQ(playedPath, "../Assets/Levels/TRY.txt");
  EXPECT_TRUE(fs::exists(fs::path(s.LevelsFolder()) / "TRY.txt2"));
  EXPECT_EQ(g_editor.displayName, "TRY");
  EXPECT_EQ(Count("PLAYER"), 1);
  EXPECT_EQ(Count("ENEMY"), 1);
  EXPECT_EQ(Count("PROJECTILE"), 5);

  // Leaving the editor for the menu ends the play test: the tutorial is the tutorial again.
  EXPECT_TRUE(PlayTesting());
  s.Key(SDL_SCANCODE_ESCAPE);
  ASSERT_TRUE(s.harness.FramesUntil([] { return g_loop.currentState == STATE_MAIN_MENU; }));
  EXPECT_FALSE(PlayTesting());
  EXPECT_EQ(PlayTestExitState(STATE_MAIN_MENU), STATE_MAIN_MENU);
}

// The loader shows one wall in ten with its variant picture; a level opened in the
// editor keeps the pictures its file names, so saving it again changes none of them.
TEST(EditorLevels, OpeningALevelKeepsItsWallPictures) {
  EditorSession s;
  std::string list = "Vehicle PLAYER ../Assets/image/Tank_moving.png 0 1 1 0 100 100 25 25 EndVehicle\n";
  for (int i = 0; i < 40; ++i)
    list += "GameObject WALL ../Assets/image/wall.png 0 1 1 0 " + std::to_string(26 + 52 * i) + " 400 26 26 EndGameObject\n";
  s.tree.Write("Assets/Levels/WALLS.txt2", list);
  s.tree.Write("Assets/Levels/WALLS.txt", list); // validation reads only the token layout
  ASSERT_TRUE(s.Enter());
  ASSERT_EQ(g_editor.displayName, "WALLS");
  s.ClickButton("UNSERIALIZE");
  ASSERT_EQ(Count("WALL"), 40);
  for (GameObject* o : g_editor.placedObjects)
    if (o->name == "WALL") {
      EXPECT_EQ(o->ImagePath(), "../Assets/image/wall.png");
    }
  s.ClickButton("SERIALIZE");
  EXPECT_EQ(CountTokens(FileTokens(s.LevelsFolder() + "/WALLS.txt2"), "../Assets/image/wall.png"), 40);
}

// The palette too: a placed wall copies the palette's picture, so a cracked palette wall
// would have cracked every wall placed from it.
TEST(EditorLevels, ThePaletteKeepsItsWallPictures) {
  std::string palette = "Vehicle PLAYER ../Assets/image/Tank_moving.png 0 1 1 0 100 100 25 25 EndVehicle\n";
  for (int i = 0; i < 40; ++i) palette += "GameObject WALL ../Assets/image/wall.png 0 1 1 0 100 100 26 26 EndGameObject\n";
  EditorSession s({.shippedLevels = false, .palette = true, .paletteText = palette});
  ASSERT_TRUE(s.Enter());
  ASSERT_EQ(g_editor.palette.size(), 41u);
  for (GameObject* entry : g_editor.palette)
    if (entry->name == "WALL") {
      EXPECT_EQ(entry->ImagePath(), "../Assets/image/wall.png");
    }
}


// Far from the origin a turned object's polygon carries float noise; its size must still
// save as the whole number it was, or the reader's truncation shrinks it at every save.
TEST(EditorLevels, TurnedObjectsFarOutKeepTheirSize) {
  EditorSession s;
  std::string list = "Vehicle PLAYER ../Assets/image/Tank_moving.png 0 1 1 0 100 100 25 25 EndVehicle\n";
  for (int i = 0; i < 12; ++i)
    list += "GameObject ENEMY_3 ../Assets/image/enemy/turret.png 0 1 1 " + std::to_string(0.3 + 0.5 * i) + " " +
            std::to_string(3000 + 97 * i) + " " + std::to_string(2678 + 61 * i) + " 25 25 EndGameObject\n";
  s.tree.Write("Assets/Levels/FAR.txt2", list);
  s.tree.Write("Assets/Levels/FAR.txt", list);
  ASSERT_TRUE(s.Enter());
  for (int round = 0; round < 3; ++round) {
    s.ClickButton("UNSERIALIZE");
    s.ClickButton("SERIALIZE");
  }
  const std::vector<std::string> tokens = FileTokens(s.LevelsFolder() + "/FAR.txt2");
  ASSERT_EQ(tokens.size() % 12, 0u);
  int turrets = 0;
  for (size_t block = 0; block + 12 <= tokens.size(); block += 12) {
    if (tokens[block + 1] != "ENEMY_3") continue;
    ++turrets;
    EXPECT_EQ(tokens[block + 9], "25") << "block " << block / 12;
    EXPECT_EQ(tokens[block + 10], "25") << "block " << block / 12;
  }
  EXPECT_EQ(turrets, 12);
}
