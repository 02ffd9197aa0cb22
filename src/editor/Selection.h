#pragma once
#include "core/Vec3.h"
#include "editor/EditHistory.h"
#include <string>
#include <vector>

class GameObject;

// The editor's selection and what it does with it: box and click selection, moving the
// selected group, deleting it, and copying and pasting it. A group obeys the placing
// rules of single objects (no overlaps between objects other than roads, one road to a
// road cell, one PLAYER): a move or paste that would break one is refused whole and
// says why. The shot pools the save adds are not selected: designers never place them.

// ---- what is selected ----------------------------------------------------------------
bool IsSelected(const GameObject* object);
void ClearSelection();
void ToggleSelected(GameObject* object);
void SelectInBox(const Vec3& cornerA, const Vec3& cornerB); // world corners; objects whose centre lies inside
void SelectAllButPlayer();
void ForgetUnplaced(); // drops selected objects that are no longer in the level
// The object under a world point: the first non-road one, else the first road; or null.
GameObject* ObjectAt(const Vec3& world);

// ---- moving the selection with the mouse --------------------------------------------
void BeginGroupMove(const Vec3& worldGrab);
// Every selected object follows the pointer's travel, each snapped as it would be placed.
void FollowGroupMove(const Vec3& worldNow);
// Where the group stands is kept, or it goes back where it was with `refusal` saying why.
// True when the group ended somewhere else than it started.
bool EndGroupMove(std::string& refusal);
void CancelGroupMove(); // back where it was, as if it had never moved
bool GroupMoving();

// ---- editing with it --------------------------------------------------------------------
void DeleteSelection();
void CopySelection(); // the clipboard keeps the objects' values as they are now
// The clipboard's objects, as copies around the world point (its centre lands there);
// they become the selection. False, with `refusal` saying why, when nothing was placed.
bool PasteAt(const Vec3& world, std::string& refusal);
bool ClipboardEmpty();

// Why `group` may not stand where it is among the rest of `placed`, or "" when it may.
std::string GroupConflict(const std::vector<GameObject*>& group, const std::vector<GameObject*>& placed);
// Where an object of its kind lands when placed at p: on the road grid, the wall grid
// (walls, and everything in snap mode), or at p itself.
Vec3 SnapForKind(const GameObject& object, const Vec3& p);
