// The replaced global operator new and delete behind AllocationCounter.
#include "tests/support/AllocationCounter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long long> total{0};
std::atomic<long long> live{0};
std::atomic<long long> liveBytes{0};
std::atomic<bool> counting{false};
std::atomic<long> counted{0};
std::atomic<std::size_t> largest{0};

void* Allocate(std::size_t size) {
  total.fetch_add(1, std::memory_order_relaxed);
  if (counting.load(std::memory_order_relaxed)) {
    counted.fetch_add(1, std::memory_order_relaxed);
    std::size_t seen = largest.load(std::memory_order_relaxed);
    while (size > seen && !largest.compare_exchange_weak(seen, size)) {
    }
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) {
    live.fetch_add(1, std::memory_order_relaxed);
    liveBytes.fetch_add(static_cast<long long>(malloc_usable_size(p)), std::memory_order_relaxed);
    return p;
  }
  throw std::bad_alloc();
}

void Free(void* p) {
  if (p == nullptr) return;
  live.fetch_sub(1, std::memory_order_relaxed);
  liveBytes.fetch_sub(static_cast<long long>(malloc_usable_size(p)), std::memory_order_relaxed);
  std::free(p);
}
}  // namespace

AllocationCounter::AllocationCounter() {
  Reset();
  counting = true;
}
AllocationCounter::~AllocationCounter() {
  counting = false;
}
long AllocationCounter::Count() const {
  return counted;
}
std::size_t AllocationCounter::Largest() const {
  return largest;
}
void AllocationCounter::Reset() {
  counted = 0;
  largest = 0;
}
long long AllocationCounter::Total() {
  return total;
}
long long AllocationCounter::Live() {
  return live;
}
long long AllocationCounter::LiveBytes() {
  return liveBytes;
}

// Only the single-object forms are replaced: the standard library's array forms forward to them,
// and under AddressSanitizer replacing the array forms too mismatches its own bookkeeping. Not
// inlined: GCC reads a free() inlined next to a new-expression as a mismatched pair.
__attribute__((noinline)) void* operator new(std::size_t size) {
  return Allocate(size);
}
__attribute__((noinline)) void operator delete(void* p) noexcept {
  Free(p);
}
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept {
  Free(p);
}
