// F9 in the editor: the level is saved and played by the autopilot through the real game,
// and the editor comes back with the verdict on its card and the route drawn. A playing
// level pauses without the keyboard focus: this runs alone.
#include "core/GameState.h"
#include "editor/Editor.h"
#include "levels/Replay.h"
#include "pilot/Prove.h"
#include "support/EditorSession.h"
#include <gtest/gtest.h>
#include <cmath>
#include <filesystem>
#include <string>

namespace {

std::string Wall(int column, int row) {
  return "GameObject WALL ../Assets/image/wall.png 0 1 1 0 " + std::to_string(26 + 52 * column) + " " +
         std::to_string(26 + 52 * row) + " 26 26 EndGameObject\n";
}

// The player at (104, 182) and the road's end at (490, 182), with `more` added.
std::string Ends(const std::string& more) {
  return "Vehicle PLAYER ../Assets/image/Tank_moving.png 0 1 1 0 104 182 25 25 EndVehicle\n"
         "GameObject END ../Assets/image/props/roadEnd.png 0 1 1 0 490 182 25 25 EndGameObject\n" +
         more;
}

// Both ends in a yard of 12 by 7 cells closed by walls, with `inside` added.
std::string Yard(const std::string& inside) {
  std::string walls;
  for (int c = 0; c < 12; ++c) walls += Wall(c, 0) + Wall(c, 6);
  for (int r = 1; r < 6; ++r) walls += Wall(0, r) + Wall(11, r);
  return Ends(walls + inside);
}

struct ProveCase {
  const char* name;
  std::string level;
  ProveVerdict verdict;
  const char* headline;
  bool byButton; // PROVE instead of F9
};

} // namespace

TEST(EditorProve, F9PlaysTheSavedLevelAndComesBackOnItsVerdict) {
  std::string ring; // the cells around the road's end's, (9, 3)
  for (int c = 8; c <= 10; ++c)
    for (int r = 2; r <= 4; ++r)
      if (c != 9 || r != 3) ring += Wall(c, r);
  const ProveCase cases[] = {
      {"YARD", Yard(""), ProveVerdict::Won, "YARD PROVED: WON", false},
      {"FIELD", Ends(""), ProveVerdict::Won, "FIELD PROVED: WON", false}, // no walls at all
      {"WALLED", Yard(ring), ProveVerdict::NoRoute, "WALLED NOT WON: NO ROUTE FOUND", true},
  };
  for (const ProveCase& c : cases) {
    SCOPED_TRACE(c.name);
    EditorSession s;
    s.tree.Write(std::string("Assets/Levels/") + c.name + ".txt", c.level);
    s.tree.Write(std::string("Assets/Levels/") + c.name + ".txt2", c.level);
    ASSERT_TRUE(s.Enter());
    s.ClickButton("UNSERIALIZE");
    ASSERT_EQ(g_editor.displayName, c.name);

    if (c.byButton)
      s.ClickButton("PROVE");
    else
      s.Key(SDL_SCANCODE_F9);
    ASSERT_TRUE(s.harness.FramesUntil([] { return g_loop.currentState == STATE_TUTORIAL; }, 200));
    s.Key(SDL_SCANCODE_F); // fast-forward
    ASSERT_TRUE(s.harness.FramesUntil([] { return g_loop.currentState == STATE_EDITOR; }, 3000));
    s.harness.Frame(3);

    EXPECT_EQ(g_editor.displayName, c.name); // the same level open again
    ASSERT_TRUE(g_prove.shown);
    EXPECT_EQ(g_prove.verdict, c.verdict);
    EXPECT_EQ(ProveCardLines(g_prove).front(), c.headline);
    ASSERT_GE(g_prove.route.size(), 1u);
    EXPECT_NEAR(g_prove.route.front().x, 104.0f, 1.0f); // from the start
    const float left = std::hypot(g_prove.route.back().x - 490.0f, g_prove.route.back().y - 182.0f);
    if (c.verdict == ProveVerdict::Won) {
      EXPECT_LT(left, 75.0f) << "the route ends on the road's end";
      EXPECT_EQ(g_prove.hp, 10);
      EXPECT_FALSE(std::filesystem::exists(BestReplayPath(c.name))) << "the autopilot's run is not the designer's best";
    } else {
      EXPECT_GT(left, 100.0f) << "the ring keeps it away";
    }
    ClearProveRoute(); // an edit: nothing is drawn any more
    EXPECT_TRUE(g_prove.route.empty());
    EXPECT_FALSE(g_prove.shown);
  }
}
