#include "screens/GhostSwitch.h"

#include "core/GameState.h"
#include "core/Input.h"
#include "core/Options.h"
#include "core/Window.h"
#include "levels/Hud.h"
#include "levels/Replay.h"
#include "platform/KeyCodes.h"
#include "render/Font.h"

namespace {

bool InLevel() { return g_loop.currentState == STATE_LEVEL || g_loop.currentState == STATE_TUTORIAL; }

// The text's bottom-left corner: the free space left of the QUIT button.
Vec3 Corner() { return Vec3(g_screen.width / 2.0f - 279.0f, g_screen.height / 2.0f - 18.0f); }

} // namespace

bool UnderGhostSwitch(const Vec3& p) {
  const Vec3 c = Corner();
  return p.x >= c.x - 4.0f && p.x <= c.x + 100.0f && p.y >= c.y - 28.0f && p.y <= c.y + 6.0f;
}

void UpdateGhostSwitch(const Vec3& mouse) {
  if (!InLevel() || WatchingReplay() || !UnderGhostSwitch(mouse) || !ConsumeTrigger(MOUSE_LEFT)) return;
  Options chosen = g_options;
  chosen.ghost = !chosen.ghost;
  RememberOptions(chosen);
}

void DrawGhostSwitch() {
  if (!InLevel() || !g_hud.font) return;
  const bool hover = UnderGhostSwitch(g_input.mousePosition);
  const Vec3 ink = hover ? Vec3(1.0f, 0.9f, 0.3f) : Vec3(1.0f, 1.0f, 1.0f);
  g_hud.font->DrawText(g_options.ghost ? "GHOST ON" : "GHOST OFF", Corner(), ink, 0.6f);
}
