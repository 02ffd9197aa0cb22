#include "objects/Projectile.h"

#include <cmath>

#include "render/Texture.h"

namespace {

const char* PathOrNull(const std::string& path) { return path.empty() ? nullptr : path.c_str(); }

std::unique_ptr<Poly> Rectangle(float x, float y, int halfWidth, int halfHeight) {
  const float hw = static_cast<float>(halfWidth);
  const float hh = static_cast<float>(halfHeight);
  return std::make_unique<Poly>(
      std::vector<Vec3>{{x - hw, y - hh, 0.0f}, {x - hw, y + hh, 0.0f}, {x + hw, y + hh, 0.0f}, {x + hw, y - hh, 0.0f}});
}

} // namespace

Projectile::Projectile(int format, const Vec3& position_, int halfWidth, int halfHeight, const std::string& image,
                       double lifetime_)
    : graphic(std::make_unique<Texture>(PathOrNull(image), format, position_, halfWidth, halfHeight)),
      shape(Rectangle(position_.x, position_.y, halfWidth, halfHeight)), lifetime(lifetime_) {
  graphic->Init();
}

Projectile::Projectile(const Projectile& source)
    : position(source.position), velocity(source.velocity), muzzleVelocity(source.muzzleVelocity),
      rotation(source.rotation), lifetime(source.lifetime) {
  const Texture& picture = *source.graphic;
  const Vec3 centre(picture.center[0], picture.center[1], picture.depth);
  graphic = std::make_unique<Texture>(PathOrNull(picture.path), picture.format, centre, picture.halfWidth,
                                      picture.halfHeight);
  graphic->Init();
  shape = Rectangle(centre.x, centre.y, picture.halfWidth, picture.halfHeight);
}

Projectile::~Projectile() = default;

void Projectile::SetPosition(const Vec3& p) {
  shape->Translate(p - shape->Centroid());
  const auto& v = shape->vertices;
  graphic->SetCorners(v[1], v[1].z, v[2], v[2].z, v[0], v[0].z, v[3], v[3].z);
}

const std::string& Projectile::ImagePath() const { return graphic->path; }

namespace {

constexpr float TWO_PI = 6.2831855f;

float Reduced(float angle) {
  if (!(std::fabs(angle) < 1000.0f * TWO_PI)) angle = std::isfinite(angle) ? std::fmod(angle, TWO_PI) : 0.0f;
  while (angle > TWO_PI) angle -= TWO_PI;
  while (angle < -TWO_PI) angle += TWO_PI;
  return angle;
}

} // namespace

void Projectile::Launch(float turn, const Vec3& origin, bool leftSide) {
  active = true;
  rotation = Reduced(rotation + turn);
  const float c = std::cos(rotation), s = std::sin(rotation);
  const Vec3& m = muzzleVelocity;
  velocity = Vec3(m.x * c - m.y * s, m.x * s + m.y * c, m.z) * 15.0f;
  // Left and right guns fire from their own side of the barrel line.
  const float length = Length2D(velocity);
  Vec3 side;
  if (length > 0.0f) side = Vec3(-velocity.y, velocity.x, m.z * 15.0f) / length * 10.0f;
  position = leftSide ? origin - side : origin + side;
  shape->Rotate(turn);
  SetPosition(position);
  remaining = lifetime;
}
