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

std::vector<GameObject*> g_placedObjects;
std::vector<GameObject*> g_palette;
GameObject* g_currentKind = nullptr;
GameObject* g_dragObject = nullptr;
bool g_dragging = false;
bool g_snapMode = false;
bool g_renameMode = false;
std::string g_levelName;
std::string g_displayName;
std::string g_levelPath;
int g_levelIndex = 0;
std::vector<std::unique_ptr<Button>> g_editorButtons;
Vec3 g_editorHudAnchor;
Vec3 g_editorMouse;

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
  for (auto& b : g_editorButtons)
    if (b->name == name) return b.get();
  return nullptr;
}

// The SNAP and RENAME buttons show one of two looks, each with its hover frame.
void ToggleLook(Button& button) {
  unsigned int f = button.Frame();
  button.SetFrame(f < 2 ? f + 2 : f - 2);
}

// g_levelIndex always names an entry when there is one.
void KeepLevelIndexInList() {
  if (g_levelCount <= 0)
    g_levelIndex = 0;
  else
    g_levelIndex = std::clamp(g_levelIndex, 0, g_levelCount - 1);
}

} // namespace

Vec3 SnapToRoadGrid(const Vec3& p) { return Snap(p, 50.0f); }
Vec3 SnapToWallGrid(const Vec3& p) { return Snap(p, 52.0f); }

void RebuildEditorBars() {
  RebuildPropertyBar();
  if (g_soundBar) g_soundBar->RebuildSoundBar();
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
  const float w = static_cast<float>(g_screenWidth), h = static_cast<float>(g_screenHeight);
  ReleaseAll();
  if (GameObjectFactory* factory = Factory()) factory->objects.clear();
  g_renameMode = false;
  g_snapMode = false;
  g_dragging = false;
  g_dragObject = nullptr;
  g_typedText.clear();
  if (!camera) Load();
  g_editorHudAnchor = Vec3(w / 2 + camera->x, h / 2 + camera->y, 0.0f);

  font = std::make_unique<Font>();
  font->Init();
  hudBackground = std::make_shared<Texture>("../Assets/image/editorHudBg.png", 1, g_editorHudAnchor + Vec3(520, 0, 0), 140, 360);
  hudBackground->Init();
  selectionMarker = std::make_shared<Texture>("../Assets/image/editorSelectedIcon.png", 1, Vec3(-10000, -10000, 0), 25, 25);
  selectionMarker->Init();

  LayOutPalette();

  ListLevels();
  KeepLevelIndexInList();
  g_levelName = g_displayName = g_levelCount == 0 ? "LEVEL" : g_levelNames[g_levelIndex];
  g_levelPath = LEVEL_FOLDER + g_displayName + ".txt";

  MakeButtons();
  LayGrass();

  CreatePropertyBar(&g_placedObjects);
  g_soundBar.reset(); // the old bar goes before the new one takes its name
  g_soundBar = std::make_shared<ATSound>();
  ResetPropertyBar();

  // Back from a play test: the level that was tried out is opened again.
  if (PlayTesting()) {
    const std::string path = g_playTestPath;
    std::string file = path.substr(path.find_last_of('/') + 1);
    if (file.size() > 4 && file.compare(file.size() - 4, 4, ".txt") == 0) {
      g_levelName = g_displayName = file.substr(0, file.size() - 4);
      auto found = std::find(g_levelNames.begin(), g_levelNames.end(), g_displayName);
      if (found != g_levelNames.end()) g_levelIndex = static_cast<int>(found - g_levelNames.begin());
      LoadNamedLevel();
    }
  }
}

void Editor::LayOutPalette() {
  const float h = static_cast<float>(g_screenHeight);
  // The palette's pictures as its file names them: placed walls copy the palette's,
  // and a cracked palette wall would crack every wall of the level.
  g_palette = LoadObjectListToEdit(EDITOR_PALETTE_PATH, true);
  g_currentKind = g_palette.empty() ? nullptr : g_palette.front();
  float x = 420.0f, y = 30.0f - h / 2;
  float previousHalf = -1.0f;
  for (GameObject* entry : g_palette) {
    auto [low, high] = entry->shape->Bounds();
    float half = (high.y - low.y) / 2.0f;
    if (previousHalf >= 0.0f) {
      y += previousHalf + half + 10.0f;
      if (y >= h / 2 + 75.0f) {
        x += 60.0f;
        y = 30.0f - h / 2;
      }
    }
    entry->SetPosition(g_editorHudAnchor + Vec3(x, y, entry->Position().z));
    previousHalf = half;
  }
}

