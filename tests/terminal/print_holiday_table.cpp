// Prints the holiday table and the regions, one row a line, fields split by "|", for
// the tests that check the program's output against the table without retyping it:
//   region|REGION-KEY|INHERITED-KEY (empty when it inherits none)
//   group|GROUP-KEY|INHERITED-KEY   (a group of rows that places inherit, no place itself)
//   holiday|REGION-KEY|KEY|NAME|KIND|MONTH|DAY|DAYS-AFTER-EASTER|WEEKDAY|NTH|SINCE|UNTIL|DAYS-LATER|YIELDS-TO|ON-SUNDAY
//   celebration|…, the same fields
// KIND is fixed, easter, nth, last or before; WEEKDAY counts from Sunday 1; ON-SUNDAY
// is stays, moves (to the Monday) or adds (the Monday, in those years alone).

#include <iostream>

#include "calendar/holidays.h"

namespace {

const char* KindName(calendar::HolidayRule::Kind kind) {
    switch (kind) {
    case calendar::HolidayRule::Kind::FixedDate: return "fixed";
    case calendar::HolidayRule::Kind::FromEaster: return "easter";
    case calendar::HolidayRule::Kind::NthWeekday: return "nth";
    case calendar::HolidayRule::Kind::LastWeekday: return "last";
    case calendar::HolidayRule::Kind::WeekdayBefore: return "before";
    }
    return "";
}

const char* OnSundayName(calendar::HolidayRule::OnSunday onSunday) {
    switch (onSunday) {
    case calendar::HolidayRule::OnSunday::Stays: return "stays";
    case calendar::HolidayRule::OnSunday::MovesToMonday: return "moves";
    case calendar::HolidayRule::OnSunday::AddsMonday: return "adds";
    }
    return "";
}

void PrintRegion(const char* kind, const calendar::RegionRow& region) {
    std::cout << kind << '|' << region.key << '|' << (region.inherits ? calendar::RegionKey(*region.inherits) : "")
              << '\n';
}

}  // namespace

int main() {
    using namespace calendar;
    for (const RegionRow& region : kRegionTable) PrintRegion("region", region);
    for (const RegionRow& group : kRegionGroups) PrintRegion("group", group);
    for (const HolidayRow& row : kHolidayTable) {
        const HolidayRule& rule = row.rule;
        std::cout << (row.celebration ? "celebration|" : "holiday|") << RegionKey(row.region) << '|' << row.key << '|'
                  << row.name << '|' << KindName(rule.kind) << '|' << rule.month << '|' << rule.day << '|'
                  << rule.daysAfterEaster << '|' << static_cast<int>(rule.weekday) << '|' << rule.nth << '|'
                  << row.since << '|' << row.until << '|' << rule.daysLater << '|' << rule.yieldsTo << '|'
                  << OnSundayName(rule.onSunday) << '\n';
    }
    return std::cout.flush() ? 0 : 1;
}
