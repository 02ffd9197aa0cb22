// Feeds one input to each reader of the level, object-list and loadout files,
// the way the game reads them, so that no file on disk can crash, leak or hang
// the game.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "levels/LevelTokens.h"

namespace {

void ReadAsObjectList(const std::string& text) {
  std::istringstream in(text);
  ObjectRecord record;
  std::string problem;
  // The same loop as the object-list loader: one block per turn until the
  // stream ends or a block is refused.
  while (in.good()) {
    if (ParseObjectBlock(in, record, problem) != BlockResult::Read) break;
    ObjectKind kind = ChooseObjectKind(record.keyword, record.name);
    if (kind == ObjectKind::Animated || kind == ObjectKind::Vehicle) (void)DescriptorPath(record.imagePath);
    if (kind == ObjectKind::Static) (void)WallVariantPath(record.imagePath, 0);
    // The factory truncates the half sizes, the picture its scaled sizes and
    // the level build the centres; the parser must have made all of that safe.
    volatile int hw = static_cast<int>(record.halfWidth);
    volatile int hh = static_cast<int>(record.halfHeight);
    volatile int shw = static_cast<int>(record.halfWidth * record.scale);
    volatile int shh = static_cast<int>(record.halfHeight * record.scale);
    volatile int cx = static_cast<int>(record.centreX);
    volatile int cy = static_cast<int>(record.centreY);
    (void)hw;
    (void)hh;
    (void)shw;
    (void)shh;
    (void)cx;
    (void)cy;
  }
}

void ReadAsLoadout(const std::string& text, bool vehicle) {
  std::istringstream in(text);
  std::ostringstream log;
  LoadoutRecord loadout;
  ParseLoadout(in, vehicle, loadout, log, "loadout");
  for (const auto& weapon : loadout.weapons) {
    volatile int hw = static_cast<int>(weapon.halfWidth);
    volatile int cx = static_cast<int>(weapon.centreX);
    (void)hw;
    (void)cx;
    for (const auto& projectile : weapon.projectiles) {
      volatile int phw = static_cast<int>(projectile.halfWidth);
      volatile int pcx = static_cast<int>(projectile.centreX);
      (void)phw;
      (void)pcx;
    }
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ReadAsObjectList(text);
  ReadAsLoadout(text, true);
  ReadAsLoadout(text, false);
  std::istringstream in(text);
  (void)ValidateLevelTokens(in);
  return 0;
}