void Editor::MakeButtons() {
  g_editorButtons.clear();
  const std::string sheet = "../Assets/image/editorsBtns";
  auto add = [](const char* name, Vec3 offset, int hw, int hh, const std::string& descriptor,
                const std::string& image, unsigned int idle) {
    g_editorButtons.push_back(std::make_unique<Button>(1, g_editorHudAnchor + offset, hw, hh, name, descriptor, image));
    g_editorButtons.back()->SetFrame(idle);
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
  g_tileExtent = TileExtent{200, 200, g_screenWidth / 400 + 1, g_screenHeight / 400 + 1};
  LayTiles();
  for (GameObject* tile : g_backgroundTiles) tile->graphic->SetCamera(Camera());
}

// Free and Unload both end the editor's run; whichever comes first releases, the other
// finds nothing left.
void Editor::ReleaseAll() {
  DeletePropertyBar();
  g_propertyBar.objects = nullptr;
  g_soundBar.reset();
  font.reset();
  hudBackground.reset();
  selectionMarker.reset();
  g_editorButtons.clear();
  g_placedObjects.clear();
  g_palette.clear();
  g_currentKind = nullptr;
  g_dragObject = nullptr;
  g_dragging = false;
}

void Editor::Free() {
  ReleaseAll();
  if (GameObjectFactory* factory = Factory()) factory->objects.clear();
}

void Editor::Unload() {
  // The play test ends when the editor is left for anything but the play itself.
  if (g_nextState != STATE_TUTORIAL) g_playTestPath.clear();
  ReleaseAll();
  if (GameObjectFactory* factory = Factory()) factory->objects.clear();
}

// ============================================================================
// Frame
// ============================================================================

void Editor::Update() {
  const float w = static_cast<float>(g_screenWidth), h = static_cast<float>(g_screenHeight);
  camera->ApplyVelocity();
  g_editorMouse = Vec3(g_mousePosition.x + camera->x / 2, g_mousePosition.y - camera->y / 2, 0.0f);
  g_editorHudAnchor = Vec3(w / 2 + camera->x, h / 2 + camera->y, 0.0f);

  HandleKeyboard();
  HandleMouse();

  if (g_currentKind) {
    const Texture& g = *g_currentKind->graphic;
    selectionMarker->halfWidth = g.halfWidth;
    selectionMarker->halfHeight = g.halfHeight;
    selectionMarker->SetPosition(Vec3(g.center[0], g.center[1], 0.0f), 0.0f);
  } else {
    selectionMarker->SetPosition(Vec3(-10000, -10000, 0), 0.0f);
  }

  for (GameObject* entry : g_palette) ShowStill(entry);
  for (GameObject* o : g_placedObjects) {
    ShowStill(o);
    o->graphic->SetCamera(*camera);
  }

  if (g_audio) g_audio->Update(g_frameTime, !g_audio->suspended);
}

void Editor::Draw() {
  glClearColor(0.0f, 0.6f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  const size_t laid = static_cast<size_t>(std::max(0, g_tileExtent.columns * g_tileExtent.rows));
  for (size_t i = 0; i < g_backgroundTiles.size() && i < laid; ++i) g_backgroundTiles[i]->graphic->Draw();
  // Roads lie under everything else.
  for (GameObject* o : g_placedObjects)
    if (o->name == "ROAD") o->graphic->Draw();
  for (GameObject* o : g_placedObjects)
    if (o->name != "ROAD") o->graphic->Draw();

  hudBackground->Draw();
  // The HUD keeps its place on the screen while the view moves.
  const Vec3 screenCentre(g_screenWidth / 2.0f, g_screenHeight / 2.0f, 0.0f);
  font->DrawText(g_displayName, screenCentre + Vec3(460, 325, 0), textColor, 0.6f);

  if (g_dragObject && g_dragObject->active) {
    ShowStill(g_dragObject);
    g_dragObject->graphic->SetCamera(*camera);
    g_dragObject->graphic->Draw();
  }

  for (GameObject* entry : g_palette) entry->graphic->Draw();
  for (auto& b : g_editorButtons) b->Draw();
  selectionMarker->Draw();

  if (g_placedObjects.empty()) ResetPropertyBar();
  // The bars are drawn by their own renderer: the level's gathered draws go first,
  // underneath them.
  FlushDrawing();
  TwDraw();

  if (g_debugView != 0) {
    const Vec3 at(camera->x, camera->y, 0.0f);
    const std::string update = std::to_string(g_updateTime).substr(0, 7);
    const std::string render = std::to_string(g_renderTime).substr(0, 7);
    const std::string fps = std::to_string(g_fpsReadout).substr(0, 5);
    font->DrawText("Initialize time: " + std::to_string(g_initTime), at + Vec3(100, 100, 0), textColor, 0.5f);
    font->DrawText("Update time: " + update, at + Vec3(100, 120, 0), textColor, 0.5f);
    font->DrawText("Render time: " + render, at + Vec3(100, 140, 0), textColor, 0.5f);
    font->DrawText("Frame time: " + fps, at + Vec3(100, 160, 0), textColor, 0.5f);
  }
}

// ============================================================================
// Keyboard
// ============================================================================

void Editor::HandleKeyboard() {
  if (g_renameMode) {
    // Digits typed into the name are characters, not palette keys.
    g_lastDigit = 10;
    g_lastKeyChar = '-';
    TypeName();
    return;
  }
  g_typedText.clear();

  if (g_lastDigit >= 0 && g_lastDigit <= 9 && static_cast<int>(g_palette.size()) >= g_lastDigit) {
    g_currentKind = g_lastDigit == 0 ? nullptr : g_palette[g_lastDigit - 1];
    g_keyTriggered[KEY_0 + g_lastDigit] = false;
    g_keyDown[KEY_0 + g_lastDigit] = false;
    g_lastDigit = 10;
    g_lastKeyChar = '-';
  }

  if (ConsumeTrigger(KEY_F5)) {
    PlayTest();
    return;
  }
  if (ConsumeTrigger(KEY_C)) {
    g_placedObjects.clear();
    ResetPropertyBar();
  }
  PanCamera();
}

void Editor::PanCamera() {
  const float w = static_cast<float>(g_screenWidth), h = static_cast<float>(g_screenHeight);
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
  if (ConsumeTrigger(KEY_BACKSPACE) && !g_levelName.empty()) g_levelName.pop_back();
  for (char typed : g_typedText) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(typed)));
    if (c >= 48 && c <= 90 && static_cast<int>(g_levelName.size()) < NAME_LIMIT) g_levelName.push_back(c);
  }
  g_typedText.clear();
  g_displayName = g_levelName + "_";
  if (ConsumeTrigger(KEY_ENTER)) EndRename();
}

