#include "screens/Button.h"
#include "core/Input.h"
#include "platform/KeyCodes.h"

Poly RectanglePoly(const Vec3& c, float w, float h) {
  return Poly({Vec3(c.x - w, c.y - h, 0.0f), Vec3(c.x - w, c.y + h, 0.0f), Vec3(c.x + w, c.y + h, 0.0f),
               Vec3(c.x + w, c.y - h, 0.0f)});
}

Button::Button(int format, const Vec3& position, int w, int h, const std::string& name_,
               const std::string& descriptor, const std::string& image)
    : name(name_) {
  graphic = std::make_shared<AnimatedTexture>(image.c_str(), format, position, w, h, descriptor.c_str());
  graphic->Init();
  shape = std::make_shared<Poly>(RectanglePoly(position, static_cast<float>(w), static_cast<float>(h)));
}

bool Button::UnderPoint(const Vec3& p) const { return shape->ContainsPoint(Vec3(p.x, p.y, 0.0f)); }

bool Button::UnderMouse() const { return UnderPoint(g_input.mousePosition); }

bool Button::Clicked() { return UnderMouse() && ConsumeTrigger(MOUSE_LEFT); }

void Button::SetPosition(const Vec3& p) {
  const Vec3 c = Centre();
  shape->Translate(Vec3(p.x - c.x, p.y - c.y, 0.0f));
  graphic->SetPosition(p, p.z);
}

Vec3 Button::Centre() const {
  Vec3 c = shape->Centroid();
  c.z = 0.0f;
  return c;
}
