// The audio device's real mixed output: OpenAL Soft's wave backend writes what it mixes to a file
// (stereo 32-bit float at 44.1 kHz, in real time), and these tests measure its energy over
// stretches of audio time. The file's header is completed when the device closes.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "audio/Audio.h"
#include "tests/audio/TestFiles.h"
#include "tests/audio/WavBuilder.h"

namespace {

using Clock = std::chrono::steady_clock;

// OpenAL Soft reads its configuration once per process, before the first device opens.
TempDir& Dir() {
  static TempDir dir;
  return dir;
}
const std::string waveFile = Dir().Path("mix.wav").string();
const bool waveBackend = [] {
  std::ofstream conf(Dir().Path("alsoft.conf"));
  conf << "[general]\ndrivers = wave\n[wave]\nfile = " << waveFile << "\n";
  conf.close();
  unsetenv("ALSOFT_DRIVERS");
  return setenv("ALSOFT_CONF", Dir().Path("alsoft.conf").c_str(), 1) == 0;
}();

struct Energy {
  double left = 0, right = 0;
  double Total() const { return left + right; }
};

// The mixed output: interleaved left and right floats, from the file's "data" chunk on.
class Mix {
 public:
  explicit Mix(const std::string& path) {
    const auto bytes = ReadBytes(path);
    for (size_t at = 12; at + 8 <= bytes.size();) {
      std::uint32_t size;
      std::memcpy(&size, &bytes[at + 4], 4);
      if (std::memcmp(&bytes[at], "data", 4) == 0) {
        const size_t count = (bytes.size() - at - 8) / sizeof(float);
        samples_.resize(count);
        std::memcpy(samples_.data(), &bytes[at + 8], count * sizeof(float));
        break;
      }
      at += 8 + size;
    }
  }
  size_t Frames() const { return samples_.size() / 2; }

  // Ties the clock of the marks to the file: the first sound in the file is the first play, made at
  // mark `firstPlay`. (The file starts when the mixer starts, which under load can be a good while
  // before the device's constructor returns.) False when the file holds no sound at all.
  bool AlignFirstSoundTo(double firstPlay) {
    for (size_t i = 0; i < samples_.size(); ++i) {
      if (samples_[i] != 0) {
        offset_ = static_cast<double>(i / 2) / 44100 - firstPlay;
        return true;
      }
    }
    return false;
  }

  // Mean square per channel between two marks (seconds after the device opened).
  Energy Between(double from, double to) const {
    Energy e;
    const size_t first = static_cast<size_t>(std::max(0.0, from + offset_) * 44100);
    const size_t last =
        std::min(Frames(), static_cast<size_t>(std::max(0.0, to + offset_) * 44100));
    if (last <= first) return e;
    for (size_t i = first; i < last; ++i) {
      e.left += samples_[2 * i] * samples_[2 * i];
      e.right += samples_[2 * i + 1] * samples_[2 * i + 1];
    }
    e.left /= static_cast<double>(last - first);
    e.right /= static_cast<double>(last - first);
    return e;
  }

 private:
  std::vector<float> samples_;
  double offset_ = 0;
};

// A session on a fresh device: marks moments in audio time and reads the mix once closed.
class MixSession {
 public:
  MixSession() : audio(std::make_unique<gxtkAudio>()), opened_(Clock::now()) {
    tone = audio->LoadSample(String(Dir().Write("tone.wav", WavBuilder::Tone(44100, 44100))));
    blip = audio->LoadSample(String(Dir().Write("blip.wav", WavBuilder::Tone(44100, 2205))));
  }
  // Seconds since the device opened.
  double Now() const { return std::chrono::duration<double>(Clock::now() - opened_).count(); }
  // Lets the given amount of audio be mixed; returns the moment the wait began.
  double Let(double seconds) {
    const double start = Now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return start;
  }
  Mix Close() {
    audio.reset();
    return Mix(waveFile);
  }

  std::unique_ptr<gxtkAudio> audio;
  std::shared_ptr<gxtkSample> tone, blip;

