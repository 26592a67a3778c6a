// The input every platform delivers, in the framework's terms: the key codes by name (the
// keyboard's virtual-key numbers), which keys a platform delivers at all, the one layout a
// recognised gamepad reads in, and the rule for a raw joystick's axes. The desktop
// (platform/glfw/InputTranslation.cpp) and the browser (platform/web/BrowserInput.cpp) translate
// their own key numbers and pads into these, so both deliver the same codes for the same keys.
//
//   if (XQKeyDelivered(code)) host->KeyEvent(kEventKeyDown, code);
//   pressed[XQPad::Start] = ...;                 // a recognised pad, in the one layout
//   axes[i] = XQRawAxis(i, reading[i]);         // a raw joystick: positive right and up
#pragma once

// Key codes. Letters and digits are their upper-case character; the ranges run on from the first.
namespace XQKey {
enum : int {
  Backspace = 8,
  Tab = 9,
  Enter = 13,
  Shift = 16,
  Control = 17,
  Escape = 27,
  Space = 32,
  PageUp = 33,
  PageDown = 34,
  End = 35,
  Home = 36,
  Left = 37,
  Up = 38,
  Right = 39,
  Down = 40,
  Insert = 45,
  Delete = 46,
  Digit0 = '0',  // to '9'
  A = 'A',       // to 'Z'
  Numpad0 = 96,  // to Numpad0 + 9
  NumpadMultiply = 106,
  NumpadAdd = 107,
  NumpadSubtract = 109,
  NumpadDecimal = 110,
  NumpadDivide = 111,
  F1 = 112,  // to F1 + 11 (F12)
  Semicolon = 186,
  Equal = 187,
  Comma = 188,
  Minus = 189,
  Period = 190,
  Slash = 191,
  Backquote = 192,
  BracketLeft = 219,
  Backslash = 220,
  BracketRight = 221,
  Quote = 222,
};
}  // namespace XQKey

// Whether a platform delivers this key code: the letters, digits, F1-F12, the keypad's digits and
// operators and the named keys above. Keys outside it (Alt, the system keys, keypad Enter, F13 and
// above) are never delivered, on any platform.
bool XQKeyDelivered(int code);

// A joystick reading carries at most this many axes and buttons.
inline constexpr int kJoyAxes = 6;
inline constexpr int kJoyButtons = 32;

// The layout every platform reads a recognised gamepad in, whatever its make: buttons by face
// position (A bottom, B right, X left, Y top), sticks from -1 to 1 with positive meaning right and
// up, triggers from 0 (released) to 1 (fully pressed). The axis order is that of a six-axis pad with
// both triggers between the sticks, the order XQGame::FillJoystick reads the second stick from.
namespace XQPad {
enum Button : int {
  A,
  B,
  X,
  Y,
  LeftBumper,
  RightBumper,
  Back,
  Start,
  DpadLeft,
  DpadUp,
  DpadRight,
  DpadDown,
  LeftThumb,
  RightThumb,
  Guide,
  Buttons,  // the count
};
enum Axis : int {
  LeftX,
  LeftY,
  LeftTrigger,
  RightX,
  RightY,
  RightTrigger,
  Axes,  // the count
};
}  // namespace XQPad

// A joystick that is not a recognised gamepad reports its axes as the device gives them, y
// positive downwards: the odd axes are negated, so that positive means up as on a gamepad.
inline float XQRawAxis(int index, float value) {
  return index % 2 == 1 ? -value : value;
}
