// Fuzz entry point for the state store's text decoder: any bytes (byte-order marks, UTF-8, UTF-16,
// broken sequences) decode without a crash into no more units than there are bytes, and whatever
// they decode to comes back unchanged when the store saves it and loads it again (the saved UTF-8
// decodes to the same text).
//
// The suite runs it on fixed and mutated inputs; with clang and -DDROMMEL_FUZZ=ON it also builds as
// the libFuzzer target fuzz_state_text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "decode/TextDecode.h"

namespace {
void Require(bool condition) {
  if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const String text = xq_data_DecodeText(bytes);
  Require(static_cast<size_t>(text.Length()) <= size);
  Require(xq_data_LastLoadError().Empty() || xq_data_LastLoadError() == String("Invalid UTF-8"));
  // A leading U+FEFF is written as the UTF-8 mark, which loading skips: the one text that cannot
  // come back whole, by design.
  if (text.Empty() || text.Units()[0] == u'\uFEFF') return 0;
  const String again = xq_data_DecodeText(text.ToUtf8());
  Require(again == text);
  Require(xq_data_LastLoadError().Empty());
  return 0;
}