 private:
  Clock::time_point opened_;
};

// Measurements keep clear of the edges of each stretch. The mixer works in updates of about 23 ms,
// and when its thread is held up it catches up later with whatever the channels hold by then, so a
// change can show in the file somewhat before the moment it was made.
constexpr double kMargin = 0.12;
constexpr double kLoud = 1e-3;   // the test tone at full gain gives about 0.09 per channel
constexpr double kQuiet = 1e-7;  // silence is exactly 0

}  // namespace

TEST(MixedOutput, PlayedSampleSoundsAndStoppingSilencesIt) {
  ASSERT_TRUE(waveBackend);
  MixSession s;
  ASSERT_TRUE(s.audio->Live());
  s.Let(0.2);
  s.audio->PlaySample(s.tone, 0, 0);
  const double playing = s.Let(0.4);
  s.audio->StopChannel(0);
  const double stopped = s.Let(0.4);
  const double end = s.Now();
  Mix mix = s.Close();
  ASSERT_GT(mix.Frames(), static_cast<size_t>(0.9 * 44100));
  ASSERT_TRUE(mix.AlignFirstSoundTo(playing));

  const Energy sounding = mix.Between(playing + kMargin, stopped);
  EXPECT_GT(sounding.left, kLoud);
  EXPECT_GT(sounding.right, kLoud);
  EXPECT_NEAR(sounding.left, sounding.right, sounding.left * 0.05);  // straight ahead: centred
  EXPECT_LT(mix.Between(stopped + kMargin, end).Total(), kQuiet);
}

TEST(MixedOutput, PanToTheRightPutsMoreEnergyRightAndToTheLeftMoreLeft) {
  ASSERT_TRUE(waveBackend);
  MixSession s;
  s.audio->SetPan(1, 1.5707964f);
  s.audio->PlaySample(s.tone, 1, 1);
  const double right = s.Let(0.4);
  s.audio->SetPan(1, -1.5707964f);
  const double left = s.Let(0.4);
  const double end = s.Now();
  Mix mix = s.Close();
  ASSERT_TRUE(mix.AlignFirstSoundTo(right));

  const Energy r = mix.Between(right + kMargin, left);
  const Energy l = mix.Between(left + kMargin, end);
  EXPECT_GT(r.right, kLoud);
  EXPECT_GT(r.right, 4 * r.left);
  EXPECT_GT(l.left, kLoud);
  EXPECT_GT(l.left, 4 * l.right);
}

TEST(MixedOutput, LoopingSampleKeepsSoundingWhileAOneShotFallsSilent) {
  ASSERT_TRUE(waveBackend);
  MixSession s;
  // The blip lasts 50 ms. Played once on the left and looping on the right, both start together.
  s.audio->SetPan(2, -1.5707964f);
  s.audio->SetPan(3, 1.5707964f);
  s.audio->PlaySample(s.blip, 2, 0);
  s.audio->PlaySample(s.blip, 3, 1);
  const double start = s.Let(0.5);
  s.audio->StopChannel(3);
  const double stopped = s.Let(0.4);
  const double end = s.Now();
  Mix mix = s.Close();
  ASSERT_TRUE(mix.AlignFirstSoundTo(start));

  const Energy later = mix.Between(start + 0.2, stopped);
  EXPECT_GT(later.right, kLoud);
  EXPECT_LT(later.left, later.right / 100);
  EXPECT_LT(mix.Between(stopped + kMargin, end).Total(), kQuiet);
}

TEST(MixedOutput, SuspendSilencesPlayingChannelsAndResumeBringsThemBack) {
  ASSERT_TRUE(waveBackend);
  MixSession s;
  s.audio->PlaySample(s.tone, 4, 1);
  const double playing = s.Let(0.4);
  s.audio->Suspend();
  const double suspended = s.Let(0.4);
  s.audio->Resume();
  const double resumed = s.Let(0.4);
  s.audio->PauseChannel(4);
  const double paused = s.Let(0.4);
  const double end = s.Now();
  Mix mix = s.Close();
  ASSERT_TRUE(mix.AlignFirstSoundTo(playing));

  EXPECT_GT(mix.Between(playing + kMargin, suspended).Total(), kLoud);
  EXPECT_LT(mix.Between(suspended + kMargin, resumed - kMargin).Total(), kQuiet);
  EXPECT_GT(mix.Between(resumed + kMargin, paused).Total(), kLoud);
  EXPECT_LT(mix.Between(paused + kMargin, end).Total(), kQuiet);
}
