#pragma once
#include "core/Vec3.h"
#include <memory>

class Button;

// The pause panel's ghost switch, in a playing level: "GHOST: ON" or "GHOST: OFF" left of
// QUIT. A click flips it and Options.txt remembers it; the next level started shows
// (or leaves out) the best run's tank. A replay's recorded clicks never flip it.
std::shared_ptr<Button> MakeGhostSwitch(); // the panel keeps it
bool UnderGhostSwitch(const Vec3& point);  // logical pixels
void UpdateGhostSwitch(const Vec3& mouse);
void DrawGhostSwitch(Button& button);
