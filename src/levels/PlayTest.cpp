#include "levels/PlayTest.h"
#include "core/GameState.h"

std::string g_playTestPath;

bool PlayTesting() { return !g_playTestPath.empty(); }

std::string PlayTestLevelPath(const std::string& ownPath) { return PlayTesting() ? g_playTestPath : ownPath; }

int PlayTestExitState(int usual) {
  if (!PlayTesting() || usual == STATE_QUIT || usual == STATE_RESTART) return usual;
  return STATE_EDITOR;
}
