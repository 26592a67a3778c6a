// One input event as the host hands it to its delegate, for the input translation tests to record
// and compare.
#pragma once

#include <ostream>

struct Event {
  int event, data;
  float x, y;
  bool operator==(const Event&) const = default;
};

inline void PrintTo(const Event& e, std::ostream* os) {
  *os << "{" << e.event << ", " << e.data << ", " << e.x << ", " << e.y << "}";
}
