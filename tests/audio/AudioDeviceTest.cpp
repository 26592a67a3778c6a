// The audio device on real OpenAL Soft with its null backend: channel states, source properties,
// range checks and the deferred deletion of buffers. The null backend mixes in real time, so a test
// that needs a sound to end waits (boundedly) for that much audio to pass.
#include "audio/Audio.h"

#include <AL/al.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "runtime/Collect.h"
#include "tests/audio/TestFiles.h"
#include "tests/audio/WavBuilder.h"

namespace {

// OpenAL Soft reads its driver list once per process, before the first device opens.
const bool nullBackend = [] { return setenv("ALSOFT_DRIVERS", "null", 1) == 0; }();

// Polls until the condition holds or two seconds of real (audio) time have passed.
template <class Condition>
bool WaitFor(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

ALint SourceState(const gxtkAudio& audio, int channel) {
  ALint state = 0;
  alGetSourcei(audio.Channel(channel).source, AL_SOURCE_STATE, &state);
  return state;
}

class AudioDevice : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(nullBackend);
    audio = std::make_unique<gxtkAudio>();
    ASSERT_TRUE(audio->Live());
    // 20 ms and 2 s of a 16-bit mono tone at 44.1 kHz.
    shortPath = String(dir.Write("short.wav", WavBuilder::Tone(44100, 882)));
    longPath = String(dir.Write("long.wav", WavBuilder::Tone(44100, 88200)));
  }

  TempDir dir;
  String shortPath, longPath;
  std::unique_ptr<gxtkAudio> audio;
};

}  // namespace

TEST_F(AudioDevice, PlayingPausingResumingAndStoppingMoveTheChannelThroughItsStates) {
  auto sample = audio->LoadSample(longPath);
  ASSERT_TRUE(sample);
  EXPECT_NE(0u, sample->buffer);
  EXPECT_EQ(0, audio->ChannelState(5));

  audio->PlaySample(sample, 5, 0);
  EXPECT_EQ(1, audio->ChannelState(5));
  EXPECT_EQ(AL_PLAYING, SourceState(*audio, 5));
  audio->ResumeChannel(5);  // not paused: nothing happens
  EXPECT_EQ(1, audio->ChannelState(5));

  audio->PauseChannel(5);
  EXPECT_EQ(2, audio->ChannelState(5));
  EXPECT_EQ(AL_PAUSED, SourceState(*audio, 5));
  audio->PauseChannel(5);  // already paused: stays paused
  EXPECT_EQ(2, audio->ChannelState(5));
  audio->ResumeChannel(5);
  EXPECT_EQ(1, audio->ChannelState(5));
  EXPECT_EQ(AL_PLAYING, SourceState(*audio, 5));

  audio->StopChannel(5);
  EXPECT_EQ(0, audio->ChannelState(5));
  EXPECT_EQ(AL_STOPPED, SourceState(*audio, 5));
  audio->ResumeChannel(5);  // stopped, not paused: stays stopped
  EXPECT_EQ(0, audio->ChannelState(5));
}

TEST_F(AudioDevice, SampleThatHasEndedReadsAsStoppedAndCannotBePaused) {
  auto sample = audio->LoadSample(shortPath);
  audio->PlaySample(sample, 0, 0);
  audio->PlaySample(sample, 1, 0);
  // The device's view is corrected lazily, when asked.
  ASSERT_TRUE(WaitFor([&] { return SourceState(*audio, 0) == AL_STOPPED; }));
  ASSERT_TRUE(WaitFor([&] { return SourceState(*audio, 1) == AL_STOPPED; }));
  EXPECT_EQ(1, audio->Channel(0).state);
  EXPECT_EQ(0, audio->ChannelState(0));
  audio->PauseChannel(1);
  EXPECT_EQ(0, audio->ChannelState(1));
}

