#pragma once
// Which entry of the name-day list belongs to the selected date. The list is laid
// out for a leap year: position 0 is 1 January, 59 is 29 February, 60 is 1 March,
// 365 is 31 December; in a common year every date from 1 March on skips position 59.

#include "calendar/serial_date.h"

namespace namedays {

// The position of `selected`, a date of `year` in month `month`, in a year that is a
// leap year or not as `leapYear` says. A position outside -32768..32767 (a selected
// date far from its year) raises calendar::OverflowError.
int NameDayPosition(bool leapYear, calendar::Int16 year, calendar::Int16 month, calendar::SerialDate selected);

}  // namespace namedays
