#pragma once
// The editor run through the real game loop for a test: a scratch copy of the game's
// content (pictures, sounds, font, palette) with a level folder of the test's own, the
// editor entered as a designer would reach it, and input pushed as SDL events.
#include "platform/TweakBar.h"
#include "support/GameHarness.h"
#include <SDL.h>
#include <string>
#include <vector>

class GameObject;

struct EditorSessionOptions {
  bool shippedLevels = false; // the level folder starts with copies of the game's levels
  bool palette = true;        // false: no EditorHudObj.txt2 at all
  std::string paletteText;    // non-empty: this object list is the palette
};

class EditorSession {
public:
  explicit EditorSession(const EditorSessionOptions& options = {});
  ~EditorSession();

  bool Enter();                 // start-up, then the editor state
  std::string LevelsFolder() const; // the scratch level folder, absolute

  // ---- input: window pixels are worked out from logical screen coordinates ----------
  void MoveTo(float x, float y);
  void Click(float x, float y, int sdlButton = SDL_BUTTON_LEFT);
  void Press(int sdlButton, bool down);
  void Drag(float fromX, float fromY, float toX, float toY);
  void Key(SDL_Scancode key);   // press and release
  // A key as a layout types it: the physical key's press, then the character it gave.
  void TypeKey(SDL_Scancode key, const std::string& text);
  void Type(const std::string& text); // each character on its US key
  void ClickButton(const std::string& name); // one of the editor's own buttons

  // ---- the bars, through Dear ImGui as a designer uses them -------------------------
  std::vector<TwItemInfo> Items(const char* bar) const;
  bool HasItem(const char* bar, const std::string& label) const;
  std::string Value(const char* bar, const std::string& label) const;
  void ClickBarPoint(float x, float y);           // a left click at a point of the bars' space
  void FocusBar(const char* bar);                 // a click on its title, bringing it to the front
  bool ClickItem(const char* bar, const std::string& label);
  bool EnterValue(const char* bar, const std::string& label, const std::string& text);

  std::string realAssets;  // taken before the scratch tree becomes the working directory
  std::string realShaders;
  ScratchTree tree;
  GameHarness harness;
};

// Whitespace-separated tokens of a file; empty when it cannot be read.
std::vector<std::string> FileTokens(const std::string& path);
