#include "editor/Editor.h"
#include "audio/Audio.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "core/System.h"
#include "core/Window.h"
#include "editor/PropertyBar.h"
#include "editor/SoundBar.h"
#include "levels/LevelFile.h"
#include "levels/PlayTest.h"
#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include "objects/WorldRules.h"
#include "pilot/Prove.h"
#include "render/AnimatedTexture.h"
#include "screens/Button.h"
#include "render/Camera.h"
#include "render/DrawBatch.h"
#include "render/Font.h"
#include "render/Texture.h"
#include "platform/KeyCodes.h"
#include "platform/TweakBar.h"
#include <GL/glew.h>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

// ============================================================================
// Editor globals
// ============================================================================

EditorState g_editor;

void EditorState::Reset() { *this = EditorState(); }

namespace {

constexpr const char* LEVEL_FOLDER = "../Assets/Levels/";
constexpr int NAME_LIMIT = 10;           // characters a typed level name may have
constexpr float PAN_STEP = 10.0f;        // camera units per frame; the picture moves half of it
constexpr unsigned int SHOWN_FRAME = 2;  // animated objects stand still on this frame in the editor
constexpr float TOUCH_ALLOWANCE = 0.5f;  // units by which a copy may meet a placed object

GameObjectFactory* Factory() { return FindSystem<GameObjectFactory>(); }

// Takes a copy that was refused back out of the factory.
void Discard(GameObject* object) {
  GameObjectFactory* factory = Factory();
  if (!factory || !object) return;
  auto& list = factory->objects;
  list.erase(std::remove_if(list.begin(), list.end(), [object](const auto& o) { return o.get() == object; }),
             list.end());
}

void ShowStill(GameObject* o) {
  if (AnimatedTexture* a = o->Animated()) a->SetFrame(SHOWN_FRAME);
}

// Touching is not overlapping: walls fill their cells exactly, so the copy is tested a
// hair smaller than it is.
bool Overlaps(const GameObject& copy, const GameObject& placed) {
  Poly shrunk = *copy.shape;
  auto [low, high] = shrunk.Bounds();
  float half = std::min(high.x - low.x, high.y - low.y) / 2.0f;
  if (half > TOUCH_ALLOWANCE) shrunk.Scale(1.0f - TOUCH_ALLOWANCE / half);
  return placed.shape->Intersects(shrunk);
}

float SnapAxisY(float y, float cell) {
  float half = cell / 2.0f;
  return y >= 0.0f ? cell * std::trunc(y / cell) + half : cell * std::trunc(y / cell) - half;
}

Vec3 Snap(const Vec3& p, float cell) {
  return Vec3(cell / 2.0f - cell * std::trunc(-p.x / cell), SnapAxisY(p.y, cell), p.z);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

Button* FindButton(const std::string& name) {
  for (auto& b : g_editor.buttons)
    if (b->name == name) return b.get();
  return nullptr;
}

// The SNAP and RENAME buttons show one of two looks, each with its hover frame.
void ToggleLook(Button& button) {
  unsigned int f = button.Frame();
  button.SetFrame(f < 2 ? f + 2 : f - 2);
}

// g_editor.levelIndex always names an entry when there is one.
void KeepLevelIndexInList() {
  if (LevelCount() <= 0)
    g_editor.levelIndex = 0;
  else
    g_editor.levelIndex = std::clamp(g_editor.levelIndex, 0, LevelCount() - 1);
}

} // namespace

Vec3 SnapToRoadGrid(const Vec3& p) { return Snap(p, 50.0f); }
Vec3 SnapToWallGrid(const Vec3& p) { return Snap(p, 52.0f); }

void RebuildEditorBars() {
  RebuildPropertyBar();
  if (g_editor.soundBar) g_editor.soundBar->RebuildSoundBar();
}

// ============================================================================
// Life
// ============================================================================

Editor::Editor() = default;
Editor::~Editor() { ReleaseAll(); }

void Editor::Load() {
  camera = std::make_shared<Camera>(0.0f, 0.0f, 1.0f);
  textColor = Vec3(0.87f, 0.52f, 0.04f);
}

void Editor::Initialize() {
  const float w = static_cast<float>(g_screen.width), h = static_cast<float>(g_screen.height);
  ReleaseAll();
  if (GameObjectFactory* factory = Factory()) factory->objects.clear();
  g_editor.renameMode = false;
  g_editor.snapMode = false;
  g_editor.dragging = false;
  g_editor.dragObject = nullptr;
  g_input.typedText.clear();
  if (!camera) Load();
  g_editor.hudAnchor = Vec3(w / 2 + camera->x, h / 2 + camera->y, 0.0f);

  font = std::make_unique<Font>();
  font->Init();
  hudBackground = std::make_shared<Texture>("../Assets/image/editorHudBg.png", 1, g_editor.hudAnchor + Vec3(520, 0, 0), 140, 360);
  hudBackground->Init();
  selectionMarker = std::make_shared<Texture>("../Assets/image/editorSelectedIcon.png", 1, Vec3(-10000, -10000, 0), 25, 25);
  selectionMarker->Init();

  LayOutPalette();

  ListLevels();
  KeepLevelIndexInList();
  g_editor.levelName = g_editor.displayName = LevelCount() == 0 ? "LEVEL" : g_levelNames[g_editor.levelIndex];
  g_editor.levelPath = LEVEL_FOLDER + g_editor.displayName + ".txt";

  MakeButtons();
  LayGrass();

  CreatePropertyBar(&g_editor.placedObjects);
  g_editor.soundBar.reset(); // the old bar goes before the new one takes its name
  g_editor.soundBar = std::make_shared<ATSound>();
  ResetPropertyBar();

  // Back from a play test: the level that was tried out is opened again.
  if (PlayTesting()) {
    const std::string path = PlayTestPath();
    std::string file = path.substr(path.find_last_of('/') + 1);
    if (file.size() > 4 && file.compare(file.size() - 4, 4, ".txt") == 0) {
      g_editor.levelName = g_editor.displayName = file.substr(0, file.size() - 4);
      auto found = std::find(g_levelNames.begin(), g_levelNames.end(), g_editor.displayName);
      if (found != g_levelNames.end()) g_editor.levelIndex = static_cast<int>(found - g_levelNames.begin());
      LoadNamedLevel();
    }
  }
}

void Editor::LayOutPalette() {
  const float h = static_cast<float>(g_screen.height);
  // The palette's pictures as its file names them: placed walls copy the palette's,
  // and a cracked palette wall would crack every wall of the level.
  g_editor.palette = LoadObjectListToEdit(EDITOR_PALETTE_PATH, true);
  g_editor.currentKind = g_editor.palette.empty() ? nullptr : g_editor.palette.front();
  float x = 420.0f, y = 30.0f - h / 2;
  float previousHalf = -1.0f;
  for (GameObject* entry : g_editor.palette) {
    auto [low, high] = entry->shape->Bounds();
    float half = (high.y - low.y) / 2.0f;
    if (previousHalf >= 0.0f) {
      y += previousHalf + half + 10.0f;
      if (y >= h / 2 + 75.0f) {
        x += 60.0f;
        y = 30.0f - h / 2;
      }
    }
    entry->SetPosition(g_editor.hudAnchor + Vec3(x, y, entry->Position().z));
    previousHalf = half;
  }
}

void Editor::MakeButtons() {
  g_editor.buttons.clear();
  const std::string sheet = "../Assets/image/editorsBtns";
  auto add = [](const char* name, Vec3 offset, int hw, int hh, const std::string& descriptor,
                const std::string& image, unsigned int idle) {
    g_editor.buttons.push_back(std::make_unique<Button>(1, g_editor.hudAnchor + offset, hw, hh, name, descriptor, image));
    g_editor.buttons.back()->SetFrame(idle);
  };
  add("SNAP", Vec3(550, 225, 0), 50, 25, "../Assets/image/SnapButton.txt", "../Assets/image/snapbutton.png", 3);
  add("RENAME", Vec3(550, 275, 0), 50, 25, "../Assets/image/RenameBtns.txt", "../Assets/image/RenameBtns.png", 3);
  add("UNSERIALIZE", Vec3(525, 175, 0), 25, 25, sheet + ".txt", sheet + ".png", 3);
  add("SERIALIZE", Vec3(575, 175, 0), 25, 25, sheet + ".txt", sheet + ".png", 1);
  add("PREVIOUS", Vec3(525, 125, 0), 25, 25, sheet + ".txt", sheet + ".png", 7);
  add("NEXT", Vec3(575, 125, 0), 25, 25, sheet + ".txt", sheet + ".png", 5);
}

// The game's shared grass tiles, laid over the screen; the field is drawn without the
// camera, so it covers the window whatever the view.
void Editor::LayGrass() {
  g_background.extent = TileExtent{200, 200, g_screen.width / 400 + 1, g_screen.height / 400 + 1};
  LayTiles();
  for (GameObject* tile : g_background.tiles) tile->graphic->SetCamera(Camera());
}

// Free and Unload both end the editor's run; whichever comes first releases, the other
// finds nothing left.
void Editor::ReleaseAll() {
  DeletePropertyBar();
  g_editor.propertyBar.objects = nullptr;
  g_editor.soundBar.reset();
  font.reset();
  hudBackground.reset();
  selectionMarker.reset();
  g_editor.buttons.clear();
  g_editor.placedObjects.clear();
  g_editor.palette.clear();
  g_editor.currentKind = nullptr;
  g_editor.dragObject = nullptr;
  g_editor.dragging = false;
}

void Editor::Free() {
  ReleaseAll();
  if (GameObjectFactory* factory = Factory()) factory->objects.clear();
}

void Editor::Unload() {
  // The play test ends when the editor is left for anything but the play itself.
  if (g_loop.nextState != STATE_TUTORIAL) EndPlayTest();
  ReleaseAll();
  if (GameObjectFactory* factory = Factory()) factory->objects.clear();
}

// ============================================================================
// Frame
// ============================================================================

void Editor::Update() {
  const float w = static_cast<float>(g_screen.width), h = static_cast<float>(g_screen.height);
  camera->ApplyVelocity();
  g_editor.mouse = Vec3(g_input.mousePosition.x + camera->x / 2, g_input.mousePosition.y - camera->y / 2, 0.0f);
  g_editor.hudAnchor = Vec3(w / 2 + camera->x, h / 2 + camera->y, 0.0f);

  HandleKeyboard();
  HandleMouse();

  if (g_editor.currentKind) {
    const Texture& g = *g_editor.currentKind->graphic;
    selectionMarker->halfWidth = g.halfWidth;
    selectionMarker->halfHeight = g.halfHeight;
    selectionMarker->SetPosition(Vec3(g.center[0], g.center[1], 0.0f), 0.0f);
  } else {
    selectionMarker->SetPosition(Vec3(-10000, -10000, 0), 0.0f);
  }

  for (GameObject* entry : g_editor.palette) ShowStill(entry);
  for (GameObject* o : g_editor.placedObjects) {
    ShowStill(o);
    o->graphic->SetCamera(*camera);
  }

  if (g_audio) g_audio->Update(g_loop.frameTime, !g_audio->suspended);
}

void Editor::Draw() {
  glClearColor(0.0f, 0.6f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  const size_t laid = static_cast<size_t>(std::max(0, g_background.extent.columns * g_background.extent.rows));
  for (size_t i = 0; i < g_background.tiles.size() && i < laid; ++i) g_background.tiles[i]->graphic->Draw();
  // Roads lie under everything else.
  for (GameObject* o : g_editor.placedObjects)
    if (o->name == "ROAD") o->graphic->Draw();
  for (GameObject* o : g_editor.placedObjects)
    if (o->name != "ROAD") o->graphic->Draw();
  DrawProveResult(*camera, *font, g_editor.levelPath); // the last F9's route and card

  hudBackground->Draw();
  // The HUD keeps its place on the screen while the view moves.
  const Vec3 screenCentre(g_screen.width / 2.0f, g_screen.height / 2.0f, 0.0f);
  font->DrawText(g_editor.displayName, screenCentre + Vec3(460, 325, 0), textColor, 0.6f);

  if (g_editor.dragObject && g_editor.dragObject->active) {
    ShowStill(g_editor.dragObject);
    g_editor.dragObject->graphic->SetCamera(*camera);
    g_editor.dragObject->graphic->Draw();
  }

  for (GameObject* entry : g_editor.palette) entry->graphic->Draw();
  for (auto& b : g_editor.buttons) b->Draw();
  selectionMarker->Draw();

  if (g_editor.placedObjects.empty()) ResetPropertyBar();
  // The bars are drawn by their own renderer: the level's gathered draws go first,
  // underneath them.
  FlushDrawing();
  TwDraw();

  if (g_loop.debugView != 0) {
    const Vec3 at(camera->x, camera->y, 0.0f);
    const std::string update = std::to_string(g_loop.updateTime).substr(0, 7);
    const std::string render = std::to_string(g_loop.renderTime).substr(0, 7);
    const std::string fps = std::to_string(g_loop.fpsReadout).substr(0, 5);
    font->DrawText("Initialize time: " + std::to_string(g_loop.initTime), at + Vec3(100, 100, 0), textColor, 0.5f);
    font->DrawText("Update time: " + update, at + Vec3(100, 120, 0), textColor, 0.5f);
    font->DrawText("Render time: " + render, at + Vec3(100, 140, 0), textColor, 0.5f);
    font->DrawText("Frame time: " + fps, at + Vec3(100, 160, 0), textColor, 0.5f);
  }
}

// ============================================================================
// Keyboard
// ============================================================================

void Editor::HandleKeyboard() {
  if (g_editor.renameMode) {
    // Digits typed into the name are characters, not palette keys.
    g_input.lastDigit = 10;
    g_input.lastKeyChar = '-';
    TypeName();
    return;
  }
  g_input.typedText.clear();

  if (g_input.lastDigit >= 0 && g_input.lastDigit <= 9 && static_cast<int>(g_editor.palette.size()) >= g_input.lastDigit) {
    g_editor.currentKind = g_input.lastDigit == 0 ? nullptr : g_editor.palette[g_input.lastDigit - 1];
    g_input.keyTriggered[KEY_0 + g_input.lastDigit] = false;
    g_input.keyDown[KEY_0 + g_input.lastDigit] = false;
    g_input.lastDigit = 10;
    g_input.lastKeyChar = '-';
  }

  if (ConsumeTrigger(KEY_F5)) {
    PlayTest();
    return;
  }
  if (ConsumeTrigger(PROVE_KEY)) { // F9: saved, then played by the autopilot
    SaveEditedLevel();
    StartProve(g_editor.levelPath);
    return;
  }
  if (ConsumeTrigger(KEY_C)) {
    g_editor.placedObjects.clear();
    ResetPropertyBar();
  }
  PanCamera();
}

void Editor::PanCamera() {
  const float w = static_cast<float>(g_screen.width), h = static_cast<float>(g_screen.height);
  if (IsDown(KEY_UP) || IsDown(KEY_W)) {
    camera->held = false;
    camera->velocity[1] = static_cast<int>(PAN_STEP);
    camera->viewVelocity[1] = -PAN_STEP / h;
  } else if (IsDown(KEY_DOWN) || IsDown(KEY_S)) {
    camera->held = false;
    camera->velocity[1] = -static_cast<int>(PAN_STEP);
    camera->viewVelocity[1] = PAN_STEP / h;
  } else {
    camera->velocity[1] = 0;
    camera->viewVelocity[1] = 0.0f;
  }
  if (IsDown(KEY_LEFT) || IsDown(KEY_A)) {
    camera->held = false;
    camera->velocity[0] = -static_cast<int>(PAN_STEP);
    camera->viewVelocity[0] = PAN_STEP / w;
  } else if (IsDown(KEY_RIGHT) || IsDown(KEY_D)) {
    camera->held = false;
    camera->velocity[0] = static_cast<int>(PAN_STEP);
    camera->viewVelocity[0] = -PAN_STEP / w;
  } else {
    camera->velocity[0] = 0;
    camera->viewVelocity[0] = 0.0f;
  }
}

// Characters come as the keyboard layout types them; letters are kept in capitals, as
// level names have always been.
void Editor::TypeName() {
  // The name's letters are keys too: none of them may act once renaming ends.
  ConsumeTrigger(KEY_C);
  ConsumeTrigger(KEY_F5);
  ConsumeTrigger(PROVE_KEY);
  if (ConsumeTrigger(KEY_BACKSPACE) && !g_editor.levelName.empty()) g_editor.levelName.pop_back();
  for (char typed : g_input.typedText) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(typed)));
    if (c >= 48 && c <= 90 && static_cast<int>(g_editor.levelName.size()) < NAME_LIMIT) g_editor.levelName.push_back(c);
  }
  g_input.typedText.clear();
  g_editor.displayName = g_editor.levelName + "_";
  if (ConsumeTrigger(KEY_ENTER)) EndRename();
}

