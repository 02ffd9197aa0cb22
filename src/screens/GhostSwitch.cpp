#include "screens/GhostSwitch.h"

#include "core/GameState.h"
#include "core/Input.h"
#include "core/Options.h"
#include "core/Window.h"
#include "levels/Replay.h"
#include "platform/KeyCodes.h"
#include "screens/Button.h"

namespace {

bool InLevel() { return g_loop.currentState == STATE_LEVEL || g_loop.currentState == STATE_TUTORIAL; }

// The free space left of the QUIT button.
Vec3 Centre() { return Vec3(g_screen.width / 2.0f - 231.0f, g_screen.height / 2.0f - 30.0f); }
constexpr int HALF_W = 48, HALF_H = 20;
enum Frame { ON = 0, ON_HOVER, OFF, OFF_HOVER };

} // namespace

std::shared_ptr<Button> MakeGhostSwitch() {
  return std::make_shared<Button>(1, Centre(), HALF_W, HALF_H, "ghost", "../Assets/image/optiontmp/button/ghost.txt",
                                  "../Assets/image/optiontmp/button/ghost.png");
}

bool UnderGhostSwitch(const Vec3& p) {
  const Vec3 c = Centre();
  return p.x >= c.x - HALF_W && p.x <= c.x + HALF_W && p.y >= c.y - HALF_H && p.y <= c.y + HALF_H;
}

void UpdateGhostSwitch(const Vec3& mouse) {
  if (!InLevel() || WatchingReplay() || !UnderGhostSwitch(mouse) || !ConsumeTrigger(MOUSE_LEFT)) return;
  Options chosen = g_options;
  chosen.ghost = !chosen.ghost;
  RememberOptions(chosen);
}

void DrawGhostSwitch(Button& button) {
  if (!InLevel()) return;
  const bool hover = UnderGhostSwitch(g_input.mousePosition);
  button.SetFrame(g_options.ghost ? (hover ? ON_HOVER : ON) : (hover ? OFF_HOVER : OFF));
  button.Draw();
}
