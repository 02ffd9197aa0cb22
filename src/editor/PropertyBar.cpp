#include "editor/PropertyBar.h"
#include "editor/BarLayout.h"
#include "editor/Editor.h"
#include "objects/GameObject.h"
#include "platform/TweakBar.h"
#include <numbers>

static constexpr const char* EMPTY_LABEL = "Update! Container is 0";

// ============================================================================
// Rows: every callback gets the object itself, so a row never outlives its object
// by more than the frame in which the bar is refilled.
// ============================================================================

namespace {

GameObject* Object(void* data) { return static_cast<GameObject*>(data); }

void GetX(void* value, void* data) { *static_cast<float*>(value) = Object(data)->Position().x; }
void SetX(const void* value, void* data) {
  GameObject* o = Object(data);
  Vec3 p = o->Position();
  o->SetPosition(Vec3(*static_cast<const float*>(value), p.y, p.z));
}
void GetY(void* value, void* data) { *static_cast<float*>(value) = Object(data)->Position().y; }
void SetY(const void* value, void* data) {
  GameObject* o = Object(data);
  Vec3 p = o->Position();
  o->SetPosition(Vec3(p.x, *static_cast<const float*>(value), p.z));
}
void GetScale(void* value, void* data) { *static_cast<float*>(value) = Object(data)->scale; }
// The next scale first divides the shape by this one: a subnormal scale (1e-40 passes
// "above 0") made that 1/scale infinite and the corners NaN.
constexpr float MIN_SCALE = 0.01f;
void SetScale(const void* value, void* data) {
  float s = *static_cast<const float*>(value);
  if (s >= MIN_SCALE && s < 10.0f) Object(data)->SetScale(s);
}
PropertyBar::TypedAngle* TypedAngleOf(const GameObject* o) {
  for (PropertyBar::TypedAngle& typed : g_editor.propertyBar.typedAngles)
    if (typed.object == o) return &typed;
  return nullptr;
}
void GetDegrees(void* value, void* data) {
  const GameObject* o = Object(data);
  const PropertyBar::TypedAngle* typed = TypedAngleOf(o);
  *static_cast<float*>(value) = typed && typed->radians == o->rotation
                                    ? typed->degrees
                                    : static_cast<float>(o->rotation * 180.0 / std::numbers::pi);
}
void SetDegrees(const void* value, void* data) {
  GameObject* o = Object(data);
  const float degrees = *static_cast<const float*>(value);
  o->SetRotation(static_cast<float>(degrees * std::numbers::pi / 180.0));
  PropertyBar::TypedAngle* typed = TypedAngleOf(o);
  if (!typed) typed = &g_editor.propertyBar.typedAngles.emplace_back();
  *typed = {o, degrees, o->rotation};
}
void GetHp(void* value, void* data) { *static_cast<int32_t*>(value) = Object(data)->hp; }
void SetHp(const void* value, void* data) { Object(data)->hp = *static_cast<const int32_t*>(value); }
void GetName(void* value, void* data) { *static_cast<std::string*>(value) = Object(data)->name; }
void SetName(const void* value, void* data) {
  Object(data)->name = NameFromTyped(*static_cast<const std::string*>(value));
}

void TitleClicked(void*) { NextObjectProperties(); }

void Fill(GameObject* o) {
  TwBar* bar = g_editor.propertyBar.bar;
  TwRemoveAllVars(bar);
  TwAddButton(bar, o->name.c_str(), TitleClicked, nullptr, "");
  TwAddVarCB(bar, "Pos X: ", TW_TYPE_FLOAT, SetX, GetX, o, "");
  TwAddVarCB(bar, "Pos Y: ", TW_TYPE_FLOAT, SetY, GetY, o, "");
  TwAddVarCB(bar, "Scale: ", TW_TYPE_FLOAT, SetScale, GetScale, o, "");
  TwAddVarCB(bar, "Rotate Degree: ", TW_TYPE_FLOAT, SetDegrees, GetDegrees, o, "");
  TwAddVarCB(bar, "HP: ", TW_TYPE_INT32, SetHp, GetHp, o, "");
  TwAddVarCB(bar, "Name: ", TW_TYPE_STDSTRING, SetName, GetName, o,
             " group=Name help='Set name for game object' ");
}

// Room for every row an object shows, whichever it is: the name button, the six values
// beside the widest label, and the Name heading; values wide enough for "-1234.56" and
// for three digits of hit points beside their step buttons.
constexpr int OBJECT_ROWS = 8;
constexpr const char* WIDEST_LABEL = "Rotate Degree: ";
constexpr float VALUES_WIDTH = 84.0f;

// The bars are placed in logical pixels, as everything on the game's screen is; the
// tweak-bar layer shows that space wherever the picture lies in the window.
void MakeBar() {
  g_editor.propertyBar.index = 0;
  g_editor.propertyBar.bar = TwNewBar("happybar");
  DressEditorBars();
  int width = 0, height = 0;
  TwBarSizeFor(TwTextWidth(WIDEST_LABEL), VALUES_WIDTH, OBJECT_ROWS, width, height);
  PlaceBar("happybar", NextBarSlot(BarCorner(), nullptr, width, height), VALUES_WIDTH);
  std::vector<GameObject*>* objects = g_editor.propertyBar.objects;
  if (!objects || objects->empty())
    TwAddButton(g_editor.propertyBar.bar, EMPTY_LABEL, TitleClicked, nullptr, "");
  else
    Fill((*objects)[0]);
}

} // namespace

