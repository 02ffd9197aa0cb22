#pragma once
#include <vector>

#include "core/Vec3.h"
#include "objects/World.h"

// The chasers' path grid: 20 x 20 cells, 26 units apart, laid around the player. Every
// cell learns its cheapest way to the player's cell (walls, sacks and closed gates cost
// 10000, diagonals cost more and may not cut a blocked corner); each patroller's entry in
// the world's trail list is the cell it starts from, or null when it stands off the grid or
// the player cannot be reached from there.
class PathGrid {
public:
  static constexpr int SIZE = 20;
  static constexpr float SPACING = 26.0f;
  static constexpr float BLOCKED = 10000.0f;

  PathGrid();

  // Lays the grid around `player`, marks the obstacles of `world`, finds the distances and
  // rewrites world.trailList, one entry per patroller.
  void Rebuild(World& world, const Vec3& player);

  PathCell* CellNearest(const Vec3& point); // the first of equally near cells wins
  PathCell& At(int row, int column) { return cells[row][column]; }

  PathCell cells[SIZE][SIZE];

private:
  void Lay(const Vec3& player);
  void MarkObstacles(const World& world);
  void Spread(PathCell* start);

  std::vector<PathCell*> startCells; // each patroller's cell, scratch of Rebuild
};

// ---- the grid's measure, for other grids laid by it (the editor's level check) ----------
// Neighbour k of a cell is (row + NEIGHBOUR_ROW[k], column + NEIGHBOUR_COLUMN[k]).
inline constexpr int NEIGHBOUR_ROW[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
inline constexpr int NEIGHBOUR_COLUMN[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
// The area an obstacle takes from the grid: its polygon's bounds doubled about their centre,
// so a chaser keeps a cell's width from it. A cell whose centre lies inside or on it is blocked.
struct BlockedArea {
  float minX = 0.0f, minY = 0.0f, maxX = 0.0f, maxY = 0.0f;
  bool Covers(const Vec3& p) const { return p.x >= minX && p.x <= maxX && p.y >= minY && p.y <= maxY; }
};
BlockedArea BlockedAreaOf(const GameObject& obstacle); // the obstacle has its polygon
// A diagonal step is fair only when neither cell beside it is blocked.
inline bool DiagonalFair(float sideCost1, float sideCost2) { return sideCost1 < 9999.0f && sideCost2 < 9999.0f; }

// A patroller's next cell from the world's trail list, or null when its entry is missing
// (the list has not been built for it yet) or holds no cell.
PathCell* TrailEntry(const World& world, size_t patrollerIndex);
