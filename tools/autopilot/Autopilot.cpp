#include "Autopilot.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "core/GameState.h"
#include "core/GameLoop.h"
#include "core/Window.h"
#include "levels/GenericLevel.h"
#include "levels/TutorialLevel.h"
#include "objects/GameObject.h"
#include "objects/NPC.h"
#include "objects/Vehicle.h"
#include "objects/Weapon.h"
#include "objects/World.h"
#include "platform/Focus.h"
#include "screens/MainMenu.h"
#include "screens/WeaponSelect.h"
#include "screens/WinLoseScreen.h"
#include "support/GameHarness.h"

namespace {

constexpr float PI = 3.14159265f;
constexpr float SHOT_REACH = 580.0f;    // the main gun's shots live 2 s at 5 units a frame
constexpr float CHASE_REACH = 300.0f;   // patrollers chase, gunners fire, within this
constexpr float VEHICLE_RADIUS = 36.0f; // half the vehicle's diagonal: it may face any way

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

float Wrap(float angle) {
  while (angle > PI) angle -= 2 * PI;
  while (angle < -PI) angle += 2 * PI;
  return angle;
}

float Distance(const Vec3& a, const Vec3& b) { return std::hypot(a.x - b.x, a.y - b.y); }

std::string LevelName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  if (name.size() > 4 && name.substr(name.size() - 4) == ".txt") name.resize(name.size() - 4);
  return name;
}

bool IsTutorial(const GenericLevel& level) {
  return dynamic_cast<const TUTORIAL_LEVEL::TutorialLevel*>(&level) != nullptr;
}

bool GarageOverlayOpen() { return g_frontEnd.garageOpen || g_frontEnd.tutorialGarageOpen; }
bool HelpOverlayOpen() { return g_frontEnd.helpOpen || g_frontEnd.tutorialHelpOpen; }

bool PizzaCarried(const GenericLevel& level) {
  return IsTutorial(level) ? TUTORIAL_LEVEL::g_tutorial.pizzaTaken : g_play.pizzaCarried;
}

GameObject* PizzaOf(const GenericLevel& level) {
  return IsTutorial(level) ? TUTORIAL_LEVEL::g_tutorial.pizza : level.world.pizza;
}

bool ClosedGate(const World& world, const char* number) {
  for (const GameObject* gate : world.gates)
    if (gate->active && gate->hp >= 1 && Contains(gate->name, number)) return true;
  return false;
}

bool IsPortal(const GameObject* gate) { return !Contains(gate->name, "GATE"); }

bool IsBType(const std::string& name) { return Contains(name, "ENEMY2B") || Contains(name, "ENEMY2VERTICALB"); }

// Where a straight line along `facing` from `from` first meets a blocked cell.
Vec3 LaneEnd(const Planner& planner, const Vec3& from, float facing) {
  Vec3 at = from;
  for (int step = 0; step < 40; ++step) {
    const Vec3 next(at.x + std::cos(facing) * 26.0f, at.y + std::sin(facing) * 26.0f, 0.0f);
    if (planner.Blocked(static_cast<int>(std::floor(next.x / Planner::CELL)),
                        static_cast<int>(std::floor(next.y / Planner::CELL))))
      break;
    at = next;
  }
  return at;
}

std::map<const GameObject*, long> g_ignoreUntil; // targets given up on, until that frame

} // namespace

Autopilot::Autopilot(GameHarness& h) : harness(h) {}

// ============================================================================
// Hands
// ============================================================================

void Autopilot::Want(SDL_Scancode key, bool down) {
  if (down) wanted.insert(key);
  else wanted.erase(key);
}

void Autopilot::Tap(SDL_Scancode key) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.scancode = key;
  oneShots.push_back(e);
  e.type = SDL_KEYUP;
  oneShots.push_back(e);
}

