// String: immutable text of 16-bit units (UTF-16 code units, no surrogate handling), compared by
// content. Every text in the framework and the game is a String; conversion to and from bytes
// happens only at the edges (files, standard output, file names).
//
//   String a("Score ");                 // from ASCII / UTF-8 literal
//   String b = a + String::FromInt(42);  // "Score 42"
//   auto parts = String("1|2|").Split(String("|"));  // {"1", "2", ""}
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class String {
 public:
  using Unit = char16_t;

  String() = default;
  String(std::u16string units) : units_(std::move(units)) {}
  String(const char16_t* units) : units_(units) {}
  // Decodes UTF-8 (one to three bytes per unit); bytes that are not valid UTF-8 are taken one unit
  // each, as ISO 8859-1.
  String(const char* utf8) : String(FromUtf8(utf8)) {}
  String(std::string_view utf8) : String(FromUtf8(utf8)) {}

  static String FromUtf8(std::string_view bytes);
  // Strict UTF-8 of one to three bytes per unit; nothing when any byte breaks the pattern.
  static std::optional<String> DecodeUtf8(std::string_view bytes);
  static String FromLatin1(std::string_view bytes);
  static String FromInt(int value);
  // Shortest decimal text that reads back as the same float; whole values keep one decimal ("2.0").
  static String FromFloat(float value);
  static String FromUnit(Unit unit) { return String(std::u16string(1, unit)); }

  int Length() const { return static_cast<int>(units_.size()); }
  bool Empty() const { return units_.empty(); }
  // The unit at index, or 0 outside the text.
  int At(int index) const {
    return index >= 0 && index < Length() ? units_[static_cast<size_t>(index)] : 0;
  }
  const std::u16string& Units() const { return units_; }

  // Units from..to (to exclusive); negative indices count from the end; out-of-range indices clamp.
  String Slice(int from) const { return Slice(from, Length()); }
  String Slice(int from, int to) const;
  // Splits at every occurrence of separator, left to right without overlaps. An empty text gives
  // one empty element; a trailing separator gives a trailing empty element; an empty separator
  // gives the whole text as the only element.
  std::vector<String> Split(const String& separator) const;
  // Index of the first occurrence at or after start, or -1.
  int Find(const String& what, int start = 0) const;
  bool StartsWith(const String& prefix) const;
  bool EndsWith(const String& suffix) const;
  bool Contains(const String& what) const { return Find(what) >= 0; }
  String Replace(const String& find, const String& with) const;
  String ToLower() const;
  String ToUpper() const;

  // The first 63 units narrowed to 8 bits and read as a decimal integer (leading blanks and one
  // sign allowed); 0 when there are no digits. Digits beyond 32 bits wrap as a signed 32-bit
  // integer.
  int ToInt() const;
  float ToFloat() const;

  // Each unit encoded on its own in one to three bytes.
  std::string ToUtf8() const;
  // The low byte of each unit.
  std::string ToLatin1() const;

  friend String operator+(const String& a, const String& b) { return String(a.units_ + b.units_); }
  String& operator+=(const String& other) {
    units_ += other.units_;
    return *this;
  }
  friend bool operator==(const String& a, const String& b) = default;
  friend std::strong_ordering operator<=>(const String& a, const String& b) {
    return a.units_.compare(b.units_) <=> 0;
  }

 private:
  std::u16string units_;
};

// Lets GoogleTest and debug output print a String readably.
std::ostream& operator<<(std::ostream& out, const String& text);
