#include "screens/OptionMenu.h"
#include "screens/GhostSwitch.h"
#include "audio/Audio.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "core/Options.h"
#include "core/Window.h"
#include "platform/KeyCodes.h"
#include "screens/MainMenu.h"

namespace {

const char* BUTTON_FOLDER = "../Assets/image/optiontmp/button/";

std::shared_ptr<Button> MakeButton(const Vec3& at, int w, int h, const std::string& name, const std::string& file) {
  const std::string base = std::string(BUTTON_FOLDER) + file;
  return std::make_shared<Button>(1, at, w, h, name, base + ".txt", base + ".png");
}

void SetMusicVolume(float v) {
  if (g_audio) g_audio->SetMusicVolume(v);
}
void SetEffectsVolume(float v) {
  if (g_audio) g_audio->SetEffectsVolume(v);
}

} // namespace

bool LevelOverlayOpen() {
  return g_frontEnd.garageOpen || g_frontEnd.helpOpen || g_frontEnd.tutorialGarageOpen || g_frontEnd.tutorialHelpOpen;
}

// The tracks sit around the screen centre, so their ends do too: at the 1264-pixel screen
// the game was drawn for they are 572 and 800.
float OptionMenu::SliderLeft() { return g_screen.width / 2.0f - 60.0f; }
float OptionMenu::SliderRight() { return g_screen.width / 2.0f + 168.0f; }

OptionMenu::OptionMenu(const Vec3& corner_) : corner(corner_) {
  const float cx = g_screen.width / 2.0f, cy = g_screen.height / 2.0f;
  panel = std::make_shared<AnimatedTexture>("../Assets/image/optiontmp/pauseback.png", 1, Vec3(cx, cy), 300, 200,
                                            "../Assets/image/optiontmp/pauseback.txt");
  panel->Init();
  const std::string track = std::string(BUTTON_FOLDER) + "scrollbar.png";
  musicTrack = std::make_shared<Texture>(track.c_str(), 1, Vec3(cx + 55, cy + 60), 114, 10);
  effectsTrack = std::make_shared<Texture>(track.c_str(), 1, Vec3(cx + 55, cy + 130), 114, 10);
  musicTrack->Init();
  effectsTrack->Init();

  ghostSwitch = MakeGhostSwitch();
  buttons.push_back(MakeButton(corner, 30, 30, "setting", "setting"));
  buttons.push_back(MakeButton(Vec3(cx + 120, cy - 30), 60, 35, "cancel", "resume"));
  buttons.push_back(MakeButton(Vec3(cx - 120, cy - 30), 60, 35, "end", "quit"));
  buttons.push_back(MakeButton(Vec3(cx + 90, cy), 60, 35, "confirm", "confirm"));
  buttons.push_back(MakeButton(Vec3(cx - 90, cy), 60, 35, "confirmyes", "confirmyes"));
  buttons.push_back(MakeButton(Vec3(cx - 130, cy + 60), 30, 30, "music", "music"));
  buttons.push_back(MakeButton(Vec3(cx - 130, cy + 130), 30, 30, "sound", "sound"));
  buttons.push_back(MakeButton(Vec3(cx + 111, cy + 60), 10, 20, "soundscroll", "soundscroll"));
  buttons.push_back(MakeButton(Vec3(cx + 111, cy + 130), 10, 20, "soundscroll", "soundscroll"));
  buttons.push_back(MakeButton(Vec3(cx, cy - 30), 60, 35, "htp", "htp"));
  // Where the player left them at the last run (with no options file, the knobs sit at
  // w/2 + 111, level 0.75, and both sounds are on).
  musicLevel = g_options.musicLevel;
  effectsLevel = g_options.effectsLevel;
  musicMuted = g_options.musicMuted;
  effectsMuted = g_options.effectsMuted;
  buttons[MUSIC_KNOB]->SetPosition(Vec3(SliderLeft() + musicLevel * SLIDER_SPAN, cy + 60, 0.0f));
  buttons[EFFECTS_KNOB]->SetPosition(Vec3(SliderLeft() + effectsLevel * SLIDER_SPAN, cy + 130, 0.0f));
  buttons[MUSIC_MUTE]->SetFrame(musicMuted ? 0 : 1); // frame 1: the sound is on
  buttons[EFFECTS_MUTE]->SetFrame(effectsMuted ? 0 : 1);
  controlsPage = std::make_unique<ControlsPage>();
  comfort = std::make_unique<ComfortStrip>();
}

// Written once the mouse button is up, so a drag is written once, where it ends.
void OptionMenu::RememberSettings() {
  if (IsDown(MOUSE_LEFT)) return;
  Options now = g_options;
  now.musicLevel = musicLevel;
  now.effectsLevel = effectsLevel;
  now.musicMuted = musicMuted;
  now.effectsMuted = effectsMuted;
  RememberOptions(now);
}

