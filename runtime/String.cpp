// String operations and the byte conversions used at the program's edges.
#include "runtime/String.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ostream>

std::optional<String> String::DecodeUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  const auto continues = [&](size_t at) { return at < n && (p[at] & 0xC0) == 0x80; };
  size_t i = 0;
  while (i < n) {
    const unsigned c = p[i];
    if (c < 0x80) {
      out.push_back(static_cast<char16_t>(c));
      i += 1;
    } else if ((c & 0xE0) == 0xC0 && continues(i + 1)) {
      out.push_back(static_cast<char16_t>(((c & 0x1F) << 6) | (p[i + 1] & 0x3F)));
      i += 2;
    } else if ((c & 0xF0) == 0xE0 && continues(i + 1) && continues(i + 2)) {
      out.push_back(
          static_cast<char16_t>(((c & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F)));
      i += 3;
    } else {
      return std::nullopt;
    }
  }
  return String(std::move(out));
}

String String::FromUtf8(std::string_view bytes) {
  if (std::optional<String> decoded = DecodeUtf8(bytes)) return *std::move(decoded);
  return FromLatin1(bytes);
}

String String::FromLatin1(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    out[i] = static_cast<unsigned char>(bytes[i]);
  }
  return String(std::move(out));
}

String String::FromInt(int value) {
  return String(std::to_string(value));
}

String String::FromFloat(float value) {
  char buffer[64];
#if defined(__cpp_lib_to_chars)
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, ec == std::errc() ? end : buffer);
#else
  // A C++ library without floating-point to_chars (the browser build's): the fewest significant
  // digits that read back as the same float.
  int length = 0;
  for (int digits = 1; digits <= 9; ++digits) {
    length = std::snprintf(buffer, sizeof buffer, "%.*g", digits, static_cast<double>(value));
    if (std::strtof(buffer, nullptr) == value) break;
  }
  std::string text(buffer, static_cast<size_t>(std::max(length, 0)));
#endif
  if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
  return String(text);
}

String String::Slice(int from, int to) const {
  const int n = Length();
  if (from < 0) from += n;
  if (to < 0) to += n;
  if (from < 0) from = 0;
  if (to > n) to = n;
  if (from >= to) return String();
  return String(units_.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
}

std::vector<String> String::Split(const String& separator) const {
  std::vector<String> parts;
  if (separator.Empty()) {
    parts.push_back(*this);
    return parts;
  }
  size_t start = 0;
  for (;;) {
    const size_t hit = units_.find(separator.units_, start);
    parts.emplace_back();
    parts.back().units_.assign(units_, start, hit == std::u16string::npos ? hit : hit - start);
    if (hit == std::u16string::npos) break;
    start = hit + separator.units_.size();
  }
  return parts;
}

int String::Find(const String& what, int start) const {
  if (start < 0) start = 0;
  if (start > Length()) return -1;
  const size_t hit = units_.find(what.units_, static_cast<size_t>(start));
  return hit == std::u16string::npos ? -1 : static_cast<int>(hit);
}

bool String::StartsWith(const String& prefix) const {
  return units_.compare(0, prefix.units_.size(), prefix.units_) == 0 &&
         prefix.units_.size() <= units_.size();
}

bool String::EndsWith(const String& suffix) const {
  return suffix.units_.size() <= units_.size() &&
         units_.compare(units_.size() - suffix.units_.size(), suffix.units_.size(),
                        suffix.units_) == 0;
}

String String::Replace(const String& find, const String& with) const {
  if (find.Empty()) return *this;
  std::u16string out;
  size_t start = 0;
  for (;;) {
    const size_t hit = units_.find(find.units_, start);
    if (hit == std::u16string::npos) break;
    out.append(units_, start, hit - start);
    out += with.units_;
    start = hit + find.units_.size();
  }
  out.append(units_, start, std::u16string::npos);
  return String(std::move(out));
}

String String::ToLower() const {
  std::u16string out = units_;
  for (auto& u : out) {
    if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u + 32);
  }
  return String(std::move(out));
}

String String::ToUpper() const {
  std::u16string out = units_;
  for (auto& u : out) {
    if (u >= u'a' && u <= u'z') u = static_cast<char16_t>(u - 32);
  }
  return String(std::move(out));
}

int String::ToInt() const {
  // Read like the C library's atoi over the narrowed first 63 units, but with the digits wrapping
  // modulo 2^32 instead of overflowing.
  const std::string text = Slice(0, 63).ToLatin1();
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  uint32_t value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    ++i;
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

float String::ToFloat() const {
  return std::strtof(Slice(0, 63).ToLatin1().c_str(), nullptr);
}

std::string String::ToUtf8() const {
  std::string out;
  out.reserve(units_.size());
  for (const char16_t u : units_) {
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
    } else if (u < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (u >> 6)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (u >> 12)));
      out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
  }
  return out;
}

std::string String::ToLatin1() const {
  std::string out(units_.size(), '\0');
  for (size_t i = 0; i < units_.size(); ++i) out[i] = static_cast<char>(units_[i] & 0xFF);
  return out;
}

std::ostream& operator<<(std::ostream& out, const String& text) {
  return out << text.ToUtf8();
}
