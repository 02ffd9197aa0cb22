#pragma once
#include <memory>

#include "levels/FrontEnd.h"
#include "render/Font.h"
#include "render/Texture.h"
#include "screens/Button.h"

// The panel a level shows when it ends: the win or lose picture, the score with the pizza's
// multiplier, whether it made the highscore table, and the button that moves on. A result
// is ranked and stored once, on the first Draw.
class WinLoseScreen : public EndScreen {
public:
  WinLoseScreen();

  // won chooses the picture; the button advances levelIndex after a win (the campaign has
  // three levels, then the menu) and replays the level after a loss.
  void Update(bool won, int& levelIndex) override;
  void Draw() override;

  // What the button does once clicked, and where the result is kept (the first Draw's line
  // under the total): the campaign's way here, a level of MY LEVELS has its own.
  virtual void MoveOn(bool won, int& levelIndex);
  virtual std::string KeepResult(int total);

  // The pizza's warmth that counts: the thermometer while the pizza is carried, within
  // [0, 1]; 0 otherwise (and the thermometer is then set to 0).
  float Warmth();
  // (t / 2 + 1) * score, rounded half away from zero, within int.
  static int TotalScore(float t, int score);
  // The multiplier line's digits after "1 . ": (int)(t * 50), at least two of them.
  static std::string MultiplierDigits(float t);

  std::shared_ptr<Texture> winPicture;
  std::shared_ptr<Texture> losePicture;
  std::shared_ptr<Button> endButton;
  std::shared_ptr<Button> watchButton; // the run just played, when it was kept
  std::shared_ptr<Font> font;
  Vec3 hoverPoint;
  bool won = false;
  bool ranked = false; // the first Draw has ranked the result
  std::string resultLine; // what KeepResult said
};

// Installs the garage and end-screen makers in g_frontEnd.
void InstallFrontEndScreens();
