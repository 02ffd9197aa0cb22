#include "levels/PathGrid.h"

#include "objects/GameObject.h"

namespace {

constexpr int UNVISITED = 3;
constexpr int REACHED = 2;
constexpr int DONE = 1;
constexpr int TO_EXPAND = 0;

constexpr const int* dr = NEIGHBOUR_ROW;
constexpr const int* dc = NEIGHBOUR_COLUMN;

float DistanceSquared(const Vec3& a, const Vec3& b) {
  const float dx = a.x - b.x, dy = a.y - b.y;
  return dx * dx + dy * dy;
}

} // namespace

PathGrid::PathGrid() {
  for (int r = 0; r < SIZE; ++r)
    for (int i = 0; i < SIZE; ++i)
      for (int k = 0; k < 8; ++k) {
        const int nr = r + dr[k], ni = i + dc[k];
        cells[r][i].neighbours[k] = (nr >= 0 && nr < SIZE && ni >= 0 && ni < SIZE) ? &cells[nr][ni] : nullptr;
      }
}

void PathGrid::Lay(const Vec3& player) {
  // Truncated to whole units first; the grid follows the player unit by unit, not in
  // steps of a cell.
  const float x0 = static_cast<float>(static_cast<int>(player.x)) * 0.03846154f * SPACING - 260.0f;
  const float y0 = static_cast<float>(static_cast<int>(player.y)) * 0.03846154f * SPACING - 260.0f;
  for (int r = 0; r < SIZE; ++r)
    for (int i = 0; i < SIZE; ++i) {
      PathCell& cell = cells[r][i];
      cell.centre = Vec3(x0 + SPACING * i, y0 + SPACING * r, player.z);
      cell.cost = 1.0f;
      cell.distance = 10000.0f;
      cell.previous = nullptr;
      cell.state = UNVISITED;
    }
}

void PathGrid::MarkObstacles(const World& world) {
  // The grid spans a few hundred units about the player; an obstacle whose area misses
  // every cell centre's range is passed over without trying the cells one by one.
  const Vec3 low = cells[0][0].centre, high = cells[SIZE - 1][SIZE - 1].centre;
  auto mark = [this, low, high](const GameObject* object) {
    if (!object || !object->active || !object->shape) return;
    const BlockedArea area = BlockedAreaOf(*object);
    if (area.maxX < low.x || area.minX > high.x || area.maxY < low.y || area.minY > high.y) return;
    for (auto& row : cells)
      for (PathCell& cell : row)
        if (area.Covers(cell.centre)) cell.cost = BLOCKED;
  };
  for (const GameObject* wall : world.walls) mark(wall);
  for (const GameObject* sack : world.sacks) mark(sack);
  for (const GameObject* gate : world.gates)
    if (gate && gate->hp != 0) mark(gate);
}

PathCell* PathGrid::CellNearest(const Vec3& point) {
  PathCell* best = &cells[0][0];
  float bestDistance = DistanceSquared(best->centre, point);
  for (auto& row : cells)
    for (PathCell& cell : row) {
      const float d = DistanceSquared(cell.centre, point);
      if (d < bestDistance) {
        bestDistance = d;
        best = &cell;
      }
    }
  return best;
}

void PathGrid::Spread(PathCell* start) {
  start->distance = 0.0f;
  start->state = TO_EXPAND;
  bool expanded = true;
  while (expanded) {
    expanded = false;
    for (int r = 0; r < SIZE; ++r)
      for (int i = 0; i < SIZE; ++i) {
        PathCell& cell = cells[r][i];
        if (cell.state != TO_EXPAND) continue;
        expanded = true;
        for (int k = 0; k < 8; ++k) {
          PathCell* next = cell.neighbours[k];
          if (!next) continue;
          if (next->state == UNVISITED) next->state = REACHED;
          float step = next->cost;
          if (dr[k] != 0 && dc[k] != 0) {
            const PathCell& side1 = cells[r + dr[k]][i];
            const PathCell& side2 = cells[r][i + dc[k]];
            step *= DiagonalFair(side1.cost, side2.cost) ? 1.4142135f : 10000.0f;
          }
          if (next->distance > cell.distance + step) {
            next->distance = cell.distance + step;
            next->previous = &cell;
            next->state = REACHED;
          }
        }
        cell.state = DONE;
      }
    for (auto& row : cells)
      for (PathCell& cell : row)
        if (cell.state == REACHED) cell.state = TO_EXPAND;
  }
}

void PathGrid::Rebuild(World& world, const Vec3& player) {
  Lay(player);
  MarkObstacles(world);
  PathCell* goal = CellNearest(player);

  // Kept between rebuilds: steady play allocates nothing.
  std::vector<PathCell*>& starts = startCells;
  starts.clear();
  for (const GameObject* patroller : world.patrollers) {
    PathCell* start = nullptr;
    if (patroller) {
      const Vec3 centre = patroller->Position();
      PathCell* nearest = CellNearest(centre);
      if (DistanceSquared(nearest->centre, centre) <= 729.0f) start = nearest;
    }
    starts.push_back(start);
  }

  Spread(goal);

  world.trailList.clear();
  for (PathCell* start : starts) {
    PathCell* entry = nullptr;
    if (start && start->state != UNVISITED) {
      // Keep the entry only when its chain of previous cells really ends at the player.
      PathCell* walk = start;
      for (int steps = 0; walk && walk != goal && steps <= SIZE * SIZE; ++steps) walk = walk->previous;
      if (walk == goal) entry = start;
    }
    world.trailList.push_back(entry);
  }
}

BlockedArea BlockedAreaOf(const GameObject& obstacle) {
  auto [low, high] = obstacle.shape->Bounds();
  const float cx = (low.x + high.x) * 0.5f, cy = (low.y + high.y) * 0.5f;
  BlockedArea area;
  area.minX = cx + 2.0f * (low.x - cx);
  area.maxX = cx + 2.0f * (high.x - cx);
  area.minY = cy + 2.0f * (low.y - cy);
  area.maxY = cy + 2.0f * (high.y - cy);
  return area;
}

PathCell* TrailEntry(const World& world, size_t patrollerIndex) {
  return patrollerIndex < world.trailList.size() ? world.trailList[patrollerIndex] : nullptr;
}
