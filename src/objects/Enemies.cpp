// Gunners, turrets, patrollers and the friendly characters.
#include <algorithm>
#include <cmath>
#include <string>

#include "audio/Audio.h"
#include "core/GameState.h"
#include "objects/NPC.h"
#include "objects/RulesLocal.h"
#include "objects/Vehicle.h"
#include "objects/WorldRules.h"
#include "render/AnimatedTexture.h"
#include "render/Texture.h"

namespace {

constexpr float HALF_PI = 1.5707964f;
constexpr float PI = 3.1415927f;
constexpr float THREE_HALF_PI = 4.712389f;

void SetAnimating(GameObject& o, bool on) {
  if (AnimatedTexture* sheet = o.Animated()) sheet->animating = on;
}

void RequestShake(World& world, const Vec3& towards) {
  if (world.shake.running || world.shake.requested) return;
  world.shake.requested = true;
  world.shake.towards = towards;
}

bool IsTurret(const GameObject& e) { return e.name != "ENEMY" && Contains(e.name, "ENEMY_3"); }

// The battery a turret belongs to: n for a name that is "ENEMY_3" followed by the decimal
// text of n (1 to 99999), 0 for none. "ENEMY_305" is not battery 5: no battery is written
// with a leading zero, and its turrets never fire in chain mode.
int Battery(const std::string& name) {
  if (name.rfind("ENEMY_3", 0) != 0 || name.size() == 7 || name.size() > 12 || name[7] == '0') return 0;
  int n = 0;
  for (size_t i = 7; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

// A turret's beat: the first visit arms it and starts its wait; afterwards it fires along
// its facing whenever the wait has run out, and waits again.
void ArmOrFire(GameObject& turret, float stagger) {
  if (!turret.armed) {
    turret.armed = true;
    turret.cooldown = stagger + 1.0f;
    return;
  }
  if (turret.cooldown > 0.0f) return;
  if (GameObject* shot = FreeShot(turret)) {
    shot->lifetime = 7.0f;
    shot->active = true;
    shot->Rotate(turret.rotation - shot->rotation);
    shot->velocity = Vec3(std::cos(shot->rotation), std::sin(shot->rotation), 0.0f) * 0.2f;
    shot->SetPosition(turret.Position());
  }
  turret.cooldown = stagger + 1.0f;
}

} // namespace

// ---- helpers shared by the rule files ------------------------------------------------------------

void BurstAt(const ParticlePool* pool, const Vec3& at) {
  if (!pool) return;
  for (const auto& system : *pool)
    if (system && EffectReady(*system)) {
      system->SetPosition(at.x, at.y);
      system->Restart();
      return;
    }
}

GameObject* FreeShot(const GameObject& owner) {
  for (GameObject* child : owner.children)
    if (child && !child->active) return child;
  return nullptr;
}

// ---- friendly characters -------------------------------------------------------------------------

void UpdateCharacters(World& world, const Vehicle& player, GameObject* keyPrompt) {
  const Vec3 p = player.Position();
  NPC* first = nullptr;
  for (auto* list : {&world.npcs, &world.garages})
    for (NPC* character : *list) {
      if (!character) continue;
      character->near = LengthSquared2D(p - character->Position()) <= CHARACTER_REACH_SQUARED;
      if (character->near && !first) first = character;
    }
  if (!keyPrompt) return;
  if (first) {
    keyPrompt->active = true;
    keyPrompt->SetPosition(first->Position() - Vec3(0.0f, 40.0f, 0.0f));
  } else {
    keyPrompt->active = false;
    keyPrompt->SetPosition(Vec3(0.0f, 0.0f, 0.0f));
  }
}

// ---- gunners and the shared enemy pool ----------------------------------------------------------

void UpdateGunners(World& world, Vehicle& player) {
  const Vec3 target = player.Position();
  // A shot that missed the player and every blocker for one shooter misses them for the
  // rest: nothing moves here, and blockers only vanish. Remembering it saves a walk over
  // the level's walls per live shooter (hundreds of walls, dozens of shooters). Kept
  // between frames so steady play allocates nothing.
  static std::vector<const GameObject*> clearShots;
  clearShots.clear();
  for (GameObject* e : world.shooters) {
    if (!e || !e->active) continue;
    e->cooldown -= world.frame.frameTime;
    if (e->name == "ENEMY" && !world.isBossLevel) {
      const Vec3 d = target - e->Position();
      const float reach = e->scale * 300.0f;
      const float distanceSquared = LengthSquared2D(d);
      GameObject* shot = distanceSquared <= reach * reach && e->cooldown <= 0.0f ? FreeShot(*e) : nullptr;
      if (shot) {
        // Towards the player; a player standing on the gunner's centre is shot along +x.
        const float length = std::sqrt(distanceSquared);
        float aim = 0.0f;
        if (length > 0.0f) {
          aim = std::acos(std::clamp(d.x / length, -1.0f, 1.0f));
          if (d.y < 0.0f) aim = -aim;
        }
        shot->lifetime = 5.0f;
        shot->active = true;
        shot->SetPosition(e->Position());
        shot->Rotate(aim - shot->rotation);
        shot->velocity = Vec3(std::cos(shot->rotation), std::sin(shot->rotation), 0.0f) * 0.2f;
        e->cooldown = 1.0f;
      }
    }
    // Every shooter holds the whole pool, so each shot ages once per live shooter.
    // The clear shots are some of that pool: room for all of it is made once.
    clearShots.reserve(e->children.size());
    for (GameObject* shot : e->children) {
      if (!shot || !shot->active) continue;
      shot->lifetime -= 0.0016f;
      if (shot->lifetime <= 0.0f) {
        shot->active = false;
        // A later gunner may fire it again from elsewhere this frame: it must be checked then.
        clearShots.erase(std::remove(clearShots.begin(), clearShots.end(), shot), clearShots.end());
        continue;
      }
      if (std::find(clearShots.begin(), clearShots.end(), shot) != clearShots.end()) continue;
      if (Touches(*shot, player)) {
        PlaySlot(5);
        shot->active = false;
        if (!player.hit) {
          player.hitTimer = 1.0f;
          if (!world.frame.cheatMode) PlayerHit(world, player, *shot);
          player.hit = true;
        }
        continue;
      }
      if (GameObject* blocker = FindBlocker(world, *shot->shape)) {
        ShotEndsOn(world, *blocker, shot->Position());
        shot->active = false;
        continue;
      }
      clearShots.push_back(shot);
    }
  }
}

void PlayerHit(World& world, Vehicle& player, const GameObject& shot) {
  player.hp -= shot.damage;
  BurstAt(world.frame.flames, shot.Position());
  RequestShake(world, shot.Position());
}

// ---- turrets ------------------------------------------------------------------------------------
//
// Turrets never aim: they fire along their own facing, one shot per beat.
//
// Volley mode (FIRSTMOD, SECOND): every live turret is armed on its first visit and from
// then on fires on its own beat, wherever the player is. The k-th turret of the shooter
// list (sorted by name, counting turrets only) fires every 1.04 + 0.04 k seconds, so a
// row of turrets ripples instead of firing as one. Nothing disarms them.
//
// Chain mode (BOSS): a turret named "ENEMY_3" followed by a number n belongs to battery n
// ("ENEMY_31" to battery 1, "ENEMY_310" to battery 10); numbers may have gaps. Chain bit
// n - 1 is set while the player's centre is within 400 units of a live member of battery n,
// and clear otherwise. Only the lowest battery with its bit set fires, each live member on
// its own beat as in volley mode; members of every other battery are disarmed, so a battery
// that wakes again waits a full beat before its first shot. The number comes from each
// turret's own name, not from its place in the name-sorted list, where "ENEMY_310" sorts
// between "ENEMY_31" and "ENEMY_32".

void SizeChainBits(World& world) {
  size_t batteries = 6;
  for (GameObject* e : world.shooters)
    if (e) batteries = std::max(batteries, static_cast<size_t>(Battery(e->name)));
  if (world.chainBits.size() < batteries) world.chainBits.resize(batteries, false);
}

void UpdateTurretChain(World& world, const Vec3& p) {
  // Worked in place: the bits are rebuilt every frame and the level must not allocate
  // while it plays.
  std::vector<bool>& near = world.chainBits;
  std::fill(near.begin(), near.end(), false);
  for (GameObject* e : world.shooters) {
    if (!e || !e->active || !IsTurret(*e)) continue;
    const int battery = Battery(e->name);
    if (battery == 0) continue; // belongs to no battery: wakes nothing
    if (static_cast<size_t>(battery) > near.size()) near.resize(battery, false);
    if (LengthSquared2D(p - e->Position()) <= 160000.0f) near[battery - 1] = true;
  }
  if (near.size() < 6) near.resize(6, false);
}

void FireTurretChain(World& world) {
  size_t first = 0;
  while (first < world.chainBits.size() && !world.chainBits[first]) ++first;
  // With no bit set this is a battery beyond every one the level has: none fires.
  const int awake = static_cast<int>(first + 1);
  float stagger = 0.04f;
  for (GameObject* e : world.shooters) {
    if (!e || !e->active || !IsTurret(*e)) continue;
    if (Battery(e->name) == awake) {
      ArmOrFire(*e, stagger);
      stagger += 0.04f;
    } else {
      e->armed = false;
    }
  }
}

void FireTurretVolley(World& world) {
  float stagger = 0.04f;
  for (GameObject* e : world.shooters) {
    if (!e || !e->active || !IsTurret(*e)) continue;
    ArmOrFire(*e, stagger);
    stagger += 0.04f;
  }
}

// ---- patrollers ---------------------------------------------------------------------------------

void Patrol(GameObject& enemy, float seconds) {
  enemy.patrolTimer -= seconds;
  if (enemy.vertical) {
    enemy.velocity = Vec3(0.0f, enemy.forward ? 0.5f : -0.5f, 0.0f);
    enemy.SetRotation(enemy.forward ? 0.0f : PI);
  } else {
    enemy.velocity = Vec3(enemy.forward ? -0.5f : 0.5f, 0.0f, 0.0f);
    enemy.SetRotation(enemy.forward ? THREE_HALF_PI : HALF_PI);
  }
  if (enemy.patrolTimer <= 0.0f) {
    enemy.patrolTimer = 5.0f;
    enemy.forward = !enemy.forward;
  }
}

void MovePatrollers(World& world) {
  for (GameObject* e : world.patrollers)
    if (e && e->active) e->Update();
}

void UpdatePatrollers(World& world, Vehicle& player) {
  const Vec3 target = player.Position();
  for (size_t i = 0; i < world.patrollers.size(); ++i) {
    GameObject* e = world.patrollers[i];
    if (!e || !e->active) continue;
    if (e->hit) {
      e->hitTimer -= world.frame.frameTime;
      if (e->hitTimer <= 0.0f) {
        e->hit = false;
        SetAnimating(*e, true);
      }
    }
    const Vec3 d = target - e->Position();
    const float reach = e->scale * 300.0f;
    PathCell* none = nullptr;
    PathCell*& trail = i < world.trailList.size() ? world.trailList[i] : none;
    const bool chasing =
        player.active && (world.isBossLevel || LengthSquared2D(d) <= reach * reach) && trail != nullptr;
    if (chasing) {
      e->waitTimer = 3.0f;
      if (trail->previous) trail = trail->previous;
      if (!e->hit) {
        // Already on the cell: stand still rather than divide by nothing.
        const Vec3 step = trail->centre - e->Position();
        const float length = Length(step);
        e->velocity = length > 0.0f ? step / length : Vec3();
      }
      if (d.y > 0.0f) e->SetRotation(HALF_PI);
      else if (d.y < 0.0f) e->SetRotation(THREE_HALF_PI);
    } else {
      if (FindBlocker(world, *e->shape)) {
        e->forward = !e->forward;
        e->patrolTimer = 5.0f;
        if (d.y != 0.0f) e->Move(Vec3(0.0f, -e->velocity.y, 0.0f));
      }
      if (e->waitTimer > 0.0f) {
        // Lost the trail: look from side to side for a while.
        e->velocity = Vec3();
        e->waitTimer -= world.frame.frameTime;
        const int whole = static_cast<int>(e->waitTimer);
        e->SetRotation(whole % 2 != 0 ? THREE_HALF_PI : HALF_PI);
      } else {
        Patrol(*e, world.frame.frameTime);
      }
    }
    if (!Touches(*e, player)) continue;
    PlaySlot(5);
    if (!player.hit) {
      player.hitTimer = 1.0f;
      if (!world.frame.cheatMode) {
        player.hp -= e->damage;
        RequestShake(world, e->Position());
      }
      player.hit = true;
    }
    if (!e->hit) {
      e->hitTimer = 1.0f;
      e->Move(-e->velocity);
      e->velocity = Vec3();
      SetAnimating(*e, false);
      e->hit = true;
    }
  }
}

// ---- death ----------------------------------------------------------------------------------------

void EnemyDeathCheck(World& world, GameObject& enemy) {
  // Only a live enemy can die, and only once.
  if (enemy.hp > 0 || !enemy.active) return;
  enemy.lifetime = 20.0f;
  enemy.active = false;
  const Vec3 at = enemy.Position();
  auto star = std::make_shared<GameObject>("../Assets/image/star.png", at, 10, 10, 1);
  star->name = "score";
  star->ResetTree();
  world.stars.push_back(star);
  BurstAt(world.frame.bursts, at);
  if (!world.countsKills || !(world.isMainLevel || world.isBossLevel)) return;
  switch (KillGroupOf(enemy.name)) {
  case KillGroup::A: ++world.killCountA; break;
  case KillGroup::B: ++world.killCountB; break;
  case KillGroup::None: break;
  }
}

KillGroup KillGroupOf(const std::string& patrollerName) {
  if (Contains(patrollerName, "ENEMY2A")) return KillGroup::A;
  if (Contains(patrollerName, "ENEMY2B") || Contains(patrollerName, "ENEMY2VERTICALB")) return KillGroup::B;
  return KillGroup::None;
}
