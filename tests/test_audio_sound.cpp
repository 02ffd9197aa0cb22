// The sound layer over the mixer: formats, handles, groups, loops and the
// silent system, driven through SDL's dummy audio driver.
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
    ASSERT_EQ(system.CreateSound((tree.Audio() / "long.wav").string(), &longSound), SOUND_OK);
    ASSERT_EQ(system.CreateSound((tree.Audio() / "blip.wav").string(), &blip), SOUND_OK);
    group = system.CreateGroup();
  }
  void TearDown() override {
    system.ReleaseSound(longSound);
    system.ReleaseSound(blip);
    system.Release();
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

  Sound* ogg = nullptr;
  if (WriteOgg(tree.Audio() / "tone.ogg", 0.5)) {
    ASSERT_EQ(system.CreateSound((tree.Audio() / "tone.ogg").string(), &ogg), SOUND_OK);
    EXPECT_NEAR(system.SoundLengthMs(ogg), 500, 20);
    EXPECT_TRUE(system.IsPlaying(system.Play(ogg, group, false)));
    system.ReleaseSound(ogg);
  } else {
    ADD_FAILURE() << "sox could not write an OGG Vorbis file";
  }

  Sound* none = reinterpret_cast<Sound*>(1);
  EXPECT_EQ(system.CreateSound((tree.Audio() / "absent.wav").string(), &none), SOUND_ERR_FILE);
  EXPECT_EQ(none, nullptr);
  WriteText(tree.Audio() / "notes.wav", "not a sound at all, just words");
  EXPECT_EQ(system.CreateSound((tree.Audio() / "notes.wav").string(), &none), SOUND_ERR_FORMAT);
  EXPECT_EQ(system.CreateSound("", &none), SOUND_ERR_FILE);
}

TEST_F(SoundLayer, StaleHandleNeverControlsTheSoundThatReusedItsChannel) {
  const SoundChannel old = system.Play(blip, group, false);
  ASSERT_TRUE(system.IsPlaying(old));
  ASSERT_TRUE(WaitFor([&] { return !system.IsPlaying(old); }));

  const SoundChannel now = system.Play(longSound, group, false);
  ASSERT_EQ(now.index, old.index) << "the freed channel is the first free one";
  system.SetPaused(old, true);
  system.SetVolume(old, 0.0f);
  system.Stop(old);
  EXPECT_TRUE(system.IsPlaying(now));
  EXPECT_FALSE(system.IsPaused(now));
  EXPECT_FLOAT_EQ(system.GetVolume(now), 1.0f);
  EXPECT_FALSE(system.IsPlaying(old));
  EXPECT_EQ(system.PlayedMs(old), 0.0);

  system.Stop(now);
  EXPECT_FALSE(system.IsPlaying(now));
  EXPECT_FALSE(system.IsPlaying(SoundChannel{}));
}

TEST_F(SoundLayer, GroupPauseAndVolumeReachChannelsStartedLater) {
  const SoundChannel before = system.Play(longSound, group, false);
  system.SetVolume(before, 0.5f);
  system.SetGroupVolume(group, 0.5f);
  system.SetGroupPaused(group, true);
  const SoundChannel after = system.Play(longSound, group, false);

  EXPECT_TRUE(system.IsPaused(before));
  EXPECT_TRUE(system.IsPaused(after));
  EXPECT_FALSE(system.GetPaused(after)) << "the hold is the group's, not the channel's";
  EXPECT_NEAR(system.HeardVolume(before), 0.25f, 0.01f);
  EXPECT_NEAR(system.HeardVolume(after), 0.5f, 0.01f);

  // A channel paused on its own stays paused when the group lets go.
  system.SetPaused(before, true);
  system.SetGroupPaused(group, false);
  EXPECT_TRUE(system.IsPaused(before));
  EXPECT_FALSE(system.IsPaused(after));

  const SoundChannel other = system.Play(longSound, system.CreateGroup(), false);
  system.SetGroupVolume(group, 2.0f);
  EXPECT_FLOAT_EQ(system.GroupVolume(group), 1.0f);
  system.StopGroup(group);
  EXPECT_EQ(system.PlayingInGroup(group), 0);
  EXPECT_FALSE(system.IsPlaying(before));
  EXPECT_TRUE(system.IsPlaying(other)) << "stopping one group leaves the others";
}

