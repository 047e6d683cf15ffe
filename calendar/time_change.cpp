#include "calendar/time_change.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "calendar/local_zone.h"

namespace calendar {

namespace {

constexpr UnixSeconds kDay = 86'400;
// Offsets stay within ±16 h (the local mean times of the 19th century included): the
// first instant of a local day lies within 16 h of that date's 00:00 UTC.
constexpr UnixSeconds kReach = 16 * 3'600;
// No two changes of a zone fall within an hour of each other, so a step of an hour
// sees every change; the exact second is then found by halving.
constexpr UnixSeconds kStep = 3'600;

// A stretch of one offset, from `begin` to the next stretch's.
struct Stretch {
    UnixSeconds begin = 0;
    int offsetSeconds = 0;
};

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

// The stretches from `from` to `to`, a whole number of steps later.
std::vector<Stretch> StretchesOf(UnixSeconds from, UnixSeconds to) {
    std::vector<Stretch> stretches{{.begin = from, .offsetSeconds = LocalReadingOf(from).offsetSeconds}};
    for (UnixSeconds probe = from + kStep; probe <= to; probe += kStep) {
        const int offset = LocalReadingOf(probe).offsetSeconds;
        if (offset != stretches.back().offsetSeconds) {
            const UnixSeconds change = FirstSecondAfterChange(probe - kStep, probe, stretches.back().offsetSeconds);
            stretches.push_back({.begin = change, .offsetSeconds = offset});
        }
    }
    return stretches;
}

// The first instant whose wall time (read as seconds since 1970-01-01 00:00) is `wall`
// or later: the wall time grows within each stretch, so the first stretch that reaches
// it holds that instant, at its beginning or where its offset puts `wall`.
UnixSeconds FirstInstantAtOrAfter(UnixSeconds wall, const std::vector<Stretch>& stretches) {
    for (std::size_t i = 0; i + 1 < stretches.size(); ++i) {
        const UnixSeconds candidate = std::max(stretches[i].begin, wall - stretches[i].offsetSeconds);
        if (candidate < stretches[i + 1].begin) return candidate;
    }
    return std::max(stretches.back().begin, wall - stretches.back().offsetSeconds);
}

std::string ClockTime(int seconds) {
    const int inDay = static_cast<int>((seconds % kDay + kDay) % kDay);  // [0, 86 399]
    const int hour = inDay / 3'600, minute = inDay / 60 % 60;
    std::string text = std::to_string(hour) + " h";
    if (minute != 0) text += (minute < 10 ? " 0" : " ") + std::to_string(minute);
    return text;
}

// A wall time of the day, with the day before or after named where it lies there.
std::string WallTime(int seconds, bool midnightAsWord) {
    if (midnightAsWord && (seconds == 0 || seconds == kDay)) return "minuit";
    if (seconds < 0) return ClockTime(seconds) + " la veille";
    if (seconds >= kDay) return ClockTime(seconds) + " le lendemain";
    return ClockTime(seconds);
}

}  // namespace

std::optional<TimeChange> TimeChangeOn(int year, int month, int day) {
    RefreshLocalZone();
    const UnixSeconds midnight = UtcMidnightOf(year, month, day);
    const UnixSeconds from = midnight - kReach;
    const UnixSeconds to = midnight + kDay + kReach;
    // A zone's changes lie days apart (the closest two in the database, four days), so
    // an offset that is the same at both ends of these 56 hours held throughout: the
    // day has 24 hours. Most days end here, after two readings.
    if (LocalReadingOf(from).offsetSeconds == LocalReadingOf(to).offsetSeconds) return std::nullopt;

    const std::vector<Stretch> stretches = StretchesOf(from, to);
    const UnixSeconds start = FirstInstantAtOrAfter(midnight, stretches);
    const UnixSeconds end = FirstInstantAtOrAfter(midnight + kDay, stretches);
    if (end - start == kDay) return std::nullopt;
    // The change that made the day longer or shorter lies within it, or at one of its
    // ends where the clock jumps over a midnight.
    for (std::size_t i = 1; i < stretches.size(); ++i) {
        const UnixSeconds change = stretches[i].begin;
        if (change < start || change > end) continue;
        const LocalReading before = LocalReadingOf(change - 1);
        const LocalReading after = LocalReadingOf(change);
        return TimeChange{.wallBefore = static_cast<int>(change + before.offsetSeconds - midnight),
                          .wallAfter = static_cast<int>(change + after.offsetSeconds - midnight),
                          .summerTimeChanges = after.summerTime != before.summerTime};
    }
    return std::nullopt;
}

std::string TimeChangeSentence(const TimeChange& change) {
    // A skipped date goes from its 00:00 to the next one's: « à minuit il est 0 h le
    // lendemain »; any other midnight reads as the word.
    const bool skippedDate = change.wallBefore == 0 && change.wallAfter == kDay;
    const std::string times =
        "à " + WallTime(change.wallBefore, true) + " il est " + WallTime(change.wallAfter, !skippedDate);
    if (!change.summerTimeChanges) return "Changement d'heure : " + times;
    const bool forward = change.wallAfter > change.wallBefore;
    return std::string(forward ? "Passage à l'heure d'été : " : "Passage à l'heure d'hiver : ") + times;
}

}  // namespace calendar
