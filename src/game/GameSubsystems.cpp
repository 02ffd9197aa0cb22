#include "game/GameSubsystems.h"
#include "game/ReplayCommand.h"
#include "audio/Audio.h"
#include "core/GameLoop.h"
#include "core/GameState.h"
#include "core/Level.h"
#include "core/System.h"
#include "core/Window.h"
#include "editor/Editor.h"
#include "game/CommandLine.h"
#include "levels/FrontEnd.h"
#include "levels/GenericLevel.h"
#include "levels/LevelFile.h"
#include "levels/Replay.h"
#include "levels/TutorialLevel.h"
#include "objects/GameObjectFactory.h"
#include "objects/Physics.h"
#include "objects/WorldRules.h"
#include "pilot/Prove.h"
#include "platform/TweakBar.h"
#include "render/Shader.h"
#include "screens/MainMenu.h"
#include "screens/OptionMenu.h"
#include "screens/UserLevel.h"
#include "screens/WeaponSelect.h"
#include "screens/WinLoseScreen.h"
#include <GL/glew.h>

namespace {

std::string s_firstLevelPath; // the level the command line plays first; empty once made

class GameSubsystems : public Subsystems {
public:
  void AddObjectSystems() override {
    g_systems.push_back(std::make_shared<GameObjectFactory>());
    g_systems.push_back(std::make_shared<Physics>());
  }
  void ListPlayableLevels() override { ListLevels(); }
  void MakeBackgroundTiles() override { CreateBackgroundTiles(); }
  void CreateAudio() override { g_audio = std::make_shared<Audio>(); }
  void InitTweakBars() override { TwInit(); }
  void ResetSoundSlots() override { ::ResetSoundSlots(); }
  // The pause panel, and the garage and end screen the playing levels open over their world.
  void CreateOptionMenu() override {
    InstallFrontEndScreens();
    // Start-up goes on without a GL context only to end cleanly; pictures cannot be made then.
    if (!glGenVertexArrays) return;
    g_frontEnd.pausePanel = std::make_shared<OptionMenu>(Vec3(g_screen.width - 40.0f, 40.0f, 0.0f));
  }

  // The state table. The tutorial's object also gets its level file.
  std::unique_ptr<Level> MakeLevel(int stateId) override {
    if ((stateId == STATE_LEVEL || stateId == STATE_TUTORIAL) && ReplayPending()) {
      // A run of MY LEVELS plays again by MY LEVELS' rules, or its portals would lead elsewhere.
      if (PendingReplay()->ownLevel)
        return std::make_unique<UserLevel>(LevelNameOf(PendingReplay()->levelPath), AfterUserLevel::MyLevels);
      return MakeReplayLevel();
    }
    switch (stateId) {
    case STATE_MAIN_MENU: return std::make_unique<MainMenu>();
    case STATE_LEVEL:
      if (UserLevelRequested()) return MakeUserLevel(); // a level of MY LEVELS, not the campaign
      return MakeCampaignLevel();
    case STATE_EDITOR: return std::make_unique<Editor>();
    case STATE_WEAPON_SELECT: return std::make_unique<WeaponSelect>();
    case STATE_TUTORIAL:
      if (ProveRequested()) return MakeProveLevel(); // F9 in the editor: the autopilot plays the level
      return std::make_unique<TUTORIAL_LEVEL::TutorialLevel>("../Assets/Levels/TUTORIAL.txt");
    default: return nullptr; // not a state
    }
  }

  // The campaign, or once the level the command line named: it plays as the campaign's last
  // level, so that its win leads to the menu and its loss replays it.
  static std::unique_ptr<Level> MakeCampaignLevel() {
    auto level = std::make_unique<GenericLevel>();
    if (!s_firstLevelPath.empty()) {
      level->levelIndex = 2;
      level->levelPaths[2] = level->levelPath = s_firstLevelPath;
      s_firstLevelPath.clear();
    }
    return level;
  }

  void ResetProgramCaches() override { ResetStateProgramCaches(); }

  bool TweakBarsTakeMessage(const PlatformMessage& message) override { return TwEventHandler(message.native); }
  void RebuildTweakBars() override { RebuildEditorBars(); }
  void SilenceEffects() override {
    if (g_audio) g_audio->SetEffectsVolume(0.0f);
  }
  void ShowPausePanel() override {
    g_frontEnd.garageOpen = g_frontEnd.helpOpen = g_frontEnd.tutorialGarageOpen = g_frontEnd.tutorialHelpOpen = false;
  }

  void SilenceMusic() override {
    if (g_frontEnd.pausePanel) g_frontEnd.pausePanel->MuteMusic();
    if (g_audio) g_audio->SetMusicVolume(0.0f);
  }
  void FreeBackgroundTiles() override { DestroyBackgroundTiles(); }
  void DeletePrograms() override { DeleteSharedPrograms(); }
  void TerminateTweakBars() override { TwTerminate(); }
  void ReleaseFrontEnd() override {
    g_frontEnd.pausePanel.reset();
    ReleaseMenuPictures();
    g_frontEnd = FrontEnd();
    g_audio.reset();
  }

};

} // namespace

std::shared_ptr<Subsystems> MakeGameSubsystems() { return std::make_shared<GameSubsystems>(); }

void PlayLevelFirst(const std::string& path) { s_firstLevelPath = path; }

int RunGame(int argc, char** argv) {
  const LaunchOptions options = ParseCommandLine(std::vector<std::string>(argv + (argc > 0), argv + argc));
  if (options.exitCode >= 0) return options.exitCode;
  if (!options.replay.empty()) return RunReplayCommand(options.replay, options.check);
  GameLoop loop;
  loop.subsystems = MakeGameSubsystems();
  ApplyLaunchOptions(options, loop);
  return loop.Run();
}
