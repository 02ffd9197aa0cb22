#include "levels/PlayTest.h"
#include "core/GameState.h"

namespace {
std::string s_playTestPath; // empty when no play test runs
}

void StartPlayTest(const std::string& path) { s_playTestPath = path; }
void EndPlayTest() { s_playTestPath.clear(); }
bool PlayTesting() { return !s_playTestPath.empty(); }
const std::string& PlayTestPath() { return s_playTestPath; }

std::string PlayTestLevelPath(const std::string& ownPath) { return PlayTesting() ? s_playTestPath : ownPath; }

int PlayTestExitState(int usual) {
  if (!PlayTesting() || usual == STATE_QUIT || usual == STATE_RESTART) return usual;
  return STATE_EDITOR;
}
