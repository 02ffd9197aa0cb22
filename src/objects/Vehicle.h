#pragma once
#include <memory>
#include <vector>

#include "objects/GameObject.h"
#include "objects/Weapon.h"

// The player's vehicle: an animated object with a main gun (its children are
// the shot pool) and up to two side weapons that move and turn with it.
class Vehicle : public GameObject {
public:
  // The animated object's arguments.
  Vehicle(const std::string& name, const std::string& image, const Vec3& position, int halfWidth, int halfHeight,
          int format, const std::string& descriptor);
  ~Vehicle() override;

  // The weapons are moved once here and once more by Move; the level
  // re-centres them on the vehicle every frame, which hides the double step.
  void Update() override;
  void Move(const Vec3& delta) override;

  double leftReloadFull = 3.4028234663852886e38;  // seconds, left reload as captured at its last shot
  double rightReloadFull = 3.4028234663852886e38; // seconds, the same for the right weapon
  bool leftCapture = true;     // the next non-zero left reload is to be captured
  bool rightCapture = true;
  bool showReloadBars = false; // set once a side weapon has been drawn
  float hpBarBaseX = 386.0f;   // logical pixels, where the hit-point bar grows from
  std::vector<std::unique_ptr<Weapon>> weapons; // 0 left, 1 right; entries may be null
  int upgradeLevel = 0;        // main-gun upgrade, from the player loadout
};
