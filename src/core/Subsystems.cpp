#include "core/Subsystems.h"
#include "core/GameState.h"
#include "core/PlaceholderStates.h"
#include "core/Level.h"

namespace Subsystems {

void AddObjectSystems() {}
void ListPlayableLevels() {}
void MakeBackgroundTiles() {}
void CreateAudio() {}
void CreateOptionMenu() {}
void InitTweakBars() {}
void ResetSoundSlots() {}

// The tutorial's object also gets its level file, "../Assets/Levels/TUTORIAL.txt".
std::unique_ptr<Level> MakeLevel(int stateId) {
  std::unique_ptr<Level> level = MakePlaceholderState(stateId);
  if (level) level->stateId = stateId;
  return level;
}

void ResetProgramCaches() {}

bool TweakBarsTakeMessage(const PlatformMessage&) { return false; }
void RebuildTweakBars() {}
void SilenceEffects() {}
void ShowPausePanel() {}

void SilenceMusic() {}
void FreeBackgroundTiles() {}
void DeletePrograms() {}
void TerminateTweakBars() {}
void ReleaseFrontEnd() {}

} // namespace Subsystems