void Editor::EndRename() {
  if (g_levelName.empty()) g_levelName = "MYLEVEL";
  g_renameMode = false;
  g_displayName = g_levelName;
  if (Button* rename = FindButton("RENAME")) rename->SetFrame(rename->Frame() + 2);
}

// ============================================================================
// Mouse
// ============================================================================

void Editor::HandleMouse() {
  if (g_renameMode) {
    // Only the RENAME button answers while a name is typed.
    HandleEditorButtons();
    return;
  }
  const float w = static_cast<float>(g_screenWidth);
  HandleEditorButtons();

  if (ConsumeTrigger(MOUSE_LEFT)) {
    g_dragging = false;
    if (g_mousePosition.x < w - LEVEL_AREA_MARGIN) {
      for (size_t i = 0; i < g_placedObjects.size(); ++i) {
        GameObject* o = g_placedObjects[i];
        if (o->name != "ROAD" && o->shape->ContainsPoint(g_editorMouse)) {
          ShowObjectProperties(static_cast<int>(i));
          break;
        }
      }
      if (g_currentKind) PlaceObject();
    }
    const Vec3 mouse(g_mousePosition.x, g_mousePosition.y, 0.0f);
    for (GameObject* entry : g_palette)
      if (entry->shape->ContainsPoint(mouse)) {
        g_dragging = true;
        if (GameObjectFactory* factory = Factory()) g_dragObject = factory->CreateCopy(*entry);
        g_currentKind = entry;
        break;
      }
  }

  if (IsDown(MOUSE_LEFT) && g_dragging) {
    if (g_dragObject) {
      g_dragObject->active = true;
      g_dragObject->SetPosition(g_editorMouse);
    }
  } else if (!IsDown(MOUSE_LEFT) && g_dragObject && g_dragObject->active) {
    g_dragObject->active = false;
    // Only a drop on the field places: one over the panel would hide under it.
    if (g_mousePosition.x < w - LEVEL_AREA_MARGIN && g_currentKind) PlaceObject();
    g_dragging = false;
  }

  if (ConsumeTrigger(MOUSE_RIGHT)) {
    for (GameObject* o : g_placedObjects)
      if (o->shape->ContainsPoint(g_editorMouse)) {
        g_placedObjects.erase(std::remove(g_placedObjects.begin(), g_placedObjects.end(), o), g_placedObjects.end());
        break;
      }
    ResetPropertyBar();
  }
}

