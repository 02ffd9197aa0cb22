#pragma once
#include <memory>
#include <vector>

#include "core/Vec3.h"

class Camera;
class SquarePrimitive;

// One pair of tread prints left behind the vehicle.
struct TrackMark {
  float age = 0.0f;      // seconds since it was laid
  float lifetime = 4.0f; // seconds it stays
  Vec3 firstPrint;       // centre - (14, 14)
  Vec3 secondPrint;      // centre + (14, 14)
};

// A mark laid at the vehicle's centre (logical pixels).
TrackMark MakeTrackMark(const Vec3& centre);

// The short-lived tread marks of a playing level. Decoration only: nothing collides with
// them. The level build makes a new one for every level start, which drops the old marks.
class Track {
public:
  Track(); // needs the GL context (the print rectangle is set up at once)

  void AddMark(const TrackMark& mark);
  // Ages the marks and retires at most the oldest one: a burst of expiries thins out over
  // several frames rather than all at once.
  void Update(const Camera& camera);
  void Draw();

  std::vector<TrackMark> marks; // oldest first
  std::shared_ptr<SquarePrimitive> treadPrint;
};
