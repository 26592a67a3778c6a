// A play update allocates nothing on the heap except the text of the numbers it draws (the score
// line and the floating points). Counting replaces the global operator new, so this test has an
// executable of its own.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/game/GameHarness.h"
#include "tests/support/AllocationCounter.h"

namespace {

// Allocations made by one play update (the world and the pause button) of a running game.
long AllocationsOfOneUpdate(c_MyApp& app) {
  AllocationCounter counter;
  app.p_Game();
  app.p_InGame();
  return counter.Count();
}

TEST(PlayUpdate, AllocatesOnlyForTheNumbersItDraws) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp& app = game.App();
  app.gameType = 1;
  app.gameMode = Mode::NewGame;
  game.Update();
  game.KeyDown(Key::Space);
  game.Update(30);
  // A full world: every particle record busy with sprites, spikes out of reach.
  for (int n = 0; n <= Spikes::LastColumn; ++n) app.spikes[n] = 12;
  for (int i = 0; i <= app.maxParticles; ++i) {
    app.p_AddParticle(1 + i % 9, 320, 240, 0.5f, -0.25f, 7, 3, 1e6f);
  }

  app.hideHud = 1;
  EXPECT_EQ(AllocationsOfOneUpdate(app), 0);

  // The score line and ten floating numbers: a handful of allocations for each text.
  app.hideHud = 0;
  for (int i = 0; i < 10; ++i) app.particles[Particle::Floats * i] = Particle::Number;
  const long withNumbers = AllocationsOfOneUpdate(app);
  EXPECT_LE(withNumbers, 11 * 4);
  RecordProperty("allocationsWithElevenNumberTexts", static_cast<int>(withNumbers));
  std::printf("allocations in one update drawing 11 number texts: %ld\n", withNumbers);
}

}  // namespace
