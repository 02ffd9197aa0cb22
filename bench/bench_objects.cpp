// Collision and level-file figures. Prints the cost of one frame's all-pairs
// polygon tests for a crowded level (most pairs far apart, as in play), and the
// time to save and to load a level of 2,000 objects.
// Run from build/: ./bench/bench_objects [frames]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/System.h"
#include "levels/LevelFile.h"
#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include "objects/Vehicle.h"
#include "objects/Shape.h"
#include "support/GlTestContext.h"
#include "support/TestImages.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

Poly Box(float x, float y, float half) {
  return Poly({{x - half, y - half, 0}, {x - half, y + half, 0}, {x + half, y + half, 0}, {x + half, y - half, 0}});
}

// 400 walls on a 50-unit grid, 100 enemies, 180 shots spread over the level.
void BenchCollisions(int frames) {
  std::vector<Poly> walls, enemies, shots;
  for (int i = 0; i < 400; ++i) walls.push_back(Box(25.0f + 50 * (i % 40), 25.0f + 50 * (i / 40), 25));
  for (int i = 0; i < 100; ++i) enemies.push_back(Box(37.0f * (i % 50), 90.0f * (i / 50) + 200, 20));
  for (int i = 0; i < 180; ++i) shots.push_back(Box(11.0f * i, 3.0f * i, 4));
  long hits = 0;
  const auto start = Clock::now();
  for (int f = 0; f < frames; ++f) {
    for (auto& s : shots) {
      s.Translate({0.5f, 0.25f, 0});
      for (const auto& e : enemies) hits += s.Intersects(e);
      for (const auto& w : walls) hits += s.Intersects(w);
    }
  }
  const double ms = MillisecondsSince(start);
  const double pairs = double(frames) * shots.size() * (enemies.size() + walls.size());
  std::printf("collisions: %.3f ms per frame, %.1f ns per pair (%ld contacts)\n", ms / frames, ms * 1e6 / pairs,
              hits);
}

void BenchLevelFiles() {
  if (!GlTestContext::Get().ok) {
    std::printf("level files: no GL context, skipped\n");
    return;
  }
  const std::string root = TempFolder();
  const std::string picture = root + "/brick.png";
  WriteRgbaPng(picture, 4, 4, std::vector<uint32_t>(16, 0xffffffffu));
  WriteText(root + "/brick.txt", "f= 0 0 4 4\n");
  auto factory = std::make_shared<GameObjectFactory>();
  g_systems.push_back(factory);

  std::vector<GameObject*> level{factory->CreateVehicle("PLAYER", picture, Vec3(0, 0, 1), 24, 16, 1, root + "/brick.txt")};
  for (int i = 1; i < 2000; ++i) {
    GameObject* o = factory->Create(i % 3 ? "WALL" : "ROAD", picture, Vec3(50.0f * (i % 60), 50.0f * (i / 60), 1), 25, 25, 1);
    o->Rotate(0.01f * i);
    level.push_back(o);
  }
  auto start = Clock::now();
  SaveLevel(level, root + "/BIG.txt");
  const double saveMs = MillisecondsSince(start);
  factory->objects.clear();
  start = Clock::now();
  const auto loaded = LoadObjectList(root + "/BIG.txt", true);
  const double loadMs = MillisecondsSince(start);
  std::printf("level files: save %.1f ms, load %.1f ms for %zu objects\n", saveMs, loadMs, loaded.size());
  g_systems.clear();
}

} // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 600;
  BenchCollisions(frames > 0 ? frames : 600);
  BenchLevelFiles();
  return 0;
}
