// The sound manager: the sound list and its numbering, the slots, the repeat
// guard, suspension, volumes and stopping, over SDL's dummy audio driver.
#include "audio/Audio.h"
#include "test_audio_files.h"

using namespace audio_test;

namespace {

class AudioTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* name : {"a", "b", "c", "tune"}) WriteWav(tree.Audio() / (std::string(name) + ".wav"), 4000);
    ResetSoundSlots();
  }
  void TearDown() override { g_audio.reset(); }

  // Writes the sound list from the names in a.wav form, builds g_audio and returns what it printed.
  std::string Load(const std::string& list) {
    WriteText(tree.Audio() / "AudioLoad.txt", list);
    testing::internal::CaptureStdout();
    g_audio = std::make_shared<Audio>();
    return testing::internal::GetCapturedStdout();
  }
  Audio& audio() { return *g_audio; }
  SoundSystem& mixer() { return g_audio->system; }
  Sound* Named(const std::string& key) { return audio().sounds.at(key); }
  int EffectsPlaying() { return mixer().PlayingInGroup(audio().effectsGroup); }

  TempTree tree;
};

const std::string DIR = "../Assets/Audio/";

} // namespace

TEST_F(AudioTest, TheListNumbersSoundsInFileOrder) {
  EXPECT_EQ(Load(DIR + "a.wav\n" + DIR + "b.wav\n" + DIR + "c.wav\n"), "Error: The line is empty.\n");
  EXPECT_EQ(audio().soundNames, (std::vector<std::string>{"/a.wav", "/b.wav", "/c.wav"}));

  // A bad line gets no number: line 3 becomes sound 2, and slot 2 plays it.
  EXPECT_EQ(Load(DIR + "a.wav\n" + DIR + "missing.wav\n" + DIR + "c.wav\n" + DIR + "tune.wav"),
            "Error: Sound file name invalid or cannot be found: ../Assets/Audio/missing.wav is left out\n");
  ASSERT_EQ(audio().SoundCount(), 3);
  PlaySlot(2);
  EXPECT_EQ(audio().lastEffect, Named("/c.wav"));

  std::filesystem::remove(tree.Audio() / "AudioLoad.txt");
  testing::internal::CaptureStdout();
  g_audio = std::make_shared<Audio>();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: Invalid file name. File cannot be opened. "
                                                    "../Assets/Audio/AudioLoad.txt: the game plays without sounds\n");
  EXPECT_EQ(audio().SoundCount(), 0);
  PlaySlot(1);
  PlayShot();
  EXPECT_EQ(audio().lastEffect, nullptr);
}

TEST_F(AudioTest, LineEndsAndKeys) {
  EXPECT_EQ(SoundKey("../Assets/Audio/shotgun"), "/shotgun");

  // Windows line ends, a line holding only its '\r', and two files with one key.
  std::filesystem::create_directories(tree.Audio() / "alt");
  WriteWav(tree.Audio() / "alt" / "a.wav", 200);
  EXPECT_EQ(Load(DIR + "a.wav\r\n\r\n" + DIR + "b.wav\r\n" + DIR + "alt/a.wav"), "Error: The line is empty.\n");
  EXPECT_EQ(audio().soundNames, (std::vector<std::string>{"/a.wav", "/b.wav", "/a.wav"}));
  EXPECT_NEAR(mixer().SoundLengthMs(Named("/a.wav")), 200, 5) << "both numbers play the sound loaded last";
}

TEST_F(AudioTest, WithoutADeviceTheListStillCountsAndTheGameRunsSilent) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  const std::string printed = Load(DIR + "a.wav\n" + DIR + "b.wav\n" + DIR + "missing.wav");
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  EXPECT_EQ(printed, "Error: Audio cannot be initialized!\nError: Sound file name invalid or cannot be found: "
                     "../Assets/Audio/missing.wav is left out\n");
  EXPECT_EQ(audio().SoundCount(), 2);
  PlayMusicSlot(1);
  PlaySlot(2);
  audio().StopAll();
  EXPECT_EQ(audio().lastEffect, Named("/b.wav"));
}

