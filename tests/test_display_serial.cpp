// The window's sizes and display modes, and what the loop does when the keyboard focus
// comes back. These move the X server's focus, so they run alone.
#include <gtest/gtest.h>
#include "core/GameState.h"
#include "core/Window.h"
#include "platform/Focus.h"
#include "support/GameHarness.h"

namespace {

class DisplayTest : public ::testing::Test {
protected:
  void StartWith(const char* windowsTxt) {
    tree.Write("Assets/Windows.txt", windowsTxt);
    ASSERT_TRUE(game.Start());
    GetDisplaySize(displayWidth, displayHeight);
  }
  void ClientSize(int& w, int& h) { SDL_GetWindowSize(game.Sdl(), &w, &h); }
  bool IsFullscreen() { return (SDL_GetWindowFlags(game.Sdl()) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP; }

  // Another window takes the focus, then the game's window gets it back.
  void LoseAndRegainFocus(const std::function<void()>& whileAway = nullptr) {
    SDL_Window* other = SDL_CreateWindow("other", 0, 0, 100, 100, SDL_WINDOW_SHOWN);
    ASSERT_NE(other, nullptr);
    SDL_SetWindowInputFocus(other);
    ASSERT_TRUE(game.FramesUntil([] { return !HasKeyboardFocus(); }));
    if (whileAway) whileAway();
    game.Drain();
    SDL_SetWindowInputFocus(game.Sdl());
    ASSERT_TRUE(game.FramesUntil([] { return HasKeyboardFocus(); }));
    game.Frame();
    SDL_DestroyWindow(other);
    game.Settle();
  }

  ScratchTree tree; // before the harness: the loop runs inside the tree
  GameHarness game;
  int displayWidth = 0, displayHeight = 0;
};

TEST_F(DisplayTest, TheLogicalScreenIsTheSettingsLessTheFrame) {
  StartWith("1296 760 0\n");
  EXPECT_EQ(g_screenWidth, 1280);
  EXPECT_EQ(g_screenHeight, 720);
  // The loop entered full screen at the display's size.
  EXPECT_TRUE(g_fullscreen);
  EXPECT_TRUE(IsFullscreen());
  EXPECT_EQ(g_displayWidth, displayWidth);
  EXPECT_EQ(g_displayHeight, displayHeight);
  EXPECT_EQ(g_windowWidth, displayWidth);
  EXPECT_EQ(g_windowHeight, displayHeight);
}

TEST_F(DisplayTest, F12SwitchesToA1280By720WindowAndBack) {
  StartWith("1280 760 0\n");
  game.TapKey(SDL_SCANCODE_F12);
  game.Settle();
  int w = 0, h = 0;
  ClientSize(w, h);
  EXPECT_FALSE(g_fullscreen);
  EXPECT_FALSE(IsFullscreen());
  EXPECT_EQ(w, 1280);
  EXPECT_EQ(h, 720);
  EXPECT_EQ(g_displayWidth, 1280);
  EXPECT_EQ(g_displayHeight, 720);
  EXPECT_EQ(g_windowWidth, 1280);
  EXPECT_EQ(g_windowHeight, 720);
  EXPECT_TRUE(SDL_GetWindowFlags(game.Sdl()) & SDL_WINDOW_RESIZABLE);

  // A resize while windowed scales the mouse by the new client area.
  SDL_SetWindowSize(game.Sdl(), 900, 500);
  ASSERT_TRUE(game.FramesUntil([] { return g_windowWidth == 900; }));
  EXPECT_EQ(g_windowHeight, 500);

  game.TapKey(SDL_SCANCODE_F12);
  game.Settle();
  EXPECT_TRUE(g_fullscreen);
  EXPECT_TRUE(IsFullscreen());
  EXPECT_EQ(g_displayWidth, displayWidth);
  EXPECT_EQ(g_displayHeight, displayHeight);
  EXPECT_EQ(g_windowWidth, displayWidth);
  EXPECT_EQ(g_windowHeight, displayHeight);
  EXPECT_EQ(g_screenWidth, 1264); // the logical screen never changes
  EXPECT_EQ(g_screenHeight, 720);
}

TEST_F(DisplayTest, RegainingTheFocusReappliesTheWindowedMode) {
  StartWith("1280 760 0\n");
  game.TapKey(SDL_SCANCODE_F12);
  game.Settle();
  SDL_SetWindowSize(game.Sdl(), 900, 500);
  ASSERT_TRUE(game.FramesUntil([] { return g_windowWidth == 900; }));
  LoseAndRegainFocus();
  int w = 0, h = 0;
  ClientSize(w, h);
  EXPECT_EQ(w, 1280);
  EXPECT_EQ(h, 720);
  EXPECT_FALSE(g_fullscreen);
  EXPECT_FALSE(IsFullscreen());
}

TEST_F(DisplayTest, RegainingTheFocusReappliesFullScreen) {
  StartWith("1280 760 0\n");
  ASSERT_TRUE(IsFullscreen());
  // Something else takes the display back while the game is in the background.
  LoseAndRegainFocus([&] { SDL_SetWindowFullscreen(game.Sdl(), 0); });
  EXPECT_TRUE(IsFullscreen());
  EXPECT_TRUE(g_fullscreen);
}

} // namespace
