// The bindings file and the input edge, without a window.
#include <gtest/gtest.h>
#include "core/Controls.h"
#include "core/Gamepad.h"
#include "platform/KeyCodes.h"
#include "support/GameHarness.h"
#include <algorithm>
#include <fstream>
#include <functional>

namespace {

std::string Printed(const std::function<void()>& run) {
  testing::internal::CaptureStdout();
  run();
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

const char* const DEFAULT_FILE = "forward W STICK\nback S STICK\nleft A STICK\nright D STICK\nmain SPACE A\n"
                                 "leftgun Q LT\nrightgun E RT\ntalk C X\npause ESC START\n";

TEST(Bindings, TheDefaultsAreWrittenAsTheGamesOwnKeysAndReadBackInAnyOrder) {
  ScratchTree tree;
  ASSERT_TRUE(WriteBindings(DefaultBindings()));
  std::ifstream in(ControlsPath());
  std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(text, DEFAULT_FILE);
  tree.Write("Assets/Controls.txt", "pause ESC BACK\r\nmain K RB\n\nforward W STICK\nback S STICK\nleft A STICK\n"
                                    "right D STICK\nleftgun Q LT\nrightgun E RT\ntalk C X\n");
  Bindings read;
  EXPECT_EQ(Printed([&] { EXPECT_TRUE(ReadBindings(read)); }), "");
  EXPECT_EQ(read.key[static_cast<int>(Action::MainGun)], KEY_K);
  EXPECT_EQ(read.pad[static_cast<int>(Action::Pause)], PAD_BACK);
}

TEST(Bindings, ADamagedFileGivesTheDefaultsAndOneLine) {
  const std::string full = DEFAULT_FILE;
  auto with = [&](const std::string& from, const std::string& to) {
    std::string text = full;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::string damaged[] = {
      "",                                           // no action at all
      with("talk C X\n", ""),                       // an action missing
      with("main SPACE A", "main SPACE A extra"),   // one binding a line
      with("main SPACE A", "main NOKEY A"),         // not a key
      with("main SPACE A", "main SPACE Z"),         // not a pad input
      with("main SPACE A", "main W A"),             // a key twice
      with("main SPACE A", "main SPACE X"),         // a pad button twice
      with("main SPACE A", "main F12 A"),           // a key kept for the game
      with("pause ESC START", "pause P START"),     // Escape always pauses
      with("forward W STICK", "forward W A"),       // driving stays on the stick
      with("talk C X", "talk C X\ntalk C X"),       // an action twice
      with("main", "fire"),                         // not an action
      "\x01\xff\xfe garbage \x7f\n",                // not text at all
  };
  for (const std::string& content : damaged) {
    ScratchTree tree;
    tree.Write("Assets/Controls.txt", content);
    Bindings read;
    read.key[0] = KEY_Z; // whatever was there must not survive
    const std::string printed = Printed([&] { EXPECT_FALSE(ReadBindings(read)) << content; });
    EXPECT_EQ(read, DefaultBindings()) << content;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << content << printed;
  }
}

TEST(Bindings, WithTheDefaultsOrOutsidePlayNothingIsTurned) {
  g_controls.Reset();
  for (bool playing : {false, true}) {
    g_controls.playing = playing;
    for (int code = 1; code <= 254; ++code) {
      EXPECT_EQ(PlayKeyCode(code, true), code);
      EXPECT_EQ(PlayKeyCode(code, false), code);
    }
    PadState pad;
    pad.buttons = 0x3FFF;
    pad.leftTrigger = 77;
    PadState turned = pad;
    TranslatePad(turned);
    EXPECT_EQ(turned.buttons, pad.buttons);
    EXPECT_EQ(turned.leftTrigger, pad.leftTrigger);
  }
  // Bound anew but in a menu: the keys are as pressed.
  Action holder;
  ASSERT_EQ(BindKey(g_controls.bound, Action::MainGun, KEY_K, holder), BindResult::Bound);
  g_controls.playing = false;
  EXPECT_EQ(PlayKeyCode(KEY_K, true), KEY_K);
  EXPECT_EQ(PlayKeyCode(KEY_K, false), KEY_K);
  g_controls.Reset();
}

} // namespace
