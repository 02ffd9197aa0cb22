#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The game's sound library: one system object over the mixer, sounds decoded
// fully from files, channel groups and channel handles. Nothing above this
// header knows which mixer runs underneath.
//
// A sound plays on a channel; every start of a sound gets a fresh handle. A
// handle whose sound has ended, or been stopped, goes dead: every operation on
// it does nothing and every query answers "not playing", even after the mixer
// has reused its channel for another sound.
//
// A channel belongs to exactly one group. The group's pause and volume apply on
// top of the channel's own, for every channel in it, including channels started
// after the group was paused or its volume set.
//
// When no audio device can be opened the system is silent: sounds are still
// created from readable sound files (so lists count the same), plays return
// dead handles and every operation is harmless.

// ---- result codes of Create / Init / CreateSound -----------------------------
enum : int {
  SOUND_OK = 0,
  SOUND_ERR_CREATE = 1,     // the system object could not be made
  SOUND_ERR_INIT = 2,       // no device / mixer could not open: the system is silent
  SOUND_ERR_FILE = 3,       // the file cannot be opened
  SOUND_ERR_FORMAT = 4,     // the file is not a sound we can decode
  SOUND_ERR_NOT_READY = 5,  // Create was not called, or Release was
};

struct Sound;               // decoded samples; owned by whoever created it

struct SoundChannel {       // one start of a sound; copy freely, never owns anything
  int index = -1;           // mixer channel, -1 for none
  std::uint32_t serial = 0; // which start on that channel; 0 is never a start
};

struct SoundGroup {         // a channel group of one system
  int index = -1;           // -1 for none
};

class SoundSystem {
public:
  SoundSystem() = default;
  ~SoundSystem();           // releases the system if the owner did not
  SoundSystem(const SoundSystem&) = delete;
  SoundSystem& operator=(const SoundSystem&) = delete;

  // ---- lifetime ----
  int Create();                        // SOUND_OK; makes the object ready for Init
  int Init(int maxChannels);           // opens the device; on failure the system stays usable and silent
  void Update();                       // once per frame; forgets channels that have ended
  void Release();                      // stops this system's channels, closes the device; idempotent

  // ---- sounds ----
  int CreateSound(const std::string& path, Sound** sound); // WAV, OGG Vorbis, FLAC, ...; *sound null on failure
  void ReleaseSound(Sound* sound);     // stops every channel playing it, then frees it; null is fine
  int SoundLengthMs(const Sound* sound) const; // 0 for silent or null sounds

  // ---- groups ----
  SoundGroup CreateGroup();            // volume 1, not paused

  void SetGroupPaused(SoundGroup group, bool paused);
  void SetGroupVolume(SoundGroup group, float volume);  // linear gain, clamped to 0-1
  void StopGroup(SoundGroup group);    // stops every channel in the group
  int PlayingInGroup(SoundGroup group) const;           // channels alive in the group (paused ones count)

  // ---- playing ----
  // loops: 0 plays once, n plays n+1 times, -1 loops forever. A dead handle
  // comes back when the system is silent, the sound is null or no channel is free.
  // A start into a held channel is silent, though it may run one mixer piece
  // (about 20 ms) before the hold lands.
  SoundChannel Play(Sound* sound, SoundGroup group, bool paused, int loops = 0);

  // ---- channels (all harmless on dead handles) ----
  bool IsPlaying(SoundChannel channel) const;   // alive: started and not yet ended or stopped
  void SetPaused(SoundChannel channel, bool paused);
  bool IsPaused(SoundChannel channel) const;    // held by its own pause or its group's
  void SetVolume(SoundChannel channel, float volume); // linear gain, clamped to 0-1
  float HeardVolume(SoundChannel channel) const;// own gain times group gain as the mixer applies it
  void Stop(SoundChannel channel);
  double PlayedMs(SoundChannel channel) const;  // milliseconds of sound mixed since the start, loops included

private:
  struct Group {
    float volume = 1.0f;
    bool paused = false;
  };
  void Apply(int index) const;         // pushes own x group pause and volume to the mixer

  bool created = false;
  bool opened = false;                 // the device is open and this system holds a reference on it
  int frequency = 0;                   // device frames per second
  int frameBytes = 0;                  // bytes per device frame, all speakers
  std::vector<Group> groups;
};
