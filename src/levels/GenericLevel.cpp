#include "levels/GenericLevel.h"

#include <GL/glew.h>
#include <algorithm>
#include <iostream>
#include <random>

#include "audio/Audio.h"
#include "core/Controls.h"
#include "core/GameState.h"
#include "core/Options.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/System.h"
#include "core/Window.h"
#include "levels/FrontEnd.h"
#include "levels/Hud.h"
#include "levels/LevelScenery.h"
#include "levels/PlayerRecords.h"
#include "levels/Replay.h"
#include "core/InputTape.h"
#include "objects/WorldRules.h"
#include "levels/Track.h"
#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include "objects/NPC.h"
#include "objects/Predicates.h"
#include "objects/Vehicle.h"
#include "objects/Weapon.h"
#include "platform/KeyCodes.h"
#include "render/AnimatedTexture.h"
#include "render/Camera.h"
#include "render/DrawBatch.h"
#include "render/ParticleSys.h"
#include "render/SquarePrimitive.h"
#include "render/Texture.h"

namespace {

// Every laid tile's picture without alpha, and no outline (its smoothed lines blend).
bool CarpetIsOpaque(size_t laid) {
  for (size_t i = 0; i < g_background.tiles.size() && i < laid; ++i) {
    const Texture* picture = g_background.tiles[i]->graphic.get();
    if (picture && (!picture->opaqueImage || picture->showOutline)) return false;
  }
  return true;
}

void DrawObject(GameObject* object, const Camera& camera) {
  if (!object || !object->active || !object->graphic) return;
  object->graphic->SetCamera(camera);
  object->graphic->Draw();
}

void SetOutline(GameObject* object, bool on) {
  if (object && object->graphic) object->graphic->showOutline = on;
}

// The player's side weapons become copies of the garage's fitted guns, turned the player's way.
void TakeGarageWeapons(GarageScreen* garage) {
  if (!garage || !g_play.player) return;
  const auto& fitted = garage->FittedWeapons();
  g_play.player->weapons.clear();
  for (const auto& weapon : fitted) {
    if (!weapon) {
      g_play.player->weapons.push_back(nullptr);
      continue;
    }
    auto copy = std::make_shared<Weapon>(*weapon);
    copy->SetRotation(g_play.player->rotation);
    copy->SetPosition(g_play.player->Position());
    g_play.player->weapons.push_back(std::move(copy));
  }
}

} // namespace

std::string PortalTarget(const std::string& portalName, bool& toMainMenu) {
  toMainMenu = false;
  const size_t at = portalName.find("PORTAL");
  const std::string rest = at == std::string::npos ? portalName : portalName.substr(at + 6);
  if (rest.size() == 3 && Contains(rest, "END")) {
    toMainMenu = true;
    return std::string();
  }
  return "../Assets/Levels/" + rest + ".txt";
}

LevelKind KindOfLevel(const std::string& path) {
  for (const char* campaign : CAMPAIGN_LEVEL_PATHS)
    if (path == campaign) return Contains(path, "BOSS") ? LevelKind::Boss : LevelKind::Main;
  return LevelKind::Tutorial;
}

GenericLevel::GenericLevel() : GenericLevel(g_campaignWorld, g_frontEnd.garageOpen, g_frontEnd.helpOpen) {
  levelIndex = TakeCampaignStart(); // the menu's pick of a level reached, or the first
  levelPath = levelPaths[levelIndex];
}

GenericLevel::GenericLevel(World& ownWorld, bool& garageFlag, bool& helpFlag)
    : world(ownWorld), garageOpen(garageFlag), helpOpen(helpFlag) {}

GenericLevel::~GenericLevel() = default;

void GenericLevel::Load() { g_play.camera = std::make_shared<Camera>(0.0f, 0.0f, 1.0f); }

BuildRequest GenericLevel::MakeBuildRequest() const {
  BuildRequest request;
  request.path = levelPath;
  return request;
}

void GenericLevel::ResetFrame() {
  shaking = false;
  shakeCounter = 0;
  pathFrames = 0;
  smokeClock = 0.0f;
  overlayClosedThisFrame = false;
  wallOutlines = -1;
  garageOpen = false;
  helpOpen = false;
  g_play.pizzaCarried = false;
}

