#include "calendar/time_change.h"

#include "calendar/local_zone.h"

namespace calendar {

namespace {

// No two changes of a zone fall within an hour of each other, so a step of an hour
// sees every change; the exact second is then found by halving.
constexpr UnixSeconds kStep = 3'600;
// Offsets stay within ±16 h (the local mean times of the 19th century included): the
// instants whose local date is the day lie within 16 h of its 00:00 and 24:00 UTC.
constexpr UnixSeconds kReach = 16 * 3'600;

// The first second of (from, to] whose offset differs from that of `from`.
UnixSeconds FirstSecondAfterChange(UnixSeconds from, UnixSeconds to, int offsetAtFrom) {
    while (to - from > 1) {
        const UnixSeconds middle = from + (to - from) / 2;
        if (LocalReadingOf(middle).offsetSeconds == offsetAtFrom)
            from = middle;
        else
            to = middle;
    }
    return to;
}

std::string ClockTime(int hour, int minute) {
    std::string text = std::to_string(hour) + " h";
    if (minute != 0) text += (minute < 10 ? " 0" : " ") + std::to_string(minute);
    return text;
}

}  // namespace

std::optional<TimeChange> TimeChangeOn(int year, int month, int day) {
    RefreshLocalZone();
    const UnixSeconds midnight = UtcMidnightOf(year, month, day);
    UnixSeconds previous = midnight - kReach;
    int previousOffset = LocalReadingOf(previous).offsetSeconds;
    for (UnixSeconds probe = previous + kStep; probe <= midnight + 86'400 + kReach; probe += kStep) {
        const LocalReading reading = LocalReadingOf(probe);
        if (reading.offsetSeconds != previousOffset) {
            const UnixSeconds change = FirstSecondAfterChange(previous, probe, previousOffset);
            const LocalReading before = LocalReadingOf(change - 1);
            const LocalReading after = LocalReadingOf(change);
            // The wall time the clock would reach, one second after its last reading.
            const UnixSeconds reached = change + before.offsetSeconds;
            const UnixSeconds reachedDay = (reached >= 0 ? reached : reached - 86'399) / 86'400;
            if (reachedDay * 86'400 == midnight) {
                const int reachedSecond = static_cast<int>(reached - reachedDay * 86'400);
                return TimeChange{.hourBefore = reachedSecond / 3'600,
                                  .minuteBefore = reachedSecond / 60 % 60,
                                  .hourAfter = after.hour,
                                  .minuteAfter = after.minute,
                                  .forward = after.offsetSeconds > before.offsetSeconds,
                                  .summerTimeChanges = after.summerTime != before.summerTime};
            }
        }
        previous = probe;
        previousOffset = reading.offsetSeconds;
    }
    return std::nullopt;
}

std::string TimeChangeSentence(const TimeChange& change) {
    const std::string times = "à " + ClockTime(change.hourBefore, change.minuteBefore) + " il est " +
                              ClockTime(change.hourAfter, change.minuteAfter);
    if (!change.summerTimeChanges) return "Changement d'heure : " + times;
    return std::string(change.forward ? "Passage à l'heure d'été : " : "Passage à l'heure d'hiver : ") + times;
}

}  // namespace calendar
