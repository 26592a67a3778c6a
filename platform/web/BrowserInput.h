// Input of the browser host in the desktop's terms, kept free of browser calls so that it builds and
// is tested natively: the page's key events as the desktop's key codes, and gamepads in the
// "standard" mapping in the one gamepad layout (host/Input.h).
#pragma once

#include <string_view>

#include "host/Input.h"

// The key code the desktop delivers for the same key, from a key event's `code` (the key's place,
// "KeyA", "ArrowLeft", "Numpad7") or, when the event has none, its `keyCode`; 0 for keys the
// desktop does not deliver either (Alt, the Windows keys, keypad Enter, F13 and above).
int BrowserKeyCode(std::string_view code, int keyCode);

// A gamepad in the one layout (host/Input.h, XQPad): sticks positive right and up, triggers 0 to 1.
struct BrowserPadReading {
  float axes[XQPad::Axes] = {};
  bool buttons[XQPad::Buttons] = {};
};

// Reads a pad of the page's "standard" mapping: buttons 0-3 A B X Y, 4 5 bumpers, 6 7 triggers
// (0 to 1), 8 back, 9 start, 10 11 stick clicks, 12-15 D-pad up, down, left, right, 16 guide; axes
// left x, left y, right x, right y with y positive downwards. Missing entries read as released.
BrowserPadReading BrowserStandardPad(const double* axes, int axisCount, const double* buttons,
                                     int buttonCount);
