// The GLFW 2 adapter: the key table both ways, joystick readings through the test seam, and the
// window under a real display.
#include "platform/glfw/Glfw2.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/Display.h"

namespace {

TEST(Glfw2Keys, EverySpecialKeyAndEveryPrintableKeyOfBothLibrariesMapsThereAndBack) {
  int mapped = 0;
  for (int key = -2; key <= glfw2::KEY_LAST + 5; ++key) {
    const int three = glfw2::KeyToGlfw3(key);
    if (three == -1) continue;
    ++mapped;
    EXPECT_EQ(glfw2::KeyFromGlfw3(three), key) << "GLFW 2 key " << key;
  }
  // Every special key from escape to the menu key, the digits, the letters and the twelve
  // punctuation keys both libraries have; nothing else.
  EXPECT_EQ(mapped, (glfw2::KEY_LAST - glfw2::KEY_ESC + 1) + 10 + 26 + 12);
  for (int key = -2; key <= 360; ++key) {
    const int two = glfw2::KeyFromGlfw3(key);
    if (two != glfw2::KEY_UNKNOWN) {
      EXPECT_EQ(glfw2::KeyToGlfw3(two), key) << "GLFW 3 key " << key;
    }
  }
}

TEST(Glfw2Keys, KeysKeepTheirMeaningAcrossTheNumberingsAndKeysGlfw2LacksAreUnknown) {
  // GLFW 3's numbers: escape 256, F1 290, up 265, left shift 340, keypad 0 320, keypad enter 335.
  EXPECT_EQ(glfw2::KeyFromGlfw3(256), glfw2::KEY_ESC);
  EXPECT_EQ(glfw2::KeyFromGlfw3(290 + 11), glfw2::KEY_F1 + 11);
  EXPECT_EQ(glfw2::KeyFromGlfw3(265), glfw2::KEY_UP);
  EXPECT_EQ(glfw2::KeyFromGlfw3(340), glfw2::KEY_LSHIFT);
  EXPECT_EQ(glfw2::KeyFromGlfw3(320 + 7), glfw2::KEY_KP_0 + 7);
  EXPECT_EQ(glfw2::KeyFromGlfw3(335), glfw2::KEY_KP_ENTER);
  EXPECT_EQ(glfw2::KeyFromGlfw3('A'), 'A');
  EXPECT_EQ(glfw2::KeyFromGlfw3('`'), '`');
  // PRINT_SCREEN, WORLD_1 and WORLD_2 exist only in GLFW 3.
  EXPECT_EQ(glfw2::KeyFromGlfw3(283), glfw2::KEY_UNKNOWN);
  EXPECT_EQ(glfw2::KeyFromGlfw3(161), glfw2::KEY_UNKNOWN);
  EXPECT_EQ(glfw2::KeyFromGlfw3(162), glfw2::KEY_UNKNOWN);
}

class Glfw2Joystick : public ::testing::Test {
 protected:
  void TearDown() override { glfw2::testing::RemoveAllJoysticks(); }
};

TEST_F(Glfw2Joystick, OddAxesAreNegatedSoThatPositiveMeansUp) {
  glfw2::testing::SetJoystick(1, {0.5f, -0.25f, 1.0f, 0.75f, -1.0f},
                              {glfw2::PRESS, glfw2::RELEASE, glfw2::PRESS});
  EXPECT_EQ(glfw2::GetJoystickParam(1, glfw2::PRESENT), 1);
  EXPECT_EQ(glfw2::GetJoystickParam(1, glfw2::AXES), 5);
  EXPECT_EQ(glfw2::GetJoystickParam(1, glfw2::BUTTONS), 3);

  float pos[6] = {9, 9, 9, 9, 9, 9};
  EXPECT_EQ(glfw2::GetJoystickPos(1, pos, 6), 5);
  EXPECT_FLOAT_EQ(pos[0], 0.5f);
  EXPECT_FLOAT_EQ(pos[1], 0.25f);
  EXPECT_FLOAT_EQ(pos[2], 1.0f);
  EXPECT_FLOAT_EQ(pos[3], -0.75f);
  EXPECT_FLOAT_EQ(pos[4], -1.0f);
  EXPECT_FLOAT_EQ(pos[5], 0.0f);  // cleared past the reported count

  unsigned char buttons[4] = {7, 7, 7, 7};
  EXPECT_EQ(glfw2::GetJoystickButtons(1, buttons, 4), 3);
  EXPECT_EQ(buttons[0], glfw2::PRESS);
  EXPECT_EQ(buttons[1], glfw2::RELEASE);
  EXPECT_EQ(buttons[2], glfw2::PRESS);
  EXPECT_EQ(buttons[3], glfw2::RELEASE);
}

TEST_F(Glfw2Joystick, ReadsStopAtTheCallersBufferAndAbsentJoysticksReadNothing) {
  glfw2::testing::SetJoystick(0, {0.1f, 0.2f, 0.3f}, {glfw2::PRESS, glfw2::PRESS});
  float pos[2] = {};
  EXPECT_EQ(glfw2::GetJoystickPos(0, pos, 2), 2);
  unsigned char one[1] = {};
  EXPECT_EQ(glfw2::GetJoystickButtons(0, one, 1), 1);

  float other[3] = {5, 5, 5};
  EXPECT_EQ(glfw2::GetJoystickParam(2, glfw2::PRESENT), 0);
  EXPECT_EQ(glfw2::GetJoystickPos(2, other, 3), 0);
  EXPECT_FLOAT_EQ(other[0], 0.0f);
  for (int bad : {-1, 16, 1000}) {
    EXPECT_EQ(glfw2::GetJoystickParam(bad, glfw2::PRESENT), 0);
    EXPECT_EQ(glfw2::GetJoystickPos(bad, other, 3), 0);
  }

  glfw2::testing::RemoveJoystick(0);
  EXPECT_EQ(glfw2::GetJoystickParam(0, glfw2::PRESENT), 0);
}

// Every gamepad GLFW recognises reads in one layout: each of its buttons lands on its own GLFW 2
// button, the sticks read positive right and up, the triggers 0 released to 1 pressed.
TEST_F(Glfw2Joystick, ARecognisedGamepadReadsInTheOneLayoutAndAnyOtherJoystickStaysRaw) {
  using namespace glfw2::testing;
  const std::pair<GamepadButton, int> layout[] = {
      {PAD_A, 0},           {PAD_B, 1},
      {PAD_X, 2},           {PAD_Y, 3},
      {PAD_LEFT_BUMPER, 4}, {PAD_RIGHT_BUMPER, 5},
      {PAD_BACK, 6},        {PAD_START, 7},
      {PAD_DPAD_LEFT, 8},   {PAD_DPAD_UP, 9},
      {PAD_DPAD_RIGHT, 10}, {PAD_DPAD_DOWN, 11},
      {PAD_LEFT_THUMB, 12}, {PAD_RIGHT_THUMB, 13},
      {PAD_GUIDE, 14},
  };
  for (const auto& [padButton, glfw2Button] : layout) {
    GamepadState pad;
    pad.buttons[padButton] = glfw2::PRESS;
    SetGamepad(3, pad);
    unsigned char buttons[32];
    ASSERT_EQ(glfw2::GetJoystickButtons(3, buttons, 32), 15);
    for (int b = 0; b < 32; ++b) {
      EXPECT_EQ(buttons[b], b == glfw2Button ? glfw2::PRESS : glfw2::RELEASE)
          << "pad button " << padButton << ", GLFW 2 button " << b;
    }
  }

  GamepadState pad;
  pad.axes[PAD_LEFT_X] = 0.5f;
  pad.axes[PAD_LEFT_Y] = -0.75f;  // up
  pad.axes[PAD_RIGHT_X] = -0.25f;
  pad.axes[PAD_RIGHT_Y] = 1.0f;  // down
  pad.axes[PAD_RIGHT_TRIGGER] = 0.5f;
  SetGamepad(3, pad);  // the left trigger rests at -1
  EXPECT_EQ(glfw2::GetJoystickParam(3, glfw2::AXES), 6);
  EXPECT_EQ(glfw2::GetJoystickParam(3, glfw2::BUTTONS), 15);
  float pos[8];
  ASSERT_EQ(glfw2::GetJoystickPos(3, pos, 8), 6);
  const float expected[8] = {0.5f, 0.75f, 0.0f, -0.25f, -1.0f, 0.75f, 0, 0};
  for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(pos[i], expected[i]) << "axis " << i;

  // The same port as a joystick GLFW does not recognise: its raw numbering and directions.
  std::vector<unsigned char> raw(15, glfw2::RELEASE);
  raw[11] = glfw2::PRESS;
  SetJoystick(3, {0.5f, -0.75f}, raw);
  unsigned char buttons[15];
  ASSERT_EQ(glfw2::GetJoystickButtons(3, buttons, 15), 15);
  EXPECT_EQ(buttons[11], glfw2::PRESS);
  EXPECT_EQ(buttons[9], glfw2::RELEASE);
  ASSERT_EQ(glfw2::GetJoystickPos(3, pos, 8), 2);
  EXPECT_FLOAT_EQ(pos[1], 0.75f);
}

class Glfw2Window : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs DISPLAY";
    ASSERT_TRUE(InitGlfw());
  }
  void TearDown() override {
    if (std::getenv("DISPLAY")) glfw2::Terminate();
  }
};

