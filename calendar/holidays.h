#pragma once
// The twelve French public holidays of the holiday panel, as data: the window walks
// the rows in order and writes each row's date, formatted by the row's pattern, into
// the label of the same row of its layout.

#include <array>
#include <string_view>
#include <vector>

#include "calendar/serial_date.h"

namespace calendar {

struct HolidayRow {
    std::string_view name;  // UTF-8, as the panel's caption writes it, without its " :"
    bool followsEaster;     // true: Easter plus daysAfterEaster; false: month/day of the year
    int month;
    int day;
    int daysAfterEaster;
    std::string_view pattern;  // the FormatDate pattern, trailing blank included where there is one
    int shownFromYear;         // the date is shown from this year on; 0: in every year
};

extern const std::array<HolidayRow, 12> kHolidayTable;

// The row's date in the given year; `easter` is Easter Sunday of that year.
SerialDate HolidayDate(const HolidayRow& row, Int16 year, SerialDate easter);

// Whether the row's date is shown in that year.
bool HolidayValueVisible(const HolidayRow& row, Int16 year);

// The names of the holidays that fall on `date` in its year `year` and whose date the
// panel shows that year, in the panel's order: none on most days, two when Ascension
// falls on 1 or 8 May.
std::vector<std::string_view> HolidaysOn(Int16 year, SerialDate date);

}  // namespace calendar
