#include "objects/GameObject.h"

#include <cmath>

#include "render/AnimatedTexture.h"
#include "render/Texture.h"

namespace {

constexpr float TWO_PI = 6.2831855f;

// A texture with a null path has no image and reports nothing; an empty path
// in a level file means exactly that.
const char* PathOrNull(const std::string& path) { return path.empty() ? nullptr : path.c_str(); }

std::unique_ptr<Poly> Rectangle(const Vec3& p, int halfWidth, int halfHeight) {
  const float hw = static_cast<float>(halfWidth);
  const float hh = static_cast<float>(halfHeight);
  return std::make_unique<Poly>(std::vector<Vec3>{
      {p.x - hw, p.y - hh, 0.0f}, {p.x - hw, p.y + hh, 0.0f}, {p.x + hw, p.y + hh, 0.0f}, {p.x + hw, p.y - hh, 0.0f}});
}

float Reduced(float angle) {
  // Stepping by 2pi never ends for angles whose float spacing exceeds 2pi,
  // so far-off values (a corrupted file) are brought near first.
  if (!(std::fabs(angle) < 1000.0f * TWO_PI)) angle = std::fmod(angle, TWO_PI);
  while (angle > TWO_PI) angle -= TWO_PI;
  while (angle < -TWO_PI) angle += TWO_PI;
  return angle;
}

} // namespace

GameObject::GameObject(const std::string& image, const Vec3& position, int halfWidth, int halfHeight,
                       int format)
    : graphic(std::make_unique<Texture>(PathOrNull(image), format, position, halfWidth, halfHeight)),
      shape(Rectangle(position, halfWidth, halfHeight)) {
  graphic->Init();
  startPosition = Position();
}

GameObject::GameObject(const std::string& name_, const std::string& image, const Vec3& position,
                       int halfWidth, int halfHeight, int format, const std::string& descriptor)
    : graphic(std::make_unique<AnimatedTexture>(PathOrNull(image), format, position, halfWidth, halfHeight,
                                                descriptor.c_str())),
      shape(Rectangle(position, halfWidth, halfHeight)) {
  graphic->Init();
  static_cast<AnimatedTexture*>(graphic.get())->SetFrame(0);
  startPosition = Position();
  name = name_;
}

GameObject::GameObject(const GameObject& source)
    : velocity(source.velocity), rotation(source.rotation), scale(source.scale),
      shape(std::make_unique<Poly>(*source.shape)) {
  if (auto* sheet = source.Animated()) graphic = std::make_unique<AnimatedTexture>(*sheet);
  else graphic = std::make_unique<Texture>(*source.graphic);
  // The copy gets GPU objects of its own before it changes frame, so the
  // source keeps showing what it showed.
  graphic->Init();
  if (auto* sheet = Animated()) sheet->SetFrame(0);
  startPosition = Position();
}

GameObject::~GameObject() = default;

void GameObject::Update() { Move(velocity); }

void GameObject::Move(const Vec3& delta) {
  // Most of a level stands still: walls, roads and tiles move by zero every frame, and
  // re-placing their pictures would cost hundreds of quads' worth of work for nothing.
  if (delta.x == 0.0f && delta.y == 0.0f && delta.z == 0.0f) return;
  shape->Translate(delta);
  SyncGraphic();
}

void GameObject::SyncGraphic() {
  const auto& v = shape->vertices;
  if (v.size() < 4) return;
  graphic->SetCorners(v[1], v[1].z, v[2], v[2].z, v[0], v[0].z, v[3], v[3].z);
}

void GameObject::SetPosition(const Vec3& p) {
  shape->Translate(p - shape->Centroid());
  SyncGraphic();
}

void GameObject::Rotate(float delta) {
  rotation = Reduced(rotation + delta);
  shape->Rotate(delta);
  SyncGraphic();
}

void GameObject::SetRotation(float angle) {
  Rotate(-rotation);
  Rotate(angle);
}

void GameObject::Scale(float factor) {
  scale *= factor;
  shape->Scale(factor);
  SyncGraphic();
}

void GameObject::SetScale(float s) {
  shape->Scale(1.0f / scale);
  scale = s;
  shape->Scale(s);
  SyncGraphic();
}

Vec3 GameObject::Position() const { return {graphic->center[0], graphic->center[1], graphic->depth}; }

void GameObject::ResetTree() {
  graphic->Init();
  for (GameObject* child : children) {
    if (!child) continue;
    child->active = !child->active;
    child->ResetTree();
  }
}

AnimatedTexture* GameObject::Animated() const { return dynamic_cast<AnimatedTexture*>(graphic.get()); }

const std::string& GameObject::ImagePath() const { return graphic->path; }
