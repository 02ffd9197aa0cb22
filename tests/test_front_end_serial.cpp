// The front end on the real loop, driven as a player drives it: pushed mouse, key and
// pad events through the window's queue. Main menu and splash, the pause panel, the
// garage and the end screen.
#include <gtest/gtest.h>
#include "audio/Audio.h"
#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/Options.h"
#include "core/Window.h"
#include "levels/FrontEnd.h"
#include "objects/World.h"
#include "screens/Highscore.h"
#include "screens/MainMenu.h"
#include "screens/OptionMenu.h"
#include "screens/WeaponSelect.h"
#include "screens/WinLoseScreen.h"
#include "support/GameHarness.h"
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A playing state as the levels run the front end over their world: the pause panel
// every frame, and the end screen once the test ends the level.
class PanelLevel : public Level {
public:
  void Initialize() override {
    if (g_frontEnd.makeEndScreen) endScreen = g_frontEnd.makeEndScreen();
  }
  void Update() override {
    if (g_frontEnd.pausePanel) g_frontEnd.pausePanel->Update();
    if (ended && endScreen) endScreen->Update(won, levelIndex);
  }
  void Draw() override {
    if (g_frontEnd.pausePanel) g_frontEnd.pausePanel->Draw();
    if (ended && endScreen) endScreen->Draw();
  }
  std::shared_ptr<EndScreen> endScreen;
  bool ended = false;
  bool won = false;
  int levelIndex = 0;
};

class FrontEnd : public ::testing::Test {
protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kvo-frontend-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    scratch = pattern;
    savedHighscorePath = g_highscoreFile.path;
    g_highscoreFile.path = scratch + "/Highscore.txt";
    // Each test is a fresh run of the game: the splash shows unless a test skips it.
    g_menu.splashLoaded = g_menu.splashDone = g_menu.splashBlocking = false;
    g_menu.splashTime = 0.0f;
    g_menu.splashAlpha = g_menu.fadeAlpha = 1.0f;
    g_frontEnd.garageOpen = g_frontEnd.helpOpen = g_frontEnd.tutorialGarageOpen = g_frontEnd.tutorialHelpOpen = false;
    g_play.player = nullptr;
    if (!realLevels)
      game.Install(STATE_LEVEL, [this] {
        auto level = std::make_unique<PanelLevel>();
        level_ = level.get();
        return level;
      });
  }
  void TearDown() override {
    game.Stop();
    g_highscoreFile.path = savedHighscorePath;
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
  }
  void StartPastSplash() {
    g_menu.splashDone = true;
    ASSERT_TRUE(game.Start());
  }

  // Logical pixels to the window's own (full screen keeps the picture's shape).
  static int WindowX(float x) {
    int px = 0, py = 0;
    LogicalToWindowPixel(x, 0.0f, px, py);
    return px;
  }
  static int WindowY(float y) {
    int px = 0, py = 0;
    LogicalToWindowPixel(0.0f, y, px, py);
    return py;
  }
  void Hover(float x, float y) {
    game.MouseMove(WindowX(x), WindowY(y));
    game.Drain();
  }
  void Click(float x, float y) {
    Hover(x, y);
    game.MouseButton(SDL_BUTTON_LEFT, true);
    game.Drain();
    game.MouseButton(SDL_BUTTON_LEFT, false);
    game.Drain();
  }
  void Click(const Button& b) {
    const Vec3 c = b.Centre();
    Click(c.x, c.y);
  }
  void Press(SDL_GameControllerButton button) {
    pad->Button(button, true);
    game.Frame(2);
    pad->Button(button, false);
    game.Frame(2);
  }
  OptionMenu& Panel() { return static_cast<OptionMenu&>(*g_frontEnd.pausePanel); }
  Button& PanelButton(int i) { return *Panel().buttons[i]; }
  // Presses the button that ends the game and runs frames until the quit is asked for; the
  // press is held, as the game ends before a release could reach it.
  void PressToQuit(const Button& yes) {
    game.MouseMove(WindowX(yes.Centre().x), WindowY(yes.Centre().y));
    game.Drain();
    game.MouseButton(SDL_BUTTON_LEFT, true);
    game.FramesUntil([] { return g_loop.nextState == STATE_QUIT; }, 50);
  }
  // Out of a level as a player leaves it: Escape, then QUIT and YES on the pause panel.
  void QuitThroughThePanel() {
    game.TapKey(SDL_SCANCODE_ESCAPE);
    ASSERT_TRUE(g_loop.paused);
    Click(PanelButton(OptionMenu::QUIT));
    Click(PanelButton(OptionMenu::CONFIRM_YES));
  }
  // Frames until the state runs: its object made and initialised.
  bool ReachState(int id) {
    const bool reached = game.FramesUntil([id] { return g_loop.currentState == id; }, 50);
    game.Frame();
    return reached;
  }

  GameHarness game;
  bool realLevels = false; // the game's own campaign instead of the stand-in level
  std::unique_ptr<VirtualPad> pad;
  PanelLevel* level_ = nullptr;
  std::string scratch;
  std::string savedHighscorePath;
};

