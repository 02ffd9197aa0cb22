#include "core/Subsystems.h"
#include "core/GameState.h"
#include "core/PlaceholderStates.h"
#include "core/Level.h"
#include "core/System.h"
#include "audio/Audio.h"
#include "levels/LevelFile.h"
#include "objects/GameObjectFactory.h"
#include "objects/Physics.h"
#include "platform/TweakBar.h"
#include "render/Shader.h"

namespace Subsystems {

void AddObjectSystems() {
  g_systems.push_back(std::make_shared<GameObjectFactory>());
  g_systems.push_back(std::make_shared<Physics>());
}

void ListPlayableLevels() { ListLevels(); }
void MakeBackgroundTiles() {}
void CreateAudio() { g_audio = std::make_shared<Audio>(); }
void CreateOptionMenu() {}
void InitTweakBars() { TwInit(); }
void ResetSoundSlots() { ::ResetSoundSlots(); }

// The tutorial's object also gets its level file, "../Assets/Levels/TUTORIAL.txt".
std::unique_ptr<Level> MakeLevel(int stateId) {
  std::unique_ptr<Level> level = MakePlaceholderState(stateId);
  if (level) level->stateId = stateId;
  return level;
}

void ResetProgramCaches() { ResetStateProgramCaches(); }

bool TweakBarsTakeMessage(const PlatformMessage& message) { return TwEventHandler(message.native); }
void RebuildTweakBars() {}
void SilenceEffects() {
  if (g_audio) g_audio->SetEffectsVolume(0.0f);
}
void ShowPausePanel() {}

void SilenceMusic() {
  if (g_audio) g_audio->SetMusicVolume(0.0f);
}
void FreeBackgroundTiles() {}
void DeletePrograms() { DeleteSharedPrograms(); }
void TerminateTweakBars() { TwTerminate(); }
void ReleaseFrontEnd() { g_audio.reset(); }

} // namespace Subsystems
