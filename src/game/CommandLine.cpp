#include "game/CommandLine.h"
#include "levels/OwnLevels.h"
#include "screens/UserLevel.h"
#include "core/GameLoop.h"
#include "core/GameState.h"
#include "editor/Editor.h"
#include "game/GameSubsystems.h"
#include <cstdio>
#include <filesystem>

namespace {

const char* LEVEL_FOLDER_PATH = "../Assets/Levels/";

enum class Argument { None, Required, Optional };

// One flag: its argument, its line of help, and what it asks of the run.
struct Flag {
  const char* name;
  Argument argument;
  const char* argumentName;
  const char* help;
  void (*apply)(LaunchOptions& options, const std::string& argument);
};

std::string LevelPath(const std::string& name) { return LEVEL_FOLDER_PATH + name + ".txt"; }

// A level is named as the menu and the editor name it: a file of the level folder, no path.
bool LevelMissing(LaunchOptions& options, const std::string& name) {
  std::error_code ec;
  if (name.find('/') == std::string::npos && std::filesystem::is_regular_file(LevelPath(name), ec)) return false;
  std::fprintf(stderr, "Kvo: there is no level %s in %s; %s\n", name.c_str(), LEVEL_FOLDER_PATH, Usage().c_str());
  options.exitCode = 2;
  return true;
}

void PrintHelp();

const Flag FLAGS[] = {
    {"--help", Argument::None, "", "print this help and end",
     [](LaunchOptions& o, const std::string&) {
       PrintHelp();
       o.exitCode = 0;
     }},
    {"--version", Argument::None, "", "print the version and end",
     [](LaunchOptions& o, const std::string&) {
       std::printf("Kvo %s\n", KVO_VERSION);
       o.exitCode = 0;
     }},
    {"--windowed", Argument::None, "", "play in a 1280 x 720 window this time",
     [](LaunchOptions& o, const std::string&) { o.fullscreen = 0; }},
    {"--fullscreen", Argument::None, "", "play in full screen this time",
     [](LaunchOptions& o, const std::string&) { o.fullscreen = 1; }},
    {"--level", Argument::Required, "NAME", "play the level NAME at once, then the menu",
     [](LaunchOptions& o, const std::string& name) {
       if (!LevelMissing(o, name)) o.level = name;
     }},
    {"--editor", Argument::Optional, "NAME", "open the level editor, on the level NAME if given",
     [](LaunchOptions& o, const std::string& name) {
       if (!name.empty() && LevelMissing(o, name)) return;
       o.editor = true;
       o.editorLevel = name;
     }},
    {"--replay", Argument::Required, "FILE", "play the run recorded in FILE, then end",
     [](LaunchOptions& o, const std::string& file) { o.replay = file; }},
    {"--check", Argument::None, "", "with --replay: no waiting; exit 0 if the outcome is the recorded one, else 1",
     [](LaunchOptions& o, const std::string&) { o.check = true; }},
};

std::string FlagUsage(const Flag& flag) {
  std::string text = flag.name;
  if (flag.argument == Argument::Required) text += std::string(" ") + flag.argumentName;
  if (flag.argument == Argument::Optional) text += std::string(" [") + flag.argumentName + "]";
  return text;
}

void PrintHelp() {
  std::printf("%s\n\nA top-down action game: deliver the pizza in an armed tank.\n\n", Usage().c_str());
  for (const Flag& flag : FLAGS) std::printf("  %-20s %s\n", FlagUsage(flag).c_str(), flag.help);
  std::printf("\nThe game plays from the folder it is started in: ../Assets holds its content and\n"
              "the player's files (options, controls, highscores, levels).\n");
}

} // namespace

std::string Usage() {
  std::string text = "usage: Kvo";
  for (const Flag& flag : FLAGS) text += " [" + FlagUsage(flag) + "]";
  return text;
}

LaunchOptions ParseCommandLine(const std::vector<std::string>& arguments) {
  LaunchOptions options;
  for (size_t i = 0; i < arguments.size() && options.exitCode < 0; ++i) {
    const Flag* flag = nullptr;
    for (const Flag& f : FLAGS)
      if (arguments[i] == f.name) flag = &f;
    if (!flag) {
      std::fprintf(stderr, "Kvo: %s is not an option; %s\n", arguments[i].c_str(), Usage().c_str());
      options.exitCode = 2;
      break;
    }
    std::string argument;
    const bool next = i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0;
    if (flag->argument != Argument::None && next) argument = arguments[++i];
    if (flag->argument == Argument::Required && argument.empty()) {
      std::fprintf(stderr, "Kvo: %s needs a %s; %s\n", flag->name, flag->argumentName, Usage().c_str());
      options.exitCode = 2;
      break;
    }
    flag->apply(options, argument);
  }
  if (options.exitCode < 0 && options.check && options.replay.empty()) {
    std::fprintf(stderr, "Kvo: --check goes with --replay FILE; %s\n", Usage().c_str());
    options.exitCode = 2;
  }
  std::fflush(stdout);
  return options;
}

void ApplyLaunchOptions(const LaunchOptions& options, GameLoop& loop) {
  if (options.fullscreen >= 0) loop.fullscreenThisRun = options.fullscreen;
  if (!options.level.empty()) {
    // A shipped level plays by its own rules, as the campaign's last; one of the player's
    // plays as MY LEVELS plays it, so its result goes to its bests, not the highscores.
    if (IsShippedLevel(options.level))
      PlayLevelFirst(LevelPath(options.level));
    else
      g_userLevelRequest = UserLevelRequest{options.level, AfterUserLevel::MainMenu, true};
    loop.firstState = STATE_LEVEL;
  } else if (options.editor) {
    if (!options.editorLevel.empty()) g_editor.openAtStart = LevelPath(options.editorLevel);
    loop.firstState = STATE_EDITOR;
  }
}
