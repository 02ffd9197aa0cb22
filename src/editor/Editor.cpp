#include "editor/Editor.h"
#include "audio/Audio.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "core/System.h"
#include "core/Window.h"
#include "editor/PropertyBar.h"
#include "editor/Recovery.h"
#include "editor/Selection.h"
#include "editor/SoundBar.h"
#include "levels/GenericLevel.h"
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
#include "render/Line.h"
#include "render/SquarePrimitive.h"
#include "render/Texture.h"
#include "platform/Display.h"
#include "platform/KeyCodes.h"
#include "platform/TweakBar.h"
#include <GL/glew.h>
#include <algorithm>
#include <utility>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>

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
constexpr float DRAG_START = 3.0f;       // pixels the pointer travels before a press on the selection drags it
constexpr float NOTE_SECONDS = 4.0f;     // how long a refusal stays on the panel
constexpr const char* GAME_TITLE = "Kvo"; // the caption the game gives its window, put back on the way out
const float SELECTION_COLOUR[3] = {0.98f, 0.76f, 0.26f}; // cheese: seen on grass, roads and walls alike
const Vec3 NOTE_COLOUR(0.96f, 0.76f, 0.26f);
constexpr float NOTE_SCALE = 0.5f;

GameObjectFactory* Factory() { return FindSystem<GameObjectFactory>(); }

void ShowStill(GameObject* o) {
  if (AnimatedTexture* a = o->Animated()) a->SetFrame(SHOWN_FRAME);
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

// A letter pressed with Ctrl is a shortcut: it does not pan while it stays down, even
// after Ctrl is let go first.
bool PanKey(int letter) {
  bool& shortcut = g_editor.shortcutLetters[letter - KEY_A];
  if (!IsDown(letter))
    shortcut = false;
  else if (IsDown(KEY_CTRL))
    shortcut = true;
  return IsDown(letter) && !shortcut;
}

// g_editor.levelIndex always names an entry when there is one.
void KeepLevelIndexInList() {
  if (LevelCount() <= 0)
    g_editor.levelIndex = 0;
  else
    g_editor.levelIndex = std::clamp(g_editor.levelIndex, 0, LevelCount() - 1);
}

bool Unsaved() { return g_editor.history.Unsaved(); }

// The level's own saved object list: the file a save replaces.
std::string SavedListPath() { return LEVEL_FOLDER + g_editor.displayName + ".txt2"; }

// Something a designer placed; the shot pools alone are what a save adds by itself.
bool HasWork() {
  return std::any_of(g_editor.placedObjects.begin(), g_editor.placedObjects.end(),
                     [](GameObject* o) { return o->name != "PROJECTILE" && o->name != "ENEMYPROJECTILE"; });
}

// Leaving, loading or stepping away from changes that would otherwise be dropped asks
// first. A level never saved is not dropped: leaving it keeps its recovery copy, offered
// at the next entry; and an emptied level has nothing to lose that its files do not hold.
bool MustAsk() { return Unsaved() && HasWork() && std::filesystem::exists(SavedListPath()); }

} // namespace

// Takes a copy that was refused back out of the factory.
void DiscardCopy(GameObject* object) {
  GameObjectFactory* factory = Factory();
  if (!factory || !object) return;
  auto& list = factory->objects;
  list.erase(std::remove_if(list.begin(), list.end(), [object](const auto& o) { return o.get() == object; }),
             list.end());
}

