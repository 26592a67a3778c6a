// Host figures: decoding a state file's text, and the loop's own cost per pass (one update and one
// frame on a scripted clock, with a delegate that does nothing).
#include <benchmark/benchmark.h>

#include <string>

#include "host/Files.h"
#include "host/LoopGame.h"

namespace {

void BM_DecodeStateText(benchmark::State& state) {
  // A saved record's size: 56 fields of digits and a few accented names.
  std::string text;
  for (int i = 0; i < 56; ++i) text += std::to_string(i * 7919) + (i % 8 ? "|" : "|Zo\xC3\xAB|");
  for (auto _ : state) benchmark::DoNotOptimize(xq_data_DecodeText(text));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_DecodeStateText);

// A game whose window closes after a number of passes.
class BenchGame : public XQLoopGame {
 public:
  double now = 0;
  int passesLeft = 0;
  double Now() override { return now; }
  void PollEvents() override { --passesLeft; }
  XQWindowState WindowState() override { return {.open = passesLeft >= 0}; }
};

class NullDelegate : public XQGameDelegate {};

void BM_LoopPassPerUpdate(benchmark::State& state) {
  NullDelegate delegate;
  BenchGame host;
  host.SetDelegate(&delegate);
  host.StartGame();
  host.SetUpdateRate(60);
  constexpr int kPasses = 1000;
  for (auto _ : state) {
    host.passesLeft = kPasses;
    host.RunBlocking([] {}, [&host](double seconds) { host.now += seconds; });
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kPasses);
}
BENCHMARK(BM_LoopPassPerUpdate);

}  // namespace
