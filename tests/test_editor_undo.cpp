// Undo, zoom and the selection in the editor, driven through the real loop: every kind of
// change is one step Ctrl+Z takes back and Ctrl+Y puts again; a long seeded session undone
// saves the shipped level byte for byte; a click lands in the cell under the pointer at
// every zoom; groups move, paste and go by the placing rules.
#include "core/Window.h"
#include "editor/Editor.h"
#include "levels/LevelFile.h"
#include "objects/GameObject.h"
#include "render/DrawBatch.h"
#include "render/Graphic.h"
#include "render/Texture.h"
#include "support/EditorSession.h"
#include <gtest/gtest.h>
#include <cmath>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

namespace {

void Chord(EditorSession& s, std::initializer_list<SDL_Scancode> held, const std::function<void()>& act) {
  for (SDL_Scancode h : held) s.harness.Key(h, true);
  s.harness.Drain();
  act();
  for (SDL_Scancode h : held) s.harness.Key(h, false);
  s.harness.Drain();
}
void Ctrl(EditorSession& s, SDL_Scancode key) { Chord(s, {SDL_SCANCODE_LCTRL}, [&] { s.Key(key); }); }
void Undo(EditorSession& s) { Ctrl(s, SDL_SCANCODE_Z); }
void ShiftDrag(EditorSession& s, float x0, float y0, float x1, float y1) {
  Chord(s, {SDL_SCANCODE_LSHIFT}, [&] { s.Drag(x0, y0, x1, y1); });
}
void Wheel(EditorSession& s, float x, float y, int notches) {
  s.MoveTo(x, y);
  s.harness.MouseWheel(notches);
  s.harness.Drain();
}

// What the level writer writes of the placed objects, in order.
std::string LevelText() {
  std::ostringstream out;
  for (GameObject* o : g_editor.placedObjects) WriteObjectFields(out, *o);
  return out.str();
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool OnWallGrid(const GameObject& o) {
  return std::fmod(o.Position().x - 26.0f, 52.0f) == 0.0f && std::fmod(o.Position().y - 26.0f, 52.0f) == 0.0f;
}

// A player, two walls, a gunner, a road and the shot pools; the player clear of the bars.
void EnterSmallLevel(EditorSession& s) {
  const std::string level =
      "Vehicle PLAYER ../Assets/image/Tank_moving.png 0 1 1 0 300 600 25 25 EndVehicle\n"
      "GameObject WALL ../Assets/image/wall.png 0 1 1 0 442 494 26 26 EndGameObject\n"
      "GameObject WALL ../Assets/image/wall.png 0 1 1 0 494 494 26 26 EndGameObject\n"
      "GameObject ENEMY ../Assets/image/enemy/gunner.png 0 1 1 0 700 300 25 25 EndGameObject\n"
      "GameObject ROAD ../Assets/image/props/road.png 0 1 1 0 625 625 25 25 EndGameObject\n"
      "GameObject PROJECTILE ../Assets/image/mushroom2.png 0 1 1 0 0 0 10 5 EndGameObject\n"
      "GameObject ENEMYPROJECTILE ../Assets/image/mushroom2.png 0 1 1 0 0 0 10 5 EndGameObject\n";
  for (const char* file : {"Assets/Levels/SMALL.txt", "Assets/Levels/SMALL.txt2"}) s.tree.Write(file, level);
  ASSERT_TRUE(s.Enter());
  s.ClickButton("UNSERIALIZE");
  ASSERT_EQ(g_editor.placedObjects.size(), 7u);
}

} // namespace

TEST(EditorUndo, EveryKindOfChangeIsOneStepUndoneAndRedoneExactly) {
  EditorSession s;
  EnterSmallLevel(s);
  s.Key(SDL_SCANCODE_4); // gunners: a press on a placed object places nothing there
  const std::string loaded = LevelText();
  const std::vector<std::pair<const char*, std::function<void()>>> changes = {
      {"place", [&] { s.Click(800, 420); }},
      {"drag one object", [&] { s.Drag(700, 300, 760, 340); }},
      {"right-click removal", [&] { s.Click(700, 300, SDL_BUTTON_RIGHT); }},
      {"clear", [&] { s.Key(SDL_SCANCODE_C); }},
      {"property", [&] { s.Click(700, 300); s.EnterValue("happybar", "Pos X: ", "720"); }},
      {"paste", [&] { ShiftDrag(s, 660, 260, 740, 340); Ctrl(s, SDL_SCANCODE_C); s.MoveTo(850, 200); Ctrl(s, SDL_SCANCODE_V); }},
      {"group move", [&] { ShiftDrag(s, 400, 460, 530, 530); s.Drag(442, 494, 442, 600); }},
      {"group delete", [&] { ShiftDrag(s, 400, 460, 530, 530); s.Key(SDL_SCANCODE_DELETE); }},
  };
  for (const auto& [name, change] : changes) {
    SCOPED_TRACE(name);
    const int at = g_editor.history.Position();
    change();
    const std::string changed = LevelText();
    ASSERT_NE(changed, loaded);
    EXPECT_EQ(g_editor.history.Position(), at + 1); // one step, however many frames it took
    Undo(s);
    EXPECT_EQ(LevelText(), loaded);
    Ctrl(s, SDL_SCANCODE_Y);
    EXPECT_EQ(LevelText(), changed);
    Undo(s);
    Chord(s, {SDL_SCANCODE_LCTRL, SDL_SCANCODE_LSHIFT}, [&] { s.Key(SDL_SCANCODE_Z); });
    EXPECT_EQ(LevelText(), changed);
    Undo(s);
    EXPECT_FALSE(g_editor.history.Unsaved());
  }

  // Two hundred and five steps, a road at a time clear of the bars, all undone.
  s.Key(SDL_SCANCODE_2);
  for (int cell = 0; g_editor.history.Steps() < 205 && cell < 280; ++cell) {
    const float x = 25.0f + 50 * (cell % 20), y = 25.0f + 50 * (cell / 20);
    if ((x > 375 || y > 450) && !(x == 625 && y == 625)) s.Click(x, y);
  }
  ASSERT_EQ(g_editor.history.Steps(), 205);
  for (int i = 0; i < 205; ++i) Undo(s);
  EXPECT_EQ(LevelText(), loaded);

  // A change after an undo drops what could have been redone; saving keeps the history;
  // loading starts a new one.
  s.Key(SDL_SCANCODE_4);
  s.Click(800, 420);
  Undo(s);
  s.Click(850, 200);
  const std::string branch = LevelText();
  Ctrl(s, SDL_SCANCODE_Y);
  EXPECT_EQ(LevelText(), branch);
  s.ClickButton("SERIALIZE");
  EXPECT_FALSE(g_editor.history.Unsaved());
  Undo(s);
  EXPECT_EQ(LevelText(), loaded);
  EXPECT_TRUE(g_editor.history.Unsaved());
  s.ClickButton("UNSERIALIZE");
  s.Key(SDL_SCANCODE_D); // discards the undo, as asked
  EXPECT_EQ(g_editor.history.Steps(), 0);
}

// Seeded edits of every kind on the largest shipped level, undos and redos among them, all
// undone: the level saves as the files it was loaded from.
TEST(EditorUndo, ALongRandomSessionUndoneSavesTheShippedLevelByteForByte) {
  EditorSession s({.shippedLevels = true, .palette = true, .paletteText = ""});
  ASSERT_TRUE(s.Enter());
  g_editor.levelName = g_editor.displayName = "SECOND";
  s.ClickButton("UNSERIALIZE");
  ASSERT_GT(g_editor.placedObjects.size(), 800u);
  std::mt19937 random(20261208);
  auto uniform = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); };
  for (int operation = 0; operation < 150; ++operation) {
    const float x = uniform(30, 950), y = uniform(30, 690), w = uniform(20, 200), h = uniform(20, 200);
    switch (std::uniform_int_distribution<int>(0, 9)(random)) {
    case 0: case 1: case 2:
      s.Key(static_cast<SDL_Scancode>(SDL_SCANCODE_1 + std::uniform_int_distribution<int>(0, 8)(random)));
      s.Click(x, y);
      break;
    case 3: s.Click(x, y, SDL_BUTTON_RIGHT); break;
    case 4: s.Drag(x, y, x + w - 110, y + h - 110); break;
    case 5: ShiftDrag(s, x, y, x + w, y + h); s.Key(SDL_SCANCODE_DELETE); break;
    case 6:
      ShiftDrag(s, x, y, x + w, y + h);
      Ctrl(s, SDL_SCANCODE_C);
      s.MoveTo(uniform(30, 950), uniform(30, 690));
      Ctrl(s, SDL_SCANCODE_V);
      break;
    case 7: Wheel(s, x, y, static_cast<int>(w) % 5 - 2); break;
    case 8: Undo(s); break;
    default: Ctrl(s, SDL_SCANCODE_Y); break;
    }
  }
  ASSERT_GE(g_editor.history.Steps(), 20);
  for (int i = 0; i < 256 && g_editor.history.Position() > 0; ++i) Undo(s);
  EXPECT_FALSE(g_editor.history.Unsaved());
  g_editor.levelName = g_editor.displayName = "UNDONE";
  s.ClickButton("SERIALIZE");
  for (const char* suffix : {".txt", ".txt2"}) {
    const std::string original = Bytes(s.LevelsFolder() + "/SECOND" + suffix);
    ASSERT_FALSE(original.empty());
    EXPECT_TRUE(original == Bytes(s.LevelsFolder() + "/UNDONE" + suffix)) << suffix;
  }
}

