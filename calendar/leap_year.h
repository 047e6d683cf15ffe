#pragma once

#include <string>

#include "calendar/int16.h"

namespace calendar {

// Gregorian rule: every fourth year, but not the century years other than every
// fourth one (1900 and 2100 are common years, 2000 is a leap year).
bool IsLeapYear(Int16 year);

// "L'année 2024 est bissextile." or "L'année 2023 n'est pas bissextile.", as the
// window's leap-year line and the terminal say it.
std::string LeapYearSentence(Int16 year);

}  // namespace calendar
