// Host figures: decoding a state file's text, and the loop's own cost per pass (one update and one
// frame on a scripted clock, with a delegate that does nothing).
#include <benchmark/benchmark.h>

#include <string>

#include "host/Files.h"
#include "platform/glfw/Glfw2.h"
#include "platform/glfw/GlfwGame.h"

namespace {

void BM_DecodeStateText(benchmark::State& state) {
  // A saved record's size: 56 fields of digits and a few accented names.
  std::string text;
  for (int i = 0; i < 56; ++i) text += std::to_string(i * 7919) + (i % 8 ? "|" : "|Zo\xC3\xAB|");
  for (auto _ : state) benchmark::DoNotOptimize(xq_data_DecodeText(text));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_DecodeStateText);

class BenchPlatform : public HostPlatform {
 public:
  double now = 0;
  int passesLeft = 0;
  double Now() override { return now; }
  void Sleep(double seconds) override { now += seconds; }
  void PollEvents() override { --passesLeft; }
  void WaitEvents() override {}
  int GetWindowParam(int param) override {
    return param == glfw2::OPENED ? passesLeft >= 0 : param == glfw2::ACTIVE;
  }
};

class NullDelegate : public XQGameDelegate {};

void BM_LoopPassPerUpdate(benchmark::State& state) {
  BenchPlatform platform;
  NullDelegate delegate;
  XQGlfwGame host;
  host.SetPlatform(&platform);
  host.SetDelegate(&delegate);
  host.StartGame();
  host.SetUpdateRate(60);
  constexpr int kPasses = 1000;
  for (auto _ : state) {
    platform.passesLeft = kPasses;
    host.RunLoop();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kPasses);
}
BENCHMARK(BM_LoopPassPerUpdate);

}  // namespace
