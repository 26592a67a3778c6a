// The shared generator and the math helpers, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "framework/Math.h"
#include "framework/Random.h"

namespace {
constexpr float kStep = 1.0f / 16777216.0f;  // 2^-24
}  // namespace

TEST(RandomGenerator, FromSeed1234GivesTheKnownSequence) {
  xq_random_Seed = 1234;
  EXPECT_EQ(11984094 * kStep, xq_random_Rnd());
  EXPECT_EQ(-1227039223, xq_random_Seed);  // 3067928073 as a signed 32-bit state
  for (int expected : {3473103, 12575225, 5805964, 13479477, 4983126, 4083973, 2898942}) {
    EXPECT_EQ(expected * kStep, xq_random_Rnd());
  }
  EXPECT_EQ(742129338, xq_random_Seed);
  // Each of Rnd2 and Rnd3 makes exactly one step, in float arithmetic.
  EXPECT_EQ(-3.803956985473633f, xq_random_Rnd2(-8, 8));
  EXPECT_EQ(1126366929, xq_random_Seed);
  EXPECT_EQ(302.8726501464844f, xq_random_Rnd3(640));
  EXPECT_EQ(2032544252, xq_random_Seed);
}

TEST(RandomGenerator, AssigningTheSeedReplaysTheSequence) {
  xq_random_Seed = -5;
  const float a = xq_random_Rnd(), b = xq_random_Rnd2(1, 2), c = xq_random_Rnd3(3);
  xq_random_Seed = -5;
  EXPECT_EQ(a, xq_random_Rnd());
  EXPECT_EQ(b, xq_random_Rnd2(1, 2));
  EXPECT_EQ(c, xq_random_Rnd3(3));
}

TEST(RandomGenerator, NeverReachesOneAndEmptyRangesStillAdvance) {
  xq_random_Seed = 653637408;  // the next state is 0xFFFFFFFF, the largest possible draw
  const float top = xq_random_Rnd();
  EXPECT_LT(top, 1.0f);
  EXPECT_EQ(16777215 * kStep, top);
  EXPECT_EQ(-1, xq_random_Seed);

  xq_random_Seed = 122584096;  // the next state is 0xFF: its top 24 bits are 0
  EXPECT_EQ(0.0f, xq_random_Rnd());

  xq_random_Seed = 1234;
  EXPECT_EQ(5.0f, xq_random_Rnd2(5, 5));
  EXPECT_EQ(-1227039223, xq_random_Seed);
  EXPECT_EQ(0.0f, xq_random_Rnd3(0));
  EXPECT_EQ(889114580, xq_random_Seed);
}

TEST(MathHelpers, AbsoluteValueAndMaximumFollowPlainComparisons) {
  EXPECT_EQ(7, xq_math_Abs(-7));
  EXPECT_EQ(7, xq_math_Abs(7));
  EXPECT_EQ(std::numeric_limits<int>::min(), xq_math_Abs(std::numeric_limits<int>::min()));
  EXPECT_EQ(2.5f, xq_math_Abs2(-2.5f));
  EXPECT_TRUE(std::signbit(xq_math_Abs2(-0.0f)));  // not below 0: unchanged
  EXPECT_EQ(3, xq_math_Max(3, -4));
  EXPECT_EQ(3, xq_math_Max(-4, 3));
  EXPECT_EQ(1.5f, xq_math_Max2(1.5f, 1.0f));
  EXPECT_EQ(1.5f, xq_math_Max2(1.0f, 1.5f));
  // Equal arguments give the first: -0.0 and 0.0 compare equal.
  EXPECT_TRUE(std::signbit(xq_math_Max2(-0.0f, 0.0f)));
  EXPECT_TRUE(std::isnan(xq_math_Max2(NAN, 1.0f)));
}
