#include "game/PlaceholderStates.h"
#include "core/GameState.h"
#include "core/Level.h"
#include "core/Window.h"
#include "render/Font.h"
#include "render/Texture.h"
#include <GL/glew.h>
#include <cstdio>

namespace {

class PlaceholderState : public Level {
public:
  PlaceholderState(float r, float g, float b) : red(r), green(g), blue(b) {}
  void Initialize() override {
    std::printf("This screen is not in the game yet: state %d shows a plain colour\n", stateId);
  }
  void Draw() override {
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }

private:
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;
};

// Until the real menu lands, the first screen shows the title art so that a start of
// the game shows the renderer, the content and the loop working together.
class TitlePlaceholder : public PlaceholderState {
public:
  TitlePlaceholder() : PlaceholderState(0.10f, 0.25f, 0.15f) {}
  void Initialize() override {
    PlaceholderState::Initialize();
    const Vec3 centre(g_screen.width / 2.0f, g_screen.height / 2.0f, 0.0f);
    background = std::make_unique<Texture>("../Assets/image/mainmenuBackground.png", 1, centre,
                                           g_screen.width / 2, g_screen.height / 2);
    background->Init();
    font = std::make_unique<Font>();
    font->Init();
  }
  void Draw() override {
    PlaceholderState::Draw();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (background) background->Draw();
    if (font)
      font->DrawText("KVO - F12 WINDOW - F11 DEBUG - ESC PAUSE",
                     Vec3(40.0f, g_screen.height - 40.0f, 0.0f), Vec3(1.0f, 1.0f, 1.0f), 0.75f);
  }
  void Free() override {
    background.reset();
    font.reset();
  }

private:
  std::unique_ptr<Texture> background;
  std::unique_ptr<Font> font;
};

} // namespace

std::unique_ptr<Level> MakePlaceholderState(int stateId) {
  switch (stateId) {
  case STATE_MAIN_MENU: return std::make_unique<TitlePlaceholder>();
  case STATE_LEVEL: return std::make_unique<PlaceholderState>(0.35f, 0.45f, 0.20f);
  case STATE_EDITOR: return std::make_unique<PlaceholderState>(0.20f, 0.20f, 0.35f);
  case STATE_WEAPON_SELECT: return std::make_unique<PlaceholderState>(0.35f, 0.25f, 0.15f);
  case STATE_TUTORIAL: return std::make_unique<PlaceholderState>(0.45f, 0.45f, 0.45f);
  default: return nullptr;
  }
}
