#pragma once
// What the agendas ask of iCalendar files (RFC 5545), read by libical: the
// occurrences of their events in a window of days. The reading lives in a module
// of its own, `solvane-ical.so` beside the programs, that the gadget loads only
// when a source has events to read (ics_module.h): libical brings ICU along, whose
// loading and linking would cost the terminal, with or without an agenda, four
// times what `date` costs to start. Nothing of libical shows in this interface.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "agendas/event.h"

namespace agendas {

// Seconds since 1970-01-01 00:00 UTC, as calendar::UnixSeconds.
using Instant = std::int64_t;

// The local days [first, next) and the instants they span in the process's zone.
struct Window {
    LocalDate first, next;
    Instant start = 0, end = 0;
};

// One VALARM of an occurrence (RFC 5545 3.6.6), its TRIGGER resolved as far as the
// calendar alone can: an instant for an absolute trigger or a zoned occurrence; for a
// floating or whole-day occurrence, a wall time that the local zone makes an instant,
// then elapsed seconds after it. Its later firings (REPEAT) follow each
// `repeatSeconds` of elapsed time after the first.
struct OccurrenceAlarm {
    // ACTION: every kind is shown, none is sent or played.
    enum class Kind { Display, Audio, Email };
    int index = 0;  // its place among the VALARMs of the event that holds it
    Kind kind = Kind::Display;
    bool wall = false;
    Instant at = 0;             // the instant; for a wall one, the seconds after `atWall`
    LocalTime atWall;           // when `wall`
    int repeat = 0;             // REPEAT: the firings after the first
    Instant repeatSeconds = 0;  // DURATION between them
};

// One occurrence of an event. A time with a zone (TZID, or UTC) is an instant; a
// floating time (neither) and a date are read as the local clock and calendar
// show them. Its texts are the calendar's own, as written: they last as long as the
// calendar.
struct Occurrence {
    bool allDay = false;
    bool floating = false;                     // a timed occurrence without zone
    Instant startInstant = 0, endInstant = 0;  // when neither allDay nor floating
    LocalTime startWall, endWall;              // otherwise; all-day: `endWall` the day after the last
    std::string_view title;
    std::optional<std::string_view> location;
    // With its alarms, or when the calendar is read identified: the event's UID, and
    // the occurrence's RECURRENCE-ID as the calendar writes it, in the event's own
    // frame ("20261210T140000", "…Z" in UTC, "20261210" for a date; empty for an event
    // that does not repeat).
    std::string_view uid;
    std::string recurrence;
    // When `recurrence` is set, the start the series gives the occurrence before any
    // change: an instant when `recurrenceZoned`, otherwise a wall time (a date at 00:00).
    bool recurrenceZoned = false;
    Instant recurrenceInstant = 0;
    LocalTime recurrenceWall;
    std::vector<OccurrenceAlarm> alarms;
};

// The limits that keep a hostile calendar from holding up the gadget, for each
// window of days asked of one source.
inline constexpr std::size_t kMostEvents = 20'000;          // VEVENTs in one source
inline constexpr std::size_t kMostOccurrences = 10'000;     // occurrences in one window
inline constexpr std::size_t kMostRuleSteps = 50'000;       // steps of one RRULE in one window
inline constexpr std::size_t kMostWindowSteps = 2'000'000;  // steps of all RRULEs of a source in one window
inline constexpr double kMostWindowSeconds = 1.0;           // processor time of one source's window

struct Expansion {
    std::vector<Occurrence> occurrences;
    std::vector<std::string> problems;  // French, one a kind: « … n'est pas répétée au-delà de … »
};

// A calendar read once, whose occurrences are computed per window.
class IcsCalendar {
public:
    virtual ~IcsCalendar() = default;
    // X-WR-CALNAME, or empty.
    virtual std::string Name() const = 0;
    // What was wrong in the text, French sentences (a truncated file, too many events).
    virtual std::vector<std::string> Problems() const = 0;
    // Gives `take` each occurrence that lasts into the window (and possibly a few
    // around it), one after another, without keeping them; returns the problems met.
    // A busy month holds thousands: none is copied on the way.
    using Take = std::function<void(const Occurrence&)>;
    virtual std::vector<std::string> EachOccurrence(const Window& window, const Take& take) const = 0;
    // The same occurrences, kept together.
    Expansion Expand(const Window& window) const {
        Expansion expansion;
        expansion.problems =
            EachOccurrence(window, [&](const Occurrence& occurrence) { expansion.occurrences.push_back(occurrence); });
        return expansion;
    }
};

class IcsReader {
public:
    virtual ~IcsReader() = default;
    // The calendar of the text; `only`, when given, lets the reading skip the events
    // that cannot touch its days; `identified` has every occurrence carry its UID and
    // RECURRENCE-ID (a calendar the gadget may change: others do without their
    // memory). None when the text is no iCalendar at all, with the reason in `problem`.
    virtual std::unique_ptr<IcsCalendar> Read(std::string_view text, const std::optional<Window>& only, bool identified,
                                              std::string& problem) const = 0;
};

}  // namespace agendas
