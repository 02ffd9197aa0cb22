// The autopilot's route planner on small hand-drawn maps: clearance for a vehicle two cells
// wide, sacks as a price rather than a wall, closed gates as walls, and lines of sight.
#include <gtest/gtest.h>

#include "pilot/Planner.h"

namespace {

Vec3 Cell(int c, int r) { return Vec3((c + 0.5f) * Planner::CELL, (r + 0.5f) * Planner::CELL, 0.0f); }

TEST(Planner, KeepsTwoCellsOfClearance) {
  Planner planner;
  planner.ReadRows({
      "##########",
      "#........#",
      "#........#",
      "######.###", // a one-cell gap: too narrow
      "#........#",
      "#........#",
      "##########",
  });
  planner.Flood(Cell(1, 1));
  EXPECT_LT(planner.CostTo(Cell(8, 2)), 10.0f);
  EXPECT_LT(planner.CostTo(Cell(1, 5)), 0.0f) << "a vehicle two cells wide cannot pass a one-cell gap";

  planner.ReadRows({
      "##########",
      "#........#",
      "#........#",
      "#####..###", // two cells: it fits
      "#........#",
      "#........#",
      "##########",
  });
  planner.Flood(Cell(1, 1));
  const std::vector<Vec3> route = planner.PathTo(Cell(1, 5));
  ASSERT_FALSE(route.empty());
  // Every corner of the route has four open cells around it.
  for (const Vec3& corner : route) {
    const int i = static_cast<int>(std::lround(corner.x / Planner::CELL));
    const int j = static_cast<int>(std::lround(corner.y / Planner::CELL));
    EXPECT_TRUE(planner.CornerOpen(i, j));
  }
  // The gap's corner (6, 3)-(6, 4) is the only way through row 3.
  bool throughGap = false;
  for (const Vec3& corner : route) throughGap = throughGap || (corner.x == 6 * Planner::CELL && corner.y > 2 * Planner::CELL);
  EXPECT_TRUE(throughGap);
}

TEST(Planner, ShootsThroughSacksOnlyWhenTheWayRoundIsLonger) {
  // The only gap holds a sack: the route goes through it, at a price.
  Planner planner;
  planner.ReadRows({
      "########",
      "#......#",
      "#......#",
      "###%%###",
      "#......#",
      "#......#",
      "########",
  });
  planner.Flood(Cell(1, 1));
  const float through = planner.CostTo(Cell(1, 5));
  ASSERT_GT(through, 0.0f);
  EXPECT_GT(through, Planner::SACK_COST);
  EXPECT_FALSE(planner.SacksAlong(Cell(1, 1), planner.PathTo(Cell(1, 5)), 1000.0f).empty());

  // A short way round without sacks wins.
  planner.ReadRows({
      "########",
      "#......#",
      "#......#",
      "#%%#...#",
      "#......#",
      "#......#",
      "########",
  });
  planner.Flood(Cell(1, 1));
  EXPECT_TRUE(planner.SacksAlong(Cell(1, 1), planner.PathTo(Cell(1, 5)), 1000.0f).empty());
}

TEST(Planner, ClosedGatesAreWallsAndLinesOfSightStopAtThem) {
  Planner planner;
  planner.ReadRows({
      "########",
      "#..#...#",
      "#..g...#",
      "#..g...#",
      "#..#...#",
      "########",
  });
  planner.Flood(Cell(1, 2));
  EXPECT_LT(planner.CostTo(Cell(5, 2)), 0.0f);
  EXPECT_FALSE(planner.ClearLine(Cell(1, 2), Cell(5, 2), 3.0f));
  EXPECT_TRUE(planner.ClearLine(Cell(1, 1), Cell(1, 4), 3.0f));
  // A disc as wide as the corridor does not fit along it.
  EXPECT_FALSE(planner.ClearLine(Cell(1, 1), Cell(1, 4), 60.0f));
}

TEST(Planner, SacksStopSightOnlyWhenAsked) {
  Planner planner;
  planner.ReadRows({
      "#######",
      "#.....#",
      "#..%..#",
      "#.....#",
      "#######",
  });
  EXPECT_FALSE(planner.ClearLine(Cell(1, 2), Cell(5, 2), 3.0f));
  EXPECT_TRUE(planner.ClearLine(Cell(1, 2), Cell(5, 2), 3.0f, false));
}

TEST(Planner, DiagonalStepsDoNotClipCorners) {
  Planner planner;
  planner.ReadRows({
      "#######",
      "#..####",
      "#..####",
      "#.....#",
      "#.....#",
      "#######",
  });
  planner.Flood(Cell(1, 1));
  const std::vector<Vec3> route = planner.PathTo(Cell(5, 4));
  ASSERT_FALSE(route.empty());
  ASSERT_GT(route.size(), 2u);
  Vec3 previous = route.front();
  for (const Vec3& corner : route) {
    const int i = static_cast<int>(std::lround(corner.x / Planner::CELL));
    const int j = static_cast<int>(std::lround(corner.y / Planner::CELL));
    const int pi = static_cast<int>(std::lround(previous.x / Planner::CELL));
    const int pj = static_cast<int>(std::lround(previous.y / Planner::CELL));
    if (i != pi && j != pj) {
      EXPECT_TRUE(planner.CornerOpen(i, pj));
      EXPECT_TRUE(planner.CornerOpen(pi, j));
    }
    previous = corner;
  }
}

} // namespace
