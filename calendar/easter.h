#pragma once

#include "calendar/serial_date.h"

namespace calendar {

// Easter Sunday of a Gregorian year (years 1583 to 9999), a whole day.
SerialDate EasterSunday(Int16 year);

}  // namespace calendar
