// Which key codes a platform delivers (see Input.h).
#include "host/Input.h"

#include <algorithm>
#include <iterator>

namespace {

// The keys delivered besides the ranges (letters, digits, F1-F12, keypad digits).
constexpr int kNamedKeys[] = {
    XQKey::Backspace,
    XQKey::Tab,
    XQKey::Enter,
    XQKey::Shift,
    XQKey::Control,
    XQKey::Escape,
    XQKey::Space,
    XQKey::PageUp,
    XQKey::PageDown,
    XQKey::End,
    XQKey::Home,
    XQKey::Left,
    XQKey::Up,
    XQKey::Right,
    XQKey::Down,
    XQKey::Insert,
    XQKey::Delete,
    XQKey::NumpadMultiply,
    XQKey::NumpadAdd,
    XQKey::NumpadSubtract,
    XQKey::NumpadDecimal,
    XQKey::NumpadDivide,
    XQKey::Semicolon,
    XQKey::Equal,
    XQKey::Comma,
    XQKey::Minus,
    XQKey::Period,
    XQKey::Slash,
    XQKey::Backquote,
    XQKey::BracketLeft,
    XQKey::Backslash,
    XQKey::BracketRight,
    XQKey::Quote,
};

bool InRange(int code, int first, int count) {
  return code >= first && code < first + count;
}

}  // namespace

bool XQKeyDelivered(int code) {
  if (InRange(code, XQKey::A, 26) || InRange(code, XQKey::Digit0, 10)) return true;
  if (InRange(code, XQKey::F1, 12) || InRange(code, XQKey::Numpad0, 10)) return true;
  return std::find(std::begin(kNamedKeys), std::end(kNamedKeys), code) != std::end(kNamedKeys);
}
