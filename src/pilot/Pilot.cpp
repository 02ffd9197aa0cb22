#include "pilot/Pilot.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "core/GameState.h"
#include "levels/FrontEnd.h"
#include "levels/GenericLevel.h"
#include "levels/TutorialLevel.h"
#include "objects/GameObject.h"
#include "objects/NPC.h"
#include "objects/Vehicle.h"
#include "objects/Weapon.h"
#include "objects/World.h"
#include "platform/Focus.h"
#include "platform/KeyCodes.h"
#include "screens/WeaponSelect.h"
#include "screens/WinLoseScreen.h"

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

} // namespace

// ============================================================================
// Input
// ============================================================================

void Pilot::Want(int key, bool down) {
  if (down) wanted.insert(key);
  else wanted.erase(key);
}

void Pilot::Tap(int key) {
  PilotEvent e;
  e.kind = PilotEvent::Kind::KeyDown;
  e.key = key;
  oneShots.push_back(e);
  e.kind = PilotEvent::Kind::KeyUp;
  oneShots.push_back(e);
}

void Pilot::Click(const Vec3& logical) {
  PilotEvent e;
  e.kind = PilotEvent::Kind::MouseMove;
  e.at = logical;
  oneShots.push_back(e);
  e.kind = PilotEvent::Kind::ButtonDown;
  oneShots.push_back(e);
  e.kind = PilotEvent::Kind::ButtonUp;
  oneShots.push_back(e);
}

void Pilot::ReleaseAll() { wanted.clear(); }

void Pilot::DropTaps() { oneShots.clear(); }

bool Pilot::NextEvent(PilotEvent& out) {
  auto choose = [&]() -> bool {
    for (int key : held)
      if (!wanted.count(key)) {
        out = PilotEvent{PilotEvent::Kind::KeyUp, key, Vec3()};
        held.erase(key);
        return true;
      }
    auto oneShot = [&] {
      if (oneShots.empty()) return false;
      out = oneShots.front();
      oneShots.pop_front();
      return true;
    };
    auto press = [&] {
      for (int key : wanted)
        if (!held.count(key)) {
          out = PilotEvent{PilotEvent::Kind::KeyDown, key, Vec3()};
          held.insert(key);
          return true;
        }
      return false;
    };
    // Taps and held keys take turns, so neither starves the other.
    if (totalFrames % 2 == 0) return oneShot() || press();
    return press() || oneShot();
  };
  const bool any = choose();
  ++totalFrames;
  ++levelFrames;
  return any;
}

// ============================================================================
// A level
// ============================================================================

void Pilot::StartLevel(GenericLevel& level, int attempt) {
  stagePath = level.levelPath;
  result = LevelResult();
  result.level = LevelName(stagePath);
  result.attempts = attempt;
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
  ignoreUntil.clear();
  oneShots.clear();
  ReleaseAll();
  if (verbose) std::printf("autopilot: %s begins\n", result.level.c_str());
}

LevelResult Pilot::Standing(const GenericLevel& level) const {
  LevelResult now = result;
  now.frames = levelFrames;
  now.hp = g_play.player ? g_play.player->hp : 0;
  now.stars = g_play.score;
  now.thermometer = PizzaCarried(level) ? std::clamp(g_play.thermometer, 0.0f, 1.0f) : 0.0f;
  now.total = WinLoseScreen::TotalScore(now.thermometer, g_play.score);
  return now;
}

void Pilot::FinishLevel(GenericLevel& level, bool won, const std::string& note) {
  result = Standing(level);
  result.won = won;
  result.note = note;
  finished = true;
  ReleaseAll();
  oneShots.clear();
}

// ============================================================================
// Thinking
// ============================================================================

