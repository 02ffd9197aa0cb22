#include "screens/MainMenu.h"
#include "audio/Audio.h"
#include "core/Controls.h"
#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/System.h"
#include "core/Window.h"
#include "levels/FrontEnd.h"
#include "levels/Hud.h"
#include "levels/LevelFile.h"
#include "objects/GameObjectFactory.h"
#include "platform/Focus.h"
#include "platform/KeyCodes.h"
#include "screens/CampaignPick.h"
#include "screens/Highscore.h"
#include "screens/MyLevels.h"
#include <GL/glew.h>
#include <cstdio>

// ============================================================================
// The menu's state
// ============================================================================

MenuState g_menu;

namespace {

// The splash lives for the run: it is shown once.
std::shared_ptr<Texture> s_splash;
std::shared_ptr<SquarePrimitive> s_veil;
// The pictures behind the how-to-play and credits overlays.
std::shared_ptr<Texture> s_credits;
std::shared_ptr<Texture> s_howToPlay;
std::unique_ptr<KeyCaps> s_howToPlayCaps; // the player's own keys over the page's picture

// The frames of each menu button on the shared sheet: idle, and hover one further.
constexpr unsigned int IDLE_FRAME[MainMenu::BUTTON_COUNT] = {8, 6, 0, 4, 2, 10};
constexpr float MENU_X = 1065.0f;
constexpr float MENU_TOP = 345.0f;
constexpr float MENU_STEP = 61.0f;
// MY LEVELS, left of the board at the first button's height.
constexpr unsigned int MY_LEVELS_FRAME = 12;
constexpr float MY_LEVELS_X = 320.0f;
constexpr int KEY_M = KEY_A + 12; // opens MY LEVELS
constexpr float SPLASH_SECONDS = 3.0f;
constexpr float SLOW_FRAME = 0.1f; // frames this long or longer do not advance the splash

void MakeBackButton() {
  if (!g_menu.backButton)
    g_menu.backButton = std::make_shared<Button>(1, Vec3(1200, 50), 25, 25, "back", "../Assets/image/mech1.txt",
                                                 "../Assets/image/mech1.png");
}

// The how-to-play page is a picture of the game's own keys: the keys and buttons the
// player bound anew are written over it where it shows them (picture pixels, from its
// top-left corner).
void DrawHowToPlayBindings(const Vec3& pictureCentre) {
  if (!s_howToPlayCaps) return;
  const Vec3 corner = pictureCentre - Vec3(640.0f, 345.0f, 0.0f);
  struct Cap { Action action; float x, y, w; };
  static constexpr Cap CAPS[] = {{Action::DriveForward, 482, 180, 38}, {Action::DriveBack, 526, 180, 38},
                                 {Action::TurnLeft, 482, 234, 38},     {Action::TurnRight, 526, 234, 38},
                                 {Action::MainGun, 500, 288, 76},      {Action::LeftGun, 482, 342, 38},
                                 {Action::RightGun, 526, 342, 38},     {Action::Talk, 482, 396, 38}};
  for (const Cap& cap : CAPS)
    if (KeyFor(cap.action) != InfoOf(cap.action).defaultKey)
      s_howToPlayCaps->Draw(KeyName(KeyFor(cap.action)), corner + Vec3(cap.x, cap.y, 0.0f), cap.w, cap.w, 32.0f, 0.55f);
  auto lines = [&](float x, float y, float w, float h, float scale, std::initializer_list<std::string> text) {
    s_howToPlayCaps->Board(corner + Vec3(x + w / 2.0f, y + h / 2.0f, 0.0f), w, h);
    float line = y + 20.0f;
    for (const std::string& t : text) {
      s_howToPlayCaps->Text(t, corner + Vec3(x + 6.0f, line, 0.0f), scale);
      line += 28.0f;
    }
  };
  Bindings own = DefaultBindings();
  bool padMoved = false;
  for (int a = 0; a < ACTION_COUNT; ++a) padMoved = padMoved || g_controls.bound.pad[a] != own.pad[a];
  if (padMoved)
    lines(455.0f, 530.0f, 385.0f, 90.0f, 0.55f,
          {"Left stick: drive. Right stick: turn.",
           PadName(PadFor(Action::MainGun)) + ": main gun. " + PadName(PadFor(Action::LeftGun)) + " / " +
               PadName(PadFor(Action::RightGun)) + ": side guns.",
           PadName(PadFor(Action::Talk)) + ": talk and garage. " + PadName(PadFor(Action::Pause)) + ": pause."});
  if (KeyFor(Action::Talk) != InfoOf(Action::Talk).defaultKey)
    lines(945.0f, 538.0f, 300.0f, 56.0f, 0.45f,
          {"At a garage, press " + KeyName(KeyFor(Action::Talk)) + " to fit", "other side guns: SPRAY, SPLIT, BOOM."});
}

void MakeMenuPictures() {
  const Vec3 centre(g_screen.width / 2.0f, g_screen.height / 2.0f);
  if (!s_credits) {
    s_credits = std::make_shared<Texture>("../Assets/image/pic/creditscreen.png", 1, centre, 640, 345);
    s_credits->Init();
  }
  if (!s_howToPlay) {
    s_howToPlay = std::make_shared<Texture>("../Assets/image/pic/howtoplay.png", 1, centre, 640, 345);
    s_howToPlay->Init();
  }
  if (!s_howToPlayCaps) s_howToPlayCaps = std::make_unique<KeyCaps>();
  MakeBackButton();
}

void SilenceEffects() {
  if (g_audio) g_audio->SetEffectsVolume(0.0f);
}

void MoveSelection(int step) {
  // Up and down walk the board; from MY LEVELS they come back to it at its first button.
  if (g_menu.selection == MainMenu::MY_LEVELS) {
    g_menu.selection = MainMenu::CAMPAIGN;
    return;
  }
  g_menu.selection = (g_menu.selection + step + MainMenu::BUTTON_COUNT) % MainMenu::BUTTON_COUNT;
}

// The menu's own overlays of the player's game: the list of MY LEVELS and the campaign's pick.
bool PlayerOverlayOpen() { return g_myLevels.open || CampaignPickOpen(); }

} // namespace

