#pragma once
// The user's own events, as the gadget shows them: read from the user's calendars
// and contacts (agenda.h), each at its local date and time in the process's time
// zone, with its title, its place and the name of the agenda it comes from.

#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace agendas {

// A local date, and a local time of the day on it.
struct LocalDate {
    int year = 0, month = 0, day = 0;
    auto operator<=>(const LocalDate&) const = default;
};
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    auto operator<=>(const LocalTime&) const = default;
    LocalDate Date() const { return {year, month, day}; }
};

// The day after, and the day before: Gregorian, whatever the zone.
LocalDate NextDay(LocalDate date);
LocalDate PreviousDay(LocalDate date);
// The number of days from `from` to `to`, negative when `to` is earlier.
int DaysBetween(LocalDate from, LocalDate to);

// The instant (seconds since 1970 UTC) a local wall time stands for in the process's
// zone: one that a change of time skips is moved forward by the gap, one that it
// repeats is the first, as a calendar's own zoned times are (RFC 5545 3.3.5). None
// beyond the zone's range; and back, the wall time of an instant.
std::optional<std::int64_t> InstantOfLocal(const LocalTime& wall);
std::optional<LocalTime> LocalOfInstant(std::int64_t instant);

// One firing of one VALARM of an event's occurrence, at an instant (seconds since
// 1970 UTC), and what the event needs to name and show it.
struct EventAlarm {
    enum class Kind { Display, Audio, Email };  // ACTION
    int index = 0;                              // the alarm's place among the event's VALARMs
    int repetition = 0;                         // 0 for the trigger, then each REPEAT
    Kind kind = Kind::Display;
    std::int64_t fires = 0;
};
struct EventAlarms {
    std::string uid;
    std::string recurrence;     // the occurrence's RECURRENCE-ID as the calendar writes it; empty for a single event
    std::int64_t startsAt = 0;  // the occurrence's start; for whole days, their first second
    std::vector<EventAlarm> alarms;  // by index, then repetition
};

// Where an event of a calendar the gadget may change is written: its calendar (the
// source's location), its file, its UID, and for an occurrence of a repeated event
// the start the series gives it before any change (its RECURRENCE-ID, in local time).
struct EventOrigin {
    std::string calendar;
    std::string file;
    std::string uid;
    std::optional<LocalTime> occurrence;
};

struct Event {
    enum class Kind {
        Timed,     // from a local time to another, on one day or across several
        AllDay,    // whole days: `start` the first at 00:00, `end` the last at 00:00
        Birthday,  // a whole day, the birthday of a contact; `title` says whose
    };
    Kind kind = Kind::Timed;
    LocalTime start, end;
    std::string title;  // shown as it is: its control characters are blanks
    std::optional<std::string> location;
    std::string agenda;  // the name of its agenda
    // Its reminders, shared by the days it is on; none without VALARM.
    std::shared_ptr<const EventAlarms> alarms;
    // Only in a calendar marked « modifiable »: the others do without its memory.
    std::shared_ptr<const EventOrigin> origin = nullptr;

    bool WholeDays() const { return kind != Kind::Timed; }
    // Whether the event is on the local date `date`: a timed one when it lasts into
    // that date (one that ends at 00:00 is not on the next date; one without length
    // is on the date of its start), whole days from the first to the last.
    bool IsOn(LocalDate date) const;
};

// Events in the order a day lists them: whole days first (in the order of their
// titles), then timed ones by start, end and title.
bool ShownBefore(const Event& a, const Event& b);

}  // namespace agendas
