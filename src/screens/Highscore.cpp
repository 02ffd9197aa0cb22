#include "screens/Highscore.h"
#include "audio/Audio.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/Window.h"
#include "platform/KeyCodes.h"
#include "screens/MainMenu.h"

Highscore::Highscore() {
  const float w = static_cast<float>(g_screen.width), h = static_cast<float>(g_screen.height);
  picture = std::make_shared<Texture>("../Assets/image/highscore.png", 1, Vec3(w / 2, h / 2), 320, 240);
  picture->Init();
  cancel = std::make_shared<Button>(1, Vec3(w / 2, h / 2 + 150), 100, 45, "cancel",
                                    "../Assets/image/optiontmp/button/cancel.txt",
                                    "../Assets/image/optiontmp/button/cancel.png");
  font = std::make_shared<Font>();
  font->Init();
  Load();
}

void Highscore::Update() {
  if (g_input.usingGamepad) {
    hoverPoint = cancel->Centre();
    cancel->SetFrame(1);
    if (g_gamepad.triggered[PAD_A]) {
      g_gamepad.triggered[PAD_A] = false;
      PlayClick();
      g_menu.showHighscores = false;
    }
    return;
  }
  hoverPoint = g_input.mousePosition;
  if (!cancel->UnderPoint(hoverPoint)) {
    cancel->SetFrame(0);
    return;
  }
  cancel->SetFrame(1);
  if (ConsumeTrigger(MOUSE_LEFT)) {
    PlayClick();
    g_menu.showHighscores = false;
  }
}

void Highscore::Draw() {
  picture->Draw();
  cancel->Draw();
  const float w = static_cast<float>(g_screen.width), h = static_cast<float>(g_screen.height);
  const float x = w / 2 - 240;
  const Vec3 ink(1.0f, 1.0f, 1.0f);
  for (int i = 0; i < PLACES; ++i) {
    const float y = h / 2 - 100 + 20 * i;
    font->DrawText("\\", Vec3(x, y), ink, 1.0f);
    font->DrawText(std::to_string(i + 1), Vec3(x + 100, y), ink, 1.0f);
    font->DrawText(scores[i], Vec3(x + 300, y), ink, 1.0f);
    font->DrawText("/", Vec3(x + 450, y), ink, 1.0f);
  }
}