TEST_F(AudioDevice, LoopingSampleOutlastsItsLengthAndReplayingStartsOver) {
  auto tick = audio->LoadSample(shortPath);
  audio->PlaySample(tick, 2, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // five times its length
  EXPECT_EQ(1, audio->ChannelState(2));
  EXPECT_EQ(1, audio->Channel(2).flags);

  // Playing on a busy channel replaces the sound and starts it from the beginning.
  auto tone = audio->LoadSample(longPath);
  audio->PlaySample(tone, 2, 0);
  ALint looping = 1, offset = -1, buffer = 0;
  alGetSourcei(audio->Channel(2).source, AL_LOOPING, &looping);
  alGetSourcei(audio->Channel(2).source, AL_SAMPLE_OFFSET, &offset);
  alGetSourcei(audio->Channel(2).source, AL_BUFFER, &buffer);
  EXPECT_EQ(AL_FALSE, looping);
  EXPECT_LT(offset, 4410);
  EXPECT_EQ(static_cast<ALint>(tone->buffer), buffer);
  EXPECT_EQ(tone, audio->Channel(2).sample);
}

TEST_F(AudioDevice, VolumePanAndRateSetBeforePlayingApplyToTheNextSound) {
  EXPECT_EQ(0u, audio->Channel(7).source);
  audio->SetVolume(7, 0.25f);
  audio->SetRate(7, 1.5f);
  audio->SetPan(7, 1.5707964f);
  const ALuint source = audio->Channel(7).source;
  ASSERT_NE(0u, source);

  audio->PlaySample(audio->LoadSample(longPath), 7, 0);
  EXPECT_EQ(source, audio->Channel(7).source);  // the source is kept and reused
  ALfloat gain = 0, pitch = 0, x = 0, y = 0, z = 0;
  alGetSourcef(source, AL_GAIN, &gain);
  alGetSourcef(source, AL_PITCH, &pitch);
  alGetSource3f(source, AL_POSITION, &x, &y, &z);
  EXPECT_FLOAT_EQ(0.25f, gain);
  EXPECT_FLOAT_EQ(1.5f, pitch);
  EXPECT_NEAR(1.0f, x, 1e-6);
  EXPECT_EQ(0.0f, y);
  EXPECT_NEAR(0.0f, z, 1e-6);

  audio->SetPan(7, 0);
  alGetSource3f(source, AL_POSITION, &x, &y, &z);
  EXPECT_EQ(0.0f, x);
  EXPECT_EQ(-1.0f, z);
}

TEST_F(AudioDevice, SuspendAndResumeKeepChannelsThatTheProgramPaused) {
  auto sample = audio->LoadSample(longPath);
  audio->PlaySample(sample, 3, 1);
  audio->PlaySample(sample, 4, 1);
  audio->PauseChannel(4);

  audio->Suspend();
  EXPECT_EQ(AL_PAUSED, SourceState(*audio, 3));
  EXPECT_EQ(1, audio->ChannelState(3));
  EXPECT_EQ(2, audio->ChannelState(4));

  audio->Resume();
  EXPECT_EQ(AL_PLAYING, SourceState(*audio, 3));
  EXPECT_EQ(AL_PAUSED, SourceState(*audio, 4));
  EXPECT_EQ(1, audio->ChannelState(3));
  EXPECT_EQ(2, audio->ChannelState(4));
}

TEST_F(AudioDevice, MusicPlaysOnChannel32AndFailsWithMinusOneForBadFiles) {
  EXPECT_EQ(0, audio->PlayMusic(longPath, 1));
  EXPECT_EQ(1, audio->MusicState());
  EXPECT_EQ(1, audio->Channel(32).flags);
  audio->SetMusicVolume(0.5f);
  ALfloat gain = 0;
  alGetSourcef(audio->Channel(32).source, AL_GAIN, &gain);
  EXPECT_FLOAT_EQ(0.5f, gain);

  audio->PauseMusic();
  EXPECT_EQ(2, audio->MusicState());
  audio->ResumeMusic();
  EXPECT_EQ(1, audio->MusicState());
  audio->StopMusic();
  EXPECT_EQ(0, audio->MusicState());

  EXPECT_EQ(-1, audio->PlayMusic(String(dir.Path("missing.ogg").string()), 0));
  EXPECT_EQ(0, audio->MusicState());
}

TEST_F(AudioDevice, ChannelNumbersOutsideTheRangeAreIgnored) {
  auto sample = audio->LoadSample(longPath);
  for (int channel : {-1, 33, 1000, -2147483647 - 1}) {
    SCOPED_TRACE(channel);
    EXPECT_EQ(0, audio->PlaySample(sample, channel, 1));
    EXPECT_EQ(0, audio->ChannelState(channel));
    EXPECT_EQ(0, audio->PauseChannel(channel));
    EXPECT_EQ(0, audio->ResumeChannel(channel));
    EXPECT_EQ(0, audio->SetVolume(channel, 2));
    EXPECT_EQ(0, audio->SetPan(channel, 1));
    EXPECT_EQ(0, audio->SetRate(channel, 2));
    EXPECT_EQ(0, audio->StopChannel(channel));
    EXPECT_EQ(nullptr, audio->Channel(channel).sample);
    EXPECT_EQ(0u, audio->Channel(channel).source);
  }
  for (int channel = 0; channel < gxtkAudio::kChannelCount; ++channel) {
    EXPECT_EQ(0, audio->ChannelState(channel));
  }
}

TEST_F(AudioDevice, UnloadableFilesGiveNoSampleAndAnUnusableFormatGivesAnEmptyOne) {
  EXPECT_FALSE(audio->LoadSample(String(dir.Path("missing.wav").string())));
  EXPECT_FALSE(audio->LoadSample(String(dir.Write("tone.mp3", WavBuilder::Tone(44100, 100)))));
  EXPECT_FALSE(audio->LoadSample(String(dir.Write("junk.wav", {'R', 'I', 'F', 'F'}))));

  // Three channels of 16-bit data decode, but OpenAL has no such format: the buffer stays empty.
  const auto three = WavBuilder()
                         .Header()
                         .Format(3, 8000, 16)
                         .Chunk("data", std::vector<unsigned char>(60, 0))
                         .bytes;
  auto sample = audio->LoadSample(String(dir.Write("three.wav", three)));
  ASSERT_TRUE(sample);
  ALint size = -1;
  alGetBufferi(sample->buffer, AL_SIZE, &size);
  EXPECT_EQ(0, size);
  audio->PlaySample(sample, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return audio->ChannelState(0) == 0; }));
}

