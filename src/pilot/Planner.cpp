#include "pilot/Planner.h"

#include <algorithm>
#include <cmath>
#include <queue>
#include <string>

#include "objects/GameObject.h"
#include "objects/NPC.h"
#include "objects/World.h"

namespace {

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

int CellOf(float v) { return static_cast<int>(std::floor(v / Planner::CELL)); }

} // namespace

void Planner::Read(const World& world, const Vec3& player) {
  // The map's size from its walls: the shipped levels are closed by a wall frame. A level
  // drawn in the editor may be open: the player, the roads and the ways out, the characters
  // and the garages beyond the walls get room around them. (Not what moves on its own: a
  // shot flying off over a frame's wall would change the map under a closed level.)
  int maxC = 0, maxR = 0;
  for (const GameObject* wall : world.walls) {
    const Vec3 p = wall->Position();
    maxC = std::max(maxC, CellOf(p.x));
    maxR = std::max(maxR, CellOf(p.y));
  }
  const int wallC = maxC, wallR = maxR;
  auto makeRoom = [&](const Vec3& p) {
    if (CellOf(p.x) > wallC) maxC = std::max(maxC, CellOf(p.x) + OPEN_MARGIN);
    if (CellOf(p.y) > wallR) maxR = std::max(maxR, CellOf(p.y) + OPEN_MARGIN);
  };
  makeRoom(player);
  for (const GameObject* road : world.roads) makeRoom(road->Position());
  for (const GameObject* gate : world.gates) makeRoom(gate->Position());
  for (const GameObject* npc : world.npcs) makeRoom(npc->Position());
  for (const GameObject* garage : world.garages) makeRoom(garage->Position());
  columns = maxC + 1;
  rows = maxR + 1;
  cells.assign(static_cast<size_t>(columns * rows), 0);
  auto mark = [&](const GameObject* object, unsigned char what) {
    const Vec3 p = object->Position();
    const int c = CellOf(p.x), r = CellOf(p.y);
    if (c < 0 || r < 0 || c >= columns || r >= rows) return;
    unsigned char& cell = cells[static_cast<size_t>(r * columns + c)];
    if (cell != 1) cell = what; // a wall wins over a sack
  };
  for (const GameObject* wall : world.walls)
    if (wall->active) mark(wall, 1);
  for (const GameObject* gate : world.gates)
    if (gate->active && gate->hp >= 1 && !Contains(gate->name, "PORTAL")) mark(gate, 1);
  for (const GameObject* sack : world.sacks)
    if (sack->active) mark(sack, 2);
  cost.clear();
  previous.clear();
  start = -1;
}

void Planner::ReadRows(const std::vector<const char*>& map) {
  rows = static_cast<int>(map.size());
  columns = 0;
  for (const char* row : map) columns = std::max(columns, static_cast<int>(std::string(row).size()));
  cells.assign(static_cast<size_t>(columns * rows), 1);
  for (int r = 0; r < rows; ++r) {
    const std::string row = map[static_cast<size_t>(r)];
    for (int c = 0; c < static_cast<int>(row.size()); ++c) {
      const char ch = row[static_cast<size_t>(c)];
      cells[static_cast<size_t>(r * columns + c)] = ch == '#' || ch == 'g' ? 1 : ch == '%' ? 2 : 0;
    }
  }
  cost.clear();
  previous.clear();
  start = -1;
}

bool Planner::Blocked(int c, int r) const {
  if (c < 0 || r < 0 || c >= columns || r >= rows) return true;
  return cells[static_cast<size_t>(r * columns + c)] == 1;
}

bool Planner::Sack(int c, int r) const {
  if (c < 0 || r < 0 || c >= columns || r >= rows) return false;
  return cells[static_cast<size_t>(r * columns + c)] == 2;
}

bool Planner::CornerOpen(int i, int j) const {
  return !Blocked(i - 1, j - 1) && !Blocked(i, j - 1) && !Blocked(i - 1, j) && !Blocked(i, j);
}

float Planner::CornerCost(int i, int j) const {
  float extra = 0.0f;
  if (Sack(i - 1, j - 1) || Sack(i, j - 1) || Sack(i - 1, j) || Sack(i, j)) extra += SACK_COST;
  const Vec3 p(i * CELL, j * CELL, 0.0f);
  for (const Danger& d : dangers) {
    const float dx = p.x - d.centre.x, dy = p.y - d.centre.y;
    if (dx * dx + dy * dy < d.radius * d.radius) extra += d.cost;
  }
  return extra;
}

