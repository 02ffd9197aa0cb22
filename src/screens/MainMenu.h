#pragma once
#include <memory>
#include <vector>

#include "core/Level.h"
#include "render/Camera.h"
#include "render/Font.h"
#include "render/SquarePrimitive.h"
#include "render/Texture.h"
#include "screens/Button.h"

class Highscore;

// The first state: the studio splash (once per run), then the menu with six buttons and
// its overlays (how to play, credits, the highscore table, the quit confirmation). The
// pause panel runs over it as over the levels.
class MainMenu : public Level {
public:
  // The six buttons of the board, in the order they are drawn top to bottom, then MY LEVELS
  // on its own left of the board (the pad's left and right go to it and back).
  enum : int { CAMPAIGN = 0, TUTORIAL = 1, HOW_TO_PLAY = 2, HIGHSCORES = 3, CREDITS = 4, QUIT = 5, BUTTON_COUNT = 6 };
  enum : int { MY_LEVELS = 6 };

  void Initialize() override;
  void Update() override;
  void Draw() override;
  void Free() override;   // may run any number of times; Unload does what it does and more
  void Unload() override;
  void HandleKeyboard() override;
  void HandleMouse() override;
  void HandleGamepad(Gamepad& pad, GameObject* player) override;

  // What a button does when chosen, by mouse or by pad.
  void Activate(int index);

private:
  void DrawSplash();
  void DrawMenu();

  std::shared_ptr<Texture> background;
  std::shared_ptr<Camera> camera;
  std::shared_ptr<Font> font;
  bool frameDrawn = false; // a frame has been drawn since Initialize
};

// ---- the menu's state ------------------------------------------------------------------
// Everything the menu's screens keep between frames. Beside the menu itself, the pause
// panel opens how to play, the highscore overlay closes itself, and the end screens rank
// their result in `highscore`. Reset by assignment.
struct MenuState {
  std::vector<std::shared_ptr<Button>> buttons; // the six, by MainMenu's indices
  std::shared_ptr<Button> myLevels;             // MY LEVELS, left of the board
  std::shared_ptr<Button> backButton;           // the overlays' back button
  std::shared_ptr<Button> confirmNo;            // the quit dialog's buttons
  std::shared_ptr<Button> confirmYes;
  std::shared_ptr<AnimatedTexture> dialogBack;  // the quit dialog's board
  bool showCredits = false;
  bool showHowToPlay = false;
  bool showHighscores = false;
  bool confirmQuit = false;
  bool splashLoaded = false;   // splash picture and veil made; they live for the run
  bool splashDone = false;     // the splash has been shown; it is not shown again this run
  bool splashBlocking = false; // the splash is running; the menu's update does nothing
  float splashTime = 0.0f;     // seconds of splash shown
  float splashAlpha = 1.0f;    // the splash veil's alpha
  float fadeAlpha = 1.0f;      // the menu's fade-in veil; falls below 0 and stays drawn-invisible
  int selection = 0;           // the pad's button, an index into buttons, or MY_LEVELS
  bool stickLatched = false;   // the stick has moved the selection and not yet come back to centre
  std::shared_ptr<Highscore> highscore; // made by the menu, used by the end screens
};
extern MenuState g_menu;

// ---- the how-to-play and credits pictures ------------------------------------------
// Drawn by the pause panel wherever it runs (the panel's how-to-play button opens them in
// the levels too); made on first use. Escape closes both.
void DrawMenuPictures();
bool MenuPictureOpen(); // how-to-play or credits shows
// Lets every picture the menu made go (end of the run).
void ReleaseMenuPictures();
