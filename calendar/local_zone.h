#pragma once
// The user's time zone as the system's time-zone database describes it: the local
// reading of an instant. With system_clock.cpp, the part of the calendar that asks
// the operating system; it follows the process's TZ, read again at each call.

#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/serial_date.h"

namespace calendar {

// Seconds since 1970-01-01 00:00 UTC, without leap seconds, as time_t counts them.
using UnixSeconds = std::int64_t;

struct LocalReading {
    int year = 0, month = 0, day = 0;  // the local date
    int hour = 0, minute = 0, second = 0;
    int offsetSeconds = 0;    // local time minus UTC
    bool summerTime = false;  // the database marks the time as daylight-saving
};

// The local reading of an instant; OverflowError where the system has none.
LocalReading LocalReadingOf(UnixSeconds instant);

// Rereads the zone (TZ or the system's) when it has changed: LocalReadingOf does not.
void RefreshLocalZone();

// The UTC instant of 00:00 UTC on a Gregorian date: no zone, only the calendar.
UnixSeconds UtcMidnightOf(int year, int month, int day);

// A local date as instants: its first second, and the first second of the next date.
// Most local days last 24 hours, a day the clock is put forward or back 23 or 25, and
// a day a zone changed its offset by another amount, as long as the change; a date the
// zone skipped (Pacific/Apia, 30 December 2011) starts where it ends.
struct LocalDay {
    UnixSeconds start = 0, end = 0;
};

// The local date's instants in the process's zone, as LocalReadingOf reads it.
LocalDay LocalDayOf(int year, int month, int day);

// A local time of the day as the almanac's lines write it, « 08 h 00 » with the
// separator " h ", and as JSON gives it, "08:00" with ":".
std::string ClockText(int hour, int minute, std::string_view separator);

}  // namespace calendar
