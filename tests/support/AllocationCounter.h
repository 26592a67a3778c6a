// Counts heap allocations for tests and benchmarks that promise "no allocation here".
//
// Linking drommel_alloc_counter replaces the global operator new and delete of the whole program
// (they count, then forward to malloc and free), so give such a test an executable of its own.
//
//   AllocationCounter counter;          // counting from here...
//   DrawAFrame();
//   EXPECT_EQ(counter.Count(), 0);      // ...to here
#pragma once

#include <cstddef>

class AllocationCounter {
 public:
  AllocationCounter();
  ~AllocationCounter();
  AllocationCounter(const AllocationCounter&) = delete;
  AllocationCounter& operator=(const AllocationCounter&) = delete;

  // Allocations made since construction (or the last Reset) while this counter was the active one.
  long Count() const;
  // The size of the largest single allocation in that time.
  std::size_t Largest() const;
  void Reset();

  // Every allocation the program has made, counted or not (benchmarks take differences).
  static long long Total();
  // Allocations made through operator new and not yet deleted, and their usable bytes, over the
  // whole program (tests compare them at fixed points).
  static long long Live();
  static long long LiveBytes();
};
