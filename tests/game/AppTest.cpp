// The game object's screen flow, render pass and scaling, suspend and resume, function keys and the
// game-over overlay, run through the headless harness.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "framework/App.h"
#include "game/Globals.h"
#include "graphics/Graphics.h"
#include "tests/game/GameHarness.h"

TEST(GameFlow, ShowsTheLoadingScreenForTwentyTwoUpdatesThenTheMainMenu) {
  GameHarness game;
  EXPECT_EQ(game.App().loading, 1);
  EXPECT_EQ(game.App().gameMode, 1);
  EXPECT_EQ(xq_app_UpdateRate, 60);

  game.Render();
  game.Step();
  // The loading screen: two rings of 11 dots, the disc, the band and the logo.
  const auto records = game.Records();
  ASSERT_EQ(records.size(), 25u);
  EXPECT_TRUE(records[0].IsOval());
  EXPECT_EQ(records[0].alpha, 0.0f);
  EXPECT_EQ(records[10].alpha, 1.0f);
  EXPECT_TRUE(records[12].IsRect());
  EXPECT_TRUE(records[13].IsImage(93));
  EXPECT_EQ(game.App().clearBlue, 80);

  // The dots turn by 16 degrees per update.
  const float firstX = records[0].x;
  game.Step();
  EXPECT_NE(game.Records()[0].x, firstX);

  int steps = 2;
  while (game.App().loading > 0) {
    game.Step();
    ++steps;
  }
  EXPECT_EQ(steps, 22);
  EXPECT_EQ(game.App().gameMode, 1);
  // Every asset of the list is in its slot.
  for (int slot : {1, 80, 90, 91, 93, 94, 95, 96, 97, 98, 99}) {
    EXPECT_NE(game.App().images[slot], nullptr) << "image " << slot;
  }
  for (int slot : {1, 2, 3, 4, 5, 6, 10, 95, 96, 98, 99}) {
    EXPECT_NE(game.App().sounds[slot], nullptr) << "sound " << slot;
  }
  // The menu draws from the next update on.
  game.Step();
  EXPECT_TRUE(game.App().drawCount > 0);
  EXPECT_FALSE(game.Records()[0].IsOval());
}

TEST(GameFlow, StartsWithDefaultsWhenThereIsNoStateFile) {
  GameHarness game;
  c_MyApp& app = game.App();
  EXPECT_EQ(app.options[5], 1);
  EXPECT_EQ(app.options[14], 1);
  EXPECT_EQ(app.gameType, 2);
  EXPECT_EQ(app.menuSlide, -32);
  EXPECT_EQ(app.pauseDirection, -1);
  EXPECT_EQ(app.pauseSlide, -64);
  EXPECT_EQ(app.starCount, 100);
  EXPECT_EQ(app.maxParticles, 250);
  for (int i = 0; i <= 32; ++i) EXPECT_EQ(app.sfxChannels[i], i);
  EXPECT_EQ(app.lastDeviceWidth, 640);
  EXPECT_EQ(app.lastDeviceHeight, 480);
}

TEST(GameFlow, RunsTheScreenOfEachModeOnlyOnceLoadingIsDone) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp& app = game.App();

  // Mode 11 starts a game, which then runs as mode 10.
  app.gameMode = 11;
  game.Step();
  EXPECT_EQ(app.gameMode, 10);
  game.Step(3);
  EXPECT_EQ(app.gameMode, 10);

  // Mode 2 records the game, plays the menu sound and returns to the menu.
  game.ClearSoundLog();
  app.gameMode = 2;
  game.Step();
  EXPECT_EQ(app.gameMode, 1);
  const auto played = game.SoundsPlayed();
  EXPECT_NE(std::find(played.begin(), played.end(), 96), played.end());

  // While loading, no screen runs: the mode stays as it is.
  app.loading = 1;
  app.gameMode = 11;
  game.Step();
  EXPECT_EQ(app.gameMode, 11);
}

