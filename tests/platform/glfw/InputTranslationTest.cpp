// Input translation without a window: which keys arrive as which codes, what each callback hands the
// delegate, and joystick readings (fed through the adapter's test seam) on their way into the input
// device.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "framework/InputDevice.h"
#include "host/Input.h"
#include "platform/glfw/Glfw2.h"
#include "platform/glfw/GlfwGame.h"
#include "tests/platform/glfw/InputEvent.h"

namespace {

TEST(InputTranslation, TheDesktopDeliversExactlyTheKeysEveryPlatformDelivers) {
  std::set<int> delivered;
  for (int key = -5; key <= 400; ++key) {
    const int code = XQGlfwGame::TransKey(key);
    if (code == 0) continue;
    EXPECT_TRUE(XQKeyDelivered(code)) << "GLFW 2 key " << key << " gives " << code;
    delivered.insert(code);
  }
  for (int code = -5; code <= 600; ++code) {
    EXPECT_EQ(delivered.count(code), XQKeyDelivered(code) ? 1u : 0u) << code;
  }
}

TEST(InputTranslation, KeysTranslateByWhatTheyAreAndOthersAreDropped) {
  EXPECT_EQ(XQGlfwGame::TransKey(glfw2::KEY_ESC), XQKey::Escape);
  EXPECT_EQ(XQGlfwGame::TransKey(glfw2::KEY_F1 + 11), XQKey::F1 + 11);
  EXPECT_EQ(XQGlfwGame::TransKey(glfw2::KEY_KP_0 + 7), XQKey::Numpad0 + 7);
  EXPECT_EQ(XQGlfwGame::TransKey(glfw2::KEY_KP_DECIMAL), XQKey::NumpadDecimal);
  EXPECT_EQ(XQGlfwGame::TransKey(glfw2::KEY_RSHIFT), XQKey::Shift);
  EXPECT_EQ(XQGlfwGame::TransKey(glfw2::KEY_RCTRL), XQKey::Control);
  EXPECT_EQ(XQGlfwGame::TransKey('Z'), 'Z');
  EXPECT_EQ(XQGlfwGame::TransKey('7'), '7');
  // The shifted characters of the same keys, as some layouts report them.
  EXPECT_EQ(XQGlfwGame::TransKey('"'), XQKey::Quote);
  EXPECT_EQ(XQGlfwGame::TransKey('~'), XQKey::Backquote);
  for (int key : std::initializer_list<int>{
           INT_MIN, INT_MAX, -1, glfw2::KEY_LALT, glfw2::KEY_RALT, glfw2::KEY_KP_ENTER,
           glfw2::KEY_KP_EQUAL, glfw2::KEY_F1 + 12, glfw2::KEY_F25, glfw2::KEY_MENU, 'a'}) {
    EXPECT_EQ(XQGlfwGame::TransKey(key), 0) << key;
  }
}

TEST(InputTranslation, OnlyControlAndNavigationKeysCarryACharacter) {
  std::map<int, int> expected{{8, 8}, {9, 9}, {13, 13}, {27, 27}, {45, 65536 + 45}, {46, 127}};
  for (int code = 33; code <= 40; ++code) expected[code] = 65536 + code;
  for (int code = -5; code <= 600; ++code) {
    const auto found = expected.find(code);
    EXPECT_EQ(XQGlfwGame::KeyToChar(code), found == expected.end() ? 0 : found->second) << code;
  }
  EXPECT_EQ(XQGlfwGame::KeyToChar(INT_MIN), 0);
}

class Recorder : public XQGameDelegate {
 public:
  void KeyEvent(int event, int data) override { events.push_back({event, data, 0, 0}); }
  void MouseEvent(int event, int data, float x, float y) override {
    events.push_back({event, data, x, y});
  }
  std::vector<Event> Take() { return std::exchange(events, {}); }
  std::vector<Event> events;
};

class InputCallbacks : public ::testing::Test {
 protected:
  void SetUp() override {
    host.SetDelegate(&recorder);
    host.StartGame();
  }

