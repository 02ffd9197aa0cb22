// The installed game's launcher, run against an install of our own making: the player's
// folder it lays out, and what the game writes there outliving a new version of the game.
#include <gtest/gtest.h>
#include "core/Options.h"
#include "core/System.h"
#include "levels/LevelFile.h"
#include "objects/GameObjectFactory.h"
#include "objects/Vehicle.h"
#include "support/GlTestContext.h"
#include "support/TestImages.h"
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// The launcher as the build configured it for the install.
const char* const LAUNCHER = "dist/kvo";

std::string Text(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class Launcher : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(LAUNCHER)) << "run from the build folder";
    built = fs::current_path();
    root = TempFolder();
    prefix = root + "/usr";
    own = root + "/data/kvo";
    fs::create_directories(prefix + "/games");
    fs::create_directories(prefix + "/libexec/kvo");
    fs::copy_file(LAUNCHER, prefix + "/games/kvo");
    // The game stands in as a script that notes where it was started and with what.
    WriteText(prefix + "/libexec/kvo/Kvo", "#!/bin/sh\n{ pwd -P; echo \"$@\"; } > \"$(dirname \"$0\")/started\"\n");
    fs::permissions(prefix + "/libexec/kvo/Kvo", fs::perms::owner_all);
    Ship("Assets/Windows.txt", "1280 760 0\n");
    Ship("Assets/Levels/FIRST.txt", "shipped level\n");
    Ship("Assets/image/old.png", "old picture\n");
    Ship("shaders/basic.vert", "void main() {}\n");
    WriteRgbaPng(Shipped("Assets/image/tank.png"), 4, 4, std::vector<uint32_t>(16, 0xffffffffu));
    Ship("Assets/image/tank.txt", "f= 0 0 4 4\n");
    // The font is another package's, linked as the Debian package links it.
    fs::create_directories(prefix + "/share/fonts");
    WriteText(prefix + "/share/fonts/Font.ttf", "system font\n");
    fs::create_directories(Shipped("Assets/font"));
    fs::create_symlink("../../../fonts/Font.ttf", Shipped("Assets/font/Font.ttf"));
  }
  void TearDown() override {
    g_systems.clear();
    fs::current_path(built);
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  std::string Shipped(const std::string& relative) { return prefix + "/share/kvo/" + relative; }
  // Installed files are the owner's to write and everyone's to read, as the install makes them.
  void Ship(const std::string& relative, const std::string& text) {
    const std::string path = Shipped(relative);
    fs::create_directories(fs::path(path).parent_path());
    if (fs::exists(path)) fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    WriteText(path, text);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
  }
  int Launch(const std::string& environment = "") {
    const std::string command = "env " + (environment.empty() ? "XDG_DATA_HOME=" + root + "/data" : environment) +
                                " " + prefix + "/games/kvo -x 1";
    return std::system(command.c_str());
  }
  std::string Own(const std::string& relative) { return own + "/" + relative; }

  fs::path built;
  std::string root, prefix, own;
};

TEST_F(Launcher, StartsTheGameInAFolderOfThePlayersOwn) {
  ASSERT_EQ(Launch(), 0);
  EXPECT_EQ(Text(prefix + "/libexec/kvo/started"), fs::canonical(Own("run")).string() + "\n-x 1\n");
  // Shipped files are links to the installed ones, in real folders the game can write in.
  EXPECT_TRUE(fs::is_symlink(Own("Assets/Windows.txt")));
  EXPECT_EQ(fs::canonical(Own("Assets/Windows.txt")), fs::canonical(Shipped("Assets/Windows.txt")));
  EXPECT_EQ(Text(Own("Assets/Levels/FIRST.txt")), "shipped level\n");
  for (const char* folder : {"Assets", "Assets/Levels", "Assets/image"}) {
    EXPECT_TRUE(fs::is_directory(Own(folder)) && !fs::is_symlink(Own(folder))) << folder;
  }
  EXPECT_TRUE(fs::is_symlink(Own("shaders")));
  EXPECT_EQ(Text(Own("shaders/basic.vert")), "void main() {}\n");
  EXPECT_EQ(Text(Own("Assets/font/Font.ttf")), "system font\n");
}

