#include "calendar/serial_date.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "calendar/civil_days.h"

namespace calendar {

namespace {

// Some 41000 years: every day this far from 1899 or farther lies in a year outside
// -32768..32767, so the limit rejects no date that has a 16-bit year, and it keeps the
// 64-bit arithmetic below far from its own bounds.
constexpr double kFarthestDay = 15'000'000.0;

// The day of a serial number: its whole part toward zero. The fraction, whatever its
// sign, is the time of day.
std::int64_t WholeDay(SerialDate date) {
    if (std::isnan(date)) throw FloatingPointError("date qui n'est pas un nombre");
    if (!(std::fabs(date) < kFarthestDay)) throw OverflowError("date hors du calendrier : " + std::to_string(date));
    return static_cast<std::int64_t>(std::trunc(date));
}

CivilDate CivilOf(SerialDate date) { return CivilFromDays(WholeDay(date) - kSerialOf1970); }

}  // namespace

SerialDate SerialOfDayAndTime(DayAndTime parts) {
    const auto day = static_cast<SerialDate>(parts.day);
    return parts.day < 0 ? day - parts.timeOfDay : day + parts.timeOfDay;
}

DayAndTime DayAndTimeOf(SerialDate date) {
    const std::int64_t day = WholeDay(date);
    return {day, std::fabs(date - static_cast<SerialDate>(day))};  // [0, 1)
}

SerialDate MakeDate(Int16 year, Int16 month, Int16 day) {
    // Whole years out of the month first: month 13 is January of the next year,
    // month 0 December of the year before, -1 November of the year before.
    const int monthFromJanuary = month.value() - 1;                                                 // [-32769, 32766]
    const int yearShift = (monthFromJanuary >= 0 ? monthFromJanuary : monthFromJanuary - 11) / 12;  // [-2731, 2730]
    const Int16 shiftedYear = year + yearShift;                      // overflows only beyond the 16-bit years
    const int shiftedMonth = monthFromJanuary - yearShift * 12 + 1;  // [1, 12]
    // Then the day counts on from the first of that month, backward too.
    const std::int64_t first = DaysFromCivil(shiftedYear.value(), shiftedMonth, 1) + kSerialOf1970;
    return static_cast<SerialDate>(first + (day.value() - 1));
}

Int16 YearOf(SerialDate date) { return CivilOf(date).year; }
Int16 MonthOf(SerialDate date) { return CivilOf(date).month; }
Int16 DayOf(SerialDate date) { return CivilOf(date).day; }

Int16 WeekdayOf(SerialDate date) {
    // Day 0, 30 December 1899, was a Saturday (7).
    const std::int64_t fromSunday = (WholeDay(date) + 6) % 7;  // [-6, 6]
    return (fromSunday < 0 ? fromSunday + 7 : fromSunday) + 1;
}

std::int32_t DayDiff(SerialDate from, SerialDate to) {
    // Both whole days lie within kFarthestDay of day 0, so their difference fits 32 bits.
    return static_cast<std::int32_t>(WholeDay(to) - WholeDay(from));
}

SerialDate SerialOfClockReading(const std::tm& local) {
    const std::int64_t day = DaysFromCivil(local.tm_year + 1900LL, local.tm_mon + 1, local.tm_mday) + kSerialOf1970;
    const int secondOfDay = local.tm_hour * 3600 + local.tm_min * 60 + std::min(local.tm_sec, 59);  // [0, 86399]
    return SerialOfDayAndTime({day, secondOfDay / 86400.0});
}

}  // namespace calendar
