#include "support/EditorSession.h"
#include "core/GameState.h"
#include "core/Window.h"
#include "editor/Editor.h"
#include "screens/Button.h"
#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

static std::string RealAssets() { return fs::absolute("../Assets").lexically_normal().string(); }
static std::string RealShaders() { return fs::absolute("../shaders").lexically_normal().string(); }

EditorSession::EditorSession(const EditorSessionOptions& options) : realAssets(RealAssets()), realShaders(RealShaders()) {
  const fs::path root(tree.root);
  fs::remove(root / "shaders");
  fs::create_directory_symlink(realShaders, root / "shaders");
  for (const auto& entry : fs::directory_iterator(realAssets)) {
    const std::string name = entry.path().filename().string();
    if (name == "Levels" || name == "EditorHudObj.txt2" || name == "Highscore.txt") continue;
    fs::create_symlink(entry.path(), root / "Assets" / name);
  }
  fs::create_directories(root / "Assets" / "Levels");
  if (options.shippedLevels && fs::exists(fs::path(realAssets) / "Levels"))
    for (const auto& entry : fs::directory_iterator(fs::path(realAssets) / "Levels"))
      fs::copy_file(entry.path(), root / "Assets" / "Levels" / entry.path().filename());
  if (!options.paletteText.empty())
    tree.Write("Assets/EditorHudObj.txt2", options.paletteText);
  else if (options.palette)
    fs::copy_file(fs::path(realAssets) / "EditorHudObj.txt2", root / "Assets" / "EditorHudObj.txt2");
  harness.Install<Editor>(STATE_EDITOR);
}

EditorSession::~EditorSession() { harness.Stop(); }

bool EditorSession::Enter() {
  if (!harness.Start()) return false;
  g_loop.nextState = STATE_EDITOR;
  bool entered = harness.FramesUntil([] { return g_loop.currentState == STATE_EDITOR; });
  harness.Frame(3);
  return entered;
}

std::string EditorSession::LevelsFolder() const { return (fs::path(tree.root) / "Assets" / "Levels").string(); }

// ============================================================================
// Input
// ============================================================================

void EditorSession::MoveTo(float x, float y) {
  harness.MouseMoveToLogical(x, y);
  harness.Drain();
}

void EditorSession::Press(int sdlButton, bool down) {
  harness.MouseButton(sdlButton, down);
  harness.Drain();
}

void EditorSession::Click(float x, float y, int sdlButton) {
  MoveTo(x, y);
  Press(sdlButton, true);
  Press(sdlButton, false);
  harness.Frame(); // what the click changed on a bar is drawn, and measured, once more
}

void EditorSession::Drag(float fromX, float fromY, float toX, float toY) {
  MoveTo(fromX, fromY);
  Press(SDL_BUTTON_LEFT, true);
  MoveTo((fromX + toX) / 2, (fromY + toY) / 2);
  MoveTo(toX, toY);
  Press(SDL_BUTTON_LEFT, false);
}

void EditorSession::Key(SDL_Scancode key) { harness.TapKey(key); }

// A keyboard's characters come only while the game has text input on, as SDL sends
// them; pushed by hand they would arrive regardless.
static void PushTyped(SDL_Window* window, const std::string& text) {
  if (!SDL_IsTextInputActive()) return;
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  e.text.windowID = SDL_GetWindowID(window);
  SDL_strlcpy(e.text.text, text.c_str(), sizeof e.text.text);
  SDL_PushEvent(&e);
}

void EditorSession::TypeKey(SDL_Scancode key, const std::string& text) {
  harness.Key(key, true);
  harness.Drain();
  PushTyped(harness.Sdl(), text);
  harness.Drain();
  harness.Key(key, false);
  harness.Drain();
}