void Editor::EndRename() {
  if (g_editor.levelName.empty()) g_editor.levelName = "MYLEVEL";
  g_editor.renameMode = false;
  g_editor.displayName = g_editor.levelName;
  if (Button* rename = FindButton("RENAME")) rename->SetFrame(rename->Frame() + 2);
}

// ============================================================================
// Mouse
// ============================================================================

void Editor::HandleMouse() {
  if (g_editor.renameMode) {
    // Clicks do nothing while a name is typed (Enter ends it), nor once it is done.
    ConsumeTrigger(MOUSE_LEFT);
    ConsumeTrigger(MOUSE_RIGHT);
    return;
  }
  const float w = static_cast<float>(g_screen.width);
  HandleEditorButtons();

  if (ConsumeTrigger(MOUSE_LEFT)) {
    g_editor.dragging = false;
    if (g_input.mousePosition.x < w - LEVEL_AREA_MARGIN) {
      for (size_t i = 0; i < g_editor.placedObjects.size(); ++i) {
        GameObject* o = g_editor.placedObjects[i];
        if (o->name != "ROAD" && o->shape->ContainsPoint(g_editor.mouse)) {
          ShowObjectProperties(static_cast<int>(i));
          break;
        }
      }
      if (g_editor.currentKind) PlaceObject();
    }
    const Vec3 mouse(g_input.mousePosition.x, g_input.mousePosition.y, 0.0f);
    for (GameObject* entry : g_editor.palette)
      if (entry->shape->ContainsPoint(mouse)) {
        g_editor.dragging = true;
        if (GameObjectFactory* factory = Factory()) g_editor.dragObject = factory->CreateCopy(*entry);
        g_editor.currentKind = entry;
        break;
      }
  }

  if (IsDown(MOUSE_LEFT) && g_editor.dragging) {
    if (g_editor.dragObject) {
      g_editor.dragObject->active = true;
      g_editor.dragObject->SetPosition(g_editor.mouse);
    }
  } else if (!IsDown(MOUSE_LEFT) && g_editor.dragObject && g_editor.dragObject->active) {
    g_editor.dragObject->active = false;
    // Only a drop on the field places: one over the panel would hide under it.
    if (g_input.mousePosition.x < w - LEVEL_AREA_MARGIN && g_editor.currentKind) PlaceObject();
    g_editor.dragging = false;
  }

  if (ConsumeTrigger(MOUSE_RIGHT)) {
    for (GameObject* o : g_editor.placedObjects)
      if (o->shape->ContainsPoint(g_editor.mouse)) {
        auto& placed = g_editor.placedObjects;
        placed.erase(std::remove(placed.begin(), placed.end(), o), placed.end());
        break;
      }
    ResetPropertyBar();
  }
}

