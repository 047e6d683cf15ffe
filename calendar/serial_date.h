#pragma once
// Dates as serial day numbers: the whole part counts days from 30 December 1899
// (day 0), the fraction is the time of day. Gregorian throughout, proleptic before
// 1582; every day of the years 100 to 9999 has its serial number.

#include <cstdint>
#include <ctime>
#include <optional>

#include "calendar/int16.h"

namespace calendar {

// The years the gadget offers, in its calendar as in the terminal: whole Gregorian
// years, from the first after the reform of October 1582 to the last of four digits.
inline constexpr int kFirstCalendarYear = 1583;
inline constexpr int kLastCalendarYear = 9999;
// The same range as the messages write it: "du 1583-01-01 au 9999-12-31".
inline constexpr const char* kCalendarRangeText = "du 1583-01-01 au 9999-12-31";
static_assert(kFirstCalendarYear == 1583 && kLastCalendarYear == 9999, "kCalendarRangeText writes these years");

// The Julian day number of serial day 0, and the serial number of 1 January 1970
// (Julian day 2440588), from which the system's clock counts.
inline constexpr std::int64_t kJulianDayOfSerialZero = 2415019;
inline constexpr std::int64_t kSerialOf1970 = 2440588 - kJulianDayOfSerialZero;  // 25569

// 1 January 1900 is 2, 1 January 2000 is 36526; 12:00 is the fraction 0.5.
// Adding a whole number n gives the same time of day n days later.
using SerialDate = double;

// A day and a time of day as one serial date, and back. From day 0 on, the time of day
// is added to the day; before it, the time is taken away, so that the whole part toward
// zero is always the day and the size of the fraction the time of day: Friday
// 29 December 1899 at 10:30 is -1.4375 (-1 - 0.4375), not -0.5625, which is Saturday
// 30 December at 13:30.
struct DayAndTime {
    std::int64_t day;  // the serial number of the day
    double timeOfDay;  // [0, 1): 0.5 is 12:00
};
SerialDate SerialOfDayAndTime(DayAndTime parts);
// NaN is a FloatingPointError, a date some 41,000 years or more from 1899 an OverflowError.
DayAndTime DayAndTimeOf(SerialDate date);

// The date with normalisation: the month is first brought into 1..12 by whole
// years (13 is January of the next year, 0 December of the year before), then the
// day is counted from the first of that month (0 is the last day of the month
// before, 32 of March is 1 April). Returns the day at 00:00.
SerialDate MakeDate(Int16 year, Int16 month, Int16 day);

// The parts of a date; the time of day plays no part.
Int16 YearOf(SerialDate date);
Int16 MonthOf(SerialDate date);    // 1..12
Int16 DayOf(SerialDate date);      // 1..31
Int16 WeekdayOf(SerialDate date);  // 1 Sunday, 2 Monday, ... 7 Saturday

// Midnights passed on the way from `from` to `to`: the whole part of `to` minus
// the whole part of `from`; negative when `to` is the earlier date.
std::int32_t DayDiff(SerialDate from, SerialDate to);

// The local date and time of the system clock, to the whole second (the fraction
// of the second dropped). The time zone is read afresh at every call, so that the
// clock follows a zone changed while the program runs.
SerialDate CurrentDateTime();

// A reading of the local clock as localtime gives it, to the whole second; a leap
// second (tm_sec 60) is shown as the last second of its minute. CurrentDateTime
// takes the clock's reading through it.
SerialDate SerialOfClockReading(const std::tm& local);

// How long the second that CurrentDateTime shows lasts still, in milliseconds
// (1..1000): when the clock will next show another time.
int MillisecondsToNextSecond();

// The one seam on the clock, for tests. While a fixed time is set, CurrentDateTime
// returns it and its second never ends; a running clock reads `from` now and runs on
// at the system clock's pace. SetFixedClock(std::nullopt) restores the system clock.
void SetFixedClock(std::optional<SerialDate> fixedTime);
void SetRunningClock(SerialDate from);

}  // namespace calendar
