#include "objects/Vehicle.h"

#include <cmath>
#include <random>

#include "audio/Audio.h"
#include "core/Controls.h"
#include "core/Window.h"
#include "render/AnimatedTexture.h"
#include "render/Font.h"
#include "render/Texture.h"

namespace {

// ---- the HUD's pieces -------------------------------------------------------------------
enum HudPiece : size_t {
  LEFT_SLOT = 0,
  RIGHT_SLOT = 1,
  LEFT_RELOAD = 2,
  RIGHT_RELOAD = 3,
  HP_BAR = 4,
  Q_KEY = 5,
  E_KEY = 6,
  MAIN_SLOT = 7,
  SPACE_KEY = 8,
  LEFT_GREYOUT = 9,
  RIGHT_GREYOUT = 10,
  HUD_PIECES = 11,
};

// The hit-point bar blinks while a fresh hit is less than half a second old: it hides on
// two of every sixteen draws. One counter for the whole game, as there is one HUD.
int s_hpBlink = 0;

std::shared_ptr<Texture> Piece(const char* image, const Vec3& at, int halfWidth, int halfHeight) {
  auto t = std::make_shared<Texture>(image, 1, at, halfWidth, halfHeight);
  t->Init();
  return t;
}

Vec3 Centre(const Texture& t) { return {t.center[0], t.center[1], 0.0f}; }

// The three slots sit 313 pixels below the screen's middle.
Vec3 LeftSlot() { return {g_screen.width / 2.0f - 150.0f, g_screen.height / 2.0f + 313.0f, 0.0f}; }
Vec3 RightSlot() { return {g_screen.width / 2.0f + 150.0f, g_screen.height / 2.0f + 313.0f, 0.0f}; }
Vec3 MainSlot() { return {g_screen.width / 2.0f, g_screen.height / 2.0f + 313.0f, 0.0f}; }

// Which bullet icon a weapon kind shows, or -1 for a kind that has none.
int BulletIcon(WeaponKind kind) {
  switch (kind) {
  case WeaponKind::Sprayer: return 1; // DEFAULT
  case WeaponKind::Split: return 0;   // BLACKHOLE
  case WeaponKind::Boom: return 2;    // MINICANNON
  default: return -1;
  }
}

bool Ready(const ParticleSys& system) { return system.elapsed > system.duration; }

ParticleSys* FirstReady(const ParticlePool& pool) {
  for (const auto& system : pool)
    if (system && Ready(*system)) return system.get();
  return nullptr;
}

constexpr double LARGEST_FLOAT = 3.4028234663852886e38;

} // namespace

Vehicle::Vehicle(const std::string& name_, const std::string& image, const Vec3& position, int halfWidth,
                 int halfHeight, int format, const std::string& descriptor)
    : GameObject(name_, image, position, halfWidth, halfHeight, format, descriptor) {
  font = std::make_shared<Font>();
  font->Init();
  BuildHud();
  PlaceHpBar();
  leftCapture = rightCapture = true;
  PlaceReloadBars();
  leftReloadFull = rightReloadFull = LARGEST_FLOAT;
}

Vehicle::~Vehicle() = default;

void Vehicle::Update() {
  for (auto& weapon : weapons)
    if (weapon) weapon->Move(velocity);
  Move(velocity);
}

void Vehicle::Move(const Vec3& delta) {
  for (auto& weapon : weapons)
    if (weapon) weapon->Move(delta);
  GameObject::Move(delta);
}

// ---- driving --------------------------------------------------------------------------------

void Vehicle::Drive(const Vec3& t, const ParticlePool& emitters) {
  AnimatedTexture* treads = Animated();
  if (t.x * t.x + t.y * t.y == 0.0f) {
    if (treads) treads->animating = false;
    return;
  }
  PlaySlot(t.x > 0.0f ? 13 : 14);
  const float c = std::cos(rotation), s = std::sin(rotation);
  if (t.x > 0.0f) {
    // A fresh generator each call: the dust puffs land on the same few spots every time.
    std::mt19937 random;
    std::uniform_int_distribution<int> spread(-3, 3);
    const Vec3 at = Position();
    for (const auto& emitter : emitters) {
      if (!emitter || !Ready(*emitter)) continue;
      const float turn[9] = {c, -s, 0.0f, s, c, 0.0f, 0.0f, 0.0f, 1.0f};
      std::copy(turn, turn + 9, emitter->direction);
      emitter->Restart();
      emitter->SetPosition(at.x + 5.0f * spread(random), at.y);
    }
  }
  velocity = Vec3(c * t.x - s * t.y, s * t.x + c * t.y, t.z);
  if (treads) treads->animating = true;
}

void Vehicle::Turn(float delta) {
  Rotate(delta);
  for (auto& weapon : weapons)
    if (weapon) weapon->Rotate(delta);
  turnThisFrame += delta;
}