float Cx() { return g_screen.width / 2.0f; }
float Cy() { return g_screen.height / 2.0f; }

// ============================================================================
// Splash and main menu
// ============================================================================

TEST_F(FrontEnd, TheSplashEndsAtOnceOnAClickEscapeSpaceOrExecuteButNotOnSlowFrames) {
  ASSERT_TRUE(game.Start());
  ASSERT_FALSE(g_menu.splashDone);
  // Frames of 0.1 s or more do not count: a stalled first frame must not swallow it.
  Level* menu = game.loop.CurrentLevel();
  const float before = g_menu.splashTime;
  g_loop.frameTime = 0.1f;
  menu->Draw();
  g_loop.frameTime = 0.25f;
  menu->Draw();
  EXPECT_EQ(g_menu.splashTime, before);
  EXPECT_TRUE(g_menu.splashBlocking);

  Click(600, 300);
  EXPECT_TRUE(g_menu.splashDone);
  EXPECT_FALSE(g_menu.splashBlocking);
  EXPECT_FALSE(g_menu.showHighscores || g_menu.showCredits || g_menu.showHowToPlay);

  for (SDL_Scancode key : {SDL_SCANCODE_ESCAPE, SDL_SCANCODE_SPACE, SDL_SCANCODE_EXECUTE}) {
    g_menu.splashDone = false;
    g_menu.splashTime = 0.0f;
    game.TapKey(key);
    EXPECT_TRUE(g_menu.splashDone) << SDL_GetScancodeName(key);
    EXPECT_FALSE(g_loop.paused) << "the Escape that skips the splash does not pause";
  }
}

TEST_F(FrontEnd, TheSplashShowsOncePerRunAndTheMenuComesBackWithoutIt) {
  ASSERT_TRUE(game.Start());
  game.TapKey(SDL_SCANCODE_SPACE);
  ASSERT_TRUE(g_menu.splashDone);
  game.TapKey(SDL_SCANCODE_RETURN);
  ASSERT_TRUE(ReachState(STATE_LEVEL));
  g_loop.nextState = STATE_MAIN_MENU;
  ASSERT_TRUE(ReachState(STATE_MAIN_MENU));
  game.Frame();
  EXPECT_TRUE(g_menu.splashDone);
  EXPECT_FALSE(g_menu.splashBlocking);
  Click(*g_menu.buttons[MainMenu::HIGHSCORES]);
  EXPECT_TRUE(g_menu.showHighscores) << "the menu answers at once";
}

TEST_F(FrontEnd, EachMenuButtonDoesItsOwnThingAndShowsItsHoverFrame) {
  StartPastSplash();
  ASSERT_EQ(g_menu.buttons.size(), 6u);
  const unsigned idle[6] = {8, 6, 0, 4, 2, 10};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(g_menu.buttons[i]->Frame(), idle[i]);
  Hover(g_menu.buttons[MainMenu::CREDITS]->Centre().x, g_menu.buttons[MainMenu::CREDITS]->Centre().y);
  EXPECT_EQ(g_menu.buttons[MainMenu::CREDITS]->Frame(), idle[MainMenu::CREDITS] + 1);

  Click(*g_menu.buttons[MainMenu::CREDITS]);
  EXPECT_TRUE(g_menu.showCredits);
  EXPECT_FALSE(g_menu.showHowToPlay || g_menu.showHighscores || g_menu.confirmQuit);
  game.TapKey(SDL_SCANCODE_ESCAPE);
  EXPECT_FALSE(g_menu.showCredits) << "Escape closes the picture";
  EXPECT_FALSE(g_loop.paused) << "and is used up doing so";

  Click(*g_menu.buttons[MainMenu::HOW_TO_PLAY]);
  EXPECT_TRUE(g_menu.showHowToPlay);
  Click(1100, 125); // the back button
  EXPECT_FALSE(g_menu.showHowToPlay);

  Click(*g_menu.buttons[MainMenu::HIGHSCORES]);
  EXPECT_TRUE(g_menu.showHighscores);
  Click(*g_menu.highscore->cancel);
  EXPECT_FALSE(g_menu.showHighscores);

  Click(*g_menu.buttons[MainMenu::TUTORIAL]);
  EXPECT_TRUE(ReachState(STATE_TUTORIAL));
}

