#pragma once
// Shared by the file-reader fuzz targets: each target is one LLVMFuzzerTestOneInput
// that reads the input the way the game reads the file.
#include <cstddef>
#include <cstdint>
#include <string>

inline std::string InputText(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// The game truncates these reals to int when it makes objects, pictures and
// weapons; UndefinedBehaviorSanitizer reports a value the reader should have
// refused. volatile keeps the conversion from being folded away.
inline void AsInt(float value) {
  volatile int truncated = static_cast<int>(value);
  (void)truncated;
}

// What the level-file parser promises about every block it accepts, and what
// the factory, the pictures and the level build rely on.
inline bool HalfSizeOk(float v) { return v >= 0.0f && v <= 100000.0f; }
inline bool CoordinateOk(float v) { return v >= -1.0e9f && v <= 1.0e9f; }