TEST_F(SoundLayer, LoopsForeverAndPauseKeepsThePlace) {
  const SoundChannel looping = system.Play(blip, group, false, -1);
  const SoundChannel once = system.Play(blip, group, false);
  ASSERT_TRUE(WaitFor([&] { return system.PlayedMs(looping) > 400.0; }));
  EXPECT_TRUE(system.IsPlaying(looping));
  EXPECT_FALSE(system.IsPlaying(once));

  const SoundChannel track = system.Play(longSound, group, false);
  ASSERT_TRUE(WaitFor([&] { return system.PlayedMs(track) > 100.0; }));
  system.SetPaused(track, true);
  SDL_Delay(60);  // let a piece the mixer may have been mixing finish
  const double held = system.PlayedMs(track);
  SDL_Delay(200);
  EXPECT_EQ(system.PlayedMs(track), held);
  system.SetPaused(track, false);
  ASSERT_TRUE(WaitFor([&] { return system.PlayedMs(track) > held; }));
  EXPECT_LT(system.PlayedMs(track), held + 1000.0) << "resumed where it was, not restarted far ahead";
}

TEST_F(SoundLayer, ReleasingASoundEndsItsChannels) {
  Sound* extra = nullptr;
  ASSERT_EQ(system.CreateSound((tree.Audio() / "long.wav").string(), &extra), SOUND_OK);
  const SoundChannel channel = system.Play(extra, group, false);
  system.ReleaseSound(extra);
  EXPECT_FALSE(system.IsPlaying(channel));
  EXPECT_FALSE(system.IsPlaying(system.Play(nullptr, group, false)));
}

TEST(SoundSystems, TwoSystemsShareTheMixerWithoutTouchingEachOther) {
  TempTree tree;
  WriteWav(tree.Audio() / "long.wav", 4000);
  WriteWav(tree.Audio() / "blip.wav", 40);
  SoundSystem first;
  SoundSystem second;
  first.Create();
  second.Create();
  ASSERT_EQ(first.Init(8), SOUND_OK);
  ASSERT_EQ(second.Init(8), SOUND_OK);
  Sound* blip = nullptr;
  Sound* tune = nullptr;
  first.CreateSound((tree.Audio() / "blip.wav").string(), &blip);
  second.CreateSound((tree.Audio() / "long.wav").string(), &tune);

  const SoundChannel old = first.Play(blip, first.CreateGroup(), false);
  ASSERT_TRUE(WaitFor([&] { return !first.IsPlaying(old); }));
  const SoundChannel theirs = second.Play(tune, second.CreateGroup(), false);
  EXPECT_EQ(theirs.index, old.index);
  first.SetPaused(theirs, true);  // not first's start
  first.Stop(old);
  EXPECT_FALSE(second.IsPaused(theirs));

  // The first system going away leaves the device open for the second.
  first.ReleaseSound(blip);
  first.Release();
  EXPECT_TRUE(second.IsPlaying(theirs));
  EXPECT_TRUE(second.IsPlaying(second.Play(tune, SoundGroup{}, false)));
  second.ReleaseSound(tune);
  second.Release();
}

TEST(SoundSystems, WithoutADeviceSoundsStillCountAndEverythingIsHarmless) {
  TempTree tree;
  WriteWav(tree.Audio() / "a.wav", 100);
  const bool haveOgg = WriteOgg(tree.Audio() / "b.ogg", 0.2);
  WriteText(tree.Audio() / "c.wav", "words");
  SoundSystem silent;
  {
    NoAudioDevice noDevice;
    silent.Create();
    EXPECT_EQ(silent.Init(100), SOUND_ERR_INIT);
  }
  EXPECT_TRUE(silent.IsSilent());
  Sound* a = nullptr;
  Sound* b = nullptr;
  Sound* c = nullptr;
  EXPECT_EQ(silent.CreateSound((tree.Audio() / "a.wav").string(), &a), SOUND_OK);
  if (haveOgg) {
    EXPECT_EQ(silent.CreateSound((tree.Audio() / "b.ogg").string(), &b), SOUND_OK);
  }
  EXPECT_EQ(silent.CreateSound((tree.Audio() / "c.wav").string(), &c), SOUND_ERR_FORMAT);
  EXPECT_EQ(silent.CreateSound((tree.Audio() / "d.wav").string(), &c), SOUND_ERR_FILE);

  const SoundGroup group = silent.CreateGroup();
  const SoundChannel channel = silent.Play(a, group, false, -1);
  EXPECT_FALSE(silent.IsPlaying(channel));
  silent.SetPaused(channel, true);
  silent.SetVolume(channel, 0.3f);
  silent.SetGroupPaused(group, true);
  silent.SetGroupVolume(group, 0.2f);
  silent.StopGroup(group);
  silent.Update();
  EXPECT_FLOAT_EQ(silent.GroupVolume(group), 0.2f);
  silent.ReleaseSound(a);
  silent.ReleaseSound(b);
  silent.Release();

  // A machine that gains a device later opens it normally.
  SoundSystem loud;
  loud.Create();
  EXPECT_EQ(loud.Init(8), SOUND_OK);
  EXPECT_FALSE(loud.IsSilent());
}