TEST_F(FrontEnd, EnterStartsTheCampaignAndTTheTutorial) {
  StartPastSplash();
  game.TapKey(SDL_SCANCODE_RETURN);
  EXPECT_TRUE(ReachState(STATE_LEVEL));
  g_loop.nextState = STATE_MAIN_MENU;
  ASSERT_TRUE(ReachState(STATE_MAIN_MENU));
  game.TapKey(SDL_SCANCODE_T);
  EXPECT_TRUE(ReachState(STATE_TUTORIAL));
}

TEST_F(FrontEnd, TheQuitDialogAsksFirstAndYesSilencesTheEffectsBeforeTheGameEnds) {
  StartPastSplash();
  Click(*g_menu.buttons[MainMenu::QUIT]);
  ASSERT_TRUE(g_menu.confirmQuit);
  // The menu stays live under the dialog.
  Click(*g_menu.buttons[MainMenu::HIGHSCORES]);
  EXPECT_TRUE(g_menu.showHighscores);
  Click(*g_menu.highscore->cancel);
  Click(*g_menu.confirmNo);
  EXPECT_FALSE(g_menu.confirmQuit);
  EXPECT_TRUE(game.running);

  Click(*g_menu.buttons[MainMenu::QUIT]);
  g_audio->SetEffectsVolume(0.6f);
  PressToQuit(*g_menu.confirmYes);
  EXPECT_EQ(g_audio->effectsVolume, 0.0f);
  game.Frame(3);
  EXPECT_FALSE(game.running);
}

TEST_F(FrontEnd, ThePadWalksTheButtonsInDrawnOrderAndAActivatesWhatIsHighlighted) {
  StartPastSplash();
  pad = std::make_unique<VirtualPad>();
  game.Frame(2);
  Press(SDL_CONTROLLER_BUTTON_DPAD_UP);
  EXPECT_EQ(g_menu.selection, MainMenu::QUIT) << "up from the first wraps to the last";
  Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  EXPECT_EQ(g_menu.selection, MainMenu::CAMPAIGN);
  EXPECT_TRUE(g_input.usingGamepad);
  const Vec3 c = g_menu.buttons[MainMenu::CAMPAIGN]->Centre();
  EXPECT_EQ(g_input.mousePosition.x, c.x);
  EXPECT_EQ(g_input.mousePosition.y, c.y);

  // The stick moves the selection once per push, however long it is held.
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTY, 30000); // SDL's down
  game.Frame(6);
  EXPECT_EQ(g_menu.selection, MainMenu::TUTORIAL);
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
  game.Frame(2);
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTY, 30000);
  game.Frame(6);
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
  game.Frame(2);
  EXPECT_EQ(g_menu.selection, MainMenu::HOW_TO_PLAY);
  Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  ASSERT_EQ(g_menu.selection, MainMenu::HIGHSCORES);
  EXPECT_EQ(g_menu.buttons[MainMenu::HIGHSCORES]->Frame(), 5u) << "the highlight follows the selection";

  // The highlighted button is the one A chooses: the table opens and stays open.
  Press(SDL_CONTROLLER_BUTTON_A);
  EXPECT_TRUE(g_menu.showHighscores);
  EXPECT_TRUE(game.running);
  Press(SDL_CONTROLLER_BUTTON_A);
  EXPECT_FALSE(g_menu.showHighscores) << "A on the table closes it";

  Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  ASSERT_EQ(g_menu.selection, MainMenu::QUIT);
  Press(SDL_CONTROLLER_BUTTON_A);
  EXPECT_TRUE(g_menu.confirmQuit) << "the quit button asks first, as with the mouse";
  Press(SDL_CONTROLLER_BUTTON_B);
  EXPECT_FALSE(g_menu.confirmQuit);
  EXPECT_TRUE(game.running);
}

