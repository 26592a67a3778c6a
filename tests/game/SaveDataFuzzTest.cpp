// Feeds a few thousand deterministic mutations of saved records through the loading fuzz entry
// point: truncations, spliced and duplicated separators, digits replaced by long or signed numbers,
// stray letters, control and non-ASCII bytes. Run under the sanitizer build this checks that no
// record, however damaged, crashes the reader or indexes outside its tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "game/Constants.h"
#include "game/SaveRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// A small deterministic generator of its own, so the corpus does not depend on the game's.
class Mutator {
 public:
  explicit Mutator(uint32_t seed) : state_(seed) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  size_t Below(size_t n) { return n == 0 ? 0 : Next() % n; }

  // Each step builds a new record from the kept head, an inserted piece and the kept tail, rather
  // than editing the string in place: an in-place insert of text that could alias the string's own
  // buffer is what the optimiser cannot prove safe (and warns about) at -O3.
  std::string Mutate(std::string text) {
    const int steps = 1 + static_cast<int>(Below(4));
    for (int s = 0; s < steps; ++s) {
      const size_t at = Below(text.size() + 1);
      std::string piece;
      size_t removed = 0;
      switch (Below(9)) {
        case 0:
          removed = text.size() - at;
          break;
        case 1:
          piece = "|";
          break;
        case 2:
          if (at < text.size()) removed = 1 + Below(6);
          break;
        case 3:
          piece = "99999999999999999999";
          break;
        case 4:
          piece = Below(2) ? "-2147483648" : "+4294967295";
          break;
        case 5:
          piece.assign(1, static_cast<char>('a' + Below(26)));
          break;
        case 6:
          piece.assign(1, static_cast<char>(Below(256)));
          break;
        case 7: {
          const size_t from = Below(text.size() + 1);
          piece = text.substr(from, Below(40));
          break;
        }
        default:
          if (at < text.size()) {
            piece.assign(1, static_cast<char>('0' + Below(10)));
            removed = 1;
          }
          break;
      }
      text = Splice(text, at, removed, piece);
    }
    return text;
  }

 private:
  // text with `removed` bytes at `at` (clipped to its end) replaced by piece.
  static std::string Splice(const std::string& text, size_t at, size_t removed,
                            const std::string& piece) {
    const size_t tail = std::min(text.size(), at + removed);
    std::string out;
    out.reserve(at + piece.size() + (text.size() - tail));
    out.append(text, 0, at);
    out.append(piece);
    out.append(text, tail, std::string::npos);
    return out;
  }

  uint32_t state_;
};

std::vector<std::string> Seeds() {
  Array<int> options(25);
  BadgeMasks badges{};
  Array<int> highscores(50);
  std::vector<std::string> seeds{"", "|", "0|", std::string(60, '|')};
  options[Option::Sound] = SoundSetting::EffectsAndMusic;
  seeds.push_back(BuildSaveRecord(options, badges, highscores).ToUtf8());
  for (int i = 0; i < 25; ++i) options[i] = i * 37 - 300;
  badges = {1, -1, 0x40000000, -2147483647 - 1, 7, 0, 12345, -99};
  for (int i = 0; i < 20; ++i) highscores[i] = 2147483647 - i * 1000003;
  seeds.push_back(BuildSaveRecord(options, badges, highscores).ToUtf8());
  return seeds;
}

TEST(SaveRecordFuzz, ThousandsOfDamagedRecordsLoadWithoutCrashingAndStayWithinLimits) {
  Mutator mutator(0x5eed1234u);
  const std::vector<std::string> seeds = Seeds();
  // The entry point aborts on any broken rule; reaching the end is the pass.
  for (int i = 0; i < 4000; ++i) {
    const std::string input = mutator.Mutate(seeds[static_cast<size_t>(i) % seeds.size()]);
    ASSERT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size()),
              0);
  }
}

}  // namespace