// ============================================================================
// The overlays the pause panel draws
// ============================================================================

bool MenuPictureOpen() { return g_menu.showCredits || g_menu.showHowToPlay; }

void DrawMenuPictures() {
  if (!MenuPictureOpen()) return;
  MakeMenuPictures();
  if (g_menu.showCredits) {
    g_menu.backButton->SetPosition(Vec3(1200, 50));
    s_credits->Draw();
    g_menu.backButton->Draw();
    if (!g_menu.showHowToPlay && g_menu.backButton->Clicked()) g_menu.showCredits = false;
  }
  if (g_menu.showHowToPlay) {
    g_menu.backButton->SetPosition(Vec3(1100, 125));
    s_howToPlay->Draw();
    DrawHowToPlayBindings(Vec3(s_howToPlay->center[0], s_howToPlay->center[1], 0.0f));
    g_menu.backButton->Draw();
    if (g_menu.backButton->Clicked()) {
      std::printf("This is clicked\n");
      g_menu.showHowToPlay = false;
    }
  }
  // The pad has no pointer on the back button: B goes back.
  const bool padBack = g_gamepad.triggered[PAD_B];
  if (ConsumeTrigger(KEY_ESCAPE) || padBack) {
    g_gamepad.triggered[PAD_B] = false;
    g_menu.showCredits = g_menu.showHowToPlay = false;
  }
}

void ReleaseMenuPictures() {
  s_credits.reset();
  s_howToPlay.reset();
  s_howToPlayCaps.reset();
  s_splash.reset();
  s_veil.reset();
  g_menu.backButton.reset();
  g_menu.confirmNo.reset();
  g_menu.confirmYes.reset();
  g_menu.dialogBack.reset();
  g_menu.buttons.clear();
  g_menu.myLevels.reset();
  g_menu.highscore.reset();
  ReleaseMyLevels();
  ReleaseCampaignPick();
}

// ============================================================================
// MainMenu
// ============================================================================

