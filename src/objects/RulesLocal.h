#pragma once
// Helpers shared by the rule files of this folder; not for other layers.
#include <limits>
#include <string>

#include "core/Vec3.h"
#include "objects/GameObject.h"
#include "objects/Predicates.h"
#include "render/ParticleSys.h"

struct World;

// A pooled effect whose last run has finished.
inline bool EffectReady(const ParticleSys& system) { return system.elapsed > system.duration; }
// Restarts the first finished effect of the pool at a point in world pixels; none free (or no
// pool), none shown.
void BurstAt(const ParticlePool* pool, const Vec3& at);
// Hit points after a hit, truncated toward zero and held inside an int: the loss may come
// from a hand-edited loadout.
inline int ClampToInt(double value) {
  if (!(value > -2147483648.0)) return std::numeric_limits<int>::min(); // NaN too: the enemy is done for
  if (!(value < 2147483647.0)) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}
// The first member of the pool that is not in flight, or null.
GameObject* FreeShot(const GameObject& owner);
// A shot ended on a wall, closed gate or sack: a sack takes the hit, and the impact puffs at `at`.
void ShotEndsOn(World& world, GameObject& blocker, const Vec3& at);
