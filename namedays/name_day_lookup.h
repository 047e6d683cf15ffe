#pragma once
// Which entry of the name-day list belongs to the selected date. The list is laid
// out for a leap year: position 0 is 1 January, 59 is 29 February, 60 is 1 March,
// 365 is 31 December; in a common year every date from 1 March on skips position 59.

#include <optional>
#include <string_view>

#include "calendar/serial_date.h"

namespace namedays {

// The position to show, decided by the leap-year line that the window shows for
// the selected year ("L'année 2024 est bissextile." or "L'année 2023 n'est pas
// bissextile."); std::nullopt when the line is neither sentence of that year (the
// window then leaves its name-day line as it is). A position outside -32768..32767
// (a selected date far from its year) raises calendar::OverflowError.
std::optional<int> NameDayPosition(std::string_view leapYearLine, calendar::Int16 year, calendar::Int16 month,
                                   calendar::SerialDate selected);

}  // namespace namedays
