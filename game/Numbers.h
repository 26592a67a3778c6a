// Number helpers the game's sources share: truncation to int that cannot overflow (runtime/) and
// the degree-to-radian factor of the drawing code.
#pragma once

#include "runtime/Numbers.h"

inline constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
