#include "editor/LevelCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <queue>

#include "levels/LevelBuild.h"
#include "levels/PathGrid.h"
#include "objects/GameObject.h"
#include "objects/NPC.h"

namespace {

// ============================================================================
// The level's objects by the roles the build gives them
// ============================================================================

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

struct Roles {
  GameObject* player = nullptr;        // FindPlayer's: the last PLAYER
  GameObject* pizza = nullptr;         // the last PIZZA, as the build keeps it
  std::vector<GameObject*> walls;
  std::vector<GameObject*> gates;      // gates that stop the player while closed
  std::vector<GameObject*> exits;      // END and portals
  std::vector<GameObject*> characters; // talking characters
  std::vector<GameObject*> garages;
  std::vector<GameObject*> patrollers;
  std::vector<GameObject*> things;     // everything placed: not the shot pools
};

Roles SortByRole(const std::vector<GameObject*>& placed, LevelKind kind) {
  Roles roles;
  roles.player = FindPlayer(placed);
  const BuildRules rules = BuildRulesFor(kind);
  for (GameObject* o : placed) {
    if (!o || !o->shape) continue;
    const ObjectRole role = RoleOf(o->name, rules);
    // The editor adds the shot pools on saving, at the origin: they are not placed things.
    if (role == ObjectRole::PlayerShot || role == ObjectRole::EnemyShot) continue;
    roles.things.push_back(o);
    switch (role) {
    case ObjectRole::Wall: roles.walls.push_back(o); break;
    case ObjectRole::Gate:
      // As play tells them apart: a portal's name holds no "GATE", and a name holding
      // "PORTAL" never blocks.
      if (!Has(o->name, "GATE")) roles.exits.push_back(o);
      if (!Has(o->name, "PORTAL")) roles.gates.push_back(o);
      break;
    case ObjectRole::Road:
      if (o->name == "END") roles.exits.push_back(o);
      break;
    case ObjectRole::Character:
      if (dynamic_cast<NPC*>(o)) roles.characters.push_back(o);
      break;
    case ObjectRole::Garage:
      if (dynamic_cast<NPC*>(o)) roles.garages.push_back(o);
      break;
    case ObjectRole::Pizza: roles.pizza = o; break;
    case ObjectRole::Patroller: roles.patrollers.push_back(o); break;
    default: break;
    }
  }
  return roles;
}

// The objects grouped by name, in the order the names first come.
std::vector<std::vector<GameObject*>> ByName(const std::vector<GameObject*>& objects) {
  std::vector<std::vector<GameObject*>> groups;
  for (GameObject* o : objects) {
    auto same = std::find_if(groups.begin(), groups.end(), [o](const auto& g) { return g.front()->name == o->name; });
    if (same == groups.end()) groups.push_back({o});
    else same->push_back(o);
  }
  return groups;
}

Finding Make(FindingKind kind, Severity severity, std::string message, const GameObject* at = nullptr,
             std::vector<GameObject*> objects = {}) {
  Finding f;
  f.kind = kind;
  f.severity = severity;
  f.message = std::move(message);
  if (at && std::isfinite(at->Position().x) && std::isfinite(at->Position().y)) f.place = at->Position();
  f.objects = std::move(objects);
  return f;
}

const char* KindText(LevelKind kind) {
  switch (kind) {
  case LevelKind::Main: return "a campaign level";
  case LevelKind::Boss: return "the boss level";
  case LevelKind::Tutorial: return "a tutorial stage";
  }
  return "this level";
}

// ============================================================================
// The gates' rules
// ============================================================================

// Why a rule cannot open anything in this level, or empty when it can.
std::string MissingOpener(const GateRule& rule, const Roles& roles) {
  auto killed = [&](KillGroup group) {
    return static_cast<int>(std::count_if(roles.patrollers.begin(), roles.patrollers.end(),
                                          [group](GameObject* p) { return KillGroupOf(p->name) == group; }));
  };
  auto talker = [&] {
    return std::any_of(roles.characters.begin(), roles.characters.end(),
                       [&](GameObject* c) { return TalkOpens(c->name, rule); });
  };
  const std::string noTalker = "no character with a " + std::to_string(rule.count) + " in its name";
  switch (rule.opener) {
  case GateOpener::Pizza: return roles.pizza ? "" : "no PIZZA to pick up";
  case GateOpener::KillsA:
  case GateOpener::KillsB: {
    const bool a = rule.opener == GateOpener::KillsA;
    const int have = killed(a ? KillGroup::A : KillGroup::B);
    if (have >= rule.count) return "";
    return "it waits for " + std::to_string(rule.count) + (a ? " A patrollers (ENEMY2A)" : " B patrollers (ENEMY2B)") +
           ", the level has " + std::to_string(have);
  }
  case GateOpener::Garage: return roles.garages.empty() ? "no GARAGE" : "";
  case GateOpener::Talk: return talker() ? "" : noTalker;
  case GateOpener::TalkAndGarage:
    if (!talker()) return roles.garages.empty() ? noTalker + ", no GARAGE" : noTalker;
    return roles.garages.empty() ? "no GARAGE" : "";
  }
  return "";
}

// One finding per gate name that nothing in this level can open.
void CheckGates(const Roles& roles, LevelKind kind, std::vector<Finding>& out) {
  const std::vector<GateRule> rules = GateRulesOf(kind);
  for (const std::vector<GameObject*>& same : ByName(roles.gates)) {
    const std::string& name = same.front()->name;
    std::string reasons;
    bool opens = false, shortOfKills = false, answered = false;
    for (const GateRule& rule : rules) {
      if (!GateInGroup(name, rule.group)) continue;
      answered = true;
      const std::string missing = MissingOpener(rule, roles);
      if (missing.empty()) {
        opens = true;
        break;
      }
      shortOfKills |= rule.opener == GateOpener::KillsA || rule.opener == GateOpener::KillsB;
      if (reasons.find(missing) == std::string::npos) reasons += (reasons.empty() ? "" : ", ") + missing;
    }
    if (opens) continue;
    if (!answered) reasons = std::string("no rule of ") + KindText(kind) + " opens it";
    out.push_back(Make(shortOfKills ? FindingKind::TooFewPatrollers : FindingKind::GateNeverOpens, Severity::Warning,
                       name + " never opens: " + reasons, same.front(), same));
  }
}

void CheckHelpCards(const Roles& roles, std::vector<Finding>& out) {
  for (GameObject* c : roles.characters) {
    const std::string card = HelpCardPath(c->name);
    if (std::ifstream(card).good()) continue;
    const std::string shown = card.rfind("../Assets/", 0) == 0 ? card.substr(10) : card;
    out.push_back(
        Make(FindingKind::NoHelpCard, Severity::Warning, c->name + " has no help card: " + shown + " is missing", c, {c}));
  }
}

// ============================================================================
// The grid: the path grid's cells laid over the whole level
// ============================================================================

constexpr float CELL = PathGrid::SPACING;
constexpr int MARGIN = 2;         // cells beyond the walls' extent: the outside
constexpr int MOST_CELLS = 1000;  // along a side; a level wider than 26000 units is not checked
constexpr float SLACK = CELL / 2; // the player stands anywhere between the cells' centres

struct Box {
  float minX = 0.0f, minY = 0.0f, maxX = 0.0f, maxY = 0.0f;
  bool Holds(const Vec3& p) const { return p.x >= minX && p.x <= maxX && p.y >= minY && p.y <= maxY; }
};

Box BoundsOf(const GameObject& o) {
  auto [low, high] = o.shape->Bounds();
  return {low.x, low.y, high.x, high.y};
}

using Cells = std::vector<uint8_t>; // one flag a cell

// Cells CELL apart over an extent, laid from an anchor as the chasers' grid is laid from the
// player, so that the player stands on a cell's centre.
struct Grid {
  float x0 = 0.0f, y0 = 0.0f;
  int columns = 0, rows = 0;

