// The window's sizes and display modes, and what the loop does when the keyboard focus
// comes back. These move the X server's focus, so they run alone.
#include <gtest/gtest.h>
#include "core/Input.h"
#include "core/Options.h"
#include "core/Viewport.h"
#include "core/Window.h"
#include <GL/glew.h>
#include <fstream>
#include <sstream>
#include "platform/Focus.h"
#include "support/GameHarness.h"
#include "support/XFocus.h"

namespace {

class DisplayTest : public ::testing::Test {
protected:
  void SetUp() override {
    tree.Write("Assets/Windows.txt", "1296 760 0\n");
    if (!options.empty()) tree.Write("Assets/Options.txt", options);
    SetOptionsPath(OPTIONS_PATH); // this tree's own, as the game's
    ASSERT_TRUE(game.Start());
    GetDisplaySize(displayWidth, displayHeight);
  }
  bool IsFullscreen() { return (SDL_GetWindowFlags(game.Sdl()) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP; }
  void ExpectClient(int width, int height) {
    int w = 0, h = 0;
    SDL_GetWindowSize(game.Sdl(), &w, &h);
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
  }
  void ToggleWithF12() {
    game.TapKey(SDL_SCANCODE_F12);
    game.Settle();
  }
  // Another window takes the focus; meanwhile `away` runs; then the game gets it back.
  void LoseAndRegainFocus(const std::function<void()>& away) {
    SDL_Window* other = SDL_CreateWindow("other", 0, 0, 100, 100, SDL_WINDOW_SHOWN);
    SDL_SetWindowInputFocus(other);
    ASSERT_TRUE(game.FramesUntil([] { return !HasKeyboardFocus(); }));
    away();
    game.Drain();
    SDL_SetWindowInputFocus(game.Sdl());
    ASSERT_TRUE(game.FramesUntil([] { return HasKeyboardFocus(); }));
    SDL_DestroyWindow(other);
    game.Settle();
  }

  PictureArea Viewport() {
    GLint v[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, v);
    int w = 0, h = 0;
    SDL_GetWindowSize(game.Sdl(), &w, &h);
    return PictureArea{v[0], h - v[1] - v[3], v[2], v[3]}; // rows from the top, as the mouse counts
  }
  std::string SavedOptions() {
    std::ifstream in("../Assets/Options.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string options; // Options.txt before the start, if any
  ScratchTree tree; // first: the loop runs inside the tree
  GameHarness game;
  int displayWidth = 0, displayHeight = 0;
};

TEST_F(DisplayTest, FullScreenAndA1280By720WindowKeepTheLogicalScreen) {
  EXPECT_EQ(g_screen.width, 1280);
  EXPECT_EQ(g_screen.height, 720);
  EXPECT_TRUE(g_screen.fullscreen); // entered at start-up
  EXPECT_TRUE(IsFullscreen());
  EXPECT_EQ(g_screen.windowWidth, displayWidth);
  EXPECT_EQ(g_screen.windowHeight, displayHeight);
  // The display's shape is not the picture's: the picture keeps its own, centred, and
  // the mouse finds the logical centre at the display's centre.
  const PictureArea boxed = FitPicture(displayWidth, displayHeight, 1280, 720);
  EXPECT_EQ(Viewport(), boxed);
  game.MouseMove(boxed.x + boxed.width / 2, boxed.y + boxed.height / 2);
  game.Drain();
  EXPECT_NEAR(g_input.mousePosition.x, 640.0f, 1.0f);
  EXPECT_NEAR(g_input.mousePosition.y, 360.0f, 1.0f);
  game.MouseMoveToLogical(100.0f, 700.0f); // what tests that click the game's buttons use
  game.Drain();
  EXPECT_NEAR(g_input.mousePosition.x, 100.0f, 1.0f);
  EXPECT_NEAR(g_input.mousePosition.y, 700.0f, 1.0f);

  ToggleWithF12();
  EXPECT_FALSE(IsFullscreen());
  ExpectClient(1280, 720);
  EXPECT_EQ(g_screen.displayWidth, 1280);
  EXPECT_EQ(g_screen.displayHeight, 720);
  EXPECT_EQ(Viewport(), (PictureArea{0, 0, 1280, 720})); // a window is stretched, as before
  // A resize while windowed scales the mouse by the new client area.
  SDL_SetWindowSize(game.Sdl(), 900, 500);
  ASSERT_TRUE(game.FramesUntil([] { return g_screen.windowWidth == 900; }));
  EXPECT_EQ(g_screen.windowHeight, 500);

  ToggleWithF12();
  EXPECT_TRUE(g_screen.fullscreen);
  EXPECT_TRUE(IsFullscreen());
  EXPECT_EQ(g_screen.displayWidth, displayWidth);
  EXPECT_EQ(g_screen.displayHeight, displayHeight);
  EXPECT_EQ(g_screen.windowWidth, displayWidth);
  EXPECT_EQ(g_screen.width, 1280);
  EXPECT_EQ(g_screen.height, 720);
}

TEST_F(DisplayTest, RegainingTheFocusReappliesTheCurrentMode) {
  ToggleWithF12();
  LoseAndRegainFocus([&] { SDL_SetWindowSize(game.Sdl(), 900, 500); });
  ExpectClient(1280, 720);
  EXPECT_FALSE(IsFullscreen());

  ToggleWithF12();
  LoseAndRegainFocus([&] { SDL_SetWindowFullscreen(game.Sdl(), 0); });
  EXPECT_TRUE(IsFullscreen());
  EXPECT_TRUE(g_screen.fullscreen);
}

// Names (a level's, an object's) are typed as characters; a key pressed on the X server's
// keyboard, not one pushed into SDL's queue, must arrive as one.
TEST_F(DisplayTest, KeysPressedOnTheKeyboardArriveAsTypedCharacters) {
  const char* keys[] = {"q", "7"};
  ASSERT_TRUE(TypeOnXKeyboard(game.Sdl(), keys, 2));
  g_input.typedText.clear();
  EXPECT_TRUE(game.FramesUntil([] { return g_input.typedText.size() >= 2; })) << "typed: '" << g_input.typedText << "'";
  EXPECT_EQ(g_input.typedText, "q7");
}

class RememberedDisplayTest : public DisplayTest {
protected:
  void SetUp() override {
    options = "fullscreen 0\nmusic 0.5\n";
    DisplayTest::SetUp();
  }
};

TEST_F(RememberedDisplayTest, TheGameStartsInTheModeThePlayerLeftItIn) {
  EXPECT_FALSE(g_screen.fullscreen);
  EXPECT_FALSE(IsFullscreen());
  ExpectClient(1280, 720);
  EXPECT_EQ(SavedOptions(), "fullscreen 0\nmusic 0.5\n"); // starting writes nothing

  ToggleWithF12();
  EXPECT_TRUE(IsFullscreen());
  Options saved;
  ASSERT_TRUE(ReadOptions(saved));
  EXPECT_TRUE(saved.fullscreen);
  EXPECT_FLOAT_EQ(saved.musicLevel, 0.5f); // the other options stay as they were
}

} // namespace
