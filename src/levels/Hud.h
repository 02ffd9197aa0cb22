#pragma once
#include <memory>
#include <string>

#include "core/Vec3.h"

class Font;
class GameObject;
class Texture;

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
// The HUD's font and pictures let go (the level's Free).
void FreeHud();
