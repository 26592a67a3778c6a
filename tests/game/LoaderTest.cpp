// The loader and sound effects: resolution levels, the fixed asset list, reloading on a new size,
// the intro sound once per run, and the 24-channel rotation of effects.
#include <gtest/gtest.h>

#include <algorithm>

#include "audio/Sound.h"
#include "game/Globals.h"
#include "graphics/Graphics.h"
#include "tests/game/GameHarness.h"

namespace {

int Count(const std::vector<int>& v, int x) {
  return static_cast<int>(std::count(v.begin(), v.end(), x));
}

}  // namespace

TEST(GameLoader, PicksTheImageVariantFromTheWindowSize) {
  struct Case {
    int w, h, level;
  };
  for (Case c : {Case{640, 480, 2}, Case{630, 630, 1}, Case{631, 400, 2}, Case{1024, 768, 2},
                 Case{1230, 1230, 2}, Case{1231, 700, 4}, Case{1920, 1080, 4}}) {
    GameHarness game(GameHarness::Options::Sized(c.w, c.h));
    c_MyApp& app = game.App();
    EXPECT_EQ(app.hdLevel, c.level) << c.w << "x" << c.h;
    game.FinishLoading();
    // Frames are the design size times the level; every image covers the same virtual size.
    ASSERT_NE(app.images[Image::Menu], nullptr);
    EXPECT_EQ(app.images[Image::Menu]->width, 256 * c.level);
    EXPECT_EQ(app.images[Image::Menu]->height, 256 * c.level);
    EXPECT_EQ(app.FrameCount(Image::Menu), 4);
    EXPECT_FLOAT_EQ(app.FrameWidth(Image::Menu) * app.imageScale, 256);
    ASSERT_NE(app.images[Image::Parts], nullptr);
    EXPECT_EQ(app.images[Image::Parts]->width, 8 * c.level);
  }
}

TEST(GameLoader, TheFontKeepsItsAdvanceAndLineHeightInVirtualUnits) {
  GameHarness game(GameHarness::Options::Sized(1024, 768));
  c_MyApp& app = game.App();
  // Loaded at once with the logo, before the first loading step.
  EXPECT_EQ(app.fontSlot, Image::Font);
  ASSERT_NE(app.images[Image::Font], nullptr);
  ASSERT_NE(app.images[Image::Logo], nullptr);
  EXPECT_EQ(app.images[Image::Font]->width, 32);
  EXPECT_EQ(app.FrameWidth(Image::Font), 7);
  EXPECT_EQ(app.FrameHeight(Image::Font), 10);
  EXPECT_EQ(app.FrameCount(Image::Font), 128);
  EXPECT_EQ(app.images[Image::Font]->handleX, 16);
}

TEST(GameLoader, PlaysTheIntroSoundOncePerRun) {
  GameHarness game;
  game.Render();
  game.Step(3);
  EXPECT_EQ(Count(game.SoundsPlayed(), Sound::Jingle), 0);
  game.Step();  // step 4: the logo, and the intro sound
  EXPECT_EQ(Count(game.SoundsPlayed(), Sound::Jingle), 1);
  EXPECT_EQ(game.App().introSoundPlayed, 1);
  game.FinishLoading();

  // Two resizes in quick succession restart the loader from step 1 each time; no second intro.
  game.ClearSoundLog();
  game.Resize(800, 600);
  game.Step(6);
  EXPECT_EQ(game.App().loading, 6);
  game.Resize(1300, 900);
  game.Render();
  EXPECT_EQ(game.App().loading, 1);
  game.FinishLoading();
  EXPECT_EQ(game.App().hdLevel, 4);
  EXPECT_EQ(Count(game.SoundsPlayed(), Sound::Jingle), 0);
}

TEST(GameLoader, MissingFilesLeaveTheirSlotsEmpty) {
  GameHarness game;
  c_MyApp& app = game.App();
  app.p_LoadImg(42, String("no/such/image"), 32, 32, 1, 1);
  EXPECT_EQ(app.images[42], nullptr);
  EXPECT_EQ(app.FrameWidth(42), 32 * app.hdLevel);
  app.p_LoadSFX(42);
  EXPECT_EQ(app.sounds[42], nullptr);
  // Out-of-range slots are ignored.
  app.p_LoadImg(100, String("menu"), 256, 256, 4, 1);
  app.p_LoadImg(-1, String("menu"), 256, 256, 4, 1);
  app.p_LoadSFX(100);
  // Playing an empty slot only stops and sets the channel.
  game.ClearSoundLog();
  app.p_PlaySFX(42, 1);
  EXPECT_TRUE(game.SoundsPlayed().empty());
  EXPECT_EQ(game.SoundLog().size(), 4u);
}

TEST(GameSoundEffects, RotateOverTwentyFourChannels) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp& app = game.App();
  app.sfxSlot = 0;
  game.ClearSoundLog();
  for (int i = 0; i < 30; ++i) app.p_PlaySFX(Sound::FirstSpike, 1.5f, 0.5f, -0.25f);
  std::vector<int> channels;
  for (const SoundCommand& c : game.SoundLog()) {
    if (c.kind == SoundCommand::kPlay) {
      EXPECT_EQ(c.slot, Sound::FirstSpike);
      channels.push_back(c.channel);
    }
  }
  ASSERT_EQ(channels.size(), 30u);
  for (int i = 0; i < 30; ++i) EXPECT_EQ(channels[i], (i + 1) % 24) << i;

  // Stop, play, then rate, volume and pan, in that order.
  const auto& log = game.SoundLog();
  ASSERT_EQ(log.size(), 150u);
  EXPECT_EQ(log[0].kind, SoundCommand::kStop);
  EXPECT_EQ(log[1].kind, SoundCommand::kPlay);
  EXPECT_EQ(log[2].kind, SoundCommand::kRate);
  EXPECT_FLOAT_EQ(log[2].value, 1.5f);
  EXPECT_EQ(log[3].kind, SoundCommand::kVolume);
  EXPECT_FLOAT_EQ(log[3].value, 0.5f);
  EXPECT_EQ(log[4].kind, SoundCommand::kPan);
  EXPECT_FLOAT_EQ(log[4].value, -0.25f);

  // A step outside the rotation starts it again.
  app.sfxSlot = -7;
  game.ClearSoundLog();
  app.p_PlaySFX(Sound::FirstSpike, 1);
  EXPECT_EQ(game.SoundLog().at(0).channel, 0);
}

TEST(GameSoundEffects, PlayOnlyWhileEffectsAreSwitchedOn) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp& app = game.App();
  for (int setting : {SoundSetting::Off, SoundSetting::Music}) {
    app.options[Option::Sound] = setting;
    app.sfxSlot = 5;
    game.ClearSoundLog();
    app.p_PlaySFX(Sound::Bounce, 1);
    EXPECT_TRUE(game.SoundLog().empty()) << setting;
    EXPECT_EQ(app.sfxSlot, 5);
  }
  app.options[Option::Sound] = SoundSetting::Effects;
  app.p_PlaySFX(Sound::Bounce, 1);
  EXPECT_EQ(game.SoundsPlayed(), std::vector<int>{Sound::Bounce});
  EXPECT_EQ(app.sfxSlot, 6);
}
