#include "objects/Weapon.h"

#include <algorithm>

#include "render/Texture.h"

Weapon::Weapon(const Vec3& position, int halfWidth, int halfHeight, int format, int kind_, const std::string& image,
               double reloadTime_, double damage_)
    : GameObject(image, position, halfWidth, halfHeight, format), reloadTime(reloadTime_), damage(damage_),
      kind(kind_) {}

namespace {

// Pool entries one pass adds for each firing pattern; patterns address
// entries by index, so this is what one volley may need.
int EntriesPerPass(int kind) {
  switch (kind) {
  case 0: return 1;
  case 1: return 6;
  case 2: return 4;
  case 5: return 2;
  case 6: return 16;
  default: return 0;
  }
}

} // namespace

Weapon::Weapon(const Vec3& position, int halfWidth, int halfHeight, int format, int kind_, const std::string& image,
               double reloadTime_, double damage_, const Projectile& model)
    : Weapon(position, halfWidth, halfHeight, format, kind_, image, reloadTime_, damage_) {
  projectileTemplate = std::make_shared<Projectile>(model);
  // As many passes as shots of one projectile's flight can overlap. The
  // garage's guns need 20 at most; the cap keeps an absurd ratio from filling memory.
  const double ratio = reloadTime > 0.0 ? projectileTemplate->lifetime / reloadTime : 0.0;
  const int passes = ratio >= 1.0 ? static_cast<int>(std::min(ratio, 1000.0)) : 0;
  for (int pass = 0; pass < passes; ++pass) {
    for (int i = 0; i < EntriesPerPass(kind); ++i) projectiles.push_back(projectileTemplate);
    if (kind == 1) damage = 3.0;
    else if (kind == 2) damage = 4.0;
    else if (kind == 6) damage = 2.0;
  }
}

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
