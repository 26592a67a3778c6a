// The audio device when no OpenAL device can be opened: it says so once and runs on silently, and
// the game's calls keep working.
#include <gtest/gtest.h>

#include <cstdlib>

#include "audio/Sound.h"
#include "tests/audio/TestFiles.h"
#include "tests/audio/WavBuilder.h"

namespace {
// No such backend: OpenAL Soft finds nothing to open.
const bool noBackend = [] { return setenv("ALSOFT_DRIVERS", "none-at-all", 1) == 0; }();
}  // namespace

TEST(SilentAudio, SaysTheDeviceFailedAndKeepsEveryCallSafe) {
  ASSERT_TRUE(noBackend);
  testing::internal::CaptureStdout();
  auto audio = std::make_shared<gxtkAudio>();
  EXPECT_EQ("OpenAl error: alcOpenDevice failed\n", testing::internal::GetCapturedStdout());
  EXPECT_FALSE(audio->Live());

  TempDir dir;
  xq_audio_SetAudioDevice(audio);
  // Files still load (so the game sees the sound as present) but no buffer is made.
  auto sound = xq_audio_LoadSound(String(dir.Write("tone.wav", WavBuilder::Tone(8000, 800))));
  ASSERT_TRUE(sound);
  EXPECT_EQ(0u, sound->sample->buffer);
  EXPECT_FALSE(xq_audio_LoadSound(String(dir.Path("missing.wav").string())));

  // The channels keep the program's view of them.
  xq_audio_PlaySound(sound, 4, 1);
  xq_audio_SetChannelVolume(4, 0.5f);
  xq_audio_SetChannelPan(4, 1);
  xq_audio_SetChannelRate(4, 2);
  EXPECT_EQ(1, audio->ChannelState(4));
  EXPECT_EQ(0u, audio->Channel(4).source);
  audio->PauseChannel(4);
  EXPECT_EQ(2, audio->ChannelState(4));
  audio->Suspend();
  audio->Resume();
  audio->ResumeChannel(4);
  EXPECT_EQ(1, audio->ChannelState(4));
  xq_audio_StopChannel(4);
  EXPECT_EQ(0, audio->ChannelState(4));
  EXPECT_EQ(0, audio->PlayMusic(String(dir.Write("music.wav", WavBuilder::Tone(8000, 80))), 1));
  xq_audio_PauseMusic();
  xq_audio_ResumeMusic();
  xq_audio_StopMusic();
  EXPECT_EQ(0, audio->MusicState());
  sound->sample->Discard();
  audio->FlushDiscarded();
  EXPECT_EQ(0, gxtkAudio::DiscardedCount());
  xq_audio_SetAudioDevice(nullptr);
}
