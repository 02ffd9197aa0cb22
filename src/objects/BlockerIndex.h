#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/Vec3.h"

class GameObject;
class Poly;

// Which of a list of standing objects (walls, gates, sacks) lie near a point, so that a
// collision query tries a handful instead of the whole level.
//
// Poly::Intersects turns a pair down at once when their first vertices are more than 150
// units apart. Each object is filed by its first vertex in cells a little wider than that,
// so the 3x3 cells around a query's first vertex hold every object a walk over the whole
// list could find; the query tries those in list order and answers what the walk would.
class BlockerIndex {
public:
  // Files `list` afresh when it changed since the last call: another length, another
  // object at a place, or an object whose first vertex moved. A level calls it once a
  // frame, before its rules ask; when no filed polygon moved (FiledPolyMoves) it costs one
  // comparison of the list's pointers.
  void Refresh(const std::vector<GameObject*>& list);
  // Whether the index was made for `list` as it stands in length (Refresh was called).
  bool Covers(const std::vector<GameObject*>& list) const { return built && list.size() == at.size(); }

  // The first object of `list`, in list order, that `usable` accepts and `shape` meets;
  // null when none does. `list` must be the one last given to Refresh.
  template <class Usable>
  GameObject* First(const std::vector<GameObject*>& list, const Poly& shape, Usable usable) const;

private:
  static constexpr double CELL = 160.0; // the 150-unit reach, with room for rounding
  static std::int64_t Key(std::int64_t cx, std::int64_t cy) { return (cx << 32) ^ (cy & 0xffffffff); }
  static std::int64_t CellOf(float v);
  bool Near(const Poly& shape, std::int64_t& cx, std::int64_t& cy) const;

  bool built = false;
  unsigned long moves = 0;                                   // FiledPolyMoves when last checked
  std::vector<GameObject*> objects;                          // the list as filed
  std::vector<Vec3> at;                                      // each one's first vertex as filed
  std::unordered_map<std::int64_t, std::vector<int>> cells; // list positions, ascending
  std::vector<int> everywhere; // positions whose first vertex is not a finite point: always tried
};

// ---- template ----------------------------------------------------------------------------

#include "objects/GameObject.h"
#include "objects/Shape.h"

template <class Usable>
GameObject* BlockerIndex::First(const std::vector<GameObject*>& list, const Poly& shape, Usable usable) const {
  auto tries = [&](int i) {
    GameObject* o = list[static_cast<size_t>(i)];
    return o && usable(*o) && shape.Intersects(*o->shape);
  };
  std::int64_t cx = 0, cy = 0;
  if (!Near(shape, cx, cy)) { // a query without a finite first vertex walks the list
    for (size_t i = 0; i < list.size(); ++i)
      if (tries(static_cast<int>(i))) return list[i];
    return nullptr;
  }
  int best = static_cast<int>(list.size());
  for (int i : everywhere) {
    if (i >= best) break;
    if (tries(i)) best = i;
  }
  for (std::int64_t dy = -1; dy <= 1; ++dy)
    for (std::int64_t dx = -1; dx <= 1; ++dx) {
      const auto cell = cells.find(Key(cx + dx, cy + dy));
      if (cell == cells.end()) continue;
      for (int i : cell->second) {
        if (i >= best) break; // ascending: nothing later in this cell can win
        if (tries(i)) best = i;
      }
    }
  return best < static_cast<int>(list.size()) ? list[static_cast<size_t>(best)] : nullptr;
}
