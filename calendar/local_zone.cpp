// The local zone's readings, from the C library's localtime_r, which reads the
// system's time-zone database (the TZ file, or /etc/localtime) and extends the last
// rule of a zone to every later year.

#include "calendar/local_zone.h"

#include <time.h>

#include <chrono>
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

}  // namespace calendar