bool GenericLevel::StartLevel() {
  ResetFrame();
  g_controls.playing = true; // the player's own keys from here to Free
  SeedRun(*this);
  built = BuildLevel(world, screens, MakeBuildRequest());
  if (built) {
    cameraTarget = screens.limits.Clamp(g_play.player->Position());
    PrepareScenery(scenery, world, clearColour, screens.limits);
    StartRun(*this);
  }
  return built;
}

void GenericLevel::Initialize() {
  // The portal's target lasts only until here: the campaign goes by its index.
  if (levelIndex >= 0 && levelIndex < 3) levelPath = levelPaths[levelIndex];
  NoteCampaignLevelReached(levelIndex);
  StartLevel();
}

// ---------------------------------------------------------------------------------------
// Update
// ---------------------------------------------------------------------------------------

void GenericLevel::Update() {
  overlayClosedThisFrame = false;
  if (!built || !g_play.player) return; // the build found no PLAYER; the main menu is on its way
  world.frame = ThisFrame(); // what this frame's rules read from outside the world

  // 1. Focus and sound: a game without the focus pauses and goes quiet.
  const bool focus = RulesFocus();
  if (!focus) g_loop.paused = true;
  if (g_audio) g_audio->Update(g_loop.frameTime, focus);

  // 2. Pause panel and the debug outlines.
  if (g_frontEnd.pausePanel) g_frontEnd.pausePanel->Update();
  const bool outlines = g_loop.debugView == 1;
  SetOutline(g_play.player, outlines);
  for (GameObject* p : world.patrollers) SetOutline(p, outlines);
  // Walls are most of a big level and never change in play: given anew only when the view does.
  if (wallOutlines != static_cast<int>(outlines)) {
    for (GameObject* w : world.walls) SetOutline(w, outlines);
    wallOutlines = outlines;
  }
  for (GameObject* s : world.shooters) SetOutline(s, outlines);
  for (GameObject* shot : world.enemyShots) SetOutline(shot, outlines);
  for (GameObject* shot : g_play.player->children) SetOutline(shot, outlines);

  // 3. Camera shake.
  if (shaking) UpdateShake();

  // 4-5. Fuel and stars.
  UpdateFuelPickups(world, *g_play.player);
  CollectStars();

  // 6. Animations stand still while paused.
  if (g_loop.paused) {
    for (GameObject* p : world.patrollers)
      if (AnimatedTexture* sheet = p->Animated()) sheet->frameTimer = 0.0f;
    if (AnimatedTexture* sheet = g_play.player->Animated()) sheet->frameTimer = 0.0f;
  }

  // 7. The pad.
  HandleGamepad(g_gamepad, g_play.player);

  // 8-9. Overlays close on C or the pad's X; while one is open, or paused, play stands still.
  bool play = true;
  if (helpOpen || garageOpen) {
    const bool close = ConsumeTrigger(KEY_C) || g_gamepad.triggered[PAD_X];
    if (close) CloseOverlays();
    else play = false;
  } else if (g_loop.paused) {
    play = false;
  }

  if (play) {
    // 10-11.
    HandleKeyboard();
    if (!g_play.levelWon && !g_play.levelLost) UpdateWorld();
    // 12-13.
    CheckEndConditions();
    CheckPortals();
    // 14. Side weapons and their shots.
    UpdateSideWeapons(world, *g_play.player);
    g_play.player->UpdateReloadBars();
    if (world.shake.requested) {
      if (!shaking) StartShake(world.shake.towards);
      world.shake.requested = false;
    }
  }

  // 15. Track marks age also while paused.
  if (screens.track && g_play.camera) screens.track->Update(*g_play.camera);
  screens.trackClock += g_loop.frameTime;

  // 16. Loading screen, then the fade.
  screens.loading.Update(g_loop.frameTime, RunClock(screens.loading));
}

void GenericLevel::CloseOverlays() {
  if (garageOpen) TakeGarageWeapons(screens.garage.get());
  garageOpen = false;
  helpOpen = false;
  g_loop.paused = false;
  if (screens.helpPicture) screens.helpPicture->active = false;
  overlayClosedThisFrame = true;
}

