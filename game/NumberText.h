// NumberText: a text the game draws every update (a score line, a table of scores) that is built
// again only when one of the numbers it shows has changed, so that drawing it allocates nothing.
//
//   NumberText<1> scoreLine;
//   p_Text(x, y, scoreLine.For({score}, [&] { return p_rstr(score, 8, String("0")); }), 1, 1);
#pragma once

#include <array>

#include "runtime/String.h"

template <int N>
class NumberText {
 public:
  // The text for these numbers: what make() returned the last time they were the same, or what it
  // returns now.
  template <class Make>
  const String& For(const std::array<int, N>& numbers, Make make) {
    if (!built_ || numbers != numbers_) {
      text_ = make();
      numbers_ = numbers;
      built_ = true;
    }
    return text_;
  }

 private:
  std::array<int, N> numbers_{};
  String text_;
  bool built_ = false;
};
