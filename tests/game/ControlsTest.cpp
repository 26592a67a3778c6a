// The game's controls: actions over keys, joystick buttons, sticks and the virtual pad, the
// arcade-cabinet mapping and its characters, one-update pad pulses, and back with its latches.
#include <gtest/gtest.h>

#include <vector>

#include "game/Globals.h"
#include "tests/game/GameHarness.h"

namespace {

struct ActionKeys {
  int action;
  std::vector<int> keysOff;  // keys with the arcade mapping off
  std::vector<int> keysOn;   // with it on
  int padEntry;
};

const std::vector<ActionKeys>& Table() {
  static const std::vector<ActionKeys> table = {
      {0, {38, 87}, {38}, 0},
      {3, {37, 65}, {37}, 3},
      {5, {39, 68}, {39}, 5},
      {8, {40, 83}, {40}, 8},
      {10, {90, 74, 32, 13}, {32, 13}, 10},
      {11, {88, 75, 17}, {17}, 11},
      {12, {67, 76, 16}, {16}, 12},
      {13, {86, 73}, {}, 13},
      {14, {66, 85}, {}, 14},
      {15, {78, 79}, {}, 15},
      {99, {27, 192, 46, 8}, {27, 46, 8}, 19},
  };
  return table;
}

const std::vector<int> kAllKeys = {8,  13, 16, 17, 27, 32, 37, 38, 39, 40, 46, 65, 66, 67,
                                   68, 73, 74, 75, 76, 78, 79, 83, 85, 86, 87, 88, 90, 192};

bool Contains(const std::vector<int>& v, int x) {
  return std::find(v.begin(), v.end(), x) != v.end();
}

class GameControls : public testing::Test {
 protected:
  c_MyApp& app() { return game_.App(); }
  GameHarness game_;
};

}  // namespace

TEST_F(GameControls, EveryActionReadsItsOwnKeysWithTheArcadeMappingOffAndOn) {
  for (int arcade : {0, 1}) {
    xq_Drommel_iCadeControls = arcade;
    for (const ActionKeys& row : Table()) {
      const auto& keys = arcade ? row.keysOn : row.keysOff;
      for (int key : kAllKeys) {
        game_.KeyDown(key);
        const bool expected = Contains(keys, key);
        EXPECT_EQ(app().p_PlayKey(row.action, 0, 0), expected ? 1 : 0)
            << "action " << row.action << " key " << key << " arcade " << arcade;
        // Port -1 reads the same keys.
        EXPECT_EQ(app().p_PlayKey(row.action, 0, -1), expected ? 1 : 0);
        game_.KeyUp(key);
      }
    }
  }
  xq_Drommel_iCadeControls = 0;
  game_.KeyDown(32);
  EXPECT_EQ(app().p_PlayKey(10, 0, -2), 0);
  EXPECT_EQ(app().p_PlayKey(7, 0, 0), 0);
  EXPECT_EQ(app().p_PlayKeyAll(10, 0), 4);
}

TEST_F(GameControls, PadEntriesHoldActionsAndPulsesLastOneUpdate) {
  for (const ActionKeys& row : Table()) {
    app().padState[row.padEntry] = 1;
    EXPECT_EQ(app().p_PlayKey(row.action, 0, 0), 1) << row.action;
    app().padState[row.padEntry] = 0;
    EXPECT_EQ(app().p_PlayKey(row.action, 0, 0), 0) << row.action;
  }
  app().padState[16] = 2;
  EXPECT_EQ(app().p_PlayKey(99, 0, 0), 1);
  app().padState[16] = 0;
  app().padState[17] = 1;
  EXPECT_EQ(app().p_PlayKey(99, 0, 3), 1);

  // Pulses (1) clear at the end of the update; held entries (2) stay.
  app().padState[17] = 1;
  app().padState[10] = 1;
  app().padState[5] = 2;
  game_.Update();
  EXPECT_EQ(app().padState[17], 0);
  EXPECT_EQ(app().padState[10], 0);
  EXPECT_EQ(app().padState[5], 2);
  // Entry 19 is rewritten every update from the back key's presses.
  app().padState[19] = 1;
  game_.Update();
  EXPECT_EQ(app().padState[19], 0);
}

TEST_F(GameControls, JoystickButtonsCountOnTheirOwnPortOnly) {
  std::vector<unsigned char> buttons(16, 0);
  buttons[9] = 1;  // up
  buttons[6] = 1;  // back
  game_.SetJoystick(0, {0, 0}, buttons);
  game_.Update();
  EXPECT_EQ(app().p_PlayKey(0, 0, 0), 1);
  EXPECT_EQ(app().p_PlayKey(99, 0, 0), 1);
  EXPECT_EQ(app().p_PlayKey(0, 0, 1), 0);
  EXPECT_EQ(app().p_PlayKey(0, 0, -1), 0);
  EXPECT_EQ(app().p_PlayKey(8, 0, 0), 0);
  xq_Drommel_iCadeControls = 1;
  EXPECT_EQ(app().p_PlayKey(99, 0, 0), 1);
  xq_Drommel_iCadeControls = 0;
}