void MainMenu::Initialize() {
  const float w = static_cast<float>(g_screen.width), h = static_cast<float>(g_screen.height);
  if (!g_menu.splashLoaded) {
    s_splash = std::make_shared<Texture>("../Assets/image/KelvaneSS.png", 1, Vec3(640, 350), 300, 150);
    s_splash->Init();
    s_veil = std::make_shared<SquarePrimitive>(Vec3(640, 350), 800, 400, 0.0f, 0.0f, 0.0f, 1.0f);
    s_veil->Init();
    g_menu.splashLoaded = true;
  }
  g_menu.splashBlocking = !g_menu.splashDone;
  // The overlays' two large pictures are not on the first frame: they are made once a
  // frame is up (Update), so the window shows the game sooner.
  MakeBackButton();
  frameDrawn = false;
  g_menu.showCredits = g_menu.showHowToPlay = false;
  g_menu.selection = 0;

  g_menu.highscore = std::make_shared<Highscore>();
  g_menu.showHighscores = g_menu.confirmQuit = g_menu.stickLatched = false;

  g_menu.dialogBack = std::make_shared<AnimatedTexture>("../Assets/image/optiontmp/pauseback.png", 1,
                                                        Vec3(w / 2, h / 2), 300, 200,
                                                        "../Assets/image/optiontmp/pauseback.txt");
  g_menu.dialogBack->Init();
  const std::string folder = "../Assets/image/optiontmp/button/";
  g_menu.confirmNo = std::make_shared<Button>(1, Vec3(w / 2 + 90, h / 2), 60, 35, "confirm",
                                              folder + "confirm.txt", folder + "confirm.png");
  g_menu.confirmYes = std::make_shared<Button>(1, Vec3(w / 2 - 90, h / 2), 60, 35, "confirmyes",
                                               folder + "confirmyes.txt", folder + "confirmyes.png");

  background = std::make_shared<Texture>("../Assets/image/mainmenuBackground.png", 1, Vec3(640, 350), 640, 370);
  background->Init();
  camera = std::make_shared<Camera>(0.0f, 0.0f, 1.0f);

  g_menu.buttons.clear();
  for (int i = 0; i < BUTTON_COUNT; ++i)
    g_menu.buttons.push_back(std::make_shared<Button>(1, Vec3(MENU_X, MENU_TOP + MENU_STEP * i), 200, 30, "DEFAULT",
                                                      "../Assets/image/mainmenuBtns.txt",
                                                      "../Assets/image/mainmenuBtns.png"));
  g_menu.myLevels = std::make_shared<Button>(1, Vec3(MY_LEVELS_X, MENU_TOP), 200, 30, "DEFAULT",
                                             "../Assets/image/mainmenuBtns.txt", "../Assets/image/mainmenuBtns.png");
  g_menu.backButton->SetPosition(Vec3(1200, 50));
  for (int i = 0; i < BUTTON_COUNT; ++i) g_menu.buttons[i]->SetFrame(IDLE_FRAME[i]);
  g_menu.myLevels->SetFrame(MY_LEVELS_FRAME);

  PlayMusicSlot(1);
  if (g_frontEnd.pausePanel) g_frontEnd.pausePanel->ApplyVolumes();

  font = std::make_shared<Font>();
  font->Init();
  g_menu.dialogBack->SetFrame(1);
  ListLevels();
  g_loop.paused = false;
  // A level of MY LEVELS won: back to the list, read again with the new bests.
  CloseCampaignPick();
  CloseMyLevels();
  if (g_myLevels.reopen) OpenMyLevels();
  g_myLevels.reopen = false;
}

