#include "screens/WeaponSelect.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "core/System.h"
#include "core/Window.h"
#include "levels/LevelFile.h"
#include "objects/GameObjectFactory.h"
#include "objects/World.h"
#include "objects/WorldRules.h"
#include "platform/KeyCodes.h"
#include <GL/glew.h>
#include <algorithm>
#include <cstdio>

namespace {

constexpr float PREVIEW_ZOOM = 4.0f;
const Vec3 LEFT_PLATE(450, 500);
const Vec3 RIGHT_PLATE(750, 500);
constexpr float RACK_STEP = 70.0f; // pixels between rack entries

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The rack's entries are made by the factory, which owns them; the garage keeps them alive
// by sharing that ownership, so a level clearing the factory first does not pull them away.
std::vector<std::shared_ptr<GameObject>> LoadRack(const std::string& path) {
  std::vector<std::shared_ptr<GameObject>> rack;
  auto* factory = FindSystem<GameObjectFactory>();
  if (!factory) return rack;
  for (GameObject* made : LoadObjectList(path, false))
    for (const auto& owned : factory->objects)
      if (owned.get() == made) rack.push_back(owned);
  return rack;
}

} // namespace

std::string ThumbnailPath(const std::string& image) {
  for (const char* tail : {"_Left.png", "_Right.png"})
    if (EndsWith(image, tail)) return image.substr(0, image.size() - std::string(tail).size()) + "_Thumb.png";
  return image;
}

Vec3 WeaponSelect::Anchor() const {
  // The camera's own position is in device units; the screen's anchor is its centre.
  return Vec3(g_screen.width / 2.0f, g_screen.height / 2.0f);
}

// ============================================================================
// Initialize and Free
// ============================================================================

void WeaponSelect::Initialize() {
  statBars = std::make_shared<WeaponStatistic>();
  styleDisplay = std::make_shared<WeaponShootingType>();
  camera = std::make_shared<Camera>(0.0f, 0.0f, PREVIEW_ZOOM);

  gunPalette.clear();
  gunTemplates = MakeGarageGuns();

  const Vec3 anchor = Anchor();
  hudBackground = std::make_shared<Texture>("../Assets/image/editorHudBg.png", 1, anchor + Vec3(540, 0), 140, 360);
  hudBottom = std::make_shared<Texture>("../Assets/image/btmHUD.png", 1, anchor + Vec3(0, 285), 320, 50);
  marker = std::make_shared<Texture>("../Assets/image/editorSelectedIcon.png", 1, anchor, 25, 25);
  for (auto* t : {hudBackground.get(), hudBottom.get(), marker.get()}) t->Init();
  if (stateId == STATE_WEAPON_SELECT) {
    // The garage picture sits 50 pixels right of the centre, where the levels draw it.
    backdrop = std::make_shared<Texture>("../Assets/image/customize/customize.png", 1, anchor + Vec3(50, 0), 320, 240);
    backdrop->Init();
  }

  gunPalette = LoadRack("../Assets/WSHudObj.txt");
  for (size_t i = 0; i < gunPalette.size(); ++i)
    gunPalette[i]->SetPosition(anchor + Vec3(250, 200 - g_screen.height / 2.0f + RACK_STEP * i));
  currentGun = gunPalette.empty() ? -1 : 0;
  if (gunPalette.empty()) std::printf("The garage has no guns on its rack: nothing can be fitted\n");

  previewVehicle = std::make_shared<Vehicle>("PREVIEW", "../Assets/image/Tank_moving.png", anchor, 25, 25, 1,
                                             "../Assets/image/Tank_moving.txt");
  previewVehicle->graphic->SetCamera(*camera);

  fitted.clear();
  if (g_play.player)
    fitted = g_play.player->weapons; // shared: the player keeps its guns until the level copies ours back
  // Two slots always exist, so either side can be fitted in place.
  fitted.resize(std::max<size_t>(fitted.size(), 2));
  if (fitted[0]) leftGunValue = fitted[0]->kind;
  if (fitted[1]) rightGunValue = fitted[1]->kind;
  statBars->Refresh(leftGunValue, rightGunValue);
  std::printf("%d  %d\n", static_cast<int>(leftGunValue), static_cast<int>(rightGunValue));

  RefreshThumbnails();

  sideButtons.clear();
  sideButtons.push_back(std::make_shared<Button>(1, LEFT_PLATE, 55, 30, "LEFT", "../Assets/image/BtnSelect.txt",
                                                 "../Assets/image/btnSelect.png"));
  sideButtons.push_back(std::make_shared<Button>(1, RIGHT_PLATE, 55, 30, "RIGHT", "../Assets/image/BtnSelect.txt",
                                                 "../Assets/image/btnSelect.png"));
  for (auto& b : sideButtons) b->SetFrame(1);
}

