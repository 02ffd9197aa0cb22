// The player loadout, read for a vehicle (hit points, upgrade level, weapons
// and their projectiles) and for any other object (hit points only).
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
    AsInt(weapon.halfWidth);
    AsInt(weapon.halfHeight);
    AsInt(weapon.centreX);
    AsInt(weapon.centreY);
    for (const ProjectileRecord& projectile : weapon.projectiles) {
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
