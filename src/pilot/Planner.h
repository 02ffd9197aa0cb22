#pragma once
#include <vector>

#include "core/Vec3.h"

struct World;

// Routes for a vehicle two cells wide over a level's 52-unit cells.
//
// The vehicle's centre is planned on the corners where four cells meet: a corner is open
// when none of its four cells holds a wall or a closed gate, so a route of open corners
// keeps a two-cell clearance for a vehicle about one cell across, whichever way it faces.
// A corner touching a sack is open at a price (the sack has to be shot away first).
class Planner {
public:
  static constexpr float CELL = 52.0f;
  static constexpr float SACK_COST = 8.0f; // in cells of detour a sack is worth
  static constexpr int OPEN_MARGIN = 3;    // cells of room beyond an object outside the walls

  // The cells of the running level: walls, closed gates (not portals) and sacks; the map
  // reaches past the walls where the player or a place to go lies beyond them.
  void Read(const World& world, const Vec3& player);
  // The same from rows of characters ('#' wall, 'g' closed gate, '%' sack, anything else
  // open), for tests and tools that have no running level.
  void ReadRows(const std::vector<const char*>& rows);

  int Columns() const { return columns; }
  int Rows() const { return rows; }
  bool Blocked(int c, int r) const; // outside the map counts as blocked
  bool Sack(int c, int r) const;
  bool CornerOpen(int i, int j) const; // corner (i, j) is the point (52 i, 52 j)

  // Path costs from the open corner nearest `from` to every corner (negative: no way).
  // Paths() then answers for any goal until the next Flood.
  void Flood(const Vec3& from);
  // Cost to the open corner nearest `to` (within `reach` units), or -1 when none is reached.
  float CostTo(const Vec3& to, float reach = 80.0f) const;
  // The route there as corner points, starting at the first corner after the start.
  std::vector<Vec3> PathTo(const Vec3& to, float reach = 80.0f) const;

  // A disc of radius `radius` moved in a straight line from a to b touches no blocked
  // cell (sacks count as blocking when `sacksBlock`).
  bool ClearLine(const Vec3& a, const Vec3& b, float radius, bool sacksBlock = true) const;
  // The sacks (cell centres) a route's first `length` units pass next to.
  std::vector<Vec3> SacksAlong(const Vec3& from, const std::vector<Vec3>& route, float length) const;

  // Corners are extra dear near these points (gunners' reach, turret lanes), so routes
  // skirt them when a way round exists.
  struct Danger {
    Vec3 centre;
    float radius;
    float cost;
  };
  std::vector<Danger> dangers;

private:
  int Index(int i, int j) const { return j * (columns + 1) + i; }
  int NearestOpenCorner(const Vec3& p, float reach, bool reachedOnly) const;
  float CornerCost(int i, int j) const;

  int columns = 0, rows = 0;
  std::vector<unsigned char> cells; // 0 open, 1 blocked, 2 sack
  std::vector<float> cost;          // per corner, after Flood
  std::vector<int> previous;        // per corner, after Flood
  int start = -1;
};