void EditorSession::Type(const std::string& text) {
  for (char c : text) {
    SDL_Scancode key = SDL_SCANCODE_UNKNOWN;
    if (c >= 'a' && c <= 'z') key = static_cast<SDL_Scancode>(SDL_SCANCODE_A + (c - 'a'));
    else if (c >= 'A' && c <= 'Z') key = static_cast<SDL_Scancode>(SDL_SCANCODE_A + (c - 'A'));
    else if (c >= '1' && c <= '9') key = static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (c - '1'));
    else if (c == '0') key = SDL_SCANCODE_0;
    else if (c == ' ') key = SDL_SCANCODE_SPACE;
    TypeKey(key, std::string(1, c));
  }
}

void EditorSession::ClickButton(const std::string& name) {
  for (auto& b : g_editor.buttons)
    if (b->name == name) {
      auto [low, high] = b->shape->Bounds();
      Click((low.x + high.x) / 2, (low.y + high.y) / 2);
      return;
    }
}

// ============================================================================
// Bars
// ============================================================================

std::vector<TwItemInfo> EditorSession::Items(const char* bar) const { return TwBarItems(TwFindBar(bar)); }

bool EditorSession::HasItem(const char* bar, const std::string& label) const {
  for (const TwItemInfo& item : Items(bar))
    if (item.label == label) return true;
  return false;
}

std::string EditorSession::Value(const char* bar, const std::string& label) const {
  for (const TwItemInfo& item : Items(bar))
    if (item.label == label) return item.value;
  return "<none>";
}

// The bars' space lies on the game's picture, wherever that is in the window.
void EditorSession::ClickBarPoint(float x, float y) {
  int px = 0, py = 0;
  TwToWindowPixels(x, y, px, py);
  harness.MouseMove(px, py);
  harness.Drain();
  Press(SDL_BUTTON_LEFT, true);
  Press(SDL_BUTTON_LEFT, false);
  harness.Frame();
}

void EditorSession::FocusBar(const char* bar) {
  int x = 0, y = 0, w = 0, h = 0;
  if (!TwBarPlacement(TwFindBar(bar), x, y, w, h)) return;
  ClickBarPoint(static_cast<float>(x + 20), static_cast<float>(y + 8));
}

static bool FindItem(const std::vector<TwItemInfo>& items, const std::string& label, TwItemInfo& out) {
  for (const TwItemInfo& item : items)
    if (item.label == label && item.width > 0) {
      out = item;
      return true;
    }
  return false;
}

bool EditorSession::ClickItem(const char* bar, const std::string& label) {
  TwItemInfo item;
  if (!FindItem(Items(bar), label, item)) return false;
  // Rows below the bar's view are scrolled to with the wheel, as a designer does.
  int x = 0, y = 0, w = 0, h = 0;
  TwBarPlacement(TwFindBar(bar), x, y, w, h);
  for (int turn = 0; turn < 40 && !item.visible; ++turn) {
    int px = 0, py = 0;
    TwToWindowPixels(static_cast<float>(x + w / 2), static_cast<float>(y + h / 2), px, py);
    harness.MouseMove(px, py);
    harness.Drain();
    harness.MouseWheel(item.y < y ? 1 : -1);
    harness.Drain();
    harness.Frame();
    if (!FindItem(Items(bar), label, item)) return false;
  }
  if (!item.visible) return false;
  // Buttons in their middle; values near their left end, clear of any step buttons.
  float px = item.kind == "button" ? item.x + item.width / 2 : item.x + std::min(10.0f, item.width / 2);
  ClickBarPoint(px, item.y + item.height / 2);
  return true;
}

bool EditorSession::EnterValue(const char* bar, const std::string& label, const std::string& text) {
  if (!ClickItem(bar, label)) return false;
  harness.Frame(); // the field knows it has the keyboard, and text input is on
  PushTyped(harness.Sdl(), text);
  harness.Drain();
  Key(SDL_SCANCODE_RETURN);
  harness.Frame(2);
  return true;
}

std::vector<std::string> FileTokens(const std::string& path) {
  std::vector<std::string> tokens;
  std::ifstream in(path);
  std::string token;
  while (in >> token) tokens.push_back(token);
  return tokens;
}
