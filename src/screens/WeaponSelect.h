#pragma once
#include <memory>
#include <string>
#include <vector>

#include "levels/FrontEnd.h"
#include "objects/GameObject.h"
#include "objects/Vehicle.h"
#include "objects/Weapon.h"
#include "objects/WeaponWidgets.h"
#include "render/Camera.h"
#include "render/Texture.h"
#include "screens/Button.h"

// The garage: a preview of the tank with its two side guns (four times larger), the rack
// of guns to choose from, a LEFT and a RIGHT fitting button with a thumbnail of each fitted
// gun, and the damage and reload bars of both. A state of its own, and the overlay the
// playing levels open at a garage; the level copies FittedWeapons onto the player when
// the garage closes.
class WeaponSelect : public GarageScreen {
public:
  void Initialize() override; // starts from the level player's guns (none outside a level)
  void Update() override;
  void Draw() override;
  void Free() override;       // may run any number of times
  void HandleMouse() override;

  const std::vector<std::shared_ptr<Weapon>>& FittedWeapons() const override { return fitted; }

  // Fits a gun made from the rack entry `rackIndex` on side 0 (left) or 1 (right), in
  // place; nothing when the rack entry has no ready-made gun.
  void Fit(int side, int rackIndex);
  void RefreshThumbnails();

  // ---- the screen's state, read by its tests ----------------------------------------
  std::vector<std::shared_ptr<Weapon>> gunTemplates; // left and right gun of each rack kind
  std::vector<std::shared_ptr<GameObject>> gunPalette; // the rack, from WSHudObj.txt
  int currentGun = -1;                               // the rack entry last clicked; -1 none
  std::vector<std::shared_ptr<Button>> sideButtons;  // "LEFT", "RIGHT"
  std::shared_ptr<GameObject> leftThumb;
  std::shared_ptr<GameObject> rightThumb;
  std::shared_ptr<Vehicle> previewVehicle;
  std::vector<std::shared_ptr<Weapon>> fitted;       // slot 0 left, slot 1 right; entries may be null
  WeaponKind leftGunValue = WeaponKind::Single;      // kind of the fitted guns, for the bars
  WeaponKind rightGunValue = WeaponKind::Single;
  std::shared_ptr<WeaponStatistic> statBars;
  std::shared_ptr<WeaponShootingType> styleDisplay;
  std::shared_ptr<Camera> camera;
  std::shared_ptr<Texture> hudBackground;
  std::shared_ptr<Texture> hudBottom;
  std::shared_ptr<Texture> marker;
  std::shared_ptr<Texture> backdrop; // only as a state of its own: the levels draw their garage picture

private:
  Vec3 Anchor() const;
};

// The thumbnail picture of a gun picture: "..._Left.png" and "..._Right.png" become
// "..._Thumb.png"; any other path is kept.
std::string ThumbnailPath(const std::string& gunImage);
