// Serial: the game is played with random input, which moves the X focus.
// A half-deleted content folder: for each kind of damage the real game runs through every
// state over a damaged copy of Assets and ends cleanly, and each missing or broken file
// prints its one line, naming the file and what the game does instead.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include "core/GameState.h"
#include "render/TextureCache.h"
#include "support/SoakDriver.h"

namespace fs = std::filesystem;

namespace {

// Lines of the output holding `text`.
int CountLinesOf(const std::string& output, const std::string& text) {
  std::istringstream in(output);
  int found = 0;
  for (std::string line; std::getline(in, line);) found += line.find(text) != std::string::npos;
  return found;
}

struct Outcome {
  bool visited = false; // every state was reached and ran
  bool ended = false;   // the window's close ended the loop
  SoakCounts counts;
  std::string output;
};

class DamagedAssets : public ::testing::Test {
protected:
  void SetUp() override {
    const fs::path assets = fs::absolute("../Assets"), shaders = fs::absolute("../shaders");
    tree = std::make_unique<ScratchTree>();
    root = tree->root;
    fs::remove_all(root / "Assets");
    fs::copy(assets, root / "Assets", fs::copy_options::recursive);
    fs::remove(root / "shaders");
    fs::create_directory_symlink(shaders, root / "shaders");
  }
  void TearDown() override { tree.reset(); }

  // Truncates a file to `keep` of its bytes (a fraction of its size when below 1).
  void Truncate(const fs::path& file, double keep) {
    const auto size = fs::file_size(file);
    fs::resize_file(file, keep < 1.0 ? static_cast<uintmax_t>(size * keep) : static_cast<uintmax_t>(keep));
  }

  // The whole game over the damaged copy: every state, then the player closes the window.
  Outcome Play() {
    Outcome outcome;
    testing::internal::CaptureStdout();
    {
      SoakDriver soak(7);
      soak.allowQuit = false;
      if (soak.Start()) {
        outcome.visited = soak.VisitEveryState(40);
        soak.game->CloseWindow();
        outcome.ended = !soak.game->FramesUntil([&] { return !soak.game->running; }, 200) ? false : true;
        outcome.counts = soak.counts;
        DeleteCachedTextures();
        soak.Stop();
      }
    }
    outcome.output = testing::internal::GetCapturedStdout();
    return outcome;
  }


  void ExpectClean(const Outcome& o) {
    EXPECT_TRUE(o.visited) << o.output;
    EXPECT_TRUE(o.ended) << "the window's close did not end the game";
    EXPECT_EQ(o.counts.gameRuns, 1) << "the game ended on its own before the close";
    EXPECT_EQ(o.counts.glErrors, 0) << o.counts.firstGlError;
  }

  std::unique_ptr<ScratchTree> tree;
  fs::path root;
};

// Each damage, then what the game must say: a line naming the file, for each file named.
void ExpectNamed(const std::string& output, const std::vector<std::string>& files) {
  for (const std::string& file : files) EXPECT_GE(CountLinesOf(output, file), 1) << file << "\n" << output;
}

TEST_F(DamagedAssets, EmptyAssetsFolder) {
  for (const auto& entry : fs::directory_iterator(root / "Assets")) fs::remove_all(entry.path());
  const Outcome o = Play();
  ExpectClean(o);
  ExpectNamed(o.output, {"Windows.txt", "AudioLoad.txt", "Levels", "mainmenuBackground.png",
                         "RobotoCondensed-Regular.ttf", "FIRSTMOD.txt"});
  std::printf("%s", o.output.c_str());
}

TEST_F(DamagedAssets, MissingLevelsFolder) {
  fs::remove_all(root / "Assets/Levels");
  const Outcome o = Play();
  ExpectClean(o);
  ExpectNamed(o.output, {"Levels", "FIRSTMOD.txt"});
  // Said once a run: every state lists the folder again. (Run alone, as CTest runs it, the
  // line is there once; after another test of this binary that said it, not at all.)
  EXPECT_LE(CountLinesOf(o.output, "cannot list ../Assets/Levels/"), 1) << o.output;
  std::printf("%s", o.output.c_str());
}

TEST_F(DamagedAssets, MissingAndTruncatedImages) {
  fs::remove(root / "Assets/image/mainmenuBackground.png");
  fs::remove(root / "Assets/image/wall.png");
  Truncate(root / "Assets/image/Tank_moving.png", 0.5);
  Truncate(root / "Assets/image/grass.png", 20);
  Truncate(root / "Assets/image/mainmenuBtns.png", 4); // not even a signature
  const Outcome o = Play();
  ExpectClean(o);
  // One line for each broken picture, however often the game asks for it.
  for (const char* picture : {"mainmenuBackground.png", "wall.png", "Tank_moving.png", "grass.png", "mainmenuBtns.png"})
    EXPECT_EQ(CountLinesOf(o.output, picture), 1) << picture << "\n" << o.output;
  EXPECT_EQ(CountLinesOf(o.output, "drawn without its picture"), 5) << o.output;
  std::printf("%s", o.output.c_str());
}

TEST_F(DamagedAssets, EmptySoundList) {
  std::ofstream(root / "Assets/Audio/AudioLoad.txt", std::ios::trunc);
  const Outcome o = Play();
  ExpectClean(o);
  EXPECT_EQ(CountLinesOf(o.output, "Error: ../Assets/Audio/AudioLoad.txt lists no sounds: the game plays without sounds"),
            1) << o.output;
  EXPECT_EQ(CountLinesOf(o.output, "The line is empty"), 0) << o.output;
  std::printf("%s", o.output.c_str());
}

TEST_F(DamagedAssets, TruncatedLevelFile) {
  Truncate(root / "Assets/Levels/FIRSTMOD.txt", 0.5);
  Truncate(root / "Assets/Levels/FIRSTMOD.txt2", 0.5);
  const Outcome o = Play();
  ExpectClean(o);
  ExpectNamed(o.output, {"FIRSTMOD.txt"});
  std::printf("%s", o.output.c_str());
}

TEST_F(DamagedAssets, MissingPlayerLoadout) {
  fs::remove(root / "Assets/Player.txt");
  const Outcome o = Play();
  ExpectClean(o);
  ExpectNamed(o.output, {"Player.txt"});
  std::printf("%s", o.output.c_str());
}

TEST_F(DamagedAssets, GarbageHighscoreTable) {
  std::string garbage;
  std::mt19937 random(3);
  for (int i = 0; i < 600; ++i) garbage += static_cast<char>(random() & 0xFF);
  garbage += "\nALICE 12\nBOB notanumber\n-999999999999999999999 x\n";
  tree->Write("Assets/Highscore.txt", garbage);
  const Outcome o = Play();
  ExpectClean(o);
  ExpectNamed(o.output, {"Highscore.txt"});
  std::printf("%s", o.output.c_str());
}

} // namespace
