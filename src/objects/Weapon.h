#pragma once
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "objects/GameObject.h"
#include "objects/Projectile.h"

// A side weapon's firing pattern. Loadout files keep it as its number; a number
// not named here is a weapon that never fires.
enum class WeaponKind : int {
  Single = 0,  // the first free shot; no gun of the game has it
  Sprayer = 1, // "DEFAULT": three shots, two groups of three taking turns
  Split = 2,   // "BLACKHOLE": two shots at +-12 degrees, each splitting in three
  Inert = 5,   // no gun of the game has it; Fire does nothing
  Boom = 6,    // "MINICANNON": every free shot of the first fifteen at once
};

// A side weapon: a gun picture kept on its vehicle, with a pool of projectiles
// that its firing pattern addresses by index.
class Weapon : public GameObject {
public:
  // From a loadout record; the loader fills the pool.
  Weapon(const Vec3& position, int halfWidth, int halfHeight, int format, WeaponKind kind, const std::string& image,
         double reloadTime, double damage);
  // A garage gun: as above, with a copy of `model` as the template. The pool
  // gets lifetime / reloadTime passes (whole ones) of the kind's number of
  // entries, all sharing the one template, and the kind sets the damage.
  Weapon(const Vec3& position, int halfWidth, int halfHeight, int format, WeaponKind kind, const std::string& image,
         double reloadTime, double damage, const Projectile& model);
  // The copy the garage hands to the vehicle: picture re-made from the source's
  // image and placement, values copied, a volley time of 2 s, the second
  // spray group first, and every projectile of the pool a separate copy.
  Weapon(const Weapon& source);
  ~Weapon() override;

  // Launches the kind's pattern from the weapon's centre; the vehicle calls it only
  // when reloadRemaining is at or below 0. Unknown kinds do nothing.
  void Fire();
  // Once per frame (and once more on a hit): reload, volley end, Split splits.
  void Tick() override;
  // Launches pool entry index along the weapon's facing turned by offset radians.
  void LaunchEntry(size_t index, float offset, const Vec3& origin);
  // The volley of a Split weapon: primary entry (0 or 1) hit something, so it splits now.
  void SplitOnHit(size_t index);

  double reloadRemaining = 0.0;   // seconds; the vehicle fires only at or below 0
  double reloadTime = 0.0;        // seconds added after every shot
  double damage = 0.0;            // hit points a projectile takes (truncated after the subtraction)
  WeaponKind kind = WeaponKind::Single; // firing pattern
  double splitTimerA = 0.0;       // seconds, age of the first Split primary
  double splitTimerB = 0.0;       // seconds, age of the second Split primary
  std::shared_ptr<Projectile> projectileTemplate; // the model garage-made pools are filled from
  std::vector<std::shared_ptr<Projectile>> projectiles; // the pool
  bool alternate = true;          // which group of three the next Sprayer shot uses
  double styleDuration = 0.0;     // seconds a volley stays alive after a shot
  double styleTimer = 0.0;        // seconds left of the current volley
  double spreadMin = 0.0;         // radians, random turn of Split fragments
  double spreadMax = 2.094395160675049; // radians, 2pi/3 at float precision
};

// The Split fragments' turn comes from one generator shared by every weapon for the whole
// run of the program. A replay puts it back where it stood when the recorded level began:
// the number of turns drawn so far, and the generator wound from its seed to that point.
uint64_t WeaponRandomDraws();
void RewindWeaponRandom(uint64_t draws);
