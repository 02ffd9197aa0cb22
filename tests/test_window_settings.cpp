// Reading the window size and console switch.
#include <gtest/gtest.h>
#include "core/Window.h"
#include "platform/Display.h"
#include "support/GameHarness.h"
#include <algorithm>

namespace {

struct Settings {
  bool ok = false;
  int width = 0, height = 0, console = 0;
  std::string printed;
};

Settings Read(const ScratchTree& tree, const char* content) {
  if (content) tree.Write("Assets/Windows.txt", content);
  Settings s;
  testing::internal::CaptureStdout();
  s.ok = ReadWindowSettings(s.width, s.height, s.console);
  std::fflush(stdout);
  s.printed = testing::internal::GetCapturedStdout();
  return s;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST(WindowSettings, TheLastLineWins) {
  ScratchTree tree;
  Settings s = Read(tree, "800 600 1\n1296 760 0\n");
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.width, 1296);
  EXPECT_EQ(s.height, 760);
  EXPECT_EQ(s.console, 0);
  EXPECT_EQ(s.printed, "");
}

TEST(WindowSettings, TrailingBlankLinesAndWindowsLineEndsAreFine) {
  ScratchTree tree;
  Settings s = Read(tree, "1024 768 0\r\n\r\n\n");
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.width, 1024);
  EXPECT_EQ(s.height, 768);
  EXPECT_EQ(s.printed, "");
}

TEST(WindowSettings, AnythingElseGivesTheDefaultsAndOneLine) {
  const char* broken[] = {
      "1280 760\n",            // two fields
      "wide 760 0\n",          // not a number
      "1280x 760 0\n",         // trailing junk
      "1280 760 0\nrubbish\n", // the last line is the one that counts
      "10 20 0\n",             // no logical screen left
      "99999999999 760 0\n",   // out of range
      "",                      // empty file
  };
  for (const char* content : broken) {
    ScratchTree tree;
    Settings s = Read(tree, content);
    EXPECT_FALSE(s.ok) << content;
    EXPECT_EQ(s.width, 1280) << content;
    EXPECT_EQ(s.height, 760) << content;
    EXPECT_EQ(s.console, 0) << content;
    EXPECT_EQ(Lines(s.printed), 1) << content << s.printed;
  }
  ScratchTree missing;
  Settings s = Read(missing, nullptr);
  EXPECT_EQ(s.width, 1280);
  EXPECT_EQ(Lines(s.printed), 1) << s.printed;
}

TEST(WindowSettings, ASizeNoScreenFitsIsHeldBetweenTheSmallestAndTheDisplay) {
  for (const char* content : {"16384 16384 0\n", "17 41 0\n"}) {
    ScratchTree tree;
    tree.Write("Assets/Windows.txt", content);
    GameHarness harness;
    testing::internal::CaptureStdout();
    const bool started = harness.Start();
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(started);
    int displayWidth = 0, displayHeight = 0;
    GetDisplaySize(displayWidth, displayHeight);
    EXPECT_GE(g_screen.width, MIN_SCREEN_WIDTH) << content;
    EXPECT_GE(g_screen.height, MIN_SCREEN_HEIGHT) << content;
    EXPECT_LE(g_screen.width, displayWidth) << content;
    EXPECT_LE(g_screen.height, displayHeight) << content;
    size_t said = 0;
    for (size_t at = printed.find("Windows.txt asks"); at != std::string::npos; at = printed.find("Windows.txt asks", at + 1))
      ++said;
    EXPECT_EQ(said, 1u) << printed;
    harness.Stop();
  }
}

} // namespace