void Vehicle::Fire(Mount mount, const Vec3& d) {
  if (mount == Mount::MainGun) {
    if (cooldown > 0.0f) return;
    GameObject* shot = nullptr;
    for (GameObject* child : children)
      if (child && !child->active) {
        shot = child;
        break;
      }
    if (!shot) return;
    PlayShot();
    const float c = std::cos(rotation), s = std::sin(rotation);
    shot->active = true;
    shot->SetPosition(Position());
    shot->velocity = Vec3(c * d.x - s * d.y, s * d.x + c * d.y, d.z) * 5.0f;
    shot->Rotate(rotation - shot->rotation);
    shot->lifetime = 2.0f;
    cooldown = 0.3f;
    MuzzleFlash(Mount::MainGun);
    return;
  }
  if (mount != Mount::LeftWeapon && mount != Mount::RightWeapon) return;
  const size_t slot = mount == Mount::LeftWeapon ? 0 : 1;
  if (slot >= weapons.size() || !weapons[slot]) return;
  Weapon& weapon = *weapons[slot];
  if (weapon.reloadRemaining > 0.0) return;
  PlayShot();
  weapon.Fire();
  MuzzleFlash(mount);
}

void Vehicle::MuzzleFlash(Mount mount) {
  ParticleSys* spark = FirstReady(g_particles.spark);
  if (!spark) return;
  float angle = rotation;
  if (mount == Mount::LeftWeapon) angle -= 0.35f;
  else if (mount == Mount::RightWeapon) angle += 0.35f;
  const Vec3 at = Position();
  spark->SetPosition(at.x + 30.0f * std::cos(angle), at.y + 25.0f * std::sin(angle));
  spark->Restart();
}

// ---- the HUD ------------------------------------------------------------------------------------

void Vehicle::BuildHud() {
  bulletIcons.clear();
  hudGraphics.clear();
  const Vec3 off(-1000.0f, -1000.0f, 0.0f);
  for (const char* icon : {"../Assets/image/Gun/GunBlackHole_Bullet.png", "../Assets/image/Gun/GunDefault_Bullet.png",
                           "../Assets/image/Gun/GunMiniCannon_Bullet.png"})
    bulletIcons.push_back(Piece(icon, off, 20, 20));

  const Vec3 left = LeftSlot(), right = RightSlot(), main = MainSlot();
  hudGraphics.resize(HUD_PIECES);
  hudGraphics[LEFT_SLOT] = Piece("../Assets/image/Overlay.png", left, 25, 25);
  hudGraphics[RIGHT_SLOT] = Piece("../Assets/image/Overlay.png", right, 25, 25);
  hudGraphics[LEFT_RELOAD] = Piece("../Assets/image/editorSelectedIcon.png", Vec3(230, 150, 0), 33, 33);
  hudGraphics[RIGHT_RELOAD] = Piece("../Assets/image/editorSelectedIcon.png", Vec3(230, 220, 0), 33, 33);
  hudGraphics[HP_BAR] = Piece("../Assets/image/power.png", Vec3(200, 50, 0), 120, 30);
  hudGraphics[Q_KEY] = Piece("../Assets/image/keys/Q.png", left + Vec3(-17, 17, 0), 8, 8);
  hudGraphics[E_KEY] = Piece("../Assets/image/keys/E.png", right + Vec3(-17, 17, 0), 8, 8);
  hudGraphics[MAIN_SLOT] = Piece("../Assets/image/Overlay.png", main, 25, 25);
  hudGraphics[SPACE_KEY] = Piece("../Assets/image/keys/SPACE.png", main + Vec3(-9, 17, 0), 16, 8);
  hudGraphics[LEFT_GREYOUT] = Piece("../Assets/image/greyout.png", left, 25, 25);
  hudGraphics[RIGHT_GREYOUT] = Piece("../Assets/image/greyout.png", right, 25, 25);
}

bool Vehicle::KeyHintCentre(Mount mount, Vec3& at) const {
  if (hudGraphics.size() < HUD_PIECES) return false;
  const size_t piece = mount == Mount::LeftWeapon ? Q_KEY : mount == Mount::RightWeapon ? E_KEY : SPACE_KEY;
  at = Vec3(hudGraphics[piece]->center[0], hudGraphics[piece]->center[1], 0.0f);
  return true;
}

void Vehicle::PlaceHpBar() {
  const float w = g_screen.width / 2.0f, h = g_screen.height / 2.0f;
  // Both edges follow the screen, so a full bar is 310 pixels wide at any width.
  hpBarBaseX = w - 234.0f;
  hpBarCorners[0] = Vec3(w - 234.0f, h + 276.0f, 0.0f);
  hpBarCorners[1] = Vec3(w + 68.0f, h + 276.0f, 0.0f);
  hpBarCorners[2] = Vec3(w - 234.0f, h + 265.0f, 0.0f);
  hpBarCorners[3] = Vec3(w + 68.0f, h + 265.0f, 0.0f);
}

