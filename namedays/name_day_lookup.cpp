#include "namedays/name_day_lookup.h"

#include <cstdint>

#include "calendar/numbers.h"

namespace namedays {

int NameDayPosition(bool leapYear, calendar::Int16 year, calendar::Int16 month, calendar::SerialDate selected) {
    const calendar::SerialDate firstOfJanuary = calendar::MakeDate(year, 1, 1);
    std::int64_t position = calendar::DayDiff(firstOfJanuary, selected);
    // The list is laid out for a leap year: in a common year every date from
    // 1 March on steps over the 29 February entry.
    if (!leapYear && month.value() >= 3) position += 1;
    return calendar::ToInteger(static_cast<double>(position)).value();
}

}  // namespace namedays
