// Number conversions every layer shares: truncation to int that cannot overflow.
#pragma once

// Truncation toward zero that cannot overflow: NaN reads 0, values beyond int clamp. A float
// argument gives the same result as truncating it in float (no float lies between 2^31 - 1 and
// 2^31).
inline int Trunc(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(v);
}
