#include "levels/LevelScenery.h"

#include <algorithm>
#include <cmath>

#include "core/GameState.h"
#include "core/Window.h"
#include "objects/GameObject.h"
#include "objects/World.h"
#include "objects/WorldRules.h"
#include "render/AnimatedTexture.h"
#include "render/Camera.h"
#include "render/Texture.h"

namespace {

void DrawObject(GameObject* object, const Camera& camera) {
  if (!object || !object->active || !object->graphic) return;
  object->graphic->SetCamera(camera);
  object->graphic->Draw();
}

// Every pixel the object's picture can touch, turned or not.
WorldRect Footprint(const GameObject& object) {
  const Texture& g = *object.graphic;
  const float reach = std::hypot(static_cast<float>(g.halfWidth), static_cast<float>(g.halfHeight)) + 2.0f;
  return WorldRect{static_cast<int>(std::floor(g.center[0] - reach)), static_cast<int>(std::floor(g.center[1] - reach)),
                   static_cast<int>(std::ceil(g.center[0] + reach)) + 1,
                   static_cast<int>(std::ceil(g.center[1] + reach)) + 1};
}

// A picture that looks the same for the whole level.
bool Unchanging(const GameObject& object) {
  if (!object.active || !object.graphic) return false;
  const AnimatedTexture* sheet = object.Animated();
  return !sheet || !sheet->animating;
}

} // namespace

void PrepareScenery(LevelScenery& scenery, const World& world, const float clearColour[3], const CameraLimits& limits) {
  scenery.baked.clear();
  scenery.live.clear();
  // The layers as the level draws them: the laid grass, the roads, the first END, then
  // walls, sacks, gates and fillers.
  std::vector<std::pair<GameObject*, bool>> layers; // object, may be baked
  const size_t laid = static_cast<size_t>(std::max(0, g_background.extent.columns * g_background.extent.rows));
  for (size_t i = 0; i < g_background.tiles.size() && i < laid; ++i) layers.push_back({g_background.tiles[i], true});
  GameObject* end = nullptr;
  for (GameObject* road : world.roads) {
    if (road->name == "END") {
      if (!end) end = road;
      continue;
    }
    layers.push_back({road, true});
  }
  if (end) layers.push_back({end, true});
  for (GameObject* wall : world.walls) layers.push_back({wall, true});
  for (GameObject* sack : world.sacks) layers.push_back({sack, false});
  for (GameObject* gate : world.gates) layers.push_back({gate, false});
  for (GameObject* filler : world.fillers) layers.push_back({filler, true});

  std::vector<WorldRect> liveFootprints;
  WorldRect area;
  for (auto [object, bakeable] : layers) {
    if (!object) continue;
    const WorldRect footprint = object->graphic ? Footprint(*object) : WorldRect{};
    bool bake = bakeable && Unchanging(*object);
    for (size_t i = 0; bake && i < liveFootprints.size(); ++i) bake = !liveFootprints[i].Overlaps(footprint);
    if (bake) {
      scenery.baked.push_back(object);
      area.Include(footprint);
    } else {
      scenery.live.push_back(object);
      liveFootprints.push_back(footprint);
    }
  }
  WorldRect seen;
  if (limits.clamped) {
    const int w = g_screen.width / 2 + 1, h = g_screen.height / 2 + 1;
    seen = WorldRect{std::min(limits.minX, limits.maxX) - w, std::min(limits.minY, limits.maxY) - h,
                     std::max(limits.minX, limits.maxX) + w, std::max(limits.minY, limits.maxY) + h};
  }
  const std::vector<GameObject*>* baked = &scenery.baked;
  scenery.bake.Reset(
      area, clearColour,
      [baked](const Camera& view) {
        for (GameObject* object : *baked) DrawObject(object, view);
      },
      seen);
}

bool DrawBakedScenery(LevelScenery& scenery, const Camera& camera) {
  if (g_loop.debugView == 1) return false; // the walls' outlines are drawn over each wall
  if (scenery.baked.empty() || !scenery.bake.Draw(camera)) return false;
  for (GameObject* object : scenery.live) DrawObject(object, camera);
  return true;
}

void ForgetScenery(LevelScenery& scenery) {
  scenery.baked.clear();
  scenery.live.clear();
  scenery.bake.Release();
}