// ============================================================================
// Operations
// ============================================================================

std::string NameFromTyped(const std::string& typed) {
  std::string name = typed;
  for (char& c : name)
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') c = '_';
  return name;
}

void CreatePropertyBar(std::vector<GameObject*>* objects) {
  DeletePropertyBar();
  g_editor.propertyBar.objects = objects;
  MakeBar();
}

void ResetPropertyBar() {
  // Objects may go after a reset: an angle typed for one must not show for another.
  g_editor.propertyBar.typedAngles.clear();
  if (!g_editor.propertyBar.bar) return;
  TwRemoveAllVars(g_editor.propertyBar.bar);
  TwAddButton(g_editor.propertyBar.bar, EMPTY_LABEL, TitleClicked, nullptr, "");
}

void ShowObjectProperties(int i) {
  std::vector<GameObject*>* objects = g_editor.propertyBar.objects;
  if (!g_editor.propertyBar.bar || !objects || i < 0 || i >= static_cast<int>(objects->size())) return;
  Fill((*objects)[i]);
}

void NextObjectProperties() {
  std::vector<GameObject*>* objects = g_editor.propertyBar.objects;
  if (!g_editor.propertyBar.bar) return;
  if (!objects || objects->empty()) {
    ResetPropertyBar();
    return;
  }
  // The list may have shrunk since the index was taken.
  int count = static_cast<int>(objects->size());
  g_editor.propertyBar.index = ((g_editor.propertyBar.index % count) + 1) % count;
  Fill((*objects)[g_editor.propertyBar.index]);
}

void RebuildPropertyBar() {
  if (!g_editor.propertyBar.bar) return;
  TwRemoveAllVars(g_editor.propertyBar.bar);
  TwDeleteBar(g_editor.propertyBar.bar);
  g_editor.propertyBar.bar = nullptr;
  MakeBar();
}

void DeletePropertyBar() {
  if (g_editor.propertyBar.bar) {
    TwRemoveAllVars(g_editor.propertyBar.bar);
    TwDeleteBar(g_editor.propertyBar.bar);
  }
  g_editor.propertyBar.bar = nullptr;
  g_editor.propertyBar.index = 0;
  g_editor.propertyBar.typedAngles.clear();
}
