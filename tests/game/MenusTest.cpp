// The menus and overlays, update by update with key presses as the host delivers them: the main
// menu's score panel and carousel, the options box (its sound row, owning the input, saving), the
// pause menu's resume and quit, the credits box's scrolling lines, and how a finished game enters
// the score tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "game/Globals.h"
#include "game/MyApp.h"
#include "tests/game/GameHarness.h"

namespace {

// The game past its loading steps and the menu's slide-in, with keys pressed as a player presses
// them: held for a few updates, then let go.
class MenuFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    game_ = std::make_unique<GameHarness>();
    game_->FinishLoading();
    game_->Step(33);
    ASSERT_EQ(app().gameMode, Mode::Menu);
    ASSERT_EQ(app().menuSlide, 0);
  }

  c_MyApp& app() { return game_->App(); }

  void Update(int count = 1) { game_->Step(count); }
  void Hold(int key) { game_->KeyDown(key); }
  void Release(int key) { game_->KeyUp(key); }
  // Held for three updates, then let go for two.
  void Tap(int key) {
    game_->Hold(key, 3);
    game_->Step(2);
  }

  // Opens the options box from the menu and lets it slide in.
  void OpenOptions() {
    app().optionsOpen = 1;
    app().optionsChoice = 0;
    Update(31);
    ASSERT_EQ(app().optionsSlide, 30);
  }

  // The visible picture as text: each line of glyphs in the game font, left to right, with spaces
  // where the pen skipped a character and leading spaces dropped.
  std::vector<std::string> TextLines() const {
    std::vector<std::string> lines;
    float lastX = 0, lastY = 0;
    bool inLine = false;
    for (const DrawRecord& r : game_->Records()) {
      if (!r.IsImage(game_->App().fontSlot) || r.alpha <= 0) {
        inLine = false;
        continue;
      }
      const float scale = r.scaleX > 0 ? r.scaleX : 1;
      if (!inLine || std::fabs(r.y - lastY) > 2 || r.x < lastX) {
        lines.emplace_back();
      } else {
        const float gap = (r.x - lastX) / scale;
        if (gap > 10) {
          lines.back().append(static_cast<size_t>(std::max(1.0f, std::round((gap - 7) / 7))), ' ');
        }
      }
      lines.back() += static_cast<char>(static_cast<int>(r.frame) + 32);
      lastX = r.x;
      lastY = r.y;
      inLine = true;
    }
    return lines;
  }
  bool Shows(const std::string& text) const {
    for (const auto& line : TextLines()) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }

  // The saved state record split at "|".
  std::vector<std::string> SavedFields() const {
    std::vector<std::string> fields;
    std::string field;
    for (char c : game_->StateText()) {
      if (c == '|') {
        fields.push_back(field);
        field.clear();
      } else {
        field += c;
      }
    }
    fields.push_back(field);
    return fields;
  }

  // Times the music channel has been stopped.
  int MusicStops() const {
    int stops = 0;
    for (const SoundCommand& c : game_->SoundLog()) {
      stops += c.kind == SoundCommand::kStop && c.channel == 32 ? 1 : 0;
    }
    return stops;
  }

  // A new window size: the next render reloads the images for it.
  void SetWindow(int width, int height) {
    game_->Resize(width, height);
    game_->FinishLoading();
  }

  std::unique_ptr<GameHarness> game_;
};

using Menus = MenuFixture;