void Autopilot::Click(const Vec3& logical) {
  // The game scales window pixels to its logical screen: scale back.
  const float sx = g_screen.width > 0 ? static_cast<float>(g_screen.windowWidth) / g_screen.width : 1.0f;
  const float sy = g_screen.height > 0 ? static_cast<float>(g_screen.windowHeight) / g_screen.height : 1.0f;
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = static_cast<int>(std::lround(logical.x * sx));
  e.motion.y = static_cast<int>(std::lround(logical.y * sy));
  oneShots.push_back(e);
  e = SDL_Event{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.button = SDL_BUTTON_LEFT;
  oneShots.push_back(e);
  e.type = SDL_MOUSEBUTTONUP;
  oneShots.push_back(e);
}

void Autopilot::ReleaseAll() { wanted.clear(); }

void Autopilot::PushOneEvent() {
  // Releases first: a key held a frame too long drives into walls.
  for (SDL_Scancode key : held)
    if (!wanted.count(key)) {
      harness.Key(key, false);
      held.erase(key);
      return;
    }
  auto pushOneShot = [&] {
    if (oneShots.empty()) return false;
    const SDL_Event e = oneShots.front();
    oneShots.pop_front();
    if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) harness.Key(e.key.keysym.scancode, e.type == SDL_KEYDOWN);
    else if (e.type == SDL_MOUSEMOTION) harness.MouseMove(e.motion.x, e.motion.y);
    else harness.MouseButton(SDL_BUTTON_LEFT, e.type == SDL_MOUSEBUTTONDOWN);
    return true;
  };
  auto pushPress = [&] {
    for (SDL_Scancode key : wanted)
      if (!held.count(key)) {
        harness.Key(key, true);
        held.insert(key);
        return true;
      }
    return false;
  };
  // Taps and held keys take turns, so neither starves the other.
  if (totalFrames % 2 == 0) {
    if (!pushOneShot()) pushPress();
  } else if (!pushPress()) {
    pushOneShot();
  }
}

bool Autopilot::Frame() {
  static auto lastFocusAsk = std::chrono::steady_clock::now();
  if (!HasKeyboardFocus() && std::chrono::steady_clock::now() - lastFocusAsk > std::chrono::milliseconds(300)) {
    SDL_SetWindowInputFocus(harness.Sdl());
    lastFocusAsk = std::chrono::steady_clock::now();
  }
  PushOneEvent();
  ++totalFrames;
  ++levelFrames;
  return harness.Frame();
}

bool Autopilot::WaitFrames(int count) {
  for (int i = 0; i < count; ++i)
    if (!Frame()) return false;
  return true;
}

// ============================================================================
// The menu and the screens around the levels
// ============================================================================

bool Autopilot::ReachMenu() {
  for (int i = 0; i < 2000 && g_loop.currentState != STATE_MAIN_MENU; ++i)
    if (!Frame()) return false;
  if (g_loop.currentState != STATE_MAIN_MENU) return false;
  // The splash takes a press to skip; the menu then fades in.
  for (int i = 0; i < 600 && !g_menu.splashDone; ++i) {
    if (oneShots.empty() && i % 30 == 0) Tap(SDL_SCANCODE_SPACE);
    if (!Frame()) return false;
  }
  oneShots.clear();
  for (int i = 0; i < 300 && g_menu.fadeAlpha > 0.0f; ++i)
    if (!Frame()) return false;
  return WaitFrames(5);
}

bool Autopilot::PressMenuButton(int index, int expectState) {
  if (!ReachMenu()) return false;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (static_cast<int>(g_menu.buttons.size()) <= index) return false;
    Click(g_menu.buttons[static_cast<size_t>(index)]->Centre());
    for (int i = 0; i < 120; ++i) {
      if (!Frame()) return false;
      if (g_loop.currentState == expectState) {
        oneShots.clear();
        return true;
      }
    }
  }
  std::printf("autopilot: the menu's button %d did not lead to state %d\n", index, expectState);
  return false;
}

bool Autopilot::PlayCampaign(std::vector<LevelResult>& results) {
  if (!PressMenuButton(0, STATE_LEVEL)) return false;
  return PlayUntilLeft(STATE_LEVEL, results);
}

bool Autopilot::PlayTutorial(std::vector<LevelResult>& results) {
  if (!PressMenuButton(1, STATE_TUTORIAL)) return false;
  return PlayUntilLeft(STATE_TUTORIAL, results);
}

