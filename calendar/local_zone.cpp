// The local zone's readings, from the C library's localtime_r, which reads the
// system's time-zone database (the TZ file, or /etc/localtime) and extends the last
// rule of a zone to every later year.

#include "calendar/local_zone.h"

#include <time.h>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace calendar {

LocalReading LocalReadingOf(UnixSeconds instant) {
    const auto seconds = static_cast<std::time_t>(instant);
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) throw OverflowError("heure locale hors limites");
    return {.year = local.tm_year + 1900,
            .month = local.tm_mon + 1,
            .day = local.tm_mday,
            .hour = local.tm_hour,
            .minute = local.tm_min,
            .second = local.tm_sec,
            .offsetSeconds = static_cast<int>(local.tm_gmtoff),
            .summerTime = local.tm_isdst > 0};
}

void RefreshLocalZone() { tzset(); }

UnixSeconds UtcMidnightOf(int year, int month, int day) {
    using namespace std::chrono;
    const sys_days date{std::chrono::year{year} / month / day};
    return date.time_since_epoch().count() * UnixSeconds{86'400};
}

namespace {

// The first instant whose local date is the given date or a later one. Offsets stay
// within a day of UTC, so it lies within a day and a half of 00:00 UTC that day; local
// dates never go back as instants go forward, so halving the interval finds it.
UnixSeconds FirstInstantOfLocalDate(int year, int month, int day) {
    const auto before = [&](UnixSeconds instant) {
        const LocalReading local = LocalReadingOf(instant);
        if (local.year != year) return local.year < year;
        if (local.month != month) return local.month < month;
        return local.day < day;
    };
    const UnixSeconds midnight = UtcMidnightOf(year, month, day);
    UnixSeconds low = midnight - 129'600, high = midnight + 129'600;  // before(low), !before(high)
    while (high - low > 1) {
        const UnixSeconds middle = low + (high - low) / 2;
        if (before(middle))
            low = middle;
        else
            high = middle;
    }
    return high;
}

}  // namespace

LocalDay LocalDayOf(int year, int month, int day) {
    using namespace std::chrono;
    const year_month_day next{sys_days{std::chrono::year{year} / month / day} + days{1}};
    return {.start = FirstInstantOfLocalDate(year, month, day),
            .end = FirstInstantOfLocalDate(int(next.year()), int(unsigned(next.month())), int(unsigned(next.day())))};
}

std::string ClockText(int hour, int minute, std::string_view separator) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d%.*s%02d", hour, static_cast<int>(separator.size()), separator.data(),
                  minute);
    return text;
}

}  // namespace calendar