TEST_F(Menus, SoundRowCyclesOffSfxAndMusicSfxMusicAndBackToOffStoppingMusicWhenItHasNone) {
  app().options[Option::Sound] = SoundSetting::Off;
  OpenOptions();
  Tap(Key::Down);
  ASSERT_EQ(app().optionsChoice, 1);
  EXPECT_TRUE(Shows("Sound : Off"));

  const std::vector<std::string> labels = {"Sound : SFX + Music", "Sound : SFX", "Sound : Music",
                                           "Sound : Off"};
  const std::vector<int> settings = {SoundSetting::EffectsAndMusic, SoundSetting::Effects,
                                     SoundSetting::Music, SoundSetting::Off};
  std::vector<int> stopsAfter;
  for (size_t i = 0; i < labels.size(); ++i) {
    Tap(Key::Enter);
    EXPECT_EQ(app().options[Option::Sound], settings[i]);
    EXPECT_TRUE(Shows(labels[i])) << labels[i];
    stopsAfter.push_back(MusicStops());
  }
  // Music stops on the way to "SFX" and to "Off", not to "Music" or "SFX + Music".
  EXPECT_EQ(stopsAfter, (std::vector<int>{0, 1, 1, 2}));

  // Closing the box saves the new setting.
  Tap(Key::Escape);
  EXPECT_EQ(app().optionsOpen, 0);
  ASSERT_EQ(SavedFields().size(), 57u);
  EXPECT_EQ(SavedFields()[Option::Sound], "0");
}

TEST_F(Menus, ArcadeRowSwitchesTheCabinetMappingOnAndOff) {
  OpenOptions();
  Tap(Key::Down);
  Tap(Key::Down);
  ASSERT_EQ(app().optionsChoice, 2);
  EXPECT_TRUE(Shows("iCade : Off"));
  Tap(Key::Enter);
  EXPECT_EQ(xq_Drommel_iCadeControls, 1);
  EXPECT_TRUE(Shows("iCade : On"));
  // The cabinet's letters now hold pad buttons: "w" presses up (the next update moves the
  // selection), "e" lets go.
  game_->TypeChar('w');
  Update();
  EXPECT_EQ(app().padState[Action::Up], 2);
  Update();
  EXPECT_EQ(app().optionsChoice, 1);
  game_->TypeChar('e');
  Update();
  EXPECT_EQ(app().padState[Action::Up], 0);
  Update();
  Tap(Key::Down);
  Tap(Key::Enter);
  EXPECT_EQ(xq_Drommel_iCadeControls, 0);
  EXPECT_TRUE(Shows("iCade : Off"));
  // With the mapping off, letters no longer reach the pad.
  game_->TypeChar('w');
  Update();
  EXPECT_EQ(app().padState[Action::Up], 0);
}

TEST_F(Menus, SoundSettingOutsideItsRangeShowsAsOff) {
  app().options[Option::Sound] = 7;
  OpenOptions();
  EXPECT_EQ(app().options[Option::Sound], SoundSetting::Off);
  EXPECT_TRUE(Shows("Sound : Off"));
}

TEST_F(Menus, OptionLabelsStayInsideTheirRowsOnAPortraitScreen) {
  SetWindow(480, 640);
  ASSERT_LT(xq_Drommel_jscrw, xq_Drommel_jscrh);
  OpenOptions();
  ASSERT_TRUE(Shows("Sound : SFX + Music"));
  const float rowRight = xq_Drommel_jscrw - 84;
  for (const DrawRecord& r : game_->Records()) {
    if (r.IsImage(app().fontSlot) && r.y > 100) {
      EXPECT_LT(r.x + 3.5f * r.scaleX, rowRight) << static_cast<char>(r.frame + 32);
    }
  }
}

TEST_F(Menus, OptionsBoxOwnsTheInputWhileItIsOpen) {
  Tap(Key::Right);
  ASSERT_EQ(app().menuChoice, 2);
  Tap(Key::Enter);
  ASSERT_EQ(app().optionsOpen, 1);

  // While the box slides in, nothing reacts to keys.
  Tap(Key::Down);
  EXPECT_EQ(app().optionsChoice, 0);
  Update(30);
  ASSERT_EQ(app().optionsSlide, 30);

  // Keys move the box's selection and leave the menu and the game alone.
  Tap(Key::Down);
  Tap(Key::Down);
  EXPECT_EQ(app().optionsChoice, 2);
  EXPECT_EQ(app().menuChoice, 2);
  Tap(Key::Up);
  EXPECT_EQ(app().optionsChoice, 1);
  Tap(Key::Left);
  Tap(Key::Left);
  EXPECT_EQ(app().optionsChoice, 0);
  EXPECT_EQ(app().gameMode, Mode::Menu);

  // Back closes the box instead of ending the program, and the press does not reach the menu.
  ASSERT_EQ(game_->StateText(), "");
  Hold(Key::Escape);
  Update(40);
  EXPECT_EQ(app().optionsOpen, 0);
  EXPECT_EQ(app().optionsSlide, 0);
  EXPECT_NE(game_->StateText(), "") << "closing the box saves";
  Release(Key::Escape);
  Update();
  EXPECT_EQ(app().gameMode, Mode::Menu);
}

