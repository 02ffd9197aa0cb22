#pragma once
#include <memory>
#include <string>

#include "core/Vec3.h"
#include "objects/Shape.h"

class Texture;

// One shot of a side weapon. Lighter than a GameObject: its own picture and
// polygon, a position, and a velocity in world units per second.
class Projectile {
public:
  // From a loadout or garage record; the polygon is the rectangle around
  // position in the corner order objects use.
  Projectile(int format, const Vec3& position, int halfWidth, int halfHeight, const std::string& image,
             double lifetime);
  // A separate shot with the source's picture, flight values and lifetime; not in flight.
  Projectile(const Projectile& source);
  Projectile& operator=(const Projectile&) = delete;
  ~Projectile();

  void SetPosition(const Vec3& p); // re-centres the polygon on p and redraws the picture from it
  // Into flight: turned by turn (radians), velocity 15 x muzzleVelocity along the new facing,
  // starting 10 units to one side of origin (left of the flight line when leftSide).
  void Launch(float turn, const Vec3& origin, bool leftSide);
  const std::string& ImagePath() const;

  std::unique_ptr<Texture> graphic;
  std::unique_ptr<Poly> shape;
  Vec3 position;                          // world units
  Vec3 velocity;                          // world units per second
  float wobble = 0.0f;                    // sideways wobble amplitude; nothing sets it
  bool active = false;                    // in flight
  Vec3 muzzleVelocity{25.0f, 0.0f, 0.0f}; // in the weapon's frame, before the factor 15
  float rotation = 0.0f;                  // radians, within -2pi..2pi
  float phase = 0.0f;                     // degrees, wobble phase
  double remaining = 0.0;                 // seconds before it expires
  double lifetime = 0.0;                  // seconds of flight given at each launch
};
