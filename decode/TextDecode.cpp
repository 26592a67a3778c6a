// Text decoding of the game's files: UTF-16 by byte-order mark, else UTF-8 (an optional mark
// skipped), falling back to Latin-1 byte for byte. Kept apart from the file code so that the
// decoder reads on its own (the state-text fuzz target drives it).
#include <optional>
#include <string>

#include "decode/TextDecode.h"

namespace {

String lastLoadError;

String DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(
        static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
  }
  return String(std::move(units));
}

}  // namespace

String xq_data_DecodeText(std::string_view bytes) {
  if (bytes.empty()) return String();
  lastLoadError = String();
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) return DecodeUtf16(bytes, true);
  if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) return DecodeUtf16(bytes, false);
  if (bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
    bytes.remove_prefix(3);
  }
  if (std::optional<String> text = String::DecodeUtf8(bytes)) return *std::move(text);
  lastLoadError = String("Invalid UTF-8");
  return String::FromLatin1(bytes);
}

String xq_data_LastLoadError() {
  return lastLoadError;
}
