#include "agendas/event.h"

#include <chrono>
#include <exception>
#include <tuple>

#include "calendar/local_zone.h"

namespace agendas {

namespace {

std::chrono::sys_days DaysOf(LocalDate date) {
    return std::chrono::sys_days{std::chrono::year{date.year} / std::chrono::month{unsigned(date.month)} /
                                 std::chrono::day{unsigned(date.day)}};
}

LocalDate DateOfDays(std::chrono::sys_days days) {
    const std::chrono::year_month_day date{days};
    return {int(date.year()), int(unsigned(date.month())), int(unsigned(date.day()))};
}

}  // namespace

LocalDate NextDay(LocalDate date) { return DateOfDays(DaysOf(date) + std::chrono::days{1}); }

LocalDate PreviousDay(LocalDate date) { return DateOfDays(DaysOf(date) - std::chrono::days{1}); }

int DaysBetween(LocalDate from, LocalDate to) { return int((DaysOf(to) - DaysOf(from)).count()); }

std::optional<LocalTime> LocalOfInstant(std::int64_t instant) {
    try {
        const calendar::LocalReading local = calendar::LocalReadingOf(instant);
        return LocalTime{local.year, local.month, local.day, local.hour, local.minute};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<std::int64_t> InstantOfLocal(const LocalTime& wall) {
    try {
        const std::int64_t asUtc =
            calendar::UtcMidnightOf(wall.year, wall.month, wall.day) + wall.hour * 3600LL + wall.minute * 60LL;
        const int before = calendar::LocalReadingOf(asUtc - 86400).offsetSeconds;
        const std::int64_t first = asUtc - before;
        const int there = calendar::LocalReadingOf(first).offsetSeconds;
        if (there == before) return first;
        // The offset changed within the day before: the wall time is after the change,
        // unless the change skipped it.
        const std::int64_t after = asUtc - there;
        return calendar::LocalReadingOf(after).offsetSeconds == there ? after : first;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool Event::IsOn(LocalDate date) const {
    if (WholeDays()) return start.Date() <= date && date <= end.Date();
    const LocalTime dayStart{date.year, date.month, date.day, 0, 0};
    if (start == end) return start.Date() == date;
    const LocalDate next = NextDay(date);
    const LocalTime dayEnd{next.year, next.month, next.day, 0, 0};
    return start < dayEnd && end > dayStart;
}

bool ShownBefore(const Event& a, const Event& b) {
    if (a.WholeDays() != b.WholeDays()) return a.WholeDays();
    if (a.WholeDays()) return std::tie(a.title, a.start, a.agenda) < std::tie(b.title, b.start, b.agenda);
    return std::tie(a.start, a.end, a.title, a.agenda) < std::tie(b.start, b.end, b.title, b.agenda);
}

}  // namespace agendas
