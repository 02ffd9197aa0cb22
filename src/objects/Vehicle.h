#pragma once
#include <memory>
#include <vector>

#include "objects/GameObject.h"
#include "objects/Weapon.h"
#include "render/ParticleSys.h"

class Font;
class Texture;

// Where a player's shot leaves from, and so whose pool it is: the main gun's shots are the
// vehicle's children, a side weapon's are the weapon's own projectiles.
enum class Mount : int {
  MainGun = 0,
  LeftWeapon = 1,  // weapons[0]
  RightWeapon = 2, // weapons[1]
};

// The player's vehicle: an animated object with a main gun (its children are
// the shot pool) and up to two side weapons that move and turn with it. It also
// draws the weapon part of the HUD: slot frames, bullet icons, reload overlays,
// key hints and the hit-point bar, all in logical screen pixels.
class Vehicle : public GameObject {
public:
  // The animated object's arguments; builds the HUD pieces for the current screen size.
  Vehicle(const std::string& name, const std::string& image, const Vec3& position, int halfWidth, int halfHeight,
          int format, const std::string& descriptor);
  ~Vehicle() override;

  // The weapons are moved once here and once more by Move; the level
  // re-centres them on the vehicle every frame, which hides the double step.
  void Update() override;
  void Move(const Vec3& delta) override;

  // ---- driving -----------------------------------------------------------------
  // throttle: (forward, sideways, up) in units per frame in the vehicle's frame. A zero
  // throttle only stops the treads; otherwise velocity follows the facing and, going
  // forward, the ready dust emitters are started behind the vehicle.
  void Drive(const Vec3& throttle, const ParticlePool& emitters);
  // Turns the vehicle and its weapons; the turn of the frame is remembered (turnThisFrame)
  // so that a wall can undo exactly that.
  void Turn(float delta);
  // The main gun along direction (in the vehicle's frame), or a side weapon's pattern.
  void Fire(Mount mount, const Vec3& direction);
  // The first ready spark emitter flashes at the muzzle of the mount.
  void MuzzleFlash(Mount mount);

  // ---- the HUD -----------------------------------------------------------------
  void BuildHud();        // bullet icons and the eleven display pieces
  void PlaceHpBar();      // bar corners for the current screen size
  void PlaceReloadBars(); // overlay corners around the two slot frames
  void UpdateReloadBars(); // per frame: reload overlays shrink, the hit-point bar follows hp
  void DrawHud();         // per frame, after the world; a gun's key picture only while its key is the game's own
  bool KeyHintCentre(Mount mount, Vec3& at) const; // where the dashboard shows the gun's key; false before BuildHud

  double leftReloadFull = 3.4028234663852886e38;  // seconds, left reload as captured at its last shot
  double rightReloadFull = 3.4028234663852886e38; // seconds, the same for the right weapon
  bool leftCapture = true;     // the next non-zero left reload is to be captured
  bool rightCapture = true;
  std::vector<std::shared_ptr<Texture>> bulletIcons; // BLACKHOLE, DEFAULT, MINICANNON bullets
  std::vector<std::shared_ptr<Texture>> hudGraphics; // the eleven display pieces (Vehicle.cpp)
  bool showReloadBars = false; // set once a side weapon has been drawn
  Vec3 leftBarCorners[4];      // lower left, lower right, upper left, upper right
  Vec3 rightBarCorners[4];
  std::shared_ptr<Font> font;  // nothing is written with it in play
  // Logical pixels: the hit-point bar's fixed edge is W/2 - 234 and it grows to the right
  // by 31 pixels a hit point, so a full bar is 310 pixels at every screen width.
  float hpBarBaseX = 386.0f;
  Vec3 hpBarCorners[4];        // upper left, upper right, lower left, lower right (screen terms)
  // Shared: the garage may drop a gun while the vehicle still carries it.
  std::vector<std::shared_ptr<Weapon>> weapons; // 0 left, 1 right; entries may be null
  int upgradeLevel = 0;        // main-gun upgrade, from the player loadout
  float turnThisFrame = 0.0f;  // radians turned since the level last ended a move
};
