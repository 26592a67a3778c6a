// Deferred-release step run after each delegate call.
#include "runtime/Collect.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<Sweeper>& Sweepers() {
  static std::vector<Sweeper> sweepers;
  return sweepers;
}
bool fullSweepRequested = false;
}  // namespace

void gc_AddSweeper(Sweeper sweeper) {
  auto& all = Sweepers();
  if (std::find(all.begin(), all.end(), sweeper) == all.end()) all.push_back(sweeper);
}

void gc_RemoveSweeper(Sweeper sweeper) { std::erase(Sweepers(), sweeper); }

void gc_RequestFullSweep() { fullSweepRequested = true; }

bool gc_collect() {
  const auto snapshot = Sweepers();  // a sweeper may register or remove others
  for (Sweeper sweeper : snapshot) sweeper();
  const bool full = fullSweepRequested;
  fullSweepRequested = false;
  return full;
}
