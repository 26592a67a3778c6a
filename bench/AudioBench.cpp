// Costs of the audio path: decoding sound files at load time, and the per-effect calls the game
// makes while playing (the device on OpenAL Soft's null backend), and the shared random generator.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "audio/Audio.h"
#include "framework/Random.h"
#include "host/AudioDecode.h"

namespace {

const bool nullBackend = [] { return setenv("ALSOFT_DRIVERS", "null", 1) == 0; }();

std::vector<unsigned char> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// One second of 16-bit stereo at 44.1 kHz as a WAV file.
std::vector<unsigned char> OneSecondWav() {
  const std::uint32_t bytes = 44100 * 4;
  // Reserved at its final size: written into an empty vector, GCC 12 at -O3 cannot tell that the
  // first insert reallocates and warns of a write past the end (-Wstringop-overflow).
  std::vector<unsigned char> wav;
  wav.reserve(44 + bytes);
  auto u32 = [&](std::uint32_t v) {
    for (int k = 0; k < 4; ++k) wav.push_back(static_cast<unsigned char>(v >> (8 * k)));
  };
  auto u16 = [&](std::uint32_t v) {
    for (int k = 0; k < 2; ++k) wav.push_back(static_cast<unsigned char>(v >> (8 * k)));
  };
  wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
  u32(36 + bytes);
  wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  u32(16), u16(1), u16(2), u32(44100), u32(44100 * 4), u16(4), u16(16);
  wav.insert(wav.end(), {'d', 'a', 't', 'a'});
  u32(bytes);
  wav.resize(wav.size() + bytes, 0x11);
  return wav;
}

template <auto Decode>
void DecodeFromMemory(benchmark::State& state, std::vector<unsigned char> bytes) {
  if (bytes.empty()) {
    state.SkipWithError("sound file missing");
    return;
  }
  for (auto _ : state) {
    std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    int length = 0, channels = 0, format = 0, hertz = 0;
    auto data = Decode(file, &length, &channels, &format, &hertz);
    std::fclose(file);
    benchmark::DoNotOptimize(data.get());
    if (!data) state.SkipWithError("decode failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_DecodeWavOneSecondStereo(benchmark::State& state) {
  DecodeFromMemory<&LoadWAV>(state, OneSecondWav());
}
BENCHMARK(BM_DecodeWavOneSecondStereo);

// complete.oga: 1.09 s of stereo Vorbis at 44.1 kHz.
void BM_DecodeOggOneSecondStereo(benchmark::State& state) {
  DecodeFromMemory<&LoadOGG>(state, ReadFile("/usr/share/sounds/freedesktop/stereo/complete.oga"));
}
BENCHMARK(BM_DecodeOggOneSecondStereo)->Unit(benchmark::kMillisecond);

// What one sound effect costs the game per play: stop, play, rate, volume, pan on a rotating
// channel.
void BM_PlayEffectOnNullDevice(benchmark::State& state) {
  if (!nullBackend) return;
  char path[] = "/tmp/drommel-bench-XXXXXX.wav";
  const int fd = mkstemps(path, 4);
  const auto wav = OneSecondWav();
  if (fd < 0 || write(fd, wav.data(), wav.size()) != static_cast<ssize_t>(wav.size())) {
    state.SkipWithError("no scratch file");
    return;
  }
  close(fd);
  gxtkAudio audio;
  auto sample = audio.LoadSample(String(path));
  std::remove(path);
  int channel = 0;
  for (auto _ : state) {
    channel = (channel + 1) % 24;
    audio.StopChannel(channel);
    audio.PlaySample(sample, channel, 0);
    audio.SetRate(channel, 1);
    audio.SetVolume(channel, 0.5f);
    audio.SetPan(channel, 0);
  }
}
BENCHMARK(BM_PlayEffectOnNullDevice)->Unit(benchmark::kMicrosecond);

void BM_RandomRnd2(benchmark::State& state) {
  xq_random_Seed = 1234;
  for (auto _ : state) benchmark::DoNotOptimize(xq_random_Rnd2(-1, 1));
}
BENCHMARK(BM_RandomRnd2);

}  // namespace
