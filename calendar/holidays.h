#pragma once
// The twelve French public holidays of the holiday panel, as data: the window walks
// the rows in order and writes each row's caption and its date, formatted by the
// row's pattern, into the labels of the same row of its layout. Each row holds both
// forms of the holiday: the panel's caption as the window has always written it, and
// the holiday's French name, which the tooltips, the terminal and the exports say.

#include <array>
#include <string_view>
#include <vector>

#include "calendar/serial_date.h"

namespace calendar {

struct HolidayRow {
    std::string_view caption;  // UTF-8, as the panel writes it, without its " :" ("Pâcques", "Lun de Pentecôte")
    std::string_view name;     // UTF-8, the holiday's French name ("Pâques", "Lundi de Pentecôte")
    std::string_view key;      // ASCII, stable, for identifiers built from the row ("paques")
    bool followsEaster;        // true: Easter plus daysAfterEaster; false: month/day of the year
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

// The French names of the holidays that fall on `date` in its year `year` and whose date the
// panel shows that year, in the panel's order: none on most days, two when Ascension
// falls on 1 or 8 May.
std::vector<std::string_view> HolidaysOn(Int16 year, SerialDate date);

}  // namespace calendar