TEST(EditorZoom, AClickLandsInTheCellUnderThePointerAtEveryZoom) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  for (GameObject* entry : g_editor.palette)
    if (entry->name == "WALL") s.Click(entry->Position().x, entry->Position().y);
  // Zoomed about a point clear of the bars, clicked right of and below it: every point
  // clicked lies at positive coordinates, where a grid's cell holds the point.
  const struct { int notches; float zoom; } rows[] = {{0, 1.0f}, {-3, 0.512f}, {-10, EditorView::MIN_ZOOM}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(rows[i].zoom);
    Wheel(s, 400, 450, rows[i].notches);
    EXPECT_NEAR(g_editor.view.zoom, rows[i].zoom, 1e-4f);
    for (Vec3 pointer : {Vec3(420 + 61 * i, 470 + 37 * i), Vec3(950 - 53 * i, 690 - 71 * i), Vec3(600 + 29 * i, 560 + 43 * i)}) {
      const size_t before = g_editor.placedObjects.size();
      s.Click(pointer.x, pointer.y);
      ASSERT_EQ(g_editor.placedObjects.size(), before + 1);
      const GameObject& wall = *g_editor.placedObjects.back();
      EXPECT_TRUE(OnWallGrid(wall));
      // Where the camera draws it: within its cell around the pointer, at this zoom.
      const float* m = wall.graphic->CameraView(); // column-major; the 2D shift is the third column
      const float x = m[0] * ToDeviceX(wall.Position().x) + m[8], y = m[5] * ToDeviceY(wall.Position().y) + m[9];
      EXPECT_LE(std::fabs((x + 1) * g_screen.width / 2 - 0.5f - pointer.x), 26.0f * rows[i].zoom + 1.5f);
      EXPECT_LE(std::fabs((1 - y) * g_screen.height / 2 - 0.5f - pointer.y), 26.0f * rows[i].zoom + 1.5f);
    }
  }
  Wheel(s, 1100, 300, 3); // the panel does not zoom
  EXPECT_FLOAT_EQ(g_editor.view.zoom, EditorView::MIN_ZOOM);
  for (SDL_Scancode key : {SDL_SCANCODE_Z, SDL_SCANCODE_HOME}) {
    s.Key(key);
    EXPECT_FLOAT_EQ(g_editor.view.zoom, 1.0f);
    Wheel(s, 500, 300, -2);
  }
  // A shortcut's letter held on after Ctrl is let go does not pan (a bare A pans left).
  const Vec3 before = g_editor.mouse;
  for (auto [key, down] : {std::pair{SDL_SCANCODE_LCTRL, true}, {SDL_SCANCODE_A, true}, {SDL_SCANCODE_LCTRL, false}})
    s.harness.Key(key, down);
  s.harness.Frame(8);
  EXPECT_EQ(g_editor.mouse.x, before.x);
  s.harness.Key(SDL_SCANCODE_A, false);
}