TEST_F(FrontEnd, ReleasingTheMenuTwiceIsHarmless) {
  StartPastSplash();
  Level* menu = game.loop.CurrentLevel();
  menu->Free();
  menu->Unload();
  menu->Free();
  menu->Unload();
  menu->Initialize();
  game.Frame(3);
  EXPECT_EQ(g_menu.buttons.size(), 6u);
}

// ============================================================================
// Pause panel
// ============================================================================

TEST_F(FrontEnd, TheGearAndEscapeOpenThePanelAndResumeClosesIt) {
  StartPastSplash();
  Click(PanelButton(OptionMenu::GEAR));
  EXPECT_TRUE(g_loop.paused);
  Click(PanelButton(OptionMenu::RESUME));
  EXPECT_FALSE(g_loop.paused);
  game.TapKey(SDL_SCANCODE_ESCAPE);
  EXPECT_TRUE(g_loop.paused);
  Click(PanelButton(OptionMenu::GEAR));
  EXPECT_FALSE(g_loop.paused);
  // While paused the menu's own buttons do not answer.
  game.TapKey(SDL_SCANCODE_ESCAPE);
  Click(*g_menu.buttons[MainMenu::CREDITS]);
  EXPECT_FALSE(g_menu.showCredits);
  Click(PanelButton(OptionMenu::HOW_TO_PLAY));
  EXPECT_TRUE(g_menu.showHowToPlay);
}

TEST_F(FrontEnd, KnobsFollowTheMouseOnlyStrictlyInsideTheirTrack) {
  StartPastSplash();
  EXPECT_FLOAT_EQ(OptionMenu::SliderLeft(), Cx() - 60);
  EXPECT_FLOAT_EQ(OptionMenu::SliderRight(), Cx() + 168);
  game.TapKey(SDL_SCANCODE_ESCAPE);
  Button& knob = PanelButton(OptionMenu::MUSIC_KNOB);
  EXPECT_FLOAT_EQ((knob.Centre().x - OptionMenu::SliderLeft()) / OptionMenu::SLIDER_SPAN, 0.75f)
      << "the knob starts where the level does";
  const float y = knob.Centre().y;
  Hover(knob.Centre().x, y);
  game.MouseButton(SDL_BUTTON_LEFT, true);
  game.Drain();
  for (float x = knob.Centre().x; x > Cx() + 10; x -= 8) Hover(x, y);
  const float expected = (knob.Centre().x - OptionMenu::SliderLeft()) / OptionMenu::SLIDER_SPAN;
  EXPECT_NEAR(Panel().musicLevel, expected, 1e-5);
  EXPECT_LT(Panel().musicLevel, 0.5f);
  EXPECT_NEAR(g_audio->musicVolume, Panel().musicLevel, 1e-5);

  // Past the right end the knob stays at its last place inside; the level never reaches 1.
  for (float x = knob.Centre().x; x < Cx() + 200; x += 8) Hover(x, y);
  EXPECT_LT(knob.Centre().x, OptionMenu::SliderRight());
  EXPECT_LT(Panel().musicLevel, 1.0f);
  game.MouseButton(SDL_BUTTON_LEFT, false);
  game.Drain();
}

TEST_F(FrontEnd, UnmutingAppliesTheSliderAsItIsNowAndMutingSurvivesAMusicStart) {
  StartPastSplash();
  game.TapKey(SDL_SCANCODE_ESCAPE);
  Click(PanelButton(OptionMenu::MUSIC_MUTE));
  EXPECT_TRUE(Panel().musicMuted);
  EXPECT_EQ(g_audio->musicVolume, 0.0f);
  EXPECT_EQ(PanelButton(OptionMenu::MUSIC_MUTE).Frame(), 0u);

  Button& knob = PanelButton(OptionMenu::MUSIC_KNOB);
  Hover(knob.Centre().x, knob.Centre().y);
  game.MouseButton(SDL_BUTTON_LEFT, true);
  game.Drain();
  for (float x = knob.Centre().x; x > Cx(); x -= 8) Hover(x, knob.Centre().y);
  game.MouseButton(SDL_BUTTON_LEFT, false);
  game.Drain();
  EXPECT_EQ(g_audio->musicVolume, 0.0f) << "a muted track stays silent while the knob moves";

  Click(PanelButton(OptionMenu::EFFECTS_MUTE));
  EXPECT_EQ(g_audio->effectsVolume, 0.0f);
  Click(PanelButton(OptionMenu::MUSIC_MUTE));
  EXPECT_NEAR(g_audio->musicVolume, Panel().musicLevel, 1e-5);
  EXPECT_LT(Panel().musicLevel, 0.75f);

  // A state that starts its music applies both settings again.
  g_audio->SetEffectsVolume(0.75f);
  Panel().ApplyVolumes();
  EXPECT_EQ(g_audio->effectsVolume, 0.0f);
  EXPECT_NEAR(g_audio->musicVolume, Panel().musicLevel, 1e-5);
}

