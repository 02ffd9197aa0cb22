#pragma once
// Drives the real game loop frame by frame under Xvfb: the test installs its own
// states, pushes real SDL events (keys, mouse, window close), attaches a virtual game
// controller and runs frames until what it waits for has happened.
#include "core/GameLoop.h"
#include "core/Level.h"
#include "levels/PlayerRecords.h"
#include <SDL.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The window pixel where logical point (x, y) shows, by the current window size and mode.
void LogicalToWindowPixel(float x, float y, int& px, int& py);

// Back to the values a fresh process starts with: the loop, screen and input records, the
// pad, the options, the engine systems, the sound manager and slots, the play state, the
// campaign's world and the grass tiles.
void ResetGameGlobals();

class GameHarness {
public:
  GameHarness();  // resets the globals; frame pacing off; message boxes print only
  ~GameHarness(); // stops the loop if it still runs

  void Install(int stateId, GameLoop::LevelMaker make);
  template <class T> void Install(int stateId) {
    Install(stateId, [] { return std::make_unique<T>(); });
  }

  bool Start();              // start-up, then Settle; false when the loop could not start
  bool Frame(int count = 1); // false once the loop has ended
  // At least one frame, then frames until no message waits: everything pushed so far
  // has reached the game, whatever else the X server queued in between.
  bool Drain(int maxFrames = 200);
  bool FramesUntil(const std::function<bool()>& done, int maxFrames = 2000);
  // Frames until the window has the focus and no message has waited for 100 ms, so
  // that pushed input is the next thing the loop takes.
  void Settle(double maxSeconds = 5.0);
  void Stop();               // shut-down, whatever state the loop is in
  // The campaign level (STATE_LEVEL) behind a bare main menu, then Start.
  bool StartWithLevel();
  // Back to the menu while the window still exists, so that the level frees what it
  // drew with, then the texture cache and Stop.
  void LeaveLevelAndStop();

  // ---- input, queued as the platform would queue it ----------------------------------
  void Key(SDL_Scancode key, bool down, bool repeat = false);
  void TapKey(SDL_Scancode key); // press, drain, release, drain
  void MouseMove(int x, int y); // window pixels
  // Over the window pixel where the logical point shows: full screen keeps the picture's
  // shape, so on a display of another shape the picture sits between black bars.
  void MouseMoveToLogical(float x, float y);
  void MouseButton(int sdlButton, bool down);
  void ClickLogical(float x, float y); // move there, press and release the left button, each drained
  void MouseWheel(int y);        // up when positive
  void CloseWindow();            // as the window manager's close button does
  int PendingMessages() const;

  SDL_Window* Sdl() const;
  GameLoop loop;
  bool running = false;

private:
  int pointerX = 0; // window pixels of the last MouseMove, carried by button events
  int pointerY = 0;
  std::string savedOptionsPath; // OptionsPath() before this harness pointed it at its own file
  std::string savedControlsPath;
  std::string optionsFolder;
  RecordPaths savedRecordPaths; // the player's records before this harness pointed them at its folder
  std::string savedReplayFolder;
};

// A virtual game controller attached for the test's lifetime (or until Detach).
// Needs the platform started (GameHarness::Start).
class VirtualPad {
public:
  VirtualPad();
  ~VirtualPad();
  void Detach();
  bool Attached() const { return joystick != nullptr; }
  void Button(SDL_GameControllerButton button, bool down);
  void Axis(SDL_GameControllerAxis axis, Sint16 value);

  int lowSpeed = -1;   // motor speeds of the last rumble request, -1 before any
  int highSpeed = -1;
  int rumbleRequests = 0;

private:
  int deviceIndex = -1;
  SDL_Joystick* joystick = nullptr;
};

// A scratch tree (Assets/, shaders/, run/) whose run/ folder is the working directory
// for the object's lifetime, so that ../Assets paths read the test's own files.
class ScratchTree {
public:
  ScratchTree();
  ~ScratchTree();
  void Write(const std::string& relative, const std::string& content) const;
  std::string root;

private:
  std::string previousDirectory;
};

// A state that records its slot calls and runs the test's hooks.
class RecordingLevel : public Level {
public:
  explicit RecordingLevel(std::shared_ptr<std::vector<std::string>> log) : calls(std::move(log)) {}
  ~RecordingLevel() override { Note("~"); }
  void Load() override { Note("Load"); }
  void Initialize() override { Note("Initialize"); }
  void Update() override {
    Note("Update");
    if (onUpdate) onUpdate(*this);
  }
  void Draw() override { Note("Draw"); }
  void Free() override { Note("Free"); }
  void Unload() override { Note("Unload"); }

  std::function<void(RecordingLevel&)> onUpdate;
  std::shared_ptr<std::vector<std::string>> calls;

private:
  void Note(const std::string& slot) { calls->push_back(std::to_string(stateId) + ":" + slot); }
};
