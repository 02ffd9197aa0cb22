#include "objects/World.h"
#include "objects/GameObject.h"
#include "render/Camera.h"

Vehicle* g_player = nullptr;
std::shared_ptr<Camera> g_camera;
bool g_levelWon = false;
bool g_levelLost = false;
bool g_pizzaCarried = false;
float g_thermometer = 1.0f;
int g_score = 0;
bool g_cheatMode = false;

World g_campaignWorld;

GameObject* FindPlayer(const std::vector<GameObject*>& objects) {
  for (auto it = objects.rbegin(); it != objects.rend(); ++it)
    if (*it && (*it)->name == "PLAYER") return *it;
  return nullptr;
}