void Editor::HandleEditorButtons() {
  const Vec3 mouse(g_input.mousePosition.x, g_input.mousePosition.y, 0.0f);
  for (auto& b : g_editor.buttons) {
    bool over = b->UnderPoint(mouse);
    if (over && !b->hovered) {
      b->hovered = true;
      b->SetFrame(b->Frame() - 1);
    } else if (!over && b->hovered) {
      b->hovered = false;
      b->SetFrame(b->Frame() + 1);
    }
  }
  if (!g_input.keyTriggered[MOUSE_LEFT]) return;
  for (auto& b : g_editor.buttons) {
    if (!b->UnderPoint(mouse)) continue;
    ConsumeTrigger(MOUSE_LEFT);
    if (b->name == "SNAP") {
      g_editor.snapMode = !g_editor.snapMode;
      ToggleLook(*b);
    } else if (b->name == "RENAME") {
      ToggleLook(*b);
      g_editor.renameMode = true;
      g_input.typedText.clear();
      g_editor.displayName = g_editor.levelName;
    } else if (b->name == "UNSERIALIZE") {
      LoadNamedLevel();
    } else if (b->name == "SERIALIZE") {
      SaveEditedLevel();
    } else if (b->name == "PREVIOUS") {
      StepLevel(-1);
    } else if (b->name == "NEXT") {
      StepLevel(+1);
      ResetPropertyBar();
    }
    return;
  }
}