// The copy is tested a hair smaller than it is, so that walls may touch.
bool Overlaps(const GameObject& copy, const GameObject& placed) {
  Poly shrunk = *copy.shape;
  auto [low, high] = shrunk.Bounds();
  float half = std::min(high.x - low.x, high.y - low.y) / 2.0f;
  if (half > TOUCH_ALLOWANCE) shrunk.Scale(1.0f - TOUCH_ALLOWANCE / half);
  return placed.shape->Intersects(shrunk);
}

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
  g_input.wheelSteps = 0;
  if (!camera) Load();
  g_editor.hudAnchor = Vec3(w / 2 + camera->x, h / 2 + camera->y, 0.0f);

  font = std::make_unique<Font>();
  font->Init();
  hudBackground = std::make_shared<Texture>("../Assets/image/editorHudBg.png", 1, g_editor.hudAnchor + Vec3(520, 0, 0), 140, 360);
  hudBackground->Init();
  selectionMarker = std::make_shared<Texture>("../Assets/image/editorSelectedIcon.png", 1, Vec3(-10000, -10000, 0), 25, 25);
  selectionMarker->Init();
  noteBand = std::make_shared<SquarePrimitive>(Vec3(), 10, 14, 0.145f, 0.169f, 0.212f, 0.85f);
  noteBand->Init();
  boxLines.clear();
  for (int side = 0; side < 4; ++side) {
    boxLines.push_back(std::make_unique<Line>(Vec3(), Vec3(), SELECTION_COLOUR));
    boxLines.back()->Init();
  }

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

  // Back from a play test the level that was tried out opens again; so does the level the
  // command line named.
  const std::string reopen = PlayTesting() ? PlayTestPath() : std::exchange(g_editor.openAtStart, std::string());
  if (!reopen.empty()) {
    const std::string& path = reopen;
    std::string file = path.substr(path.find_last_of('/') + 1);
    if (file.size() > 4 && file.compare(file.size() - 4, 4, ".txt") == 0) {
      g_editor.levelName = g_editor.displayName = file.substr(0, file.size() - 4);
      auto found = std::find(g_levelNames.begin(), g_levelNames.end(), g_editor.displayName);
      if (found != g_levelNames.end()) g_editor.levelIndex = static_cast<int>(found - g_levelNames.begin());
      LoadNamedLevel();
    }
  } else {
    g_editor.history.Start(g_editor.placedObjects);
    OfferRecovery();
  }
  ShowTitle();
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
  // Over the level buttons, in the free column beside the palette's second row of kinds.
  add("CHECK", Vec3(550, 70, 0), 50, 25, "../Assets/image/CheckBtns.txt", "../Assets/image/CheckBtns.png", 1);
  add("PROVE", Vec3(550, 15, 0), 50, 25, "../Assets/image/CheckBtns.txt", "../Assets/image/CheckBtns.png", 3);
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
  if (!g_editor.windowTitle.empty()) SetWindowCaption(g_screen.window, GAME_TITLE);
  g_editor.windowTitle.clear();
  g_editor.dialog.Release();
  g_editor.pendingAction = ACTION_NONE;
  g_editor.history.Clear();
  g_editor.selection.clear();
  g_editor.clipboard.clear(); // its objects go with the factory's list
  g_editor.groupMove = GroupMove();
  g_editor.box = SelectBox();
  g_editor.view = EditorView();
  g_editor.note.clear();
  g_editor.recoveryName.clear();
  g_editor.recoveryClock = 0.0f;
  boxLines.clear();
  noteBand.reset();
  checkPanel.Release();
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
  // Left for anything but the play test (which saved first): changes the designer was not
  // asked about (the window closed, the game stopped) are kept for the next run; a level
  // left saved or discarded needs its copy no more.
  if (g_loop.nextState != STATE_TUTORIAL) {
    if (Unsaved() && HasWork())
      WriteRecovery();
    else
      DropRecovery();
  }
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
  g_editor.view.Apply(*camera);
  g_editor.mouse = g_editor.view.ToWorld(g_input.mousePosition, *camera);
  g_editor.hudAnchor = Vec3(w / 2 + camera->x, h / 2 + camera->y, 0.0f);

  // What the property bar changed while it was drawn is a step of its own.
  if (!GroupMoving()) RecordChange();
  if (g_editor.dialog.IsOpen()) {
    AnswerDialog();
  } else {
    HandleKeyboard();
    HandleMouse();
  }
  g_editor.view.Apply(*camera); // the wheel may have zoomed
  KeepRecoveryCopy();
  ShowTitle();
  g_editor.noteTime = std::max(0.0f, g_editor.noteTime - g_loop.frameTime);

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

  DrawSelection();
  checkPanel.Draw(*camera);

  hudBackground->Draw();
  // The HUD keeps its place on the screen while the view moves; a mark after the name
  // says the level has changes that are not saved.
  const Vec3 screenCentre(g_screen.width / 2.0f, g_screen.height / 2.0f, 0.0f);
  const std::string mark = !g_editor.renameMode && Unsaved() ? "*" : "";
  font->DrawText(g_editor.displayName + mark, screenCentre + Vec3(460, 325, 0), textColor, 0.6f);
  if (g_editor.noteTime > 0.0f && noteBand) {
    const std::string note = Upper(g_editor.note);
    const float width = TextWidth(note, NOTE_SCALE);
    noteBand->halfWidth = static_cast<int>(width / 2) + 10;
    noteBand->SetPosition(Vec3(width / 2 + 12, g_screen.height - 24.0f, 0.0f), 0.0f);
    noteBand->Draw();
    font->DrawText(note, Vec3(12, g_screen.height - 16.0f, 0.0f), NOTE_COLOUR, NOTE_SCALE);
  }

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
  g_editor.dialog.Draw(*font); // over the bars too: a question waits for its answer

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
  // Escape leaves for the menu (the loop sees it after the frame); a changed level asks first.
  if (g_input.keyTriggered[KEY_ESCAPE] && MustAsk()) {
    ConsumeTrigger(KEY_ESCAPE);
    if (g_editor.renameMode) EndRename();
    Ask(ACTION_LEAVE);
    return;
  }
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

  const bool ctrl = IsDown(KEY_CTRL), shift = IsDown(KEY_SHIFT);
  if (ConsumeTrigger(KEY_F5)) {
    // The play test saves over the level's files: changes to a level that has them ask first.
    CancelGroupMove();
    if (Unsaved() && HasWork()) WriteRecovery();
    if (MustAsk())
      Ask(ACTION_PLAY);
    else
      PlayTest();
    return;
  }
  if (ConsumeTrigger(PROVE_KEY)) {
    Prove();
    return;
  }
  HandleShortcuts(ctrl, shift);
  if (!ctrl && ConsumeTrigger(KEY_K)) ToggleCheck();
  // With Ctrl held the letters are shortcuts, never the bare keys' actions.
  if (!ctrl && !GroupMoving() && ConsumeTrigger(KEY_C)) {
    g_editor.placedObjects.clear();
    ResetPropertyBar();
    RecordChange();
  }
  PanCamera();
}

