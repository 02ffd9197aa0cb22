// Every level the game ships, opened in the editor and saved under another name, comes
// out as it went in: the object list (the file levels are played from) token for token,
// the level description with the same blocks.
#include "core/GameState.h"
#include "editor/Editor.h"
#include "levels/LevelFile.h"
#include "support/EditorSession.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <iterator>

namespace fs = std::filesystem;

namespace {

// The level names in a level folder, as the game lists them.
std::vector<std::string> LevelStems(const fs::path& folder) {
  std::vector<std::string> stems;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec))
    if (entry.path().extension() == ".txt") stems.push_back(entry.path().stem().string());
  std::sort(stems.begin(), stems.end());
  return stems;
}

void ExpectSameTokens(const std::string& original, const std::string& saved) {
  const std::vector<std::string> a = FileTokens(original), b = FileTokens(saved);
  ASSERT_FALSE(a.empty()) << original;
  ASSERT_EQ(a.size(), b.size()) << original << " vs " << saved;
  for (size_t i = 0; i < a.size(); ++i)
    ASSERT_EQ(a[i], b[i]) << "token " << i << " of " << original << " vs " << saved;
}

// The level description file as a sorted list of its blocks. The editor writes it in the
// order the level was opened in (the object list's: player first, shots last), and the
// player, made from a "Vehicle" block, as a vehicle; a level built cell by cell lists its
// objects as they were placed. Both describe the same objects.
std::vector<std::string> DescriptionBlocks(const std::string& path) {
  std::vector<std::string> tokens = FileTokens(path), blocks;
  std::string block;
  for (std::string& t : tokens) {
    if (t == "Vehicle") t = "GameObject";
    if (t == "EndVehicle") t = "EndGameObject";
    block += t + " ";
    if (t == "EndGameObject") {
      blocks.push_back(block);
      block.clear();
    }
  }
  if (!block.empty()) blocks.push_back(block);
  std::sort(blocks.begin(), blocks.end());
  return blocks;
}

} // namespace

TEST(EditorRoundTrip, EveryShippedLevelSavesBackUnchanged) {
  EditorSession s({.shippedLevels = true, .palette = true, .paletteText = ""});
  const std::vector<std::string> shipped = LevelStems(s.LevelsFolder());
  if (shipped.empty()) GTEST_SKIP() << "no levels in " << s.realAssets << "/Levels yet: nothing to round-trip";
  ASSERT_TRUE(s.Enter());

  for (const std::string& stem : shipped) {
    if (!ValidateLevelFile(s.LevelsFolder() + "/" + stem + ".txt")) continue; // the editor cannot open it either
    SCOPED_TRACE(stem);
    // Opened by name, as PREVIOUS / NEXT and UNSERIALIZE do.
    g_levelName = g_displayName = stem;
    s.ClickButton("UNSERIALIZE");
    ASSERT_FALSE(g_placedObjects.empty());

    const std::string copy = "RT" + stem.substr(0, 8);
    s.ClickButton("RENAME");
    for (size_t i = 0; i < stem.size() + 1; ++i) s.Key(SDL_SCANCODE_BACKSPACE);
    s.Type(copy);
    s.Key(SDL_SCANCODE_RETURN);
    ASSERT_EQ(g_displayName, copy);
    s.ClickButton("SERIALIZE");

    const std::string folder = s.LevelsFolder() + "/";
    ExpectSameTokens(folder + stem + ".txt2", folder + copy + ".txt2");
    const std::vector<std::string> shippedBlocks = DescriptionBlocks(folder + stem + ".txt");
    const std::vector<std::string> savedBlocks = DescriptionBlocks(folder + copy + ".txt");
    std::vector<std::string> onlyShipped, onlySaved;
    std::set_difference(shippedBlocks.begin(), shippedBlocks.end(), savedBlocks.begin(), savedBlocks.end(),
                        std::back_inserter(onlyShipped));
    std::set_difference(savedBlocks.begin(), savedBlocks.end(), shippedBlocks.begin(), shippedBlocks.end(),
                        std::back_inserter(onlySaved));
    EXPECT_TRUE(onlyShipped.empty() && onlySaved.empty())
        << "shipped only: " << ::testing::PrintToString(onlyShipped) << "\nsaved only: " << ::testing::PrintToString(onlySaved);
  }
}
