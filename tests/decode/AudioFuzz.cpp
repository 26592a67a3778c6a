// Fuzz entry point for the sound decoders: any bytes, read as a WAV file and as an Ogg Vorbis file,
// must give data or null without a crash, a leak or undefined behaviour.
//
// Built into the GoogleTest suite (AudioFuzzTest.cpp feeds it deterministic mutations) and, with
// clang, into the libFuzzer binary fuzz_audio_decode:
//   cmake -DCMAKE_CXX_COMPILER=clang++ ... && fuzz_audio_decode -max_total_time=60
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "decode/AudioDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  std::vector<unsigned char> bytes(data, data + size);
  using Decoder =
      std::unique_ptr<unsigned char[]> (*)(std::FILE*, int*, int*, int*, int*, std::string*);
  for (Decoder decode : {Decoder{&LoadWAV}, Decoder{&LoadOGG}}) {
    std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    if (!file) return 0;
    int length = 0, channels = 0, format = 0, hertz = 0;
    auto pcm = decode(file, &length, &channels, &format, &hertz, nullptr);
    std::fclose(file);
    if (pcm) {
      // Touch every byte the decoder claims to have produced, so a short buffer shows up.
      const std::size_t total = static_cast<std::size_t>(length) * channels * format;
      volatile unsigned char sum = 0;
      for (std::size_t i = 0; i < total; ++i) sum = sum + pcm[i];
    }
  }
  return 0;
}
