#pragma once
#include "objects/Shape.h"
#include <memory>
#include <string>
#include <vector>

class GameObject;

// The editor's undo history. A step is a snapshot of the placed level: which objects
// it holds, in order, and for each the values the level files are written from (its
// polygon, angle, scale, stored value, hit points and name). The objects themselves
// stay alive in the factory until the editor ends, so a snapshot brings back exactly
// the objects and the numbers it saw: undoing everything saves the loaded files again
// byte for byte. An object's record is shared by every snapshot in which it did not
// change, so a long history of a large level costs little more than its changes.

struct PlacedRecord {
  GameObject* object = nullptr; // factory-owned
  Poly shape;                   // corners and normals exactly as they were
  float rotation = 0.0f;
  float scale = 1.0f;
  float storedValue = 0.0f;
  int hp = 0;
  std::string name;
};
using LevelSnapshot = std::vector<std::shared_ptr<const PlacedRecord>>;

// ---- snapshots -------------------------------------------------------------------
// The level as it stands; records equal to those of `previous` are shared with it.
LevelSnapshot TakeSnapshot(const std::vector<GameObject*>& placed, const LevelSnapshot* previous = nullptr);
// The level holds the snapshot's objects, in its order, with its values.
bool Matches(const LevelSnapshot& snapshot, const std::vector<GameObject*>& placed);
// Puts the snapshot's objects back into `placed` with the values it recorded.
void Restore(const LevelSnapshot& snapshot, std::vector<GameObject*>& placed);
// One object back to what a record says (its own record or another object's values).
void ApplyRecord(const PlacedRecord& record, GameObject& object);

// ---- history -----------------------------------------------------------------------
class EditHistory {
public:
  static constexpr int STEP_LIMIT = 256; // undo steps kept; the oldest go first

  // A new history whose only state is the level as it is now, counted as saved.
  void Start(const std::vector<GameObject*>& placed);
  void Clear(); // no history at all (the editor has ended)
  // One step when the level differs from the current state; a change made after an
  // undo drops what could have been redone. True when a step was added.
  bool Record(const std::vector<GameObject*>& placed);
  bool Undo(std::vector<GameObject*>& placed); // false when there is nothing to undo
  bool Redo(std::vector<GameObject*>& placed);
  // The level as it last was when saved (or loaded), as the first state of a new history.
  void RevertToSaved(std::vector<GameObject*>& placed);

  void MarkSaved();            // the current state is what the files hold
  bool Unsaved() const;        // the current state differs from what was saved or loaded
  int Steps() const { return static_cast<int>(states.size()) - 1; }
  int Position() const { return position; }
  unsigned long Version() const { return version; } // changes with every step, undo and redo

private:
  std::vector<LevelSnapshot> states; // states[0] the oldest kept; states[position] the level now
  int position = 0;
  int savedPosition = 0;             // -1: the saved state is no longer in the history
  LevelSnapshot saved;               // what the files hold, for RevertToSaved
  unsigned long version = 0;
};
