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
  using namespace Key;
  static const std::vector<ActionKeys> table = {
      {Action::Up, {Up, W}, {Up}, Action::Up},
      {Action::Left, {Left, A}, {Left}, Action::Left},
      {Action::Right, {Right, D}, {Right}, Action::Right},
      {Action::Down, {Down, S}, {Down}, Action::Down},
      {Action::Confirm, {Z, J, Space, Enter}, {Space, Enter}, Action::Confirm},
      {Action::Button2, {X, K, Control}, {Control}, Action::Button2},
      {Action::Button3, {C, L, Shift}, {Shift}, Action::Button3},
      {Action::Button4, {V, I}, {}, Action::Button4},
      {Action::Button5, {B, U}, {}, Action::Button5},
      {Action::Button6, {N, O}, {}, Action::Button6},
      {Action::Back,
       {Escape, Backquote, Delete, Backspace},
       {Escape, Delete, Backspace},
       Pad::BackKey},
  };
  return table;
}

const std::vector<int> kAllKeys = {
    Key::Backspace, Key::Enter, Key::Shift, Key::Control, Key::Escape, Key::Space, Key::Left,
    Key::Up,        Key::Right, Key::Down,  Key::Delete,  Key::A,      Key::B,     Key::C,
    Key::D,         Key::I,     Key::J,     Key::K,       Key::L,      Key::N,     Key::O,
    Key::S,         Key::U,     Key::V,     Key::W,       Key::X,      Key::Z,     Key::Backquote};

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
  game_.KeyDown(Key::Space);
  EXPECT_EQ(app().p_PlayKey(Action::Confirm, 0, -2), 0);
  EXPECT_EQ(app().p_PlayKey(7, 0, 0), 0);  // no action
  EXPECT_EQ(app().p_PlayKeyAll(Action::Confirm, 0), 4);
}

TEST_F(GameControls, PadEntriesHoldActionsAndPulsesLastOneUpdate) {
  for (const ActionKeys& row : Table()) {
    app().padState[row.padEntry] = 1;
    EXPECT_EQ(app().p_PlayKey(row.action, 0, 0), 1) << row.action;
    app().padState[row.padEntry] = 0;
    EXPECT_EQ(app().p_PlayKey(row.action, 0, 0), 0) << row.action;
  }
  app().padState[Pad::ArcadeBack1] = 2;
  EXPECT_EQ(app().p_PlayKey(Action::Back, 0, 0), 1);
  app().padState[Pad::ArcadeBack1] = 0;
  app().padState[Pad::ArcadeBack2] = 1;
  EXPECT_EQ(app().p_PlayKey(Action::Back, 0, 3), 1);

  // Pulses (1) clear at the end of the update; held entries (2) stay.
  app().padState[Pad::ArcadeBack2] = 1;
  app().padState[Action::Confirm] = 1;
  app().padState[Action::Right] = 2;
  game_.Update();
  EXPECT_EQ(app().padState[Pad::ArcadeBack2], 0);
  EXPECT_EQ(app().padState[Action::Confirm], 0);
  EXPECT_EQ(app().padState[Action::Right], 2);
  // The back key's entry is rewritten every update from the back key's presses.
  app().padState[Pad::BackKey] = 1;
  game_.Update();
  EXPECT_EQ(app().padState[Pad::BackKey], 0);
}

TEST_F(GameControls, JoystickButtonsCountOnTheirOwnPortOnly) {
  std::vector<unsigned char> buttons(16, 0);
  buttons[9] = 1;  // up
  buttons[6] = 1;  // back
  game_.SetJoystick(0, {0, 0}, buttons);
  game_.Update();
  EXPECT_EQ(app().p_PlayKey(Action::Up, 0, 0), 1);
  EXPECT_EQ(app().p_PlayKey(Action::Back, 0, 0), 1);
  EXPECT_EQ(app().p_PlayKey(Action::Up, 0, 1), 0);
  EXPECT_EQ(app().p_PlayKey(Action::Up, 0, -1), 0);
  EXPECT_EQ(app().p_PlayKey(Action::Down, 0, 0), 0);
  xq_Drommel_iCadeControls = 1;
  EXPECT_EQ(app().p_PlayKey(Action::Back, 0, 0), 1);
  xq_Drommel_iCadeControls = 0;
}

