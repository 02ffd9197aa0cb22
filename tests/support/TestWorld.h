#pragma once
// A small level made the way the level build makes one: real objects from the factory with
// the game's own pictures, sorted into a World, with the particle pools filled and ready.
#include <gtest/gtest.h>

#include <string>

#include "objects/GameObjectFactory.h"
#include "objects/World.h"

class GameObject;
class NPC;
class Vehicle;

class WorldTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // The player at `at` with 10 hit points and a main-gun pool of `shots` shots (damage 2).
  Vehicle* Player(const Vec3& at, int shots = 3);
  GameObject* Gunner(const Vec3& at);                                  // "ENEMY", hp 2
  GameObject* Turret(const std::string& name, const Vec3& at, float facing = 0.0f); // hp 2
  GameObject* Patroller(const std::string& name, const Vec3& at);      // hp 2, damage 1
  GameObject* Wall(const Vec3& at);                                    // 26 x 26
  GameObject* Sack(const Vec3& at);                                    // hp 3, frame 2
  GameObject* Gate(const std::string& name, const Vec3& at);           // closed, hp 1
  NPC* Character(const std::string& name, const Vec3& at);             // NPC or GARAGE
  GameObject* Pizza(const Vec3& at);
  // `count` enemy shots (damage 1, parked), appended to every shooter made so far.
  void EnemyShots(int count);
  // Every pooled effect counts as finished, as after the level has drawn it for a while.
  static void FinishEffects();
  // Runs the step `frames` times at 60 frames per second.
  template <typename Step> void Frames(int frames, Step step) {
    for (int i = 0; i < frames; ++i) step();
  }

  GameObjectFactory factory;
  World world;
};