  XQGlfwGame host;
  Recorder recorder;
};

TEST_F(InputCallbacks, KeysBecomeKeyDownAndKeyUpWithControlCharactersAfterThePress) {
  XQGlfwGame::OnKey(glfw2::KEY_DEL, glfw2::PRESS);
  XQGlfwGame::OnKey(glfw2::KEY_DEL, glfw2::RELEASE);
  XQGlfwGame::OnKey('A', glfw2::PRESS);
  XQGlfwGame::OnKey(glfw2::KEY_UP, glfw2::PRESS);
  XQGlfwGame::OnKey(glfw2::KEY_UP, glfw2::PRESS);  // an auto-repeat
  XQGlfwGame::OnKey(glfw2::KEY_BACKSPACE, glfw2::PRESS);
  EXPECT_EQ(recorder.Take(), (std::vector<Event>{{kEventKeyDown, 46, 0, 0},
                                                 {kEventKeyChar, 127, 0, 0},
                                                 {kEventKeyUp, 46, 0, 0},
                                                 {kEventKeyDown, 'A', 0, 0},
                                                 {kEventKeyDown, 38, 0, 0},
                                                 {kEventKeyChar, 65536 + 38, 0, 0},
                                                 {kEventKeyDown, 38, 0, 0},
                                                 {kEventKeyChar, 65536 + 38, 0, 0},
                                                 {kEventKeyDown, 8, 0, 0},
                                                 {kEventKeyChar, 8, 0, 0}}));

  XQGlfwGame::OnKey(glfw2::KEY_LALT, glfw2::PRESS);
  XQGlfwGame::OnKey(glfw2::KEY_KP_ENTER, glfw2::PRESS);
  XQGlfwGame::OnKey(-1, glfw2::PRESS);
  XQGlfwGame::OnKey('A', 2);
  XQGlfwGame::OnChar('a', glfw2::RELEASE);
  EXPECT_TRUE(recorder.Take().empty());

  XQGlfwGame::OnChar('a', glfw2::PRESS);
  XQGlfwGame::OnChar(0x20AC, glfw2::PRESS);
  XQGlfwGame::OnChar(65536 + 37, glfw2::PRESS);  // U+10025 would read as the left arrow
  EXPECT_EQ(recorder.Take(),
            (std::vector<Event>{{kEventKeyChar, 'a', 0, 0}, {kEventKeyChar, 0x20AC, 0, 0}}));
}

TEST_F(InputCallbacks, MouseButtonsAndMovesArriveWithThePointerPosition) {
  int x = 0, y = 0;
  glfw2::GetMousePos(&x, &y);  // no window: the adapter reports 0, 0
  XQGlfwGame::OnMouseButton(0, glfw2::PRESS);
  XQGlfwGame::OnMouseButton(2, glfw2::RELEASE);
  XQGlfwGame::OnMouseButton(3, glfw2::PRESS);
  XQGlfwGame::OnMouseButton(-1, glfw2::PRESS);
  XQGlfwGame::OnMousePos(17, 23);
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  EXPECT_EQ(recorder.Take(), (std::vector<Event>{{kEventMouseDown, 0, fx, fy},
                                                 {kEventMouseUp, 2, fx, fy},
                                                 {kEventMouseMove, -1, 17, 23}}));
}

TEST_F(InputCallbacks, TheCloseButtonBecomesTheCloseKeyAndKeepsTheWindow) {
  EXPECT_EQ(XQGlfwGame::OnWindowClose(), 0);
  EXPECT_EQ(recorder.Take(),
            (std::vector<Event>{{kEventKeyDown, kKeyClose, 0, 0}, {kEventKeyUp, kKeyClose, 0, 0}}));
}

class JoystickTranslation : public ::testing::Test {
 protected:
  void TearDown() override { glfw2::testing::RemoveAllJoysticks(); }

  bool Poll(int port) { return host.PollJoystick(port, joy.joyx, joy.joyy, joy.joyz, joy.buttons); }

