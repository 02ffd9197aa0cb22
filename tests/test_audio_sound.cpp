// The sound layer over the mixer: formats, handles, groups and loops, driven
// through SDL's dummy audio driver.
#include "platform/Sound.h"
#include "test_audio_files.h"

using namespace audio_test;

namespace {

class SoundLayer : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(system.Create(), SOUND_OK);
    ASSERT_EQ(system.Init(16), SOUND_OK);
    WriteWav(tree.Audio() / "long.wav", 4000);
    WriteWav(tree.Audio() / "blip.wav", 40);
    system.CreateSound((tree.Audio() / "long.wav").string(), &longSound);
    system.CreateSound((tree.Audio() / "blip.wav").string(), &blip);
    group = system.CreateGroup();
  }
  void TearDown() override {
    system.ReleaseSound(longSound);
    system.ReleaseSound(blip);
  }
  TempTree tree;
  SoundSystem system;
  Sound* longSound = nullptr;
  Sound* blip = nullptr;
  SoundGroup group;
};

} // namespace

TEST_F(SoundLayer, LoadsWavAndOggAndTellsMissingFromUndecodable) {
  EXPECT_NEAR(system.SoundLengthMs(longSound), 4000, 5);
  const std::string ogg = (tree.Audio() / "tone.ogg").string();
  ASSERT_EQ(std::system(("sox -q -n -r 22050 -c 1 " + ogg + " synth 0.5 sine 330").c_str()), 0);
  Sound* sound = nullptr;
  ASSERT_EQ(system.CreateSound(ogg, &sound), SOUND_OK);
  EXPECT_NEAR(system.SoundLengthMs(sound), 500, 20);
  system.ReleaseSound(sound);

  EXPECT_EQ(system.CreateSound((tree.Audio() / "absent.wav").string(), &sound), SOUND_ERR_FILE);
  EXPECT_EQ(sound, nullptr);
  WriteText(tree.Audio() / "notes.wav", "not a sound at all, just words");
  EXPECT_EQ(system.CreateSound((tree.Audio() / "notes.wav").string(), &sound), SOUND_ERR_FORMAT);
}

TEST_F(SoundLayer, StaleHandleNeverControlsTheSoundThatReusedItsChannel) {
  const SoundChannel old = system.Play(blip, group, false);
  ASSERT_TRUE(WaitFor([&] { return !system.IsPlaying(old); }));
  const SoundChannel now = system.Play(longSound, group, false);
  ASSERT_EQ(now.index, old.index) << "the freed channel is the first free one";
  system.SetPaused(old, true);
  system.SetVolume(old, 0.0f);
  system.Stop(old);
  EXPECT_TRUE(system.IsPlaying(now));
  EXPECT_FALSE(system.IsPaused(now));
  EXPECT_FLOAT_EQ(system.HeardVolume(now), 1.0f);
}

TEST_F(SoundLayer, GroupHoldReachesLaterChannelsAndLoopsRunOn) {
  const SoundChannel looping = system.Play(blip, group, false, -1);
  const SoundChannel once = system.Play(blip, group, false);
  ASSERT_TRUE(WaitFor([&] { return system.PlayedMs(looping) > 400.0; }));
  EXPECT_TRUE(system.IsPlaying(looping));
  EXPECT_FALSE(system.IsPlaying(once));

  system.SetPaused(looping, true);
  system.SetGroupVolume(group, 0.5f);
  system.SetGroupPaused(group, true);
  const SoundChannel later = system.Play(longSound, group, false);
  EXPECT_TRUE(system.IsPaused(later));
  EXPECT_NEAR(system.HeardVolume(later), 0.5f, 0.01f);
  // A channel paused on its own stays paused when the group lets go.
  system.SetGroupPaused(group, false);
  EXPECT_TRUE(system.IsPaused(looping));
  EXPECT_FALSE(system.IsPaused(later));

  const SoundChannel other = system.Play(longSound, system.CreateGroup(), false);
  system.StopGroup(group);
  EXPECT_EQ(system.PlayingInGroup(group), 0);
  EXPECT_TRUE(system.IsPlaying(other));
}
