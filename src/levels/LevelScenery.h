#pragma once
// The scenery layers of a running level (the grass, the roads and the END, walls, sacks,
// gates and fillers, in the order the level draws them), split once per build into what a
// SceneryBake holds and what draws itself every frame.
//
// Sacks wear down and go, gates open and animate, and animated pictures step as they are
// drawn: those stay live, and so does any later layer's object that overlaps one of them
// (it must stay drawn after it). Whatever is baked overlaps no earlier live object, so
// "the bake, then the live objects in order" covers every pixel as the layers in order do.
#include <vector>

#include "levels/LevelBuild.h"
#include "render/SceneryBake.h"

class Camera;
class GameObject;
struct World;

struct LevelScenery {
  std::vector<GameObject*> baked; // in drawing order
  std::vector<GameObject*> live;  // in drawing order, drawn over the bake
  SceneryBake bake;
};

// After a build: splits the world's scenery and hands the baked part to the bake, which
// draws ahead what the camera can see within its limits.
void PrepareScenery(LevelScenery& scenery, const World& world, const float clearColour[3], const CameraLimits& limits);
// Draws the scenery layers through the camera from the bake, then the live objects; false,
// with nothing drawn, when the bake declines (off, the debug outlines, a view it cannot
// show exactly): the caller draws the layers itself.
bool DrawBakedScenery(LevelScenery& scenery, const Camera& camera);
// On the level's Free: nothing is kept of the level, and the textures go.
void ForgetScenery(LevelScenery& scenery);
