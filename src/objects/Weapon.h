#pragma once
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "objects/GameObject.h"
#include "objects/Projectile.h"

// A side weapon: a gun picture kept on its vehicle, with a pool of projectiles
// that its firing pattern addresses by index. Kinds: 1 "DEFAULT", 2 "BLACKHOLE",
// 6 "MINICANNON" (0 and 5 exist but no level uses them).
class Weapon : public GameObject {
public:
  // From a loadout record; the loader fills the pool.
  Weapon(const Vec3& position, int halfWidth, int halfHeight, int format, int kind, const std::string& image,
         double reloadTime, double damage);
  // A garage gun: as above, with a copy of `model` as the template. The pool
  // gets lifetime / reloadTime passes (whole ones) of the kind's number of
  // entries, all sharing the one template, and the kind sets the damage.
  Weapon(const Vec3& position, int halfWidth, int halfHeight, int format, int kind, const std::string& image,
         double reloadTime, double damage, const Projectile& model);
  // The copy the garage hands to the vehicle: picture re-made from the source's
  // image and placement, values copied, a volley time of 2 s, the second
  // spray group first, and every projectile of the pool a separate copy.
  Weapon(const Weapon& source);
  ~Weapon() override;

  // Launches the kind's pattern from the weapon's centre; the vehicle calls it only
  // when reloadRemaining is at or below 0. Unknown kinds do nothing.
  void Fire();
  // Once per frame (and once more on a hit): reload, volley end, kind-2 splits.
  void Tick() override;
  // Launches pool entry index along the weapon's facing turned by offset radians.
  void LaunchEntry(size_t index, float offset, const Vec3& origin);
  // The volley of a kind-2 weapon: primary entry (0 or 1) hit something, so it splits now.
  void SplitOnHit(size_t index);

  double reloadRemaining = 0.0;   // seconds; the vehicle fires only at or below 0
  double reloadTime = 0.0;        // seconds added after every shot
  double damage = 0.0;            // hit points a projectile takes (truncated after the subtraction)
  int kind = 0;                   // firing pattern
  double splitTimerA = 0.0;       // seconds, age of the first kind-2 primary
  double splitTimerB = 0.0;       // seconds, age of the second kind-2 primary
  std::shared_ptr<Projectile> projectileTemplate; // the model garage-made pools are filled from
  std::vector<std::shared_ptr<Projectile>> projectiles; // the pool
  bool alternate = true;          // which group of three the next kind-1 shot uses
  double styleDuration = 0.0;     // seconds a volley stays alive after a shot
  double styleTimer = 0.0;        // seconds left of the current volley
  double spreadMin = 0.0;         // radians, random turn of kind-2 fragments
  double spreadMax = 2.094395160675049; // radians, 2pi/3 at float precision
};