void Editor::PanCamera() {
  const float w = static_cast<float>(g_screen.width), h = static_cast<float>(g_screen.height);
  const bool up = PanKey(KEY_W), left = PanKey(KEY_A), down = PanKey(KEY_S), right = PanKey(KEY_D);
  if (IsDown(KEY_UP) || up) {
    camera->held = false;
    camera->velocity[1] = static_cast<int>(PAN_STEP);
    camera->viewVelocity[1] = -PAN_STEP / h;
  } else if (IsDown(KEY_DOWN) || down) {
    camera->held = false;
    camera->velocity[1] = -static_cast<int>(PAN_STEP);
    camera->viewVelocity[1] = PAN_STEP / h;
  } else {
    camera->velocity[1] = 0;
    camera->viewVelocity[1] = 0.0f;
  }
  if (IsDown(KEY_LEFT) || left) {
    camera->held = false;
    camera->velocity[0] = -static_cast<int>(PAN_STEP);
    camera->viewVelocity[0] = PAN_STEP / w;
  } else if (IsDown(KEY_RIGHT) || right) {
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
  for (int key : {KEY_C, KEY_F5, PROVE_KEY, KEY_K, KEY_Z, KEY_HOME, KEY_DELETE}) ConsumeTrigger(key);
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
  Zoom();
  ClickCheckPanel();

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
      if (!PressOnSelection(IsDown(KEY_SHIFT))) {
        ClearSelection();
        const unsigned long version = g_editor.history.Version();
        if (g_editor.currentKind) PlaceObject();
        RecordChange();
        // A press that placed nothing on an object picks that object up: it can be dragged.
        const bool placed = g_editor.history.Version() != version;
        if (GameObject* under = placed ? nullptr : ObjectAt(g_editor.mouse)) {
          g_editor.selection = {under};
          PressOnSelection(false);
        }
      }
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
    RecordChange();
  }

  FollowSelection();

  // Not while the selection is carried: what it holds must stay in the level.
  if (ConsumeTrigger(MOUSE_RIGHT) && !GroupMoving()) {
    for (GameObject* o : g_editor.placedObjects)
      if (o->shape->ContainsPoint(g_editor.mouse)) {
        auto& placed = g_editor.placedObjects;
        placed.erase(std::remove(placed.begin(), placed.end(), o), placed.end());
        break;
      }
    ResetPropertyBar();
    RecordChange();
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
      MustAsk() ? Ask(ACTION_LOAD) : Carry(ACTION_LOAD);
    } else if (b->name == "SERIALIZE") {
      SaveEditedLevel();
    } else if (b->name == "PREVIOUS") {
      MustAsk() ? Ask(ACTION_PREVIOUS) : Carry(ACTION_PREVIOUS);
    } else if (b->name == "NEXT") {
      MustAsk() ? Ask(ACTION_NEXT) : Carry(ACTION_NEXT);
    } else if (b->name == "CHECK") {
      ToggleCheck();
    } else if (b->name == "PROVE") {
      Prove();
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
        DiscardCopy(copy);
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
      DiscardCopy(copy);
      return;
    }
    if (copy->name == "WALL" && o->name == "WALL" && o->Position().x == at.x && o->Position().y == at.y) {
      DiscardCopy(copy);
      return;
    }
    if (o->name != "ROAD" && Overlaps(*copy, *o)) {
      DiscardCopy(copy);
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
  // Another level, another history; whatever copy was kept of the last one is done with.
  g_editor.groupMove = GroupMove();
  ClearSelection();
  g_editor.history.Start(g_editor.placedObjects);
  DropRecovery();
  checkPanel.Hide();
}

bool Editor::SaveEditedLevel() {
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
  RecordChange(); // the pools are a change of their own
  g_editor.levelPath = LEVEL_FOLDER + g_editor.displayName + ".txt";
  const FileStamp before = StampOf(g_editor.levelPath + "2");
  SaveLevel(g_editor.placedObjects, g_editor.levelPath);
  const FileStamp after = StampOf(g_editor.levelPath + "2");
  ListLevels();
  KeepLevelIndexInList();
  const bool saved = after.exists && !(after == before);
  if (saved) {
    g_editor.history.MarkSaved();
    DropRecovery();
  }
  RunCheck(); // every save shows what would keep the level from playing as laid out
  return saved;
}

// Saved first, so the autopilot plays what the designer sees, then played through the game.
void Editor::Prove() {
  CancelGroupMove();
  SaveEditedLevel();
  StartProve(g_editor.levelPath);
}

void Editor::ToggleCheck() {
  if (checkPanel.Visible())
    checkPanel.Hide();
  else
    RunCheck();
}

void Editor::RunCheck() {
  checkPanel.Show(CheckLevel(g_editor.placedObjects, KindOfLevel(LEVEL_FOLDER + g_editor.displayName + ".txt")));
}

void Editor::ClickCheckPanel() {
  const Vec3 point(g_input.mousePosition.x, g_input.mousePosition.y, 0.0f);
  if (!checkPanel.Visible() || !checkPanel.Covers(point)) return;
  // The panel lies over the field: what is clicked there is the panel, never the level.
  ConsumeTrigger(MOUSE_RIGHT);
  if (!ConsumeTrigger(MOUSE_LEFT)) return;
  if (const auto at = checkPanel.Click(point)) {
    const Vec3 fieldCentre((g_screen.width - LEVEL_AREA_MARGIN) / 2.0f, g_screen.height / 2.0f, 0.0f);
    g_editor.view.CentreOn(*at, fieldCentre, *camera);
  }
}

void Editor::PlayTest(bool save) {
  if (save)
    SaveEditedLevel();
  else
    g_editor.levelPath = LEVEL_FOLDER + g_editor.displayName + ".txt";
  // Only a level the game can list can be played: it needs its player.
  if (!ValidateLevelFile(g_editor.levelPath)) {
    std::printf("The level cannot be played: it has no PLAYER\n");
    std::fflush(stdout);
    return;
  }
  StartPlayTest(g_editor.levelPath);
  g_loop.nextState = STATE_TUTORIAL;
}

// ============================================================================
// History
// ============================================================================

void Editor::RecordChange() {
  if (!g_editor.history.Record(g_editor.placedObjects)) return;
  ForgetUnplaced();
  ClearProveRoute(); // the route was driven through the level as it was
}

void Editor::UndoOrRedo(bool redo) {
  auto& placed = g_editor.placedObjects;
  if (!(redo ? g_editor.history.Redo(placed) : g_editor.history.Undo(placed))) return;
  // The bar may show an object the step took away.
  ClearSelection();
  ResetPropertyBar();
  ClearProveRoute();
}

// ============================================================================
// Shortcuts, selection and zoom
// ============================================================================

void Editor::HandleShortcuts(bool ctrl, bool shift) {
  if (ConsumeTrigger(KEY_HOME) || (!ctrl && ConsumeTrigger(KEY_Z))) g_editor.view.Reset(g_input.mousePosition, *camera);
  // The selection is in the air while it is dragged: nothing else changes the level meanwhile.
  if (GroupMoving() || !ctrl) {
    if (!GroupMoving() && ConsumeTrigger(KEY_DELETE) && !g_editor.selection.empty()) {
      DeleteSelection();
      ResetPropertyBar();
      RecordChange();
    }
    return;
  }
  if (ConsumeTrigger(KEY_Z)) UndoOrRedo(shift);
  if (ConsumeTrigger(KEY_Y)) UndoOrRedo(true);
  if (ConsumeTrigger(KEY_A)) SelectAllButPlayer();
  if (ConsumeTrigger(KEY_S)) SaveEditedLevel();
  if (ConsumeTrigger(KEY_C)) CopySelection();
  if (ConsumeTrigger(KEY_V)) {
    std::string refusal;
    if (g_input.mousePosition.x >= g_screen.width - LEVEL_AREA_MARGIN)
      Note("Point at the field to paste");
    else if (PasteAt(g_editor.mouse, refusal))
      RecordChange();
    else if (!refusal.empty())
      Note("Paste refused: " + refusal);
  }
}

bool Editor::PressOnSelection(bool shift) {
  const Vec3 screen = g_input.mousePosition;
  if (shift) {
    g_editor.box = SelectBox{true, screen, screen};
    return true;
  }
  GameObject* under = nullptr;
  for (GameObject* o : g_editor.selection)
    if (o->shape->ContainsPoint(g_editor.mouse)) under = o;
  if (!under) return false;
  BeginGroupMove(g_editor.mouse);
  g_editor.groupMove.pressed = screen;
  return true;
}

void Editor::FollowSelection() {
  const Vec3 screen = g_input.mousePosition;
  SelectBox& box = g_editor.box;
  if (box.active) {
    if (IsDown(MOUSE_LEFT)) {
      box.to = screen;
    } else {
      box.active = false;
      const Vec3 from = g_editor.view.ToWorld(box.from, *camera), to = g_editor.view.ToWorld(box.to, *camera);
      // A box no bigger than a click is a click: it adds or takes away one object.
      if (Length2D(box.to - box.from) < DRAG_START)
        ToggleSelected(ObjectAt(from));
      else
        SelectInBox(from, to);
    }
  }
  GroupMove& move = g_editor.groupMove;
  if (!move.active) return;
  if (IsDown(MOUSE_LEFT)) {
    if (Length2D(screen - move.pressed) >= DRAG_START) move.travelling = true;
    if (move.travelling) FollowGroupMove(g_editor.mouse);
    return;
  }
  std::string refusal;
  if (EndGroupMove(refusal))
    RecordChange();
  else if (!refusal.empty())
    Note("Move refused: " + refusal);
}

void Editor::Zoom() {
  const int notches = g_input.wheelSteps;
  g_input.wheelSteps = 0;
  // The panel on the right keeps its size; only the field zooms.
  if (notches != 0 && g_input.mousePosition.x < g_screen.width - LEVEL_AREA_MARGIN)
    g_editor.view.ZoomAbout(g_input.mousePosition, notches, *camera);
  g_editor.mouse = g_editor.view.ToWorld(g_input.mousePosition, *camera); // what the rest of the frame clicks on
}

void Editor::Note(const std::string& text) {
  g_editor.note = text;
  g_editor.noteTime = NOTE_SECONDS;
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

// Outlines over everything placed, so that no neighbour hides them.
void Editor::DrawSelection() {
  // One draw for them all: selecting a whole level outlines thousands of lines.
  OutlineBatch outlines(SELECTION_COLOUR);
  for (GameObject* o : g_editor.selection) outlines.Add(*o->graphic);
  outlines.Draw();
  const SelectBox& box = g_editor.box;
  if (!box.active || boxLines.size() < 4) return;
  const Vec3 a = box.from, b(box.to.x, box.from.y, 0.0f), c = box.to, d(box.from.x, box.to.y, 0.0f);
  boxLines[0]->SetEnds(a, b);
  boxLines[1]->SetEnds(b, c);
  boxLines[2]->SetEnds(c, d);
  boxLines[3]->SetEnds(d, a);
  for (auto& line : boxLines) line->Draw();
}

// ============================================================================
// Questions before changes are lost
// ============================================================================

void Editor::Ask(int action) {
  CancelGroupMove(); // what is asked about is the level as it stands, not a group in the air
  g_editor.box = SelectBox();
  g_editor.pendingAction = action;
  g_editor.dialog.Open(DialogKind::Unsaved, g_editor.displayName);
}

void Editor::Carry(int action) {
  switch (action) {
  case ACTION_LEAVE: g_loop.nextState = STATE_MAIN_MENU; break;
  case ACTION_LOAD: LoadNamedLevel(); break;
  case ACTION_PREVIOUS: StepLevel(-1); break;
  case ACTION_NEXT:
    StepLevel(+1);
    ResetPropertyBar();
    break;
  case ACTION_PLAY: PlayTest(false); break; // saved just now, or discarded: the files are the level
  default: break;
  }
}

void Editor::AnswerDialog() {
  const DialogKind kind = g_editor.dialog.Kind();
  const DialogAnswer answer = g_editor.dialog.Update();
  if (answer == DialogAnswer::None) return;
  g_editor.dialog.Close();
  if (kind == DialogKind::Restore) {
    const std::string name = g_editor.dialog.LevelName();
    if (answer == DialogAnswer::Restore) RestoreRecovery(name);
    if (answer == DialogAnswer::Discard) RemoveRecoveryCopy(name);
    return; // later: the copy waits for the next time the editor opens
  }
  const int action = g_editor.pendingAction;
  g_editor.pendingAction = ACTION_NONE;
  if (answer == DialogAnswer::Stay) return;
  if (answer == DialogAnswer::Save && !SaveEditedLevel()) {
    Note("The level was not saved: it stays open");
    return;
  }
  if (answer == DialogAnswer::Discard) {
    DropRecovery();
    g_editor.groupMove = GroupMove();
    ClearSelection();
    g_editor.history.RevertToSaved(g_editor.placedObjects);
    ResetPropertyBar();
  }
  Carry(action);
}

// ============================================================================
// Recovery copies
// ============================================================================

namespace {

// The name the level is kept under: the one being typed counts once it is confirmed.
std::string KeptName() {
  if (!g_editor.renameMode) return g_editor.displayName;
  return g_editor.levelName.empty() ? "MYLEVEL" : g_editor.levelName;
}

} // namespace

// The newest copy a run left unsaved is offered; older ones wait for the next entries.
void Editor::OfferRecovery() {
  const std::vector<std::string> offers = RecoveryCopiesToOffer();
  if (!offers.empty()) g_editor.dialog.Open(DialogKind::Restore, offers.front());
}

void Editor::RestoreRecovery(const std::string& name) {
  std::vector<GameObject*> recovered = LoadObjectListToEdit(RecoveryPath(name), false);
  if (recovered.empty()) {
    Note("The recovery copy of " + name + " could not be read; it is kept");
    return;
  }
  g_editor.levelName = g_editor.displayName = name;
  auto found = std::find(g_levelNames.begin(), g_levelNames.end(), name);
  if (found != g_levelNames.end()) g_editor.levelIndex = static_cast<int>(found - g_levelNames.begin());
  // The level as saved is where an undo goes back to; the copy is one step on from it.
  if (std::filesystem::exists(SavedListPath())) {
    LoadNamedLevel();
  } else {
    g_editor.levelPath = LEVEL_FOLDER + name + ".txt";
    g_editor.placedObjects.clear();
    g_editor.history.Start(g_editor.placedObjects);
  }
  g_editor.placedObjects = recovered;
  RecordChange();
  ResetPropertyBar();
  g_editor.recoveryName = name;
  g_editor.recoveredVersion = g_editor.history.Version();
}

void Editor::KeepRecoveryCopy() {
  if (!Unsaved() || !HasWork()) {
    DropRecovery(); // back to what the files hold, or nothing at all: nothing to recover
    g_editor.recoveryClock = 0.0f;
    return;
  }
  if (g_editor.history.Version() == g_editor.recoveredVersion && g_editor.recoveryName == KeptName()) {
    g_editor.recoveryClock = 0.0f;
    return;
  }
  g_editor.recoveryClock += g_loop.frameTime;
  if (g_editor.recoveryClock >= RECOVERY_INTERVAL && !g_editor.renameMode) WriteRecovery();
}

bool Editor::WriteRecovery() {
  const std::string name = KeptName();
  g_editor.recoveryClock = 0.0f;
  if (name == g_editor.recoveryName && g_editor.history.Version() == g_editor.recoveredVersion) return true;
  if (!WriteRecoveryCopy(g_editor.placedObjects, name)) return false;
  if (!g_editor.recoveryName.empty() && g_editor.recoveryName != name) RemoveRecoveryCopy(g_editor.recoveryName);
  g_editor.recoveryName = name;
  g_editor.recoveredVersion = g_editor.history.Version();
  return true;
}

void Editor::DropRecovery() {
  if (!g_editor.recoveryName.empty()) RemoveRecoveryCopy(g_editor.recoveryName);
  g_editor.recoveryName.clear();
  g_editor.recoveredVersion = 0;
}

// The level's name on the panel and in the window's caption, marked while it has changes
// that are not saved.
void Editor::ShowTitle() {
  const std::string title = KeptName() + (Unsaved() ? "*" : "") + " - " + GAME_TITLE + " level editor";
  if (title == g_editor.windowTitle) return;
  SetWindowCaption(g_screen.window, title);
  g_editor.windowTitle = title;
}
