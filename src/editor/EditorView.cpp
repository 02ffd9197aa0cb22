#include "editor/EditorView.h"
#include "core/Window.h"
#include "render/Camera.h"
#include <algorithm>
#include <cmath>

namespace {

// The screen point the zoom keeps still: the middle pixel's centre, where device
// coordinate 0 lies.
Vec3 Centre() { return Vec3(g_screen.width / 2.0f - 0.5f, g_screen.height / 2.0f - 0.5f, 0.0f); }

// The pan in logical pixels, and the camera position that gives it.
Vec3 PanOf(const Camera& camera) { return Vec3(camera.x / 2, -camera.y / 2, 0.0f); }
void SetPan(Camera& camera, const Vec3& pan) {
  camera.x = 2 * pan.x;
  camera.y = -2 * pan.y;
}

} // namespace

Vec3 EditorView::ToWorld(const Vec3& s, const Camera& camera) const {
  // Exactly the mapping the editor has always had, with nothing rounded differently.
  if (zoom == 1.0f) return Vec3(s.x + camera.x / 2, s.y - camera.y / 2, 0.0f);
  const Vec3 c = Centre(), pan = PanOf(camera);
  return Vec3((s.x + pan.x - c.x) / zoom + c.x, (s.y + pan.y - c.y) / zoom + c.y, 0.0f);
}

Vec3 EditorView::ToScreen(const Vec3& w, const Camera& camera) const {
  const Vec3 c = Centre(), pan = PanOf(camera);
  return Vec3(zoom * (w.x - c.x) + c.x - pan.x, zoom * (w.y - c.y) + c.y - pan.y, 0.0f);
}

void EditorView::ZoomAbout(const Vec3& screen, int notches, Camera& camera) {
  const Vec3 held = ToWorld(screen, camera), c = Centre();
  zoom = std::clamp(zoom * std::pow(WHEEL_STEP, static_cast<float>(notches)), MIN_ZOOM, MAX_ZOOM);
  if (std::fabs(zoom - 1.0f) < 1e-4f) zoom = 1.0f; // back in by as many notches as out: the scale levels are made at
  SetPan(camera, Vec3(zoom * (held.x - c.x) + c.x - screen.x, zoom * (held.y - c.y) + c.y - screen.y, 0.0f));
}

void EditorView::Reset(const Vec3& screen, Camera& camera) {
  const Vec3 held = ToWorld(screen, camera);
  zoom = 1.0f;
  SetPan(camera, Vec3(std::round(held.x - screen.x), std::round(held.y - screen.y), 0.0f));
}

void EditorView::CentreOn(const Vec3& world, const Vec3& at, Camera& camera) const {
  const Vec3 c = Centre();
  SetPan(camera, Vec3(std::round(zoom * (world.x - c.x) + c.x - at.x), std::round(zoom * (world.y - c.y) + c.y - at.y), 0.0f));
}

void EditorView::Apply(Camera& camera) const {
  const float w = static_cast<float>(g_screen.width), h = static_cast<float>(g_screen.height);
  camera.zoom = zoom;
  const float view[9] = {zoom, 0.0f, -camera.x / w, 0.0f, zoom, -camera.y / h, 0.0f, 0.0f, 1.0f};
  std::copy(view, view + 9, camera.view);
}
