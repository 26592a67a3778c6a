// The browser's keys and gamepads read as the desktop reads the same keys and pads.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/glfw/Glfw2.h"
#include "platform/glfw/GlfwGame.h"
#include "platform/web/BrowserInput.h"

namespace {

// A key's place as the page names it, and the GLFW 2 key of the same place.
std::vector<std::pair<std::string, int>> SamePlaceKeys() {
  std::vector<std::pair<std::string, int>> keys = {
      {"Space", ' '},
      {"Quote", '\''},
      {"Comma", ','},
      {"Minus", '-'},
      {"Period", '.'},
      {"Slash", '/'},
      {"Semicolon", ';'},
      {"Equal", '='},
      {"BracketLeft", '['},
      {"Backslash", '\\'},
      {"BracketRight", ']'},
      {"Backquote", '`'},
      {"Escape", glfw2::KEY_ESC},
      {"ArrowUp", glfw2::KEY_UP},
      {"ArrowDown", glfw2::KEY_DOWN},
      {"ArrowLeft", glfw2::KEY_LEFT},
      {"ArrowRight", glfw2::KEY_RIGHT},
      {"ShiftLeft", glfw2::KEY_LSHIFT},
      {"ShiftRight", glfw2::KEY_RSHIFT},
      {"ControlLeft", glfw2::KEY_LCTRL},
      {"ControlRight", glfw2::KEY_RCTRL},
      {"AltLeft", glfw2::KEY_LALT},
      {"AltRight", glfw2::KEY_RALT},
      {"Tab", glfw2::KEY_TAB},
      {"Enter", glfw2::KEY_ENTER},
      {"Backspace", glfw2::KEY_BACKSPACE},
      {"Insert", glfw2::KEY_INSERT},
      {"Delete", glfw2::KEY_DEL},
      {"PageUp", glfw2::KEY_PAGEUP},
      {"PageDown", glfw2::KEY_PAGEDOWN},
      {"Home", glfw2::KEY_HOME},
      {"End", glfw2::KEY_END},
      {"NumpadDivide", glfw2::KEY_KP_DIVIDE},
      {"NumpadMultiply", glfw2::KEY_KP_MULTIPLY},
      {"NumpadSubtract", glfw2::KEY_KP_SUBTRACT},
      {"NumpadAdd", glfw2::KEY_KP_ADD},
      {"NumpadDecimal", glfw2::KEY_KP_DECIMAL},
      {"NumpadEnter", glfw2::KEY_KP_ENTER},
      {"NumpadEqual", glfw2::KEY_KP_EQUAL},
      {"NumLock", glfw2::KEY_KP_NUM_LOCK},
      {"CapsLock", glfw2::KEY_CAPS_LOCK},
      {"Pause", glfw2::KEY_PAUSE},
      {"MetaLeft", glfw2::KEY_LSUPER},
      {"ContextMenu", glfw2::KEY_MENU},
  };
  for (char c = 'A'; c <= 'Z'; ++c) keys.emplace_back(std::string("Key") + c, c);
  for (char c = '0'; c <= '9'; ++c) keys.emplace_back(std::string("Digit") + c, c);
  for (int f = 1; f <= 25; ++f) keys.emplace_back("F" + std::to_string(f), glfw2::KEY_F1 + f - 1);
  for (int n = 0; n <= 9; ++n) keys.emplace_back("Numpad" + std::to_string(n), glfw2::KEY_KP_0 + n);
  return keys;
}

TEST(BrowserInputTest, EveryKeyReadsAsTheDesktopReadsTheSamePlace) {
  for (const auto& [code, glfwKey] : SamePlaceKeys()) {
    const int desktop = XQGlfwGame::TransKey(glfwKey);
    EXPECT_EQ(BrowserKeyCode(code, 0), desktop) << code;
    // Without a `code`, the event's keyCode (the same virtual-key number) gives the same key.
    if (desktop != 0) {
      EXPECT_EQ(BrowserKeyCode("", desktop), desktop) << code;
    }
  }
  EXPECT_EQ(BrowserKeyCode("", 18), 0);  // Alt
  EXPECT_EQ(BrowserKeyCode("", 91), 0);  // the Windows key
  EXPECT_EQ(BrowserKeyCode("KeyAA", 65), 0);
  EXPECT_EQ(BrowserKeyCode("F0", 0), 0);
}

TEST(BrowserInputTest, StandardPadReadsInTheDesktopLayout) {
  // Left stick right and down, right stick left and up, left trigger half, right trigger full.
  const double axes[4] = {1.0, 0.5, -1.0, -0.25};
  double buttons[17] = {};
  buttons[6] = 0.5;
  buttons[7] = 1.0;
  buttons[0] = 1;   // A
  buttons[9] = 1;   // start
  buttons[12] = 1;  // D-pad up
  buttons[15] = 1;  // D-pad right
  buttons[16] = 1;  // guide
  const BrowserPadReading pad = BrowserStandardPad(axes, 4, buttons, 17);
  const float expectedAxes[6] = {1.0f, -0.5f, 0.5f, -1.0f, 0.25f, 1.0f};
  for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(pad.axes[i], expectedAxes[i]) << "axis " << i;
  const bool expectedButtons[15] = {true,  false, false, false, false, false, false, true,
                                    false, true,  true,  false, false, false, true};
  for (int i = 0; i < 15; ++i) EXPECT_EQ(pad.buttons[i], expectedButtons[i]) << "button " << i;

  // A pad that reports fewer buttons and axes reads the missing ones as released and centred.
  const BrowserPadReading small = BrowserStandardPad(axes, 2, buttons, 4);
  EXPECT_FLOAT_EQ(small.axes[3], 0.0f);
  EXPECT_FLOAT_EQ(small.axes[5], 0.0f);
  EXPECT_TRUE(small.buttons[0]);
  EXPECT_FALSE(small.buttons[7]);
}

}  // namespace
