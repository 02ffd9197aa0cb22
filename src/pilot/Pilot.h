#pragma once
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/Vec3.h"
#include "pilot/Planner.h"

class GameObject;
class GenericLevel;

// The autopilot's brain: it plays a running level as a player would, through input alone.
// Each frame it reads where things are from the level's world (never writes it), plans a
// route over the level's cells, chooses what to go for next (mending, stars, the garage,
// characters to talk to, the pizza, kills a gate counts, the way out), drives along the
// route, shoots what stands in the way and works the garage's buttons. What it decides
// comes out as at most one input event a frame (PilotEvent); whoever steps the game (the
// autopilot tool through the test harness, or the editor's proving run inside the loop)
// hands that event to the game before the frame's update, as the platform's pump would.

// One level played to its end (or given up).
struct LevelResult {
  std::string level;      // "FIRSTMOD", "TUTSHOOT", ...
  bool won = false;
  long frames = 0;        // from the level's build to its end
  int hp = 0;
  int stars = 0;
  float thermometer = 0;  // the warmth that counts for the score (0 without the pizza)
  int total = 0;          // the end screen's total score
  int attempts = 1;
  std::string note;       // how it ended when not at the END or a portal
};

// One input event, as the game's pump takes one a frame.
struct PilotEvent {
  enum class Kind { KeyDown, KeyUp, MouseMove, ButtonDown, ButtonUp };
  Kind kind = Kind::KeyDown;
  int key = 0; // the game's key code (platform/KeyCodes.h) for key events
  Vec3 at;     // logical pixels for a mouse move; buttons are the left one, where the pointer is
};

class Pilot {
public:
  // ---- a level -------------------------------------------------------------------------
  // A fresh build of `level` begins, as the attempt-th try at it: everything learnt about
  // the last one is dropped.
  void StartLevel(GenericLevel& level, int attempt = 1);
  // This frame's decisions: which keys are down, which taps and clicks follow.
  void Think(GenericLevel& level);
  // The result is taken as the level stands now; no more decisions until the next StartLevel.
  void FinishLevel(GenericLevel& level, bool won, const std::string& note);
  // The result as it would read if the level ended now (frames so far, hp, stars, score).
  LevelResult Standing(const GenericLevel& level) const;

  const LevelResult& Result() const { return result; }
  bool Finished() const { return finished; }
  long LevelFrames() const { return levelFrames; }
  const std::string& StagePath() const { return stagePath; } // the file the level was built from
  bool HasGoal() const { return !goalWhat.empty(); }          // the last plan found something to go for
  const std::vector<Vec3>& PlannedRoute() const { return route; }

  // ---- input ---------------------------------------------------------------------------
  void Tap(int key);              // a press and its release, after the taps already queued
  void Click(const Vec3& logical); // the pointer there, then a left press and release
  void ReleaseAll();              // no key wanted down (releases follow, one a frame)
  void DropTaps();                // forget the queued taps and clicks
  bool TapsPending() const { return !oneShots.empty(); }
  // The one event of this frame, if any: releases first (a key held a frame too long drives
  // into walls), then taps and held keys by turns. Call exactly once per game frame: it
  // also counts the frame.
  bool NextEvent(PilotEvent& out);

  bool verbose = false; // a line on standard output for each goal, each stuck moment, every 2 s
  // Called at moments worth a picture (each step of the garage), with a name for it.
  std::function<void(const std::string& name)> onMoment;

private:
  void Want(int key, bool down);
  void Replan(GenericLevel& level);
  void ChooseGoal(GenericLevel& level);
  bool Engage(GenericLevel& level);
  void Drive();
  void GarageSequence(GenericLevel& level);

  std::set<int> held;              // what the game has been told is down
  std::set<int> wanted;            // what this frame wants down
  std::deque<PilotEvent> oneShots; // taps and clicks, in order
  long totalFrames = 0;            // frames since the pilot began, for the turns of NextEvent

  // ---- per level -----------------------------------------------------------------------
  Planner planner;
  std::string stagePath;
  LevelResult result;
  bool finished = false;
  long levelFrames = 0;
  long framesSinceReplan = 1000;
  std::vector<Vec3> route;
  Vec3 goal;
  std::string goalWhat;
  GameObject* goalObject = nullptr;
  enum class Arrival { None, Garage, Talk } arrival = Arrival::None;
  bool garageDone = false;
  bool garageBusy = false;
  int garageStep = 0;
  int garageWait = 0;
  std::set<std::string> talkedTo;
  const GameObject* talkingTo = nullptr;
  int overlayWait = 0;
  // Unsticking: the vehicle backs off when held against something.
  Vec3 lastCheckPosition;
  float lastCheckRotation = 0;
  long lastCheckFrame = 0;
  int reverseFrames = 0;
  bool turningInPlace = false;
  // Targets given up on, until that frame; the one being fired at and since when.
  std::map<const GameObject*, long> ignoreUntil;
  const GameObject* engaged = nullptr;
  long engagedSince = 0;
  double verboseClock = -1.0; // wall seconds at the last progress line
};
