#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/System.h"
#include "core/Vec3.h"

class GameObject;
class Vehicle;
class NPC;

// Makes and owns every level object. Each operation stores the new object in
// `objects` and returns a plain pointer that stays valid until the list is
// cleared (a level's Free does that). An empty name becomes "name". A failed
// allocation stops the program with an assertion report.
class GameObjectFactory : public System {
public:
  ~GameObjectFactory() override;
  void Initialize() override {}
  void Update() override {}
  void Receive(uint32_t /*message*/) override {}

  GameObject* CreateCopy(const GameObject& source); // keeps the source's name
  GameObject* Create(const std::string& name, const std::string& image, const Vec3& position, int halfWidth,
                     int halfHeight, int format);
  GameObject* CreateAnimated(const std::string& name, const std::string& image, const Vec3& position,
                             int halfWidth, int halfHeight, int format, const std::string& descriptor);
  Vehicle* CreateVehicle(const std::string& name, const std::string& image, const Vec3& position, int halfWidth,
                         int halfHeight, int format, const std::string& descriptor);
  NPC* CreateNPC(const std::string& name, const std::string& image, const Vec3& position, int halfWidth,
                 int halfHeight, int format, const std::string& message, const Vec3& offset);

  std::vector<std::shared_ptr<GameObject>> objects; // every object made, in creation order
};
