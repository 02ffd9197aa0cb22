#pragma once
#include <memory>

#include "render/Font.h"
#include "render/Texture.h"

// The garage's damage and reload bars for the two fitted guns. Lengths by weapon kind:
// 1 (sprayer) 60 and 60, 2 (black hole) 90 and 30, 6 (mini cannon) 30 and 90; any
// other kind leaves that side's bars as they were.
class WeaponStatistic {
public:
  WeaponStatistic();
  void Refresh(int leftKind, int rightKind);
  void Draw();

  // Screen pixels: where each side's bars start, and their rows.
  static constexpr float LEFT_X = 580.0f;
  static constexpr float RIGHT_X = 880.0f;
  static constexpr float DAMAGE_TOP = 475.0f, DAMAGE_BOTTOM = 495.0f;
  static constexpr float RELOAD_TOP = 505.0f, RELOAD_BOTTOM = 525.0f;

  std::shared_ptr<Font> font;
  std::shared_ptr<Texture> damageBar;
  std::shared_ptr<Texture> reloadBar;
  float damageLength[2] = {0.0f, 0.0f}; // left, right; pixels
  float reloadLength[2] = {0.0f, 0.0f};
};

// The picture of a gun's firing pattern, shown while the pointer is over that gun.
class WeaponShootingType {
public:
  WeaponShootingType();
  void Draw();
  void Clear() { showMiniCannon = showBlackHole = showDefault = false; }

  std::shared_ptr<Texture> pictures[3]; // mini cannon, black hole, sprayer
  bool showMiniCannon = false;
  bool showBlackHole = false;
  bool showDefault = false;
};
