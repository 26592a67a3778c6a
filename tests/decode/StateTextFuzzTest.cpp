// Runs the state text decoder's fuzz entry point on the committed corpus (marks, UTF-8, UTF-16, and
// any input a fuzzing run once found) and on a few thousand deterministic byte mutations of it, so
// the plain and sanitizer suites check the same properties the libFuzzer run does.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

TEST(StateTextFuzz, CorpusAndItsMutationsDecodeAndSurviveASaveAndLoad) {
  std::vector<std::string> corpus;
  for (const auto& entry :
       std::filesystem::directory_iterator(DROMMEL_SOURCE_DIR "/tests/fuzz-corpus/state_text")) {
    std::ifstream in(entry.path(), std::ios::binary);
    corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  ASSERT_GE(corpus.size(), 4u);
  uint32_t state = 17;
  const auto next = [&] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  for (int round = 0; round < 4000; ++round) {
    std::string bytes = corpus[round % corpus.size()];
    for (int edits = round == 0 ? 0 : 1 + static_cast<int>(next() % 4); edits > 0; --edits) {
      const size_t at = bytes.empty() ? 0 : next() % bytes.size();
      const char byte = static_cast<char>(next());
      switch (next() % 3) {
        case 0:
          if (!bytes.empty()) bytes[at] = byte;
          break;
        case 1:
          bytes.insert(at, 1, byte);
          break;
        default:
          bytes.resize(at);
          break;
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
}

}  // namespace