TEST_F(GameControls, SticksCountOnlyWhenAllowedAndPastAThreshold) {
  // GLFW 3 reports up as a negative second axis.
  game_.SetJoystick(0, {0.0f, -1.0f}, {});
  game_.Update();
  EXPECT_FLOAT_EQ(app().p_StickY(0, 0), -1.0f);
  EXPECT_EQ(app().p_PlayKey(Action::Up, 0, 0), 0);
  EXPECT_EQ(app().p_PlayKey(Action::Up, 1, 0), 1);
  EXPECT_EQ(app().p_PlayKey(Action::Down, 1, 0), 0);
  EXPECT_FLOAT_EQ(app().p_StickY(0, -1), 0.0f);
  EXPECT_EQ(app().p_PlayKey(Action::Up, 1, -1), 0);
  // The arcade mapping ignores sticks.
  xq_Drommel_iCadeControls = 1;
  EXPECT_EQ(app().p_PlayKey(Action::Up, 1, 0), 0);
  xq_Drommel_iCadeControls = 0;

  game_.SetJoystick(0, {0.39f, 0.0f}, {});
  game_.Update();
  EXPECT_EQ(app().p_PlayKey(Action::Right, 1, 0), 0);
  game_.SetJoystick(0, {0.41f, 0.0f}, {});
  game_.Update();
  EXPECT_EQ(app().p_PlayKey(Action::Right, 1, 0), 1);
  game_.SetJoystick(0, {-0.5f, 0.5f}, {});
  game_.Update();
  EXPECT_EQ(app().p_PlayKey(Action::Left, 1, 0), 1);
  EXPECT_EQ(app().p_PlayKey(Action::Down, 1, 0), 1);
}

TEST_F(GameControls, ArcadeCharactersHoldPadEntriesUntilTheirRelease) {
  game_.FinishLoading();
  // No screen: a held back entry would end the program in the main menu.
  app().gameMode = Mode::None;
  game_.TypeChar('q');  // typed before the mapping is on: not cabinet input
  game_.Update();
  app().p_iCade(1);
  EXPECT_EQ(xq_Drommel_iCadeControls, 1);

  struct Letters {
    char press, release;
    int entry, action;
  };
  const Letters letters[] = {
      {'w', 'e', Action::Up, Action::Up},           {'x', 'z', Action::Down, Action::Down},
      {'a', 'q', Action::Left, Action::Left},       {'d', 'c', Action::Right, Action::Right},
      {'y', 't', Action::Button4, Action::Button4}, {'u', 'f', Action::Button5, Action::Button5},
      {'i', 'm', Action::Button6, Action::Button6}, {'o', 'g', Pad::ArcadeBack1, Action::Back},
      {'h', 'r', Action::Confirm, Action::Confirm}, {'j', 'n', Action::Button2, Action::Button2},
      {'k', 'p', Action::Button3, Action::Button3}, {'L', 'V', Pad::ArcadeBack2, Action::Back}};
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
  game_.KeyDown(Key::W);
  EXPECT_EQ(app().p_PlayKey(Action::Up, 0, 0), 0);
  game_.KeyUp(Key::W);
  // With no joystick port, buttons 4-6 read the cabinet's own value.
  game_.TypeChar('Y');
  game_.Update();
  EXPECT_EQ(app().p_PlayKey(Action::Button4, 0, -1), 2);
  EXPECT_EQ(app().p_PlayKey(Action::Button4, 0, 0), 1);

  app().p_iCade(0);
  EXPECT_EQ(xq_Drommel_iCadeControls, 0);
  EXPECT_EQ(app().padState[Action::Button4], 0);
  game_.TypeChar('w');
  game_.Update();
  EXPECT_EQ(app().padState[Action::Up], 0);
  // Other values change nothing.
  app().p_iCade(7);
  EXPECT_EQ(xq_Drommel_iCadeControls, 0);
}

TEST_F(GameControls, BackClosesTheCreditsInTheMenuAndIsConsumedByTheLatches) {
  game_.FinishLoading();
  game_.Step(40);
  ASSERT_EQ(app().gameMode, Mode::Menu);
  app().creditsOpen = 1;
  game_.Step(5);
  game_.KeyDown(Key::Escape);
  game_.Step();
  EXPECT_EQ(app().creditsOpen, 0);
  EXPECT_EQ(app().backLatch, 1);
  // Still held: the latch keeps the menu from seeing the press (which would end the program).
  game_.Step(3);
  EXPECT_EQ(app().backLatch, 1);
  EXPECT_EQ(app().gameMode, Mode::Menu);
  game_.KeyUp(Key::Escape);
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
