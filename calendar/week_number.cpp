#include "calendar/week_number.h"

#include "calendar/numbers.h"

namespace calendar {

Int16 Days(SerialDate DayNo) {
    const Int16 y = YearOf(DayNo);
    // Day 0 of January is 31 December of the year before, so the difference counts from 1.
    const SerialDate base = MakeDate(y, 1, 0);
    return ToInteger(DayNo - base);  // [1, 366] for a whole date
}

// ISO 8601 weeks (ISO 8601-1:2019, 3.1.1.23 and 5.2.3: Monday to Sunday, week 01
// the week that holds the year's first Thursday, so 52 or 53 weeks a year). The
// count below is of whole weeks since the year's first Sunday: week 1 is the week
// that ends on that Sunday when it holds four days or more of the year (a
// Thursday), else the week after; then the days of December past a 52nd week
// belong to week 1 of the next year unless the year has a week 53 (it begins or
// ends on a Thursday), and the days of January before week 1 to the last week of
// the year before.
Int16 WeekNumber(SerialDate InDate) {
    const Int16 n = Days(InDate);  // [1, 366]
    const Int16 y = YearOf(InDate);
    const Int16 a = WeekdayOf(MakeDate(y, 1, 1)) - 1;    // [0, 6], 0 for Sunday: 1 January
    const Int16 c = WeekdayOf(MakeDate(y, 12, 31)) - 1;  // [0, 6]: 31 December
    // The day number of the first Sunday after 1 January: 8 when 1 January is itself a
    // Sunday, so that the week ending on day s always lies in this year, wholly or partly.
    const Int16 s = 7 - (a - 1);  // [2, 8]
    // A year has a week 53 when it begins or ends on a Thursday.
    const bool longYear = a == 4 || c == 4;
    const Int16 x = n - s - 4;  // [-11, 360]
    // Rounded to nearest, neither truncated nor floored: for a whole x this is
    // floor((n - s - 1) / 7), the weeks since the Monday after day s (-1 in the week
    // ending on day s, -2 on 1 January when it is a Sunday).
    const Int16 q = ToInteger(RealDivide(x.value(), 7.0));  // [-2, 51]
    // The week ending on day s has four days or more in this year when s >= 4: it then
    // holds a Thursday and is week 1; otherwise week 1 is the one after it.
    Int16 w = s >= 4 ? q + 2 : q + 1;                     // [0, 53]
    if (w > 52 && !longYear) w = 1;                       // the last days of December open the next year's week 1
    if (w == 0) w = WeekNumber(MakeDate(y - 1, 12, 31));  // the first days of January end the year before's last week
    return w;
}

}  // namespace calendar

namespace calendar {

std::int64_t DayOfYear(Int16 year, SerialDate date) { return std::int64_t{DayDiff(MakeDate(year, 1, 1), date)} + 1; }

}  // namespace calendar
