// Bodies still to come; each step does nothing yet.
#include "objects/WorldRules.h"
#include "objects/GameObject.h"
#include "objects/Vehicle.h"
#include "objects/WeaponWidgets.h"

DriveInput ApplyPadInput(Vehicle&, const Gamepad&) { return {}; }
DriveInput ApplyKeyInput(Vehicle&) { return {}; }
DriveInput ApplyDriveInput(Vehicle&, const Gamepad&) { return {}; }
void UpdatePlayer(World&, Vehicle&) {}
void BlockPlayer(World&, Vehicle&) {}
void UpdatePlayerHitWindow(Vehicle&) {}
void UpdateMainGunShots(World&, Vehicle&) {}
void UpdateSideWeapons(World&, Vehicle&) {}
void PlayerHit(World&, Vehicle&, const GameObject&) {}
void UpdateCharacters(World&, const Vehicle&, GameObject*) {}
void UpdateGunners(World&, Vehicle&) {}
void UpdateTurretChain(World&, const Vec3&) {}
void FireTurretChain(World&) {}
void FireTurretVolley(World&) {}
void SizeChainBits(World&) {}
void UpdatePatrollers(World&, Vehicle&) {}
void MovePatrollers(World&) {}
void Patrol(GameObject&) {}
void EnemyDeathCheck(World&, GameObject&) {}
GameObject* FindBlocker(const World&, const Poly&) { return nullptr; }
void HitSack(GameObject&) {}
void OpenGate(std::vector<GameObject*>&, int) {}
void OpenAllGates(std::vector<GameObject*>&) {}
void CloseAllGates(std::vector<GameObject*>&) {}
void ApplyGateRules(World&) {}
void UpdatePizza(World&, const Vehicle&) {}
void UpdateFuelPickups(World&, Vehicle&) {}
FuelPickup MakeFuelPickup(const Vec3&) { return {}; }
std::vector<GameObject*> g_backgroundTiles;
TileExtent g_tileExtent;
void CreateBackgroundTiles() {}
void MeasureLevel(const std::vector<GameObject*>&) {}
void LayTiles() {}
void DestroyBackgroundTiles() {}
std::vector<std::shared_ptr<Weapon>> MakeGarageGuns() { return {}; }

WeaponStatistic::WeaponStatistic() {}
void WeaponStatistic::Refresh(int, int) {}
void WeaponStatistic::Draw() {}
WeaponShootingType::WeaponShootingType() {}
void WeaponShootingType::Draw() {}


