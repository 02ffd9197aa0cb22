// The editor's level check: silent on every shipped level as the editor opens it, and each
// kind of finding on a small level drawn for it; then its panel's rows, pages and look.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Window.h"
#include "editor/CheckPanel.h"
#include "editor/Editor.h"
#include "editor/LevelCheck.h"
#include "levels/GenericLevel.h"
#include "levels/LevelFile.h"
#include "objects/GameObject.h"
#include "objects/NPC.h"
#include "render/Camera.h"
#include "render/DrawBatch.h"
#include "support/GameFolder.h"
#include "support/GlTestContext.h"
#include "support/TestImages.h"

namespace {

std::string Describe(const std::vector<Finding>& findings) {
  std::string text;
  for (const Finding& f : findings) text += "\n  " + f.message;
  return text;
}

std::vector<FindingKind> KindsOf(const std::vector<Finding>& findings) {
  std::vector<FindingKind> kinds;
  for (const Finding& f : findings) kinds.push_back(f.kind);
  std::sort(kinds.begin(), kinds.end());
  return kinds;
}

// ---- the shipped levels -------------------------------------------------------------------

class ShippedLevelCheck : public GameFolderTest, public ::testing::WithParamInterface<const char*> {
protected:
  void SetUp() override {
    ASSERT_TRUE(GlTestContext::Get().ok);
    EnterGameFolder({}, {});
    const std::string level = std::string("Levels/") + GetParam();
    LinkGameAssets({"font", "image/npc", "image/enemy", "image/filler", "image/props", "image/wall.png",
                    "image/wall2.png", "image/Tank_moving.png", "image/Tank_moving.txt", "image/gateClose.png",
                    "image/gateClose.txt", "image/mushroom2.png", (level + ".txt").c_str(), (level + ".txt2").c_str()});
  }
};

TEST_P(ShippedLevelCheck, FindsNothing) {
  const std::string path = std::string("../Assets/Levels/") + GetParam() + ".txt";
  testing::internal::CaptureStdout();
  const std::vector<GameObject*> placed = LoadObjectListToEdit(path, true);
  testing::internal::GetCapturedStdout();
  ASSERT_GT(placed.size(), 100u);
  const std::vector<Finding> findings = CheckLevel(placed, KindOfLevel(path));
  EXPECT_TRUE(findings.empty()) << GetParam() << ":" << Describe(findings);
}

INSTANTIATE_TEST_SUITE_P(Levels, ShippedLevelCheck,
                         ::testing::Values("FIRSTMOD", "SECOND", "BOSS", "TUTORIAL", "TUTSHOOT", "TUTPIT"));

// ---- one level a finding -----------------------------------------------------------------

// A level drawn in cells of 52 units, the first line at y = 26: # wall, P player, E end,
// O portal, g the row's gate, a / b patrollers of kill group A / B, n the row's character
// (NPC2 has a card, NPC9 none), G garage, Z pizza, s sack, * an enemy shot, _ the spot the
// first finding must point at (nothing stands there).
struct DrawnLevel {
  const char* title;
  LevelKind kind;
  std::vector<const char*> map;
  std::vector<FindingKind> expected; // in FindingKind order
  const char* gate = "GATE10";
  const char* npc = "NPC2";
  float strayWallX = 0.0f; // a lone wall this far to the right, when not 0
};

using K = FindingKind;
const DrawnLevel kDrawn[] = {
    {"SacksAndShotPoolsAreNoProblem", LevelKind::Main,
     {"*           ", " ########## ", " #    s   # ", " #P   s  E# ", " #    s   # ", " ########## "}, {}},
    {"NoPlayer", LevelKind::Main, {"######", "#    #", "#   E#", "#    #", "######"}, {K::NoPlayer}},
    {"NoExit", LevelKind::Main, {"######", "#    #", "#P   #", "#    #", "######"}, {K::NoExit}},
    {"ExitBehindAWall", LevelKind::Main,
     {"##########", "#   #    #", "#P  #   E#", "#   #    #", "##########"}, {K::ExitOutOfReach}},
    {"NoRuleOpensTheGateToThePortal", LevelKind::Main,
     {"##########", "#   g    #", "#P  g   O#", "#   g    #", "##########"},
     {K::ExitOutOfReach, K::GateNeverOpens}, "GATE5"},
    {"PizzaOpensGate10", LevelKind::Main,
     {"##########", "# Z g    #", "#P  g   E#", "#   g    #", "##########"}, {}},
    {"PizzaBehindItsGate", LevelKind::Main,
     {"##########", "#   g  Z #", "#P  g   E#", "#   g    #", "##########"}, {K::ExitOutOfReach}},
    {"TwoPatrollersForGate11", LevelKind::Main,
     {"##########", "# a g    #", "#P  g   E#", "# a g    #", "##########"},
     {K::ExitOutOfReach, K::TooFewPatrollers}, "GATE11"},
    {"FourPatrollersOpenGate11", LevelKind::Main,
     {"##########", "#a a g   #", "#P   g  E#", "#a a g   #", "##########"}, {}, "GATE11"},
    {"SevenBPatrollersAreNeededOnTheFarSide", LevelKind::Main,
     {"###########", "#    g bbb#", "#P   g bbE#", "#    g bb #", "###########"},
     {K::ExitOutOfReach}, "GATE12"},
    {"TalkOpensTheStagesGate1", LevelKind::Tutorial,
     {"##########", "# n g    #", "#P  g   E#", "#   g    #", "##########"}, {}, "GATE1"},
    {"NobodyToTalkToAndNoCard", LevelKind::Tutorial,
     {"##########", "# n g    #", "#P  g   E#", "#   g    #", "##########"},
     {K::ExitOutOfReach, K::GateNeverOpens, K::NoHelpCard}, "GATE1", "NPC9"},
    {"BossGarageOpensGate21", LevelKind::Boss,
     {"##########", "# G g    #", "#P  g   E#", "#   g    #", "##########"}, {}, "GATE21"},
    {"NoGarageGateInAMainLevel", LevelKind::Main,
     {"##########", "# G g    #", "#P  g   E#", "#   g    #", "##########"},
     {K::ExitOutOfReach, K::GateNeverOpens}, "GATE21"},
    {"SackOutsideTheWalls", LevelKind::Main,
     {"s         ", " ######## ", " #      # ", " #P    E# ", " #      # ", " ######## "}, {K::OutsideWalls}},
    {"GapInTheWalls", LevelKind::Main, {"##########", "#        #", "#P     E _", "#        #", "##########"},
     {K::OpenWalls}},
    {"NoWalls", LevelKind::Main, {"P   E"}, {K::OpenWalls}},
    {"StrayWallFarOff", LevelKind::Main, {"######", "#    #", "#P  E#", "#    #", "######"}, {K::TooLarge}, "GATE10",
     "NPC2", 40000.0f},
};

class DrawnLevelCheck : public GameFolderTest, public ::testing::WithParamInterface<DrawnLevel> {
protected:
  void SetUp() override {
    ASSERT_TRUE(GlTestContext::Get().ok);
    EnterGameFolder({"tile"}, {});
    std::filesystem::create_directories(root + "/Assets/image/npc");
    WriteRgbaPng(root + "/Assets/image/npc/npc2.png", 4, 4, std::vector<uint32_t>(16, 0xffffffffu));
  }
  GameObject* Put(const std::string& name, float x, float y, int half) {
    if (name == "GARAGE" || name.rfind("NPC", 0) == 0)
      return factory->CreateNPC(name, "../Assets/image/tile.png", Vec3(x, y, 1), half, half, 1, "", Vec3());
    return factory->Create(name, "../Assets/image/tile.png", Vec3(x, y, 1), half, half, 1);
  }
};

TEST_P(DrawnLevelCheck, FindsWhatTheLevelWasDrawnFor) {
  const DrawnLevel& level = GetParam();
  std::vector<GameObject*> placed;
  Vec3 spot(-1, -1, 0);
  for (size_t row = 0; row < level.map.size(); ++row)
    for (size_t column = 0; level.map[row][column]; ++column) {
      const float x = 26.0f + 52.0f * column, y = 26.0f + 52.0f * row;
      switch (level.map[row][column]) {
      case '#': placed.push_back(Put("WALL", x, y, 26)); break;
      case 'P': placed.push_back(Put("PLAYER", x, y, 25)); break;
      case 'E': placed.push_back(Put("END", x, y, 25)); break;
      case 'O': placed.push_back(Put("PORTALNEXT", x, y, 26)); break;
      case 'g': placed.push_back(Put(level.gate, x, y, 26)); break;
      case 'a': placed.push_back(Put("ENEMY2A", x, y, 22)); break;
      case 'b': placed.push_back(Put("ENEMY2B", x, y, 22)); break;
      case 'n': placed.push_back(Put(level.npc, x, y, 20)); break;
      case 'G': placed.push_back(Put("GARAGE", x, y, 27)); break;
      case 'Z': placed.push_back(Put("PIZZA", x, y, 20)); break;
      case 's': placed.push_back(Put("SACK", x, y, 24)); break;
      case '*': placed.push_back(Put("ENEMYPROJECTILE", x, y, 5)); break;
      case '_': spot = Vec3(x, y, 0); break;
      default: break;
      }
    }
  if (level.strayWallX != 0.0f) placed.push_back(Put("WALL", level.strayWallX, 26, 26));

  const std::vector<Finding> findings = CheckLevel(placed, level.kind);
  EXPECT_EQ(KindsOf(findings), level.expected) << Describe(findings);
  for (size_t i = 1; i < findings.size(); ++i)
    EXPECT_LE(findings[i - 1].severity, findings[i].severity) << "errors come first";
  for (const Finding& f : findings) {
    EXPECT_FALSE(f.message.empty());
    EXPECT_EQ(f.message.find('\n'), std::string::npos);
  }
  if (spot.x >= 0 && !findings.empty()) {
    ASSERT_TRUE(findings.front().place.has_value());
    EXPECT_LE(std::hypot(findings.front().place->x - spot.x, findings.front().place->y - spot.y), 78.0f);
  }
}

INSTANTIATE_TEST_SUITE_P(Findings, DrawnLevelCheck, ::testing::ValuesIn(kDrawn),
                         [](const auto& info) { return std::string(info.param.title); });

// ---- the panel ------------------------------------------------------------------------------

TEST(CheckPanel, RowsGiveTheirPlacesTheTitleTurnsThePageAndThePanelKeepsToTheField) {
  ASSERT_TRUE(GlTestContext::Get().ok);
  const int w = g_screen.width, h = g_screen.height;
  std::vector<Finding> findings(8);
  for (int i = 0; i < 8; ++i) {
    findings[i].message = "Finding " + std::to_string(i);
    if (i != 1) findings[i].place = Vec3(100.0f * i, 50.0f, 0.0f);
  }
  CheckPanel panel;
  EXPECT_FALSE(panel.Click(Vec3(100, h - 20.0f, 0)).has_value()) << "hidden";
  panel.Show(findings);

  // Left of the palette, and low enough to stay clear of the bars at the top left.
  EXPECT_FALSE(panel.Covers(Vec3(w - LEVEL_AREA_MARGIN + 1.0f, h - 20.0f, 0)));
  auto topOfPanel = [&] {
    int y = h;
    while (y > 0 && !panel.Covers(Vec3(300, static_cast<float>(y), 0))) --y;
    while (panel.Covers(Vec3(300, y - 1.0f, 0))) --y;
    return y;
  };
  const int top = topOfPanel();
  ASSERT_GT(top, h / 2);
  const float title = top + 12.0f, firstRow = top + 41.0f, rowHeight = 22.0f; // middles

  auto place = panel.Click(Vec3(300, firstRow + 2 * rowHeight, 0));
  ASSERT_TRUE(place.has_value());
  EXPECT_FLOAT_EQ(place->x, 200.0f);
  EXPECT_EQ(panel.Selected(), 2);
  EXPECT_FALSE(panel.Click(Vec3(300, firstRow + rowHeight, 0)).has_value()) << "a finding without a place";
  EXPECT_EQ(panel.Selected(), 1);

  EXPECT_FALSE(panel.Click(Vec3(300, title, 0)).has_value());
  place = panel.Click(Vec3(300, topOfPanel() + 41.0f + rowHeight, 0));
  ASSERT_TRUE(place.has_value()) << "the second page holds findings 6 and 7";
  EXPECT_FLOAT_EQ(place->x, 700.0f);

  // Drawn in the palette's slate over the field, with its rings, and no GL error.
  GlTestContext& gl = GlTestContext::Get();
  gl.BeginFrame();
  gl.Error();
  panel.Draw(Camera());
  FlushDrawing();
  EXPECT_TRUE(Near(gl.Pixel(w / 2, h - 10), Rgb{34, 39, 49})) << ToString(gl.Pixel(w / 2, h - 10));
  EXPECT_EQ(gl.Error(), 0u);
  panel.Release();
  EXPECT_FALSE(panel.Visible());
}

} // namespace
