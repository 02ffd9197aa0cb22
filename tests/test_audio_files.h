#pragma once
// Sound files and a temporary asset tree, made at test time for the audio tests.
#include <gtest/gtest.h>
#include <unistd.h>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <SDL.h>

namespace audio_test {

namespace fs = std::filesystem;

// A mono 16-bit 22050 Hz PCM WAV holding a sine tone.
inline void WriteWav(const fs::path& path, int milliseconds, double hz = 440.0) {
  const std::uint32_t frames = static_cast<std::uint32_t>(22050 * milliseconds / 1000);
  std::ofstream out(path, std::ios::binary);
  auto put = [&](std::uint32_t v, int bytes) { for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(v >> (8 * i))); };
  out << "RIFF"; put(36 + frames * 2, 4); out << "WAVEfmt "; put(16, 4); put(1, 2); put(1, 2);
  put(22050, 4); put(44100, 4); put(2, 2); put(16, 2); out << "data"; put(frames * 2, 4);
  for (std::uint32_t i = 0; i < frames; ++i)
    put(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000.0 * std::sin(2.0 * M_PI * hz * i / 22050))), 2);
}

inline void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Polls until the condition holds, giving the mixer thread time to run.
template <class Condition>
bool WaitFor(Condition condition) {
  for (int waited = 0; waited < 3000 && !condition(); waited += 5) SDL_Delay(5);
  return condition();
}

// tmp/Assets/Audio and tmp/run; the test runs in tmp/run so "../Assets/..." resolves there.
struct TempTree {
  TempTree() {
    char pattern[] = "/tmp/kvo-audio-XXXXXX";
    root = mkdtemp(pattern);
    fs::create_directories(root / "Assets" / "Audio");
    fs::create_directories(root / "run");
    fs::current_path(root / "run");
  }
  ~TempTree() {
    fs::current_path(previous);
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  fs::path Audio() const { return root / "Assets" / "Audio"; }
  fs::path previous = fs::current_path();
  fs::path root;
};

} // namespace audio_test