TEST_F(GameControls, SticksCountOnlyWhenAllowedAndPastAThreshold) {
  // GLFW 3 reports up as a negative second axis.
  game_.SetJoystick(0, {0.0f, -1.0f}, {});
  game_.Update();
  EXPECT_FLOAT_EQ(app().p_StickY(0, 0), -1.0f);
  EXPECT_EQ(app().p_PlayKey(0, 0, 0), 0);
  EXPECT_EQ(app().p_PlayKey(0, 1, 0), 1);
  EXPECT_EQ(app().p_PlayKey(8, 1, 0), 0);
  EXPECT_FLOAT_EQ(app().p_StickY(0, -1), 0.0f);
  EXPECT_EQ(app().p_PlayKey(0, 1, -1), 0);
  // The arcade mapping ignores sticks.
  xq_Drommel_iCadeControls = 1;
  EXPECT_EQ(app().p_PlayKey(0, 1, 0), 0);
  xq_Drommel_iCadeControls = 0;

  game_.SetJoystick(0, {0.39f, 0.0f}, {});
  game_.Update();
  EXPECT_EQ(app().p_PlayKey(5, 1, 0), 0);
  game_.SetJoystick(0, {0.41f, 0.0f}, {});
  game_.Update();
  EXPECT_EQ(app().p_PlayKey(5, 1, 0), 1);
  game_.SetJoystick(0, {-0.5f, 0.5f}, {});
  game_.Update();
  EXPECT_EQ(app().p_PlayKey(3, 1, 0), 1);
  EXPECT_EQ(app().p_PlayKey(8, 1, 0), 1);
}

TEST_F(GameControls, ArcadeCharactersHoldPadEntriesUntilTheirRelease) {
  game_.FinishLoading();
  // No screen: a held back entry would end the program in the main menu.
  app().gameMode = 0;
  game_.TypeChar('q');  // typed before the mapping is on: not cabinet input
  game_.Update();
  app().p_iCade(1);
  EXPECT_EQ(xq_Drommel_iCadeControls, 1);

  struct Letters {
    char press, release;
    int entry, action;
  };
  const Letters letters[] = {{'w', 'e', 0, 0},   {'x', 'z', 8, 8},   {'a', 'q', 3, 3},
                             {'d', 'c', 5, 5},   {'y', 't', 13, 13}, {'u', 'f', 14, 14},
                             {'i', 'm', 15, 15}, {'o', 'g', 16, 99}, {'h', 'r', 10, 10},
                             {'j', 'n', 11, 11}, {'k', 'p', 12, 12}, {'L', 'V', 17, 99}};
  for (const Letters& l : letters) {
    game_.TypeChar(l.press);
    game_.Update();
    EXPECT_EQ(app().padState[l.entry], 2) << l.press;
    EXPECT_EQ(app().p_PlayKey(l.action, 0, 0), 1) << l.press;
    game_.Update();
    EXPECT_EQ(app().padState[l.entry], 2) << l.press;
    game_.TypeChar(l.release);
    game_.Update();
    EXPECT_EQ(app().padState[l.entry], 0) << l.release;
  }
  // The letter keys themselves do not count while the mapping is on.
  game_.KeyDown(87);
  EXPECT_EQ(app().p_PlayKey(0, 0, 0), 0);
  game_.KeyUp(87);
  // With no joystick port, buttons 13-15 read the cabinet's own value.
  game_.TypeChar('Y');
  game_.Update();
  EXPECT_EQ(app().p_PlayKey(13, 0, -1), 2);
  EXPECT_EQ(app().p_PlayKey(13, 0, 0), 1);

  app().p_iCade(0);
  EXPECT_EQ(xq_Drommel_iCadeControls, 0);
  EXPECT_EQ(app().padState[13], 0);
  game_.TypeChar('w');
  game_.Update();
  EXPECT_EQ(app().padState[0], 0);
  // Other values change nothing.
  app().p_iCade(7);
  EXPECT_EQ(xq_Drommel_iCadeControls, 0);
}

TEST_F(GameControls, BackClosesTheCreditsInTheMenuAndIsConsumedByTheLatches) {
  game_.FinishLoading();
  game_.Step(40);
  ASSERT_EQ(app().gameMode, 1);
  app().creditsOpen = 1;
  app().badgesOpen = 1;
  game_.Step(5);
  game_.KeyDown(kKeyEscape);
  game_.Step();
  EXPECT_EQ(app().creditsOpen, 0);
  EXPECT_EQ(app().badgesOpen, 0);
  EXPECT_EQ(app().backLatch, 1);
  // Still held: the latch keeps the menu from seeing the press (which would end the program).
  game_.Step(3);
  EXPECT_EQ(app().backLatch, 1);
  EXPECT_EQ(app().gameMode, 1);
  game_.KeyUp(kKeyEscape);
  game_.Step();
  EXPECT_EQ(app().backLatch, 0);
  // The credits box slides back out.
  game_.Step(40);
  EXPECT_EQ(app().creditsSlide, 0);
}

TEST_F(GameControls, TheOptionsBoxHoldsBothLatchesWhileOpen) {
  game_.FinishLoading();
  app().optionsOpen = 1;
  game_.Update();
  EXPECT_EQ(app().backLatch, 1);
  EXPECT_EQ(app().holdLatch, 1);
  EXPECT_EQ(app().optionsSlide, 1);
}
