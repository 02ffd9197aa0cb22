#pragma once
#include "core/Vec3.h"
#include <memory>
#include <string>
#include <vector>

class AnimatedTexture;
class Button;
class Font;
class SquarePrimitive;

// The editor's questions, drawn as the game's quit confirmation is (the board of the
// pause panel and the game's buttons, over a veil) and answered with the mouse, the
// keyboard or the pad:
//
//   unsaved changes:  SAVE (S)    DISCARD (D)   STAY (Escape)
//   recovery copy:    RESTORE (R) DISCARD (D)   later (Escape)
//
// Left and right (arrows, d-pad) move the highlight, Enter or the pad's A takes it; B or
// Start is Escape, X discards. While a question is open it takes every key and click.

enum class DialogKind { Unsaved, Restore };
enum class DialogAnswer { None, Save, Discard, Stay, Restore, Later };

class EditorDialog {
public:
  void Open(DialogKind kind, const std::string& levelName); // pictures are made on first use
  void Close();
  bool IsOpen() const { return open; }
  DialogKind Kind() const { return kind; }
  const std::string& LevelName() const { return levelName; }
  int Highlighted() const { return highlighted; }
  // This frame's input; the answer once one is given, None until then.
  DialogAnswer Update();
  void Draw(Font& font);
  void Release(); // the pictures go with the editor's run

private:
  void Make();
  void Layout();
  DialogAnswer Take(int index) const;

  bool open = false;
  DialogKind kind = DialogKind::Unsaved;
  std::string levelName;
  int highlighted = 0;       // the button Enter or A takes
  Vec3 lastMouse;            // the pointer moves the highlight only when it moves
  std::shared_ptr<AnimatedTexture> board;
  std::shared_ptr<SquarePrimitive> veil;
  std::vector<std::shared_ptr<Button>> buttons; // SAVE, DISCARD, STAY, RESTORE
  std::vector<int> shown;                       // indices into buttons, left to right
};
