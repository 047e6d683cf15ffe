#pragma once
// The twelve French public holidays of the holiday panel, as data: the window walks
// the rows in order and writes each row's date, formatted by the row's pattern,
// into the row's value label.

#include <array>
#include <string_view>

#include "calendar/serial_date.h"

namespace calendar {

struct HolidayRow {
    std::string_view nameLabel;   // the caption label, e.g. "Label9"
    std::string_view nameText;    // its fixed caption, e.g. "Nouvel an :"
    std::string_view valueLabel;  // the label that receives the date, e.g. "Label10"
    bool followsEaster;           // true: Easter plus daysAfterEaster; false: month/day of the year
    int month;
    int day;
    int daysAfterEaster;
    std::string_view pattern;     // the FormatDate pattern, trailing blank included where there is one
    int shownFromYear;            // the value label is visible from this year on; 0: its visibility never changes
};

extern const std::array<HolidayRow, 12> kHolidayTable;

// The row's date in the given year; `easter` is Easter Sunday of that year.
SerialDate HolidayDate(const HolidayRow& row, Int16 year, SerialDate easter);

// Whether the row's value label is visible in that year.
bool HolidayValueVisible(const HolidayRow& row, Int16 year);

}  // namespace calendar
