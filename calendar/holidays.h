#pragma once
// Every public holiday the program knows, as data: one row a holiday, the nation's and
// each region's alike, and one query over them. The holiday panel, the calendar's
// marks and tooltips, the terminal and the iCalendar export all ask HolidaysOf; no
// other code walks the table.
//
// A row names its region, its French name, an ASCII key, the rule of its day, the
// years it is kept and the text that makes it a holiday. The nation's rows that the
// holiday panel shows carry the panel's caption exactly as the window writes it,
// beside the holiday's name, which the tooltips, the terminal and the exports say.

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "calendar/regional_holidays.h"
#include "calendar/serial_date.h"

namespace calendar {

// The days of the week, numbered as WeekdayOf numbers them.
enum class Weekday { Sunday = 1, Monday, Tuesday, Wednesday, Thursday, Friday, Saturday };

// How a holiday's day is found in a year: a fixed date, Easter Sunday plus some days,
// the nth weekday of a month, or the last weekday of a month. Written with the four
// functions below.
struct HolidayRule {
    enum class Kind { FixedDate, FromEaster, NthWeekday, LastWeekday };
    Kind kind = Kind::FixedDate;
    int month = 0;                      // 1..12; none for FromEaster
    int day = 0;                        // FixedDate: 1..31
    int daysAfterEaster = 0;            // FromEaster: negative before Easter Sunday
    Weekday weekday = Weekday::Sunday;  // NthWeekday, LastWeekday
    int nth = 0;                        // NthWeekday: 1..4, a weekday every month has
};

// 25 December: FixedDate(12, 25); Ascension: FromEaster(39); the second Sunday of May:
// NthWeekday(2, Weekday::Sunday, 5); the last Monday of May: LastWeekday(Weekday::Monday, 5).
constexpr HolidayRule FixedDate(int month, int day) {
    return {.kind = HolidayRule::Kind::FixedDate, .month = month, .day = day};
}
constexpr HolidayRule FromEaster(int days) { return {.kind = HolidayRule::Kind::FromEaster, .daysAfterEaster = days}; }
constexpr HolidayRule NthWeekday(int nth, Weekday weekday, int month) {
    return {.kind = HolidayRule::Kind::NthWeekday, .month = month, .weekday = weekday, .nth = nth};
}
constexpr HolidayRule LastWeekday(Weekday weekday, int month) {
    return {.kind = HolidayRule::Kind::LastWeekday, .month = month, .weekday = weekday};
}

struct HolidayRow {
    Region region = Region::National;  // whose holiday it is; the regions that inherit it keep it too
    std::string_view name;             // UTF-8, the holiday's French name ("Lundi de Pentecôte")
    std::string_view key;              // ASCII, stable, for identifiers built from the row ("lundi-de-pentecote")
    HolidayRule rule;
    int since = 0;                  // the first year it is kept; 0: every year the calendar offers
    int until = 0;                  // the last year it is kept; 0: still kept
    std::string_view source;        // the text that makes the day a holiday there
    std::string_view caption = {};  // UTF-8, the holiday panel's, without its " :"; empty: not on the panel
    std::string_view pattern = {};  // the panel's FormatDate pattern, trailing blank included where there is one
};

// The whole table: the nation's rows first, those of the holiday panel at its head in
// the panel's order, then the regions' rows.
extern const std::span<const HolidayRow> kHolidayTable;

// The rows of the holiday panel, top to bottom: the nation's rows with a caption.
inline constexpr std::size_t kPanelHolidayCount = 12;
std::span<const HolidayRow, kPanelHolidayCount> PanelHolidays();

// The rule's day in `year`, a whole day (years 1583 to 9999).
SerialDate HolidayRuleDate(const HolidayRule& rule, Int16 year);

// A holiday kept in a year: its day and the row that sets it.
struct Holiday {
    SerialDate date;
    const HolidayRow* row;
};

// The holidays that `region` keeps in `year`: those of the region it inherits first
// (the nation's for a region), then its own, each in the order of the table. A row
// outside its years is left out: the panel hides its date, the grid, the tooltips and
// the terminal do not name it.
std::vector<Holiday> HolidaysOf(Region region, Int16 year);

// The French names of those of HolidaysOf(region, year) that fall on `date`, in the
// same order: none on most days, two when Ascension falls on 1 or 8 May.
std::vector<std::string_view> HolidaysOn(Region region, Int16 year, SerialDate date);

}  // namespace calendar
