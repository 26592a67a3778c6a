// Text decoding of the host's files: UTF-16 by byte-order mark, else UTF-8 (an optional mark
// skipped), falling back to Latin-1 byte for byte. Kept apart from the file code so that the
// decoder builds on its own (the fuzz target links just this and the runtime).
#include <string>

#include "host/Files.h"

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

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// One to three bytes per unit; false on any other pattern.
bool DecodeUtf8(std::string_view bytes, std::u16string& units) {
  const size_t size = bytes.size();
  for (size_t i = 0; i < size;) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      units.push_back(lead);
      i += 1;
    } else if ((lead & 0xE0) == 0xC0) {
      if (i + 1 >= size) return false;
      const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
      if (!IsContinuation(b1)) return false;
      units.push_back(static_cast<char16_t>(((lead & 0x1F) << 6) | (b1 & 0x3F)));
      i += 2;
    } else if ((lead & 0xF0) == 0xE0) {
      if (i + 2 >= size) return false;
      const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
      const auto b2 = static_cast<unsigned char>(bytes[i + 2]);
      if (!IsContinuation(b1) || !IsContinuation(b2)) return false;
      units.push_back(
          static_cast<char16_t>(((lead & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F)));
      i += 3;
    } else {
      return false;
    }
  }
  return true;
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
  std::u16string units;
  units.reserve(bytes.size());
  if (DecodeUtf8(bytes, units)) return String(std::move(units));
  lastLoadError = String("Invalid UTF-8");
  return String::FromLatin1(bytes);
}

String xq_data_LastLoadError() {
  return lastLoadError;
}
