// The shared random generator: one process-wide linear congruential generator whose state is the
// public global xq_random_Seed. Every random draw in the program comes from this one state, so the
// order of draws decides the numbers each one gets; assigning the seed replays a sequence exactly.
//
//   xq_random_Seed = 1234;
//   float r = xq_random_Rnd();           // [0, 1), in steps of 2^-24
//   float x = xq_random_Rnd2(-8, 8);     // low + (high - low) * r
//   float y = xq_random_Rnd3(640);       // r * range
#pragma once

// The generator state. Starts at 1234; any part of the program may read or assign it.
extern int xq_random_Seed;

// One generator step: the state becomes state * 1664525 + 1013904223 (mod 2^32) and the result is
// its top 24 bits times 2^-24, so it is never 1.0.
float xq_random_Rnd();
// low + (high - low) * r with r from one step (the state advances even when low == high).
float xq_random_Rnd2(float low, float high);
// r * range with r from one step.
float xq_random_Rnd3(float range);
