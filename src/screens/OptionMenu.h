#pragma once
#include <memory>
#include <vector>

#include "core/Vec3.h"
#include "levels/FrontEnd.h"
#include "render/AnimatedTexture.h"
#include "render/Texture.h"
#include "screens/Button.h"
#include "screens/ControlsPage.h"

// The pause panel: a gear in the corner of the menu and of every playing state opens it
// (so do Escape, the pad's Start and losing the focus). It offers resume, how-to-play,
// quit with a confirmation, the music and effects volumes with their mute buttons, and
// under it the controls page, the display mode and the screen shake.
// One object lives for the whole run (g_frontEnd.pausePanel), so the volumes persist.
class OptionMenu : public PausePanel {
public:
  // Button indices, in the order the panel holds them.
  enum : int {
    GEAR = 0,
    RESUME = 1,
    QUIT = 2,
    CONFIRM_NO = 3,
    CONFIRM_YES = 4,
    MUSIC_MUTE = 5,
    EFFECTS_MUTE = 6,
    MUSIC_KNOB = 7,
    EFFECTS_KNOB = 8,
    HOW_TO_PLAY = 9,
    BUTTON_COUNT = 10,
  };

  explicit OptionMenu(const Vec3& corner); // the gear's centre; the rest sits around the screen centre

  void Update() override;       // once per frame from the menu's and the levels' updates
  void Draw() override;         // after the screen's own drawing; also the menu's overlays
  void ApplyVolumes() override; // the stored levels and mute flags into the audio
  void MuteMusic() override { musicMuted = true; }

  // The knob tracks, in logical pixels: a knob moves only while the mouse lies strictly
  // between the two, and its level is (x - SliderLeft()) / SLIDER_SPAN.
  static float SliderLeft();
  static float SliderRight();
  static constexpr float SLIDER_SPAN = 228.0f;

  bool confirmOpen = false;   // the quit confirmation replaces the normal panel
  bool musicMuted = false;
  bool effectsMuted = false;
  float musicLevel = 0.75f;   // 0-1, the music knob
  float effectsLevel = 0.75f; // 0-1, the effects knob
  std::shared_ptr<AnimatedTexture> panel; // frame 0 normal panel, frame 1 confirmation
  std::shared_ptr<Texture> musicTrack;
  std::shared_ptr<Texture> effectsTrack;
  std::vector<std::shared_ptr<Button>> buttons; // BUTTON_COUNT entries, by the indices above
  std::shared_ptr<Button> ghostSwitch;          // left of QUIT in a playing level
  Vec3 corner;     // the gear's centre
  Vec3 mousePoint; // the mouse as this frame's hit tests see it
  std::unique_ptr<ControlsPage> controlsPage; // over the panel while open
  std::unique_ptr<ComfortStrip> comfort;      // the board under the panel: controls, display, shake

private:
  bool Click(int index);       // a used-up left click over the button, with the click sound
  void Hover(int index, unsigned int idle, unsigned int hover);
  void DragKnob(int index, float& level, bool muted, bool music);
  void RememberSettings();
  void ToggleMute(int index, bool& muted, float level, bool music);
};

// True while a level's own overlay (garage, help) hides the panel.
bool LevelOverlayOpen();