  bool Lay(const Box& extent, const Vec3& anchor) {
    const float left = extent.minX - MARGIN * CELL, bottom = extent.minY - MARGIN * CELL;
    x0 = anchor.x - CELL * std::ceil((anchor.x - left) / CELL);
    y0 = anchor.y - CELL * std::ceil((anchor.y - bottom) / CELL);
    const double c = std::floor((extent.maxX + MARGIN * CELL - x0) / CELL) + 1;
    const double r = std::floor((extent.maxY + MARGIN * CELL - y0) / CELL) + 1;
    if (!(c >= 1 && c <= MOST_CELLS && r >= 1 && r <= MOST_CELLS)) return false; // NaN too
    columns = static_cast<int>(c);
    rows = static_cast<int>(r);
    return true;
  }
  int Count() const { return columns * rows; }
  Vec3 Centre(int cell) const { return Vec3(x0 + CELL * (cell % columns), y0 + CELL * (cell / columns), 0.0f); }
  // The nearest cell, or -1 off the grid.
  int CellOf(const Vec3& p) const {
    const float c = std::round((p.x - x0) / CELL), r = std::round((p.y - y0) / CELL);
    if (!(c >= 0 && c < columns && r >= 0 && r < rows)) return -1;
    return static_cast<int>(r) * columns + static_cast<int>(c);
  }
  // Every cell whose centre lies inside or on the box (none for a box of NaNs).
  template <class Visit> void ForCellsIn(const Box& b, Visit visit) const {
    const int c0 = std::max(0, Index(std::ceil((b.minX - x0) / CELL), columns, columns));
    const int c1 = std::min(columns - 1, Index(std::floor((b.maxX - x0) / CELL), columns, -1));
    const int r0 = std::max(0, Index(std::ceil((b.minY - y0) / CELL), rows, rows));
    const int r1 = std::min(rows - 1, Index(std::floor((b.maxY - y0) / CELL), rows, -1));
    for (int r = r0; r <= r1; ++r)
      for (int c = c0; c <= c1; ++c) visit(r * columns + c);
  }
  // A whole cell index held within -1..count, so that no conversion overflows.
  static int Index(float v, int count, int nan) {
    return std::isnan(v) ? nan : static_cast<int>(std::clamp(v, -1.0f, static_cast<float>(count)));
  }
  void Mark(Cells& cells, const Box& b) const {
    ForCellsIn(b, [&](int cell) { cells[cell] = 1; });
  }
};

Box AreaBox(const BlockedArea& a) { return {a.minX, a.minY, a.maxX, a.maxY}; }

// The cells a flood reached, in the order it reached them, each with its predecessor.
struct Trail {
  std::vector<int> order;
  std::vector<int> from; // -1 for a seed
};

// Four-way from the seeds through open cells.
Cells Flood4(const Grid& grid, const Cells& blocked, const std::vector<int>& seeds, Trail* trail = nullptr) {
  Cells seen(grid.Count(), 0);
  std::queue<int> open;
  std::vector<int>* from = trail ? &trail->from : nullptr;
  if (from) from->assign(grid.Count(), -1);
  for (int s : seeds)
    if (s >= 0 && !blocked[s] && !seen[s]) seen[s] = 1, open.push(s);
  while (!open.empty()) {
    const int cell = open.front();
    open.pop();
    if (trail) trail->order.push_back(cell);
    const int c = cell % grid.columns, r = cell / grid.columns;
    const int next[4][2] = {{c + 1, r}, {c - 1, r}, {c, r + 1}, {c, r - 1}};
    for (const auto& n : next) {
      if (n[0] < 0 || n[1] < 0 || n[0] >= grid.columns || n[1] >= grid.rows) continue;
      const int k = n[1] * grid.columns + n[0];
      if (blocked[k] || seen[k]) continue;
      seen[k] = 1;
      if (from) (*from)[k] = cell;
      open.push(k);
    }
  }
  return seen;
}

// Where the player can drive by the path grid's steps: eight ways, never into a blocked cell
// nor across a blocked corner. The start may itself be blocked (a player pressed to a wall).
Cells Flood8(const Grid& grid, const Cells& blocked, int start) {
  Cells seen(grid.Count(), 0);
  auto cost = [&](int c, int r) { return blocked[r * grid.columns + c] ? PathGrid::BLOCKED : 1.0f; };
  std::queue<int> open;
  seen[start] = 1;
  open.push(start);
  while (!open.empty()) {
    const int cell = open.front();
    open.pop();
    const int c = cell % grid.columns, r = cell / grid.columns;
    for (int k = 0; k < 8; ++k) {
      const int nc = c + NEIGHBOUR_COLUMN[k], nr = r + NEIGHBOUR_ROW[k];
      if (nc < 0 || nr < 0 || nc >= grid.columns || nr >= grid.rows) continue;
      const int n = nr * grid.columns + nc;
      if (blocked[n] || seen[n]) continue;
      if (nc != c && nr != r && !DiagonalFair(cost(c, nr), cost(nc, r))) continue;
      seen[n] = 1;
      open.push(n);
    }
  }
  return seen;
}

// ============================================================================
// The walls around the level
// ============================================================================

// Objects beyond the walls, or the gap the player could leave by.
void CheckEnclosure(const Roles& roles, const Grid& grid, const Box& extent, std::vector<Finding>& out) {
  Cells fence(grid.Count(), 0);
  for (GameObject* w : roles.walls) grid.Mark(fence, BoundsOf(*w));
  std::vector<int> border;
  for (int c = 0; c < grid.columns; ++c) border.push_back(c), border.push_back((grid.rows - 1) * grid.columns + c);
  for (int r = 0; r < grid.rows; ++r)
    border.push_back(r * grid.columns), border.push_back(r * grid.columns + grid.columns - 1);
  const Cells outside = Flood4(grid, fence, border);

  auto isOutside = [&](const GameObject* o) {
    const int cell = grid.CellOf(o->Position());
    return cell < 0 || outside[cell];
  };
  const bool leaks = roles.player && extent.Holds(roles.player->Position()) && isOutside(roles.player);
  if (leaks) {
    // The gap is where the shortest way out crosses the walls' extent: its last cell inside.
    Trail trail;
    Flood4(grid, fence, {grid.CellOf(roles.player->Position())}, &trail);
    int gap = -1;
    for (int cell : trail.order)
      if (!extent.Holds(grid.Centre(cell))) {
        gap = cell;
        break;
      }
    while (gap >= 0 && trail.from[gap] >= 0 && !extent.Holds(grid.Centre(gap))) gap = trail.from[gap];
    Finding f =
        Make(FindingKind::OpenWalls, Severity::Error, "The walls have a gap: the PLAYER can drive out of the level");
    if (gap >= 0) f.place = grid.Centre(gap);
    out.push_back(f);
  }
  for (GameObject* o : roles.things) {
    if (!isOutside(o)) continue;
    // With a gap, everything inside would count as outside: only what lies beyond the walls'
    // extent is named then.
    if (leaks && extent.Holds(o->Position())) continue;
    out.push_back(Make(FindingKind::OutsideWalls, Severity::Warning, o->name + " stands outside the walls", o, {o}));
  }
}

// ============================================================================
// The way to the exits
// ============================================================================

// Whether the player, standing on a reached cell, touches the object (or is near enough to
// talk to it or enter it, by the characters' reach).
struct Reach {
  const Grid& grid;
  const Cells& reached;
  float halfWidth = 0.0f, halfHeight = 0.0f; // the player's

