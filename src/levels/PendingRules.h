#pragma once
// TEMPORARY: the object rules the level calls, until the rules' own header lands. Each has
// a do-nothing body in PendingRules.cpp. Remove this file when the merge brings the real ones.
#include <vector>

#include "core/Vec3.h"
#include "objects/World.h"
#include "render/ParticleSys.h"

class Camera;
class GameObject;
class Vehicle;

void DrawVehicleHud(Vehicle& player);
void UpdateReloadBars(Vehicle& player);
void Drive(Vehicle& player, const Vec3& throttle, const ParticlePool& emitters);
void Turn(Vehicle& player, float delta);
void Fire(Vehicle& player, int mount, const Vec3& direction);
void UpdateCharacterProximity(World& world, const Vehicle& player);
void UpdatePlayerShots(World& world, Vehicle& player);
void UpdateGunners(World& world, Vehicle& player);
void UpdatePatrollers(World& world, Vehicle& player);
void FireTurretVolley(World& world);
void UpdateTurretChain(World& world, const Vec3& playerCentre);
void FireTurretChain(World& world);
void ApplyGateRules(World& world);
void UpdateFuelPickups(World& world, Vehicle& player, const Camera& camera);
bool TouchesBlocker(const World& world, const GameObject& object);
void UpdateSideWeapons(World& world, Vehicle& player, const Camera& camera);
void OpenGate(std::vector<GameObject*>& gates, int number);
FuelPickup MakeFuelPickup(const Vec3& centre);
void MeasureLevel(const std::vector<GameObject*>& objects);
void LayTiles();
void ClearTiles();
void DrawBackgroundTiles(const Camera& camera);
