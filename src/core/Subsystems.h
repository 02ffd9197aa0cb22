#pragma once
#include "platform/Messages.h"
#include <memory>

class Level;

// Where the game loop and the window reach into the other subsystems. Each function is
// one step of start-up, the frame or shut-down, called at exactly that point; the
// subsystem it names does its part of the step inside.
namespace Subsystems {

// ---- start-up, in this order (after the window exists) --------------------------
void AddObjectSystems();      // GameObjectFactory, then Physics, appended to g_systems
void ListPlayableLevels();    // the level list of the level folder
void MakeBackgroundTiles();   // the pool of grass tiles parked off the level
void CreateAudio();           // g_audio
void CreateOptionMenu();      // g_optionMenu, its corner at (g_screenWidth - 40, 40, 0)
void InitTweakBars();         // the tweak-bar layer over the GL context
void ResetSoundSlots();       // g_soundSlots 1..15

// ---- states -------------------------------------------------------------------
std::unique_ptr<Level> MakeLevel(int stateId); // the object for ids 2-6, its own id set
void ResetProgramCaches();    // after each Load: the next graphic of each kind builds its program anew

// ---- window procedure and frame -----------------------------------------------
bool TweakBarsTakeMessage(const PlatformMessage& message); // true when the bars used it
void RebuildTweakBars();      // the display size changed
void SilenceEffects();        // the window is going away: effects group and its volume to 0
void ShowPausePanel();        // clears the level overlay flags that hide the pause panel

// ---- shut-down, in this order -----------------------------------------------------
void SilenceMusic();          // option menu's music muted, music channel and volume 0
void FreeBackgroundTiles();
void DeletePrograms();        // the shared sprite-sheet, line and basic programs
void TerminateTweakBars();
void ReleaseFrontEnd();       // g_optionMenu and g_audio let go while the platform still runs

} // namespace Subsystems