bool Autopilot::PlayUntilLeft(int state, std::vector<LevelResult>& results) {
  current = nullptr;
  finished = false;
  int nextAttempt = 1;
  std::string retryPath;
  LevelResult lastSeen;
  int endClickWait = 0;
  bool ok = true;

  while (g_loop.currentState == state || g_loop.currentState == STATE_RESTART) {
    auto* level = dynamic_cast<GenericLevel*>(harness.loop.CurrentLevel());
    if (!level || !level->built || !g_play.player) {
      ReleaseAll();
      if (!Frame()) return false;
      continue;
    }
    // A fresh build: the first, or the one the end screen's button asked for.
    if (!current || (finished && !g_play.levelWon && !g_play.levelLost)) {
      StartLevel(*level);
      result.attempts = !retryPath.empty() && level->levelPath == retryPath ? nextAttempt : 1;
      endClickWait = 0;
    }

    if (!finished && (g_play.levelWon || g_play.levelLost)) {
      FinishLevel(*level, g_play.levelWon, g_play.levelWon ? "" : "destroyed");
      if (result.won || result.attempts >= maxAttempts) {
        results.push_back(result);
        if (!result.won) ok = false;
      }
      // A portal may already have named the next level: the replay is of the level played.
      retryPath = result.won ? std::string() : stagePath;
      nextAttempt = result.attempts + 1;
      if (!result.won && result.attempts >= maxAttempts) {
        std::printf("autopilot: giving up on %s after %d attempts\n", result.level.c_str(), result.attempts);
        return false;
      }
    }

    if (finished) {
      ReleaseAll();
      auto* endScreen = dynamic_cast<WinLoseScreen*>(level->screens.endScreen.get());
      const bool panelUp = g_play.levelWon || level->screens.deathTime >= 2.05f;
      if (endScreen && panelUp && oneShots.empty() && ++endClickWait % 40 == 20) {
        if (endClickWait == 20) CaptureScreen(result.level + "_end"); // the first look at it
        Click(endScreen->endButton->Centre());
      }
    } else {
      Think(*level);
      // What the end would report if the level were left during the next frame (a portal
      // straight to the menu ends the level without an end screen).
      lastSeen = result;
      lastSeen.hp = g_play.player->hp;
      lastSeen.stars = g_play.score;
      lastSeen.thermometer = PizzaCarried(*level) ? std::clamp(g_play.thermometer, 0.0f, 1.0f) : 0.0f;
      lastSeen.total = WinLoseScreen::TotalScore(lastSeen.thermometer, g_play.score);
      lastSeen.frames = levelFrames + 1;
      if (levelFrames > maxLevelFrames) {
        FinishLevel(*level, false, "out of time");
        results.push_back(result);
        return false;
      }
    }
    if (!Frame()) return false;
  }
  if (current && !finished) {
    // Left without an end: a portal to the menu finished the stage.
    lastSeen.won = true;
    lastSeen.note = "portal to the menu";
    results.push_back(lastSeen);
    Report(lastSeen);
  }
  current = nullptr;
  ReleaseAll();
  return ok;
}

// ============================================================================
// A level
// ============================================================================

void Autopilot::StartLevel(GenericLevel& level) {
  current = &level;
  stagePath = level.levelPath;
  result = LevelResult();
  result.level = LevelName(stagePath);
  finished = false;
  levelFrames = 0;
  framesSinceReplan = 1000;
  route.clear();
  goalWhat.clear();
  goalObject = nullptr;
  arrival = Arrival::None;
  garageDone = false;
  garageBusy = false;
  garageStep = 0;
  garageWait = 0;
  talkedTo.clear();
  talkingTo = nullptr;
  overlayWait = 0;
  reverseFrames = 0;
  turningInPlace = false;
  lastCheckFrame = 0;
  lastCheckPosition = g_play.player->Position();
  lastCheckRotation = g_play.player->rotation;
  nextShotAt = 0;
  g_ignoreUntil.clear();
  oneShots.clear();
  ReleaseAll();
  if (verbose) std::printf("autopilot: %s begins\n", result.level.c_str());
}

void Autopilot::FinishLevel(GenericLevel& level, bool won, const std::string& note) {
  finished = true;
  result.won = won;
  result.note = note;
  result.frames = levelFrames;
  result.hp = g_play.player ? g_play.player->hp : 0;
  result.stars = g_play.score;
  result.thermometer = PizzaCarried(level) ? std::clamp(g_play.thermometer, 0.0f, 1.0f) : 0.0f;
  result.total = WinLoseScreen::TotalScore(result.thermometer, g_play.score);
  ReleaseAll();
  oneShots.clear();
  Report(result);
}

