#pragma once
// Two questions the rule files and the level files ask of objects, kept in one place so that
// they mean the same everywhere. For the objects and levels layers, not for others.
#include <string>

#include "objects/GameObject.h"

// Kinds and groups live in object names ("ENEMY2A", "GATE11", "PORTAL..."): a part anywhere counts.
inline bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// The two objects' polygons overlap; an object without a polygon touches nothing.
inline bool Touches(const GameObject& a, const GameObject& b) {
  return a.shape && b.shape && a.shape->Intersects(*b.shape);
}
