#include "game/GameSubsystems.h"
#include "game/ReplayCommand.h"
#include <string>

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--replay")
    return RunReplayCommand(argv[2], argc >= 4 && std::string(argv[3]) == "--check");
  return RunGame();
}
