#include "platform/Sound.h"
#include <SDL.h>
#include <SDL_mixer.h>
#include <atomic>
#include <cmath>
#include <cstring>
#include <fstream>

struct Sound {
  Mix_Chunk* chunk = nullptr;  // null when created by a silent system
};

// ============================================================================
// The mixer is one per process, so its channels are described once here and
// shared by every SoundSystem: while the editor builds a new system the old
// one is still alive, and a handle of one must never reach the other's sounds.
// ============================================================================
namespace {

constexpr int MAX_MIXER_CHANNELS = 256;

struct ChannelRecord {
  std::uint32_t serial = 0;              // start currently on this channel
  const SoundSystem* owner = nullptr;    // system that made that start; null when free
  int group = -1;                        // index into the owner's groups
  float volume = 1.0f;                   // the channel's own gain
  bool paused = false;                   // the channel's own pause flag
  const Sound* sound = nullptr;
  std::atomic<std::uint64_t> bytesMixed{0}; // advanced by the mixer thread
};

ChannelRecord s_channels[MAX_MIXER_CHANNELS];
std::uint32_t s_nextSerial = 1;   // 0 stays free to mean "never started"
int s_mixerChannels = 0;          // channels allocated in the mixer; 0 while it is closed
int s_openSystems = 0;            // systems sharing the open device

float ClampGain(float v) {
  if (!(v >= 0.0f)) return 0.0f;  // also catches NaN
  return v > 1.0f ? 1.0f : v;
}

// Runs on the mixer thread for every piece of a channel it mixes; paused
// channels are not mixed, so this is the channel's play position.
void CountMixed(int, void*, int len, void* record) {
  static_cast<ChannelRecord*>(record)->bytesMixed.fetch_add(static_cast<std::uint64_t>(len),
                                                            std::memory_order_relaxed);
}

bool LooksLikeSound(const unsigned char* head, std::size_t n) {
  auto starts = [&](const char* magic, std::size_t at = 0) {
    const std::size_t len = std::strlen(magic);
    return n >= at + len && std::memcmp(head + at, magic, len) == 0;
  };
  return (starts("RIFF") && starts("WAVE", 8)) || starts("OggS") || starts("fLaC") ||
         (starts("FORM") && (starts("AIFF", 8) || starts("AIFC", 8))) ||
         starts("Creative Voice File") || starts("ID3");
}

} // namespace

// ============================================================================
// Lifetime
// ============================================================================

SoundSystem::~SoundSystem() { Release(); }

int SoundSystem::Create() {
  created = true;
  return SOUND_OK;
}

int SoundSystem::Init(int maxChannels) {
  if (!created) return SOUND_ERR_NOT_READY;
  if (opened) return SOUND_OK;
  if (s_openSystems == 0) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return SOUND_ERR_INIT;
    Mix_Init(MIX_INIT_OGG);  // WAV needs no codec; a missing one only fails those files
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
      Mix_Quit();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return SOUND_ERR_INIT;
    }
    s_mixerChannels = 0;
  }
  ++s_openSystems;
  opened = true;

  int wanted = maxChannels < 1 ? 1 : (maxChannels > MAX_MIXER_CHANNELS ? MAX_MIXER_CHANNELS : maxChannels);
  if (wanted > s_mixerChannels) s_mixerChannels = Mix_AllocateChannels(wanted);

  Uint16 format = 0;
  int speakers = 0;
  Mix_QuerySpec(&frequency, &format, &speakers);
  frameBytes = static_cast<int>(SDL_AUDIO_BITSIZE(format) / 8) * speakers;
  return SOUND_OK;
}

void SoundSystem::Update() {
  if (!opened) return;
  for (int i = 0; i < s_mixerChannels; ++i) {
    if (s_channels[i].owner == this && !Mix_Playing(i)) s_channels[i].owner = nullptr;
  }
}

void SoundSystem::Release() {
  if (opened) {
    for (int i = 0; i < s_mixerChannels; ++i) {
      if (s_channels[i].owner != this) continue;
      Mix_HaltChannel(i);
      s_channels[i].owner = nullptr;
    }
    if (--s_openSystems == 0) {
      Mix_CloseAudio();
      Mix_Quit();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      s_mixerChannels = 0;
    }
  }
  opened = false;
  created = false;
  groups.clear();
}