  bool Touches(const GameObject& o) const {
    Box b = BoundsOf(o);
    b.minX -= halfWidth + SLACK, b.maxX += halfWidth + SLACK;
    b.minY -= halfHeight + SLACK, b.maxY += halfHeight + SLACK;
    bool any = false;
    grid.ForCellsIn(b, [&](int cell) { any = any || reached[cell]; });
    return any;
  }
  bool Near(const GameObject& o) const {
    const Vec3 p = o.Position();
    const float r = std::sqrt(CHARACTER_REACH_SQUARED) + SLACK;
    bool any = false;
    grid.ForCellsIn({p.x - r, p.y - r, p.x + r, p.y + r}, [&](int cell) {
      const Vec3 d = grid.Centre(cell) - p;
      any = any || (reached[cell] && d.x * d.x + d.y * d.y <= r * r);
    });
    return any;
  }
};

bool Opens(const GateRule& rule, const Roles& roles, const Reach& reach) {
  auto kills = [&](KillGroup group) {
    return static_cast<int>(std::count_if(roles.patrollers.begin(), roles.patrollers.end(), [&](GameObject* p) {
      return KillGroupOf(p->name) == group && reach.Touches(*p);
    }));
  };
  auto garage = [&] {
    return std::any_of(roles.garages.begin(), roles.garages.end(), [&](GameObject* g) { return reach.Near(*g); });
  };
  auto talk = [&] {
    return std::any_of(roles.characters.begin(), roles.characters.end(),
                       [&](GameObject* c) { return TalkOpens(c->name, rule) && reach.Near(*c); });
  };
  switch (rule.opener) {
  case GateOpener::Pizza: return roles.pizza && reach.Touches(*roles.pizza);
  case GateOpener::KillsA: return kills(KillGroup::A) >= rule.count;
  case GateOpener::KillsB: return kills(KillGroup::B) >= rule.count;
  case GateOpener::Garage: return garage();
  case GateOpener::Talk: return talk();
  case GateOpener::TalkAndGarage: return talk() && garage();
  }
  return false;
}

// Opens what the player can open with what it reaches, again until nothing more opens, then
// names every exit still out of reach.
void CheckExits(const Roles& roles, LevelKind kind, const Grid& grid, std::vector<Finding>& out) {
  const int start = grid.CellOf(roles.player->Position());
  if (start < 0) return; // beyond the walls, which is said already
  Cells walls(grid.Count(), 0);
  for (GameObject* w : roles.walls) grid.Mark(walls, AreaBox(BlockedAreaOf(*w)));
  const Box player = BoundsOf(*roles.player);
  const std::vector<GateRule> rules = GateRulesOf(kind);
  std::vector<bool> open(roles.gates.size(), false);
  Cells reached;
  for (bool more = true; more;) {
    Cells blocked = walls;
    for (size_t i = 0; i < roles.gates.size(); ++i)
      if (!open[i]) grid.Mark(blocked, AreaBox(BlockedAreaOf(*roles.gates[i])));
    reached = Flood8(grid, blocked, start);
    const Reach reach{grid, reached, (player.maxX - player.minX) / 2, (player.maxY - player.minY) / 2};
    more = false;
    for (const GateRule& rule : rules) {
      if (!Opens(rule, roles, reach)) continue;
      for (size_t i = 0; i < roles.gates.size(); ++i)
        if (!open[i] && GateInGroup(roles.gates[i]->name, rule.group)) open[i] = more = true;
    }
  }
  const Reach reach{grid, reached, (player.maxX - player.minX) / 2, (player.maxY - player.minY) / 2};
  // A portal is often a row of pieces of one name: one finding for them all, none if any is reached.
  for (const std::vector<GameObject*>& same : ByName(roles.exits))
    if (std::none_of(same.begin(), same.end(), [&](GameObject* e) { return reach.Touches(*e); }))
      out.push_back(Make(FindingKind::ExitOutOfReach, Severity::Error,
                         same.front()->name + " cannot be reached from the PLAYER", same.front(), same));
}

} // namespace