void OptionMenu::ApplyVolumes() {
  SetMusicVolume(musicMuted ? 0.0f : musicLevel);
  SetEffectsVolume(effectsMuted ? 0.0f : effectsLevel);
}

bool OptionMenu::Click(int index) {
  if (!buttons[index]->UnderPoint(mousePoint) || !ConsumeTrigger(MOUSE_LEFT)) return false;
  PlayClick();
  return true;
}

void OptionMenu::Hover(int index, unsigned int idle, unsigned int hover) {
  buttons[index]->SetFrame(buttons[index]->UnderPoint(mousePoint) ? hover : idle);
}

void OptionMenu::DragKnob(int index, float& level, bool muted, bool music) {
  Button& knob = *buttons[index];
  const float x = mousePoint.x;
  if (!knob.UnderPoint(mousePoint) || !IsDown(MOUSE_LEFT)) return;
  if (!(x > SliderLeft() && x < SliderRight())) return;
  const Vec3 c = knob.Centre();
  knob.SetPosition(Vec3(x, c.y, 0.0f));
  level = (x - SliderLeft()) / SLIDER_SPAN;
  if (!muted) music ? SetMusicVolume(level) : SetEffectsVolume(level);
}

void OptionMenu::ToggleMute(int index, bool& muted, float level, bool music) {
  if (!Click(index)) return;
  const bool wasOn = buttons[index]->Frame() == 1;
  muted = wasOn;
  const float gain = muted ? 0.0f : level;
  music ? SetMusicVolume(gain) : SetEffectsVolume(gain);
  buttons[index]->SetFrame(muted ? 0 : 1);
}

void OptionMenu::Update() {
  mousePoint = g_input.mousePosition;
  RememberSettings();

  Hover(GEAR, 0, 2);
  if (Click(GEAR)) {
    if (g_loop.paused) {
      g_loop.paused = false;
      return;
    }
    g_loop.paused = true;
    confirmOpen = false;
  }

  // Nothing of the panel reacts while a level's overlay hides it, nor under the
  // how-to-play and credits pictures, which cover it.
  if (!g_loop.paused) controlsPage->Close();
  if (!g_loop.paused || LevelOverlayOpen() || MenuPictureOpen()) return;
  if (controlsPage->IsOpen()) {
    controlsPage->Update();
  } else if (!confirmOpen) {
    comfort->Update(*controlsPage);
    Hover(RESUME, 0, 1);
    Hover(HOW_TO_PLAY, 0, 1);
    Hover(QUIT, 0, 1);
    if (Click(RESUME)) g_loop.paused = false;
    if (Click(HOW_TO_PLAY)) g_menu.showHowToPlay = true;
    if (Click(QUIT)) confirmOpen = true;
    DragKnob(MUSIC_KNOB, musicLevel, musicMuted, true);
    DragKnob(EFFECTS_KNOB, effectsLevel, effectsMuted, false);
    ToggleMute(MUSIC_MUTE, musicMuted, musicLevel, true);
    ToggleMute(EFFECTS_MUTE, effectsMuted, effectsLevel, false);
    UpdateGhostSwitch(mousePoint);
  } else {
    Hover(CONFIRM_NO, 0, 1);
    Hover(CONFIRM_YES, 0, 1);
    if (Click(CONFIRM_NO)) confirmOpen = false;
    if (Click(CONFIRM_YES)) {
      if (g_loop.currentState == STATE_MAIN_MENU) {
        SetEffectsVolume(0.0f); // the click must not outlive the game
        g_loop.nextState = STATE_QUIT;
      } else {
        confirmOpen = false;
        g_loop.nextState = STATE_MAIN_MENU;
        g_loop.paused = false;
      }
    }
  }
}

void OptionMenu::Draw() {
  buttons[GEAR]->Draw();
  if (g_loop.paused && !LevelOverlayOpen()) {
    if (confirmOpen) {
      panel->SetFrame(1);
      panel->Draw();
      buttons[CONFIRM_NO]->Draw();
      buttons[CONFIRM_YES]->Draw();
    } else if (controlsPage->IsOpen()) {
      controlsPage->Draw();
    } else {
      comfort->Draw();
      panel->SetFrame(0);
      panel->Draw();
      buttons[RESUME]->Draw();
      buttons[QUIT]->Draw();
      musicTrack->Draw();
      effectsTrack->Draw();
      for (int i = MUSIC_MUTE; i <= HOW_TO_PLAY; ++i) buttons[i]->Draw();
      DrawGhostSwitch(*ghostSwitch);
    }
  }
  DrawMenuPictures();
}
