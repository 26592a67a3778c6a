// Array: shared, zero-filled, and safe against indices from bad data.
#include "runtime/Array.h"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/String.h"

namespace {

TEST(Array, StartsZeroFilledAndCopiesShareElements) {
  Array<int> a(4);
  for (int v : a) EXPECT_EQ(v, 0);
  Array<int> b = a;
  b[2] = 9;
  EXPECT_EQ(a[2], 9);
  EXPECT_TRUE(a.Same(b));
  EXPECT_EQ(Array<int>(-3).Length(), 0);
}

TEST(Array, IndicesOutsideTheArrayNeverTouchOtherMemory) {
  Array<float> a(2);
  // Indices arrive at run time, as they would from data.
  const std::vector<int> outside{-1, 2, 1 << 30};
  for (int index : outside) a[index] = 7.0f;
  EXPECT_EQ(a[0], 0.0f);
  EXPECT_EQ(a[1], 0.0f);
  for (int index : outside) {
    EXPECT_EQ(a[index], 0.0f);  // the scratch element is cleared on each out-of-range access
  }
  const Array<String> names(1);
  EXPECT_EQ(names[5], String());
}

TEST(Array, ResizeKeepsThePrefixAndZeroFillsTheRest) {
  auto a = Array<int>::Of({1, 2, 3});
  Array<int> longer = a.Resize(5);
  EXPECT_EQ(longer.Length(), 5);
  EXPECT_EQ(longer[2], 3);
  EXPECT_EQ(longer[4], 0);
  EXPECT_FALSE(longer.Same(a));
  EXPECT_EQ(a.Resize(1).Length(), 1);
}

}  // namespace

namespace {

TEST(Array, BoolElementsAreAddressableLikeAnyOther) {
  Array<bool> flags(3);
  bool& second = flags[1];
  second = true;
  EXPECT_TRUE(flags[1]);
  EXPECT_TRUE(flags.Data()[1]);
  const Array<bool>& view = flags;
  EXPECT_FALSE(view[7]);
}

}  // namespace

namespace {

TEST(Array, BracesWithOneNumberMeanALengthNotAnElement) {
  Array<int> five{5};
  EXPECT_EQ(five.Length(), 5);
  EXPECT_EQ(five[0], 0);
  EXPECT_EQ(Array<int>::Of({5}).Length(), 1);
}

}  // namespace
