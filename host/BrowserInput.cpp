// The browser's key and gamepad input in the desktop's terms (see BrowserInput.h).
#include "host/BrowserInput.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace {

struct NamedKey {
  std::string_view code;
  int key;
};

// Keys by their `code`, besides the letters, digits, F1-F12 and keypad digits (read by pattern).
constexpr NamedKey kNamedKeys[] = {
    {"Space", 32},
    {"Quote", 222},
    {"Comma", 188},
    {"Minus", 189},
    {"Period", 190},
    {"Slash", 191},
    {"Semicolon", 186},
    {"Equal", 187},
    {"BracketLeft", 219},
    {"Backslash", 220},
    {"BracketRight", 221},
    {"Backquote", 192},
    {"Escape", 27},
    {"ArrowUp", 38},
    {"ArrowDown", 40},
    {"ArrowLeft", 37},
    {"ArrowRight", 39},
    {"ShiftLeft", 16},
    {"ShiftRight", 16},
    {"ControlLeft", 17},
    {"ControlRight", 17},
    {"Tab", 9},
    {"Enter", 13},
    {"Backspace", 8},
    {"Insert", 45},
    {"Delete", 46},
    {"PageUp", 33},
    {"PageDown", 34},
    {"Home", 36},
    {"End", 35},
    {"NumpadDivide", 111},
    {"NumpadMultiply", 106},
    {"NumpadSubtract", 109},
    {"NumpadAdd", 107},
    {"NumpadDecimal", 110},
};

// "F7" -> 7, "Numpad3" -> 3: the number after the prefix, or -1.
int NumberAfter(std::string_view code, std::string_view prefix) {
  if (!code.starts_with(prefix) || code.size() == prefix.size()) return -1;
  int value = -1;
  const char* first = code.data() + prefix.size();
  const char* last = code.data() + code.size();
  const auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last ? value : -1;
}

int KeyFromCode(std::string_view code) {
  if (code.size() == 4 && code.starts_with("Key") && code[3] >= 'A' && code[3] <= 'Z') {
    return code[3];
  }
  if (code.size() == 6 && code.starts_with("Digit") && code[5] >= '0' && code[5] <= '9') {
    return code[5];
  }
  if (const int f = NumberAfter(code, "F"); f >= 1 && f <= 12) return 111 + f;
  if (const int n = NumberAfter(code, "Numpad"); n >= 0 && n <= 9) return 96 + n;
  for (const NamedKey& named : kNamedKeys) {
    if (named.code == code) return named.key;
  }
  return 0;
}

// Whether the desktop delivers this key code (the page's keyCode numbers keys as it does).
bool Delivered(int key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return true;
  if (key >= 112 && key <= 123) return true;  // F1-F12
  if (key >= 96 && key <= 107) return true;   // keypad digits, multiply, add
  if (key >= 109 && key <= 111) return true;  // keypad subtract, decimal, divide
  return std::any_of(std::begin(kNamedKeys), std::end(kNamedKeys),
                     [key](const NamedKey& named) { return named.key == key; });
}

}  // namespace

int BrowserKeyCode(std::string_view code, int keyCode) {
  if (!code.empty()) return KeyFromCode(code);
  return Delivered(keyCode) ? keyCode : 0;
}

BrowserPadReading BrowserStandardPad(const double* axes, int axisCount, const double* buttons,
                                     int buttonCount) {
  const auto axis = [&](int i) { return i < axisCount ? static_cast<float>(axes[i]) : 0.0f; };
  const auto button = [&](int i) { return i < buttonCount ? buttons[i] : 0.0; };
  BrowserPadReading pad;
  pad.axes[0] = axis(0);
  pad.axes[1] = -axis(1);
  pad.axes[2] = static_cast<float>(std::clamp(button(6), 0.0, 1.0));
  pad.axes[3] = axis(2);
  pad.axes[4] = -axis(3);
  pad.axes[5] = static_cast<float>(std::clamp(button(7), 0.0, 1.0));
  // Desktop button <- standard button: A B X Y, bumpers, back, start, D-pad left, up, right,
  // down, stick clicks, guide.
  constexpr std::array<int, 15> kFrom = {0, 1, 2, 3, 4, 5, 8, 9, 14, 12, 15, 13, 10, 11, 16};
  for (size_t i = 0; i < kFrom.size(); ++i) pad.buttons[i] = button(kFrom[i]) > 0.5;
  return pad;
}
