#pragma once
// The day number of a date within its year, and its week number, Monday to Sunday
// weeks with week 1 the week of the first Thursday (ISO 8601).

#include <cstdint>

#include "calendar/serial_date.h"

namespace calendar {

// 1 for 1 January, 365 or 366 for 31 December; a time of day after noon rounds up.
Int16 Days(SerialDate DayNo);

// The day's number in the year `year`: DayOfYear(2024, 1 February 2024) is 32. The
// window's day-of-year line and the terminal's facts both count so.
std::int64_t DayOfYear(Int16 year, SerialDate date);

// 1..53: the first days of January can belong to the last week of the year
// before, the last days of December to week 1 of the next year.
Int16 WeekNumber(SerialDate InDate);

}  // namespace calendar