TEST_F(FrontEnd, ThePanelStartsWhereThePlayerLeftItAndRemembersAChangeOnceTheButtonIsUp) {
  Options left;
  left.musicLevel = 0.25f;
  left.effectsMuted = true;
  ASSERT_TRUE(WriteOptions(left)); // the file of the harness's run
  StartPastSplash();
  Button& knob = PanelButton(OptionMenu::MUSIC_KNOB);
  EXPECT_FLOAT_EQ(Panel().musicLevel, 0.25f);
  EXPECT_NEAR((knob.Centre().x - OptionMenu::SliderLeft()) / OptionMenu::SLIDER_SPAN, 0.25f, 1e-5);
  EXPECT_TRUE(Panel().effectsMuted);
  EXPECT_EQ(PanelButton(OptionMenu::EFFECTS_MUTE).Frame(), 0u);
  EXPECT_NEAR(g_audio->musicVolume, 0.25f, 1e-5); // the menu's music started with them
  EXPECT_EQ(g_audio->effectsVolume, 0.0f);

  game.TapKey(SDL_SCANCODE_ESCAPE);
  const float y = knob.Centre().y;
  Hover(knob.Centre().x, y);
  game.MouseButton(SDL_BUTTON_LEFT, true);
  game.Drain();
  for (float x = knob.Centre().x; x < Cx() + 100; x += 8) Hover(x, y);
  Options saved;
  ASSERT_TRUE(ReadOptions(saved));
  EXPECT_FLOAT_EQ(saved.musicLevel, 0.25f) << "nothing is written while the knob is held";
  game.MouseButton(SDL_BUTTON_LEFT, false);
  game.Drain();
  ASSERT_TRUE(ReadOptions(saved));
  EXPECT_GT(Panel().musicLevel, 0.5f);
  EXPECT_NEAR(saved.musicLevel, Panel().musicLevel, 1e-5);

  Click(PanelButton(OptionMenu::EFFECTS_MUTE));
  game.Frame();
  ASSERT_TRUE(ReadOptions(saved));
  EXPECT_FALSE(saved.effectsMuted);
  EXPECT_TRUE(saved.fullscreen); // the display mode is the loop's and stays as it was
}

TEST_F(FrontEnd, WithTheConfirmationOpenOnlyItsTwoButtonsAnswer) {
  StartPastSplash();
  game.TapKey(SDL_SCANCODE_ESCAPE);
  Click(PanelButton(OptionMenu::QUIT));
  ASSERT_TRUE(Panel().confirmOpen);
  Click(Cx() + 170, Cy() - 50); // on resume, clear of the confirmation's "no" over it
  Click(PanelButton(OptionMenu::MUSIC_MUTE));
  EXPECT_TRUE(g_loop.paused);
  EXPECT_FALSE(Panel().musicMuted);
  Click(PanelButton(OptionMenu::CONFIRM_NO));
  EXPECT_FALSE(Panel().confirmOpen);
  EXPECT_TRUE(g_loop.paused);

  // Quit from the menu's panel ends the game, effects silenced first.
  Click(PanelButton(OptionMenu::QUIT));
  PressToQuit(PanelButton(OptionMenu::CONFIRM_YES));
  EXPECT_EQ(g_audio->effectsVolume, 0.0f);
  game.Frame(3);
  EXPECT_FALSE(game.running);
}

TEST_F(FrontEnd, QuitFromALevelsPanelGoesToTheMenuUnpaused) {
  StartPastSplash();
  game.TapKey(SDL_SCANCODE_RETURN);
  ASSERT_TRUE(ReachState(STATE_LEVEL));
  ASSERT_NO_FATAL_FAILURE(QuitThroughThePanel());
  EXPECT_TRUE(ReachState(STATE_MAIN_MENU));
  EXPECT_FALSE(g_loop.paused);
  EXPECT_FALSE(Panel().confirmOpen);
  EXPECT_TRUE(game.running);
}