void WeaponSelect::Free() {
  sideButtons.clear();
  camera.reset();
  statBars.reset();
  styleDisplay.reset();
  previewVehicle.reset();
  gunTemplates.clear();
  gunPalette.clear();
  currentGun = -1;
  leftThumb.reset();
  rightThumb.reset();
  hudBackground.reset();
  hudBottom.reset();
  marker.reset();
  backdrop.reset();
  // The guns fitted here may still be on the player; the level holds its own owners.
  fitted.clear();
}

void WeaponSelect::RefreshThumbnails() {
  for (const auto& gun : fitted) {
    if (!gun) continue;
    const bool left = gun->name.find("Left") != std::string::npos;
    const bool right = !left && gun->name.find("Right") != std::string::npos;
    if (!left && !right) continue;
    auto thumb = std::make_shared<GameObject>(static_cast<const GameObject&>(*gun));
    thumb->SetPosition(left ? LEFT_PLATE : RIGHT_PLATE);
    thumb->Scale(1.2f);
    thumb->graphic->SetImage(ThumbnailPath(gun->ImagePath()).c_str());
    (left ? leftThumb : rightThumb) = thumb;
  }
}

// ============================================================================
// Frame
// ============================================================================

void WeaponSelect::Update() {
  if (!camera) return; // not initialised
  camera->ApplyVelocity();
  HandleMouse();
  if (currentGun >= 0 && currentGun < static_cast<int>(gunPalette.size())) {
    Texture& picked = *gunPalette[currentGun]->graphic;
    marker->halfWidth = picked.halfWidth;
    marker->halfHeight = picked.halfHeight;
    marker->SetPosition(gunPalette[currentGun]->Position(), 0.0f);
  }
  const Vec3 at = previewVehicle->Position();
  for (const auto& gun : fitted) {
    if (!gun) continue;
    gun->graphic->SetCamera(*camera);
    gun->SetPosition(at);
  }
  const bool outlines = g_loop.debugView == 1;
  for (const auto& entry : gunPalette) entry->graphic->showOutline = outlines;
  for (const auto& gun : gunTemplates) gun->graphic->showOutline = outlines;
}

void WeaponSelect::HandleMouse() {
  for (auto& b : sideButtons) b->SetFrame(b->UnderMouse() ? 0 : 1);

  styleDisplay->showDefault = styleDisplay->showMiniCannon = styleDisplay->showBlackHole = false;
  for (const auto& entry : gunPalette) {
    if (!entry->shape->ContainsPoint(g_input.mousePosition)) continue;
    styleDisplay->showDefault = entry->name == "DEFAULT";
    styleDisplay->showMiniCannon = entry->name == "MINICANNON";
    styleDisplay->showBlackHole = entry->name == "BLACKHOLE";
    break;
  }

  if (!ConsumeTrigger(MOUSE_LEFT)) return;
  for (size_t i = 0; i < gunPalette.size(); ++i)
    if (gunPalette[i]->shape->ContainsPoint(g_input.mousePosition)) {
      currentGun = static_cast<int>(i);
      break;
    }
  for (int side = 0; side < static_cast<int>(sideButtons.size()); ++side)
    if (sideButtons[side]->UnderMouse()) Fit(side, currentGun);
}

void WeaponSelect::Fit(int side, int rackIndex) {
  const size_t templateIndex = 2 * static_cast<size_t>(rackIndex) + side;
  if (rackIndex < 0 || rackIndex >= static_cast<int>(gunPalette.size()) || templateIndex >= gunTemplates.size())
    return; // a rack entry without a ready-made gun fits nothing
  auto gun = std::make_shared<Weapon>(*gunTemplates[templateIndex]);
  gun->name = side == 0 ? "LeftThing" : "RightThing";
  gun->SetPosition(previewVehicle->Position());

  auto thumb = std::make_shared<GameObject>(*gunPalette[rackIndex]);
  thumb->SetPosition(side == 0 ? LEFT_PLATE : RIGHT_PLATE);
  (side == 0 ? leftThumb : rightThumb) = thumb;

  // In place: the discarded gun goes only from this list; the player's vehicle may still
  // hold it until the level copies this list back.
  if (fitted.size() < 2) fitted.resize(2);
  fitted[side] = gun;
  (side == 0 ? leftGunValue : rightGunValue) = gun->kind;
  statBars->Refresh(leftGunValue, rightGunValue);
}

void WeaponSelect::Draw() {
  if (!camera) return;
  if (backdrop) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    backdrop->Draw();
  }
  for (const auto& gun : gunTemplates) {
    gun->graphic->SetCamera(*camera);
    gun->graphic->Draw();
  }
  previewVehicle->graphic->Draw();
  for (const auto& gun : fitted)
    if (gun) gun->graphic->Draw();
  for (auto& b : sideButtons) b->Draw();
  if (leftThumb) leftThumb->graphic->Draw();
  if (rightThumb) rightThumb->graphic->Draw();
  for (const auto& entry : gunPalette) entry->graphic->Draw();
  hudBackground->Draw();
  hudBottom->Draw();
  if (currentGun >= 0) marker->Draw();
  styleDisplay->Draw();
  statBars->Draw();
}
