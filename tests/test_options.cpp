// The remembered options: reading, writing, and what a damaged file gives.
#include <gtest/gtest.h>
#include "core/Options.h"
#include "support/GameHarness.h"
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct Read {
  bool ok = false;
  Options options;
  std::string printed;
};

Read ReadFrom(const ScratchTree& tree, const char* content) {
  if (content) tree.Write("Assets/Options.txt", content);
  Read r;
  r.options.musicLevel = 0.1f; // whatever was there before must not survive
  testing::internal::CaptureStdout();
  r.ok = ReadOptions(r.options);
  std::fflush(stdout);
  r.printed = testing::internal::GetCapturedStdout();
  return r;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST(Options, WhatIsWrittenIsReadBack) {
  ScratchTree tree;
  Options chosen;
  chosen.musicLevel = 0.25f;
  chosen.effectsLevel = 1.0f;
  chosen.musicMuted = true;
  chosen.fullscreen = false;
  chosen.shake = false;
  ASSERT_TRUE(WriteOptions(chosen));
  Read r = ReadFrom(tree, nullptr);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.options, chosen);
  EXPECT_EQ(r.printed, "");
  EXPECT_FALSE(fs::exists("../Assets/Options.txt.saving"));
}

TEST(Options, AnyOrderWindowsLineEndsAndUnknownNamesAreFine) {
  ScratchTree tree;
  Read r = ReadFrom(tree, "fullscreen 0\r\n\r\nvibration 1\r\neffects 0.5\r\n");
  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(r.options.fullscreen);
  EXPECT_FLOAT_EQ(r.options.effectsLevel, 0.5f);
  EXPECT_FLOAT_EQ(r.options.musicLevel, 0.75f); // not in the file: the default
  EXPECT_EQ(r.printed, "");
}

TEST(Options, AMissingOrDamagedFileGivesTheDefaultsAndOneLine) {
  const char* damaged[] = {
      nullptr,                          // no file
      "",                               // empty
      "music 0.5\neffects\n",           // a name without a value
      "music loud\n",                   // not a number
      "music 1.5\n",                    // out of range
      "effects -0.1\n",                 // out of range
      "music nan\n",                    // not a level
      "musicMuted 2\n",                 // switches are 0 or 1
      "fullscreen 1 0\n",               // one value a line
      "shake on\n",                     // switches are 0 or 1
      "music 0.5x\n",                   // trailing junk
      "\x01\xff\xfe garbage \x7f\n",    // not text at all
  };
  for (const char* content : damaged) {
    ScratchTree tree;
    Read r = ReadFrom(tree, content);
    const std::string what = content ? content : "(missing)";
    EXPECT_FALSE(r.ok) << what;
    EXPECT_EQ(r.options, Options{}) << what;
    EXPECT_EQ(Lines(r.printed), 1) << what << r.printed;
  }
}

TEST(Options, ASaveReplacesALinkToAShippedFileAndLeavesTheShippedFileAlone) {
  ScratchTree tree;
  tree.Write("shipped/Options.txt", "music 0.5\n");
  const fs::path shipped = fs::path(tree.root) / "shipped/Options.txt";
  fs::create_symlink(shipped, "../Assets/Options.txt");
  ASSERT_TRUE(ReadFrom(tree, nullptr).ok);

  Options chosen;
  chosen.effectsMuted = true;
  ASSERT_TRUE(WriteOptions(chosen));
  EXPECT_FALSE(fs::is_symlink("../Assets/Options.txt"));
  EXPECT_TRUE(ReadFrom(tree, nullptr).options.effectsMuted);
  std::ifstream original(shipped);
  std::stringstream text;
  text << original.rdbuf();
  EXPECT_EQ(text.str(), "music 0.5\n");
}

TEST(Options, OnlyAChangeIsWritten) {
  ScratchTree tree;
  g_options = Options{};
  RememberOptions(Options{}); // nothing changed: no file
  EXPECT_FALSE(fs::exists("../Assets/Options.txt"));
  Options louder;
  louder.musicLevel = 0.9f;
  RememberOptions(louder);
  EXPECT_EQ(g_options, louder);
  EXPECT_FLOAT_EQ(ReadFrom(tree, nullptr).options.musicLevel, 0.9f);
}

TEST(Options, AFolderThatCannotBeWrittenKeepsTheGameGoing) {
  ScratchTree tree;
  fs::create_directories("../Assets/Options.txt"); // a folder where the file should be
  testing::internal::CaptureStdout();
  EXPECT_FALSE(WriteOptions(Options{}));
  std::fflush(stdout);
  EXPECT_EQ(Lines(testing::internal::GetCapturedStdout()), 1);
  EXPECT_FALSE(fs::exists("../Assets/Options.txt.saving"));
}

} // namespace