void GenericLevel::CollectStars() {
  const Vec3 player = g_play.player->Position();
  for (auto it = world.stars.begin(); it != world.stars.end();) {
    GameObject& star = **it;
    if (Touches(star, *g_play.player)) {
      PlaySlot(12);
      ++g_play.score;
      it = world.stars.erase(it);
      continue;
    }
    const Vec3 d = star.Position() - player;
    if (LengthSquared2D(d) < 10000.0f) star.SetPosition(star.Position() * 0.95f + player * 0.05f);
    ++it;
  }
}

void GenericLevel::EndLevel(bool won) {
  if (won) g_play.levelWon = true;
  else g_play.levelLost = true;
  if (!screens.endSoundPlayed) {
    PlaySlot(won ? 10 : 11);
    screens.endSoundPlayed = true;
  }
}

void GenericLevel::CheckEndConditions() {
  if (g_play.levelWon || g_play.levelLost) return;
  GameObject* end = nullptr;
  for (GameObject* road : world.roads)
    if (Contains(road->name, "END")) {
      end = road;
      break;
    }
  // The road's end counts whether it is active or not.
  if (end && Touches(*g_play.player, *end)) EndLevel(g_play.player->hp >= 1);
  else if (g_play.player->hp < 1) EndLevel(false);
}

void GenericLevel::CheckPortals() {
  // Once the level has ended, or the player has died on the portal, it leads nowhere.
  if (g_play.levelWon || g_play.levelLost || g_play.player->hp < 1) return;
  for (GameObject* gate : world.gates) {
    if (!gate->active || Contains(gate->name, "GATE")) continue;
    if (!Touches(*g_play.player, *gate)) continue;
    ResolvePortal(gate->name);
    EndLevel(true);
    return;
  }
}

void GenericLevel::ResolvePortal(const std::string& portalName) {
  bool toMainMenu = false;
  const std::string target = PortalTarget(portalName, toMainMenu);
  if (toMainMenu) {
    g_loop.nextState = STATE_MAIN_MENU;
    RunLeftByPortal();
  } else {
    levelPath = target;
  }
}

// ---------------------------------------------------------------------------------------
// The world
// ---------------------------------------------------------------------------------------

void GenericLevel::FollowWithCamera() {
  cameraTarget = screens.limits.Clamp(g_play.player->Position());
  if (!shaking && g_play.camera) g_play.camera->SetPosition(cameraTarget.x, cameraTarget.y);
}

void GenericLevel::UpdateWorld() {
  Vehicle& player = *g_play.player;

  // 1-3.
  IndexBlockers(world);
  FollowWithCamera();
  UpdateCharacters(world, player, screens.keyPrompt.get());
  if (g_loop.frameTime < 0.3f && world.levelTimer > 0.0f) world.levelTimer -= g_loop.frameTime;

  // 4-5. Movement.
  UpdatePlayer(world, player);
  MovePatrollers(world);

  // 6. Turrets and gates by the kind of level.
  const Vec3 centre = player.Position();
  if (world.isBossLevel) {
    UpdateTurretChain(world, centre);
    FireTurretChain(world);
    ApplyGateRules(world);
  } else if (world.isMainLevel) {
    UpdateTurretChain(world, centre);
    ApplyGateRules(world);
    FireTurretVolley(world);
  }

  // 7-8. The pizza; walls, closed gates and sacks stop the vehicle.
  UpdatePizza(world, player);
  BlockPlayer(world, player);

  // 9. Shots, gunners, the chasers' path and the patrollers.
  UpdatePlayerHitWindow(player);
  UpdateMainGunShots(world, player);
  UpdateGunners(world, player);
  if (++pathFrames > 5) {
    pathGrid.Rebuild(world, player.Position());
    pathFrames = 0;
  }
  UpdatePatrollers(world, player);

  // 10.
  EmitLowHealthSmoke();
}

void GenericLevel::EmitLowHealthSmoke() {
  smokeClock += g_loop.frameTime;
  if (g_play.player->hp > 3 || smokeClock <= 0.01f) return;
  // The same scatter every time: the smoke looks like one steady plume.
  std::mt19937 random;
  std::uniform_int_distribution<int> offset(-3, 3);
  const Vec3 centre = g_play.player->Position();
  for (auto& smoke : g_particles.fireSmoke) {
    const int j = offset(random);
    const int i = offset(random);
    if (smoke->elapsed <= smoke->duration) continue;
    smoke->Restart();
    smoke->SetPosition(centre.x + 5.0f * i, centre.y + 3.0f * j);
  }
  smokeClock = 0.0f;
}