// ============================================================================
// Sounds
// ============================================================================

int SoundSystem::CreateSound(const std::string& path, Sound** sound) {
  if (sound == nullptr) return SOUND_ERR_FILE;
  *sound = nullptr;
  if (!created) return SOUND_ERR_NOT_READY;

  if (opened) {
    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
    if (file == nullptr) return SOUND_ERR_FILE;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(file, 1);
    if (chunk == nullptr) return SOUND_ERR_FORMAT;
    *sound = new Sound{chunk};
    return SOUND_OK;
  }

  // Silent: nothing can be decoded without a device, but a list of sounds must
  // still count the same, so a readable file that looks like a sound is one.
  std::ifstream file(path, std::ios::binary);
  if (!file) return SOUND_ERR_FILE;
  unsigned char head[20] = {};
  file.read(reinterpret_cast<char*>(head), sizeof head);
  if (!LooksLikeSound(head, static_cast<std::size_t>(file.gcount()))) return SOUND_ERR_FORMAT;
  *sound = new Sound{};
  return SOUND_OK;
}

void SoundSystem::ReleaseSound(Sound* sound) {
  if (sound == nullptr) return;
  if (sound->chunk != nullptr) {
    for (int i = 0; i < s_mixerChannels; ++i) {
      if (s_channels[i].sound == sound && Mix_Playing(i)) Mix_HaltChannel(i);
    }
    Mix_FreeChunk(sound->chunk);
  }
  for (ChannelRecord& r : s_channels) {
    if (r.sound == sound) r.sound = nullptr;
  }
  delete sound;
}

int SoundSystem::SoundLengthMs(const Sound* sound) const {
  if (sound == nullptr || sound->chunk == nullptr || frequency <= 0 || frameBytes <= 0) return 0;
  return static_cast<int>(static_cast<double>(sound->chunk->alen) / frameBytes * 1000.0 / frequency);
}

// ============================================================================
// Groups
// ============================================================================

SoundGroup SoundSystem::CreateGroup() {
  groups.push_back(Group{});
  return SoundGroup{static_cast<int>(groups.size()) - 1};
}

void SoundSystem::SetGroupPaused(SoundGroup group, bool paused) {
  if (group.index < 0 || group.index >= static_cast<int>(groups.size())) return;
  groups[group.index].paused = paused;
  for (int i = 0; i < s_mixerChannels; ++i) {
    if (s_channels[i].owner == this && s_channels[i].group == group.index && Mix_Playing(i)) Apply(i);
  }
}

void SoundSystem::SetGroupVolume(SoundGroup group, float volume) {
  if (group.index < 0 || group.index >= static_cast<int>(groups.size())) return;
  groups[group.index].volume = ClampGain(volume);
  for (int i = 0; i < s_mixerChannels; ++i) {
    if (s_channels[i].owner == this && s_channels[i].group == group.index && Mix_Playing(i)) Apply(i);
  }
}

void SoundSystem::StopGroup(SoundGroup group) {
  if (group.index < 0) return;
  for (int i = 0; i < s_mixerChannels; ++i) {
    if (s_channels[i].owner != this || s_channels[i].group != group.index) continue;
    Mix_HaltChannel(i);
    s_channels[i].owner = nullptr;
  }
}

int SoundSystem::PlayingInGroup(SoundGroup group) const {
  int count = 0;
  for (int i = 0; i < s_mixerChannels; ++i) {
    if (s_channels[i].owner == this && s_channels[i].group == group.index && Mix_Playing(i)) ++count;
  }
  return count;
}

// ============================================================================
// Playing
// ============================================================================

