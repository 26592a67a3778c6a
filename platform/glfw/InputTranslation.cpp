// Translation of GLFW key, character, mouse and joystick input into the framework's events and key
// codes (host/Input.h for the keyboard, 0-2 for the mouse buttons).
//
// Printable characters come only from the character callback; the key callback adds the control
// and navigation characters (backspace, tab, enter, escape, delete, the arrows and page keys), the
// navigation ones as 65536 + key code so they can never be mistaken for text.
#include <algorithm>
#include <array>
#include <utility>

#include "host/Input.h"
#include "platform/glfw/Glfw2.h"
#include "platform/glfw/GlfwGame.h"

namespace {

// GLFW 2 key code (32-316) -> key code; 0 means the key is not delivered.
constexpr int kFirstKey = 32;
constexpr int kLastKey = glfw2::KEY_KP_DECIMAL;

constexpr std::array<int, kLastKey - kFirstKey + 1> MakeKeyTable() {
  std::array<int, kLastKey - kFirstKey + 1> table{};
  auto set = [&table](int glfwKey, int code) { table[glfwKey - kFirstKey] = code; };
  for (int k = 0; k < 10; ++k) set('0' + k, XQKey::Digit0 + k);
  for (int k = 0; k < 26; ++k) set('A' + k, XQKey::A + k);
  set(' ', XQKey::Space);
  set('"', XQKey::Quote);
  set('\'', XQKey::Quote);
  set(',', XQKey::Comma);
  set('-', XQKey::Minus);
  set('.', XQKey::Period);
  set('/', XQKey::Slash);
  set(';', XQKey::Semicolon);
  set('=', XQKey::Equal);
  set('[', XQKey::BracketLeft);
  set('\\', XQKey::Backslash);
  set(']', XQKey::BracketRight);
  set('`', XQKey::Backquote);
  set('~', XQKey::Backquote);
  set(glfw2::KEY_ESC, XQKey::Escape);
  for (int f = 0; f < 12; ++f) set(glfw2::KEY_F1 + f, XQKey::F1 + f);
  set(glfw2::KEY_UP, XQKey::Up);
  set(glfw2::KEY_DOWN, XQKey::Down);
  set(glfw2::KEY_LEFT, XQKey::Left);
  set(glfw2::KEY_RIGHT, XQKey::Right);
  set(glfw2::KEY_LSHIFT, XQKey::Shift);
  set(glfw2::KEY_RSHIFT, XQKey::Shift);
  set(glfw2::KEY_LCTRL, XQKey::Control);
  set(glfw2::KEY_RCTRL, XQKey::Control);
  set(glfw2::KEY_TAB, XQKey::Tab);
  set(glfw2::KEY_ENTER, XQKey::Enter);
  set(glfw2::KEY_BACKSPACE, XQKey::Backspace);
  set(glfw2::KEY_INSERT, XQKey::Insert);
  set(glfw2::KEY_DEL, XQKey::Delete);
  set(glfw2::KEY_PAGEUP, XQKey::PageUp);
  set(glfw2::KEY_PAGEDOWN, XQKey::PageDown);
  set(glfw2::KEY_HOME, XQKey::Home);
  set(glfw2::KEY_END, XQKey::End);
  for (int k = 0; k <= 9; ++k) set(glfw2::KEY_KP_0 + k, XQKey::Numpad0 + k);
  set(glfw2::KEY_KP_DIVIDE, XQKey::NumpadDivide);
  set(glfw2::KEY_KP_MULTIPLY, XQKey::NumpadMultiply);
  set(glfw2::KEY_KP_SUBTRACT, XQKey::NumpadSubtract);
  set(glfw2::KEY_KP_ADD, XQKey::NumpadAdd);
  set(glfw2::KEY_KP_DECIMAL, XQKey::NumpadDecimal);
  return table;
}

constexpr auto kKeyTable = MakeKeyTable();

// GLFW joysticks are numbered 0-15.
constexpr int kGlfwJoysticks = 16;

void SendKey(int event, int data) {
  if (XQGame* host = XQGame::Host()) host->KeyEvent(event, data);
}

void SendMouse(int event, int data, float x, float y) {
  if (XQGame* host = XQGame::Host()) host->MouseEvent(event, data, x, y);
}

}  // namespace

int XQGlfwGame::TransKey(int glfwKey) {
  if (glfwKey < kFirstKey || glfwKey > kLastKey) return 0;
  return kKeyTable[glfwKey - kFirstKey];
}

// Presses and auto-repeats both arrive as action PRESS: each gives a KeyDown and, for control and
// navigation keys, their character.
void XQGlfwGame::OnKey(int key, int action) {
  const int code = TransKey(key);
  if (code == 0) return;
  if (action == glfw2::RELEASE) {
    SendKey(kEventKeyUp, code);
  } else if (action == glfw2::PRESS) {
    SendKey(kEventKeyDown, code);
    if (const int chr = KeyToChar(code)) SendKey(kEventKeyChar, chr);
  }
}

// The game's text is 16-bit, and its characters from 65536 up are navigation keys: a character
// beyond 16 bits is not typed.
void XQGlfwGame::OnChar(int chr, int action) {
  if (action == glfw2::PRESS && chr <= 0xFFFF) SendKey(kEventKeyChar, chr);
}

// Left, right and middle buttons (0-2), at the cursor's current position.
void XQGlfwGame::OnMouseButton(int button, int action) {
  if (button < 0 || button > 2) return;
  int x = 0;
  int y = 0;
  glfw2::GetMousePos(&x, &y);
  if (action == glfw2::PRESS) {
    SendMouse(kEventMouseDown, button, static_cast<float>(x), static_cast<float>(y));
  } else if (action == glfw2::RELEASE) {
    SendMouse(kEventMouseUp, button, static_cast<float>(x), static_cast<float>(y));
  }
}

void XQGlfwGame::OnMousePos(int x, int y) {
  SendMouse(kEventMouseMove, -1, static_cast<float>(x), static_cast<float>(y));
}

// Reads joystick `port` into the arrays: joyx/joyy/joyz hold the two sticks' axes, buttons the
// pressed state of the buttons the joystick has (entries past its count keep their value). With 4
// axes the second stick's x and y are axes 3 and 2; with 5 axes they are 4 and 3. An absent
// joystick returns false and leaves every array as it was.
bool XQGlfwGame::PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                              Array<bool> buttons) {
  if (port < 0 || port >= kGlfwJoysticks) return false;
  if (!glfw2::GetJoystickParam(port, glfw2::PRESENT)) return false;
  const int axisCount = glfw2::GetJoystickParam(port, glfw2::AXES);
  const int buttonCount = glfw2::GetJoystickParam(port, glfw2::BUTTONS);

  std::array<float, kJoyAxes> axes{};
  glfw2::GetJoystickPos(port, axes.data(), kJoyAxes);
  std::array<unsigned char, kJoyButtons> states{};
  glfw2::GetJoystickButtons(port, states.data(), kJoyButtons);
  std::array<bool, kJoyButtons> pressed{};
  for (int i = 0; i < kJoyButtons; ++i) pressed[i] = states[i] == glfw2::PRESS;
  FillJoystick(axes.data(), axisCount, pressed.data(), buttonCount, joyx, joyy, joyz, buttons);
  return true;
}

void XQGlfwGame::SetMouseVisible(bool visible) {
  if (visible) {
    glfw2::Enable(glfw2::MOUSE_CURSOR);
  } else {
    glfw2::Disable(glfw2::MOUSE_CURSOR);
  }
}
