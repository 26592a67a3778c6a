// Play, update by update, with scripted input: chain-and-hold scoring, the score bar, the bounce,
// the spike row the generator builds, collisions and death, pausing, scaling with the window's
// height, and exact replay from the same seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "framework/Random.h"
#include "game/Globals.h"
#include "tests/game/GameHarness.h"

namespace {

class Play : public ::testing::Test {
 protected:
  void SetUp() override { Open(GameHarness::Options{}); }

  // A fresh game in a window of the given size, loaded and showing the menu.
  void Open(const GameHarness::Options& options) {
    game.reset();
    game = std::make_unique<GameHarness>(options);
    game->FinishLoading();
    app = &game->App();
  }

  // Starts a game from the given generator state, as the menu does: the next update builds the
  // world.
  void StartGame(int seed = 1234) {
    xq_random_Seed = seed;
    app->gameType = 1;
    app->gameMode = Mode::NewGame;
    game->Update();
    ASSERT_EQ(app->gameMode, Mode::Play);
    game->ClearSoundLog();
  }

  void Update(int count = 1) { game->Update(count); }

  // Runs updates until `done` holds (true) or `limit` updates have run (false).
  template <class Done>
  bool UpdateUntil(Done done, int limit = 2000) {
    for (int i = 0; i < limit; ++i) {
      Update();
      if (done()) return true;
    }
    return false;
  }

  void Press(int key) { game->KeyDown(key); }
  void Release(int key) { game->KeyUp(key); }

  // Sound slots played since the last call.
  std::vector<int> TakeSounds() {
    std::vector<int> slots = game->SoundsPlayed();
    game->ClearSoundLog();
    return slots;
  }

  // Spike points stand above the top of the bounce, so the player can pass without dying.
  void RaiseSpikesOutOfReach() {
    for (int n = 0; n <= Spikes::LastColumn; ++n) app->spikes[n] = 12;
  }

  // Positions of the world sheet's spike frames (10 and up) in the last picture.
  std::vector<std::pair<float, float>> SpikeRecords() const {
    std::vector<std::pair<float, float>> at;
    for (const DrawRecord& r : game->ImageRecords(Image::World)) {
      if (r.frame >= static_cast<float>(Frame::SpikeFirst)) at.emplace_back(r.x, r.y);
    }
    return at;
  }

  float DeathCounter() const { return app->players[Player::Death]; }