void Editor::HandleEditorButtons() {
  const Vec3 mouse(g_mousePosition.x, g_mousePosition.y, 0.0f);
  for (auto& b : g_editorButtons) {
    bool over = b->UnderPoint(mouse);
    if (over && !b->hovered) {
      b->hovered = true;
      b->SetFrame(b->Frame() - 1);
    } else if (!over && b->hovered) {
      b->hovered = false;
      b->SetFrame(b->Frame() + 1);
    }
  }
  if (!g_keyTriggered[MOUSE_LEFT]) return;
  for (auto& b : g_editorButtons) {
    if (!b->UnderPoint(mouse)) continue;
    if (g_renameMode && b->name != "RENAME") continue;
    ConsumeTrigger(MOUSE_LEFT);
    if (b->name == "SNAP") {
      g_snapMode = !g_snapMode;
      ToggleLook(*b);
    } else if (b->name == "RENAME") {
      ToggleLook(*b);
      if (g_renameMode) {
        // Leaving by the button ends the name as Enter does, "MYLEVEL" for an empty one.
        if (g_levelName.empty()) g_levelName = "MYLEVEL";
        g_renameMode = false;
      } else {
        g_renameMode = true;
        g_typedText.clear();
      }
      g_displayName = g_levelName;
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
  if (g_levelCount <= 0) return;
  g_levelIndex = ((g_levelIndex + step) % g_levelCount + g_levelCount) % g_levelCount;
  g_levelName = g_displayName = g_levelNames[g_levelIndex];
}

// ============================================================================
// Placing, loading and saving
// ============================================================================

void Editor::PlaceObject() {
  GameObjectFactory* factory = Factory();
  if (!factory || !g_currentKind) return;
  GameObject* copy = factory->CreateCopy(*g_currentKind);
  copy->name = Upper(copy->name);
  Vec3 p = g_editorMouse;

  if (copy->name == "ROAD") {
    copy->SetScale(1.0f);
    p = SnapToRoadGrid(p);
    copy->SetPosition(Vec3(p.x, p.y, copy->Position().z));
    for (GameObject* o : g_placedObjects) {
      if (o->name != "ROAD") continue;
      Vec3 q = o->Position();
      if (q.x == copy->Position().x && q.y == copy->Position().y) {
        Discard(copy);
        return;
      }
    }
    copy->active = true;
    g_placedObjects.push_back(copy);
    return;
  }

  if (g_snapMode || copy->name == "WALL") p = SnapToWallGrid(p);
  copy->SetPosition(Vec3(p.x, p.y, copy->Position().z));
  const Vec3 at = copy->Position();
  for (GameObject* o : g_placedObjects) {
    if (copy->name == "PLAYER" && o->name == "PLAYER") {
      // There is only ever one player: it moves to where the new one was dropped.
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
  g_placedObjects.push_back(copy);
}

void Editor::LoadNamedLevel() {
  g_levelPath = LEVEL_FOLDER + g_displayName + ".txt";
  // The pictures the file names: the loader's cracked walls are for play, and saving
  // them would turn more of the level's walls cracked every time.
  g_placedObjects = LoadObjectListToEdit(g_levelPath, true);
  ResetPropertyBar();
}

void Editor::SaveEditedLevel() {
  GameObjectFactory* factory = Factory();
  auto hasKind = [](const char* kind) {
    return std::any_of(g_placedObjects.begin(), g_placedObjects.end(), [kind](GameObject* o) { return o->name == kind; });
  };
  auto addPool = [factory](const char* kind, int count) {
    if (!factory) return;
    for (int i = 0; i < count; ++i) {
      GameObject* shot = factory->Create(kind, "../Assets/image/mushroom2.png", Vec3(0, 0, 1), 10, 5, 1);
      g_placedObjects.push_back(shot);
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
  g_levelPath = LEVEL_FOLDER + g_displayName + ".txt";
  SaveLevel(g_placedObjects, g_levelPath);
  ListLevels();
  KeepLevelIndexInList();
}

void Editor::PlayTest() {
  SaveEditedLevel();
  // Only a level the game can list can be played: it needs its player.
  if (!ValidateLevelFile(g_levelPath)) {
    std::printf("The level cannot be played: it has no PLAYER\n");
    std::fflush(stdout);
    return;
  }
  g_playTestPath = g_levelPath;
  g_nextState = STATE_TUTORIAL;
}
