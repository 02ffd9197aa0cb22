#include "editor/Selection.h"
#include "core/System.h"
#include "editor/Editor.h"
#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include <algorithm>
#include <unordered_set>

namespace {

bool IsShotPool(const GameObject& o) { return o.name == "PROJECTILE" || o.name == "ENEMYPROJECTILE"; }
bool IsRoad(const GameObject& o) { return o.name == "ROAD"; }

bool Placed(const GameObject* o) {
  const auto& placed = g_editor.placedObjects;
  return std::find(placed.begin(), placed.end(), o) != placed.end();
}

// The object's position with z kept, as PlaceObject moves copies.
void MoveTo(GameObject& o, const Vec3& p) { o.SetPosition(Vec3(p.x, p.y, o.Position().z)); }

} // namespace

// ============================================================================
// What is selected
// ============================================================================

bool IsSelected(const GameObject* o) {
  const auto& s = g_editor.selection;
  return std::find(s.begin(), s.end(), o) != s.end();
}

void ClearSelection() { g_editor.selection.clear(); }

void ToggleSelected(GameObject* o) {
  if (!o || IsShotPool(*o)) return;
  auto& s = g_editor.selection;
  auto found = std::find(s.begin(), s.end(), o);
  if (found != s.end())
    s.erase(found);
  else
    s.push_back(o);
}

void SelectInBox(const Vec3& a, const Vec3& b) {
  const float left = std::min(a.x, b.x), right = std::max(a.x, b.x);
  const float top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
  ClearSelection();
  for (GameObject* o : g_editor.placedObjects) {
    const Vec3 p = o->Position();
    if (!IsShotPool(*o) && p.x >= left && p.x <= right && p.y >= top && p.y <= bottom) g_editor.selection.push_back(o);
  }
}

void SelectAllButPlayer() {
  ClearSelection();
  for (GameObject* o : g_editor.placedObjects)
    if (o->name != "PLAYER" && !IsShotPool(*o)) g_editor.selection.push_back(o);
}

void ForgetUnplaced() {
  auto& s = g_editor.selection;
  s.erase(std::remove_if(s.begin(), s.end(), [](GameObject* o) { return !Placed(o); }), s.end());
}

GameObject* ObjectAt(const Vec3& world) {
  GameObject* road = nullptr;
  for (GameObject* o : g_editor.placedObjects) {
    if (!o->shape->ContainsPoint(world)) continue;
    if (!IsRoad(*o)) return o;
    if (!road) road = o;
  }
  return road;
}

// ============================================================================
// Placing rules for groups
// ============================================================================

Vec3 SnapForKind(const GameObject& o, const Vec3& p) {
  if (IsRoad(o)) return SnapToRoadGrid(p);
  if (g_editor.snapMode || o.name == "WALL") return SnapToWallGrid(p);
  return p;
}

std::string GroupConflict(const std::vector<GameObject*>& group, const std::vector<GameObject*>& placed) {
  const std::unordered_set<const GameObject*> members(group.begin(), group.end());
  for (GameObject* g : group)
    for (GameObject* o : placed) {
      if (members.count(o)) continue;
      if (g->name == "PLAYER" && o->name == "PLAYER") return "the level has its PLAYER already";
      if (IsRoad(*g) && IsRoad(*o)) {
        const Vec3 a = g->Position(), b = o->Position();
        if (a.x == b.x && a.y == b.y) return "two roads would share a cell";
      } else if (!IsRoad(*g) && !IsRoad(*o) && Overlaps(*g, *o)) {
        return g->name + " would overlap " + o->name;
      }
    }
  return "";
}

// ============================================================================
// Moving the selection
// ============================================================================

void BeginGroupMove(const Vec3& grab) {
  GroupMove& move = g_editor.groupMove;
  move = GroupMove();
  move.active = true;
  move.grab = grab;
  for (GameObject* o : g_editor.selection) move.start.push_back({o, *o->shape, o->Position()});
}

void FollowGroupMove(const Vec3& now) {
  GroupMove& move = g_editor.groupMove;
  if (!move.active) return;
  const Vec3 travel = now - move.grab;
  // From where each object started, every frame, so no rounding builds up on the way.
  for (const GroupMove::Start& s : move.start) {
    *s.object->shape = s.shape;
    s.object->SyncGraphic();
    MoveTo(*s.object, SnapForKind(*s.object, s.position + travel));
  }
}

void CancelGroupMove() {
  GroupMove& move = g_editor.groupMove;
  for (const GroupMove::Start& s : move.start) {
    *s.object->shape = s.shape;
    s.object->SyncGraphic();
  }
  move = GroupMove();
}

bool EndGroupMove(std::string& refusal) {
  GroupMove& move = g_editor.groupMove;
  if (!move.active) return false;
  std::vector<GameObject*> group;
  bool moved = false;
  for (const GroupMove::Start& s : move.start) {
    group.push_back(s.object);
    moved = moved || !(s.object->Position() == s.position);
  }
  if (!moved) {
    CancelGroupMove();
    return false;
  }
  refusal = GroupConflict(group, g_editor.placedObjects);
  if (!refusal.empty()) {
    CancelGroupMove();
    return false;
  }
  move = GroupMove();
  return true;
}

bool GroupMoving() { return g_editor.groupMove.active; }

// ============================================================================
// Deleting, copying and pasting
// ============================================================================

void DeleteSelection() {
  auto& placed = g_editor.placedObjects;
  placed.erase(std::remove_if(placed.begin(), placed.end(), [](GameObject* o) { return IsSelected(o); }),
               placed.end());
  ClearSelection();
}

void CopySelection() {
  if (g_editor.selection.empty()) return;
  const LevelSnapshot values = TakeSnapshot(g_editor.selection);
  g_editor.clipboard.clear();
  for (const auto& r : values) g_editor.clipboard.push_back(*r);
}

bool ClipboardEmpty() { return g_editor.clipboard.empty(); }

bool PasteAt(const Vec3& world, std::string& refusal) {
  GameObjectFactory* factory = FindSystem<GameObjectFactory>();
  const auto& clip = g_editor.clipboard;
  if (!factory || clip.empty()) return false;
  // The group's middle lands under the pointer.
  Vec3 low = clip[0].shape.Centroid(), high = low;
  for (const PlacedRecord& r : clip) {
    const Vec3 c = r.shape.Centroid();
    low = Vec3(std::min(low.x, c.x), std::min(low.y, c.y), 0.0f);
    high = Vec3(std::max(high.x, c.x), std::max(high.y, c.y), 0.0f);
  }
  const Vec3 middle = (low + high) * 0.5f;
  std::vector<GameObject*> copies;
  for (const PlacedRecord& r : clip) {
    GameObject* copy = factory->CreateCopy(*r.object);
    ApplyRecord(r, *copy);
    const Vec3 c = r.shape.Centroid();
    MoveTo(*copy, SnapForKind(*copy, world + Vec3(c.x - middle.x, c.y - middle.y, 0.0f)));
    copy->active = true;
    copies.push_back(copy);
  }
  refusal = GroupConflict(copies, g_editor.placedObjects);
  if (!refusal.empty()) {
    for (GameObject* copy : copies) DiscardCopy(copy);
    return false;
  }
  g_editor.placedObjects.insert(g_editor.placedObjects.end(), copies.begin(), copies.end());
  g_editor.selection = copies;
  return true;
}
