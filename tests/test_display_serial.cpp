// The window's sizes and display modes, and what the loop does when the keyboard focus
// comes back. These move the X server's focus, so they run alone.
#include <gtest/gtest.h>
#include "core/Window.h"
#include "platform/Focus.h"
#include "support/GameHarness.h"

namespace {

class DisplayTest : public ::testing::Test {
protected:
  void SetUp() override {
    tree.Write("Assets/Windows.txt", "1296 760 0\n");
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

  ScratchTree tree; // first: the loop runs inside the tree
  GameHarness game;
  int displayWidth = 0, displayHeight = 0;
};

TEST_F(DisplayTest, FullScreenAndA1280By720WindowKeepTheLogicalScreen) {
  EXPECT_EQ(g_screenWidth, 1280);
  EXPECT_EQ(g_screenHeight, 720);
  EXPECT_TRUE(g_fullscreen); // entered at start-up
  EXPECT_TRUE(IsFullscreen());
  EXPECT_EQ(g_windowWidth, displayWidth);
  EXPECT_EQ(g_windowHeight, displayHeight);

  ToggleWithF12();
  EXPECT_FALSE(IsFullscreen());
  ExpectClient(1280, 720);
  EXPECT_EQ(g_displayWidth, 1280);
  EXPECT_EQ(g_displayHeight, 720);
  // A resize while windowed scales the mouse by the new client area.
  SDL_SetWindowSize(game.Sdl(), 900, 500);
  ASSERT_TRUE(game.FramesUntil([] { return g_windowWidth == 900; }));
  EXPECT_EQ(g_windowHeight, 500);

  ToggleWithF12();
  EXPECT_TRUE(g_fullscreen);
  EXPECT_TRUE(IsFullscreen());
  EXPECT_EQ(g_displayWidth, displayWidth);
  EXPECT_EQ(g_displayHeight, displayHeight);
  EXPECT_EQ(g_windowWidth, displayWidth);
  EXPECT_EQ(g_screenWidth, 1280);
  EXPECT_EQ(g_screenHeight, 720);
}

TEST_F(DisplayTest, RegainingTheFocusReappliesTheCurrentMode) {
  ToggleWithF12();
  LoseAndRegainFocus([&] { SDL_SetWindowSize(game.Sdl(), 900, 500); });
  ExpectClient(1280, 720);
  EXPECT_FALSE(IsFullscreen());

  ToggleWithF12();
  LoseAndRegainFocus([&] { SDL_SetWindowFullscreen(game.Sdl(), 0); });
  EXPECT_TRUE(IsFullscreen());
  EXPECT_TRUE(g_fullscreen);
}

} // namespace
