#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// Engine systems live for the whole run in g_systems; nothing calls their
// operations from the loop, they are found by type when a state needs one.
class System {
public:
  virtual ~System() = default;
  virtual void Initialize() {}
  virtual void Update() {}
  virtual void Receive(uint32_t /*message*/) {}
};

// ---- shared by several modules -------------------------------------------
extern std::vector<std::shared_ptr<System>> g_systems; // factory, physics, input, in that order

// First system of dynamic type T, or null.
template <class T> T* FindSystem() {
  for (auto& s : g_systems)
    if (auto* t = dynamic_cast<T*>(s.get())) return t;
  return nullptr;
}
