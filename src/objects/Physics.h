#pragma once
#include <memory>
#include <vector>
#include "core/System.h"

class GameObject;

// The engine's physics system. Movement is a per-frame displacement and every
// collision response belongs to the code that asked Poly::Intersects, so this
// system keeps an empty list and its slots do nothing; it exists so that the
// system list has the shape the states expect.
class Physics : public System {
public:
  void Initialize() override {}
  void Update() override {}
  void Receive(uint32_t /*message*/) override {}

  std::vector<std::shared_ptr<GameObject>> bodies; // nothing fills it
};
