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
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "calendar/regional_holidays.h"
#include "calendar/serial_date.h"

namespace calendar {

// The days of the week, numbered as WeekdayOf numbers them.
enum class Weekday { Sunday = 1, Monday, Tuesday, Wednesday, Thursday, Friday, Saturday };

// How a holiday's day is found in a year: a fixed date, Easter Sunday plus some days,
// the nth weekday of a month, the last weekday of a month, or the last weekday
// before a date; then, where a law says so, some days later, a week later when it
// meets a day of Easter's cycle, and moved or doubled by a Monday when it falls on a
// Sunday. Written with the functions below.
struct HolidayRule {
    enum class Kind { FixedDate, FromEaster, NthWeekday, LastWeekday, WeekdayBefore };
    // What a day that falls on a Sunday becomes.
    enum class OnSunday {
        Stays,          // it is kept on the Sunday
        MovesToMonday,  // it is kept on the Monday after instead
        AddsMonday,     // the row is that Monday, kept in those years only; another row keeps the Sunday
    };
    Kind kind = Kind::FixedDate;
    int month = 0;                      // 1..12; none for FromEaster
    int day = 0;                        // FixedDate: 1..31; WeekdayBefore: the date it comes before, 2..31
    int daysAfterEaster = 0;            // FromEaster: negative before Easter Sunday
    Weekday weekday = Weekday::Sunday;  // NthWeekday, LastWeekday, WeekdayBefore
    int nth = 0;                        // NthWeekday: 1..4, a weekday every month has
    int daysLater = 0;                  // added to the day the kind gives, 0..6
    int yieldsTo = 0;                   // when the day is Easter plus this many days (not 0), a week later
    OnSunday onSunday = OnSunday::Stays;
};

// 25 December: FixedDate(12, 25); Ascension: FromEaster(39); the second Sunday of May:
// NthWeekday(2, Weekday::Sunday, 5); the last Monday of May: LastWeekday(Weekday::Monday, 5);
// the Monday before 25 May: WeekdayBefore(Weekday::Monday, 5, 25).
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
constexpr HolidayRule WeekdayBefore(Weekday weekday, int month, int day) {
    return {.kind = HolidayRule::Kind::WeekdayBefore, .month = month, .day = day, .weekday = weekday};
}

// The Thursday after the first Sunday of September: DaysLater(4, NthWeekday(1, Weekday::Sunday, 9)).
constexpr HolidayRule DaysLater(int days, HolidayRule rule) {
    rule.daysLater = days;
    return rule;
}
// The last Sunday of May, a week later when it is Whit Sunday:
// AWeekLaterOnEaster(49, LastWeekday(Weekday::Sunday, 5)).
constexpr HolidayRule AWeekLaterOnEaster(int daysAfterEaster, HolidayRule rule) {
    rule.yieldsTo = daysAfterEaster;
    return rule;
}
// 1 July, or 2 July when 1 July is a Sunday: MovedOffSunday(FixedDate(7, 1)).
constexpr HolidayRule MovedOffSunday(HolidayRule rule) {
    rule.onSunday = HolidayRule::OnSunday::MovesToMonday;
    return rule;
}
// 26 December in the years 25 December is a Sunday: MondayAfterSunday(FixedDate(12, 25)).
constexpr HolidayRule MondayAfterSunday(HolidayRule rule) {
    rule.onSunday = HolidayRule::OnSunday::AddsMonday;
    return rule;
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
    // A day people mark that is no day off (Fête des mères, Chandeleur): the tooltips
    // and the terminal name it, the grid, the panel and the iCalendar export do not.
    bool celebration = false;
};

// The whole table: the nation's rows first, those of the holiday panel at its head in
// the panel's order, then the regions' rows, the other places' rows and the
// celebrations.
extern const std::span<const HolidayRow> kHolidayTable;

// The rows of the holiday panel, top to bottom: the nation's rows with a caption.
inline constexpr std::size_t kPanelHolidayCount = 12;
std::span<const HolidayRow, kPanelHolidayCount> PanelHolidays();

// The rule's day in `year`, a whole day (years 1583 to 9999); none in a year that
// does not keep it (a Monday after a Sunday, when the date is no Sunday).
std::optional<SerialDate> HolidayRuleDate(const HolidayRule& rule, Int16 year);

// A holiday kept in a year: its day and the row that sets it.
struct Holiday {
    SerialDate date;
    const HolidayRow* row;
};

// The public holidays that `region` keeps in `year`: those of the region it inherits
// first (the nation's for a region), then its own, each in the order of the table;
// never a celebration. A row outside its years is left out: the panel hides its
// date, the grid, the tooltips and the terminal do not name it.
std::vector<Holiday> HolidaysOf(Region region, Int16 year);

// The French names of those of HolidaysOf(region, year) that fall on `date`, in the
// same order: none on most days, two when Ascension falls on 1 or 8 May.
std::vector<std::string_view> HolidaysOn(Region region, Int16 year, SerialDate date);

// The celebrations that `region` marks in `year`, inherited first as the holidays
// are; a celebration that the region keeps as a public holiday on the same day
// (Pâques in France, Pentecôte in the Jura) is a holiday there, and left out.
std::vector<Holiday> CelebrationsOf(Region region, Int16 year);

// The French names of those of CelebrationsOf(region, year) that fall on `date`.
std::vector<std::string_view> CelebrationsOn(Region region, Int16 year, SerialDate date);

}  // namespace calendar