// The whole round as a player makes it, over the shipped first level: the menu and the
// level each release their pictures, fonts and sounds as they end, once (the sanitizer
// build runs this for double frees and leaks).
class FrontEndOverTheCampaign : public FrontEnd {
protected:
  void SetUp() override {
    realLevels = true;
    FrontEnd::SetUp();
  }
};

TEST_F(FrontEndOverTheCampaign, MenuToALevelAndBackThenQuitWithTheConfirmation) {
  StartPastSplash();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    Click(*g_menu.buttons[MainMenu::CAMPAIGN]);
    ASSERT_TRUE(ReachState(STATE_LEVEL));
    ASSERT_TRUE(game.FramesUntil([] { return g_play.player != nullptr; }, 300)) << "the level was built";
    game.Frame(30);
    ASSERT_NO_FATAL_FAILURE(QuitThroughThePanel());
    ASSERT_TRUE(ReachState(STATE_MAIN_MENU));
    EXPECT_FALSE(g_loop.paused);
  }
  game.TapKey(SDL_SCANCODE_ESCAPE);
  ASSERT_TRUE(g_loop.paused);
  Click(PanelButton(OptionMenu::QUIT));
  EXPECT_TRUE(game.running) << "quitting asks first";
  Click(PanelButton(OptionMenu::CONFIRM_YES));
  game.FramesUntil([this] { return !game.running; }, 50);
  EXPECT_FALSE(game.running);
}

TEST_F(FrontEnd, ALevelOverlayHidesThePanelUntilThePauseKeyClearsIt) {
  StartPastSplash();
  game.TapKey(SDL_SCANCODE_RETURN);
  ASSERT_TRUE(ReachState(STATE_LEVEL));
  g_loop.paused = true;
  g_frontEnd.garageOpen = true;
  Click(PanelButton(OptionMenu::RESUME));
  EXPECT_TRUE(g_loop.paused) << "the panel is hidden under the garage and does not answer";
  game.TapKey(SDL_SCANCODE_ESCAPE); // unpauses and clears the overlay flags
  EXPECT_FALSE(g_frontEnd.garageOpen);
  game.TapKey(SDL_SCANCODE_ESCAPE);
  ASSERT_TRUE(g_loop.paused);
  Click(PanelButton(OptionMenu::RESUME));
  EXPECT_FALSE(g_loop.paused);
}

// ============================================================================
// Garage
// ============================================================================

class Garage : public FrontEnd {
protected:
  WeaponSelect& Screen() {
    g_loop.nextState = STATE_WEAPON_SELECT;
    EXPECT_TRUE(ReachState(STATE_WEAPON_SELECT));
    return static_cast<WeaponSelect&>(*game.loop.CurrentLevel());
  }
  void ClickRack(WeaponSelect& ws, int entry) {
    const Vec3 p = ws.gunPalette[entry]->Position();
    Click(p.x, p.y);
  }
  static std::string Name(const std::shared_ptr<Weapon>& w) { return w ? w->name : "-"; }
};

TEST_F(Garage, ATankWithoutGunsGetsTwoSlotsFilledInPlace) {
  StartPastSplash();
  WeaponSelect& ws = Screen();
  ASSERT_EQ(ws.FittedWeapons().size(), 2u);
  ASSERT_EQ(ws.gunPalette.size(), 3u);
  // Right first, on an empty list: it still lands in slot 1.
  ClickRack(ws, 1); // the mini cannon
  Click(*ws.sideButtons[1]);
  EXPECT_EQ(Name(ws.fitted[0]), "-");
  EXPECT_EQ(Name(ws.fitted[1]), "RightThing");
  EXPECT_EQ(ws.rightGunValue, WeaponKind::Boom);
  ClickRack(ws, 0);
  Click(*ws.sideButtons[0]);
  ClickRack(ws, 2);
  Click(*ws.sideButtons[0]); // the same side again replaces the gun
  ASSERT_EQ(ws.fitted.size(), 2u);
  EXPECT_EQ(Name(ws.fitted[0]), "LeftThing");
  EXPECT_EQ(Name(ws.fitted[1]), "RightThing");
  EXPECT_EQ(ws.fitted[0]->kind, WeaponKind::Split);
  EXPECT_EQ(ws.fitted[0]->ImagePath(), "../Assets/image/gun/GunBlackHole_Left.png");
  auto length = [&ws](int bar) { return ws.statBars->bars[bar][1].x - ws.statBars->bars[bar][0].x; };
  EXPECT_EQ(length(0), 90.0f) << "left damage";
  EXPECT_EQ(length(3), 90.0f) << "right reload";
  ASSERT_TRUE(ws.leftThumb);
  EXPECT_EQ(ws.leftThumb->ImagePath(), "../Assets/image/gun/GunBlackHole_Thumb.png");
}

