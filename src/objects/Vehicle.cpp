#include "objects/Vehicle.h"

Vehicle::Vehicle(const std::string& name_, const std::string& image, const Vec3& position, int halfWidth,
                 int halfHeight, int format, const std::string& descriptor)
    : GameObject(name_, image, position, halfWidth, halfHeight, format, descriptor) {}

Vehicle::~Vehicle() = default;

void Vehicle::Update() {
  for (auto& weapon : weapons)
    if (weapon) weapon->Move(velocity);
  Move(velocity);
}

void Vehicle::Move(const Vec3& delta) {
  for (auto& weapon : weapons)
    if (weapon) weapon->Move(delta);
  GameObject::Move(delta);
}