TEST_F(Menus, CreditsRowOpensTheCreditsAndClosesTheBox) {
  OpenOptions();
  for (int i = 0; i < 4; ++i) Tap(Key::Down);
  ASSERT_EQ(app().optionsChoice, 4);
  EXPECT_TRUE(Shows("Credits"));
  Tap(Key::Enter);
  EXPECT_EQ(app().optionsOpen, 0);
  EXPECT_EQ(app().creditsOpen, 1);
  Update(40);
  EXPECT_EQ(app().creditsSlide, 30);
  // A confirm key closes the credits again.
  Tap(Key::Enter);
  EXPECT_EQ(app().creditsOpen, 0);
}

TEST_F(Menus, ScorePanelFitsItsRowsToTheScreenHeight) {
  app().highscores[0] = 4200;
  app().highscores[10] = 17;
  Update();
  EXPECT_TRUE(Shows("Top 10"));
  EXPECT_TRUE(Shows("Last 10"));
  EXPECT_TRUE(Shows("4200"));
  EXPECT_TRUE(Shows("17"));

  // A screen with room for one row only: the headers read "Highscore" and "Last".
  SetWindow(1280, 400);
  ASSERT_LT(xq_Drommel_jscrh, 240);
  Update();
  EXPECT_TRUE(Shows("Highscore"));
  EXPECT_TRUE(Shows("Last"));
  EXPECT_FALSE(Shows("Top"));
  EXPECT_FALSE(Shows("Last 1"));
}

TEST_F(Menus, FinishedGameEntersTheBestListOnlyWhenStrictlyHigherButAlwaysTheRecentList) {
  for (int i = 0; i < 10; ++i) app().highscores[i] = 100 - 10 * i;  // 100, 90, ..., 10
  for (int i = 0; i < 10; ++i) app().highscores[10 + i] = i + 1;    // 1 newest ... 10 oldest
  app().gameType = 1;

  app().score = 10;  // equal to the tenth best
  app().p_LoadMenu();
  for (int i = 0; i < 10; ++i) EXPECT_EQ(app().highscores[i], 100 - 10 * i);
  EXPECT_EQ(app().highscores[10], 10);
  EXPECT_EQ(app().highscores[11], 1);
  EXPECT_EQ(app().highscores[19], 9);

  // A score equal to a stored one goes after it, and the tenth drops out.
  app().score = 50;
  app().p_LoadMenu();
  const std::vector<int> expected = {100, 90, 80, 70, 60, 50, 50, 40, 30, 20};
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(app().highscores[i], expected[static_cast<size_t>(i)]) << i;
  EXPECT_EQ(app().highscores[10], 50);
  EXPECT_EQ(app().highscores[11], 10);

  // Both tables are saved.
  const auto fields = SavedFields();
  ASSERT_EQ(fields.size(), 57u);
  EXPECT_EQ(fields[35], "100");  // best 0
  EXPECT_EQ(fields[36], "50");   // recent 0
}

TEST_F(Menus, BackInTheMainMenuEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        Hold(Key::Escape);
        Update(2);
        std::exit(3);  // not reached when the menu ends the program
      },
      ::testing::ExitedWithCode(0), "");
}

