// Play figures: the cost of one update of a running game with a full world (101 spike columns, 101
// stars, 251 particle records with number particles alive) and the heap allocations it makes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "framework/InputDevice.h"
#include "framework/Random.h"
#include "game/AssetList.h"
#include "game/Globals.h"
#include "game/MyApp.h"
#include "host/GameDelegate.h"

namespace {

// A running game a few hundred updates in, input held, spikes out of reach so the player lives,
// and every particle record in use (number particles among them).
std::shared_ptr<c_MyApp> FullWorld(const std::shared_ptr<c_InputDevice>& input) {
  xq_Drommel_Init();
  xq_random_Seed = 1234;
  auto app = std::make_shared<c_MyApp>();
  app->fontSlot = Image::Font;
  app->SetImageInfo(Image::Font, kFontAdvance, kFontLineHeight, kFontGlyphs);
  app->p_LoadGame();
  for (int n = 0; n <= Spikes::LastColumn; ++n) app->spikes[n] = 12;
  input->p_KeyEvent(kEventKeyDown, Key::Space);
  for (int i = 0; i <= app->maxParticles; ++i) {
    const bool number = i % 10 == 0;
    app->p_AddParticle(number ? Particle::Number : 1 + i % 9, 320, 240, 0.5f, -0.25f,
                       number ? 1234 : 7, 3, 1e9f);
  }
  return app;
}

void BM_PlayUpdateFullWorld(benchmark::State& state) {
  auto input = std::make_shared<c_InputDevice>(nullptr);
  xq_input_SetInputDevice(input);
  auto app = FullWorld(input);
  for (auto _ : state) {
    input->p_BeginUpdate();
    app->p_Game();
    app->p_InGame();
    input->p_EndUpdate();
    // Keep the player alive and the row passable as the world scrolls on.
    app->spikes[Spikes::LastColumn] = 12;
    benchmark::DoNotOptimize(app->drawCount);
  }
  state.counters["records"] = static_cast<double>(app->drawCount / kRecordFloats);
  xq_input_SetInputDevice(nullptr);
}
BENCHMARK(BM_PlayUpdateFullWorld);

}  // namespace

#ifdef DROMMEL_HAVE_GAME_HARNESS
#include "tests/game/GameHarness.h"

namespace {

// One rendered frame of a game in progress (stars, player, spikes, floating numbers, score line
// and bar, pause button) on the headless renderer with the real images: its time and the draw
// calls it costs.
void BM_PlayRenderFrame(benchmark::State& state) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp& app = game.App();
  game.StartSafeGame();
  game.Step(200);  // a few spikes scored: their numbers are in the air
  for (auto _ : state) game.Render();
  state.counters["drawCalls"] = game.RenderStats().drawCalls;
  state.counters["records"] = static_cast<double>(app.drawCount / kRecordFloats);
  state.counters["score"] = app.score;
}
BENCHMARK(BM_PlayRenderFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
#endif
