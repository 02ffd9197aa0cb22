#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/Controls.h"
#include "core/Vec3.h"

class Button;
class Font;
class SquarePrimitive;
class Texture;

// The CONTROLS page the pause panel opens: every action of play with its key and pad
// button. Choosing a row (a click, Enter or the pad's A) waits for the new key or pad
// button; a key another action holds asks whether to swap, in the panel's own dialog.
// Escape or the pad's B (or BACK) goes back to the pause panel. While the page is open the
// keys and the pad reach it as they are, not as play turns them.
class ControlsPage {
public:
  ControlsPage(); // the pictures (the GL context must exist)
  ~ControlsPage();

  void Open();
  void Close();
  bool IsOpen() const { return open; }
  void Update(); // from the pause panel's Update while the page is open
  void Draw();

  // ---- what a test or the screenshot reads -----------------------------------------
  int selected = 0;          // the row the keys and pad move, 0..ACTION_COUNT-1
  bool waiting = false;      // the selected row waits for its new key or button
  bool swapAsked = false;    // the swap question is shown
  std::string hint;          // the line under the rows

private:
  void Choose(int row);
  void Hear();               // a key or pad button while waiting
  void Offer(int code, bool pad, Action holder);
  void AnswerSwap(bool yes);
  void UpdateRows();
  void UpdateSwap();
  bool ClickOn(Button& button);
  int RowUnder(const Vec3& point) const;
  bool PadPressed(int padInput) const;
  void DrawCentred(const std::string& text, float x, float y, const Vec3& colour, float scale);

  bool open = false;
  int offered = 0;           // the key or pad input the swap question is about
  bool offeredPad = false;
  Action offeredHolder = Action::DriveForward;
  bool triggerWasDown[2] = {false, false}; // the triggers as the last frame saw them
  std::unique_ptr<Texture> page;
  std::unique_ptr<Texture> swapPanel;
  std::unique_ptr<SquarePrimitive> highlight;
  std::unique_ptr<Font> font;
  std::shared_ptr<Button> back, defaults, yes, no;
};

// The board under the pause panel: CONTROLS, the display mode and the screen shake.
class ComfortStrip {
public:
  ComfortStrip();
  ~ComfortStrip();
  void Update(ControlsPage& page); // from the pause panel's Update while its buttons show
  void Draw();

private:
  std::unique_ptr<Texture> board;
  std::shared_ptr<Button> controls, display, shake;
};