void Pilot::Think(GenericLevel& level) {
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
      Tap(KEY_C);
      overlayWait = 15;
    }
    return;
  }
  if (g_loop.paused) {
    // The pause panel: the window lost the focus for a moment.
    ReleaseAll();
    if (oneShots.empty() && HasKeyboardFocus() && --overlayWait <= 0) {
      Tap(KEY_ESCAPE);
      overlayWait = 30;
    }
    return;
  }

  if (++framesSinceReplan >= 20) Replan(level);
  if (verbose && levelFrames % 120 == 0) {
    const double now = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    const double real = verboseClock < 0 ? 0.0 : now - verboseClock;
    verboseClock = now;
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
        Tap(KEY_C);
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


void Pilot::Replan(GenericLevel& level) {
  framesSinceReplan = 0;
  const World& world = level.world;
  planner.Read(world, g_play.player->Position());
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


void Pilot::ChooseGoal(GenericLevel& level) {
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
  // 7. The way out: a portal or the road's end (in the tutorial, the portal first, when the
  // stage has one: a designer's level played from the editor may have none).
  if (!tierDone()) {
    const bool portalTaken = tutorial && level.levelPath != stagePath;
    const bool portalFirst =
        tutorial && !portalTaken && std::any_of(world.gates.begin(), world.gates.end(), IsPortal);
    for (GameObject* gate : world.gates)
      if (gate->active && IsPortal(gate) && !portalTaken) consider(gate->Position(), gate->name, gate, Arrival::None);
    if (!portalFirst)
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


bool Pilot::Engage(GenericLevel& level) {
  const World& world = level.world;
  Vehicle& player = *g_play.player;
  const Vec3 me = player.Position();

  struct Target {
    GameObject* object = nullptr;
    int priority = 99;
    float distance = 0;
  } best;
  auto offer = [&](GameObject* object, int priority, float distance) {
    auto ignored = ignoreUntil.find(object);
    if (ignored != ignoreUntil.end() && ignored->second > levelFrames) return;
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
  if (std::fabs(error) > 0.02f) Want(error > 0 ? KEY_D : KEY_A, true);
  // Too close to a chaser: back off while turning, it hurts on contact.
  if (best.priority == 0 && best.distance < 70.0f) Want(KEY_S, true);
  if (std::fabs(error) < tolerance && oneShots.empty()) {
    if (player.cooldown <= 0.0f) Tap(KEY_SPACE);
    if (player.weapons.size() > 0 && player.weapons[0] && player.weapons[0]->reloadRemaining <= 0.0)
      Tap(KEY_Q);
    else if (player.weapons.size() > 1 && player.weapons[1] && player.weapons[1]->reloadRemaining <= 0.0)
      Tap(KEY_E);
  }
  // A target that does not fall in half a minute is left alone for a while.
  if (engaged != best.object) {
    engaged = best.object;
    engagedSince = levelFrames;
  } else if (levelFrames - engagedSince > 1800) {
    ignoreUntil[best.object] = levelFrames + 1800;
    engaged = nullptr;
  }
  lastCheckFrame = levelFrames; // standing still on purpose is not being stuck
  lastCheckPosition = me;
  lastCheckRotation = player.rotation;
  return true;
}


void Pilot::Drive() {
  Vehicle& player = *g_play.player;
  const Vec3 me = player.Position();
  wanted.clear();

  if (reverseFrames > 0) {
    // Wedged: any move that keeps touching is taken back, and so is any turn. Straight
    // ahead first, then straight back, one of them parts the vehicle from what it touches.
    --reverseFrames;
    Want(reverseFrames >= 20 ? KEY_W : KEY_S, true);
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
  if (std::fabs(error) > 0.03f) Want(error > 0 ? KEY_D : KEY_A, true);
  if (!turningInPlace) Want(KEY_W, true);

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


void Pilot::GarageSequence(GenericLevel& level) {
  auto* garage = dynamic_cast<WeaponSelect*>(level.screens.garage.get());
  if (!oneShots.empty()) return;
  if (--garageWait > 0) return;
  garageWait = 6;
  if (!garage || garageDone || garage->gunPalette.size() < 2 || garage->sideButtons.size() < 2) {
    Tap(KEY_C); // nothing to fit (or done already): leave
    garageDone = true;
    return;
  }
  // The garage as the player sees it before each click and on leaving: FIRSTMOD's only.
  if (onMoment) onMoment(result.level + "_garage_" + std::to_string(garageStep));
  // A gun on each side: the rack's first for the left, its second for the right.
  switch (garageStep++) {
  case 0: Click(garage->gunPalette[0]->Position()); break;
  case 1: Click(garage->sideButtons[0]->Centre()); break;
  case 2: Click(garage->gunPalette[1]->Position()); break;
  case 3: Click(garage->sideButtons[1]->Centre()); break;
  default:
    Tap(KEY_C);
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