void Editor::StepLevel(int step) {
  // Without levels there is nothing to step to.
  const int count = LevelCount();
  if (count <= 0) return;
  g_editor.levelIndex = ((g_editor.levelIndex + step) % count + count) % count;
  g_editor.levelName = g_editor.displayName = g_levelNames[g_editor.levelIndex];
}

// ============================================================================
// Placing, loading and saving
// ============================================================================

void Editor::PlaceObject() {
  GameObjectFactory* factory = Factory();
  if (!factory || !g_editor.currentKind) return;
  GameObject* copy = factory->CreateCopy(*g_editor.currentKind);
  copy->name = Upper(copy->name);
  Vec3 p = g_editor.mouse;

  if (copy->name == "ROAD") {
    copy->SetScale(1.0f);
    p = SnapToRoadGrid(p);
    copy->SetPosition(Vec3(p.x, p.y, copy->Position().z));
    for (GameObject* o : g_editor.placedObjects) {
      if (o->name != "ROAD") continue;
      Vec3 q = o->Position();
      if (q.x == copy->Position().x && q.y == copy->Position().y) {
        Discard(copy);
        return;
      }
    }
    copy->active = true;
    g_editor.placedObjects.push_back(copy);
    return;
  }

  if (g_editor.snapMode || copy->name == "WALL") p = SnapToWallGrid(p);
  copy->SetPosition(Vec3(p.x, p.y, copy->Position().z));
  const Vec3 at = copy->Position();
  // There is only ever one player: the one the game plays moves to where the new one was dropped.
  GameObject* player = copy->name == "PLAYER" ? FindPlayer(g_editor.placedObjects) : nullptr;
  for (GameObject* o : g_editor.placedObjects) {
    if (o == player) {
      o->SetPosition(Vec3(at.x, at.y, o->Position().z));
      Discard(copy);
      return;
    }
    if (copy->name == "WALL" && o->name == "WALL" && o->Position().x == at.x && o->Position().y == at.y) {
      Discard(copy);
      return;
    }
    if (o->name != "ROAD" && Overlaps(*copy, *o)) {
      Discard(copy);
      return;
    }
  }
  copy->active = true;
  g_editor.placedObjects.push_back(copy);
}