SoundChannel SoundSystem::Play(Sound* sound, SoundGroup group, bool paused, int loops) {
  if (!opened || sound == nullptr || sound->chunk == nullptr) return SoundChannel{};
  if (group.index >= static_cast<int>(groups.size())) group.index = -1;

  int index = -1;
  for (int i = 0; i < s_mixerChannels && index < 0; ++i) {
    if (!Mix_Playing(i)) index = i;
  }
  if (index < 0) return SoundChannel{};

  ChannelRecord& r = s_channels[index];
  r.serial = s_nextSerial++;
  if (s_nextSerial == 0) s_nextSerial = 1;
  r.owner = this;
  r.group = group.index;
  r.volume = 1.0f;
  r.paused = paused;
  r.sound = sound;
  r.bytesMixed.store(0, std::memory_order_relaxed);

  // The position counter goes on before the start so that no mixed piece is missed.
  Mix_UnregisterAllEffects(index);
  Mix_RegisterEffect(index, CountMixed, nullptr, &r);

  // A start into a held channel begins silent: the mixer cannot start a channel
  // paused, and it may mix a piece before the pause lands.
  const bool held = paused || (group.index >= 0 && groups[group.index].paused);
  if (held) Mix_Volume(index, 0);
  else Apply(index);
  if (Mix_PlayChannel(index, sound->chunk, loops < 0 ? -1 : loops) < 0) {
    r.owner = nullptr;
    Mix_UnregisterAllEffects(index);
    return SoundChannel{};
  }
  Apply(index);
  return SoundChannel{index, r.serial};
}

// ============================================================================
// Channels
// ============================================================================

namespace {
// The record of a start that is still playing, or null: the start has ended,
// been stopped, or its channel now carries another start.
ChannelRecord* LiveRecord(SoundChannel channel, const SoundSystem* owner) {
  if (channel.serial == 0 || channel.index < 0 || channel.index >= s_mixerChannels) return nullptr;
  ChannelRecord& r = s_channels[channel.index];
  if (r.serial != channel.serial || r.owner != owner || !Mix_Playing(channel.index)) return nullptr;
  return &r;
}
} // namespace

void SoundSystem::Apply(int index) const {
  const ChannelRecord& r = s_channels[index];
  const Group* g = (r.group >= 0 && r.group < static_cast<int>(groups.size())) ? &groups[r.group] : nullptr;
  const float gain = r.volume * (g != nullptr ? g->volume : 1.0f);
  const int mixerVolume = static_cast<int>(std::lround(gain * MIX_MAX_VOLUME));
  // Hold before a volume change and change the volume before a release, so
  // that a held channel is never mixed at its new gain.
  const bool held = r.paused || (g != nullptr && g->paused);
  if (held && !Mix_Paused(index)) Mix_Pause(index);
  Mix_Volume(index, mixerVolume);
  if (!held && Mix_Paused(index)) Mix_Resume(index);
}

bool SoundSystem::IsPlaying(SoundChannel channel) const { return LiveRecord(channel, this) != nullptr; }

void SoundSystem::SetPaused(SoundChannel channel, bool paused) {
  ChannelRecord* r = LiveRecord(channel, this);
  if (r == nullptr) return;
  r->paused = paused;
  Apply(channel.index);
}

bool SoundSystem::IsPaused(SoundChannel channel) const {
  return LiveRecord(channel, this) != nullptr && Mix_Paused(channel.index) != 0;
}

void SoundSystem::SetVolume(SoundChannel channel, float volume) {
  ChannelRecord* r = LiveRecord(channel, this);
  if (r == nullptr) return;
  r->volume = ClampGain(volume);
  Apply(channel.index);
}

float SoundSystem::HeardVolume(SoundChannel channel) const {
  if (LiveRecord(channel, this) == nullptr) return 0.0f;
  return static_cast<float>(Mix_Volume(channel.index, -1)) / MIX_MAX_VOLUME;
}

void SoundSystem::Stop(SoundChannel channel) {
  ChannelRecord* r = LiveRecord(channel, this);
  if (r == nullptr) return;
  Mix_HaltChannel(channel.index);
  r->owner = nullptr;
}

double SoundSystem::PlayedMs(SoundChannel channel) const {
  const ChannelRecord* r = LiveRecord(channel, this);
  if (r == nullptr || frequency <= 0 || frameBytes <= 0) return 0.0;
  const double bytes = static_cast<double>(r->bytesMixed.load(std::memory_order_relaxed));
  return bytes / frameBytes * 1000.0 / frequency;
}