// A page stays open: back in the main menu and F4 do not end it; in full screen back leaves it.
TEST(PageMenu, BackAndF4NeverEndAPageAndBackLeavesFullScreen) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        GameHarness::Options o;
        o.page.on = true;
        GameHarness game(o);
        game.FinishLoading();
        game.Step(33);
        for (int key : {Key::Escape, Key::Backspace, Key::F4}) {
          game.Hold(key, 3);
          game.Step(2);
        }
        game.Tap(Key::F11);
        if (game.App().fullScreen != 1) std::exit(4);
        game.FinishLoading();  // at the new size
        game.Hold(Key::Escape, 3);
        game.Step(2);
        std::exit(game.App().fullScreen == 0 && game.App().gameMode == Mode::Menu ? 3 : 5);
      },
      ::testing::ExitedWithCode(3), "");
}

TEST_F(Menus, PauseMenuResumesTheGameOrQuitsItThroughTheGameOverSequence) {
  Tap(Key::Enter);
  Update(2);
  ASSERT_EQ(app().gameMode, Mode::Play);

  // Escape pauses; once the panel is in, Enter on the selected resume button slides it out.
  Tap(Key::Escape);
  ASSERT_EQ(app().paused, 1);
  Update(12);
  EXPECT_EQ(app().pauseSlide, static_cast<int>(xq_Drommel_jscrh / 2));
  Tap(Key::Enter);
  EXPECT_EQ(app().pauseDirection, -1);
  Update(15);
  EXPECT_EQ(app().paused, 0);
  EXPECT_EQ(app().gameMode, Mode::Play);

  // Score something, pause, step left to quit and confirm.
  app().score = 123;
  Tap(Key::Escape);
  Update(12);
  game_->ClearSoundLog();
  Tap(Key::Left);
  EXPECT_EQ(app().pauseChoice, -1);
  // Moving left plays the confirm sound pitched down.
  bool pitchedDown = false;
  for (const SoundCommand& c : game_->SoundLog()) {
    pitchedDown =
        pitchedDown || (c.kind == SoundCommand::kRate && std::fabs(c.value - 0.8f) < 1e-4f);
  }
  EXPECT_TRUE(pitchedDown);
  EXPECT_EQ(game_->SoundsPlayed(), (std::vector<int>{Sound::Confirm}));
  Tap(Key::Enter);
  EXPECT_EQ(app().paused, 0);
  EXPECT_EQ(app().gameOverTimer, 1);
  EXPECT_EQ(app().gameMode, Mode::Play);
  Update(95);
  EXPECT_EQ(app().gameMode, Mode::Menu);
  EXPECT_EQ(app().highscores[10], 123);
  EXPECT_EQ(app().highscores[0], 123);
  ASSERT_EQ(SavedFields().size(), 57u);
  EXPECT_EQ(SavedFields()[36], "123");
}

TEST_F(Menus, CreditLinesWrapAfterTheLastButOneSoTheFiftiethIsNeverShown) {
  Array<String> lines(kCreditLines);
  for (int i = 0; i < kCreditLines; ++i) lines[i] = String("L") + String::FromInt(i) + String("x");
  xq_Drommel_CreditText = lines;
  Tap(Key::N);
  ASSERT_EQ(app().creditsOpen, 1);

  std::vector<bool> seen(kCreditLines, false);
  Hold(Key::Down);  // scrolls faster
  for (int update = 0; update < 2000; ++update) {
    Update();
    for (const auto& line : TextLines()) {
      int n = -1;
      if (std::sscanf(line.c_str(), "L%dx", &n) == 1 && n >= 0 && n < kCreditLines) {
        seen[static_cast<size_t>(n)] = true;
      }
    }
  }
  for (int i = 0; i < kCreditLines - 1; ++i) EXPECT_TRUE(seen[static_cast<size_t>(i)]) << i;
  EXPECT_FALSE(seen[kCreditLines - 1]);
  EXPECT_EQ(app().creditsOpen, 1) << "scrolling keys do not close the credits";
}

TEST_F(Menus, InvalidMenuChoiceIsResetToPlay) {
  app().menuChoice = 7;
  app().gameType = 3;
  Update();
  EXPECT_EQ(app().menuChoice, 1);
  EXPECT_EQ(app().gameType, 1);
  // Enter then starts a game of type 1.
  Tap(Key::Enter);
  Update();
  EXPECT_EQ(app().gameMode, Mode::Play);
  EXPECT_EQ(app().gameType, 1);
}