TEST_F(Launcher, WithoutXdgDataHomeTheFolderIsInTheHomeFolder) {
  ASSERT_EQ(Launch("-u XDG_DATA_HOME HOME=" + root + "/home"), 0);
  EXPECT_TRUE(fs::is_symlink(root + "/home/.local/share/kvo/Assets/Windows.txt"));
  ASSERT_EQ(Launch("XDG_DATA_HOME=relative/path HOME=" + root + "/home2"), 0); // not absolute: ignored
  EXPECT_TRUE(fs::is_symlink(root + "/home2/.local/share/kvo/Assets/Windows.txt"));
}

TEST_F(Launcher, WhatTheGameWritesIsThePlayersAndOutlivesANewVersion) {
  ASSERT_TRUE(GlTestContext::Get().ok);
  ASSERT_EQ(Launch(), 0);
  fs::current_path(Own("run"));

  // The game's own writers, as the player's game runs them: options, and the editor
  // saving over a shipped level.
  Options chosen;
  chosen.musicLevel = 0.3f;
  ASSERT_TRUE(WriteOptions(chosen));
  auto factory = std::make_shared<GameObjectFactory>();
  g_systems.push_back(factory);
  Vehicle* player = factory->CreateVehicle("PLAYER", "../Assets/image/tank.png", Vec3(400, 300, 1), 24, 16, 1,
                                           "../Assets/image/tank.txt");
  testing::internal::CaptureStdout();
  SaveLevel({player}, "../Assets/Levels/FIRST.txt");
  SaveLevel({player}, "../Assets/Levels/MINE.txt");
  const std::string saved = testing::internal::GetCapturedStdout();
  EXPECT_EQ(saved.find("Error"), std::string::npos) << saved;
  const std::string mine = Text(Own("Assets/Levels/FIRST.txt"));
  for (const char* file : {"Assets/Options.txt", "Assets/Levels/FIRST.txt", "Assets/Levels/FIRST.txt2",
                           "Assets/Levels/MINE.txt"}) {
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Own(file)))) << file;
  }
  EXPECT_NE(mine, "shipped level\n");
  EXPECT_EQ(Text(Shipped("Assets/Levels/FIRST.txt")), "shipped level\n"); // the install is untouched

  // A new version: a changed file, a new one, one dropped, and a file the player has too.
  Ship("Assets/Windows.txt", "1296 760 0\n");
  Ship("Assets/Levels/SECOND.txt", "new level\n");
  fs::remove(Shipped("Assets/image/old.png"));
  Ship("Assets/Options.txt", "music 1\n");
  fs::current_path(built);
  ASSERT_EQ(Launch(), 0);
  EXPECT_EQ(Text(Own("Assets/Windows.txt")), "1296 760 0\n");
  EXPECT_TRUE(fs::is_symlink(Own("Assets/Levels/SECOND.txt")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(Own("Assets/image/old.png"))));
  EXPECT_EQ(Text(Own("Assets/Levels/FIRST.txt")), mine);
  EXPECT_TRUE(fs::exists(Own("Assets/Levels/MINE.txt")));
  EXPECT_FALSE(fs::is_symlink(Own("Assets/Options.txt")));
  Options kept;
  fs::current_path(Own("run"));
  ASSERT_TRUE(ReadOptions(kept));
  EXPECT_FLOAT_EQ(kept.musicLevel, 0.3f);
  fs::current_path(built);

  // Installed somewhere else (another prefix): the links follow, the player's files stay.
  const std::string moved = root + "/opt";
  fs::rename(prefix, moved);
  prefix = moved;
  ASSERT_EQ(Launch(), 0);
  EXPECT_EQ(fs::canonical(Own("Assets/Windows.txt")), fs::canonical(Shipped("Assets/Windows.txt")));
  EXPECT_EQ(fs::canonical(Own("shaders")), fs::canonical(Shipped("shaders")));
  EXPECT_EQ(Text(Own("Assets/Levels/FIRST.txt")), mine);
}

} // namespace