TEST_F(Glfw2Window, OpensClosesAndReopensTheOneWindow) {
  EXPECT_EQ(glfw2::GetWindowParam(glfw2::OPENED), 0);
  ASSERT_EQ(glfw2::OpenWindow(640, 480, 8, 8, 8, 0, 0, 0, glfw2::WINDOW), 1);
  glfw2::SetWindowTitle("Drommel");
  glfw2::PollEvents();
  EXPECT_EQ(glfw2::GetWindowParam(glfw2::OPENED), 1);
  int width = 0, height = 0;
  glfw2::GetWindowSize(&width, &height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  EXPECT_EQ(glfw2::GetWindowParam(glfw2::ICONIFIED), 0);

  glfw2::CloseWindow();
  EXPECT_EQ(glfw2::GetWindowParam(glfw2::OPENED), 0);
  glfw2::GetWindowSize(&width, &height);
  EXPECT_EQ(width, 0);

  ASSERT_EQ(glfw2::OpenWindow(320, 0, 8, 8, 8, 0, 0, 0, glfw2::WINDOW), 1);
  glfw2::GetWindowSize(&width, &height);
  EXPECT_EQ(width, 320);
  EXPECT_EQ(height, 240);
  EXPECT_EQ(glfw2::GetKey(glfw2::KEY_ESC), glfw2::RELEASE);
  EXPECT_EQ(glfw2::GetKey(5000), glfw2::RELEASE);
}

TEST_F(Glfw2Window, ReportsTheDesktopModeAmongTheVideoModes) {
  glfw2::VidMode desktop{};
  glfw2::GetDesktopMode(&desktop);
  EXPECT_GT(desktop.Width, 0);
  EXPECT_GT(desktop.Height, 0);
  glfw2::VidMode modes[8] = {};
  const int count = glfw2::GetVideoModes(modes, 8);
  ASSERT_GE(count, 1);
  EXPECT_EQ(modes[count - 1].Width, desktop.Width);
  EXPECT_EQ(glfw2::GetVideoModes(modes, 0), 0);
}

// Gamepad mappings come from SDL_GAMECONTROLLERCONFIG when GLFW starts. GLFW itself takes any text
// without complaint, so a mistake in a player's mapping would otherwise go unnoticed.
class Glfw2Mappings : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs DISPLAY";
  }
  void TearDown() override { unsetenv("SDL_GAMECONTROLLERCONFIG"); }

  // What starting GLFW with this mapping text prints.
  std::string StartWith(const std::string& mappings) {
    setenv("SDL_GAMECONTROLLERCONFIG", mappings.c_str(), 1);
    testing::internal::CaptureStdout();
    const bool started = InitGlfw();
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(started);
    if (started) glfw2::Terminate();
    return printed;
  }
};

