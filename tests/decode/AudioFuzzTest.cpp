// Drives the decoders' fuzz entry point with a few thousand deterministic mutations of a valid WAV
// file and a valid Ogg Vorbis file; under the sanitizer build any memory fault or leak fails it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "tests/audio/OggPages.h"
#include "tests/audio/TestFiles.h"
#include "tests/audio/WavBuilder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// xorshift64*: a fixed sequence, so every run feeds the same inputs.
class Mutator {
 public:
  std::uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 2685821657736338717ull;
  }
  std::size_t Below(std::size_t n) { return n ? static_cast<std::size_t>(Next() % n) : 0; }

  void Mutate(std::vector<unsigned char>& bytes) {
    static constexpr std::uint32_t kInteresting[] = {
        0, 1, 2, 16, 0x7fffffff, 0x80000000, 0xffffffff, 0xfffffff0, 65535, 44100};
    const int steps = 1 + static_cast<int>(Below(4));
    for (int i = 0; i < steps && !bytes.empty(); ++i) {
      const std::size_t at = Below(bytes.size());
      switch (Below(6)) {
        case 0:
          bytes[at] ^= static_cast<unsigned char>(1u << Below(8));
          break;
        case 1:
          bytes[at] = static_cast<unsigned char>(Next());
          break;
        case 2: {
          const std::uint32_t v = kInteresting[Below(std::size(kInteresting))];
          for (std::size_t k = 0; k < 4 && at + k < bytes.size(); ++k) {
            bytes[at + k] = static_cast<unsigned char>(v >> (8 * k));
          }
          break;
        }
        case 3:
          bytes.resize(at);
          break;
        case 4: {
          const std::size_t len = Below(std::min<std::size_t>(64, bytes.size() - at) + 1);
          std::vector<unsigned char> slice(bytes.begin() + static_cast<long>(at),
                                           bytes.begin() + static_cast<long>(at + len));
          bytes.insert(bytes.begin() + static_cast<long>(Below(bytes.size())), slice.begin(),
                       slice.end());
          break;
        }
        default:
          bytes.erase(
              bytes.begin() + static_cast<long>(at),
              bytes.begin() + static_cast<long>(std::min(bytes.size(), at + 1 + Below(16))));
          break;
      }
    }
  }

 private:
  std::uint64_t state_ = 0x9e3779b97f4a7c15ull;
};

void Feed(const std::vector<unsigned char>& bytes) {
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

}  // namespace

TEST(DecoderFuzzing, ThousandsOfMutatedWavAndOggFilesDecodeOrGiveNullSafely) {
  std::vector<std::vector<unsigned char>> seeds;
  seeds.push_back(WavBuilder()
                      .Header()
                      .Format(2, 22050, 16, 1, 2)
                      .Chunk("LIST", {'I', 'N', 'F', 'O', 'a', 'b', 'c', 'd'})
                      .Chunk("data", std::vector<unsigned char>(256, 0x41))
                      .bytes);
  seeds.push_back(WavBuilder::Tone(8000, 64));
  const auto ogg = ReadBytes("/usr/share/sounds/freedesktop/stereo/phone-outgoing-calling.oga");
  ASSERT_FALSE(ogg.empty()) << "sound-theme-freedesktop sounds are missing";
  seeds.push_back(ogg);

  for (const auto& seed : seeds) Feed(seed);
  Mutator mutator;
  for (int i = 0; i < 4000; ++i) {
    auto bytes = seeds[static_cast<std::size_t>(i) % seeds.size()];
    mutator.Mutate(bytes);
    if (i % 2) FixOggChecksums(bytes);
    Feed(bytes);
  }
  // Nothing to compare: the sanitizers and the absence of a crash are the check.
  SUCCEED();
}
