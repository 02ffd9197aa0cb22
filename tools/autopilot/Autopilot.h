#pragma once
#include <chrono>
#include <string>
#include <vector>

#include "pilot/Pilot.h"

class GameHarness;
class GenericLevel;

// Plays the whole running game through its input events only: the menu's buttons, every
// level of the campaign or the tutorial with the pilot's brain (src/pilot), the garage and
// the end screens. These are the hands: they step the loop frame by frame from outside
// through the test harness and push the brain's one event of each frame as an SDL event.
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
  std::string shotsFolder;             // screen captures of FIRSTMOD go here when set
  double shotEverySeconds = 5.0;
  Pilot brain;

private:
  // ---- hands -----------------------------------------------------------------------
  void Push(const PilotEvent& event);
  bool Frame(); // the brain's event of this frame, then one frame of the game
  bool WaitFrames(int count);

  // ---- the menu and the screens around the levels -------------------------------------
  bool ReachMenu();
  bool PressMenuButton(int index, int expectState);
  bool PlayUntilLeft(int state, std::vector<LevelResult>& results);

  static void Report(const LevelResult& r); // one line of the results, as each level ends
  void Capture();
  void CaptureScreen(const std::string& name); // the X screen as it shows now, into shotsFolder

  GameHarness& harness;
  std::chrono::steady_clock::time_point lastFocusAsk = std::chrono::steady_clock::now();
  int shotIndex = 0;
};
