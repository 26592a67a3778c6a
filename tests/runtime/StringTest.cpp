// String: the text operations the framework and game rely on, and the byte conversions at the edges.
#include "runtime/String.h"

#include <gtest/gtest.h>

namespace {

TEST(String, SplitKeepsEmptyElementsAtEveryOccurrence) {
  auto parts = String("1|22||3|").Split(String("|"));
  ASSERT_EQ(parts.size(), 5u);
  EXPECT_EQ(parts[0], String("1"));
  EXPECT_EQ(parts[1], String("22"));
  EXPECT_EQ(parts[2], String(""));
  EXPECT_EQ(parts[3], String("3"));
  EXPECT_EQ(parts[4], String(""));

  EXPECT_EQ(String("").Split(String("|")).size(), 1u);
  // Occurrences do not overlap: "aaa" split at "aa" is "", "a".
  auto overlapping = String("aaa").Split(String("aa"));
  ASSERT_EQ(overlapping.size(), 2u);
  EXPECT_EQ(overlapping[1], String("a"));
}

TEST(String, SliceClampsAndCountsNegativeIndicesFromTheEnd) {
  const String s("Drommel");
  EXPECT_EQ(s.Slice(1, 4), String("rom"));
  EXPECT_EQ(s.Slice(-3), String("mel"));
  EXPECT_EQ(s.Slice(5, 100), String("el"));
  EXPECT_EQ(s.Slice(4, 2), String(""));
  EXPECT_EQ(s.Slice(-100, 2), String("Dr"));
}

TEST(String, FindReplaceAndPrefixes) {
  const String s("kestro://data/a.png");
  EXPECT_EQ(s.Find(String(":/")), 6);
  EXPECT_EQ(s.Find(String("/"), 8), 8);
  EXPECT_EQ(s.Find(String("zz")), -1);
  EXPECT_EQ(s.Find(String("a"), 1000), -1);
  EXPECT_TRUE(s.StartsWith(String("kestro:")));
  EXPECT_FALSE(String("ke").StartsWith(String("kestro:")));
  EXPECT_TRUE(s.EndsWith(String(".png")));
  EXPECT_EQ(String("a-b-c").Replace(String("-"), String("--")), String("a--b--c"));
  EXPECT_EQ(String("abc").Replace(String(""), String("x")), String("abc"));
}

TEST(String, ToIntReadsLikeAtoiAndWrapsInsteadOfOverflowing) {
  EXPECT_EQ(String("42").ToInt(), 42);
  EXPECT_EQ(String("  -17xyz").ToInt(), -17);
  EXPECT_EQ(String("+8").ToInt(), 8);
  EXPECT_EQ(String("abc").ToInt(), 0);
  EXPECT_EQ(String("").ToInt(), 0);
  EXPECT_EQ(String("2147483647").ToInt(), 2147483647);
  EXPECT_EQ(String("-2147483648").ToInt(), -2147483647 - 1);
  // 2^32 + 5 wraps to 5; 2^31 wraps to INT_MIN.
  EXPECT_EQ(String("4294967301").ToInt(), 5);
  EXPECT_EQ(String("2147483648").ToInt(), -2147483647 - 1);
  EXPECT_EQ(String("99999999999999999999999999").ToInt(),
            String("99999999999999999999999999").ToInt());  // defined, repeatable
  // Only the first 63 units are read.
  EXPECT_EQ((String(std::string(63, '0')) + String("7")).ToInt(), 0);
  // Units are narrowed to their low byte: U+0131 narrows to '1'.
  EXPECT_EQ(String(u"\u0131" u"2").ToInt(), 12);
}

TEST(String, NumbersToText) {
  EXPECT_EQ(String::FromInt(-305), String("-305"));
  EXPECT_EQ(String::FromInt(0), String("0"));
  EXPECT_EQ(String::FromFloat(2.0f), String("2.0"));
  EXPECT_EQ(String::FromFloat(0.1f), String("0.1"));
  EXPECT_EQ(String::FromFloat(-1.5f), String("-1.5"));
}

TEST(String, Utf8EncodesEachUnitOnItsOwnInOneToThreeBytes) {
  const String s(u"A\u00e9\u20ac\xd83d");  // ASCII, two-byte, three-byte and a lone surrogate
  EXPECT_EQ(s.ToUtf8(), std::string("A\xC3\xA9\xE2\x82\xAC\xED\xA0\xBD"));
  EXPECT_EQ(String::FromUtf8(s.ToUtf8()), s);
}

TEST(String, InvalidUtf8FallsBackToOneUnitPerByte) {
  const std::string bytes("a\xFF\xC3");
  const String s = String::FromUtf8(bytes);
  ASSERT_EQ(s.Length(), 3);
  EXPECT_EQ(s.At(1), 0xFF);
  EXPECT_EQ(s.At(2), 0xC3);
  EXPECT_EQ(s.At(3), 0);
  EXPECT_EQ(String(u"\u0141x").ToLatin1(), std::string("\x41x"));
}

}  // namespace
