#pragma once
#include <memory>

#include "core/Vec3.h"

class Font;
class Texture;
enum class WeaponKind : int;

// The garage's damage and reload bars for the two fitted guns. Bars are in screen pixels:
// the left gun's start at x 580, the right gun's at 880; damage between y 475 and 495,
// reload between 505 and 525. Their lengths follow the gun's kind.
class WeaponStatistic {
public:
  WeaponStatistic();
  // Lengths for the kinds fitted on each side; an unknown kind keeps that side's bars.
  void Refresh(WeaponKind leftKind, WeaponKind rightKind);
  void Draw();

  std::shared_ptr<Font> font;
  std::shared_ptr<Texture> damagePicture; // "DamageBar.png"
  std::shared_ptr<Texture> reloadPicture; // "ReloadBar.png"
  // Corners of the left damage, left reload, right damage and right reload bars:
  // lower left, lower right, upper left, upper right.
  Vec3 bars[4][4];
};

// The picture of a gun's firing pattern, shown while the pointer is over it in the garage.
class WeaponShootingType {
public:
  WeaponShootingType();
  void Draw(); // the picture of the first flag set, if any

  std::shared_ptr<Texture> pictures[3]; // boom (MINICANNON), single split (BLACKHOLE), sprayer (DEFAULT)
  bool showMiniCannon = false;
  bool showBlackHole = false;
  bool showDefault = false;
};