// ---------------------------------------------------------------------------------------
// Camera shake
// ---------------------------------------------------------------------------------------

void GenericLevel::StartShake(const Vec3& target) {
  if (shaking) return;
  if (g_play.camera) g_play.camera->shakeMagnitude = 0.01f;
  const Vec3 d = (g_play.player ? g_play.player->Position() : Vec3()) - target;
  if (std::fabs(d.x) > std::fabs(d.y)) shakeDirection = d.x >= 0.0f ? 2 : 3;
  else shakeDirection = d.y >= 0.0f ? 0 : 1;
  shakeCounter = 0;
  shaking = true;
  world.shake.running = true;
}

void GenericLevel::UpdateShake() {
  const unsigned int a = shakeCounter++;
  const unsigned int phase = a % 60;
  static constexpr int opposite[4] = {1, 0, 3, 2};
  // With shake off the view only follows; the rules run the same shake either way.
  if (g_play.camera && g_options.shake) {
    if (phase == 14 || phase == 43) g_play.camera->Shake(shakeDirection);
    else if (phase == 28 || phase == 58) g_play.camera->Shake(opposite[shakeDirection & 3]);
    else if (g_play.player) {
      cameraTarget = screens.limits.Clamp(g_play.player->Position());
      g_play.camera->SetPosition(cameraTarget.x, cameraTarget.y);
    }
  } else if (g_play.camera && g_play.player) {
    cameraTarget = screens.limits.Clamp(g_play.player->Position());
    g_play.camera->SetPosition(cameraTarget.x, cameraTarget.y);
  }
  if (a == 119) {
    shaking = false;
    world.shake.running = false;
  }
  if (g_play.camera) g_play.camera->ApplyVelocity();
}

// ---------------------------------------------------------------------------------------
// Input
// ---------------------------------------------------------------------------------------

void GenericLevel::HandleKeyboard() {
  if (!g_play.player) return;
  if (g_play.levelWon || g_play.levelLost) {
    if (ConsumeTrigger(KEY_K)) g_loop.nextState = g_play.levelLost ? STATE_RESTART : STATE_MAIN_MENU;
    return;
  }
  Vehicle& player = *g_play.player;
  const DriveInput input = ApplyKeyInput(player);
  if (input.forward && screens.trackClock > 0.1f && screens.track) {
    screens.track->AddMark(MakeTrackMark(player.Position()));
    screens.trackClock = 0.0f;
  }

  if (ConsumeTrigger(KEY_F1)) world.levelTimer -= 10.0f;
  if (ConsumeTrigger(KEY_F2)) {
    g_play.cheatMode = !g_play.cheatMode;
    world.frame.cheatMode = g_play.cheatMode; // the shots of this very frame go by it
  }
  if (ConsumeTrigger(KEY_F6) && !world.isBossLevel) {
    GameObject* target = nullptr;
    for (GameObject* gate : world.gates)
      if (gate->active && !Contains(gate->name, "GATE")) {
        target = gate;
        break;
      }
    for (GameObject* road : world.roads)
      if (road->active && road->name == "END") {
        target = road; // the road's end wins over a portal
        break;
      }
    if (target) player.Move(target->Position() - player.Position());
  }
  if (ConsumeTrigger(KEY_F7)) player.hp = 10;
  if (ConsumeTrigger(KEY_F8)) {
    g_play.thermometer = 0.3f;
    player.hp = 1;
  }
}

void GenericLevel::HandleGamepad(Gamepad& pad, GameObject* object) {
  pad.Update();
  auto* player = dynamic_cast<Vehicle*>(object);
  if (g_loop.paused || !player || g_play.levelWon || g_play.levelLost) return;
  ApplyPadInput(*player, pad);
}

// ---------------------------------------------------------------------------------------
// Draw
// ---------------------------------------------------------------------------------------