TEST_F(Glfw2Mappings, WellFormedMappingsLoadSilentlyAndAMalformedTextIsReportedOnceAndIgnored) {
  const std::string guid = "030000005e0400008e02000014010000";
  EXPECT_EQ(StartWith("# a comment line\r\n" + guid +
                      ",My Pad,a:b0,b:b1,dpup:h0.1,leftx:a0,lefty:a1~,lefttrigger:+a2,"
                      "platform:Linux,\r\n\n" +
                      "050000004c050000cc09000000810000,Other Pad,+leftx:a0,misc1:anything\n"
                      "xinput,XInput Controller,a:b0,platform:Windows"),
            "");

  const std::pair<std::string, std::string> malformed[] = {
      {"hello", "line 1: it does not start with a GUID of 32 hexadecimal digits"},
      {guid + ",My Pad,a:b0\n" + guid + ",No fields",
       "line 2: the name is not followed by a comma"},
      {guid + ",My Pad,a:b0,b:q1,",
       "line 1: \"b:q1\" does not name a button (b), axis (a) or hat (h)"},
      {guid + ",My Pad,a:b0,dpup h0.1", "line 1: \"dpup h0.1\" is not a name:value pair"},
      // The player's text is quoted short and without control characters.
      {guid + ",My Pad,\x1b[2J" + std::string(50, 'z'),
       "line 1: \"?[2J" + std::string(36, 'z') + "...\" is not a name:value pair"},
  };
  for (const auto& [text, why] : malformed) {
    EXPECT_EQ(StartWith(text),
              "Gamepad mappings in SDL_GAMECONTROLLERCONFIG ignored: " + why + "\n")
        << text;
  }
}

}  // namespace