void Autopilot::Report(const LevelResult& r) {
  std::printf("autopilot: %s %s after %.1f s (%ld frames), hp %d, stars %d, thermometer %.2f, total %d%s%s\n",
              r.level.c_str(), r.won ? "won" : "lost", r.frames / 60.0, r.frames, r.hp, r.stars, r.thermometer,
              r.total, r.note.empty() ? "" : ", ", r.note.c_str());
  std::fflush(stdout);
}

void Autopilot::Capture() {
  if (shotsFolder.empty() || result.level != "FIRSTMOD") return;
  const long every = static_cast<long>(shotEverySeconds * 60.0);
  if (every <= 0 || levelFrames % every != 0) return;
  char name[64];
  std::snprintf(name, sizeof name, "%s_%03d", result.level.c_str(), shotIndex++);
  CaptureScreen(name);
}

void Autopilot::CaptureScreen(const std::string& name) {
  if (shotsFolder.empty()) return;
  // The folder's name goes to the shell inside single quotes: each of its own quotes is closed,
  // escaped and reopened.
  std::string quoted;
  for (char c : shotsFolder + "/" + name + ".png") quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  const std::string command = "import -window root '" + quoted + "' 2>/dev/null";
  if (std::system(command.c_str()) == 0) return;
  // Whatever failed will fail for every picture: said once, then no more pictures.
  std::printf("autopilot: screen capture into %s failed (is ImageMagick's import installed?), no more pictures\n",
              shotsFolder.c_str());
  shotsFolder.clear();
}

void Autopilot::Think(GenericLevel& level) {
  Capture();
  Vehicle& player = *g_play.player;
  if (level.screens.loading.shown || g_loop.paused) {
    // Standing still on purpose (loading, an overlay, the pause panel) is not being stuck.
    lastCheckFrame = levelFrames;
    lastCheckPosition = player.Position();
    lastCheckRotation = player.rotation;
  }
  if (level.screens.loading.shown) {
    ReleaseAll();
    return;
  }
  if (GarageOverlayOpen()) {
    ReleaseAll();
    GarageSequence(level);
    return;
  }
  garageBusy = false;
  if (HelpOverlayOpen()) {
    ReleaseAll();
    if (talkingTo) {
      talkedTo.insert(talkingTo->name);
      talkingTo = nullptr;
    }
    if (oneShots.empty() && --overlayWait <= 0) {
      Tap(SDL_SCANCODE_C);
      overlayWait = 15;
    }
    return;
  }
  if (g_loop.paused) {
    // The pause panel: the window lost the focus for a moment.
    ReleaseAll();
    if (oneShots.empty() && HasKeyboardFocus() && --overlayWait <= 0) {
      Tap(SDL_SCANCODE_ESCAPE);
      overlayWait = 30;
    }
    return;
  }

  if (++framesSinceReplan >= 20) Replan(level);
  if (verbose && levelFrames % 120 == 0) {
    static auto wall = std::chrono::steady_clock::now();
    const double real = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
    wall = std::chrono::steady_clock::now();
    std::printf("autopilot: %s %.0f s: at (%.0f, %.0f) facing %.2f, hp %d, goal %s, %zu corners to go, "
                "kills %d/%d, %.0f frames a second (update %.1f ms, draw %.1f ms)\n",
                result.level.c_str(), levelFrames / 60.0, player.Position().x, player.Position().y, player.rotation,
                player.hp, goalWhat.c_str(), route.size(), level.world.killCountA, level.world.killCountB,
                real > 0 ? 120.0 / real : 0.0, g_loop.updateTime * 1000.0, g_loop.renderTime * 1000.0);
  }

  // Arrived where a key is to be pressed.
  if (arrival != Arrival::None && goalObject) {
    auto* npc = dynamic_cast<NPC*>(goalObject);
    const bool done = arrival == Arrival::Talk ? talkedTo.count(npc ? npc->name : "") > 0 : garageDone;
    if (done) {
      arrival = Arrival::None;
      framesSinceReplan = 1000;
    } else if (npc && npc->near) {
      ReleaseAll();
      if (oneShots.empty() && --overlayWait <= 0) {
        Tap(SDL_SCANCODE_C);
        overlayWait = 20;
        if (arrival == Arrival::Talk) talkingTo = npc;
        else garageBusy = true;
      }
      return;
    }
  }

  if (Engage(level)) return;
  Drive();
  (void)player;
}