TEST(GameFlow, GameOverOverlayGrowsForNinetyUpdatesThenFadesOverTheMenu) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp& app = game.App();
  app.gameMode = 10;
  app.gameOverStep = 0;
  for (int i = 1; i < 90; ++i) {
    app.drawCount = 0;
    app.p_GameOver();
    EXPECT_EQ(app.gameMode, 10);
    EXPECT_EQ(app.gameOverStep, i);
  }
  app.drawCount = 0;
  app.p_GameOver();
  EXPECT_TRUE(game.HasText("GAME"));
  EXPECT_TRUE(game.HasText("OVER"));
  EXPECT_EQ(app.gameMode, 2);
  EXPECT_EQ(app.gameOverStep, 75);

  // The yellow bar stops growing at 45% of the height.
  const auto records = game.Records();
  ASSERT_GE(records.size(), 3u);
  EXPECT_FLOAT_EQ(records[1].scaleX, 2.0f * 216);
  EXPECT_FLOAT_EQ(records[0].alpha, 0.7f);

  app.gameMode = 1;
  int updates = 0;
  while (app.gameOverStep > 0) {
    app.p_GameOver();
    ++updates;
  }
  EXPECT_EQ(updates, 38);
  app.drawCount = 0;
  app.p_GameOver();
  EXPECT_EQ(app.drawCount, 0);
}

TEST(GameFlow, NewHighscoreBoxShowsOnlyForARankingScore) {
  GameHarness game;
  c_MyApp& app = game.App();
  app.gameType = 1;
  for (int i = 0; i < 10; ++i) app.highscores[i] = 1000 - 100 * i;  // 1000 ... 100

  app.score = 100;
  EXPECT_EQ(app.p_MyNth(), String("10th"));
  EXPECT_EQ(app.loopIndex, 10);
  app.score = 1000;
  EXPECT_EQ(app.p_MyNth(), String("1st!"));
  app.score = 850;
  EXPECT_EQ(app.p_MyNth(), String("3rd"));
  app.score = 99;
  EXPECT_EQ(app.p_MyNth(), String());
  EXPECT_EQ(app.loopIndex, 0);

  app.gameMode = 10;
  app.gameOverStep = 10;
  app.drawCount = 0;
  app.p_GameOver();
  EXPECT_FALSE(game.HasText("New Highscore"));
  app.score = 500;
  app.drawCount = 0;
  app.p_GameOver();
  EXPECT_TRUE(game.HasText("New Highscore"));
  EXPECT_TRUE(game.HasText("6th"));

  // Nothing scored against an empty table: ranked first, yet no highscore.
  for (int i = 0; i < 10; ++i) app.highscores[i] = 0;
  app.score = 0;
  EXPECT_EQ(app.p_MyNth(), String("1st!"));
  app.drawCount = 0;
  app.p_GameOver();
  EXPECT_FALSE(game.HasText("New Highscore"));
}

TEST(GameRender, KeepsTheLargerScaleAndPublishesTheVisibleVirtualArea) {
  {
    GameHarness game(GameHarness::Options::Sized(1280, 720));
    game.Render();
    EXPECT_FLOAT_EQ(game.App().scaleX, 2.0f);
    EXPECT_FLOAT_EQ(game.App().scaleY, 2.0f);
    EXPECT_EQ(game.App().fitMode, 1);
    EXPECT_FLOAT_EQ(xq_Drommel_jscrw, 640);
    EXPECT_FLOAT_EQ(xq_Drommel_jscrh, 360);
    EXPECT_EQ(game.App().landscape, 1);
  }
  {
    GameHarness game(GameHarness::Options::Sized(800, 800));
    game.Render();
    EXPECT_NEAR(game.App().scaleX, 1.6667f, 1e-3);
    EXPECT_NEAR(game.App().scaleY, 1.6667f, 1e-3);
    EXPECT_EQ(game.App().fitMode, 2);
    EXPECT_FLOAT_EQ(xq_Drommel_jscrw, 480);
    EXPECT_FLOAT_EQ(xq_Drommel_jscrh, 480);
  }
  {
    GameHarness game(GameHarness::Options::Sized(400, 800));
    game.Render();
    EXPECT_EQ(game.App().landscape, 0);
  }
}

