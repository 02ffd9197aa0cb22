#include "objects/Weapon.h"

#include "render/Texture.h"

Weapon::Weapon(const Vec3& position, int halfWidth, int halfHeight, int format, int kind_, const std::string& image,
               double reloadTime_, double damage_)
    : GameObject(image, position, halfWidth, halfHeight, format), reloadTime(reloadTime_), damage(damage_),
      kind(kind_) {}

Weapon::Weapon(const Weapon& source)
    : GameObject(source.ImagePath(), source.Position(), source.graphic->halfWidth, source.graphic->halfHeight,
                 source.graphic->format),
      reloadTime(source.reloadTime), damage(source.damage), kind(source.kind), alternate(false),
      styleDuration(2.0) {
  name = source.name;
  if (source.projectileTemplate) projectileTemplate = std::make_shared<Projectile>(*source.projectileTemplate);
  projectiles.reserve(source.projectiles.size());
  for (const auto& p : source.projectiles)
    if (p) projectiles.push_back(std::make_shared<Projectile>(*p));
}

Weapon::~Weapon() = default;
