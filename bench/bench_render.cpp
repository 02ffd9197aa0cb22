// One busy scene at 1264 x 720 with the frame wait off: 2,000 moving textured quads,
// 50 texts of twenty characters and every particle pool playing. Prints frames per
// second and milliseconds per frame, with the renderer's batching on and then off, the
// draw calls and heap allocations of a frame beside each.
// Run from build/: ./bench/bench_render [frames] [parts]
// "parts" waits for the GPU after each part of the frame and prints their shares.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <GL/glew.h>

#include "core/GameState.h"
#include "core/Window.h"
#include "render/DrawBatch.h"
#include "render/Font.h"
#include "render/ParticleSys.h"
#include "render/Shader.h"
#include "render/Texture.h"
#include "support/AllocationCount.h"
#include "support/GlTestContext.h"
#include "support/TestImages.h"

namespace {

const int QUADS = 2000;
const int TEXTS = 50;

using Clock = std::chrono::steady_clock;

// Keeps every system of every pool running somewhere on screen.
void RestartFinished(int frame) {
  int n = 0;
  for (ParticlePool* pool : g_particles.All())
    for (auto& s : *pool) {
      ++n;
      if (s->elapsed <= s->duration) continue;
      const float x = static_cast<float>((n * 97 + frame * 13) % g_screen.width);
      const float y = static_cast<float>((n * 61 + frame * 7) % g_screen.height);
      s->SetPosition(x, y);
      s->Restart();
    }
}

} // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 600;
  const bool parts = argc > 2 && std::string(argv[2]) == "parts";
  double partSeconds[3] = {0, 0, 0}; // quads, particles, text
  auto mark = Clock::now();
  auto endPart = [&](int part, bool count) {
    if (!parts) return;
    glFinish();
    const auto now = Clock::now();
    if (count) partSeconds[part] += std::chrono::duration<double>(now - mark).count();
    mark = now;
  };
  GlTestContext& gl = GlTestContext::Get();
  if (!gl.ok) return 1;
  gl.SetSwapInterval(0);
  std::srand(1);

  const std::string folder = TempFolder();
  const std::string picture = folder + "/tank.png";
  std::vector<uint32_t> pixels(32 * 32);
  for (int i = 0; i < 32 * 32; ++i) pixels[i] = ((i % 32 + i / 32) % 2) ? 0x40a040ff : 0xc0c04080;
  WriteRgbaPng(picture, 32, 32, pixels);

  std::vector<std::unique_ptr<Texture>> quads;
  for (int i = 0; i < QUADS; ++i) {
    quads.push_back(std::make_unique<Texture>(picture.c_str(), 1, Vec3(0, 0, 0), 16, 16));
    quads.back()->Init();
  }
  Font font;
  font.Init();
  FillParticlePools();

  std::printf("render scene: %d quads, %d texts of 20 characters, 6 particle pools, %dx%d\n", QUADS, TEXTS,
              g_screen.width, g_screen.height);
  // The first pass warms both paths; the figures come from the second.
  for (int pass = 0; pass < 2; ++pass)
    for (bool batching : {true, false}) {
      SetBatching(batching);
      double seconds = 0.0;
      int measured = 0;
      long allocations = 0;
      const int warmUp = 30;
      const int run = pass == 0 ? 10 : frames;
      std::fill(partSeconds, partSeconds + 3, 0.0);
      RenderCounters() = {};
      for (int frame = 0; frame < run + warmUp; ++frame) {
        const auto start = Clock::now();
        const long allocationsBefore = AllocationCount();
        if (frame == warmUp) RenderCounters() = {};
        gl.BeginFrame();
        endPart(0, false);
        const bool count = frame >= warmUp;
        const float t = frame * 0.02f;
        for (int i = 0; i < QUADS; ++i) {
          const float x = 632 + 560 * std::sin(t + i * 0.37f) * std::cos(i * 0.011f);
          const float y = 360 + 320 * std::cos(t * 1.3f + i * 0.23f);
          quads[i]->SetPosition(Vec3(x, y, 0), 0.0f);
          quads[i]->Draw();
        }
        endPart(0, count);
        RestartFinished(frame);
        for (ParticlePool* pool : g_particles.All())
          for (auto& s : *pool) s->Draw();
        endPart(1, count);
        for (int i = 0; i < TEXTS; ++i)
          font.DrawText("Score: 12345 Time 60", Vec3(20 + (i % 5) * 250.0f, 40 + (i / 5) * 70.0f, 0),
                        Vec3(1, 1, 1), 0.75f);
        endPart(2, count);
        gl.Swap();
        glFinish();
        const auto end = Clock::now();
        // A steady frame time, so that the particles play the same in both runs.
        g_loop.frameTime = 1.0f / 60.0f;
        if (frame >= warmUp) {
          seconds += std::chrono::duration<double>(end - start).count();
          allocations += AllocationCount() - allocationsBefore;
          ++measured;
        }
      }
      if (pass == 0) continue;
      const unsigned int error = gl.Error();
      const DrawCounters& c = RenderCounters();
      std::printf("batching %-3s %d frames: %.1f frames per second, %.2f ms per frame, %.0f draw calls and %.1f "
                  "allocations a frame%s\n",
                  batching ? "on" : "off", measured, measured / seconds, 1000.0 * seconds / measured,
                  static_cast<double>(c.drawCalls) / measured, static_cast<double>(allocations) / measured,
                  error ? " (GL error seen)" : "");
      if (parts)
        std::printf("  per frame: quads %.2f ms, particles %.2f ms, text %.2f ms\n",
                    1000.0 * partSeconds[0] / measured, 1000.0 * partSeconds[1] / measured,
                    1000.0 * partSeconds[2] / measured);
    }
  EmptyParticlePools();
  return 0;
}
