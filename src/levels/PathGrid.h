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

// A patroller's next cell from the world's trail list, or null when its entry is missing
// (the list has not been built for it yet) or holds no cell.
PathCell* TrailEntry(const World& world, size_t patrollerIndex);
