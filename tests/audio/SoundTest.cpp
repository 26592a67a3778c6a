// The sound front end and the host's audio loader, on OpenAL Soft's null backend.
#include "audio/Sound.h"

#include <AL/al.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "host/Game.h"
#include "runtime/Collect.h"
#include "tests/audio/TestFiles.h"
#include "tests/audio/WavBuilder.h"

namespace {

const bool nullBackend = [] { return setenv("ALSOFT_DRIVERS", "null", 1) == 0; }();

// Runs the test from inside a scratch folder with a ./data/sfx/ of two sounds, as the game runs
// from the folder that holds its data.
class SoundFrontEnd : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(nullBackend);
    std::filesystem::create_directories(dir.Path("data/sfx"));
    dir.Write("data/sfx/001.wav", WavBuilder::Tone(44100, 882));
    dir.Write("data/sfx/002.txt", WavBuilder::Tone(44100, 882));
    previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path(""));
    xq_audio_SetAudioDevice(std::make_shared<gxtkAudio>());
  }
  void TearDown() override {
    xq_audio_SetAudioDevice(nullptr);
    std::filesystem::current_path(previous);
  }

  TempDir dir;
  std::filesystem::path previous;
  XQGame host;
};

}  // namespace

TEST_F(SoundFrontEnd, LoadsShortNamesFromTheDataFolderAndGivesNullForMissingOrUnknownFiles) {
  auto sound = xq_audio_LoadSound("sfx/001.wav");
  ASSERT_TRUE(sound);
  ASSERT_TRUE(sound->sample);
  EXPECT_NE(0u, sound->sample->buffer);
  EXPECT_TRUE(xq_audio_LoadSound("./data/sfx/001.wav"));
  EXPECT_FALSE(xq_audio_LoadSound("sfx/003.wav"));
  EXPECT_FALSE(xq_audio_LoadSound("sfx/002.txt"));
  EXPECT_FALSE(xq_audio_LoadSound("kestro://elsewhere/sfx/001.wav"));
}

TEST_F(SoundFrontEnd, HostLoaderDecodesPortablePathsAndAsksForAFullSweep) {
  gc_collect();
  int length = 0, channels = 0, format = 0, hertz = 0;
  auto data = host.LoadAudioData("kestro://data/sfx/001.wav", &length, &channels, &format, &hertz);
  ASSERT_TRUE(data);
  EXPECT_EQ(882, length);
  EXPECT_EQ(1, channels);
  EXPECT_EQ(2, format);
  EXPECT_EQ(44100, hertz);
  EXPECT_TRUE(gc_collect());
  EXPECT_FALSE(
      host.LoadAudioData("kestro://data/sfx/404.wav", &length, &channels, &format, &hertz));
}

TEST_F(SoundFrontEnd, PlayingNothingDoesNothingAndLoopingPlaysUntilStopped) {
  EXPECT_EQ(0, xq_audio_PlaySound(nullptr, 0, 0));
  EXPECT_EQ(0, xq_audio_device->ChannelState(0));
  EXPECT_EQ(0, xq_audio_PlaySound(std::make_shared<c_Sound>(), 0, 0));
  EXPECT_EQ(0, xq_audio_device->ChannelState(0));

  auto sound = xq_audio_LoadSound("sfx/001.wav");  // 20 ms
  xq_audio_PlaySound(sound, 3, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(1, xq_audio_device->ChannelState(3));
  xq_audio_StopChannel(3);
  EXPECT_EQ(0, xq_audio_device->ChannelState(3));
}

TEST_F(SoundFrontEnd, ChannelSettingsReachTheDeviceAndStopMusicLeavesEffectChannelsAlone) {
  xq_audio_SetChannelVolume(9, 0.5f);
  xq_audio_SetChannelRate(9, 2.0f);
  xq_audio_SetChannelPan(9, -1.5707964f);
  ALfloat gain = 0, pitch = 0, x = 0, y = 0, z = 0;
  const ALuint source = xq_audio_device->Channel(9).source;
  alGetSourcef(source, AL_GAIN, &gain);
  alGetSourcef(source, AL_PITCH, &pitch);
  alGetSource3f(source, AL_POSITION, &x, &y, &z);
  EXPECT_EQ(0.5f, gain);
  EXPECT_EQ(2.0f, pitch);
  EXPECT_NEAR(-1.0f, x, 1e-6);

  auto sound = xq_audio_LoadSound("sfx/001.wav");
  for (int channel : {0, 31, 32}) xq_audio_PlaySound(sound, channel, 1);
  xq_audio_PauseMusic();
  EXPECT_EQ(2, xq_audio_device->ChannelState(32));
  xq_audio_ResumeMusic();
  xq_audio_StopMusic();
  EXPECT_EQ(0, xq_audio_device->ChannelState(32));
  EXPECT_EQ(1, xq_audio_device->ChannelState(0));
  EXPECT_EQ(1, xq_audio_device->ChannelState(31));
}

TEST(SoundFrontEndWithoutDevice, EveryCallIsSafeBeforeTheDeviceExists) {
  xq_audio_SetAudioDevice(nullptr);
  EXPECT_FALSE(xq_audio_LoadSound("sfx/001.wav"));
  EXPECT_EQ(0, xq_audio_PlaySound(std::make_shared<c_Sound>(), 0, 0));
  EXPECT_EQ(0, xq_audio_StopChannel(0));
  EXPECT_EQ(0, xq_audio_SetChannelVolume(0, 1));
  EXPECT_EQ(0, xq_audio_SetChannelPan(0, 1));
  EXPECT_EQ(0, xq_audio_SetChannelRate(0, 1));
  EXPECT_EQ(0, xq_audio_PauseMusic());
  EXPECT_EQ(0, xq_audio_ResumeMusic());
  EXPECT_EQ(0, xq_audio_StopMusic());
}
