#include "screens/GarageWidgets.h"
#include <cstdio>

namespace {

std::shared_ptr<Texture> Picture(const char* path, const Vec3& at, int w, int h) {
  auto t = std::make_shared<Texture>(path, 1, at, w, h);
  t->Init();
  return t;
}

// A bar picture stretched over x0 .. x0 + length between two rows.
void DrawBar(Texture& bar, float x0, float length, float top, float bottom) {
  if (length <= 0.0f) return;
  bar.SetCorners(Vec3(x0, bottom), 0.0f, Vec3(x0 + length, bottom), 0.0f, Vec3(x0, top), 0.0f,
                 Vec3(x0 + length, top), 0.0f);
  bar.Draw();
}

} // namespace

WeaponStatistic::WeaponStatistic() {
  font = std::make_shared<Font>();
  font->Init();
  damageBar = Picture("../Assets/image/DamageBar.png", Vec3(230, 150), 33, 33);
  reloadBar = Picture("../Assets/image/ReloadBar.png", Vec3(230, 150), 33, 33);
  std::printf("This is called\n");
}

void WeaponStatistic::Refresh(int leftKind, int rightKind) {
  const int kinds[2] = {leftKind, rightKind};
  for (int side = 0; side < 2; ++side) {
    switch (kinds[side]) {
    case 1: damageLength[side] = 60.0f; reloadLength[side] = 60.0f; break;
    case 2: damageLength[side] = 90.0f; reloadLength[side] = 30.0f; break;
    case 6: damageLength[side] = 30.0f; reloadLength[side] = 90.0f; break;
    default: break;
    }
  }
}

void WeaponStatistic::Draw() {
  const float starts[2] = {LEFT_X, RIGHT_X};
  const Vec3 label(1.0f, 0.7f, 0.6f);
  for (int side = 0; side < 2; ++side) {
    DrawBar(*damageBar, starts[side], damageLength[side], DAMAGE_TOP, DAMAGE_BOTTOM);
    DrawBar(*reloadBar, starts[side], reloadLength[side], RELOAD_TOP, RELOAD_BOTTOM);
    const float labelX = starts[side] - 70.0f;
    font->DrawText("DAMAGE", Vec3(labelX, (DAMAGE_TOP + DAMAGE_BOTTOM) / 2 + 3), label, 0.6f);
    font->DrawText("RELOAD", Vec3(labelX, (RELOAD_TOP + RELOAD_BOTTOM) / 2 + 3), label, 0.6f);
  }
}

WeaponShootingType::WeaponShootingType() {
  pictures[0] = Picture("../Assets/image/shootingstyle/boomstyle.png", Vec3(1100, 275), 90, 40);
  pictures[1] = Picture("../Assets/image/shootingstyle/singlesplitstyle.png", Vec3(1100, 350), 90, 40);
  pictures[2] = Picture("../Assets/image/shootingstyle/sprayerstyle.png", Vec3(1100, 200), 90, 40);
}

void WeaponShootingType::Draw() {
  if (showMiniCannon) pictures[0]->Draw();
  if (showBlackHole) pictures[1]->Draw();
  if (showDefault) pictures[2]->Draw();
}