void GenericLevel::TalkAndGarageChecks() {
  // Nothing opens over an open overlay, paused or not (the loading screen's end unpauses
  // the tutorial's first card).
  if (garageOpen || helpOpen) return;
  // Opening needs a fresh press: C is consumed, and the pad's X counts only on the frame it
  // went down and never in the frame an overlay closed (X is still down then).
  const bool padOpens = g_gamepad.triggered[PAD_X] && !overlayClosedThisFrame && !g_loop.paused;
  // A character is heard before the garage: C next to a keeper who stands by a garage shows
  // the keeper's card, and the card's pause keeps the garage shut this frame.
  if (NPC* character = TalkToCharacterInReach(padOpens)) {
    ConsumeTrigger(KEY_C);
    Talked(*character);
  }
  for (NPC* garage : world.garages) {
    if (!garage->near || g_loop.paused) continue;
    if (!(padOpens || ConsumeTrigger(KEY_C))) continue;
    garageOpen = true;
    g_loop.paused = true;
    EnteredGarage();
  }
}

void GenericLevel::EnteredGarage() {
  if (world.isBossLevel) {
    if (!world.garageVisited.empty() && !world.garageVisited[0]) {
      world.garageVisited[0] = true;
      OpenGate(world.gates, BOSS_GARAGE_GATE.group); // once, on the first visit
    }
  } else if (!world.isMainLevel && !world.garageGateOpened) {
    world.garageGateOpened = true;
    OpenGate(world.gates, STAGE_GARAGE_GATE.group);
  }
}

NPC* GenericLevel::TalkToCharacterInReach(bool padOpens) {
  for (NPC* npc : world.npcs) {
    if (!npc->near || g_loop.paused) continue;
    if (!(padOpens || ConsumeTrigger(KEY_C))) continue;
    if (screens.helpPicture && screens.helpPicture->graphic) {
      screens.helpPicture->active = true;
      screens.helpPicture->graphic->SetImage(HelpCardPath(npc->name).c_str());
    }
    helpOpen = true;
    g_loop.paused = true;
    return npc; // paused now: nobody else is heard this frame
  }
  return nullptr;
}

void GenericLevel::DrawWorld() {
  const Camera& camera = *g_play.camera;
  if (!DrawBakedScenery(scenery, camera)) {
    const size_t laid = static_cast<size_t>(std::max(0, g_background.extent.columns * g_background.extent.rows));
    // An opaque carpet blended gives the same pixels, but llvmpipe reads every pixel under it.
    const bool unblended = CarpetIsOpaque(laid) && glIsEnabled(GL_BLEND);
    if (unblended) {
      FlushDrawing();
      glDisable(GL_BLEND);
    }
    for (size_t i = 0; i < g_background.tiles.size() && i < laid; ++i) DrawObject(g_background.tiles[i], camera);
    if (unblended) {
      FlushDrawing();
      glEnable(GL_BLEND);
    }
    // The standing lists draw what their indexes say the camera may see, in list order.
    for (GameObject* road : world.roadDraws.Visible(world.roads, camera))
      if (road->name != "END") DrawObject(road, camera);
    const auto end = std::find_if(world.roads.begin(), world.roads.end(), [](GameObject* r) { return r->name == "END"; });
    if (end != world.roads.end()) DrawObject(*end, camera);
    for (GameObject* wall : world.wallDraws.Visible(world.walls, camera)) DrawObject(wall, camera);
    for (GameObject* sack : world.sackDraws.Visible(world.sacks, camera)) DrawObject(sack, camera);
    for (GameObject* gate : world.gateDraws.Visible(world.gates, camera)) DrawObject(gate, camera);
    for (GameObject* filler : world.fillerDraws.Visible(world.fillers, camera)) DrawObject(filler, camera);
  }
  for (auto& star : world.stars) DrawObject(star.get(), camera);
  // Not one shooter's pool: a shot filed before a shooter that sorts first is missing from
  // that shooter's pool, yet another fires it and it hurts.
  for (GameObject* shot : world.enemyShots) DrawObject(shot, camera);
  for (GameObject* shooter : world.shooters)
    if (!shooter->shielded) DrawObject(shooter, camera);
  for (GameObject* patroller : world.patrollers) DrawObject(patroller, camera);
  if (screens.track) screens.track->Draw();
  for (GameObject* shot : g_play.player->children) DrawObject(shot, camera);

  // The player's heartbeat.
  if (g_play.player->hp > 0) {
    if (screens.pulseCounter == 29) g_play.player->Scale(1.025f);
    else if (screens.pulseCounter == 59) g_play.player->Scale(0.9756098f);
    if (++screens.pulseCounter >= 61) screens.pulseCounter = 0;
  }
  DrawGhost(camera);
  DrawObject(g_play.player, camera);
  for (auto& weapon : g_play.player->weapons) {
    if (!weapon) continue;
    if (g_play.player->hp > 0) DrawObject(weapon.get(), camera);
    for (auto& projectile : weapon->projectiles)
      if (projectile && projectile->active && projectile->graphic) {
        projectile->graphic->SetCamera(camera);
        projectile->graphic->Draw();
      }
  }
  for (NPC* npc : world.npcs) DrawObject(npc, camera);
  for (NPC* garage : world.garages) DrawObject(garage, camera);
  TalkAndGarageChecks();
  DrawObject(PizzaOnMap(), camera);
}