int Planner::NearestOpenCorner(const Vec3& p, float reach, bool reachedOnly) const {
  const int ci = static_cast<int>(std::lround(p.x / CELL)), cj = static_cast<int>(std::lround(p.y / CELL));
  const int span = static_cast<int>(std::ceil(reach / CELL)) + 1;
  int best = -1;
  float bestD = reach * reach;
  for (int j = cj - span; j <= cj + span; ++j)
    for (int i = ci - span; i <= ci + span; ++i) {
      if (i < 0 || j < 0 || i > columns || j > rows || !CornerOpen(i, j)) continue;
      if (reachedOnly && (cost.empty() || cost[static_cast<size_t>(Index(i, j))] < 0.0f)) continue;
      const float dx = i * CELL - p.x, dy = j * CELL - p.y;
      const float d = dx * dx + dy * dy;
      if (d <= bestD) {
        // Among equally near corners a reached one that is cheaper wins.
        if (best >= 0 && d == bestD && reachedOnly &&
            cost[static_cast<size_t>(Index(i, j))] >= cost[static_cast<size_t>(best)])
          continue;
        bestD = d;
        best = Index(i, j);
      }
    }
  return best;
}

void Planner::Flood(const Vec3& from) {
  const size_t count = static_cast<size_t>((columns + 1) * (rows + 1));
  cost.assign(count, -1.0f);
  previous.assign(count, -1);
  start = NearestOpenCorner(from, 120.0f, false);
  if (start < 0) return;
  using Entry = std::pair<float, int>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
  std::vector<float> best(count, 1e30f);
  best[static_cast<size_t>(start)] = 0.0f;
  open.push({0.0f, start});
  const int w = columns + 1;
  while (!open.empty()) {
    auto [c, at] = open.top();
    open.pop();
    if (cost[static_cast<size_t>(at)] >= 0.0f) continue;
    cost[static_cast<size_t>(at)] = c;
    const int i = at % w, j = at / w;
    for (int dj = -1; dj <= 1; ++dj)
      for (int di = -1; di <= 1; ++di) {
        if (!di && !dj) continue;
        const int ni = i + di, nj = j + dj;
        if (ni < 0 || nj < 0 || ni > columns || nj > rows || !CornerOpen(ni, nj)) continue;
        // A diagonal step needs both corners beside it open, or it would clip a corner.
        if (di && dj && (!CornerOpen(i + di, j) || !CornerOpen(i, j + dj))) continue;
        const float step = (di && dj ? 1.4142135f : 1.0f) + CornerCost(ni, nj);
        const int n = Index(ni, nj);
        if (c + step < best[static_cast<size_t>(n)]) {
          best[static_cast<size_t>(n)] = c + step;
          previous[static_cast<size_t>(n)] = at;
          open.push({c + step, n});
        }
      }
  }
}

float Planner::CostTo(const Vec3& to, float reach) const {
  const int goal = NearestOpenCorner(to, reach, true);
  return goal < 0 ? -1.0f : cost[static_cast<size_t>(goal)];
}

std::vector<Vec3> Planner::PathTo(const Vec3& to, float reach) const {
  std::vector<Vec3> route;
  const int goal = NearestOpenCorner(to, reach, true);
  if (goal < 0) return route;
  const int w = columns + 1;
  for (int at = goal; at >= 0 && at != start; at = previous[static_cast<size_t>(at)])
    route.push_back(Vec3((at % w) * CELL, (at / w) * CELL, 0.0f));
  std::reverse(route.begin(), route.end());
  return route;
}

bool Planner::ClearLine(const Vec3& a, const Vec3& b, float radius, bool sacksBlock) const {
  const float dx = b.x - a.x, dy = b.y - a.y;
  const float length = std::sqrt(dx * dx + dy * dy);
  const int steps = std::max(1, static_cast<int>(length / 6.0f));
  for (int s = 0; s <= steps; ++s) {
    const float t = static_cast<float>(s) / steps;
    const float x = a.x + dx * t, y = a.y + dy * t;
    for (int r = CellOf(y - radius); r <= CellOf(y + radius); ++r)
      for (int c = CellOf(x - radius); c <= CellOf(x + radius); ++c) {
        if (!Blocked(c, r) && !(sacksBlock && Sack(c, r))) continue;
        // The disc against the cell's square: the nearest point of the square.
        const float nx = std::clamp(x, c * CELL, (c + 1) * CELL), ny = std::clamp(y, r * CELL, (r + 1) * CELL);
        if ((nx - x) * (nx - x) + (ny - y) * (ny - y) < radius * radius) return false;
      }
  }
  return true;
}

std::vector<Vec3> Planner::SacksAlong(const Vec3& from, const std::vector<Vec3>& route, float length) const {
  std::vector<Vec3> found;
  Vec3 at = from;
  float travelled = 0.0f;
  for (const Vec3& next : route) {
    const int i = static_cast<int>(std::lround(next.x / CELL)), j = static_cast<int>(std::lround(next.y / CELL));
    for (int r = j - 1; r <= j; ++r)
      for (int c = i - 1; c <= i; ++c)
        if (Sack(c, r)) {
          const Vec3 centre((c + 0.5f) * CELL, (r + 0.5f) * CELL, 0.0f);
          if (std::find_if(found.begin(), found.end(), [&](const Vec3& v) {
                return v.x == centre.x && v.y == centre.y;
              }) == found.end())
            found.push_back(centre);
        }
    travelled += std::hypot(next.x - at.x, next.y - at.y);
    at = next;
    if (travelled > length) break;
  }
  return found;
}
