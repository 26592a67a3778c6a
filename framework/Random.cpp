// The shared linear congruential generator.
#include "framework/Random.h"

#include <cstdint>

int xq_random_Seed = 1234;

float xq_random_Rnd() {
  // Unsigned arithmetic gives the modulo-2^32 wrap without signed overflow.
  const std::uint32_t state = static_cast<std::uint32_t>(xq_random_Seed) * 1664525u + 1013904223u;
  xq_random_Seed = static_cast<int>(state);
  // 24 bits and a power-of-two scale: the product is exact, so the result is the same everywhere.
  return static_cast<float>(state >> 8) * 5.9604644775390625e-08f;
}

float xq_random_Rnd2(float low, float high) {
  const float r = xq_random_Rnd();
  return low + (high - low) * r;
}

float xq_random_Rnd3(float range) {
  return xq_random_Rnd() * range;
}
