#include "editor/EditHistory.h"
#include "objects/GameObject.h"
#include <unordered_map>

// ============================================================================
// Snapshots
// ============================================================================

namespace {

bool SamePoints(const std::vector<Vec3>& a, const std::vector<Vec3>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!(a[i] == b[i])) return false;
  return true;
}

// Equal down to the last bit of every float the files are written from.
bool Unchanged(const PlacedRecord& r, const GameObject& o) {
  return r.object == &o && r.rotation == o.rotation && r.scale == o.scale && r.storedValue == o.storedValue &&
         r.hp == o.hp && r.name == o.name && SamePoints(r.shape.vertices, o.shape->vertices) &&
         SamePoints(r.shape.normals, o.shape->normals);
}

std::shared_ptr<const PlacedRecord> Record(GameObject& o) {
  auto r = std::make_shared<PlacedRecord>();
  r->object = &o;
  r->shape = *o.shape;
  r->rotation = o.rotation;
  r->scale = o.scale;
  r->storedValue = o.storedValue;
  r->hp = o.hp;
  r->name = o.name;
  return r;
}

} // namespace

LevelSnapshot TakeSnapshot(const std::vector<GameObject*>& placed, const LevelSnapshot* previous) {
  std::unordered_map<const GameObject*, const std::shared_ptr<const PlacedRecord>*> known;
  if (previous)
    for (const auto& r : *previous) known[r->object] = &r;
  LevelSnapshot snapshot;
  snapshot.reserve(placed.size());
  for (GameObject* o : placed) {
    auto found = known.find(o);
    if (found != known.end() && Unchanged(**found->second, *o))
      snapshot.push_back(*found->second);
    else
      snapshot.push_back(Record(*o));
  }
  return snapshot;
}

bool Matches(const LevelSnapshot& snapshot, const std::vector<GameObject*>& placed) {
  if (snapshot.size() != placed.size()) return false;
  for (size_t i = 0; i < placed.size(); ++i)
    if (!Unchanged(*snapshot[i], *placed[i])) return false;
  return true;
}

void ApplyRecord(const PlacedRecord& r, GameObject& o) {
  *o.shape = r.shape;
  o.rotation = r.rotation;
  o.scale = r.scale;
  o.storedValue = r.storedValue;
  o.hp = r.hp;
  o.name = r.name;
  o.SyncGraphic();
}

void Restore(const LevelSnapshot& snapshot, std::vector<GameObject*>& placed) {
  placed.clear();
  for (const auto& r : snapshot) {
    ApplyRecord(*r, *r->object);
    r->object->active = true;
    placed.push_back(r->object);
  }
}

// ============================================================================
// History
// ============================================================================

void EditHistory::Start(const std::vector<GameObject*>& placed) {
  states.assign(1, TakeSnapshot(placed));
  position = savedPosition = 0;
  saved = states[0];
  ++version;
}

void EditHistory::Clear() {
  states.clear();
  saved.clear();
  position = savedPosition = 0;
  ++version;
}

bool EditHistory::Record(const std::vector<GameObject*>& placed) {
  if (states.empty()) {
    Start(placed);
    return false;
  }
  if (Matches(states[position], placed)) return false;
  states.resize(position + 1);
  if (savedPosition > position) savedPosition = -1; // the saved state was on the dropped branch
  states.push_back(TakeSnapshot(placed, &states[position]));
  ++position;
  if (Steps() > STEP_LIMIT) {
    states.erase(states.begin());
    --position;
    if (savedPosition >= 0) --savedPosition;
  }
  ++version;
  return true;
}

bool EditHistory::Undo(std::vector<GameObject*>& placed) {
  if (position <= 0) return false;
  Restore(states[--position], placed);
  ++version;
  return true;
}

bool EditHistory::Redo(std::vector<GameObject*>& placed) {
  if (position + 1 >= static_cast<int>(states.size())) return false;
  Restore(states[++position], placed);
  ++version;
  return true;
}

void EditHistory::RevertToSaved(std::vector<GameObject*>& placed) {
  const LevelSnapshot kept = saved;
  Restore(kept, placed);
  Start(placed);
}

void EditHistory::MarkSaved() {
  if (states.empty()) return;
  savedPosition = position;
  saved = states[position];
}

bool EditHistory::Unsaved() const { return !states.empty() && position != savedPosition; }