void GenericLevel::Draw() {
  glClearColor(clearColour[0], clearColour[1], clearColour[2], 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  if (!built || !g_play.player || !g_play.camera) return;
  const Camera& camera = *g_play.camera;

  // 2-3. The world and what floats over it.
  DrawWorld();
  if (!DrawMovedTalkHint(screens.keyPrompt.get())) DrawObject(screens.keyPrompt.get(), camera);
  for (FuelPickup& pickup : world.fuelPickups)
    if (pickup.available) DrawObject(pickup.object.get(), camera);
  for (ParticlePool* pool : g_particles.All())
    for (auto& system : *pool) {
      system->SetCamera(camera);
      system->Draw();
    }

  // 4. HUD and the pause panel.
  DrawHud(world.pizza, ThermometerShown());
  if (g_frontEnd.pausePanel && !garageOpen && !helpOpen) g_frontEnd.pausePanel->Draw();

  // 5. A talking character heals and warms the pizza.
  for (NPC* npc : world.npcs)
    if (Touches(*g_play.player, *npc)) {
      if (g_play.player->hp < 5) g_play.player->hp = 5;
      g_play.thermometer = 1.0f;
    }

  // 6-7. Overlays.
  if (garageOpen) {
    if (screens.garagePicture) screens.garagePicture->Draw();
    if (screens.garage) {
      screens.garage->Update();
      screens.garage->Draw();
    }
    if (IsDown(KEY_ESCAPE) || g_gamepad.down[PAD_START]) TakeGarageWeapons(screens.garage.get());
  }
  if (helpOpen && screens.helpPicture && screens.helpPicture->graphic) screens.helpPicture->graphic->Draw();

  // 8. Loading picture or the fade.
  screens.loading.Draw();
  DrawReplayHud();

  // 9. The end.
  if (g_play.levelLost) {
    if (screens.explosion) {
      const Vec3 at = g_play.player->Position();
      const Vec3 screen = at - cameraTarget + Vec3(g_screen.width * 0.5f, g_screen.height * 0.5f, 0.0f);
      screens.explosion->SetPosition(screen, 0.0f);
      screens.explosion->Draw();
    }
    screens.deathTime += g_loop.frameTime;
    if (screens.deathTime < 2.0f) return;
    if (screens.endScreen) {
      screens.endScreen->Update(false, EndScreenCounter());
      screens.endScreen->Draw();
    }
  } else if (g_play.levelWon && screens.endScreen) {
    screens.endScreen->Update(true, EndScreenCounter());
    screens.endScreen->Draw();
  }
}

// ---------------------------------------------------------------------------------------
// Free
// ---------------------------------------------------------------------------------------

void GenericLevel::Free() {
  g_controls.playing = false;
  EndRun(*this);
  if (g_play.player) {
    g_play.player->children.clear();
    for (auto& weapon : g_play.player->weapons)
      if (weapon) weapon->projectiles.clear();
  }
  for (auto* list : {&world.walls, &world.shooters, &world.sacks, &world.gates})
    for (GameObject* object : *list) object->children.clear();
  for (NPC* npc : world.npcs) npc->children.clear();
  for (NPC* garage : world.garages) garage->children.clear();
  EmptyParticlePools();
  if (g_audio) g_audio->StopAll();
  FreeHud();
  if (screens.garage) screens.garage->Free();
  FreeLevelScreens(screens);
  ForgetScenery(scenery);
  world.Clear();
  g_play.pizzaCarried = false;
  g_play.player = nullptr;
  garageOpen = false;
  helpOpen = false;
  if (auto* factory = FindSystem<GameObjectFactory>()) factory->objects.clear();
  built = false;
}
