#include "levels/Hud.h"

#include <cmath>
#include <sstream>

#include "core/GameState.h"
#include "core/Window.h"
#include "objects/GameObject.h"
#include "objects/Vehicle.h"
#include "objects/World.h"
#include "objects/WorldRules.h"
#include "render/Camera.h"
#include "render/Font.h"
#include "render/Texture.h"

std::unique_ptr<Font> g_hudFont;
Vec3 g_hudAnchor;
std::unique_ptr<Texture> g_hudPanel;
std::unique_ptr<Texture> g_thermoFrame;
std::unique_ptr<Texture> g_thermoFill;
std::unique_ptr<Texture> g_pizzaArrow;
int g_blinkCounter = 0;
std::string g_pizzaLabel;
bool g_thermometerFillShown = false;

namespace {

// Cooling per second of play: a full thermometer lasts about 333 seconds.
constexpr float COOLING_PER_FRAME_AT_60 = 5e-5f;

void DrawWithOutline(Texture& picture) {
  picture.Draw(); // the outline follows the picture's own switch
}

// The first characters of a number written as the stream writes it (6 significant digits).
std::string Cut(double value, size_t length) {
  std::ostringstream out;
  out << value;
  return out.str().substr(0, length);
}

} // namespace

void SetUpHud() {
  g_score = 0;
  g_hudAnchor = Vec3(static_cast<float>(g_screenWidth / 2), static_cast<float>(g_screenHeight / 2 + 350), 0.0f);
  g_hudFont = std::make_unique<Font>();
  g_hudFont->Init();
  g_hudPanel = std::make_unique<Texture>("../Assets/image/btmHUD2.png", 1, g_hudAnchor, 320, 100);
  const Vec3 thermo(static_cast<float>(g_screenWidth - 50), static_cast<float>(g_screenHeight - 25), 0.0f);
  g_thermoFrame = std::make_unique<Texture>("../Assets/image/thermo/thermo_ext.png", 1, thermo, 25, 210);
  g_thermoFill = std::make_unique<Texture>("../Assets/image/thermo/thermo_in.png", 1, thermo, 25, 210);
  g_pizzaArrow = std::make_unique<Texture>("../Assets/image/arrow.png", 1, Vec3(), 10, 10);
  for (Texture* picture : {g_hudPanel.get(), g_thermoFrame.get(), g_thermoFill.get(), g_pizzaArrow.get()})
    picture->Init();
  g_blinkCounter = 0;
  g_pizzaLabel.clear();
  g_thermometer = 1.0f;
}

// The pictures go too: their GL objects belong to this context, and the next set-up may
// run in another one (a new window), where deleting the old names would hit live objects.
void FreeHud() {
  g_hudFont.reset();
  g_hudPanel.reset();
  g_thermoFrame.reset();
  g_thermoFill.reset();
  g_pizzaArrow.reset();
  g_pizzaLabel.clear();
}

std::string PizzaDistanceLabel(float distance) {
  return std::to_string(static_cast<int>(distance) / 10) + "m";
}

void DrawHud(GameObject* pizza, bool showThermometer) {
  if (!g_paused && !g_levelWon && !g_levelLost && g_pizzaCarried)
    g_thermometer -= g_frameTime * COOLING_PER_FRAME_AT_60 * 60.0f;

  if (g_hudPanel) DrawWithOutline(*g_hudPanel);
  if (g_player) g_player->DrawHud();
  if (g_hudFont)
    g_hudFont->DrawText(std::to_string(g_score), g_hudAnchor + Vec3(100.0f, -75.0f, 0.0f), Vec3(1, 1, 1), 0.75f);
  if (showThermometer) DrawThermometer();
  DrawPizzaArrow(pizza);

  if (g_debugView != 0 && g_hudFont) {
    const Vec3 at = g_camera ? Vec3(g_camera->x, g_camera->y, 0.0f) : Vec3();
    const Vec3 white(1, 1, 1);
    std::ostringstream init;
    init << g_initTime;
    g_hudFont->DrawText("INIT TIME: " + init.str(), at + Vec3(100, 100), white, 0.5f);
    g_hudFont->DrawText("UPDATE TIME: " + Cut(g_updateTime, 7), at + Vec3(100, 120), white, 0.5f);
    g_hudFont->DrawText("RENDER TIME: " + Cut(g_renderTime, 7), at + Vec3(100, 140), white, 0.5f);
    g_hudFont->DrawText("FRAME TIME: " + Cut(g_fpsReadout, 5), at + Vec3(100, 160), white, 0.5f);
  }
}

void DrawThermometer() {
  g_thermometerFillShown = false;
  if (!g_thermoFill || !g_thermoFrame) return;
  if (g_thermometer > 0.0f) {
    // The fill shrinks towards its centre as the pizza cools.
    g_thermoFill->halfHeight = static_cast<int>(g_thermometer * 210.0f);
    g_thermoFill->SetPosition(Vec3(g_thermoFill->center[0], g_thermoFill->center[1], 0.0f), g_thermoFill->depth);
    g_blinkCounter = g_blinkCounter < -4 ? 19 : g_blinkCounter - 1;
    if (g_blinkCounter > 0 || g_thermometer > 0.35f || g_paused) {
      g_thermoFill->Draw();
      g_thermometerFillShown = true;
    }
  }
  DrawWithOutline(*g_thermoFrame);
}

void DrawPizzaArrow(GameObject* pizza) {
  g_pizzaLabel.clear();
  if (g_pizzaCarried || !pizza || !g_player || !g_pizzaArrow) return;
  const Vec3 player = g_player->Position();
  const Vec3 d = pizza->Position() - player;
  const float length = Length2D(d);
  if (length <= 0.0f) return; // standing on it: no direction to point
  const Vec3 n(d.x / length, d.y / length, 0.0f);
  const Vec3 side(-n.y, n.x, 0.0f);
  const Vec3 centre = player + n * 80.0f;
  // The arrow's picture points along +x: its left edge trails, its right edge leads.
  const Vec3 lb = centre - n * 10.0f + side * 10.0f, rb = centre + n * 10.0f + side * 10.0f;
  const Vec3 lt = centre - n * 10.0f - side * 10.0f, rt = centre + n * 10.0f - side * 10.0f;
  g_pizzaArrow->SetCorners(lb, 0.0f, rb, 0.0f, lt, 0.0f, rt, 0.0f);
  if (g_camera) g_pizzaArrow->SetCamera(*g_camera);
  g_pizzaArrow->Draw();

  g_pizzaLabel = PizzaDistanceLabel(length);
  if (g_hudFont) {
    // The label sits 20 units back towards the player, in screen terms.
    const Vec3 world = centre - n * 20.0f;
    Vec3 screen = world;
    if (g_camera) {
      // The camera keeps its centre in device units; back to logical pixels.
      const float halfW = g_screenWidth * 0.5f, halfH = g_screenHeight * 0.5f;
      screen.x = world.x - (g_camera->x + 1.0f) * halfW + halfW;
      screen.y = world.y - (1.0f - g_camera->y) * halfH + halfH;
    }
    g_hudFont->DrawText(g_pizzaLabel, screen, Vec3(1, 1, 1), 0.5f);
  }
}
