// Costs of the audio path: decoding sound files at load time, and the per-effect calls the game
// makes while playing (the device on OpenAL Soft's null backend), and the shared random generator.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "audio/Audio.h"
#include "decode/AudioDecode.h"
#include "framework/Random.h"

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
    auto data = Decode(file, &length, &channels, &format, &hertz, nullptr);
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

// `minutes` of stereo 44.1 kHz Vorbis made by sox, kept in the temporary folder for the next run
// (making 25 minutes takes about a minute). Empty when sox cannot make it.
std::vector<unsigned char> LongOgg(int minutes) {
  const char* folder = std::getenv("TMPDIR");
  const std::string path = std::string(folder && *folder ? folder : "/tmp") + "/drommel-bench-" +
                           std::to_string(minutes) + "min.ogg";
  if (std::ifstream(path).good()) return ReadFile(path.c_str());
  const std::string command =
      "sox -n -r 44100 -c 2 -C 0 -t ogg '" + path + ".part' synth " + std::to_string(minutes * 60) +
      " sine 440 vol 0.5 </dev/null && mv '" + path + ".part' '" + path + "'";
  if (std::system(command.c_str()) != 0) return {};
  return ReadFile(path.c_str());
}

// A figure of this process from /proc/self/status in KiB ("VmRSS", "VmHWM").
double ProcessKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::atof(line.c_str() + field.size() + 1);
  }
  return 0;
}

// The peak resident memory that decoding a long Ogg adds to the process: the decoded samples,
// 4 bytes a stereo frame, and whatever the decoder holds besides. 25 minutes is within the
// decoder's limit and loads; 26 minutes is past it and is refused.
void BM_DecodeLongOggPeakMemory(benchmark::State& state, int minutes) {
  std::vector<unsigned char> bytes = LongOgg(minutes);
  if (bytes.empty()) {
    state.SkipWithError("sox cannot make the long sound");
    return;
  }
  double peakKiB = 0, decodedKiB = 0;
  for (auto _ : state) {
    // Writing 5 to clear_refs starts the peak (VmHWM) afresh from the present size.
    std::ofstream("/proc/self/clear_refs") << "5";
    const double before = ProcessKiB("VmRSS");
    std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    int length = 0, channels = 0, format = 0, hertz = 0;
    auto data = LoadOGG(file, &length, &channels, &format, &hertz);
    std::fclose(file);
    peakKiB = ProcessKiB("VmHWM") - before;
    decodedKiB = data ? double(length) * channels * format / 1024 : 0;
  }
  state.counters["peak_MiB"] = peakKiB / 1024;
  state.counters["decoded_MiB"] = decodedKiB / 1024;
  state.counters["file_MiB"] = double(bytes.size()) / (1 << 20);
}
BENCHMARK_CAPTURE(BM_DecodeLongOggPeakMemory, 25min, 25)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_DecodeLongOggPeakMemory, 26min, 26)->Iterations(1)->Unit(benchmark::kSecond);

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
