#pragma once
#include <SDL.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "Planner.h"
#include "core/Vec3.h"

class GameHarness;
class GameObject;
class GenericLevel;

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

// Plays the running game through its input events only: keys, and the mouse on the menu,
// the garage and the end screens. It reads where things are from the running level's
// world (never writes it), plans routes over the level's cells, drives along them, shoots
// what stands in the way and meets each level's gate rules in the order the map needs.
class Autopilot {
public:
  explicit Autopilot(GameHarness& harness);

  // From the main menu: the campaign's button, FIRSTMOD, SECOND, BOSS and their end screens,
  // back to the menu. One result per level (a lost level is replayed, up to `maxAttempts`).
  bool PlayCampaign(std::vector<LevelResult>& results);
  // From the main menu: the tutorial's button and its three stages back to the menu.
  bool PlayTutorial(std::vector<LevelResult>& results);

  int maxAttempts = 3;
  long maxLevelFrames = 60L * 60 * 15; // a level that takes longer is given up
  bool verbose = false;
  std::string shotsFolder;             // screen captures of FIRSTMOD go here when set
  double shotEverySeconds = 5.0;

private:
  // ---- hands -----------------------------------------------------------------------
  void Want(SDL_Scancode key, bool down);
  void Tap(SDL_Scancode key);
  void Click(const Vec3& logical);
  void ReleaseAll();
  void PushOneEvent(); // the game takes one message a frame: never queue ahead of it
  bool Frame();        // one frame of the game after this frame's event
  bool WaitFrames(int count);

  // ---- the menu and the screens around the levels -------------------------------------
  bool ReachMenu();
  bool PressMenuButton(int index, int expectState);
  bool PlayUntilLeft(int state, std::vector<LevelResult>& results);
  void ClickEndButton();

  // ---- a level -----------------------------------------------------------------------
  void StartLevel(GenericLevel& level);
  void Think(GenericLevel& level);
  void Replan(GenericLevel& level);
  void ChooseGoal(GenericLevel& level);
  bool Engage(GenericLevel& level);
  void Drive();
  void GarageSequence(GenericLevel& level);
  void FinishLevel(GenericLevel& level, bool won, const std::string& note);
  static void Report(const LevelResult& r); // one line of the results, as each level ends
  void Capture();
  void CaptureScreen(const std::string& name); // the X screen as it shows now, into shotsFolder

  GameHarness& harness;
  std::set<SDL_Scancode> held;     // what the game has been told is down
  std::set<SDL_Scancode> wanted;   // what this frame wants down
  std::deque<SDL_Event> oneShots;  // taps and clicks, in order

  // ---- per level -----------------------------------------------------------------------
  Planner planner;
  GenericLevel* current = nullptr;
  std::string stagePath;           // the level file the running build came from
  LevelResult result;
  bool finished = false;           // the result of this level has been taken
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
  double nextShotAt = 0;
  int shotIndex = 0;
  long totalFrames = 0;
};
