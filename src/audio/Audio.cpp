#include "audio/Audio.h"
#include "platform/ConsoleTexts.h"
#include "platform/Focus.h"
#include <cstdio>
#include <fstream>

// ============================================================================
// Shared state
// ============================================================================

std::shared_ptr<Audio> g_audio;
unsigned int g_soundSlots[SOUND_SLOT_COUNT] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

namespace {

constexpr const char* SOUND_LIST = "../Assets/Audio/AudioLoad.txt";
constexpr int VIRTUAL_CHANNELS = 100;
constexpr float MUSIC_START_VOLUME = 0.75f;
constexpr float REPEAT_GUARD_SECONDS = 0.7f;  // the same effect does not restart sooner
constexpr int SLOT_SHOT = 8;
constexpr int SLOT_CLICK = 9;

// One line of the game's own console text.
void Say(const char* message) {
  std::puts(message);
  std::fflush(stdout);
}

// Sound number held by a slot, or 0 when the slot names no loaded sound.
unsigned int SlotSound(int slot) {
  if (!g_audio || slot < 1 || slot > SOUND_SLOT_COUNT) return 0;
  const unsigned int n = g_soundSlots[slot - 1];
  return n <= static_cast<unsigned int>(g_audio->SoundCount()) ? n : 0;
}

} // namespace

// ============================================================================
// Loading
// ============================================================================

// Sound numbers follow the list's lines; a line that loads nothing gets no
// number, so every later sound moves down by one.
Audio::Audio() {
  lastResult = system.Create();
  if (lastResult != SOUND_OK) Say(ConsoleText::AUDIO_NOT_CREATED);
  lastResult = system.Init(VIRTUAL_CHANNELS);
  if (lastResult != SOUND_OK) Say(ConsoleText::AUDIO_NOT_INITIALIZED);
  musicGroup = system.CreateGroup();
  effectsGroup = system.CreateGroup();

  std::ifstream list(SOUND_LIST);
  if (!list) {
    Say((std::string(ConsoleText::SOUND_LIST_CANNOT_OPEN) + " " + SOUND_LIST + ": the game plays without sounds").c_str());
    return;
  }
  // An empty list is not a list that ends with an empty line: it says so, once.
  if (list.peek() == std::ifstream::traits_type::eof()) {
    Say((std::string("Error: ") + SOUND_LIST + " lists no sounds: the game plays without sounds").c_str());
    return;
  }
  ReadSoundList(list, [this](const std::string& line) {
    lastResult = system.CreateSound(line, &loadingSound);
    if (lastResult != SOUND_OK) {
      Say((std::string(ConsoleText::SOUND_FILE_INVALID) + ": " + line + " is left out").c_str());
      return;
    }
    const std::string key = SoundKey(line);
    soundNames.push_back(key);
    Sound*& entry = sounds[key];
    // Equal keys share one entry: the earlier sound is no longer reachable.
    if (entry != nullptr) system.ReleaseSound(entry);
    entry = loadingSound;
  });
}

Audio::~Audio() {
  for (auto& [key, sound] : sounds) system.ReleaseSound(sound);
  system.Release();
  sounds.clear();
  soundNames.clear();
}

int Audio::SoundCount() const { return static_cast<int>(soundNames.size()); }

Sound* Audio::SoundAt(int index) const {
  if (index < 0 || index >= SoundCount()) return nullptr;
  const auto found = sounds.find(soundNames[index]);
  return found != sounds.end() ? found->second : nullptr;
}

// ============================================================================
// Playing
// ============================================================================

// The previous track is paused, not stopped: StopAll ends it with the state.
void Audio::PlayMusic(int index) {
  system.SetPaused(musicChannel, true);
  if (Sound* sound = SoundAt(index)) {
    // Held until its volume is set, then released unless the game is suspended.
    musicChannel = system.Play(sound, musicGroup, true, -1);
    system.SetVolume(musicChannel, MUSIC_START_VOLUME);
  }
  system.SetPaused(musicChannel, suspended);
}

void Audio::PlayEffect(int index) {
  if (suspended) return;
  if (nextEffectChannel > 4) nextEffectChannel = 0;
  Sound* sound = SoundAt(index);
  if (sound == nullptr) return;
  if (effectTimer >= REPEAT_GUARD_SECONDS || sound != lastEffect) {
    effectChannels[nextEffectChannel] = system.Play(sound, effectsGroup, false);
    ++nextEffectChannel;
    effectTimer = 0.0f;
  }
  lastEffect = sound;
}

void Audio::PlayEffectUnthrottled(int index) {
  if (nextEffectChannel > 4) nextEffectChannel = 0;
  Sound* sound = SoundAt(index);
  if (sound == nullptr) return;
  // The timer never runs backwards, so in practice this always plays.
  if (!(effectTimer < 0.0f && sound == lastEffect)) {
    effectChannels[nextEffectChannel] = system.Play(sound, effectsGroup, false);
    ++nextEffectChannel;
    effectTimer = 0.0f;
  }
  lastEffect = sound;
}

// ============================================================================
// Per frame and settings
// ============================================================================

void Audio::Update(float frameSeconds, bool windowHasFocus) {
  suspended = !windowHasFocus;
  system.Update();
  effectTimer += frameSeconds;
  system.SetPaused(musicChannel, suspended);
  system.SetGroupPaused(effectsGroup, suspended);
}

void Audio::Update(float frameSeconds) { Update(frameSeconds, HasKeyboardFocus()); }

void Audio::SetMusicVolume(float v) {
  system.SetVolume(musicChannel, v);
  musicVolume = v;
}

void Audio::SetEffectsVolume(float v) {
  system.SetGroupVolume(effectsGroup, v);
  effectsVolume = v;
}

// The whole music group, not only musicChannel: tracks that a later PlayMusic
// paused have no handle left and would otherwise hold their channels forever.
void Audio::StopAll() {
  system.StopGroup(effectsGroup);
  system.Stop(musicChannel);
  system.StopGroup(musicGroup);
}

// ============================================================================
// Slots
// ============================================================================

void ResetSoundSlots() {
  for (int k = 0; k < SOUND_SLOT_COUNT; ++k) g_soundSlots[k] = static_cast<unsigned int>(k + 1);
}

void PlaySlot(int slot) {
  if (const unsigned int n = SlotSound(slot)) g_audio->PlayEffect(static_cast<int>(n) - 1);
}

void PlayMusicSlot(int slot) {
  if (const unsigned int n = SlotSound(slot)) g_audio->PlayMusic(static_cast<int>(n) - 1);
}

void PlayClick() { PlaySlot(SLOT_CLICK); }

void PlayShot() {
  const unsigned int n = SlotSound(SLOT_SHOT);
  if (n != 0 && !g_audio->suspended) g_audio->PlayEffectUnthrottled(static_cast<int>(n) - 1);
}
