#pragma once

#include <string>

#include "calendar/int16.h"

namespace calendar {

// Gregorian rule: every fourth year, but not the century years other than every
// fourth one (1900 and 2100 are common years, 2000 is a leap year).
bool IsLeapYear(Int16 year);

// "L'année 2024 est bissextile." or "L'année 2023 n'est pas bissextile." The window
// shows it, and the name-day lookup reads it back, so the text must stay exactly so.
std::string LeapYearSentence(Int16 year);

// The sentence that says the year is a leap year (`leap`) or is not, whatever it is.
std::string LeapYearSentence(Int16 year, bool leap);

}  // namespace calendar