TEST_F(AudioTest, SlotsAndTheRepeatGuard) {
  Load(DIR + "a.wav\n" + DIR + "b.wav");
  testing::internal::CaptureStdout();
  PlaySlot(3);          // holds 3, only 2 sounds
  g_soundSlots[0] = 0;  // typed into the editor's sound bar
  PlaySlot(1);
  PlayMusicSlot(1);
  PlaySlot(16);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(audio().lastEffect, nullptr);

  ResetSoundSlots();
  PlaySlot(1);
  audio().Update(0.3f, true);
  PlaySlot(1);
  EXPECT_EQ(EffectsPlaying(), 1);
  PlaySlot(2);
  audio().Update(0.3f, true);
  PlaySlot(1);  // another effect came in between
  EXPECT_EQ(EffectsPlaying(), 3);
  audio().Update(0.5f, true);
  PlaySlot(1);
  EXPECT_EQ(EffectsPlaying(), 3);
  audio().Update(0.25f, true);
  PlaySlot(1);
  EXPECT_EQ(EffectsPlaying(), 4);
}

TEST_F(AudioTest, SuspensionHoldsEverythingAndMusicResumesWhereItWas) {
  Load(DIR + "a.wav\n" + DIR + "tune.wav");
  g_soundSlots[7] = 1;
  for (int i = 0; i < 6; ++i) PlayShot();
  EXPECT_EQ(EffectsPlaying(), 6) << "shots are never throttled; the ring forgets but does not stop";
  PlayMusicSlot(2);
  const SoundChannel music = audio().musicChannel;
  EXPECT_NEAR(mixer().HeardVolume(music), 0.75f, 0.01f);
  ASSERT_TRUE(WaitFor([&] { return mixer().PlayedMs(music) > 100.0; }));

  audio().Update(0.016f, false);
  EXPECT_TRUE(mixer().IsPaused(music));
  EXPECT_TRUE(mixer().IsPaused(audio().effectChannels[0]));
  PlayShot();
  PlaySlot(2);
  EXPECT_EQ(EffectsPlaying(), 6);
  SDL_Delay(60);
  const double held = mixer().PlayedMs(music);
  SDL_Delay(150);
  EXPECT_EQ(mixer().PlayedMs(music), held);

  audio().Update(0.016f, true);
  EXPECT_FALSE(mixer().IsPaused(audio().effectChannels[0]));
  ASSERT_TRUE(WaitFor([&] { return mixer().PlayedMs(music) > held; }));
  EXPECT_LT(mixer().PlayedMs(music), held + 1000.0) << "resumed, not restarted or skipped ahead";

  audio().Update(0.016f, false);
  PlayMusicSlot(1);
  EXPECT_TRUE(mixer().IsPaused(audio().musicChannel)) << "a track started while suspended waits";
}

TEST_F(AudioTest, VolumesStopAllAndAFreshManager) {
  Load(DIR + "a.wav\n" + DIR + "b.wav\n" + DIR + "tune.wav");
  audio().SetEffectsVolume(0.4f);
  PlaySlot(1);
  EXPECT_NEAR(mixer().HeardVolume(audio().effectChannels[0]), 0.4f, 0.01f);
  PlayMusicSlot(3);
  const SoundChannel first = audio().musicChannel;
  audio().SetMusicVolume(0.2f);
  EXPECT_NEAR(mixer().HeardVolume(first), 0.2f, 0.01f);
  PlayMusicSlot(3);
  EXPECT_TRUE(mixer().IsPaused(first)) << "the previous track is paused, not stopped";
  EXPECT_NEAR(mixer().HeardVolume(audio().musicChannel), 0.75f, 0.01f);

  audio().StopAll();
  EXPECT_EQ(EffectsPlaying(), 0);
  EXPECT_EQ(mixer().PlayingInGroup(audio().musicGroup), 0);

  // The editor's "Refresh": the new manager is built while the old one lives.
  PlayMusicSlot(3);
  std::shared_ptr<Audio> old = g_audio;
  Load(DIR + "a.wav\n" + DIR + "tune.wav");
  PlayMusicSlot(2);
  old.reset();
  EXPECT_TRUE(mixer().IsPlaying(audio().musicChannel));
}
