#include "core/PlaceholderStates.h"
#include "core/GameState.h"
#include "core/Level.h"
#include <GL/glew.h>

namespace {

class PlaceholderState : public Level {
public:
  PlaceholderState(float r, float g, float b) : red(r), green(g), blue(b) {}
  void Draw() override {
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }

private:
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;
};

} // namespace

std::unique_ptr<Level> MakePlaceholderState(int stateId) {
  switch (stateId) {
  case STATE_MAIN_MENU: return std::make_unique<PlaceholderState>(0.10f, 0.25f, 0.15f);
  case STATE_LEVEL: return std::make_unique<PlaceholderState>(0.35f, 0.45f, 0.20f);
  case STATE_EDITOR: return std::make_unique<PlaceholderState>(0.20f, 0.20f, 0.35f);
  case STATE_WEAPON_SELECT: return std::make_unique<PlaceholderState>(0.35f, 0.25f, 0.15f);
  case STATE_TUTORIAL: return std::make_unique<PlaceholderState>(0.45f, 0.45f, 0.45f);
  default: return nullptr;
  }
}
