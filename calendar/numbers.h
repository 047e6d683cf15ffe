#pragma once
// The numeric conventions shared by the date computations: rounding to a 16-bit
// integer, rounding and flooring reals, the decimal text of a number and the number
// that a text begins with.

#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/int16.h"

namespace calendar {

// Nearest whole number, an exact half going to the even neighbour (2.5 gives 2,
// 3.5 gives 4); raises OverflowError when that leaves -32768..32767, and
// FloatingPointError for a value that is not a number.
Int16 ToInteger(double x);

// Nearest whole number, halves to even, kept as a double.
double RoundWhole(double x);

// The largest whole number not greater than x (floor), kept as a double.
double IntPart(double x);

// Decimal digits, a leading minus sign when negative, no blank, no grouping.
std::string NumberText(std::int64_t n);

// The value of the number that the text begins with, 0 if none: blanks and tabs
// skipped, an optional sign, digits with at most one point as decimal separator.
// Reading stops at the first character that cannot continue the number.
double LeadingNumber(std::string_view text);

}  // namespace calendar
