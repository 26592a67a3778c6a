// The game object's screen flow, render pass and scaling, suspend and resume, function keys and the
// game-over overlay, run through the headless harness.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "framework/App.h"
#include "framework/Random.h"
#include "game/AssetList.h"
#include "game/Globals.h"
#include "graphics/Graphics.h"
#include "host/Files.h"
#include "host/GameDelegate.h"
#include "tests/game/GameHarness.h"

TEST(GameFlow, ShowsTheLoadingScreenForTwentyTwoUpdatesThenTheMainMenu) {
  GameHarness game;
  EXPECT_EQ(game.App().loading, 1);
  EXPECT_EQ(game.App().gameMode, Mode::Menu);
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
  EXPECT_TRUE(records[13].IsImage(Image::Logo));
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
  EXPECT_EQ(game.App().gameMode, Mode::Menu);
  // Every asset of the list is in its slot.
  int images = 0;
  int sounds = 0;
  for (const AssetStep& step : kAssetSteps) {
    if (step.image.slot >= 0) {
      EXPECT_NE(game.App().images[step.image.slot], nullptr) << step.image.name;
      ++images;
    }
    if (step.sound >= 0) {
      EXPECT_NE(game.App().sounds[step.sound], nullptr) << "sound " << step.sound;
      ++sounds;
    }
  }
  EXPECT_EQ(images, 11);
  EXPECT_EQ(sounds, 11);
  // The menu draws from the next update on.
  game.Step();
  EXPECT_TRUE(game.App().drawCount > 0);
  EXPECT_FALSE(game.Records()[0].IsOval());
}

// A host whose data files arrive over the network: only the files in `arrived` are in place; every
// request is noted with the most urgent urgency it was asked with.
struct ArrivingFiles {
  static inline std::map<std::string, int> asked;
  static inline std::set<std::string> arrived;
  static bool Ready(const String& path, int urgency) {
    const std::string name = path.ToUtf8();
    auto [at, fresh] = asked.emplace(name, urgency);
    if (!fresh) at->second = std::min(at->second, urgency);
    return arrived.count(name) != 0;
  }
  // Every file of the steps of one use at a level ("kestro://data/..." as the loader asks).
  static void Arrive(AssetUse use, int level) {
    for (const AssetStep& step : kAssetSteps) {
      if (step.use != use) continue;
      if (step.image.slot >= 0) {
        arrived.insert(std::string("kestro://data/") + step.image.name + LevelSuffix(level) +
                       ".png");
      }
      if (step.sound >= 0) arrived.insert("kestro://data/" + SoundFileName(step.sound));
    }
  }
  ArrivingFiles() {
    asked.clear();
    arrived.clear();
    xq_data_testing::fileReady = Ready;
  }
  ~ArrivingFiles() { xq_data_testing::fileReady = nullptr; }
};

TEST(GameFlow, WhereFilesArriveLateTheMenuWaitsForItsOwnAndAGameForItsImages) {
  ArrivingFiles files;
  GameHarness game;
  c_MyApp& app = game.App();
  game.Render();
  const int level = app.hdLevel;
  // Nothing is in: the loader stays at its first step, showing the loading screen.
  for (int i = 0; i < 30; ++i) game.Step();
  EXPECT_EQ(app.loading, 1);
  EXPECT_TRUE(game.Records()[0].IsOval());
  EXPECT_EQ(app.images[Image::Icons], nullptr);

  // The menu's files come in: the loader runs through, leaving what play and nothing else needs.
  ArrivingFiles::Arrive(AssetUse::kMenu, level);
  for (int i = 0; i < 40 && app.loading > 0; ++i) game.Step();
  EXPECT_EQ(app.loading, 0);
  game.Step();
  EXPECT_EQ(app.gameMode, Mode::Menu);
  EXPECT_FALSE(game.Records()[0].IsOval());
  EXPECT_NE(app.images[Image::Title], nullptr);
  EXPECT_EQ(app.images[Image::World], nullptr);
  EXPECT_EQ(app.sounds[Sound::Bounce], nullptr);
  for (const AssetStep& step : kAssetSteps) {
    if (step.image.slot < 0) continue;
    const std::string name =
        std::string("kestro://data/") + step.image.name + LevelSuffix(level) + ".png";
    ASSERT_EQ(ArrivingFiles::asked.count(name), 1u) << name;
    const int urgency = ArrivingFiles::asked[name];
    EXPECT_EQ(urgency, step.use == AssetUse::kMenu   ? kDataNow
                       : step.use == AssetUse::kPlay ? kDataBeforePlay
                                                     : kDataSometime)
        << name;
  }
  for (const auto& [name, urgency] : ArrivingFiles::asked) {
    if (name.find(".png") == std::string::npos) continue;
    EXPECT_NE(name.find(LevelSuffix(level) + std::string(".png")), std::string::npos)
        << "another level asked for: " << name;
  }

  // A game started now waits on the loading screen, asking for its files at once.
  app.gameMode = Mode::NewGame;
  for (int i = 0; i < 10; ++i) game.Step();
  EXPECT_EQ(app.gameMode, Mode::NewGame);
  EXPECT_TRUE(game.Records()[0].IsOval());
  EXPECT_EQ(
      ArrivingFiles::asked["kestro://data/world001" + std::string(LevelSuffix(level)) + ".png"],
      kDataNow);

  // Once they are in, one step each, the game starts with every image and sound it draws.
  ArrivingFiles::Arrive(AssetUse::kPlay, level);
  for (int i = 0; i < 20 && app.gameMode == Mode::NewGame; ++i) game.Step();
  EXPECT_EQ(app.gameMode, Mode::Play);
  EXPECT_NE(app.images[Image::World], nullptr);
  EXPECT_NE(app.images[Image::Parts], nullptr);
  EXPECT_NE(app.sounds[Sound::Bounce], nullptr);
  EXPECT_EQ(app.images[Image::Badges], nullptr);  // never drawn: still on its way

  ArrivingFiles::Arrive(AssetUse::kUnused, level);
  for (int i = 0; i < 10; ++i) game.Step();
  EXPECT_NE(app.images[Image::Badges], nullptr);
  EXPECT_EQ(app.loadLater, 0u);
}