void MainMenu::Update() {
  if (frameDrawn) MakeMenuPictures();
  const bool focus = HasKeyboardFocus();
  if (g_audio) g_audio->suspended = !focus;
  if (!focus) g_loop.paused = true; // the panel opens when the player goes elsewhere

  if (!g_menu.splashBlocking) {
    PausePanel* panel = g_frontEnd.pausePanel.get();
    if (MenuPictureOpen()) {
      g_gamepad.Update(); // B closes the picture (DrawMenuPictures)
    } else if (g_loop.paused) {
      if (panel) panel->Update();
    } else if (PlayerOverlayOpen()) {
      g_gamepad.Update();
      if (g_myLevels.open) UpdateMyLevels();
      else UpdateCampaignPick();
    } else if (g_menu.showHighscores) {
      g_gamepad.Update(); // A closes the table (Highscore::Update)
      if (panel) panel->Update();
    } else {
      HandleKeyboard();
      HandleMouse();
      HandleGamepad(g_gamepad, nullptr);
      if (!MenuPictureOpen() && panel) panel->Update();
    }
  }

  if (g_audio) g_audio->Update(g_loop.frameTime, focus);
  if (g_menu.showHighscores && g_menu.highscore) g_menu.highscore->Update();
}

void MainMenu::Activate(int index) {
  switch (index) {
  case CAMPAIGN: StartCampaign(); break;
  case TUTORIAL: g_loop.nextState = STATE_TUTORIAL; break;
  case HOW_TO_PLAY: g_menu.showHowToPlay = true; break;
  case HIGHSCORES:
    if (g_menu.highscore) g_menu.highscore->Update();
    g_menu.showHighscores = true;
    break;
  case CREDITS: g_menu.showCredits = true; break;
  case QUIT: g_menu.confirmQuit = true; break;
  case MY_LEVELS: OpenMyLevels(); break;
  default: break;
  }
}

void MainMenu::HandleKeyboard() {
  if (ConsumeTrigger(KEY_ENTER)) StartCampaign();
  if (ConsumeTrigger(KEY_T)) g_loop.nextState = STATE_TUTORIAL;
  if (ConsumeTrigger(KEY_E)) g_loop.nextState = STATE_EDITOR; // the level editor
  if (ConsumeTrigger(KEY_M)) OpenMyLevels();
}

void MainMenu::HandleMouse() {
  auto menuButton = [this](int index) {
    Button& b = index == MY_LEVELS ? *g_menu.myLevels : *g_menu.buttons[index];
    const bool over = b.UnderMouse();
    const unsigned int idle = index == MY_LEVELS ? MY_LEVELS_FRAME : IDLE_FRAME[index];
    b.SetFrame(over ? idle + 1 : idle);
    if (over && ConsumeTrigger(MOUSE_LEFT)) Activate(index);
  };
  if (g_menu.buttons.size() < BUTTON_COUNT || !g_menu.myLevels) return;
  // The order the game has always tested them in: one click reaches only the first.
  menuButton(CAMPAIGN);
  menuButton(QUIT);
  menuButton(TUTORIAL);
  menuButton(HIGHSCORES);
  if (g_menu.confirmQuit && g_menu.confirmNo && g_menu.confirmYes) {
    g_menu.confirmNo->SetFrame(g_menu.confirmNo->UnderMouse() ? 1 : 0);
    if (g_menu.confirmNo->Clicked()) g_menu.confirmQuit = false;
    g_menu.confirmYes->SetFrame(g_menu.confirmYes->UnderMouse() ? 1 : 0);
    if (g_menu.confirmYes->Clicked()) {
      SilenceEffects();
      g_loop.nextState = STATE_QUIT;
    }
  }
  menuButton(HOW_TO_PLAY);
  menuButton(CREDITS);
  menuButton(MY_LEVELS);
}

