#include "objects/GameObjectFactory.h"

// The allocation check stops the game in every build, release ones included.
#undef NDEBUG
#include <assert.h>
#include <new>

#include "objects/GameObject.h"
#include "objects/NPC.h"
#include "objects/Vehicle.h"

namespace {

// The standard assertion report, naming the object module and a line per operation.
[[noreturn]] void AllocationFailed(unsigned int line, const char* operation) {
  __assert_fail("tmp", "GameObject", line, operation);
}

template <class T>
T* Keep(std::vector<std::shared_ptr<GameObject>>& objects, T* tmp, const std::string& name, unsigned int line,
        const char* operation) {
  if (!tmp) AllocationFailed(line, operation);
  tmp->name = name.empty() ? std::string("name") : name;
  objects.push_back(std::shared_ptr<GameObject>(tmp));
  return tmp;
}

} // namespace

GameObjectFactory::~GameObjectFactory() = default;

GameObject* GameObjectFactory::CreateCopy(const GameObject& source) {
  return Keep(objects, new (std::nothrow) GameObject(source), source.name, 524, "CreateCopy");
}

GameObject* GameObjectFactory::Create(const std::string& name, const std::string& image, const Vec3& position,
                                      int halfWidth, int halfHeight, int format) {
  return Keep(objects, new (std::nothrow) GameObject(image, position, halfWidth, halfHeight, format), name, 558,
              "Create");
}

GameObject* GameObjectFactory::CreateAnimated(const std::string& name, const std::string& image,
                                              const Vec3& position, int halfWidth, int halfHeight, int format,
                                              const std::string& descriptor) {
  return Keep(objects,
              new (std::nothrow) GameObject(name, image, position, halfWidth, halfHeight, format, descriptor),
              name, 578, "CreateAnimated");
}

Vehicle* GameObjectFactory::CreateVehicle(const std::string& name, const std::string& image, const Vec3& position,
                                          int halfWidth, int halfHeight, int format,
                                          const std::string& descriptor) {
  return Keep(objects,
              new (std::nothrow) Vehicle(name, image, position, halfWidth, halfHeight, format, descriptor), name,
              617, "CreateVehicle");
}

NPC* GameObjectFactory::CreateNPC(const std::string& name, const std::string& image, const Vec3& position,
                                  int halfWidth, int halfHeight, int format, const std::string& message,
                                  const Vec3& offset) {
  return Keep(objects, new (std::nothrow) NPC(image, position, halfWidth, halfHeight, format, message, offset),
              name, 715, "CreateNPC");
}
