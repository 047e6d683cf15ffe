// The system clock in local time, and the seam that tests put in its place. The
// one file of the calendar that asks the operating system for something.

#include <chrono>
#include <cmath>
#include <ctime>
#include <optional>

#include "calendar/serial_date.h"

namespace calendar {

namespace {

using std::chrono::milliseconds;
using std::chrono::system_clock;

// Only one of the two is set at a time; neither: the system clock.
std::optional<SerialDate> fixedClock;
std::optional<milliseconds> runningClockShift;  // added to the system clock

struct ClockReading {
    SerialDate wholeSecond;  // local date and time, to the second
    int millisecond;         // [0, 999] into that second
};

ClockReading ReadClock(system_clock::time_point now) {
    const auto second = std::chrono::floor<std::chrono::seconds>(now);
    const std::time_t sinceEpoch = system_clock::to_time_t(second);
    // localtime_r, unlike localtime, need not look at the zone again; tzset does,
    // and rereads the zone's file only when it has changed.
    tzset();
    std::tm local{};
    if (localtime_r(&sinceEpoch, &local) == nullptr) throw OverflowError("heure locale hors limites");
    return {SerialOfClockReading(local), static_cast<int>((now - second) / milliseconds(1))};
}

ClockReading ReadClock() { return ReadClock(system_clock::now() + runningClockShift.value_or(milliseconds(0))); }

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
    runningClockShift.reset();
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
    runningClockShift = milliseconds(std::llround((inDays(from) - nowInDays) * 86'400'000.0));
}

}  // namespace calendar
