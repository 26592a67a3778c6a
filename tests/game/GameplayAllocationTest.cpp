// Updates and renders allocate nothing on the heap once a screen is shown: texts are built again
// only when a number in them changes. Counting replaces the global operator new, so these tests
// have an executable of their own.
#include <gtest/gtest.h>

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

TEST(PlayUpdate, AllocatesNothingWithAFullWorldAndNumbersOnScreen) {
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

  // The score line and ten floating numbers: the line is built once, then drawn as it is.
  app.hideHud = 0;
  for (int i = 0; i < 10; ++i) app.particles[Particle::Floats * i] = Particle::Number;
  AllocationsOfOneUpdate(app);
  EXPECT_EQ(AllocationsOfOneUpdate(app), 0);
}

// Allocations of ten passes of the loop (update and render) on a screen that has settled.
long AllocationsOfTenSteps(GameHarness& game) {
  game.Step(2);
  AllocationCounter counter;
  game.Step(10);
  return counter.Count();
}

TEST(ScreenUpdates, MenuOptionsCreditsPlayAndPauseAllocateNothingOnceShown) {
  GameHarness game;
  game.FinishLoading();
  game.Step(60);
  c_MyApp& app = game.App();
  ASSERT_EQ(app.gameMode, Mode::Menu);
  EXPECT_EQ(AllocationsOfTenSteps(game), 0) << "main menu";
  // A changed score shows at once.
  app.highscores[0] = 4321;
  game.Step();
  EXPECT_TRUE(game.HasText("Top"));
  EXPECT_TRUE(game.HasText("4321"));

  app.optionsOpen = 1;
  game.Step(31);
  EXPECT_EQ(AllocationsOfTenSteps(game), 0) << "options box";
  app.optionsOpen = 0;
  app.creditsOpen = 1;
  game.Step(31);
  EXPECT_EQ(AllocationsOfTenSteps(game), 0) << "credits";
  app.creditsOpen = 0;
  game.Step(31);

  game.Hold(Key::Enter, 3);
  game.Step(2);
  ASSERT_EQ(app.gameMode, Mode::Play);
  EXPECT_EQ(AllocationsOfTenSteps(game), 0) << "play";
  app.score = app.shownScore = 777;
  game.Step();
  EXPECT_TRUE(game.HasText("00000777"));

  game.Hold(Key::Escape, 3);
  game.Step(12);
  ASSERT_EQ(app.paused, 1);
  EXPECT_EQ(AllocationsOfTenSteps(game), 0) << "pause menu";
}

}  // namespace