  std::unique_ptr<GameHarness> game;
  c_MyApp* app = nullptr;
};

TEST_F(Play, FiveSpikesInOneHoldAndOneChainScoreTheSquaresOfTheirCount) {
  StartGame();
  RaiseSpikesOutOfReach();
  Press(Key::Space);
  std::vector<int> scores;
  std::vector<int> sounds;
  while (scores.size() < 5) {
    const int before = app->score;
    ASSERT_TRUE(UpdateUntil([&] { return app->score != before; }));
    scores.push_back(app->score);
    for (int s : TakeSounds()) {
      if (s == Sound::FirstSpike || s == Sound::NextSpike) sounds.push_back(s);
    }
  }
  EXPECT_EQ(scores, (std::vector<int>{1, 5, 14, 30, 55}));
  EXPECT_EQ(sounds, (std::vector<int>{Sound::FirstSpike, Sound::NextSpike, Sound::NextSpike,
                                      Sound::NextSpike, Sound::NextSpike}));
  EXPECT_EQ(app->chainCount, 5);
  EXPECT_EQ(app->holdCount, 5);
  EXPECT_EQ(app->scoreFlash, 90 - 1.5f);
  // The last spike's points float up as a number.
  bool shown = false;
  for (int i = 0; i <= app->maxParticles; ++i) {
    const float* p = app->particles.Data() + Particle::Floats * i;
    shown |= p[0] == Particle::Number && p[9] == 25;
  }
  EXPECT_TRUE(shown);
}

TEST_F(Play, ReleasingBetweenSpikesRestartsTheHoldButKeepsTheChain) {
  StartGame();
  RaiseSpikesOutOfReach();
  Press(Key::Space);
  ASSERT_TRUE(UpdateUntil([&] { return app->score == 5; }));
  Release(Key::Space);
  Update(10);
  EXPECT_EQ(app->holdCount, 0);
  EXPECT_EQ(app->chainCount, 2);
  TakeSounds();
  Press(Key::Space);
  ASSERT_TRUE(UpdateUntil([&] { return app->score != 5; }));
  EXPECT_EQ(app->score, 5 + 3);
  EXPECT_EQ(TakeSounds().back(), Sound::FirstSpike);
}

TEST_F(Play, ScoreBarRunsOutSixtyUpdatesAfterTheLastSpikeAndEndsTheChainWithASound) {
  StartGame();
  RaiseSpikesOutOfReach();
  Press(Key::Space);
  ASSERT_TRUE(UpdateUntil([&] { return app->score == 1; }));
  Release(Key::Space);
  TakeSounds();
  int updates = 1;  // the one that scored
  auto chainEnded = [&] {
    ++updates;
    for (int s : TakeSounds()) {
      if (s == Sound::ChainEnd) return true;
    }
    return false;
  };
  ASSERT_TRUE(UpdateUntil(chainEnded, 100));
  EXPECT_EQ(updates, 60);
  EXPECT_EQ(app->chainCount, 0);
  EXPECT_EQ(app->scoreFlash, 0);
  // The chain starts again from one.
  Press(Key::Space);
  ASSERT_TRUE(UpdateUntil([&] { return app->score != 1; }));
  EXPECT_EQ(app->score, 2);
}

TEST_F(Play, WithoutInputThePlayerBouncesInPlaceAndNothingIsScored) {
  StartGame();
  const float scroll = app->spikeScroll;
  float highest = 1e9f;
  float lowest = -1e9f;
  int bounces = 0;
  for (int i = 0; i < 600; ++i) {
    Update();
    highest = std::min(highest, app->players[Player::Y]);
    lowest = std::max(lowest, app->players[Player::Y]);
    for (int s : TakeSounds()) {
      EXPECT_EQ(s, Sound::Bounce);
      ++bounces;
    }
  }
  EXPECT_EQ(app->score, 0);
  EXPECT_EQ(app->spikeScroll, scroll);
  EXPECT_EQ(DeathCounter(), 0);
  // One bounce sound every 60 updates; the top of the bounce is 4.5 u above the rest position.
  EXPECT_EQ(bounces, 9);
  EXPECT_NEAR(lowest, 240 - 20, 0.01);
  EXPECT_NEAR(highest, 240 - 180 - 20, 0.01);
}

TEST_F(Play, NewGameBuildsItsSpikeRowFromTheGeneratorInOrder) {
  StartGame(987654321);
  // 101 stars take six draws each, then one draw per column, the level rising every five columns
  // (at most 9): the first five columns are flat, the next five at most 1 high.
  const std::vector<int> heights = {0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 2, 0, 1, 0, 0, 3, 2, 3, 1, 2, 3,
                                    1, 0, 2, 4, 3, 1, 4, 5, 5, 3, 4, 1, 6, 2, 0, 5, 2, 6, 5, 5, 5,
                                    8, 2, 5, 7, 3, 9, 9, 4, 3, 5, 6, 1, 5, 8, 1, 2, 1, 5, 3, 8, 3,
                                    5, 8, 2, 1, 0, 7, 1, 5, 4, 3, 4, 4, 4, 3, 2, 0, 0, 1, 7, 3, 5,
                                    9, 2, 8, 7, 5, 3, 7, 7, 4, 7, 5, 0, 8, 6, 5, 8, 0};
  for (int n = 0; n <= Spikes::LastColumn; ++n) {
    EXPECT_EQ(app->spikes[n], heights[static_cast<size_t>(n)]) << "column " << n;
    EXPECT_EQ(app->spikes[Spikes::Serials + n], n + 1) << "column " << n;
  }
  EXPECT_EQ(xq_random_Seed, 198692782);
  EXPECT_EQ(app->spikeLevel, 9);
  EXPECT_EQ(app->spikeSerial, 102);
  EXPECT_EQ(app->spikeScroll, 640);
  EXPECT_EQ(app->gameMode, Mode::Play);
}

TEST_F(Play, PlayerDiesTouchingAPointNearTheBottomOfABounceButNotAtItsTop) {
  StartGame();
  app->spikes[0] = 0;
  app->spikeScroll = 32;  // column 0 right under the player

  app->players[Player::Phase] = 87;  // the next update reaches the top of the bounce
  Update();
  EXPECT_EQ(DeathCounter(), 0);

  app->players[Player::Phase] = 177;  // and now the bottom, 4 units below the point
  TakeSounds();
  Update();
  EXPECT_GT(DeathCounter(), 0);
  const std::vector<int> sounds = TakeSounds();
  EXPECT_NE(std::find(sounds.begin(), sounds.end(), Sound::DeathHit), sounds.end());
  EXPECT_NE(std::find(sounds.begin(), sounds.end(), Sound::DeathFall), sounds.end());
}

TEST_F(Play, DeathFreezesTheWorldRevealsThePointsAndLeadsToGameOver) {
  StartGame();
  Update();
  EXPECT_EQ(SpikeRecords().size(), 101u);  // only the reflections

  app->spikes[0] = 0;
  app->spikeScroll = 32;
  app->players[Player::Phase] = 177;
  app->scoreFlash = 45;
  app->chainCount = 3;
  Update();  // dies
  ASSERT_GT(DeathCounter(), 0);
  Press(Key::Space);

  const float scroll = app->spikeScroll;
  const float phase = app->players[Player::Phase];
  const float stars = app->scrollX;
  Update();
  // The real points join the reflections: column 0's point stands at groundY - u / 2.
  const auto spikes = SpikeRecords();
  EXPECT_EQ(spikes.size(), 202u);
  EXPECT_NE(std::find(spikes.begin(), spikes.end(), std::make_pair(32.0f, 216.0f)), spikes.end());

  for (int i = 0; i < 57; ++i) {
    Update();
    ASSERT_EQ(app->gameOverTimer, 0) << "update " << i;
  }
  EXPECT_EQ(app->spikeScroll, scroll);
  EXPECT_EQ(app->players[Player::Phase], phase);
  EXPECT_EQ(app->scrollX, stars);
  EXPECT_EQ(app->scoreFlash, 45);
  EXPECT_EQ(app->chainCount, 3);
  Update();
  EXPECT_EQ(app->gameOverTimer, 1);
}

TEST_F(Play, BackPausesAndThePausedWorldStandsStill) {
  StartGame();
  Update(10);
  Press(Key::Escape);
  Update();
  Release(Key::Escape);
  EXPECT_EQ(app->paused, 1);
  EXPECT_EQ(app->backLatch, 1);
  const std::vector<int> sounds = TakeSounds();
  EXPECT_NE(std::find(sounds.begin(), sounds.end(), Sound::Confirm), sounds.end());

  app->scoreFlash = 30;
  const float phase = app->players[Player::Phase];
  const float scroll = app->spikeScroll;
  Update(20);
  ASSERT_EQ(app->paused, 1);
  EXPECT_EQ(app->players[Player::Phase], phase);
  EXPECT_EQ(app->spikeScroll, scroll);
  EXPECT_EQ(app->scoreFlash, 30);
}

TEST_F(Play, AGamepadUnpluggedWhileHeldStopsTheWorldAndPlaysAgainWhenPluggedBackIn) {
  StartGame();
  RaiseSpikesOutOfReach();
  glfw2::testing::GamepadState held;
  held.axes[glfw2::testing::PAD_LEFT_X] = 1.0f;
  held.buttons[glfw2::testing::PAD_A] = glfw2::PRESS;
  game->SetGamepad(0, held);
  float scroll = app->spikeScroll;
  Update(10);
  EXPECT_NE(app->spikeScroll, scroll);

  game->Unplug(0);
  Update();
  scroll = app->spikeScroll;
  Update(30);
  EXPECT_EQ(app->spikeScroll, scroll);

  game->SetGamepad(0, held);
  Update(10);
  EXPECT_NE(app->spikeScroll, scroll);
}

TEST_F(Play, SpikesAndTheBounceScaleWithTheVisibleHeight) {
  struct Window {
    int width, height;
    float jscrw, jscrh;
  };
  // A window taller than wide keeps the full design height on a narrower width; a very wide one
  // keeps the design width and shows less height.
  for (const Window w : {Window{480, 640, 360, 480}, Window{1280, 480, 640, 240}}) {
    SCOPED_TRACE(testing::Message() << w.width << " x " << w.height);
    GameHarness::Options options;
    options.width = w.width;
    options.height = w.height;
    Open(options);
    ASSERT_EQ(xq_Drommel_jscrw, w.jscrw);
    ASSERT_EQ(xq_Drommel_jscrh, w.jscrh);
    StartGame();
    EXPECT_EQ(app->spikeScroll, w.jscrw);
    app->spikes[1] = 3;
    app->players[Player::Phase] = 87;  // top of the bounce next update
    Update();

    const float u = w.jscrh / 12;
    EXPECT_EQ(app->groundY, w.jscrh / 2 - 4);
    EXPECT_NEAR(app->players[Player::Y], w.jscrh / 2 - 4.5f * u - u / 2, 0.01);
    // The player's sprite is scaled by u / 32.
    const std::vector<DrawRecord> player = game->ImageRecords(Image::World);
    ASSERT_FALSE(player.empty());
    EXPECT_NEAR(player.front().scaleX, u / 32, 1e-5);
    // Column 1's reflection: groundY + 8 + u / 2 + h u / 2, truncated.
    const auto spikes = SpikeRecords();
    const std::pair<float, float> reflection(w.jscrw + 200,
                                             std::trunc(w.jscrh / 2 - 4 + 8 + u / 2 + 3 * u / 2));
    EXPECT_NE(std::find(spikes.begin(), spikes.end(), reflection), spikes.end());
  }
}

TEST_F(Play, SameSeedAndSameInputReplayTheSameGame) {
  auto run = [&] {
    Open(GameHarness::Options{});
    StartGame(4242);
    for (int i = 0; i < 700; ++i) {
      if (i % 90 == 0) Press(Key::Space);
      if (i % 90 == 50) Release(Key::Space);
      Update();
    }
    std::vector<float> picture(app->drawList.begin(), app->drawList.begin() + app->drawCount);
    picture.push_back(static_cast<float>(app->score));
    picture.push_back(static_cast<float>(xq_random_Seed));
    picture.push_back(DeathCounter());
    return picture;
  };
  const std::vector<float> first = run();
  const std::vector<float> second = run();
  EXPECT_EQ(first, second);
}

TEST_F(Play, ScoredSpikeStillScoresWhenEveryParticleIsInUse) {
  StartGame();
  RaiseSpikesOutOfReach();
  for (int i = 0; i <= app->maxParticles; ++i) {
    app->particles[Particle::Floats * i] = 5;
    app->particles[Particle::Floats * i + 7] = 1000;
  }
  EXPECT_EQ(app->p_FreeParticle(), -1);
  Press(Key::Space);
  ASSERT_TRUE(UpdateUntil([&] { return app->score == 1; }));
  int numbers = 0;
  for (int i = 0; i <= app->maxParticles; ++i) {
    numbers += app->particles[Particle::Floats * i] == Particle::Number;
  }
  EXPECT_EQ(numbers, 0);
}

}  // namespace

