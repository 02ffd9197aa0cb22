// The player loadout, read for a vehicle (hit points, upgrade level, weapons
// and their projectiles) and for any other object (hit points only).
#include <cmath>
#include <sstream>

#include "FuzzTarget.h"
#include "levels/LevelTokens.h"

namespace {

void Read(const std::string& text, bool vehicle) {
  std::istringstream in(text);
  std::ostringstream log;
  LoadoutRecord loadout;
  ParseLoadout(in, vehicle, loadout, log, "Player.txt");
  // The weapons and projectiles are made at these sizes and places, truncated.
  for (const WeaponRecord& weapon : loadout.weapons) {
    if (!HalfSizeOk(weapon.halfWidth) || !HalfSizeOk(weapon.halfHeight) || !CoordinateOk(weapon.centreX) ||
        !CoordinateOk(weapon.centreY) || !std::isfinite(weapon.reloadTime) || !std::isfinite(weapon.damage))
      __builtin_trap();
    AsInt(weapon.halfWidth);
    AsInt(weapon.halfHeight);
    AsInt(weapon.centreX);
    AsInt(weapon.centreY);
    for (const ProjectileRecord& projectile : weapon.projectiles) {
      if (!HalfSizeOk(projectile.halfWidth) || !HalfSizeOk(projectile.halfHeight) ||
          !CoordinateOk(projectile.centreX) || !CoordinateOk(projectile.centreY) ||
          !std::isfinite(projectile.lifetime))
        __builtin_trap();
      AsInt(projectile.halfWidth);
      AsInt(projectile.halfHeight);
      AsInt(projectile.centreX);
      AsInt(projectile.centreY);
    }
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = InputText(data, size);
  Read(text, true);
  Read(text, false);
  return 0;
}