TEST(GameRender, ReplaysRecordsScaledToTheWindowAndLeavesEmptySlotsUndrawn) {
  GameHarness game(GameHarness::Options::Sized(1280, 960));
  game.Render();
  c_MyApp& app = game.App();
  app.p_CLS2D();
  app.p_Rect(10, 20, 30, 40);
  app.p_Oval(100, 100, 10, 5);
  app.images[42] = nullptr;
  app.p_DrawImg(42, 50, 50, 0);
  app.p_DrawImg(93, 320, 240, 0);
  game.Graphics().ResetStats();
  game.Render();
  // Fill, rectangle, oval, logo (the empty slot adds nothing).
  const gxtkRenderStats& stats = game.RenderStats();
  EXPECT_GE(stats.primitives, 4);
  EXPECT_EQ(stats.textureBinds, 1);
  // A render does not clear the list.
  EXPECT_EQ(app.drawCount, 4 * kRecordFloats);
}

TEST(GameRender, AWindowSizeChangeReloadsTheAssetsAtTheNewLevel) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp& app = game.App();
  // The design size itself is wider than 630: its images are the "-hd" ones, drawn at half size.
  EXPECT_EQ(app.hdLevel, 2);

  struct Case {
    int w, h, level;
  };
  for (Case c : {Case{630, 630, 1}, Case{631, 400, 2}, Case{1231, 700, 4}}) {
    game.Resize(c.w, c.h);
    game.Render();
    EXPECT_EQ(app.loading, 1) << c.w << "x" << c.h;
    EXPECT_EQ(app.lastDeviceWidth, c.w);
    game.FinishLoading();
    EXPECT_EQ(app.hdLevel, c.level) << c.w << "x" << c.h;
    EXPECT_FLOAT_EQ(app.imageScale, 1.0f / static_cast<float>(c.level));
    EXPECT_EQ(app.imageInfo[99 * 3], 256 * c.level);
    ASSERT_NE(app.images[99], nullptr);
    // The image loaded is the variant of the level (menu.png, menu-hd.png, menu-hd2.png).
    EXPECT_EQ(app.images[99]->width, 256 * c.level);
  }
  // The same size again reloads nothing.
  game.Render();
  EXPECT_EQ(app.loading, 0);
}

TEST(GameRender, TwoRendersWithoutAnUpdateDrawTheSamePicture) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
  GameHarness::Options o;
  o.window = true;
  GameHarness game(o);
  game.FinishLoading();
  game.Step(40);
  const Array<int> first = game.ReadFrame();
  const Array<int> second = game.ReadFrame();
  ASSERT_EQ(first.Length(), 640 * 480);
  int differing = 0;
  int coloured = 0;
  for (int i = 0; i < first.Length(); ++i) {
    if (first[i] != second[i]) ++differing;
    if ((first[i] & 0xffffff) != 0) ++coloured;
  }
  EXPECT_EQ(differing, 0);
  // The menu's dark blue fills the window.
  EXPECT_GT(coloured, 640 * 400);
  const int corner = first[479 * 640 + 5] & 0xffffff;
  EXPECT_EQ(corner, 0x000050);
}

TEST(GameUpdate, ConvertsThePointerToVirtualUnits) {
  GameHarness game(GameHarness::Options::Sized(1280, 720));
  game.Render();
  c_MyApp& app = game.App();
  game.MouseMove(640, 360);
  game.Update();
  EXPECT_EQ(app.mouseX, 320);
  EXPECT_EQ(app.mouseY, 180);
  EXPECT_EQ(app.mouseDown, 0);
  EXPECT_EQ(app.touchX[0], static_cast<int>(kNoValue));

  // A press and release inside one update: one hit, not down.
  game.MouseDown(100, 50);
  game.MouseUp();
  game.Update();
  EXPECT_EQ(app.mouseHit, 1);
  EXPECT_EQ(app.mouseDown, 0);
  EXPECT_EQ(app.mouseX, 50);
  EXPECT_EQ(app.mouseY, 25);

  // Held: finger 0 mirrors the mouse; a drag starts where the press happened.
  game.MouseDown(200, 100);
  game.Update();
  EXPECT_EQ(app.mouseDown, 1);
  EXPECT_EQ(app.touchDown[0], 1);
  EXPECT_EQ(app.touchX[0], 100);
  EXPECT_EQ(app.touchY[0], 50);
  EXPECT_EQ(app.prevMouseX, 100);
  game.MouseMove(220, 100);
  game.Update();
  EXPECT_EQ(app.prevMouseX, 100);
  EXPECT_EQ(app.mouseX, 110);
  game.MouseUp();
  app.holdLatch = 1;
  game.Update();
  EXPECT_EQ(app.holdLatch, 0);
}

