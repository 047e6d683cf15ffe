#include "namedays/name_day_lookup.h"

#include <cstdint>

#include "calendar/numbers.h"

namespace namedays {

std::optional<int> NameDayPosition(std::string_view leapYearLine, calendar::Int16 year, calendar::Int16 month,
                                   calendar::SerialDate selected) {
    // The window has already said whether the year is a leap year; the lookup
    // trusts that line rather than deciding again, and a line of another year (or
    // the label's first text) leaves the name day as it is.
    const std::string yearText = calendar::NumberText(year.value());
    const bool commonYear = leapYearLine == "L'année " + yearText + " n'est pas bissextile.";
    const bool leapYear = leapYearLine == "L'année " + yearText + " est bissextile.";
    if (!commonYear && !leapYear) return std::nullopt;

    const calendar::SerialDate firstOfJanuary = calendar::MakeDate(year, 1, 1);
    std::int64_t position = calendar::DayDiff(firstOfJanuary, selected);
    // The list is laid out for a leap year: in a common year every date from
    // 1 March on steps over the 29 February entry.
    if (commonYear && month.value() >= 3) position += 1;
    return calendar::ToInteger(static_cast<double>(position)).value();
}

std::optional<std::string_view> NameDayAt(const std::vector<std::string>& list, int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= list.size()) return std::nullopt;
    return list[static_cast<std::size_t>(position)];
}

}  // namespace namedays
