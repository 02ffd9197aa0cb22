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

extern std::unique_ptr<Font> g_hudFont; // made by every set-up; the level's Free lets it go
extern Vec3 g_hudAnchor;                // centre of the bottom panel
extern std::unique_ptr<Texture> g_hudPanel;
extern std::unique_ptr<Texture> g_thermoFrame;
extern std::unique_ptr<Texture> g_thermoFill;
extern std::unique_ptr<Texture> g_pizzaArrow;
extern int g_blinkCounter;              // blink phase of a low thermometer
extern std::string g_pizzaLabel;        // the distance text drawn last ("15m"), empty while no arrow shows
extern bool g_thermometerFillShown;     // whether the last DrawThermometer drew the fill

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
