// The garage's ready-made guns and the widgets that describe them.
#include <iostream>

#include "objects/Projectile.h"
#include "objects/Weapon.h"
#include "objects/WeaponWidgets.h"
#include "objects/WorldRules.h"
#include "render/Font.h"
#include "render/Texture.h"

namespace {

struct GunKind {
  const char* name;
  const char* prefix;
  WeaponKind kind;
  // Doubles on purpose: the pool's passes are lifetime / reloadTime, and 2.0 / 0.1 must
  // come out as 20 (single-precision values give 19.99... and one pass too few).
  double reloadTime;
  double damage; // replaced by the kind's own damage once the pool is filled
  double shotLifetime;
};

// In the garage's palette order; each kind's left gun comes before its right one.
const GunKind GUN_KINDS[] = {
    {"DEFAULT", "../Assets/image/gun/GunDefault", WeaponKind::Sprayer, 0.1, 0.1, 2.0},
    {"MINICANNON", "../Assets/image/gun/GunMiniCannon", WeaponKind::Boom, 1.5, 1.0, 6.0},
    {"BLACKHOLE", "../Assets/image/gun/GunBlackHole", WeaponKind::Split, 0.1, 0.6, 2.0},
};

void Place(Texture& t, const Vec3 corners[4]) {
  t.SetCorners(corners[0], 0.0f, corners[1], 0.0f, corners[2], 0.0f, corners[3], 0.0f);
}

// Lower left, lower right, upper left, upper right of a bar in screen pixels (y down).
void Bar(Vec3 corners[4], float x, float top, float bottom, float length) {
  corners[0] = Vec3(x, bottom, 0.0f);
  corners[1] = Vec3(x + length, bottom, 0.0f);
  corners[2] = Vec3(x, top, 0.0f);
  corners[3] = Vec3(x + length, top, 0.0f);
}

} // namespace

std::vector<std::shared_ptr<Weapon>> MakeGarageGuns() {
  std::vector<std::shared_ptr<Weapon>> guns;
  const Vec3 parked(-1000.0f, -1000.0f, 0.0f);
  for (const GunKind& k : GUN_KINDS) {
    const std::string prefix = k.prefix;
    const Projectile bullet(1, parked, 7, 7, prefix + "_Bullet.png", k.shotLifetime);
    for (const char* side : {"Left", "Right"}) {
      auto gun = std::make_shared<Weapon>(parked, 25, 25, 1, k.kind, prefix + "_" + side + ".png", k.reloadTime,
                                          k.damage, bullet);
      gun->name = std::string(k.name) + "_" + side;
      guns.push_back(gun);
    }
  }
  return guns;
}

// ---- WeaponStatistic ------------------------------------------------------------------------------

namespace {
constexpr float LEFT_BARS_X = 580.0f;
constexpr float RIGHT_BARS_X = 880.0f;
} // namespace

WeaponStatistic::WeaponStatistic() {
  std::cout << "This is called" << std::endl;
  font = std::make_shared<Font>();
  font->Init();
  damagePicture = std::make_shared<Texture>("../Assets/image/DamageBar.png", 1, Vec3(230, 150, 0), 33, 33);
  reloadPicture = std::make_shared<Texture>("../Assets/image/ReloadBar.png", 1, Vec3(230, 150, 0), 33, 33);
  damagePicture->Init();
  reloadPicture->Init();
  Bar(bars[0], LEFT_BARS_X, 475, 495, 0);
  Bar(bars[1], LEFT_BARS_X, 505, 525, 0);
  Bar(bars[2], RIGHT_BARS_X, 475, 495, 0);
  Bar(bars[3], RIGHT_BARS_X, 505, 525, 0);
}

void WeaponStatistic::Refresh(WeaponKind leftKind, WeaponKind rightKind) {
  auto side = [this](WeaponKind kind, size_t first, float x) {
    float damageLength = 0.0f, reloadLength = 0.0f;
    switch (kind) {
    case WeaponKind::Sprayer: damageLength = 60; reloadLength = 60; break;
    case WeaponKind::Split: damageLength = 90; reloadLength = 30; break;
    case WeaponKind::Boom: damageLength = 30; reloadLength = 90; break;
    default: return; // unknown guns keep what the bars showed
    }
    Bar(bars[first], x, 475, 495, damageLength);
    Bar(bars[first + 1], x, 505, 525, reloadLength);
  };
  side(leftKind, 0, LEFT_BARS_X);
  side(rightKind, 2, RIGHT_BARS_X);
}

void WeaponStatistic::Draw() {
  const Vec3 colour(1.0f, 0.7f, 0.6f);
  for (size_t side = 0; side < 2; ++side) {
    Place(*damagePicture, bars[side * 2]);
    damagePicture->Draw();
    Place(*reloadPicture, bars[side * 2 + 1]);
    reloadPicture->Draw();
    const float labelX = side == 0 ? 510.0f : 810.0f;
    font->DrawText("DAMAGE", Vec3(labelX, 485.0f + 3.0f, 0.0f), colour, 0.6f);
    font->DrawText("RELOAD", Vec3(labelX, 515.0f + 3.0f, 0.0f), colour, 0.6f);
  }
}

// ---- WeaponShootingType ---------------------------------------------------------------------------

WeaponShootingType::WeaponShootingType() {
  const char* images[3] = {"../Assets/image/shootingstyle/boomstyle.png",
                           "../Assets/image/shootingstyle/singlesplitstyle.png",
                           "../Assets/image/shootingstyle/sprayerstyle.png"};
  const Vec3 places[3] = {Vec3(1100, 275, 0), Vec3(1100, 350, 0), Vec3(1100, 200, 0)};
  for (int i = 0; i < 3; ++i) {
    pictures[i] = std::make_shared<Texture>(images[i], 1, places[i], 90, 40);
    pictures[i]->Init();
  }
}

void WeaponShootingType::Draw() {
  const bool shown[3] = {showMiniCannon, showBlackHole, showDefault};
  for (int i = 0; i < 3; ++i)
    if (shown[i]) pictures[i]->Draw();
}
