#pragma once

#include <numbers>

namespace calendar {

// The astronomical formulas give their angles in degrees; the C library takes radians.
inline constexpr double kPi = std::numbers::pi;
constexpr double Radians(double degrees) { return degrees * kPi / 180.0; }

}  // namespace calendar