TEST_F(Garage, PointingAtARackGunShowsItsPatternAndNothingElseShowsNone) {
  StartPastSplash();
  WeaponSelect& ws = Screen();
  const Vec3 p = ws.gunPalette[1]->Position();
  Hover(p.x, p.y);
  EXPECT_TRUE(ws.styleDisplay->showMiniCannon);
  EXPECT_FALSE(ws.styleDisplay->showDefault || ws.styleDisplay->showBlackHole);
  Hover(100, 100);
  EXPECT_FALSE(ws.styleDisplay->showMiniCannon || ws.styleDisplay->showDefault || ws.styleDisplay->showBlackHole);
  game.TapKey(SDL_SCANCODE_ESCAPE);
  EXPECT_TRUE(ReachState(STATE_MAIN_MENU)) << "Escape leaves the garage state for the menu";
}

TEST_F(Garage, OddRacksAndLoadoutsNeverCrashIt) {
  StartPastSplash();
  WeaponSelect& ws = Screen();
  // A rack longer than the ready-made guns: the extra entry fits nothing.
  ws.gunPalette.push_back(std::make_shared<GameObject>(*ws.gunPalette[0]));
  ws.gunPalette.back()->SetPosition(Vec3(882, 410));
  ClickRack(ws, 3);
  EXPECT_EQ(ws.currentGun, 3);
  Click(*ws.sideButtons[0]);
  EXPECT_EQ(ws.fitted[0], nullptr);
  // An empty rack: no current gun, and LEFT and RIGHT do nothing.
  ws.gunPalette.clear();
  ws.currentGun = -1;
  Click(*ws.sideButtons[0]);
  Click(*ws.sideButtons[1]);
  EXPECT_EQ(ws.fitted[0], nullptr);
  EXPECT_EQ(ws.fitted[1], nullptr);
  ws.Fit(0, 7);
  ws.Fit(1, -1);
  game.Frame(3);

  // Guns with names that say a side but pictures whose paths are too short to cut.
  ws.fitted = {std::make_shared<Weapon>(Vec3(), 25, 25, 1, WeaponKind::Sprayer, "a.png", 0.1, 1.0), nullptr};
  ws.fitted[0]->name = "LeftThing";
  ws.RefreshThumbnails();
  ASSERT_TRUE(ws.leftThumb);
  EXPECT_EQ(ws.leftThumb->ImagePath(), "a.png");
  EXPECT_EQ(ThumbnailPath("x"), "x");
  EXPECT_EQ(ThumbnailPath("_Right.png"), "_Thumb.png");
  // A one-entry list: fitting the right side grows it to two slots.
  ws.Free();
  ws.Free();
  ws.Initialize();
  ws.fitted = {std::make_shared<Weapon>(Vec3(), 25, 25, 1, WeaponKind::Sprayer, "a.png", 0.1, 1.0)};
  ws.fitted[0]->name = "LeftThing";
  ws.Fit(1, 0);
  ASSERT_EQ(ws.fitted.size(), 2u);
  EXPECT_EQ(Name(ws.fitted[1]), "RightThing");
  EXPECT_EQ(Name(ws.fitted[0]), "LeftThing") << "a gun already there keeps its side";
  game.Frame(3);
}

TEST_F(Garage, ThePlayersGunsComeInAndADiscardedOneStaysWithThePlayer) {
  StartPastSplash();
  Vehicle player("PLAYER", "../Assets/image/Tank_moving.png", Vec3(100, 100), 25, 25, 1,
                 "../Assets/image/Tank_moving.txt");
  player.weapons.emplace_back(
      new Weapon(Vec3(), 25, 25, 1, WeaponKind::Split, "../Assets/image/gun/GunBlackHole_Left.png", 2.1, 4.0));
  player.weapons.back()->name = "LeftThing";
  g_play.player = &player;
  testing::internal::CaptureStdout();
  WeaponSelect& ws = Screen();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("2  0\n"), std::string::npos) << out;
  ASSERT_EQ(ws.fitted.size(), 2u);
  EXPECT_EQ(ws.fitted[0], player.weapons[0]) << "the garage starts from the player's own guns";
  EXPECT_EQ(ws.fitted[1], nullptr);
  ASSERT_TRUE(ws.leftThumb);
  EXPECT_EQ(ws.leftThumb->ImagePath(), "../Assets/image/gun/GunBlackHole_Thumb.png");

  ClickRack(ws, 0);
  Click(*ws.sideButtons[0]);
  EXPECT_EQ(ws.fitted[0]->kind, WeaponKind::Sprayer);
  // The discarded gun lives on with the player until the level copies the garage's list.
  ASSERT_TRUE(player.weapons[0]);
  EXPECT_EQ(player.weapons[0]->kind, WeaponKind::Split);
  EXPECT_EQ(player.weapons[0]->name, "LeftThing");
  g_loop.nextState = STATE_MAIN_MENU;
  ASSERT_TRUE(ReachState(STATE_MAIN_MENU));
  g_play.player = nullptr;
}

