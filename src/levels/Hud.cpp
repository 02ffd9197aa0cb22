#include "levels/Hud.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <limits>
#include <sstream>

#include "core/Controls.h"
#include "core/GameState.h"
#include "core/Window.h"
#include "objects/GameObject.h"
#include "objects/Vehicle.h"
#include "objects/World.h"
#include "objects/WorldRules.h"
#include "render/Camera.h"
#include "render/Font.h"
#include "render/SquarePrimitive.h"
#include "render/Texture.h"

HudState g_hud;

void HudState::Reset() { *this = HudState(); }

// ============================================================================
// Key caps
// ============================================================================

KeyCaps::KeyCaps()
    : font(std::make_unique<Font>()),
      edge(std::make_unique<SquarePrimitive>(Vec3(), 8, 8, 0.165f, 0.114f, 0.106f, 1.0f)),   // @ink
      face(std::make_unique<SquarePrimitive>(Vec3(), 8, 8, 0.965f, 0.925f, 0.839f, 1.0f)),   // @paper
      board(std::make_unique<SquarePrimitive>(Vec3(), 8, 8, 0.149f, 0.165f, 0.208f, 1.0f)) { // the page's slate
  font->Init();
  for (SquarePrimitive* s : {edge.get(), face.get(), board.get()}) s->Init();
}

KeyCaps::~KeyCaps() = default;

void KeyCaps::Draw(const std::string& label, const Vec3& centre, float minWidth, float maxWidth, float minHeight,
                   float scale) {
  constexpr float MARGIN = 8.0f;
  const float natural = TextWidth(label, scale) + MARGIN;
  if (natural > maxWidth) scale *= (maxWidth - MARGIN) / (natural - MARGIN);
  const float width = std::clamp(natural, minWidth, maxWidth);
  auto place = [&](SquarePrimitive& s, float w, float h) {
    s.halfWidth = static_cast<int>(w / 2.0f);
    s.halfHeight = static_cast<int>(h / 2.0f);
    s.SetPosition(centre, 0.0f);
    s.Draw();
  };
  place(*edge, width, minHeight);
  place(*face, width - 4.0f, minHeight - 4.0f);
  float w = 0.0f, h = 0.0f;
  GlyphCell('A', scale, w, h);
  const float height = h * g_screen.height / 2.0f;
  font->DrawText(label, Vec3(centre.x - TextWidth(label, scale) / 2.0f, centre.y + height / 2.0f, 0.0f),
                 Vec3(0.165f, 0.114f, 0.106f), scale);
}

void KeyCaps::Board(const Vec3& centre, float width, float height) {
  board->halfWidth = static_cast<int>(width / 2.0f);
  board->halfHeight = static_cast<int>(height / 2.0f);
  board->SetPosition(centre, 0.0f);
  board->Draw();
}

void KeyCaps::Text(const std::string& text, const Vec3& at, float scale) {
  // In capitals, as the game writes its texts: the font draws small letters narrowed.
  std::string capitals = text;
  for (char& ch : capitals) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  font->DrawText(capitals, at, Vec3(0.965f, 0.925f, 0.839f), scale);
}

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

// Where a world point shows on the screen: the camera keeps its centre in device units.
Vec3 ScreenOf(const Vec3& world) {
  Vec3 screen = world;
  if (g_play.camera) {
    const float halfW = g_screen.width * 0.5f, halfH = g_screen.height * 0.5f;
    screen.x = world.x - (g_play.camera->x + 1.0f) * halfW + halfW;
    screen.y = world.y - (1.0f - g_play.camera->y) * halfH + halfH;
  }
  return screen;
}

} // namespace

void SetUpHud() {
  g_play.score = 0;
  g_hud.anchor = Vec3(static_cast<float>(g_screen.width / 2), static_cast<float>(g_screen.height / 2 + 350), 0.0f);
  g_hud.font = std::make_unique<Font>();
  g_hud.font->Init();
  g_hud.panel = std::make_unique<Texture>("../Assets/image/btmHUD2.png", 1, g_hud.anchor, 320, 100);
  const Vec3 thermo(static_cast<float>(g_screen.width - 50), static_cast<float>(g_screen.height - 25), 0.0f);
  g_hud.thermoFrame = std::make_unique<Texture>("../Assets/image/thermo/thermo_ext.png", 1, thermo, 25, 210);
  g_hud.thermoFill = std::make_unique<Texture>("../Assets/image/thermo/thermo_in.png", 1, thermo, 25, 210);
  g_hud.pizzaArrow = std::make_unique<Texture>("../Assets/image/arrow.png", 1, Vec3(), 10, 10);
  for (Texture* picture : {g_hud.panel.get(), g_hud.thermoFrame.get(), g_hud.thermoFill.get(), g_hud.pizzaArrow.get()})
    picture->Init();
  g_hud.blinkCounter = 0;
  g_hud.pizzaLabel.clear();
  g_hud.keyCaps = std::make_unique<KeyCaps>();
  g_play.thermometer = 1.0f;
}

// The pictures go too: their GL objects belong to this context, and the next set-up may
// run in another one (a new window), where deleting the old names would hit live objects.
void FreeHud() {
  g_hud.font.reset();
  g_hud.panel.reset();
  g_hud.thermoFrame.reset();
  g_hud.thermoFill.reset();
  g_hud.pizzaArrow.reset();
  g_hud.pizzaLabel.clear();
  g_hud.keyCaps.reset();
}