TEST(GameFlow, StartsWithDefaultsWhenThereIsNoStateFile) {
  GameHarness game;
  c_MyApp& app = game.App();
  EXPECT_EQ(app.options[Option::Sound], SoundSetting::EffectsAndMusic);
  EXPECT_EQ(app.options[Option::Overscan], 1);
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

  // A new game then runs as play.
  app.gameMode = Mode::NewGame;
  game.Step();
  EXPECT_EQ(app.gameMode, Mode::Play);
  game.Step(3);
  EXPECT_EQ(app.gameMode, Mode::Play);

  // The return records the game, plays the jingle and shows the menu.
  game.ClearSoundLog();
  app.gameMode = Mode::ReturnToMenu;
  game.Step();
  EXPECT_EQ(app.gameMode, Mode::Menu);
  const auto played = game.SoundsPlayed();
  EXPECT_NE(std::find(played.begin(), played.end(), Sound::Jingle), played.end());

  // While loading, no screen runs: the mode stays as it is.
  app.loading = 1;
  app.gameMode = Mode::NewGame;
  game.Step();
  EXPECT_EQ(app.gameMode, Mode::NewGame);
}

TEST(GameFlow, GameOverOverlayGrowsForNinetyUpdatesThenFadesOverTheMenu) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp& app = game.App();
  app.gameMode = Mode::Play;
  app.gameOverStep = 0;
  for (int i = 1; i < 90; ++i) {
    app.drawCount = 0;
    app.p_GameOver();
    EXPECT_EQ(app.gameMode, Mode::Play);
    EXPECT_EQ(app.gameOverStep, i);
  }
  app.drawCount = 0;
  app.p_GameOver();
  EXPECT_TRUE(game.HasText("GAME"));
  EXPECT_TRUE(game.HasText("OVER"));
  EXPECT_EQ(app.gameMode, Mode::ReturnToMenu);
  EXPECT_EQ(app.gameOverStep, 75);

  // The yellow bar stops growing at 45% of the height.
  const auto records = game.Records();
  ASSERT_GE(records.size(), 3u);
  EXPECT_FLOAT_EQ(records[1].scaleX, 2.0f * 216);
  EXPECT_FLOAT_EQ(records[0].alpha, 0.7f);

  app.gameMode = Mode::Menu;
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