void Autopilot::Replan(GenericLevel& level) {
  framesSinceReplan = 0;
  const World& world = level.world;
  planner.Read(world);
  planner.dangers.clear();
  // Gunners' reach and turret lanes are dear to stand in.
  for (const GameObject* shooter : world.shooters) {
    if (!shooter->active) continue;
    if (shooter->name == "ENEMY" && !world.isBossLevel) {
      planner.dangers.push_back({shooter->Position(), CHASE_REACH + 20.0f, 0.6f});
    } else if (!IsTutorial(level)) {
      const Vec3 from = shooter->Position();
      const Vec3 to = LaneEnd(planner, from, shooter->rotation);
      const float length = Distance(from, to);
      for (float t = 0; t <= length; t += 26.0f)
        planner.dangers.push_back(
            {Vec3(from.x + std::cos(shooter->rotation) * t, from.y + std::sin(shooter->rotation) * t, 0), 40.0f, 0.5f});
    }
  }
  planner.Flood(g_play.player->Position());
  ChooseGoal(level);
}

void Autopilot::ChooseGoal(GenericLevel& level) {
  const World& world = level.world;
  const Vehicle& player = *g_play.player;
  const bool tutorial = IsTutorial(level);

  struct Choice {
    float cost = -1;
    Vec3 at;
    std::string what;
    GameObject* object = nullptr;
    Arrival arrival = Arrival::None;
  };
  std::vector<Choice> tiers;
  Choice best;
  auto consider = [&](const Vec3& at, const std::string& what, GameObject* object, Arrival how, float maxCost = 1e9f) {
    const float c = planner.CostTo(at);
    if (c < 0 || c > maxCost) return;
    if (best.cost < 0 || c < best.cost) best = Choice{c, at, what, object, how};
  };
  auto tierDone = [&] { return best.cost >= 0; };

  // 1. Mending: fuel, or a character's touch, when the hit points run low.
  if (player.hp <= 4) {
    for (const FuelPickup& fuel : world.fuelPickups)
      if (fuel.available && fuel.object) consider(fuel.object->Position(), "fuel", fuel.object.get(), Arrival::None);
    if (player.hp < 5)
      for (NPC* npc : world.npcs) consider(npc->Position(), "medic " + npc->name, npc, Arrival::None);
  }
  // 2. Stars close by.
  if (!tierDone())
    for (const auto& star : world.stars) consider(star->Position(), "star", star.get(), Arrival::None, 8.0f);
  // 3. The garage, once.
  if (!tierDone() && !garageDone)
    for (NPC* garage : world.garages) consider(garage->Position(), "garage", garage, Arrival::Garage);
  // 4. Tutorial characters whose words open gates (the mechanic's only after the garage).
  if (!tierDone() && tutorial)
    for (NPC* npc : world.npcs) {
      if (talkedTo.count(npc->name)) continue;
      const bool opens = Contains(npc->name, "2") || Contains(npc->name, "3") ||
                         (Contains(npc->name, "4") && TUTORIAL_LEVEL::g_tutorial.garageVisited);
      if (opens) consider(npc->Position(), "talk to " + npc->name, npc, Arrival::Talk);
    }
  // 5. The pizza.
  if (!tierDone()) {
    GameObject* pizza = PizzaOf(level);
    if (pizza && pizza->active) consider(pizza->Position(), "pizza", pizza, Arrival::None);
  }
  // 6. Kills for the gates that count them.
  const bool needA = !tutorial && ClosedGate(world, "GATE11") && world.killCountA <= 3;
  const bool needB = !tutorial && ClosedGate(world, "GATE12") && world.killCountB <= 6;
  if (!tierDone() && (needA || needB))
    for (GameObject* p : world.patrollers) {
      if (!p->active) continue;
      const bool a = Contains(p->name, "ENEMY2A");
      if ((a && needA) || (IsBType(p->name) && needB)) consider(p->Position(), "hunt " + p->name, p, Arrival::None);
    }
  // 7. The way out: a portal or the road's end (in the tutorial, the portal first).
  if (!tierDone()) {
    const bool portalTaken = tutorial && level.levelPath != stagePath;
    for (GameObject* gate : world.gates)
      if (gate->active && IsPortal(gate) && !portalTaken) consider(gate->Position(), gate->name, gate, Arrival::None);
    if (!tutorial || portalTaken)
      for (GameObject* road : world.roads)
        if (Contains(road->name, "END")) consider(road->Position(), "END", road, Arrival::None);
  }
  // 8. Nothing else reachable: whatever enemy can be reached.
  if (!tierDone())
    for (GameObject* p : world.patrollers)
      if (p->active) consider(p->Position(), "any " + p->name, p, Arrival::None);

  if (best.what != goalWhat && verbose)
    std::printf("autopilot: %s at %.0f s: goal %s (%.0f, %.0f), cost %.1f, hp %d\n", result.level.c_str(),
                levelFrames / 60.0, best.cost < 0 ? "none" : best.what.c_str(), best.at.x, best.at.y, best.cost,
                player.hp);
  goalWhat = best.what;
  goalObject = best.object;
  goal = best.at;
  arrival = best.arrival;
  route = best.cost < 0 ? std::vector<Vec3>() : planner.PathTo(best.at);
}

