// Deferred-release step run after each delegate call.
#include "runtime/Collect.h"

#include <algorithm>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
std::vector<Sweeper>& Sweepers() {
  static std::vector<Sweeper> sweepers;
  return sweepers;
}
bool fullSweepRequested = false;
// The list as it was when the running step began: a sweeper may register or remove others. Kept
// between steps so that a step allocates nothing once it has run.
std::vector<Sweeper> running;
bool collecting = false;
}  // namespace

void gc_AddSweeper(Sweeper sweeper) {
  auto& all = Sweepers();
  if (std::find(all.begin(), all.end(), sweeper) == all.end()) all.push_back(sweeper);
}

void gc_RemoveSweeper(Sweeper sweeper) {
  std::erase(Sweepers(), sweeper);
}

void gc_RequestFullSweep() {
  fullSweepRequested = true;
}

bool gc_collect() {
  if (collecting) {
    // A sweeper collecting again: the outer step's list is in use.
    const auto snapshot = Sweepers();
    for (Sweeper sweeper : snapshot) sweeper();
  } else {
    struct Running {
      Running() { collecting = true; }
      ~Running() { collecting = false; }
    } guard;
    running.assign(Sweepers().begin(), Sweepers().end());
    for (Sweeper sweeper : running) sweeper();
  }
  const bool full = fullSweepRequested;
  fullSweepRequested = false;
  // A decode has just replaced or dropped large buffers (a reload at another resolution replaces
  // every image). glibc keeps freed memory for reuse and raises its mmap threshold after large
  // frees, so without this the peak of a full-screen session would stay resident for good.
#if defined(__GLIBC__)
  if (full) malloc_trim(0);
#endif
  return full;
}
