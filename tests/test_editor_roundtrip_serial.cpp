// Every level the game ships, opened in the editor and saved under another name, comes
// out as it went in: the object list (the file levels are played from) and the level
// description, token for token.
#include "core/GameState.h"
#include "editor/Editor.h"
#include "levels/LevelFile.h"
#include "support/EditorSession.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>

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

} // namespace

TEST(EditorRoundTrip, EveryShippedLevelSavesBackUnchanged) {
  EditorSession s({.shippedLevels = true, .palette = true, .paletteText = ""});
  // The six the game ships; a level a designer saved beside them is not one of them.
  const std::vector<std::string> shipped = {"BOSS", "FIRSTMOD", "SECOND", "TUTORIAL", "TUTPIT", "TUTSHOOT"};
  const std::vector<std::string> present = LevelStems(s.LevelsFolder());
  for (const std::string& stem : shipped)
    ASSERT_NE(std::find(present.begin(), present.end(), stem), present.end()) << stem << " is not in Assets/Levels";
  ASSERT_TRUE(s.Enter());

  for (const std::string& stem : shipped) {
    SCOPED_TRACE(stem);
    ASSERT_TRUE(ValidateLevelFile(s.LevelsFolder() + "/" + stem + ".txt"));
    // Opened by name, as PREVIOUS / NEXT and UNSERIALIZE do.
    g_editor.levelName = g_editor.displayName = stem;
    s.ClickButton("UNSERIALIZE");
    ASSERT_FALSE(g_editor.placedObjects.empty());

    const std::string copy = "RT" + stem.substr(0, 8);
    s.ClickButton("RENAME");
    for (size_t i = 0; i < stem.size() + 1; ++i) s.Key(SDL_SCANCODE_BACKSPACE);
    s.Type(copy);
    s.Key(SDL_SCANCODE_RETURN);
    ASSERT_EQ(g_editor.displayName, copy);
    s.ClickButton("SERIALIZE");

    const std::string folder = s.LevelsFolder() + "/";
    ExpectSameTokens(folder + stem + ".txt2", folder + copy + ".txt2");
    ExpectSameTokens(folder + stem + ".txt", folder + copy + ".txt");
  }
}