// The overlay names the place the game will take in the table, and nothing when it takes none: a
// score equal to a stored one goes after it.
TEST(GameFlow, NewHighscoreNamesThePlaceTheScoreTakesInTheTable) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp& app = game.App();
  app.gameType = 1;
  auto overlay = [&](int score) {
    app.score = score;
    app.gameMode = Mode::Play;
    app.gameOverStep = 10;
    app.drawCount = 0;
    app.p_GameOver();
    return game.Glyphs();
  };

  for (int i = 0; i < 10; ++i) app.highscores[i] = 1000 - 100 * i;  // 1000 ... 100
  EXPECT_EQ(overlay(1001), "GAMEOVERNewHighscore1st!");
  EXPECT_EQ(overlay(1000), "GAMEOVERNewHighscore2nd");
  EXPECT_EQ(overlay(500), "GAMEOVERNewHighscore7th");
  EXPECT_EQ(app.p_MyNth(), String("7th"));
  // Equal to the tenth: no place, no box.
  EXPECT_EQ(overlay(100), "GAMEOVER");
  EXPECT_EQ(app.p_MyNth(), String());
  // Nothing scored against an empty table is no highscore either.
  for (int i = 0; i < 10; ++i) app.highscores[i] = 0;
  EXPECT_EQ(overlay(0), "GAMEOVER");

  // 100, 50 and a new 50: third, where recording puts it, and the overlay keeps saying so while it
  // fades over the menu.
  app.highscores[0] = 100;
  app.highscores[1] = 50;
  EXPECT_EQ(overlay(50), "GAMEOVERNewHighscore3rd");
  app.gameMode = Mode::ReturnToMenu;
  game.Step();
  EXPECT_EQ(app.highscores[2], 50);
  EXPECT_EQ(app.highscores[3], 0);
  EXPECT_TRUE(game.HasText("New Highscore 3rd"));
}