// Ctrl+A over the largest shipped level outlines every object without a draw call per line.
TEST(EditorSelection, AWholeLevelSelectedIsOutlinedInOneDraw) {
  EditorSession s({.shippedLevels = true, .palette = true, .paletteText = ""});
  ASSERT_TRUE(s.Enter());
  g_editor.levelName = g_editor.displayName = "SECOND";
  s.ClickButton("UNSERIALIZE");
  auto frame = [&] {
    RenderCounters() = {};
    s.harness.Frame();
    return RenderCounters();
  };
  const DrawCounters bare = frame();
  Ctrl(s, SDL_SCANCODE_A);
  ASSERT_GT(g_editor.selection.size(), 800u);
  const DrawCounters outlined = frame();
  EXPECT_LE(outlined.drawCalls, bare.drawCalls + 2);
  EXPECT_GE(outlined.quads - bare.quads, 4 * static_cast<long>(g_editor.selection.size())) << "every line sent";
}

TEST(EditorSelection, GroupsMovePasteAndGoByThePlacingRules) {
  EditorSession s;
  EnterSmallLevel(s);
  auto& placed = g_editor.placedObjects;
  auto& selection = g_editor.selection;
  GameObject* wall = placed[1];
  Ctrl(s, SDL_SCANCODE_C); // with nothing selected, as below with a selection: never a clear
  ShiftDrag(s, 400, 460, 530, 530);
  ASSERT_EQ(selection, (std::vector<GameObject*>{placed[1], placed[2]}));
  for (size_t count : {3u, 2u}) {
    Chord(s, {SDL_SCANCODE_LSHIFT}, [&] { s.Click(700, 300); });
    EXPECT_EQ(selection.size(), count);
  }

  // A drag moves the group, each wall snapped to its grid; onto the gunner it goes back whole.
  s.Drag(442, 494, 502, 604);
  EXPECT_EQ(wall->Position().x, 494.0f);
  EXPECT_EQ(wall->Position().y, 598.0f);
  EXPECT_EQ(placed[2]->Position().x, 546.0f);
  s.Drag(494, 598, 700, 300);
  EXPECT_EQ(wall->Position().x, 494.0f);
  EXPECT_NE(g_editor.note.find("refused"), std::string::npos);

  // Pasted around the pointer, on the grid; again onto itself it is refused whole.
  Ctrl(s, SDL_SCANCODE_C);
  for (int paste = 0; paste < 2; ++paste) {
    s.MoveTo(800, 500);
    Ctrl(s, SDL_SCANCODE_V);
    ASSERT_EQ(placed.size(), 9u);
  }
  for (GameObject* copy : selection) EXPECT_TRUE(OnWallGrid(*copy));
  EXPECT_NEAR((selection[0]->Position().x + selection[1]->Position().x) / 2, 800.0f, 26.0f);

  // The player is one: a copy of it is refused, and Ctrl+A leaves it (and the pools) out.
  ShiftDrag(s, 260, 560, 340, 640);
  ASSERT_EQ(selection, std::vector<GameObject*>{placed[0]});
  Ctrl(s, SDL_SCANCODE_C);
  s.MoveTo(850, 650);
  Ctrl(s, SDL_SCANCODE_V);
  EXPECT_EQ(placed.size(), 9u);
  Ctrl(s, SDL_SCANCODE_A);
  EXPECT_EQ(selection.size(), 6u);
  s.Key(SDL_SCANCODE_DELETE);
  ASSERT_EQ(placed.size(), 3u);
  EXPECT_EQ(placed[0]->name, "PLAYER");
  s.Key(SDL_SCANCODE_C); // a bare C still clears, and is undone like any change
  EXPECT_TRUE(placed.empty());
  Undo(s);
  EXPECT_EQ(placed.size(), 3u);
}
