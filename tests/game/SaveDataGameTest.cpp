// The game object's saved progress through the state store: what p_Save stores, what p_Load prints
// and restores (badge flags included), and the debug print of the record.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/App.h"
#include "game/Globals.h"
#include "game/MyApp.h"
#include "host/Game.h"

namespace {

// A host whose state store is one string in memory.
class MemoryHost : public XQGame {
 public:
  int SaveState(const String& state) override {
    stored = state;
    ++saves;
    return 0;
  }
  String LoadState() override { return stored; }
  String stored;
  int saves = 0;
};

class SavedProgress : public ::testing::Test {
 protected:
  void SetUp() override {
    xq_Drommel_Init();
    previousHost = xq_app_host;
    xq_app_host = &host;
    app = std::make_shared<c_MyApp>();
    app->options[Option::Sound] = SoundSetting::EffectsAndMusic;
  }
  void TearDown() override {
    xq_app_host = previousHost;
    xq_Drommel_Init();
  }

  // Standard output printed while loading.
  std::string LoadPrinting(c_MyApp& target) {
    testing::internal::CaptureStdout();
    target.p_Load();
    return testing::internal::GetCapturedStdout();
  }

  MemoryHost host;
  XQGame* previousHost = nullptr;
  std::shared_ptr<c_MyApp> app;
};

TEST_F(SavedProgress, SavingAndLoadingUnchangedDataRestoresEverythingAndSaysSo) {
  app->options[3] = 7;
  app->options[Option::StickX] = 90;
  app->badges[5] = true;
  app->badges[255] = true;  // bit 31 of the last mask: written with a minus sign
  app->highscores[0] = 1200;
  app->highscores[10] = 300;
  app->highscores[20] = 99;  // not part of the record
  app->p_Save();
  EXPECT_EQ(host.saves, 1);
  EXPECT_NE(host.stored.Find(String("|-2147483648|")), -1);

  auto fresh = std::make_shared<c_MyApp>();
  fresh->options[Option::Sound] = SoundSetting::EffectsAndMusic;
  xq_Drommel_overscan = 12;
  EXPECT_EQ(LoadPrinting(*fresh), "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\n");
  EXPECT_EQ(fresh->options[3], 7);
  EXPECT_EQ(fresh->options[Option::StickX], 90);
  EXPECT_EQ(fresh->options[Option::Overscan], 1);
  EXPECT_TRUE(fresh->badges[5]);
  EXPECT_TRUE(fresh->badges[255]);
  EXPECT_FALSE(fresh->badges[4]);
  EXPECT_EQ(fresh->highscores[0], 1200);
  EXPECT_EQ(fresh->highscores[10], 300);
  EXPECT_EQ(fresh->highscores[20], 0);
  EXPECT_EQ(xq_Drommel_overscan, 0);
}

TEST_F(SavedProgress, MissingStateLoadsSilentlyAndOnlyAppliesTheLimits) {
  app->badges[9] = true;
  EXPECT_EQ(LoadPrinting(*app), "");
  EXPECT_EQ(app->options[Option::Sound], SoundSetting::EffectsAndMusic);
  EXPECT_EQ(app->options[Option::StickX], 64);
  EXPECT_EQ(app->options[Option::StickSize], 10);
  EXPECT_EQ(app->options[Option::Overscan], 1);
  EXPECT_TRUE(app->badges[9]);
}

TEST_F(SavedProgress, DebugModePrintsTheRecordWhenSavingAndTheTextWhenLoading) {
  xq_Drommel_DebugMode = 1;
  testing::internal::CaptureStdout();
  app->p_Save();
  const std::string saved = testing::internal::GetCapturedStdout();
  EXPECT_EQ(saved, host.stored.ToUtf8() + "\n");
  EXPECT_EQ(LoadPrinting(*app),
            host.stored.ToUtf8() + "\nSettings Loaded\nBadges Loaded\nHighscore 0 Loaded\n");
}

TEST_F(SavedProgress, TamperedBadgesAreClearedOnTheGameObject) {
  app->badges[40] = true;
  app->p_Save();
  std::vector<String> fields = host.stored.Split(String("|"));
  fields[27] = String("3");  // mask 1 no longer matches the badge checksum
  String tampered;
  for (size_t i = 0; i + 1 < fields.size(); ++i) tampered += fields[i] + String("|");
  host.stored = tampered;
  EXPECT_EQ(LoadPrinting(*app), "Settings Loaded\nBadge Checksum Invalid\nHighscore 0 Loaded\n");
  for (int b = 0; b < 256; ++b) EXPECT_FALSE(app->badges[b]) << "badge " << b;
}

}  // namespace
