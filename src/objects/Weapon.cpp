#include "objects/Weapon.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "core/GameState.h"
#include "render/Texture.h"

Weapon::Weapon(const Vec3& position, int halfWidth, int halfHeight, int format, WeaponKind kind_,
               const std::string& image, double reloadTime_, double damage_)
    : GameObject(image, position, halfWidth, halfHeight, format), reloadTime(reloadTime_), damage(damage_),
      kind(kind_) {}

namespace {

// The generator of the Split fragments' turn, seeded 5489 at start-up and shared by every weapon.
std::mt19937 s_weaponRandom; // default seed 5489
uint64_t s_weaponDraws = 0;  // turns drawn from it

double DrawSplitTurn() {
  ++s_weaponDraws;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  return unit(s_weaponRandom);
}

// Pool entries one pass adds for each firing pattern; patterns address
// entries by index, so this is what one volley may need.
int EntriesPerPass(WeaponKind kind) {
  switch (kind) {
  case WeaponKind::Single: return 1;
  case WeaponKind::Sprayer: return 6;
  case WeaponKind::Split: return 4;
  case WeaponKind::Inert: return 2;
  case WeaponKind::Boom: return 16;
  default: return 0;
  }
}

} // namespace

Weapon::Weapon(const Vec3& position, int halfWidth, int halfHeight, int format, WeaponKind kind_,
               const std::string& image, double reloadTime_, double damage_, const Projectile& model)
    : Weapon(position, halfWidth, halfHeight, format, kind_, image, reloadTime_, damage_) {
  projectileTemplate = std::make_shared<Projectile>(model);
  // As many passes as shots of one projectile's flight can overlap. The
  // garage's guns need 20 at most; the cap keeps an absurd ratio from filling memory.
  const double ratio = reloadTime > 0.0 ? projectileTemplate->lifetime / reloadTime : 0.0;
  const int passes = ratio >= 1.0 ? static_cast<int>(std::min(ratio, 1000.0)) : 0;
  for (int pass = 0; pass < passes; ++pass) {
    for (int i = 0; i < EntriesPerPass(kind); ++i) projectiles.push_back(projectileTemplate);
    if (kind == WeaponKind::Sprayer) damage = 3.0;
    else if (kind == WeaponKind::Split) damage = 4.0;
    else if (kind == WeaponKind::Boom) damage = 2.0;
  }
}

Weapon::Weapon(const Weapon& source)
    : GameObject(source.ImagePath(), source.Position(), source.graphic->halfWidth, source.graphic->halfHeight,
                 source.graphic->format),
      reloadTime(source.reloadTime), damage(source.damage), kind(source.kind), alternate(false),
      styleDuration(2.0) {
  name = source.name;
  if (source.projectileTemplate) projectileTemplate = std::make_shared<Projectile>(*source.projectileTemplate);
  projectiles.reserve(source.projectiles.size());
  for (const auto& p : source.projectiles)
    if (p) projectiles.push_back(std::make_shared<Projectile>(*p));
}

Weapon::~Weapon() = default;

// ---- firing -----------------------------------------------------------------------------------

namespace {

constexpr float TWELVE_DEGREES = 0.20943951f;
constexpr double SMALLEST_VOLLEY = 2.220446049250313e-16;

} // namespace

void Weapon::LaunchEntry(size_t index, float offset, const Vec3& origin) {
  if (index >= projectiles.size() || !projectiles[index]) return;
  Projectile& p = *projectiles[index];
  const bool leftSide = ImagePath().find("Left") != std::string::npos;
  p.Launch(rotation - p.rotation + offset, origin, leftSide);
}