TEST_F(AudioDevice, DiscardedBufferOutlivesItsPlayingChannelUntilTheNextLoadOrPlay) {
  auto playing = audio->LoadSample(longPath);
  const ALuint buffer = playing->buffer;
  audio->PlaySample(playing, 1, 1);
  playing->Discard();
  EXPECT_EQ(0u, playing->buffer);
  EXPECT_EQ(1, gxtkAudio::DiscardedCount());

  // Still attached to a playing source: a flush keeps it, and the sound goes on.
  auto other = audio->LoadSample(shortPath);
  EXPECT_EQ(1, gxtkAudio::DiscardedCount());
  EXPECT_TRUE(alIsBuffer(buffer));
  EXPECT_EQ(AL_PLAYING, SourceState(*audio, 1));

  // Stopping frees it for the next flush, not at once.
  audio->StopChannel(1);
  EXPECT_EQ(1, gxtkAudio::DiscardedCount());
  EXPECT_TRUE(alIsBuffer(buffer));
  audio->PlaySample(other, 2, 0);
  EXPECT_EQ(0, gxtkAudio::DiscardedCount());
  EXPECT_FALSE(alIsBuffer(buffer));
}

TEST_F(AudioDevice, DroppedSampleKeepsPlayingAndIsReleasedByTheCollectionStepOnceStopped) {
  auto sample = audio->LoadSample(longPath);
  const ALuint buffer = sample->buffer;
  std::weak_ptr<gxtkSample> watch = sample;
  audio->PlaySample(sample, 6, 1);
  sample.reset();

  gc_collect();
  EXPECT_FALSE(watch.expired());
  EXPECT_EQ(AL_PLAYING, SourceState(*audio, 6));
  audio->PauseChannel(6);
  gc_collect();
  EXPECT_FALSE(watch.expired());  // paused sounds are kept too

  audio->StopChannel(6);
  gc_collect();
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(0, gxtkAudio::DiscardedCount());
  EXPECT_FALSE(alIsBuffer(buffer));
}

TEST_F(AudioDevice, ReloadingASampleReplacesItsBufferAndQueuesTheOldOne) {
  auto sample = audio->LoadSample(shortPath);
  const ALuint first = sample->buffer;
  ASSERT_EQ(sample, audio->LoadSample__UNSAFE__(sample, longPath));
  EXPECT_NE(first, sample->buffer);
  EXPECT_EQ(1, gxtkAudio::DiscardedCount());
  audio->FlushDiscarded();
  EXPECT_FALSE(alIsBuffer(first));
  EXPECT_FALSE(audio->LoadSample__UNSAFE__(nullptr, longPath));
}

TEST(AudioDeviceLifetime, SampleOutlivingItsDeviceIsHarmlessToTheNextDevice) {
  TempDir dir;
  const std::string path = dir.Write("tone.wav", WavBuilder::Tone(44100, 4410));
  std::shared_ptr<gxtkSample> survivor;
  {
    gxtkAudio first;
    survivor = first.LoadSample(String(path));
    first.PlaySample(survivor, 0, 1);
  }
  gxtkAudio second;
  auto fresh = second.LoadSample(String(path));
  // Buffer names restart with each device: the survivor's name may now be the fresh sample's.
  survivor.reset();
  second.PlaySample(second.LoadSample(String(path)), 1, 0);
  ALint size = 0;
  EXPECT_TRUE(alIsBuffer(fresh->buffer));
  alGetBufferi(fresh->buffer, AL_SIZE, &size);
  EXPECT_EQ(8820, size);
  EXPECT_EQ(0, gxtkAudio::DiscardedCount());
}