void Vehicle::PlaceReloadBars() {
  auto around = [](const Texture& slot, Vec3 corners[4]) {
    const Vec3 c = Centre(slot);
    corners[0] = Vec3(c.x - 25.0f, c.y + 25.0f, 0.0f);
    corners[1] = Vec3(c.x + 25.0f, c.y + 25.0f, 0.0f);
    corners[2] = Vec3(c.x - 25.0f, c.y - 25.0f, 0.0f);
    corners[3] = Vec3(c.x + 25.0f, c.y - 25.0f, 0.0f);
  };
  if (hudGraphics.size() < HUD_PIECES) return;
  around(*hudGraphics[LEFT_SLOT], leftBarCorners);
  around(*hudGraphics[RIGHT_SLOT], rightBarCorners);
}

void Vehicle::UpdateReloadBars() {
  if (hudGraphics.size() < HUD_PIECES) return;
  // The overlay covers the slot in proportion to the reload still to run, measured
  // against the reload captured when the weapon last fired.
  auto side = [](Weapon& weapon, bool& capture, double& full, const Texture& slot, Vec3 corners[4]) {
    if (capture && weapon.reloadRemaining > 0.0) {
      full = weapon.reloadRemaining;
      capture = false;
    }
    if (weapon.reloadRemaining < 1.1920929e-7) {
      weapon.reloadRemaining = 0.0;
      capture = true;
    }
    const float cx = slot.center[0];
    const float top = corners[0].y - static_cast<float>(weapon.reloadRemaining / full * 50.0);
    corners[2] = Vec3(cx - 25.0f, top, 0.0f);
    corners[3] = Vec3(cx + 25.0f, top, 0.0f);
  };
  if (!weapons.empty() && weapons[0])
    side(*weapons[0], leftCapture, leftReloadFull, *hudGraphics[LEFT_SLOT], leftBarCorners);
  if (weapons.size() >= 2 && weapons[1])
    side(*weapons[1], rightCapture, rightReloadFull, *hudGraphics[RIGHT_SLOT], rightBarCorners);
  // A wrecked vehicle shows an empty bar, not one growing the other way.
  const float shown = static_cast<float>(hp > 0 ? hp : 0);
  hpBarCorners[1].x = hpBarCorners[3].x = shown * 0.1f * 310.0f + hpBarBaseX;
}

void Vehicle::DrawHud() {
  if (hudGraphics.size() < HUD_PIECES) return;
  hudGraphics[LEFT_SLOT]->Draw();
  hudGraphics[RIGHT_SLOT]->Draw();
  const bool hasLeft = !weapons.empty() && weapons[0];
  const bool hasRight = weapons.size() >= 2 && weapons[1];
  auto icon = [this](const Weapon& weapon, const Vec3& at) {
    const int index = BulletIcon(weapon.kind);
    if (index >= 0 && static_cast<size_t>(index) < bulletIcons.size()) {
      bulletIcons[index]->SetPosition(at, 0.0f);
      bulletIcons[index]->Draw();
    }
    showReloadBars = true;
  };
  if (hasLeft) icon(*weapons[0], Centre(*hudGraphics[LEFT_SLOT]));
  if (hasRight) icon(*weapons[1], Centre(*hudGraphics[RIGHT_SLOT]));
  if (showReloadBars) {
    const Vec3* l = leftBarCorners;
    const Vec3* r = rightBarCorners;
    hudGraphics[LEFT_RELOAD]->SetCorners(l[0], 0.0f, l[1], 0.0f, l[2], 0.0f, l[3], 0.0f);
    hudGraphics[LEFT_RELOAD]->Draw();
    hudGraphics[RIGHT_RELOAD]->SetCorners(r[0], 0.0f, r[1], 0.0f, r[2], 0.0f, r[3], 0.0f);
    hudGraphics[RIGHT_RELOAD]->Draw();
  }
  bool showBar = true;
  if (hitTimer > 0.5f) {
    s_hpBlink = (s_hpBlink < 0 ? 15 : s_hpBlink) - 1;
    showBar = s_hpBlink > 0;
  }
  if (showBar) {
    const Vec3* b = hpBarCorners;
    hudGraphics[HP_BAR]->SetCorners(b[0], 0.0f, b[1], 0.0f, b[2], 0.0f, b[3], 0.0f);
    hudGraphics[HP_BAR]->Draw();
  }
  // A key bound anew is shown by the HUD's own cap over the same place (levels/Hud.cpp).
  auto own = [](Action action) { return KeyFor(action) == InfoOf(action).defaultKey; };
  if (own(Action::LeftGun)) hudGraphics[Q_KEY]->Draw();
  if (own(Action::RightGun)) hudGraphics[E_KEY]->Draw();
  hudGraphics[MAIN_SLOT]->Draw();
  if (own(Action::MainGun)) hudGraphics[SPACE_KEY]->Draw();
  if (!hasLeft) hudGraphics[LEFT_GREYOUT]->Draw();
  if (!hasRight) hudGraphics[RIGHT_GREYOUT]->Draw();
}
