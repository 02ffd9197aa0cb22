#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/Vec3.h"
#include "objects/WorldRules.h"

class GameObject;

// The editor's level check: what keeps a level from playing as it was laid out, found from
// its placed objects by the rules the game plays it with: the build's roles (RoleOf), the
// gate groups of the level's kind (GateRulesOf), the path grid's measure (BlockedAreaOf,
// DiagonalFair) and the characters' cards (HelpCardPath). Pure logic over the objects, no
// GL; the only file it reads is each talking character's card.

enum class FindingKind : int {
  NoPlayer = 0,     // no PLAYER
  NoExit,           // neither an END nor a portal
  ExitOutOfReach,   // an END or portal the PLAYER cannot drive to, whatever gates open on the way
  GateNeverOpens,   // no rule of the level's kind opens the gate, or what would open it is missing
  TooFewPatrollers, // a kill-count gate waits for more patrollers than the level has
  NoHelpCard,       // a talking character whose card picture does not exist
  OutsideWalls,     // an object beyond the walls that enclose the level
  OpenWalls,        // the walls leave a way out of the level, or there are none
  TooLarge,         // the walls spread too far for the paths to be checked
};

enum class Severity : int {
  Error = 0,   // the level cannot be played through
  Warning = 1, // something will not work as it was placed
};

struct Finding {
  FindingKind kind = FindingKind::NoPlayer;
  Severity severity = Severity::Error;
  std::string message;              // one short line for the designer
  std::optional<Vec3> place;        // the world point to look at, when there is one
  std::vector<GameObject*> objects; // the objects concerned; not owned
};

// Every finding of the level, problems that stop play first; empty when there is nothing to
// say. `placed` is the editor's list (shot pools included; they are not placed things). The
// kind decides which rules open the gates: KindOfLevel (GenericLevel.h) gives it from the path.
//
// Outside the walls: the walls' own footprints, laid on the path grid's cells, fence the
// level; an object is outside when its cell joins the area beyond the walls' extent without
// crossing a wall (or lies off that extent). When the PLAYER itself joins it, the walls have a
// gap: that is one OpenWalls finding at the gap, not one per object.
std::vector<Finding> CheckLevel(const std::vector<GameObject*>& placed, LevelKind kind);
