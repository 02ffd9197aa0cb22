#pragma once
#include "core/Level.h"
#include "platform/Messages.h"
#include <memory>

// Where the game loop and the window reach into the subsystems above the core. The core
// cannot name them (they sit above it), so the game's top layer hands the loop an object
// that does each step. Every function is one step of start-up, the frame or shut-down,
// called at exactly that point; the base does nothing, which is what a loop without the
// rest of the game (a test's own states) needs.
class Subsystems {
public:
  virtual ~Subsystems() = default;

  // ---- start-up, in this order (after the window exists) ------------------------
  virtual void AddObjectSystems() {}    // GameObjectFactory, then Physics, appended to g_systems
  virtual void ListPlayableLevels() {}  // the level list of the level folder
  virtual void MakeBackgroundTiles() {} // the pool of grass tiles parked off the level
  virtual void CreateAudio() {}         // g_audio
  virtual void CreateOptionMenu() {}    // g_frontEnd.pausePanel, its corner at (g_screen.width - 40, 40, 0)
  virtual void InitTweakBars() {}       // the tweak-bar layer over the GL context
  virtual void ResetSoundSlots() {}     // g_soundSlots 1..15

  // ---- states -------------------------------------------------------------------
  // The object for ids 2-6 (the loop sets its id); null when the id has no screen.
  virtual std::unique_ptr<Level> MakeLevel(int /*stateId*/) { return nullptr; }
  virtual void ResetProgramCaches() {} // after each Load: the next graphic of each kind builds its program anew

  // ---- window procedure and frame -----------------------------------------------
  virtual bool TweakBarsTakeMessage(const PlatformMessage& /*message*/) { return false; } // true when the bars used it
  virtual void RebuildTweakBars() {} // the display size changed
  virtual void SilenceEffects() {}   // the window is going away: effects group and its volume to 0
  virtual void ShowPausePanel() {}   // clears the level overlay flags that hide the pause panel

  // ---- shut-down, in this order -----------------------------------------------------
  virtual void SilenceMusic() {} // option menu's music muted, music channel and volume 0
  virtual void FreeBackgroundTiles() {}
  virtual void DeletePrograms() {} // the shared sprite-sheet, line and basic programs
  virtual void TerminateTweakBars() {}
  virtual void ReleaseFrontEnd() {} // g_frontEnd.pausePanel and g_audio let go while the platform still runs
};
