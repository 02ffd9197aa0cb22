#pragma once
#include <iosfwd>
#include <string>
#include <vector>

// Token layer of the level, object-list and loadout files: reading and
// classifying blocks without touching GL, so that malformed files can be
// examined (and fuzzed) quickly. Creating objects from the records is the
// business of LevelFile.h.
//
// Every value is one whitespace-delimited token; a trailing \r counts as
// whitespace. A numeric token must be a number through and through: "15abc"
// is rejected, not read as 15 followed by a stray "abc".

// ---- records ---------------------------------------------------------------

// One 12-token object block of the object list file.
struct ObjectRecord {
  std::string keyword;    // "Vehicle" or "GameObject" (others possible, see ChooseObjectKind)
  std::string name;       // type name
  std::string imagePath;
  float storedValue = 0.0f;
  int format = 1;         // non-zero PNG, 0 BMP
  float scale = 1.0f;
  float rotation = 0.0f;  // radians
  float centreX = 0.0f;
  float centreY = 0.0f;
  float halfWidth = 0.0f;  // at scale 1, unrotated; truncated when the object is made
  float halfHeight = 0.0f;
  std::string endKeyword; // read and ignored
};

// One "Projectile" block of the loadout file.
struct ProjectileRecord {
  std::string imagePath;
  int format = 1;
  float speed = 0.0f;     // read and discarded
  float rotation = 0.0f;  // read and discarded
  float centreX = 0.0f;
  float centreY = 0.0f;
  float halfWidth = 0.0f;
  float halfHeight = 0.0f;
  double lifetime = 0.0;  // seconds; read as a float
};

// One "Weapon" block of the loadout file with its projectiles.
struct WeaponRecord {
  std::string name;
  std::string imagePath;
  float storedValue = 0.0f; // read and discarded: weapons are rebuilt at scale 1, rotation 0
  int format = 1;
  float scale = 1.0f;
  float rotation = 0.0f;
  float centreX = 0.0f;
  float centreY = 0.0f;
  float halfWidth = 0.0f;
  float halfHeight = 0.0f;
  double reloadTime = 0.0; // seconds; read as a float
  double damage = 0.0;     // read as a float
  int kind = 0;            // shooting type
  std::vector<ProjectileRecord> projectiles;
};

// The player loadout file as far as it could be read.
struct LoadoutRecord {
  bool hasHp = false;
  int hp = 0;
  bool hasUpgradeLevel = false;
  int upgradeLevel = 0;
  std::vector<WeaponRecord> weapons;
};

// ---- reading -----------------------------------------------------------------

enum class BlockResult {
  Read,      // a whole block was read
  End,       // the file ended before the block's first token: the normal end
  Truncated, // the file ended inside the block
  Malformed, // a field is not a usable number; `problem` says which
};

// Largest half size a block may carry, also once its scale is applied:
// anything bigger is a corrupted file, not a level object (and would overflow
// the integers the factory and the picture keep).
constexpr float MAX_HALF_SIZE = 100000.0f;
// Largest distance of a centre from the origin on either axis. Level code
// truncates centres to int and takes differences of them; far beyond this the
// polygon's centroid is no longer finite either.
constexpr float MAX_COORDINATE = 1.0e9f;

// What a loadout may carry. A main-gun hit takes damage + 2 x upgrade level, ten
// times that in cheat mode, from an int; a side gun's damage is subtracted from
// one. Past these no enemy tells the difference, and the sums stay in range.
constexpr int MAX_UPGRADE_LEVEL = 1000;
constexpr double MAX_WEAPON_DAMAGE = 1000000.0;
// Shots one loadout weapon may pool: the garage's own guns stop at 1000 passes.
// Every shot holds a picture of its own, so a hostile file could fill memory.
constexpr size_t MAX_LOADOUT_SHOTS = 1000;

// Reads the next 12 tokens. On Malformed and Truncated the stream is left
// where reading stopped and the caller is expected to stop reading.
BlockResult ParseObjectBlock(std::istream& in, ObjectRecord& out, std::string& problem);

// Reads a whole loadout file. `readUpgradeLevel` is false when the loadout is
// applied to an object that is not a vehicle: reading then stops after the
// hit points. Stops at the first malformed block, keeping everything before
// it; writes "PROBLEM!" to `log` for a projectile block without its end
// keyword, and one line naming `source` and the fault when it stops early.
// An upgrade level, a damage or a shot pool past the limits above is clamped
// to them, with one line each.
void ParseLoadout(std::istream& in, bool readUpgradeLevel, LoadoutRecord& out, std::ostream& log,
                  const std::string& source);

// The level-file check of ValidateLevelFile applied to an open stream.
bool ValidateLevelTokens(std::istream& in);

// ---- classifying -----------------------------------------------------------------

enum class ObjectKind {
  Static,   // Create
  Animated, // CreateAnimated
  Vehicle,  // CreateVehicle
  Npc,      // CreateNPC
  None,     // an animated type under a keyword that is neither class: not made
};

// The factory operation a block's type name and keyword call for.
ObjectKind ChooseObjectKind(const std::string& keyword, const std::string& name);

// Sprite-sheet descriptor beside an animated object's image: the last three
// characters of the path become "txt".
std::string DescriptorPath(const std::string& imagePath);

// The picture of a plain wall ("...wall.png"), which has a variant.
bool IsWallPicture(const std::string& imagePath);

// A wall picture ("...wall.png") swapped for its variant ("...wall2.png")
// when `roll` (rand() % 10) is 0; any other path comes back unchanged.
std::string WallVariantPath(const std::string& imagePath, int roll);
