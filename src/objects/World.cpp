#include "objects/World.h"
#include "core/GameState.h"
#include "objects/GameObject.h"
#include "render/Camera.h"

PlayState g_play;
World g_campaignWorld;

GameObject* FindPlayer(const std::vector<GameObject*>& objects) {
  for (auto it = objects.rbegin(); it != objects.rend(); ++it)
    if (*it && (*it)->name == "PLAYER") return *it;
  return nullptr;
}

FrameContext ThisFrame() {
  FrameContext frame;
  frame.frameTime = g_loop.frameTime;
  frame.cheatMode = g_play.cheatMode;
  frame.camera = g_play.camera.get();
  frame.bursts = &g_particles.burst;
  frame.puffs = &g_particles.puff;
  frame.flames = &g_particles.flame;
  return frame;
}
