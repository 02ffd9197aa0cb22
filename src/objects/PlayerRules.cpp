// The player's input, movement, guns and the hits its shots make.
#include <cstdlib>

#include "audio/Audio.h"
#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "objects/RulesLocal.h"
#include "objects/Vehicle.h"
#include "objects/WorldRules.h"
#include "render/AnimatedTexture.h"
#include "render/Camera.h"
#include "render/Texture.h"

namespace {

constexpr float TWO_DEGREES = 0.034906585f;
const Vec3 FORWARD_THROTTLE(2.5f, 0.0f, 0.0f);
const Vec3 REVERSE_THROTTLE(-1.5f, 0.0f, 0.0f);
const Vec3 BARREL(1.0f, 0.0f, 0.0f);

enum : int { KEY_SPACE = 32, KEY_A = 65, KEY_D = 68, KEY_E = 69, KEY_Q = 81, KEY_S = 83, KEY_W = 87 };

bool Beyond(int value, int deadZone) { return value > deadZone || value < -deadZone; }

// The enemy a player shot strikes: a gunner named exactly "ENEMY" (turrets take no hits,
// and none in the boss level), else a patroller. Only live enemies are hit, so one enemy
// dies once however many shots reach it in a frame.
GameObject* StruckEnemy(World& world, const Poly& shot, bool honourShield) {
  if (!world.isBossLevel)
    for (GameObject* e : world.shooters)
      if (e && e->active && e->name == "ENEMY" && !(honourShield && e->shielded) && shot.Intersects(*e->shape))
        return e;
  for (GameObject* e : world.patrollers)
    if (e && e->active && shot.Intersects(*e->shape)) return e;
  return nullptr;
}

} // namespace

// ---- input --------------------------------------------------------------------------------------

DriveInput ApplyPadInput(Vehicle& vehicle, const Gamepad& pad) {
  DriveInput input;
  const PadState& s = pad.state;
  if (Beyond(s.thumbLX, LEFT_THUMB_DEADZONE) || Beyond(s.thumbLY, LEFT_THUMB_DEADZONE)) {
    if (s.thumbLY < 0) {
      vehicle.Drive(REVERSE_THROTTLE, {});
    } else {
      vehicle.Drive(FORWARD_THROTTLE, g_particles.smoke);
      input.forward = true;
    }
  }
  if (Beyond(s.thumbRX, RIGHT_THUMB_DEADZONE) || Beyond(s.thumbRY, RIGHT_THUMB_DEADZONE))
    vehicle.Turn(s.thumbRX < 0 ? -TWO_DEGREES : TWO_DEGREES);
  if (pad.triggered[PAD_A]) vehicle.Fire(Mount::MainGun, BARREL);
  if (s.leftTrigger > 30) vehicle.Fire(Mount::LeftWeapon, BARREL);
  if (s.rightTrigger > 30) vehicle.Fire(Mount::RightWeapon, BARREL);
  return input;
}

DriveInput ApplyKeyInput(Vehicle& vehicle) {
  DriveInput input;
  if (IsDown(KEY_W)) {
    vehicle.Drive(FORWARD_THROTTLE, g_particles.smoke);
    input.forward = true;
  } else if (IsDown(KEY_S)) {
    vehicle.Drive(REVERSE_THROTTLE, {});
  } else {
    vehicle.Drive(Vec3(), {});
  }
  if (IsDown(KEY_A)) vehicle.Turn(-TWO_DEGREES);
  if (IsDown(KEY_D)) vehicle.Turn(TWO_DEGREES);
  if (ConsumeTrigger(KEY_SPACE)) vehicle.Fire(Mount::MainGun, BARREL);
  if (ConsumeTrigger(KEY_Q)) vehicle.Fire(Mount::LeftWeapon, BARREL);
  if (ConsumeTrigger(KEY_E)) vehicle.Fire(Mount::RightWeapon, BARREL);
  return input;
}