bool Autopilot::Engage(GenericLevel& level) {
  const World& world = level.world;
  Vehicle& player = *g_play.player;
  const Vec3 me = player.Position();

  struct Target {
    GameObject* object = nullptr;
    int priority = 99;
    float distance = 0;
  } best;
  auto offer = [&](GameObject* object, int priority, float distance) {
    auto ignored = g_ignoreUntil.find(object);
    if (ignored != g_ignoreUntil.end() && ignored->second > levelFrames) return;
    if (priority < best.priority || (priority == best.priority && distance < best.distance))
      best = Target{object, priority, distance};
  };
  const bool hunting = Contains(goalWhat, "hunt") || Contains(goalWhat, "any ");
  for (GameObject* shooter : world.shooters) {
    // Only gunners named exactly ENEMY can be shot, and none in the boss level.
    if (!shooter->active || shooter->name != "ENEMY" || world.isBossLevel) continue;
    const float d = Distance(me, shooter->Position());
    if (d < SHOT_REACH && planner.ClearLine(me, shooter->Position(), 4.0f)) offer(shooter, 1, d);
  }
  for (GameObject* p : world.patrollers) {
    if (!p->active) continue;
    const float d = Distance(me, p->Position());
    const float reach = hunting ? SHOT_REACH : 420.0f;
    if (d < reach && planner.ClearLine(me, p->Position(), 4.0f)) offer(p, d < 220.0f ? 0 : 2, d);
  }
  if (best.object == nullptr) {
    // Sacks the route is about to pass.
    for (const Vec3& cell : planner.SacksAlong(me, route, 140.0f))
      for (GameObject* sack : world.sacks)
        if (sack->active && Distance(sack->Position(), cell) < 5.0f) {
          const float d = Distance(me, cell);
          if (planner.ClearLine(me, cell, 4.0f, false)) offer(sack, 3, d);
        }
  }
  if (!best.object) return false;

  // Lead a moving target by the shot's flight time.
  const float flight = best.distance / 5.0f;
  const Vec3 aim = best.object->Position() + best.object->velocity * flight;
  const float error = Wrap(std::atan2(aim.y - me.y, aim.x - me.x) - player.rotation);
  const float tolerance = std::clamp(std::atan2(14.0f, best.distance), 0.03f, 0.25f);
  wanted.clear();
  if (std::fabs(error) > 0.02f) Want(error > 0 ? SDL_SCANCODE_D : SDL_SCANCODE_A, true);
  // Too close to a chaser: back off while turning, it hurts on contact.
  if (best.priority == 0 && best.distance < 70.0f) Want(SDL_SCANCODE_S, true);
  if (std::fabs(error) < tolerance && oneShots.empty()) {
    if (player.cooldown <= 0.0f) Tap(SDL_SCANCODE_SPACE);
    if (player.weapons.size() > 0 && player.weapons[0] && player.weapons[0]->reloadRemaining <= 0.0)
      Tap(SDL_SCANCODE_Q);
    else if (player.weapons.size() > 1 && player.weapons[1] && player.weapons[1]->reloadRemaining <= 0.0)
      Tap(SDL_SCANCODE_E);
  }
  // A target that does not fall in half a minute is left alone for a while.
  static const GameObject* engaged = nullptr;
  static long engagedSince = 0;
  if (engaged != best.object) {
    engaged = best.object;
    engagedSince = levelFrames;
  } else if (levelFrames - engagedSince > 1800) {
    g_ignoreUntil[best.object] = levelFrames + 1800;
    engaged = nullptr;
  }
  lastCheckFrame = levelFrames; // standing still on purpose is not being stuck
  lastCheckPosition = me;
  lastCheckRotation = player.rotation;
  return true;
}

