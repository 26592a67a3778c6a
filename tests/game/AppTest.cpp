// The game object's screen flow through the headless harness.
#include <gtest/gtest.h>

#include "game/Globals.h"
#include "tests/game/GameHarness.h"

TEST(GameApp, LoadsThenShowsTheMainMenu) {
  GameHarness game;
  EXPECT_EQ(game.App().loading, 1);
  const int steps = game.FinishLoading();
  EXPECT_EQ(steps, 22);
  EXPECT_EQ(game.App().gameMode, 1);
}
