// A play update allocates nothing on the heap except the text of the numbers it draws (the score
// line and the floating points). Counted with replaced global operator new, so this test has an
// executable of its own.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "tests/game/GameHarness.h"

namespace {
bool counting = false;
long allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace {

// Allocations made by one play update (the world and the pause button) of a running game.
long AllocationsOfOneUpdate(c_MyApp& app) {
  allocations = 0;
  counting = true;
  app.p_Game();
  app.p_InGame();
  counting = false;
  return allocations;
}

TEST(PlayUpdate, AllocatesOnlyForTheNumbersItDraws) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp& app = game.App();
  app.gameType = 1;
  app.gameMode = 11;
  game.Update();
  game.KeyDown(kKeySpace);
  game.Update(30);
  // A full world: every particle record busy with sprites, spikes out of reach.
  for (int n = 0; n <= 100; ++n) app.spikes[n] = 12;
  for (int i = 0; i <= app.maxParticles; ++i) {
    app.p_AddParticle(1 + i % 9, 320, 240, 0.5f, -0.25f, 7, 3, 1e6f);
  }

  app.hideHud = 1;
  EXPECT_EQ(AllocationsOfOneUpdate(app), 0);

  // The score line and ten floating numbers: a handful of allocations for each text.
  app.hideHud = 0;
  for (int i = 0; i < 10; ++i) app.particles[10 * i] = 99;
  const long withNumbers = AllocationsOfOneUpdate(app);
  EXPECT_LE(withNumbers, 11 * 4);
  RecordProperty("allocationsWithElevenNumberTexts", static_cast<int>(withNumbers));
  std::printf("allocations in one update drawing 11 number texts: %ld\n", withNumbers);
}

}  // namespace
