#include "namedays/name_day_lookup.h"

#include <cstdint>

#include "calendar/leap_year.h"
#include "calendar/numbers.h"

namespace namedays {

std::optional<int> NameDayPosition(std::string_view leapYearLine, calendar::Int16 year, calendar::Int16 month,
                                   calendar::SerialDate selected) {
    // The window has already said whether the year is a leap year; the lookup
    // trusts that line rather than deciding again, and a line of another year (or
    // the label's first text) leaves the name day as it is.
    const bool commonYear = leapYearLine == calendar::LeapYearSentence(year, false);
    const bool leapYear = leapYearLine == calendar::LeapYearSentence(year, true);
    if (!commonYear && !leapYear) return std::nullopt;

    const calendar::SerialDate firstOfJanuary = calendar::MakeDate(year, 1, 1);
    std::int64_t position = calendar::DayDiff(firstOfJanuary, selected);
    // The list is laid out for a leap year: in a common year every date from
    // 1 March on steps over the 29 February entry.
    if (commonYear && month.value() >= 3) position += 1;
    return calendar::ToInteger(static_cast<double>(position)).value();
}

}  // namespace namedays
