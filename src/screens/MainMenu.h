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
  // The six buttons, in the order they are drawn top to bottom.
  enum : int { CAMPAIGN = 0, TUTORIAL = 1, HOW_TO_PLAY = 2, HIGHSCORES = 3, CREDITS = 4, QUIT = 5, BUTTON_COUNT = 6 };

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

// ---- shared by the menu, the pause panel and the highscore table -----------------------
extern std::vector<std::shared_ptr<Button>> g_menuButtons; // the six, by MainMenu's indices
extern std::shared_ptr<Button> g_backButton;      // the overlays' back button
extern std::shared_ptr<Button> g_confirmNo;       // the quit dialog's buttons
extern std::shared_ptr<Button> g_confirmYes;
extern std::shared_ptr<AnimatedTexture> g_dialogBack; // the quit dialog's board
extern bool g_showCredits;
extern bool g_showHowToPlay;
extern bool g_showHighscores;
extern bool g_confirmQuit;
extern bool g_splashLoaded;   // splash picture and veil made; they live for the run
extern bool g_splashDone;     // the splash has been shown; it is not shown again this run
extern bool g_splashBlocking; // the splash is running; the menu's update does nothing
extern float g_splashTime;    // seconds of splash shown
extern float g_splashAlpha;   // the splash veil's alpha
extern float g_menuFadeAlpha; // the menu's fade-in veil; falls below 0 and stays drawn-invisible
extern int g_menuSelection;   // the pad's button, an index into g_menuButtons
extern bool g_stickLatched;   // the stick has moved the selection and not yet come back to centre
extern std::shared_ptr<Highscore> g_highscore; // made by the menu, used by the end screens

// ---- the how-to-play and credits pictures ------------------------------------------
// Drawn by the pause panel wherever it runs (the panel's how-to-play button opens them in
// the levels too); made on first use. Escape closes both.
void DrawMenuPictures();
bool MenuPictureOpen(); // how-to-play or credits shows
// Lets every picture the menu made go (end of the run).
void ReleaseMenuPictures();