TEST(GameRender, KeepsTheLargerScaleAndPublishesTheVisibleVirtualArea) {
  {
    GameHarness game(GameHarness::Options::Sized(1280, 720));
    game.Render();
    EXPECT_FLOAT_EQ(game.App().scaleX, 2.0f);
    EXPECT_FLOAT_EQ(game.App().scaleY, 2.0f);
    EXPECT_FLOAT_EQ(xq_Drommel_jscrw, 640);
    EXPECT_FLOAT_EQ(xq_Drommel_jscrh, 360);
    EXPECT_EQ(game.App().landscape, 1);
  }
  {
    GameHarness game(GameHarness::Options::Sized(800, 800));
    game.Render();
    EXPECT_NEAR(game.App().scaleX, 1.6667f, 1e-3);
    EXPECT_NEAR(game.App().scaleY, 1.6667f, 1e-3);
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
  app.p_DrawImg(Image::Logo, 320, 240, 0);
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
    EXPECT_EQ(app.FrameWidth(Image::Menu), 256 * c.level);
    ASSERT_NE(app.images[Image::Menu], nullptr);
    // The image loaded is the variant of the level (menu.png, menu-hd.png, menu-hd2.png).
    EXPECT_EQ(app.images[Image::Menu]->width, 256 * c.level);
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

// Every screen the game shows, drawn in a real window through one renderer at one size, in order.
std::vector<std::pair<std::string, Array<int>>> ScreensThrough(XQRenderApi api, int width,
                                                               int height, bool fullScreen) {
  GameHarness::Options o = GameHarness::Options::Sized(width, height);
  o.window = true;
  o.renderer = api;
  o.fullScreen = fullScreen;
  GameHarness game(o);
  c_MyApp& app = game.App();
  std::vector<std::pair<std::string, Array<int>>> shots;
  const auto shot = [&](const char* name) { shots.emplace_back(name, game.ReadFrame()); };
  const auto tap = [&](int key) {
    game.Hold(key, 3);
    game.Step(2);
  };
  game.Render();
  shot("loading");
  game.FinishLoading();
  game.Step(40);
  shot("menu");
  tap(Key::F1);
  EXPECT_EQ(xq_Drommel_DebugMode, 1);
  shot("debug line");
  tap(Key::F1);
  tap(Key::Right);
  tap(Key::Enter);
  game.Step(30);
  shot("options");
  for (int i = 0; i < 4; ++i) tap(Key::Down);
  tap(Key::Enter);
  game.Step(40);
  shot("credits");
  tap(Key::Enter);
  game.Step(40);
  // A game whose spikes stand out of reach, the jump held until points float up.
  game.StartSafeGame();
  for (int i = 0; i < 600 && app.score < 14; ++i) game.Update();
  game.Step(5);
  shot("play");
  game.KeyUp(Key::Space);
  tap(Key::Escape);
  game.Step(12);
  shot("pause");
  tap(Key::Left);
  tap(Key::Enter);
  game.Step(60);
  shot("game over");
  return shots;
}

// The same display list through OpenGL 1.x and through OpenGL ES 2.0 on the same display gives
// the same pixels, but for the last bit of a few: the driver's fixed-function fragment code and our
// shader multiply and blend partly transparent texels with different rounding, which moves a
// channel by 1 (2 where two such layers fall on one pixel) on well under 0.1 % of the pixels.
TEST(GameRender, BothRenderersDrawEveryScreenAlike) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
  struct Size {
    int width, height;
    bool fullScreen;
  };
  for (const Size size : {Size{640, 480, false}, Size{1280, 1024, true}}) {
    const auto gl1 = ScreensThrough(XQRenderApi::kGl1, size.width, size.height, size.fullScreen);
    const auto es2 = ScreensThrough(XQRenderApi::kEs2, size.width, size.height, size.fullScreen);
    ASSERT_EQ(gl1.size(), es2.size());
    for (size_t s = 0; s < gl1.size(); ++s) {
      const Array<int>& a = gl1[s].second;
      const Array<int>& b = es2[s].second;
      ASSERT_EQ(a.Length(), size.width * size.height);
      ASSERT_EQ(b.Length(), a.Length());
      int differing = 0, maxDiff = 0;
      for (int i = 0; i < a.Length(); ++i) {
        if (a[i] == b[i]) continue;
        ++differing;
        for (int shift = 0; shift < 32; shift += 8) {
          const int d = std::abs(((a[i] >> shift) & 255) - ((b[i] >> shift) & 255));
          maxDiff = std::max(maxDiff, d);
        }
      }
      const double share = 100.0 * differing / a.Length();
      const std::string where =
          gl1[s].first + " at " + std::to_string(size.width) + "x" + std::to_string(size.height);
      std::printf("%-28s %7d pixels differ (%.4f %%), by at most %d\n", where.c_str(), differing,
                  share, maxDiff);
      EXPECT_LE(maxDiff, 2) << where;
      EXPECT_LE(share, 0.1) << where;
    }
  }
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

  // A press and release inside one update: not down.
  game.MouseDown(100, 50);
  game.MouseUp();
  game.Update();
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

  game.Tap(Key::F1);
  EXPECT_EQ(xq_Drommel_DebugMode, 1);
  EXPECT_TRUE(game.HasText(":1.0,1.0"));
  game.Tap(Key::F1);
  EXPECT_EQ(xq_Drommel_DebugMode, 0);
  EXPECT_FALSE(game.HasText(":1.0,1.0"));

  game.Tap(Key::F2);
  EXPECT_EQ(app.hideHud, 1);
  game.Tap(Key::F2);
  EXPECT_EQ(app.hideHud, 0);

  // Full screen takes the desktop's size; the next render reloads at its level.
  game.Tap(Key::F11);
  EXPECT_EQ(app.fullScreen, 1);
  EXPECT_EQ(app.loading, 1);
  EXPECT_EQ(app.lastDeviceWidth, 1280);
  game.FinishLoading();
  EXPECT_EQ(app.hdLevel, 4);
  game.Tap(Key::F11);
  EXPECT_EQ(app.fullScreen, 0);
  game.FinishLoading();
  EXPECT_EQ(app.hdLevel, 2);
  EXPECT_EQ(app.lastDeviceWidth, 640);
}

TEST(GameUpdate, FullScreenLeftOutsideTheGameIsFollowedAndOneF11GoesBack) {
  GameHarness game;
  game.FinishLoading();
  game.Tap(Key::F11);
  EXPECT_EQ(game.App().fullScreen, 1);
  game.LeaveFullScreenOutside();
  game.Step();
  EXPECT_EQ(game.App().fullScreen, 0);  // the options row offers full screen again
  game.Tap(Key::F11);
  EXPECT_EQ(game.App().fullScreen, 1);
}

TEST(GameUpdate, AFullScreenSwitchTheHostCannotMakeLeavesTheGameInItsWindow) {
  GameHarness::Options options;
  options.fullScreenRefused = true;
  GameHarness game(options);
  game.FinishLoading();
  game.Tap(Key::F11);
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
        game.KeyDown(Key::F4);
        game.Update();
      },
      testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        GameHarness game;
        game.App().gameMode = Mode::Play;
        game.KeyDown(kKeyClose);
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
  app.gameMode = Mode::NewGame;
  game.Step(2);
  ASSERT_EQ(app.gameMode, Mode::Play);
  app.padState[Action::Left] = 2;
  xq_Drommel_iCadeControls = 1;

  game.Suspend();
  EXPECT_EQ(app.paused, 1);
  EXPECT_EQ(app.pauseDirection, 1);
  EXPECT_EQ(app.pauseSlide, 240);
  EXPECT_EQ(xq_app_UpdateRate, 5);
  EXPECT_EQ(xq_Drommel_iCadeControls, 0);
  EXPECT_EQ(app.padState[Action::Left], 0);
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
