// Absolute value and maximum as the game uses them. The float versions follow plain comparisons, so
// Abs2(-0.0f) stays -0.0f and a NaN passes through unchanged.
#pragma once

// |value|; the most negative int stays as it is (two's-complement wrap) instead of overflowing.
inline int xq_math_Abs(int value) {
  return value < 0 ? static_cast<int>(0u - static_cast<unsigned>(value)) : value;
}

// value negated when it is below 0, else unchanged.
inline float xq_math_Abs2(float value) {
  return value < 0 ? -value : value;
}

// The first argument when it is not below the second, else the second.
inline int xq_math_Max(int a, int b) {
  return a < b ? b : a;
}
inline float xq_math_Max2(float a, float b) {
  return a < b ? b : a;
}