// ============================================================================
// End screen
// ============================================================================

class EndScreenTest : public FrontEnd {
protected:
  PanelLevel& EndLevel(bool won, int levelIndex) {
    game.TapKey(SDL_SCANCODE_RETURN);
    EXPECT_TRUE(ReachState(STATE_LEVEL));
    level_->won = won;
    level_->levelIndex = levelIndex;
    level_->ended = true;
    game.Frame(2);
    return *level_;
  }
  WinLoseScreen& Screen() { return static_cast<WinLoseScreen&>(*level_->endScreen); }
  void WriteTable(const std::string& text) { std::ofstream(g_highscoreFile.path) << text; }
};

TEST_F(EndScreenTest, AColdPizzaScoresTheStarsAloneAndTheResultIsStoredOnce) {
  StartPastSplash();
  WriteTable("NONAME 30\nNONAME 20\n");
  g_play.score = 25;
  g_play.pizzaCarried = true;
  g_play.thermometer = -0.7f; // it keeps cooling below 0 in play
  EndLevel(true, 0);
  EXPECT_FLOAT_EQ(Screen().Warmth(), 0.0f);
  EXPECT_EQ(WinLoseScreen::TotalScore(Screen().Warmth(), g_play.score), 25);
  EXPECT_EQ(g_highscoreFile.rank, 1);
  EXPECT_TRUE(g_highscoreFile.resultRecorded);
  game.Frame(20);
  HighscoreTable table;
  table.Load();
  EXPECT_EQ(table.scores[1], "25");
  EXPECT_EQ(table.scores[2], "20") << "entered once, however long the panel shows";
  EXPECT_EQ(table.scores[3], "");

  EXPECT_EQ(WinLoseScreen::MultiplierDigits(0.0f), "00");
  EXPECT_EQ(WinLoseScreen::MultiplierDigits(0.5f), "25");
  EXPECT_EQ(WinLoseScreen::MultiplierDigits(1.0f), "50");
  EXPECT_EQ(WinLoseScreen::TotalScore(0.5f, 10), 13) << "12.5 rounds away from zero";
  EXPECT_EQ(WinLoseScreen::TotalScore(1.0f, 2000000000), INT_MAX);
  g_play.pizzaCarried = false;
  g_play.thermometer = 0.8f;
  EXPECT_FLOAT_EQ(Screen().Warmth(), 0.0f);
  EXPECT_FLOAT_EQ(g_play.thermometer, 0.0f) << "a pizza never picked up has no warmth";
}

TEST_F(EndScreenTest, WinningTheLastLevelGoesToTheMenuAndLosingReplays) {
  StartPastSplash();
  g_play.score = 0;
  g_play.pizzaCarried = false;
  EndLevel(true, 2);
  EXPECT_EQ(g_highscoreFile.rank, -1) << "0 never enters";
  Click(*Screen().endButton);
  EXPECT_TRUE(ReachState(STATE_MAIN_MENU));

  PanelLevel& second = EndLevel(true, 0);
  g_loop.paused = true;
  Click(*Screen().endButton);
  EXPECT_EQ(second.levelIndex, 1);
  EXPECT_FALSE(g_loop.paused);
  EXPECT_EQ(g_loop.currentState, STATE_LEVEL) << "a restart keeps the state";
  second.won = false;
  game.Frame(2);
  Click(*Screen().endButton);
  EXPECT_EQ(second.levelIndex, 1) << "a loss replays the same level";
  EXPECT_EQ(g_loop.currentState, STATE_LEVEL);
}

} // namespace
