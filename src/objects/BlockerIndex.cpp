#include "objects/BlockerIndex.h"

#include <algorithm>
#include <cmath>

namespace {

bool FirstVertex(const GameObject* o, Vec3& v) {
  if (!o || !o->shape || o->shape->vertices.empty()) return false;
  v = o->shape->vertices[0];
  return std::isfinite(v.x) && std::isfinite(v.y);
}

} // namespace

std::int64_t BlockerIndex::CellOf(float v) {
  // Clamped, so that far-off points share the outermost cells instead of overflowing;
  // clamping keeps neighbours neighbours, which is all the query needs.
  return static_cast<std::int64_t>(std::clamp(std::floor(static_cast<double>(v) / CELL), -1e9, 1e9));
}

bool BlockerIndex::Near(const Poly& shape, std::int64_t& cx, std::int64_t& cy) const {
  if (shape.vertices.empty()) return false;
  const Vec3& v = shape.vertices[0];
  if (!std::isfinite(v.x) || !std::isfinite(v.y)) return false;
  cx = CellOf(v.x);
  cy = CellOf(v.y);
  return true;
}

void BlockerIndex::Refresh(const std::vector<GameObject*>& list) {
  // The same list, and no filed polygon anywhere has moved since: the filing stands.
  if (built && moves == FiledPolyMoves() && list == objects) return;
  moves = FiledPolyMoves();
  bool same = built && list.size() == objects.size();
  for (size_t i = 0; same && i < list.size(); ++i) {
    if (list[i] != objects[i]) {
      same = false;
      break;
    }
    Vec3 v;
    const bool placed = FirstVertex(list[i], v);
    const Vec3& was = at[i];
    // Unplaced objects were filed as unplaced (NaN) and compare unequal: look again.
    same = placed ? (v.x == was.x && v.y == was.y) : !std::isfinite(was.x);
  }
  if (same) return;

  built = true;
  objects.assign(list.begin(), list.end());
  at.assign(list.size(), Vec3(NAN, NAN, 0.0f));
  for (auto& cell : cells) cell.second.clear(); // keeps the cells' storage for the next filing
  everywhere.clear();
  for (size_t i = 0; i < list.size(); ++i) {
    Vec3 v;
    if (!list[i] || !list[i]->shape) continue; // never usable, never tried
    list[i]->shape->filed = true;
    if (!FirstVertex(list[i], v)) {
      if (!list[i]->shape->vertices.empty()) everywhere.push_back(static_cast<int>(i));
      continue;
    }
    at[i] = v;
    cells[Key(CellOf(v.x), CellOf(v.y))].push_back(static_cast<int>(i));
  }
}
