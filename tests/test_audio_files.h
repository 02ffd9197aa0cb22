#pragma once
// Sound files and folders made at test time for the audio tests.
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

// A mono 16-bit PCM WAV with a sine tone.
inline void WriteWav(const fs::path& path, int milliseconds, int rate = 22050, double hz = 440.0) {
  const std::uint32_t frames = static_cast<std::uint32_t>(static_cast<std::int64_t>(rate) * milliseconds / 1000);
  const std::uint32_t dataBytes = frames * 2;
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF)); };
  auto u16 = [&](std::uint16_t v) { out.put(static_cast<char>(v & 0xFF)); out.put(static_cast<char>(v >> 8)); };
  out.write("RIFF", 4); u32(36 + dataBytes); out.write("WAVE", 4);
  out.write("fmt ", 4); u32(16); u16(1); u16(1); u32(static_cast<std::uint32_t>(rate));
  u32(static_cast<std::uint32_t>(rate) * 2); u16(2); u16(16);
  out.write("data", 4); u32(dataBytes);
  for (std::uint32_t i = 0; i < frames; ++i)
    u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000.0 * std::sin(2.0 * M_PI * hz * i / rate))));
}

// An OGG Vorbis file made by sox; false when sox cannot make one.
inline bool WriteOgg(const fs::path& path, double seconds) {
  const std::string command = "sox -q -n -r 22050 -c 1 '" + path.string() + "' synth " +
                              std::to_string(seconds) + " sine 330 2>/dev/null";
  return std::system(command.c_str()) == 0 && fs::exists(path);
}

inline void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// Polls until the condition holds, giving the mixer thread time to run.
template <class Condition>
bool WaitFor(Condition condition, int timeoutMs = 3000) {
  for (int waited = 0; waited < timeoutMs; waited += 5) {
    if (condition()) return true;
    SDL_Delay(5);
  }
  return condition();
}

// A fresh tmp/Assets/Audio + tmp/run tree; the test runs inside tmp/run so
// that "../Assets/..." paths resolve into it. Put back on destruction.
class TempTree {
public:
  TempTree() {
    char pattern[] = "/tmp/kvo-audio-XXXXXX";
    root = mkdtemp(pattern);
    fs::create_directories(root / "Assets" / "Audio");
    fs::create_directories(root / "run");
    previous = fs::current_path();
    fs::current_path(root / "run");
  }
  ~TempTree() {
    fs::current_path(previous);
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  fs::path Audio() const { return root / "Assets" / "Audio"; }
  fs::path root;
  fs::path previous;
};

// Points SDL at a driver that does not exist, as on a machine without sound.
class NoAudioDevice {
public:
  NoAudioDevice() {
    const char* old = std::getenv("SDL_AUDIODRIVER");
    if (old != nullptr) saved = old;
    hadValue = old != nullptr;
    setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1);
  }
  ~NoAudioDevice() {
    if (hadValue) setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else unsetenv("SDL_AUDIODRIVER");
  }
  std::string saved;
  bool hadValue = false;
};

} // namespace audio_test
