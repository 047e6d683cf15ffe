#pragma once
// Proleptic Gregorian dates as days from 1 January 1970, and back, after Howard
// Hinnant, "chrono-Compatible Low-Level Date Algorithms" (days_from_civil,
// civil_from_days). Inline, so that a reader built without this library (the
// iCalendar module) steps its dates with the same arithmetic.

#include <cstdint>

namespace calendar {

// The quotient rounded down, as a day number divides into weeks or seconds into days
// before 1970 too: -1 second is day -1, not day 0. `by` > 0.
constexpr std::int64_t FloorDivide(std::int64_t value, std::int64_t by) {
    return value >= 0 ? value / by : -((-value + by - 1) / by);
}

struct CivilDate {
    std::int64_t year;
    int month;  // 1..12
    int day;    // 1..31
};

// The year is taken to begin on 1 March, so that the leap day closes it; the calendar
// then repeats every 400 years, an era of 146097 days, and within an era everything
// is positive.
constexpr std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
    const std::int64_t marchYear = month <= 2 ? year - 1 : year;
    const std::int64_t era = FloorDivide(marchYear, 400);
    const std::int64_t yearOfEra = marchYear - era * 400;          // [0, 399]
    const int monthFromMarch = month > 2 ? month - 3 : month + 9;  // [0, 11]
    // The months from March have 31, 30, 31, 30, 31 days and then the same again:
    // 153 days every five months, so (153 m + 2) / 5 is the first day of month m.
    const std::int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;                      // [0, 365]
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;  // [0, 146096]
    // 719468 days run from 1 March of year 0 to 1 January 1970.
    return era * 146097 + dayOfEra - 719468;
}

constexpr CivilDate CivilFromDays(std::int64_t daysFrom1970) {
    const std::int64_t fromMarch0 = daysFrom1970 + 719468;
    const std::int64_t era = FloorDivide(fromMarch0, 146097);
    const std::int64_t dayOfEra = fromMarch0 - era * 146097;  // [0, 146096]
    // Take away one day for every 4 years, give back one for every 100, take away one
    // for the last day of the era; what is left divides by 365.
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;                  // [0, 399]
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);  // [0, 365]
    const int monthFromMarch = static_cast<int>((5 * dayOfYear + 2) / 153);                         // [0, 11]
    const int day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);               // [1, 31]
    const int month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;                // [1, 12]
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

// 0 Sunday … 6 Saturday: 1 January 1970 was a Thursday.
constexpr int WeekdayFromDays(std::int64_t daysFrom1970) { return static_cast<int>(((daysFrom1970 + 4) % 7 + 7) % 7); }

}  // namespace calendar