void Editor::LoadNamedLevel() {
  g_editor.levelPath = LEVEL_FOLDER + g_editor.displayName + ".txt";
  // The pictures the file names: the loader's cracked walls are for play, and saving
  // them would turn more of the level's walls cracked every time.
  g_editor.placedObjects = LoadObjectListToEdit(g_editor.levelPath, true);
  ResetPropertyBar();
}

void Editor::SaveEditedLevel() {
  GameObjectFactory* factory = Factory();
  auto hasKind = [](const char* kind) {
    const auto& placed = g_editor.placedObjects;
    return std::any_of(placed.begin(), placed.end(), [kind](GameObject* o) { return o->name == kind; });
  };
  auto addPool = [factory](const char* kind, int count) {
    if (!factory) return;
    for (int i = 0; i < count; ++i) {
      GameObject* shot = factory->Create(kind, "../Assets/image/mushroom2.png", Vec3(0, 0, 1), 10, 5, 1);
      g_editor.placedObjects.push_back(shot);
    }
  };
  if (!hasKind("PROJECTILE")) {
    std::printf("adding missing projectile\n");
    addPool("PROJECTILE", 5);
  }
  if (!hasKind("ENEMYPROJECTILE")) {
    std::printf("adding missing enemy projectile\n");
    addPool("ENEMYPROJECTILE", 20);
  }
  std::fflush(stdout);
  g_editor.levelPath = LEVEL_FOLDER + g_editor.displayName + ".txt";
  SaveLevel(g_editor.placedObjects, g_editor.levelPath);
  ListLevels();
  KeepLevelIndexInList();
}

void Editor::PlayTest() {
  SaveEditedLevel();
  // Only a level the game can list can be played: it needs its player.
  if (!ValidateLevelFile(g_editor.levelPath)) {
    std::printf("The level cannot be played: it has no PLAYER\n");
    std::fflush(stdout);
    return;
  }
  StartPlayTest(g_editor.levelPath);
  g_loop.nextState = STATE_TUTORIAL;
}
