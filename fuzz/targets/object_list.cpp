// The object list a level is played from, read block by block as the level
// loader does. Built twice: KVO_FUZZ_VALIDATE=1 puts the file through the
// level check first, as the game does before it plays a listed level.
#include <cmath>
#include <sstream>

#include "FuzzTarget.h"
#include "levels/LevelTokens.h"

#ifndef KVO_FUZZ_VALIDATE
#define KVO_FUZZ_VALIDATE 0
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = InputText(data, size);
  if (KVO_FUZZ_VALIDATE) {
    std::istringstream check(text);
    if (!ValidateLevelTokens(check)) return 0;
  }
  std::istringstream in(text);
  ObjectRecord record;
  std::string problem;
  // good() turns false at the end of the file and after a refused block alike.
  while (in.good()) {
    if (ParseObjectBlock(in, record, problem) != BlockResult::Read) break;
    const ObjectKind kind = ChooseObjectKind(record.keyword, record.name);
    if (kind == ObjectKind::Animated || kind == ObjectKind::Vehicle) (void)DescriptorPath(record.imagePath);
    if (kind == ObjectKind::Static && IsWallPicture(record.imagePath)) (void)WallVariantPath(record.imagePath, 0);
    if (!HalfSizeOk(record.halfWidth) || !HalfSizeOk(record.halfHeight) || !(record.scale > 0.0f) ||
        !HalfSizeOk(record.halfWidth * record.scale) || !HalfSizeOk(record.halfHeight * record.scale) ||
        !CoordinateOk(record.centreX) || !CoordinateOk(record.centreY) || !std::isfinite(record.rotation) ||
        !std::isfinite(record.storedValue))
      __builtin_trap();
    // The factory truncates the half sizes, the picture its scaled sizes and
    // the level build the centres.
    AsInt(record.halfWidth);
    AsInt(record.halfHeight);
    AsInt(record.halfWidth * record.scale);
    AsInt(record.halfHeight * record.scale);
    AsInt(record.centreX);
    AsInt(record.centreY);
  }
  return 0;
}
