#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "audio/SoundList.h"
#include "platform/Sound.h"

// The game's one sound manager. It loads every sound named in
// "../Assets/Audio/AudioLoad.txt" at construction and numbers them in file
// order from 1; game code plays them through the fifteen sound slots below and
// never names a file. Construction never fails outward: each problem prints one
// line on standard output and the object stays usable, possibly with no sounds.
//
// Callers always go through g_audio and never keep their own pointer: the
// editor's sound bar may replace the object at run time.
class Audio {
public:
  Audio();   // loads the list; see Audio.cpp for the order and the messages
  ~Audio();  // releases every sound, then the system
  Audio(const Audio&) = delete;
  Audio& operator=(const Audio&) = delete;

  // ---- playing; index is a 0-based sound number below SoundCount -------------
  int SoundCount() const;                 // entries in soundNames
  void PlayMusic(int index);              // loops forever on musicChannel at 0.75; the previous track is paused
  void PlayEffect(int index);             // one-shot; the same sound does not restart within 0.7 s; nothing while suspended
  void PlayEffectUnthrottled(int index);  // one-shot, always; callers check suspended themselves

  // ---- per frame and settings ------------------------------------------------
  // Once per frame; without the focus every sound is held and no throttled effect starts.
  // Update(frameSeconds, !suspended) runs the frame without touching the suspension (the editor).
  void Update(float frameSeconds, bool windowHasFocus);
  void Update(float frameSeconds);        // with HasKeyboardFocus() as the focus
  void SetMusicVolume(float v);           // gain 0-1 on musicChannel, kept in musicVolume
  void SetEffectsVolume(float v);         // gain 0-1 on effectsGroup, kept in effectsVolume
  void StopAll();                         // every effect, then the music; states call it when they are left

  // ---- fields, in this order, read by the option menu and the editor ---------
  std::vector<std::string> soundNames;    // key of each loaded sound; position i holds sound number i+1
  std::map<std::string, Sound*> sounds;   // key to loaded sound; owned
  Sound* lastEffect = nullptr;            // sound most recently passed to an effect operation
  float musicVolume = 0.75f;              // last gain applied to the music channel, 0-1
  float effectsVolume = 0.75f;            // last gain applied to the effects group, 0-1
  bool suspended = false;                 // true while the game window lacks the keyboard focus
  int lastResult = SOUND_OK;              // result of the last create / init / createSound call
  SoundSystem system;                     // the sound library instance
  Sound* loadingSound = nullptr;          // receives each sound while loading
  SoundChannel musicChannel;              // channel of the current background track
  SoundChannel effectChannels[5];         // ring of the channels of the last five effects
  SoundGroup musicGroup;                  // group into which music is played
  SoundGroup effectsGroup;                // group into which every effect is played
  int nextEffectChannel = 0;              // ring index 0-4 into effectChannels
  float effectTimer = 0.0f;               // seconds since the last effect started

private:
  Sound* SoundAt(int index) const;        // null when index names no loaded sound
};

// ---- slots: each holds a 1-based sound number; 0 and numbers above SoundCount play nothing
constexpr int SOUND_SLOT_COUNT = 15;
void ResetSoundSlots();                   // slot k holds k again
void PlaySlot(int slot);                  // slot 1-15, as a throttled effect
void PlayMusicSlot(int slot);             // slot 1-15, as the background track
void PlayClick();                         // slot 9, the button click
void PlayShot();                          // slot 8, unthrottled; nothing while suspended

// ---- shared by several modules -------------------------------------------
extern std::shared_ptr<Audio> g_audio;              // the sound manager; null until the loop makes it
extern unsigned int g_soundSlots[SOUND_SLOT_COUNT]; // sound number of slot k at [k - 1]
