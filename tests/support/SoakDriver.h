#pragma once
// Plays the real game with seeded random input, as a restless player would: keys held and
// tapped, clicks and drags anywhere, pad buttons and sticks, focus lost and regained, F11,
// F12, window resizes. A tour moves it through every state, by the menu's own ways where it
// has them and by the states' requests where it does not. The soak and the damaged-content
// test share it; both run the game over a scratch copy of Assets (the end screen writes
// Highscore.txt, the editor its levels).
#include "support/GameHarness.h"
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

// What a soak saw, for the report and for the checks.
struct SoakCounts {
  long frames = 0;
  int glErrors = 0;           // frames after which glGetError was not GL_NO_ERROR
  std::string firstGlError;   // the first such error and the state it came in
  int gameRuns = 0;           // start-ups (the player may quit through the menu)
  int wins = 0;
  int losses = 0;
  int editorSaves = 0;        // SERIALIZE clicks that wrote the scratch level's two files
  int editorLoads = 0;        // UNSERIALIZE clicks that read it back
  std::map<int, long> framesInState; // by state id
};

class SoakDriver {
public:
  explicit SoakDriver(uint32_t seed);
  ~SoakDriver();

  // Starts the game (again after a quit). False when the loop could not start.
  bool Start();
  void Stop();
  // One frame with this frame's random input; restarts the game when it has ended.
  // False only when it could not be restarted.
  bool Step();
  // Random frames for a while in each state the tour visits, until `seconds` have passed.
  bool Tour(double seconds);
  // Frames with random input until done() or maxFrames; the tour's states stay where they are.
  bool StepsUntil(const std::function<bool()>& done, int maxFrames);
  // `frames` frames of random input; false only when the game could not be restarted.
  bool Play(int frames);
  // Requests a state for the next frame's end, as a state's own code does.
  void Request(int stateId);
  // Requests stateId, then plays `frames` random frames once it runs. False when it was
  // not reached (the game may have ended on the way).
  bool Visit(int stateId, int frames);
  // Every state in turn, `frames` random frames each: the menu, the campaign to its end
  // screen and a restart, the garage, the tutorial, the editor.
  bool VisitEveryState(int frames);
  // In the editor: the SERIALIZE button under the level name `name`, then UNSERIALIZE,
  // both clicked as a designer clicks them. Never give it a shipped level's name.
  bool EditorSaveAndLoad(const std::string& name);

  // Live GL textures, by probing names up to the next one GL would hand out.
  static int LiveTextureCount();
  // Live GL buffers, vertex arrays and programs, for the report.
  static std::string LiveGlObjects();
  // Resident set size in kilobytes.
  static long ResidentKilobytes();

  // Lets go of every held key, button and drag and gives the window its focus back, so
  // that scripted steps after random input are the only input (a key sent to a window
  // without the focus is lost, as on a desktop).
  void Settle();

  // Random input may quit through the menu or the pause panel (the game then restarts).
  // Off: no clicks, pad buttons or Escape, only keys, moves and sticks.
  bool allowQuit = true;
  // Random input may switch full screen (F12), resize the window and take its focus away
  // (the focus coming back re-applies the display mode). Off while memory is measured: the
  // driver's framebuffers follow the window's size.
  bool allowWindowChanges = true;
  // Each time the tour leaves the editor it saves and reloads this level (empty: never).
  std::string editorScratchLevel;
  SoakCounts counts;
  std::unique_ptr<GameHarness> game;

private:
  void RandomInput();
  void ReleaseHeld();
  void LoseFocus();
  void CheckGl();
  void VisitNextState();
  void ClickEditorButton(const std::string& name);
  int CurrentState() const;

  std::mt19937 random;
  std::unique_ptr<VirtualPad> pad;
  struct Held {
    int scancode;
    int framesLeft;
  };
  std::vector<Held> heldKeys;
  int dragFramesLeft = 0;
  int focusFramesLeft = 0; // frames until the focus comes back
  int phaseFramesLeft = 0;
  bool lastWon = false;
  bool lastLost = false;
  void* xDisplay = nullptr; // the X connection that moves the focus away
};
