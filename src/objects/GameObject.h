#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/Vec3.h"
#include "objects/Shape.h"

class Texture;
class AnimatedTexture;

// Everything that exists in a level. An object has no position of its own:
// the polygon is the authority and the picture is redrawn from its corners
// after every change (SyncGraphic), so code reads positions from the
// picture's centre and changes them only through the operations below.
// Objects are made by the GameObjectFactory, which owns them; the GL context
// must exist because the picture loads its image.
class GameObject {
public:
  // A static picture. Corners (x-hw, y-hh), (x-hw, y+hh), (x+hw, y+hh),
  // (x+hw, y-hh), in this order, give the polygon outward normals.
  GameObject(const std::string& image, const Vec3& position, int halfWidth, int halfHeight, int format);
  // A sprite sheet showing frame 0; descriptor is the frame list beside the sheet.
  GameObject(const std::string& name, const std::string& image, const Vec3& position, int halfWidth,
             int halfHeight, int format, const std::string& descriptor);
  // Velocity, rotation, scale, polygon and picture of the source; every other
  // value starts afresh (active, hp 0, no children). The name is the factory's job.
  GameObject(const GameObject& source);
  GameObject& operator=(const GameObject&) = delete;

  // ---- per-frame slots -------------------------------------------------------
  virtual ~GameObject();               // deletes shape and picture, not the children
  virtual void Update();               // Move by velocity
  virtual void Move(const Vec3& delta); // translate the polygon, then SyncGraphic
  virtual void Tick() {}               // weapons keep their timers here

  // ---- placing ----------------------------------------------------------------
  void SyncGraphic();                   // polygon corners 1, 2, 0, 3 to the picture
  void SetPosition(const Vec3& p);      // the polygon's centroid becomes p (z included)
  void Rotate(float delta);             // radians; rotation kept within -2pi..2pi
  void SetRotation(float angle);        // radians, absolute
  void Scale(float factor);             // about the centroid; scale *= factor
  void SetScale(float s);               // absolute, relative to the size at construction
  Vec3 Position() const;                // the picture's centre (x, y, depth)

  // ---- identity and pools ---------------------------------------------------
  std::string GetName() const { return name; }
  // Rebuilds the picture's GPU objects and flips every child's active flag, down the tree.
  void ResetTree();
  // The picture as a sprite sheet, or null for a static picture.
  AnimatedTexture* Animated() const;
  // The image file of the picture, empty when it has none.
  const std::string& ImagePath() const;

  Vec3 velocity;              // world units per frame, applied by Update
  Vec3 startPosition;         // the picture's centre right after construction
  float storedValue = 0.0f;   // kept for the level file; nothing reads it
  float rotation = 0.0f;      // radians, within -2pi..2pi
  float scale = 1.0f;         // relative to the size at construction
  float cooldown = -1.0f;     // seconds until the object may shoot again
  float lifetime = 0.0f;      // seconds left of a shot or a dropped item
  float patrolTimer = 0.0f;   // seconds until a patroller turns round
  float hitTimer = 0.0f;      // seconds left of the pause after a hit
  float waitTimer = 0.0f;     // seconds a chaser that lost its trail still waits
  int hp = 0;                 // hit points
  int damage = 0;             // hit points this object takes from what it hits
  bool vertical = false;      // a patroller walks along y
  std::string name;           // the type name; decides what the object is
  bool hit = false;           // in the pause after a hit
  bool active = true;         // updated, drawn and colliding
  bool forward = true;        // a patroller's direction
  bool shielded = false;      // player shots pass through
  bool armed = false;         // a turret has started its firing cycle
  std::unique_ptr<Texture> graphic; // a Texture or an AnimatedTexture
  std::unique_ptr<Poly> shape;      // always present
  std::vector<GameObject*> children; // not owned; enemies and the player keep their shots here
};
