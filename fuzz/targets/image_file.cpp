// The picture decoders, through a temporary file as the texture cache hands
// them a path. Built twice: KVO_FUZZ_PNG=1 for PNG, else BMP.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "FuzzTarget.h"
#include "render/ImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/kvo-fuzz-image-" + std::to_string(getpid());
  static const bool cleanUp = std::atexit([] { std::remove(path.c_str()); }) == 0;
  (void)cleanUp;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  DecodedImage image;
#if KVO_FUZZ_PNG
  const bool decoded = DecodePng(path.c_str(), image);
#else
  const bool decoded = DecodeBmp(path.c_str(), image);
#endif
  // The uploader trusts these to agree.
  if (decoded && (image.width <= 0 || image.height <= 0 || (image.channels != 3 && image.channels != 4) ||
                  image.pixels.size() != static_cast<size_t>(image.width) * image.height * image.channels))
    __builtin_trap();
  if (!decoded && !image.pixels.empty()) __builtin_trap();
  return 0;
}