TEST_F(Menus, PointerSelectsAndActivatesItemsOpensAndClosesTheBoxesAndPressesPlay) {
  // The gear, right of the play item: a first click selects it, a click on it once it has
  // scrolled to the middle opens the options.
  game_->Click(338, 312);
  Update(2);
  EXPECT_EQ(app().menuChoice, 2);
  EXPECT_EQ(app().optionsOpen, 0);
  Update(60);
  game_->Click(250, 312);
  Update(2);
  ASSERT_EQ(app().optionsOpen, 1);
  Update(30);

  // The box's back gear closes it and saves.
  game_->Click(100, 60);
  Update(2);
  EXPECT_EQ(app().optionsOpen, 0);
  EXPECT_NE(game_->StateText(), "");
  Update(31);

  // The logo top right opens the credits; any click closes them.
  game_->Click(570, 32);
  Update(2);
  ASSERT_EQ(app().creditsOpen, 1);
  Update(31);
  game_->Click(320, 240);
  Update(2);
  EXPECT_EQ(app().creditsOpen, 0);
  Update(31);

  // Back on the play item, the big button bottom right starts a game.
  game_->Click(162, 312);  // selects play again, left of the gear now
  Update(60);
  ASSERT_EQ(app().menuChoice, 1);
  game_->Click(570, 432);
  Update(2);
  EXPECT_EQ(app().gameMode, Mode::Play);
}

TEST_F(Menus, SwipeFlingsTheCarouselToTheOtherItemWithoutActivatingIt) {
  game_->MouseDown(150, 312);
  Update();
  for (int x = 130; x >= 50; x -= 20) {
    game_->MouseMove(x, 312);
    Update();
  }
  game_->MouseUp();
  Update(60);
  EXPECT_EQ(app().menuChoice, 2);
  EXPECT_NEAR(app().menuScroll, -88, 2) << "settles on the selected item";
  EXPECT_EQ(app().optionsOpen, 0);
  EXPECT_EQ(app().gameMode, Mode::Menu);
}

// A pad GLFW recognises, whatever its make, works the game through the layout the controls read.
TEST_F(Menus, ARecognisedGamepadsDPadChoosesItsAButtonStartsAGameAndStartPauses) {
  auto press = [this](glfw2::testing::GamepadButton button) {
    glfw2::testing::GamepadState pad;
    pad.buttons[button] = glfw2::PRESS;
    game_->SetGamepad(0, pad);
    Update(3);
    game_->SetGamepad(0, {});
    Update(2);
  };
  press(glfw2::testing::PAD_DPAD_DOWN);
  EXPECT_EQ(app().menuChoice, 2);
  press(glfw2::testing::PAD_DPAD_UP);
  EXPECT_EQ(app().menuChoice, 1);
  press(glfw2::testing::PAD_A);
  Update(2);
  ASSERT_EQ(app().gameMode, Mode::Play);
  EXPECT_EQ(app().paused, 0);
  press(glfw2::testing::PAD_START);
  EXPECT_EQ(app().paused, 1);
}

TEST_F(Menus, ArrowKeysMoveTheCarouselAndEnterOnTheGearOpensTheOptions) {
  Tap(Key::Down);
  EXPECT_EQ(app().menuChoice, 2);
  Update(60);
  EXPECT_NEAR(app().menuScroll, -88, 1);
  // The score panel only shows with the play item selected.
  EXPECT_FALSE(Shows("Top 10"));
  Tap(Key::Right);  // already the last item
  EXPECT_EQ(app().menuChoice, 2);
  Tap(Key::Up);
  EXPECT_EQ(app().menuChoice, 1);
  Update(60);
  EXPECT_NEAR(app().menuScroll, 0, 1);
  Tap(Key::Right);
  Tap(Key::Enter);
  EXPECT_EQ(app().optionsOpen, 1);
  EXPECT_EQ(app().gameMode, Mode::Menu);
}

}  // namespace
