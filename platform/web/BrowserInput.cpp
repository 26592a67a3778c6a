// The browser's key and gamepad input in the desktop's terms (see BrowserInput.h).
#include "platform/web/BrowserInput.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <utility>

#include "host/Input.h"

namespace {

struct NamedKey {
  std::string_view code;
  int key;
};

// Keys by their `code`, besides the letters, digits, F1-F12 and keypad digits (read by pattern).
constexpr NamedKey kNamedKeys[] = {
    {"Space", XQKey::Space},
    {"Quote", XQKey::Quote},
    {"Comma", XQKey::Comma},
    {"Minus", XQKey::Minus},
    {"Period", XQKey::Period},
    {"Slash", XQKey::Slash},
    {"Semicolon", XQKey::Semicolon},
    {"Equal", XQKey::Equal},
    {"BracketLeft", XQKey::BracketLeft},
    {"Backslash", XQKey::Backslash},
    {"BracketRight", XQKey::BracketRight},
    {"Backquote", XQKey::Backquote},
    {"Escape", XQKey::Escape},
    {"ArrowUp", XQKey::Up},
    {"ArrowDown", XQKey::Down},
    {"ArrowLeft", XQKey::Left},
    {"ArrowRight", XQKey::Right},
    {"ShiftLeft", XQKey::Shift},
    {"ShiftRight", XQKey::Shift},
    {"ControlLeft", XQKey::Control},
    {"ControlRight", XQKey::Control},
    {"Tab", XQKey::Tab},
    {"Enter", XQKey::Enter},
    {"Backspace", XQKey::Backspace},
    {"Insert", XQKey::Insert},
    {"Delete", XQKey::Delete},
    {"PageUp", XQKey::PageUp},
    {"PageDown", XQKey::PageDown},
    {"Home", XQKey::Home},
    {"End", XQKey::End},
    {"NumpadDivide", XQKey::NumpadDivide},
    {"NumpadMultiply", XQKey::NumpadMultiply},
    {"NumpadSubtract", XQKey::NumpadSubtract},
    {"NumpadAdd", XQKey::NumpadAdd},
    {"NumpadDecimal", XQKey::NumpadDecimal},
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
    return XQKey::A + (code[3] - 'A');
  }
  if (code.size() == 6 && code.starts_with("Digit") && code[5] >= '0' && code[5] <= '9') {
    return XQKey::Digit0 + (code[5] - '0');
  }
  if (const int f = NumberAfter(code, "F"); f >= 1 && f <= 12) return XQKey::F1 + f - 1;
  if (const int n = NumberAfter(code, "Numpad"); n >= 0 && n <= 9) return XQKey::Numpad0 + n;
  for (const NamedKey& named : kNamedKeys) {
    if (named.code == code) return named.key;
  }
  return 0;
}

}  // namespace

int BrowserKeyCode(std::string_view code, int keyCode) {
  if (!code.empty()) return KeyFromCode(code);
  // The page's keyCode numbers keys as the framework does.
  return XQKeyDelivered(keyCode) ? keyCode : 0;
}

BrowserPadReading BrowserStandardPad(const double* axes, int axisCount, const double* buttons,
                                     int buttonCount) {
  const auto axis = [&](int i) { return i < axisCount ? static_cast<float>(axes[i]) : 0.0f; };
  const auto button = [&](int i) { return i < buttonCount ? buttons[i] : 0.0; };
  BrowserPadReading pad;
  const auto trigger = [&](int i) { return static_cast<float>(std::clamp(button(i), 0.0, 1.0)); };
  pad.axes[XQPad::LeftX] = axis(0);
  pad.axes[XQPad::LeftY] = -axis(1);
  pad.axes[XQPad::LeftTrigger] = trigger(6);
  pad.axes[XQPad::RightX] = axis(2);
  pad.axes[XQPad::RightY] = -axis(3);
  pad.axes[XQPad::RightTrigger] = trigger(7);
  // Each button of the layout and the standard mapping's number for it.
  constexpr std::pair<XQPad::Button, int> kFrom[] = {
      {XQPad::A, 0},          {XQPad::B, 1},           {XQPad::X, 2},
      {XQPad::Y, 3},          {XQPad::LeftBumper, 4},  {XQPad::RightBumper, 5},
      {XQPad::Back, 8},       {XQPad::Start, 9},       {XQPad::DpadLeft, 14},
      {XQPad::DpadUp, 12},    {XQPad::DpadRight, 15},  {XQPad::DpadDown, 13},
      {XQPad::LeftThumb, 10}, {XQPad::RightThumb, 11}, {XQPad::Guide, 16},
  };
  static_assert(std::size(kFrom) == XQPad::Buttons);
  for (const auto& [at, from] : kFrom) pad.buttons[at] = button(from) > 0.5;
  return pad;
}