TEST_F(Play, WholeGameFromTheMenuThroughGameOverBackToTheMenuWithTheScoreSavedOnceAsItEnds) {
  ASSERT_EQ(app->gameMode, Mode::Menu);
  // The menu's play item starts a game.
  game->Hold(Key::Space, 2);
  ASSERT_EQ(app->gameMode, Mode::Play);
  EXPECT_EQ(app->gameType, 1);

  // Score with the points out of reach, then lower them all and hold on until one is touched.
  RaiseSpikesOutOfReach();
  Press(Key::Space);
  for (int i = 0; i < 4000 && app->score < 30; ++i) game->Step();
  ASSERT_GE(app->score, 30);
  EXPECT_TRUE(game->HasText(app->p_rstr(app->shownScore, 8, String("0")).ToUtf8()));
  for (int n = 0; n <= Spikes::LastColumn; ++n) app->spikes[n] = 0;
  ASSERT_TRUE(UpdateUntil([&] { return DeathCounter() > 0; }, 4000));
  Release(Key::Space);
  const int score = app->score;
  // The state file heads both score lists with the game, and nothing else holds the score.
  auto savedOnce = [&] {
    const std::vector<String> fields = String(game->StateText()).Split(String("|"));
    ASSERT_EQ(fields.size(), 57u);
    EXPECT_EQ(fields[35], String::FromInt(score));
    EXPECT_EQ(fields[36], String::FromInt(score));
    EXPECT_EQ(fields[37], String("0"));
    EXPECT_EQ(fields[38], String("0"));
  };
  savedOnce();
  ASSERT_TRUE(UpdateUntil([&] { return app->gameOverTimer == 1; }, 100));
  EXPECT_EQ(app->gameMode, Mode::Play);
  // The program may end at any moment of the game-over sequence (a closed window, F4): the game
  // is in the state file from the moment it ended (the hit).
  ASSERT_TRUE(UpdateUntil([&] { return game->HasText("GAMEOVER"); }, 5));
  savedOnce();
  ASSERT_TRUE(UpdateUntil([&] { return app->gameMode == Mode::Menu; }, 200));

  // Back in the menu, the finished game heads both score lists, once.
  EXPECT_EQ(app->highscores[0], score);
  EXPECT_EQ(app->highscores[1], 0);
  EXPECT_EQ(app->highscores[10], score);
  EXPECT_EQ(app->highscores[11], 0);
  savedOnce();
}

// Holding is how the game is played, so a control still held when the game ends must not act in
// the menu that follows: the menu waits until everything has been let go.
TEST_F(Play, AControlHeldThroughDeathAndGameOverDoesNotStartANewGame) {
  StartGame();
  Press(Key::Space);
  ASSERT_TRUE(UpdateUntil([&] { return DeathCounter() > 0; }, 4000));
  game->MouseDown(320, 240);
  ASSERT_TRUE(UpdateUntil([&] { return app->gameMode == Mode::Menu; }, 300));
  for (int i = 0; i < 200; ++i) {
    game->Step();
    ASSERT_EQ(app->gameMode, Mode::Menu) << "update " << i;
  }
  Release(Key::Space);
  game->MouseUp();
  game->Step();
  EXPECT_EQ(app->gameMode, Mode::Menu);
  game->Hold(Key::Space, 2);
  EXPECT_EQ(app->gameMode, Mode::Play);
}
