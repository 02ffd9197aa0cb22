#pragma once
#include <memory>
#include <string>

#include "core/Vec3.h"

class Font;
class GameObject;
class SquarePrimitive;
class Texture;

// Key caps drawn with a label, in the look of the dashboard's key pictures, for keys and
// buttons the player has bound anew (the pictures show the game's own). Screen space.
class KeyCaps {
public:
  KeyCaps(); // the GL context must exist
  ~KeyCaps();
  // A cap minWidth x height logical pixels, wider for a long label up to maxWidth; a label
  // longer still is written smaller.
  void Draw(const std::string& label, const Vec3& centre, float minWidth, float maxWidth, float height, float scale);
  // Plain lines of text over a board of the how-to-play page's colour.
  void Board(const Vec3& centre, float width, float height);
  void Text(const std::string& text, const Vec3& at, float scale); // bottom-left of the text

private:
  std::unique_ptr<Font> font;
  std::unique_ptr<SquarePrimitive> edge, face, board;
};

// The playing levels' heads-up display: the bottom panel with the score and the vehicle's
// weapon and hit-point display, the pizza thermometer, the arrow to the pizza with its
// distance, and the debug timing read-outs.

// Everything the HUD keeps between frames. The pictures belong to the GL context of the
// set-up that made them: FreeHud lets them go before the context does. Reset (in Hud.cpp,
// where the pictures' types are complete) puts it back as a new run finds it.
struct HudState {
  std::unique_ptr<Font> font; // made by every set-up; the level's Free lets it go
  Vec3 anchor;                // centre of the bottom panel
  std::unique_ptr<Texture> panel;
  std::unique_ptr<Texture> thermoFrame;
  std::unique_ptr<Texture> thermoFill;
  std::unique_ptr<Texture> pizzaArrow;
  int blinkCounter = 0;              // blink phase of a low thermometer
  std::string pizzaLabel;            // the distance text drawn last ("15m"), empty while no arrow shows
  bool thermometerFillShown = false; // whether the last DrawThermometer drew the fill
  std::unique_ptr<KeyCaps> keyCaps;   // the dashboard's hints for keys bound anew

  void Reset();
};
extern HudState g_hud;

// The end screen's total: (warmth / 2 + 1) * stars, rounded half away from zero, within int.
int ScoreTotal(float warmth, int stars);

// Score 0, a full thermometer, a fresh font and the pictures in place.
void SetUpHud();
// pizza: the pizza the arrow points at (null: no arrow); showThermometer: the pizza has been
// taken. The thermometer cools only while the campaign's pizza is carried and play runs.
void DrawHud(GameObject* pizza, bool showThermometer);
void DrawThermometer();
void DrawPizzaArrow(GameObject* pizza);
// What the arrow's label says for a pizza this far away: whole tens of units, as metres,
// at most the int range's top in tens.
std::string PizzaDistanceLabel(float distance);
// The dashboard's key hints of the guns the player bound to other keys, over their pictures.
void DrawMovedKeyHints();
// The talk prompt over a character or garage, as a cap with the player's own talk key; false
// (nothing drawn) while that key is the game's own C, whose picture the level draws.
bool DrawMovedTalkHint(GameObject* prompt);
// The HUD's font and pictures let go (the level's Free).
void FreeHud();
