#include "objects/Projectile.h"

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