// ============================================================================
// The check
// ============================================================================

std::vector<Finding> CheckLevel(const std::vector<GameObject*>& placed, LevelKind kind) {
  std::vector<Finding> out;
  const Roles roles = SortByRole(placed, kind);

  if (!roles.player)
    out.push_back(Make(FindingKind::NoPlayer, Severity::Error, "No PLAYER: the level cannot be played"));
  if (roles.exits.empty())
    out.push_back(Make(FindingKind::NoExit, Severity::Error, "No END and no portal: the level cannot be won"));
  CheckGates(roles, kind, out);
  CheckHelpCards(roles, out);

  // The grid spans the walls (or, without walls, what was placed), laid from the player.
  std::vector<GameObject*> spanned = roles.walls.empty() ? roles.things : roles.walls;
  if (!spanned.empty()) {
    Box extent = BoundsOf(*spanned.front());
    for (GameObject* o : spanned) {
      const Box b = BoundsOf(*o);
      extent = {std::min(extent.minX, b.minX), std::min(extent.minY, b.minY), std::max(extent.maxX, b.maxX),
                std::max(extent.maxY, b.maxY)};
    }
    Vec3 anchor(extent.minX, extent.minY, 0.0f);
    if (roles.player) {
      // Whole units, as the chasers' grid follows the player.
      const Vec3 p = roles.player->Position();
      if (std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) < 1e8f && std::fabs(p.y) < 1e8f)
        anchor = Vec3(std::trunc(p.x), std::trunc(p.y), 0.0f);
    }
    Grid grid;
    if (!grid.Lay(extent, anchor)) {
      out.push_back(Make(FindingKind::TooLarge, Severity::Warning,
                         "The walls spread over more than 26000 units: walls and paths were not checked"));
    } else {
      if (roles.walls.empty()) {
        out.push_back(Make(FindingKind::OpenWalls, Severity::Error, "The level has no walls around it"));
      } else {
        CheckEnclosure(roles, grid, extent, out);
      }
      if (roles.player) CheckExits(roles, kind, grid, out);
    }
  }

  std::stable_sort(out.begin(), out.end(), [](const Finding& a, const Finding& b) { return a.severity < b.severity; });
  return out;
}
