// Feeds a few thousand deterministic mutations of saved records through the loading fuzz entry
// point: truncations, spliced and duplicated separators, digits replaced by long or signed numbers,
// stray letters, control and non-ASCII bytes. Run under the sanitizer build this checks that no
// record, however damaged, crashes the reader or indexes outside its tables.
#include <gtest/gtest.h>

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

  std::string Mutate(std::string text) {
    const int steps = 1 + static_cast<int>(Below(4));
    for (int s = 0; s < steps; ++s) {
      const size_t at = Below(text.size() + 1);
      switch (Below(9)) {
        case 0:
          text = text.substr(0, at);
          break;
        case 1:
          text.insert(at, "|");
          break;
        case 2:
          if (at < text.size()) text.erase(at, 1 + Below(6));
          break;
        case 3:
          text.insert(at, "99999999999999999999");
          break;
        case 4:
          text.insert(at, Below(2) ? "-2147483648" : "+4294967295");
          break;
        case 5:
          text.insert(at, 1, static_cast<char>('a' + Below(26)));
          break;
        case 6:
          text.insert(at, 1, static_cast<char>(Below(256)));
          break;
        case 7:
          text.insert(at, text.substr(Below(text.size() + 1), Below(40)));
          break;
        default:
          if (at < text.size()) text[at] = static_cast<char>('0' + Below(10));
          break;
      }
    }
    return text;
  }

 private:
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