void MainMenu::HandleGamepad(Gamepad& pad, GameObject*) {
  pad.Update();
  const int x = pad.state.thumbLX, y = pad.state.thumbLY;
  const bool xOut = x < -LEFT_THUMB_DEADZONE || x > LEFT_THUMB_DEADZONE;
  const bool yOut = y < -LEFT_THUMB_DEADZONE || y > LEFT_THUMB_DEADZONE;
  // The pad takes over as soon as it is used, not a frame later: otherwise the first
  // press would only wake it and the reset below would undo what it chose.
  bool padUsed = xOut || yOut;
  for (int i = 0; i < PAD_BUTTON_COUNT; ++i) padUsed = padUsed || pad.down[i];
  if (padUsed) g_input.usingGamepad = true;
  if ((xOut || yOut) && !g_menu.stickLatched) {
    if (y > 0) MoveSelection(-1);
    else if (y < 0) MoveSelection(+1);
    g_menu.stickLatched = true;
  }
  if (!xOut) g_menu.stickLatched = yOut;
  if (pad.triggered[PAD_UP]) MoveSelection(-1);
  if (pad.triggered[PAD_DOWN]) MoveSelection(+1);
  if (pad.triggered[PAD_LEFT]) g_menu.selection = MY_LEVELS;
  if (pad.triggered[PAD_RIGHT] && g_menu.selection == MY_LEVELS) g_menu.selection = CAMPAIGN;

  if (pad.triggered[PAD_A]) {
    // The press is used here: the table it may open must not see it and close again.
    pad.triggered[PAD_A] = false;
    if (g_menu.confirmQuit) {
      SilenceEffects();
      g_loop.nextState = STATE_QUIT;
    } else {
      Activate(g_menu.selection);
    }
  }
  if (pad.triggered[PAD_B] && g_menu.confirmQuit) {
    pad.triggered[PAD_B] = false;
    g_menu.confirmQuit = false;
  }

  if (g_input.usingGamepad) {
    if (g_menu.selection >= 0 && g_menu.selection < static_cast<int>(g_menu.buttons.size()))
      g_input.mousePosition = g_menu.buttons[g_menu.selection]->Centre();
    else if (g_menu.selection == MY_LEVELS && g_menu.myLevels)
      g_input.mousePosition = g_menu.myLevels->Centre();
  } else {
    g_menu.selection = 0;
  }
}

// ============================================================================
// Drawing
// ============================================================================

void MainMenu::Draw() {
  if (!g_menu.splashDone)
    DrawSplash();
  else
    DrawMenu();
  frameDrawn = true;
}

void MainMenu::DrawSplash() {
  g_menu.splashBlocking = true;
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  if (g_menu.splashTime < SPLASH_SECONDS && s_splash && s_veil) {
    s_veil->SetAlpha(g_menu.splashAlpha);
    s_splash->Draw();
    s_veil->Draw();
  }
  for (int code : {KEY_EXECUTE, MOUSE_LEFT, KEY_ESCAPE, KEY_SPACE})
    if (ConsumeTrigger(code)) g_menu.splashTime += SPLASH_SECONDS;
  // A long frame (the first one, a stall) would swallow the splash: only short ones count.
  if (g_loop.frameTime < SLOW_FRAME) {
    g_menu.splashTime += g_loop.frameTime;
    g_menu.splashAlpha -= g_loop.frameTime;
  }
  if (g_menu.splashTime >= SPLASH_SECONDS) {
    g_menu.splashDone = true;
    g_menu.splashBlocking = false;
  }
}

void MainMenu::DrawMenu() {
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  if (background) background->Draw();
  for (auto& b : g_menu.buttons) b->Draw();
  if (g_menu.myLevels) g_menu.myLevels->Draw();
  DrawCampaignPick();
  DrawMyLevels();
  if (g_frontEnd.pausePanel) g_frontEnd.pausePanel->Draw();
  else DrawMenuPictures();
  if (g_menu.confirmQuit && g_menu.dialogBack && g_menu.confirmNo && g_menu.confirmYes) {
    g_menu.dialogBack->Draw();
    g_menu.confirmNo->Draw();
    g_menu.confirmYes->Draw();
  }
  if (g_menu.showHighscores && g_menu.highscore) g_menu.highscore->Draw();
  if (s_veil) {
    s_veil->SetAlpha(g_menu.fadeAlpha);
    s_veil->Draw();
  }
  g_menu.fadeAlpha -= g_loop.frameTime;
}

// ============================================================================
// Release
// ============================================================================

void MainMenu::Free() {
  background.reset();
  font.reset();
  camera.reset();
  if (g_audio) g_audio->StopAll();
  if (auto* factory = FindSystem<GameObjectFactory>()) factory->objects.clear();
}

void MainMenu::Unload() {
  Free();
  g_menu.buttons.clear();
  g_menu.myLevels.reset();
}