  XQGlfwGame host;
  c_JoyState joy;
};

// The adapter hands out odd axes negated; these tests feed raw readings and expect GLFW 2's
// directions, so axes 1, 3 and 5 come back with their sign flipped.
TEST_F(JoystickTranslation, FourAxesPutTheSecondStickOnAxesThreeAndTwo) {
  glfw2::testing::SetJoystick(0, {0.1f, 0.2f, 0.3f, 0.4f}, {});
  ASSERT_TRUE(Poll(0));
  EXPECT_FLOAT_EQ(joy.joyx[0], 0.1f);
  EXPECT_FLOAT_EQ(joy.joyy[0], -0.2f);
  EXPECT_FLOAT_EQ(joy.joyx[1], -0.4f);
  EXPECT_FLOAT_EQ(joy.joyy[1], 0.3f);
  EXPECT_EQ(joy.joyz[0], 0);
  EXPECT_EQ(joy.joyz[1], 0);
}

TEST_F(JoystickTranslation, FiveAxesSwapAxesThreeAndFourAndSixAxesMapStraight) {
  glfw2::testing::SetJoystick(0, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f}, {});
  ASSERT_TRUE(Poll(0));
  EXPECT_FLOAT_EQ(joy.joyx[1], 0.5f);
  EXPECT_FLOAT_EQ(joy.joyy[1], -0.4f);
  EXPECT_FLOAT_EQ(joy.joyz[0], 0.3f);
  EXPECT_EQ(joy.joyz[1], 0);

  glfw2::testing::SetJoystick(0, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f}, {});
  ASSERT_TRUE(Poll(0));
  EXPECT_FLOAT_EQ(joy.joyx[1], -0.4f);
  EXPECT_FLOAT_EQ(joy.joyy[1], 0.5f);
  EXPECT_FLOAT_EQ(joy.joyz[0], 0.3f);
  EXPECT_FLOAT_EQ(joy.joyz[1], -0.6f);

  glfw2::testing::SetJoystick(0, {0.1f}, {});  // missing axes read 0
  ASSERT_TRUE(Poll(0));
  EXPECT_EQ(joy.joyy[0], 0);
  EXPECT_EQ(joy.joyx[1], 0);
}

TEST_F(JoystickTranslation, ButtonsCopyUpToTheJoysticksCountAndTheRestKeepTheirValue) {
  auto buttons = joy.buttons.begin();
  buttons[0] = true;
  buttons[5] = true;
  buttons[31] = true;
  glfw2::testing::SetJoystick(0, {}, {glfw2::RELEASE, glfw2::PRESS, glfw2::PRESS});
  ASSERT_TRUE(Poll(0));
  EXPECT_FALSE(joy.p_Button(0));
  EXPECT_TRUE(joy.p_Button(1));
  EXPECT_TRUE(joy.p_Button(2));
  EXPECT_TRUE(joy.p_Button(5));
  EXPECT_TRUE(joy.p_Button(31));

  std::vector<unsigned char> many(40, glfw2::RELEASE);
  many[39] = glfw2::PRESS;
  glfw2::testing::SetJoystick(0, {}, many);
  ASSERT_TRUE(Poll(0));
  EXPECT_FALSE(joy.p_Button(31));
  EXPECT_EQ(joy.buttons.Length(), 32);
}

TEST_F(JoystickTranslation, AnAbsentJoystickLeavesTheLastReadingsInPlace) {
  glfw2::testing::SetJoystick(2, {0.5f}, {glfw2::PRESS});
  ASSERT_TRUE(Poll(2));
  glfw2::testing::RemoveJoystick(2);
  EXPECT_FALSE(Poll(2));
  EXPECT_FLOAT_EQ(joy.joyx[0], 0.5f);
  EXPECT_TRUE(joy.p_Button(0));
  for (int port : {-1, 16, INT_MAX, INT_MIN}) EXPECT_FALSE(Poll(port));
}

TEST_F(JoystickTranslation, TheInputDeviceReadsJoysticksThroughTheHost) {
  glfw2::testing::SetJoystick(0, {0.25f, 0.5f}, {glfw2::RELEASE, glfw2::PRESS});
  glfw2::testing::SetJoystick(2, {}, {glfw2::PRESS});  // behind the absent port 1: never read
  c_InputDevice input(&host);
  input.p_BeginUpdate();
  EXPECT_TRUE(input.p_JoyDown(256 + 1, 0));
  EXPECT_EQ(input.p_JoyHit(1, 0), 1);
  EXPECT_FLOAT_EQ(input.p_JoyX(0, 0), 0.25f);
  EXPECT_FLOAT_EQ(input.p_JoyY(0, 0), -0.5f);
  EXPECT_FALSE(input.p_JoyDown(256, 2));
}

}  // namespace
