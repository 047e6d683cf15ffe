// The system clock in local time, and the seam that tests put in its place. The
// one file of the calendar that asks the operating system for something.

#include <time.h>

#include <cmath>
#include <cstdint>
#include <ctime>
#include <optional>

#include "calendar/serial_date.h"

namespace calendar {

namespace {

// Only one of the two is set at a time; neither: the system clock.
std::optional<SerialDate> fixedClock;
std::optional<std::int64_t> runningClockShiftMs;  // added to the system clock

// The wall clock as the system keeps it: whole seconds since 1970 in a 64-bit
// time_t, and the nanoseconds into that second. std::chrono::system_clock counts
// 64-bit nanoseconds instead, which overflow outside the years 1677 to 2262; the
// seconds of a time_t hold every year from 100 to 9999 many times over.
struct WallTime {
    std::time_t second;
    long nanosecond;  // [0, 999'999'999]
};

WallTime ReadWallTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);  // never fails for this clock
    // tv_nsec stays in [0, 1e9) before 1970 too: tv_sec is the floor of the time.
    WallTime time{now.tv_sec, now.tv_nsec};
    if (runningClockShiftMs) {
        const std::int64_t shiftSeconds = *runningClockShiftMs / 1000;  // toward zero
        time.second += static_cast<std::time_t>(shiftSeconds);
        time.nanosecond += static_cast<long>((*runningClockShiftMs - shiftSeconds * 1000) * 1'000'000);  // (-1e9, 2e9)
        if (time.nanosecond < 0) {
            time.nanosecond += 1'000'000'000;
            --time.second;
        } else if (time.nanosecond >= 1'000'000'000) {
            time.nanosecond -= 1'000'000'000;
            ++time.second;
        }
    }
    return time;
}

struct ClockReading {
    SerialDate wholeSecond;  // local date and time, to the second
    int millisecond;         // [0, 999] into that second
};

ClockReading ReadClock() {
    const WallTime now = ReadWallTime();
    // localtime_r, unlike localtime, need not look at the zone again; tzset does,
    // and rereads the zone's file only when it has changed.
    tzset();
    std::tm local{};
    if (localtime_r(&now.second, &local) == nullptr) throw OverflowError("heure locale hors limites");
    return {SerialOfClockReading(local), static_cast<int>(now.nanosecond / 1'000'000)};
}

}  // namespace

SerialDate CurrentDateTime() {
    if (fixedClock) return *fixedClock;
    return ReadClock().wholeSecond;
}

int MillisecondsToNextSecond() {
    if (fixedClock) return 1000;
    return 1000 - ReadClock().millisecond;
}

void SetFixedClock(std::optional<SerialDate> fixedTime) {
    fixedClock = fixedTime;
    runningClockShiftMs.reset();
}

void SetRunningClock(SerialDate from) {
    SetFixedClock(std::nullopt);
    // Days and their times counted on one line, before 1899 too.
    const auto inDays = [](SerialDate date) {
        const DayAndTime parts = DayAndTimeOf(date);
        return static_cast<double>(parts.day) + parts.timeOfDay;
    };
    const ClockReading now = ReadClock();
    const double nowInDays = inDays(now.wholeSecond) + now.millisecond / 86'400'000.0;
    runningClockShiftMs = std::llround((inDays(from) - nowInDays) * 86'400'000.0);
}

}  // namespace calendar