std::string PizzaDistanceLabel(float distance) {
  // Coordinates reach 1e9 either way, so a distance can pass the int range: it is held at
  // the range's top (in double, where that top is exact) before it becomes an int.
  const double units = distance > 0.0f ? std::min<double>(distance, std::numeric_limits<int>::max()) : 0.0;
  return std::to_string(static_cast<int>(units) / 10) + "m";
}

void DrawHud(GameObject* pizza, bool showThermometer) {
  if (!g_loop.paused && !g_play.levelWon && !g_play.levelLost && g_play.pizzaCarried)
    g_play.thermometer -= g_loop.frameTime * COOLING_PER_FRAME_AT_60 * 60.0f;

  if (g_hud.panel) DrawWithOutline(*g_hud.panel);
  if (g_play.player) g_play.player->DrawHud();
  DrawMovedKeyHints();
  if (g_hud.font)
    g_hud.font->DrawText(std::to_string(g_play.score), g_hud.anchor + Vec3(100.0f, -75.0f, 0.0f), Vec3(1, 1, 1), 0.75f);
  if (showThermometer) DrawThermometer();
  DrawPizzaArrow(pizza);

  if (g_loop.debugView != 0 && g_hud.font) {
    const Vec3 at = g_play.camera ? Vec3(g_play.camera->x, g_play.camera->y, 0.0f) : Vec3();
    const Vec3 white(1, 1, 1);
    std::ostringstream init;
    init << g_loop.initTime;
    g_hud.font->DrawText("INIT TIME: " + init.str(), at + Vec3(100, 100), white, 0.5f);
    g_hud.font->DrawText("UPDATE TIME: " + Cut(g_loop.updateTime, 7), at + Vec3(100, 120), white, 0.5f);
    g_hud.font->DrawText("RENDER TIME: " + Cut(g_loop.renderTime, 7), at + Vec3(100, 140), white, 0.5f);
    g_hud.font->DrawText("FRAME TIME: " + Cut(g_loop.fpsReadout, 5), at + Vec3(100, 160), white, 0.5f);
  }
}

void DrawMovedKeyHints() {
  if (!g_play.player || !g_hud.keyCaps) return;
  for (auto [mount, action] : {std::pair(Mount::MainGun, Action::MainGun), std::pair(Mount::LeftWeapon, Action::LeftGun),
                               std::pair(Mount::RightWeapon, Action::RightGun)}) {
    Vec3 at;
    if (KeyFor(action) != InfoOf(action).defaultKey && g_play.player->KeyHintCentre(mount, at))
      g_hud.keyCaps->Draw(KeyName(KeyFor(action)), at, 18.0f, 44.0f, 18.0f, 0.45f);
  }
}

bool DrawMovedTalkHint(GameObject* prompt) {
  if (KeyFor(Action::Talk) == InfoOf(Action::Talk).defaultKey || !g_hud.keyCaps) return false;
  if (prompt && prompt->active) g_hud.keyCaps->Draw(KeyName(KeyFor(Action::Talk)), ScreenOf(prompt->Position()), 24.0f, 60.0f, 24.0f, 0.45f);
  return true;
}

void DrawThermometer() {
  g_hud.thermometerFillShown = false;
  if (!g_hud.thermoFill || !g_hud.thermoFrame) return;
  if (g_play.thermometer > 0.0f) {
    // The fill shrinks towards its centre as the pizza cools.
    g_hud.thermoFill->halfHeight = static_cast<int>(g_play.thermometer * 210.0f);
    Texture& fill = *g_hud.thermoFill;
    fill.SetPosition(Vec3(fill.center[0], fill.center[1], 0.0f), fill.depth);
    g_hud.blinkCounter = g_hud.blinkCounter < -4 ? 19 : g_hud.blinkCounter - 1;
    if (g_hud.blinkCounter > 0 || g_play.thermometer > 0.35f || g_loop.paused) {
      g_hud.thermoFill->Draw();
      g_hud.thermometerFillShown = true;
    }
  }
  DrawWithOutline(*g_hud.thermoFrame);
}

void DrawPizzaArrow(GameObject* pizza) {
  g_hud.pizzaLabel.clear();
  if (g_play.pizzaCarried || !pizza || !g_play.player || !g_hud.pizzaArrow) return;
  const Vec3 player = g_play.player->Position();
  const Vec3 d = pizza->Position() - player;
  const float length = Length2D(d);
  if (length <= 0.0f) return; // standing on it: no direction to point
  const Vec3 n(d.x / length, d.y / length, 0.0f);
  const Vec3 side(-n.y, n.x, 0.0f);
  const Vec3 centre = player + n * 80.0f;
  // The arrow's picture points along +x: its left edge trails, its right edge leads.
  const Vec3 lb = centre - n * 10.0f + side * 10.0f, rb = centre + n * 10.0f + side * 10.0f;
  const Vec3 lt = centre - n * 10.0f - side * 10.0f, rt = centre + n * 10.0f - side * 10.0f;
  g_hud.pizzaArrow->SetCorners(lb, 0.0f, rb, 0.0f, lt, 0.0f, rt, 0.0f);
  if (g_play.camera) g_hud.pizzaArrow->SetCamera(*g_play.camera);
  g_hud.pizzaArrow->Draw();

  g_hud.pizzaLabel = PizzaDistanceLabel(length);
  if (g_hud.font) {
    // The label sits 20 units back towards the player, in screen terms.
    g_hud.font->DrawText(g_hud.pizzaLabel, ScreenOf(centre - n * 20.0f), Vec3(1, 1, 1), 0.5f);
  }
}

int ScoreTotal(float warmth, int stars) {
  const double total = std::round((warmth * 0.5 + 1.0) * static_cast<double>(stars));
  return static_cast<int>(std::clamp(total, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}