void Autopilot::Drive() {
  Vehicle& player = *g_play.player;
  const Vec3 me = player.Position();
  wanted.clear();

  if (reverseFrames > 0) {
    // Wedged: any move that keeps touching is taken back, and so is any turn. Straight
    // ahead first, then straight back, one of them parts the vehicle from what it touches.
    --reverseFrames;
    Want(reverseFrames >= 20 ? SDL_SCANCODE_W : SDL_SCANCODE_S, true);
    if (reverseFrames == 0) framesSinceReplan = 1000;
    return;
  }

  while (!route.empty() && Distance(me, route.front()) < 14.0f) route.erase(route.begin());
  if (route.empty()) {
    // At the goal's corner: close the last gap straight on when the goal is an object.
    if (!goalObject || Distance(me, goal) < 10.0f) return;
    route.push_back(goal);
  }
  // Head for the farthest of the next corners in plain view, cutting the grid's corners.
  Vec3 carrot = route.front();
  for (size_t k = 1; k < route.size() && k < 7; ++k) {
    if (!planner.ClearLine(me, route[k], VEHICLE_RADIUS)) break;
    carrot = route[k];
  }
  const float error = Wrap(std::atan2(carrot.y - me.y, carrot.x - me.x) - player.rotation);
  if (turningInPlace) {
    if (std::fabs(error) < 0.1f) turningInPlace = false;
  } else if (std::fabs(error) > 0.6f) {
    turningInPlace = true;
  }
  if (std::fabs(error) > 0.03f) Want(error > 0 ? SDL_SCANCODE_D : SDL_SCANCODE_A, true);
  if (!turningInPlace) Want(SDL_SCANCODE_W, true);

  // Held against something: neither moving nor turning for half a second.
  if (levelFrames - lastCheckFrame >= 30) {
    const float moved = Distance(me, lastCheckPosition);
    const float turned = std::fabs(Wrap(player.rotation - lastCheckRotation));
    if (moved < 6.0f && turned < 0.05f) {
      reverseFrames = 40;
      if (verbose) std::printf("autopilot: stuck at (%.0f, %.0f), backing off\n", me.x, me.y);
    }
    lastCheckFrame = levelFrames;
    lastCheckPosition = me;
    lastCheckRotation = player.rotation;
  }
}

void Autopilot::GarageSequence(GenericLevel& level) {
  auto* garage = dynamic_cast<WeaponSelect*>(level.screens.garage.get());
  if (!oneShots.empty()) return;
  if (--garageWait > 0) return;
  garageWait = 6;
  if (!garage || garageDone || garage->gunPalette.size() < 2 || garage->sideButtons.size() < 2) {
    Tap(SDL_SCANCODE_C); // nothing to fit (or done already): leave
    garageDone = true;
    return;
  }
  // The garage as the player sees it before each click and on leaving: FIRSTMOD's only.
  if (result.level == "FIRSTMOD") CaptureScreen(result.level + "_garage_" + std::to_string(garageStep));
  // A gun on each side: the rack's first for the left, its second for the right.
  switch (garageStep++) {
  case 0: Click(garage->gunPalette[0]->Position()); break;
  case 1: Click(garage->sideButtons[0]->Centre()); break;
  case 2: Click(garage->gunPalette[1]->Position()); break;
  case 3: Click(garage->sideButtons[1]->Centre()); break;
  default:
    Tap(SDL_SCANCODE_C);
    garageDone = true;
    garageStep = 0;
    if (verbose) {
      const auto& fitted = garage->FittedWeapons();
      std::printf("autopilot: garage left with %zu guns fitted (%s, %s)\n", fitted.size(),
                  fitted.size() > 0 && fitted[0] ? fitted[0]->name.c_str() : "-",
                  fitted.size() > 1 && fitted[1] ? fitted[1]->name.c_str() : "-");
    }
    break;
  }
}
