#pragma once
#include <string>
#include <vector>

class GameObject;
struct TwBar;

// The property bar "happybar": the editor's panel for one placed object at a time. Its
// title button (the object's name) steps to the next object; the rows edit position,
// scale, angle in degrees, hit points and name of the object shown.
struct PropertyBar {
  int index = 0;                              // the object the title button reached last
  TwBar* bar = nullptr;                       // null until made, and again once deleted
  std::vector<GameObject*>* objects = nullptr; // the editor's placed objects; not owned

  // An object keeps its angle within one turn (so do the files), so 400 degrees typed
  // turn it by 40. The bar shows what was typed for as long as the object keeps the
  // angle that typing gave it; forgotten when the bar is reset or deleted.
  struct TypedAngle {
    const GameObject* object = nullptr;
    float degrees = 0.0f; // as typed
    float radians = 0.0f; // the object's rotation right after
  };
  std::vector<TypedAngle> typedAngles;
};

// The operations on the one bar, which lives in the editor's state (g_editor.propertyBar).
void CreatePropertyBar(std::vector<GameObject*>* objects); // a fresh bar at the field's top-left corner
void ResetPropertyBar();          // only the button "Update! Container is 0"
void ShowObjectProperties(int i); // the rows of object i; index stays; nothing for a bad i
void NextObjectProperties();      // the next object after index, wrapping; the empty bar without objects
void RebuildPropertyBar();        // after a display change: made anew, showing the first object
void DeletePropertyBar();         // removes the bar; safe to call again

// The name an object gets from the "Name: " row: level files are read token by token,
// so a blank would split the name and shift every later block.
std::string NameFromTyped(const std::string& typed);
