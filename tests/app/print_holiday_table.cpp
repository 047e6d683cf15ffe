// Prints the holiday table and the regions, one row a line, fields split by "|", for
// the tests that check the program's output against the table without retyping it:
//   region|REGION-KEY|INHERITED-KEY (empty for a nation)
//   holiday|REGION-KEY|KEY|NAME|KIND|MONTH|DAY|DAYS-AFTER-EASTER|WEEKDAY|NTH|SINCE|UNTIL
// KIND is fixed, easter, nth or last; WEEKDAY counts from Sunday 1.

#include <iostream>

#include "calendar/holidays.h"

namespace {

const char* KindName(calendar::HolidayRule::Kind kind) {
    switch (kind) {
    case calendar::HolidayRule::Kind::FixedDate: return "fixed";
    case calendar::HolidayRule::Kind::FromEaster: return "easter";
    case calendar::HolidayRule::Kind::NthWeekday: return "nth";
    case calendar::HolidayRule::Kind::LastWeekday: return "last";
    }
    return "";
}

}  // namespace

int main() {
    using namespace calendar;
    for (const RegionRow& region : kRegionTable)
        std::cout << "region|" << region.key << '|' << (region.inherits ? RegionKey(*region.inherits) : "") << '\n';
    for (const HolidayRow& row : kHolidayTable) {
        const HolidayRule& rule = row.rule;
        std::cout << "holiday|" << RegionKey(row.region) << '|' << row.key << '|' << row.name << '|'
                  << KindName(rule.kind) << '|' << rule.month << '|' << rule.day << '|' << rule.daysAfterEaster << '|'
                  << static_cast<int>(rule.weekday) << '|' << rule.nth << '|' << row.since << '|' << row.until << '\n';
    }
    return std::cout.flush() ? 0 : 1;
}