void Weapon::Fire() {
  const Vec3 origin = Position();
  auto free = [this](size_t i) { return projectiles[i] && !projectiles[i]->active; };
  const size_t size = projectiles.size();
  switch (kind) {
  case WeaponKind::Single: {
    std::cout << "This is called - defaulter" << std::endl;
    for (size_t i = 0; i < size; ++i)
      if (free(i)) {
        LaunchEntry(i, 0.0f, origin);
        break;
      }
    reloadRemaining = reloadTime + styleDuration;
    styleTimer = styleDuration;
    break;
  }
  case WeaponKind::Sprayer: {
    // Two groups of three (entries 0-2 and 3-5) take turns; an entry still in flight
    // pushes the rest of the group further along the pool.
    size_t i = alternate ? 0 : 3;
    alternate = !alternate;
    for (float offset : {-0.5f, 0.0f, 0.5f}) {
      while (i < size && !free(i)) ++i;
      if (i >= size) break;
      LaunchEntry(i++, offset, origin);
      styleTimer = styleDuration;
      reloadRemaining = reloadTime + 0.1 * styleDuration;
    }
    break;
  }
  case WeaponKind::Split: {
    // Entries 0 and 1 are the primaries the split follows; a busy entry is passed over
    // with its neighbour, and the scan reaches one entry further for it.
    const float offsets[2] = {TWELVE_DEGREES, -TWELVE_DEGREES};
    size_t launched = 0, bound = 2;
    for (size_t i = 0; i < bound && i < size && launched < 2; ++i) {
      if (!free(i)) {
        ++i;
        ++bound;
        continue;
      }
      LaunchEntry(i, offsets[launched++], origin);
      splitTimerA = splitTimerB = 0.0;
      styleTimer = styleDuration;
      reloadRemaining = reloadTime + styleDuration;
    }
    break;
  }
  case WeaponKind::Boom: {
    // Everything free among the first fifteen at once, half a radian apart from -0.5:
    // a full volley wraps a little past the full circle.
    int k = 0;
    for (size_t i = 0; i < std::min<size_t>(15, size); ++i) {
      if (!free(i)) continue;
      LaunchEntry(i, (k - 1) * 0.5f, origin);
      ++k;
      styleTimer = styleDuration;
      reloadRemaining = reloadTime + styleDuration;
    }
    break;
  }
  default: break;
  }
}

void Weapon::Tick() {
  const double dt = g_loop.frameTime;
  // Counted down whenever a reload runs, so a gun without reload time still fires again.
  if (reloadRemaining > 0.0) reloadRemaining -= dt;
  if (styleTimer > SMALLEST_VOLLEY) {
    styleTimer -= dt;
    if (styleTimer < 0.0) {
      // The volley is over: every shot of it goes, however young.
      for (auto& p : projectiles)
        if (p) p->active = false;
      styleTimer = 0.0;
      if (kind == WeaponKind::Split) damage = 4.0;
    }
  }
  if (kind != WeaponKind::Split || projectiles.size() < 8) return;
  auto flying = [this](size_t i) { return projectiles[i] && projectiles[i]->active; };
  if (flying(0)) splitTimerA += dt;
  if (flying(1)) splitTimerB += dt;
  // A primary older than 0.8 s becomes three fragments 120 degrees apart, turned together
  // by a random angle; fragments hit for less.
  auto split = [&](size_t primary, size_t first, double& timer) {
    if (timer <= 0.8 || !flying(primary)) return;
    projectiles[primary]->active = false;
    damage = 2.0;
    const double r = spreadMin + DrawSplitTurn() * (spreadMax - spreadMin);
    const Vec3 from = projectiles[primary]->position;
    for (size_t i = 2; i <= 4; ++i) {
      LaunchEntry(first + i - 2, static_cast<float>(i * 2.0 * M_PI / 3.0 + r), from);
      styleTimer += 0.5;
    }
    timer = 0.0;
  };
  split(0, 2, splitTimerA);
  split(1, 5, splitTimerB);
}

void Weapon::SplitOnHit(size_t index) {
  if (kind != WeaponKind::Split) return;
  if (index == 0) splitTimerA = 1.0;
  else if (index == 1) splitTimerB = 1.0;
}

uint64_t WeaponRandomDraws() { return s_weaponDraws; }

void RewindWeaponRandom(uint64_t draws) {
  s_weaponRandom.seed(std::mt19937::default_seed);
  s_weaponDraws = 0;
  while (s_weaponDraws < draws) DrawSplitTurn();
}