DriveInput ApplyDriveInput(Vehicle& vehicle, const Gamepad& pad) {
  const DriveInput fromPad = ApplyPadInput(vehicle, pad);
  DriveInput input = ApplyKeyInput(vehicle);
  input.forward = input.forward || fromPad.forward;
  return input;
}

// ---- movement -----------------------------------------------------------------------------------

void UpdatePlayer(World& world, Vehicle& player) {
  player.Update();
  player.cooldown -= world.frame.frameTime;
  for (GameObject* shot : player.children)
    if (shot && shot->active) shot->Update();
  // Enemy shots move once per member of the shooter list: every member holds the whole pool.
  for (GameObject* shooter : world.shooters) {
    if (!shooter) continue;
    for (GameObject* shot : shooter->children)
      if (shot && shot->active) shot->Update();
  }
}

void BlockPlayer(World& world, Vehicle& player) {
  if (FindBlocker(world, *player.shape)) {
    g_gamepad.StartRumble(0x3333, 0x3333, 0.25f);
    player.Move(-player.velocity);
    // Undo exactly what this frame turned, whichever input turned it.
    if (player.turnThisFrame != 0.0f) player.Turn(-player.turnThisFrame);
  }
  player.velocity = Vec3();
  player.turnThisFrame = 0.0f;
}

void UpdatePlayerHitWindow(Vehicle& player) {
  if (!player.hit) return;
  player.hitTimer -= g_loop.frameTime;
  if (player.hitTimer > 0.0f) return;
  player.hit = false;
  if (AnimatedTexture* sheet = player.Animated()) sheet->animating = true;
}

// ---- the main gun -------------------------------------------------------------------------------

void UpdateMainGunShots(World& world, Vehicle& player) {
  for (GameObject* shot : player.children) {
    if (!shot || !shot->active) continue;
    shot->lifetime -= world.frame.frameTime;
    if (shot->lifetime <= 0.0f) {
      shot->active = false;
      continue;
    }
    if (GameObject* enemy = StruckEnemy(world, *shot->shape, true)) {
      long long loss = shot->damage + 2LL * player.upgradeLevel;
      if (world.frame.cheatMode) loss *= 10;
      enemy->hp = ClampToInt(static_cast<double>(enemy->hp) - static_cast<double>(loss));
      PlaySlot(6);
      shot->active = false;
      EnemyDeathCheck(world, *enemy);
      continue;
    }
    if (GameObject* blocker = FindBlocker(world, *shot->shape)) {
      ShotEndsOn(world, *blocker, shot->Position());
      shot->active = false;
    }
  }
}

// ---- side weapons -------------------------------------------------------------------------------

void UpdateSideWeapons(World& world, Vehicle& player) {
  const float dt = world.frame.frameTime;
  for (const auto& held : player.weapons) {
    if (!held) continue;
    // Held by a shared owner for the frame: a hit must not see the gun vanish under it.
    const std::shared_ptr<Weapon> weapon = held;
    weapon->Tick();
    weapon->SetPosition(player.Position());
    for (const auto& p : weapon->projectiles) {
      if (!p || !p->active) continue;
      if (world.frame.camera) p->graphic->SetCamera(*world.frame.camera);
      p->remaining -= dt;
      if (p->remaining <= 0.0) {
        p->active = false;
        continue;
      }
      p->position += p->velocity * dt;
      p->SetPosition(p->position);
    }
    for (size_t i = 0; i < weapon->projectiles.size(); ++i) {
      Projectile* p = weapon->projectiles[i].get();
      if (!p || !p->active) continue;
      GameObject* enemy = StruckEnemy(world, *p->shape, false);
      GameObject* blocker = enemy ? nullptr : FindBlocker(world, *p->shape);
      if (!enemy && !blocker) continue;
      if (enemy) {
        PlaySlot(6);
        enemy->hp = ClampToInt(enemy->hp - weapon->damage);
        EnemyDeathCheck(world, *enemy);
      }
      // A black-hole primary splits where it struck, then the shot ends.
      weapon->SplitOnHit(i);
      weapon->Tick();
      p->active = false;
      if (blocker) ShotEndsOn(world, *blocker, p->position);
    }
  }
}