TEST(GameUpdate, FunctionKeysToggleTheDebugLineTheScoreAndFullScreen) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp& app = game.App();

  game.Tap(kKeyF1);
  EXPECT_EQ(xq_Drommel_DebugMode, 1);
  EXPECT_TRUE(game.HasText(":1.0,1.0"));
  game.Tap(kKeyF1);
  EXPECT_EQ(xq_Drommel_DebugMode, 0);
  EXPECT_FALSE(game.HasText(":1.0,1.0"));

  game.Tap(kKeyF2);
  EXPECT_EQ(app.hideHud, 1);
  game.Tap(kKeyF2);
  EXPECT_EQ(app.hideHud, 0);

  // Full screen takes the desktop's size; the next render reloads at its level.
  game.Tap(kKeyF11);
  EXPECT_EQ(app.fullScreen, 1);
  EXPECT_EQ(app.loading, 1);
  EXPECT_EQ(app.lastDeviceWidth, 1280);
  game.FinishLoading();
  EXPECT_EQ(app.hdLevel, 4);
  game.Tap(kKeyF11);
  EXPECT_EQ(app.fullScreen, 0);
  game.FinishLoading();
  EXPECT_EQ(app.hdLevel, 2);
  EXPECT_EQ(app.lastDeviceWidth, 640);
}

TEST(GameUpdate, AFullScreenSwitchTheHostCannotMakeLeavesTheGameInItsWindow) {
  GameHarness::Options options;
  options.fullScreenRefused = true;
  GameHarness game(options);
  game.FinishLoading();
  game.Tap(kKeyF11);
  EXPECT_EQ(game.App().fullScreen, 0);  // the options row offers full screen again
  game.Step(10);
  EXPECT_EQ(game.App().lastDeviceWidth, 640);
}

TEST(GameUpdateDeathTest, F4AndTheCloseKeyEndTheProgramWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        GameHarness game;
        game.FinishLoading();
        game.KeyDown(kKeyF4);
        game.Update();
      },
      testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        GameHarness game;
        game.App().gameMode = 10;
        game.KeyDown(432);
        game.Update();
      },
      testing::ExitedWithCode(0), "");
}

TEST(GameUpdate, MeasuresUpdateAndRenderRatesFromTheClock) {
  GameHarness game;
  c_MyApp& app = game.App();
  game.Step(60);
  // Updates come 16 or 17 ms apart.
  EXPECT_TRUE(app.updateFps == 62 || app.updateFps == 58) << app.updateFps;
  EXPECT_GT(app.updateFpsAvg, 50);
  EXPECT_GT(app.renderFpsAvg, 50);
  // A clock that stands still keeps the last rate.
  const int before = app.updateFps;
  app.lastUpdateMs = xq_app_Millisecs() + 5000;
  game.Update();
  EXPECT_EQ(app.updateFps, before);
}

TEST(GameLifecycle, SuspendPausesARunningGameAndSaves) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp& app = game.App();
  app.gameMode = 11;
  game.Step(2);
  ASSERT_EQ(app.gameMode, 10);
  app.padState[3] = 2;
  xq_Drommel_iCadeControls = 1;

  game.Suspend();
  EXPECT_EQ(app.paused, 1);
  EXPECT_EQ(app.pauseDirection, 1);
  EXPECT_EQ(app.pauseSlide, 240);
  EXPECT_EQ(xq_app_UpdateRate, 5);
  EXPECT_EQ(xq_Drommel_iCadeControls, 0);
  EXPECT_EQ(app.padState[3], 0);
  EXPECT_FALSE(game.StateText().empty());

  game.Resume();
  EXPECT_EQ(xq_app_UpdateRate, 60);
  EXPECT_EQ(app.paused, 1);
}

TEST(GameLifecycle, SuspendInTheMenuLeavesNothingPaused) {
  GameHarness game;
  game.FinishLoading();
  game.Suspend();
  EXPECT_EQ(game.App().paused, 0);
  EXPECT_EQ(xq_app_UpdateRate, 5);
  game.Resume();
  EXPECT_EQ(game.App().paused, 0);
  EXPECT_EQ(xq_app_UpdateRate, 60);
}
