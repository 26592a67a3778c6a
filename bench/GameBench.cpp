// Game object figures: one update and one render of the loading screen and of the main menu, and
// one 20-character text, each with its heap allocations per call; renders also report the draw
// calls of the frame (consecutive records on one image sheet share a draw call).
//
// Allocations are counted by the replaced global operator new of tests/support (it only counts and
// forwards to malloc, so every other benchmark is unaffected).
#include <benchmark/benchmark.h>

#include "tests/support/AllocationCounter.h"

#ifdef DROMMEL_HAVE_GAME_HARNESS
#include "game/Globals.h"
#include "tests/game/GameHarness.h"

namespace {

// Runs the body once per iteration and reports allocations per call.
template <class Body>
void Measure(benchmark::State& state, Body body) {
  const long long before = AllocationCounter::Total();
  for (auto _ : state) body();
  state.counters["allocs/call"] =
      benchmark::Counter(static_cast<double>(AllocationCounter::Total() - before) /
                         static_cast<double>(state.iterations()));
}

// One loading update, averaged over whole loading runs (each step loads at most one image and one
// sound from the data folder, then draws the loading screen).
void BM_GameUpdateLoading(benchmark::State& state) {
  GameHarness game;
  game.Render();
  c_MyApp& app = game.App();
  Measure(state, [&] {
    if (app.loading == 0) app.loading = 1;
    game.Update();
  });
}
BENCHMARK(BM_GameUpdateLoading)->Unit(benchmark::kMicrosecond);

// One update of the loading screen alone: the loader's last step, which loads nothing.
void BM_GameUpdateLoadingScreen(benchmark::State& state) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp& app = game.App();
  Measure(state, [&] {
    app.loading = 22;
    game.Update();
  });
}
BENCHMARK(BM_GameUpdateLoadingScreen);

void BM_GameUpdateMenu(benchmark::State& state) {
  GameHarness game;
  game.FinishLoading();
  game.Step(60);
  Measure(state, [&] { game.Update(); });
}
BENCHMARK(BM_GameUpdateMenu);

void BM_GameRenderLoadingScreen(benchmark::State& state) {
  GameHarness game;
  game.FinishLoading();
  game.App().loading = 22;
  game.Update();
  Measure(state, [&] { game.Render(); });
  state.counters["drawCalls"] = game.RenderStats().drawCalls;
  state.counters["records"] = static_cast<double>(game.App().drawCount / kRecordFloats);
}
BENCHMARK(BM_GameRenderLoadingScreen);

void BM_GameRenderMenu(benchmark::State& state) {
  GameHarness game;
  game.FinishLoading();
  game.Step(60);
  Measure(state, [&] { game.Render(); });
  state.counters["drawCalls"] = game.RenderStats().drawCalls;
  state.counters["records"] = static_cast<double>(game.App().drawCount / kRecordFloats);
}
BENCHMARK(BM_GameRenderMenu);

void BM_GameText20(benchmark::State& state) {
  GameHarness game;
  c_MyApp& app = game.App();
  const String text("Score 00012345 Top10");
  Measure(state, [&] {
    app.drawCount = 0;
    app.p_Text(320, 240, text, 1, 1);
  });
  state.counters["glyphs"] = static_cast<double>(app.drawCount / kRecordFloats);
}
BENCHMARK(BM_GameText20);

}  // namespace
#endif
