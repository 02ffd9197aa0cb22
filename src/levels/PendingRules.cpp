// TEMPORARY stand-ins; see PendingRules.h.
#include "levels/PendingRules.h"
#include "objects/GameObject.h"
#include "objects/Vehicle.h"

void DrawVehicleHud(Vehicle&) {}
void UpdateReloadBars(Vehicle&) {}
void Drive(Vehicle& player, const Vec3& throttle, const ParticlePool&) {
  if (throttle.x == 0 && throttle.y == 0) return;
  const float c = std::cos(player.rotation), s = std::sin(player.rotation);
  player.velocity = Vec3(c * throttle.x - s * throttle.y, s * throttle.x + c * throttle.y, throttle.z);
}
void Turn(Vehicle& player, float delta) { player.Rotate(delta); }
void Fire(Vehicle&, int, const Vec3&) {}
void UpdateCharacterProximity(World&, const Vehicle&) {}
void UpdatePlayerShots(World&, Vehicle&) {}
void UpdateGunners(World&, Vehicle&) {}
void UpdatePatrollers(World&, Vehicle&) {}
void FireTurretVolley(World&) {}
void UpdateTurretChain(World&, const Vec3&) {}
void FireTurretChain(World&) {}
void ApplyGateRules(World&) {}
void UpdateFuelPickups(World&, Vehicle&, const Camera&) {}
bool TouchesBlocker(const World&, const GameObject&) { return false; }
void UpdateSideWeapons(World&, Vehicle&, const Camera&) {}
void OpenGate(std::vector<GameObject*>&, int) {}
FuelPickup MakeFuelPickup(const Vec3&) { return {}; }
void MeasureLevel(const std::vector<GameObject*>&) {}
void LayTiles() {}
void ClearTiles() {}
void DrawBackgroundTiles(const Camera&) {}
