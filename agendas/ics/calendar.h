#pragma once
// A calendar as libical read it: each VEVENT's facts, kept without libical's tree
// (read.cpp makes them), and its occurrences in a window of days (expand.cpp).

#include <libical/ical.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "agendas/ics/rule_instances.h"
#include "agendas/ics/unread.h"
#include "agendas/ics/zones.h"
#include "agendas/ics_reader.h"

namespace agendas::ics {

// How an instant is compared with another: a zoned time by its UTC instant, a date
// or a floating time by its wall reading.
struct Key {
    bool zoned = false;
    long long value = 0;
    auto operator<=>(const Key&) const = default;
};

enum class TimeKind { Date, Floating, Zoned };

inline TimeKind KindOf(const icaltimetype& time) {
    if (time.is_date) return TimeKind::Date;
    return time.zone != nullptr || icaltime_is_utc(time) ? TimeKind::Zoned : TimeKind::Floating;
}

using agendas::WallSeconds;
using agendas::WallTime;

inline Key KeyOf(const icaltimetype& time) {
    if (KindOf(time) == TimeKind::Zoned) return {true, ZonedInstant(time)};
    return {false, WallSeconds(time)};
}

inline std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

// Wall arithmetic in the time's own frame; a date moves by whole days (toward the
// start for a part of a day).
inline icaltimetype AddSeconds(icaltimetype time, long long seconds) {
    const long long wall = WallSeconds(time) + (time.is_date ? seconds / 86400 * 86400 : seconds);
    icaltimetype moved = WallTime(wall, time.is_date != 0);
    moved.zone = time.zone;
    moved.is_daylight = time.is_daylight;
    return moved;
}

// How long an occurrence lasts. A DURATION of hours, minutes and seconds is exact
// time, added to the start's instant; days and weeks, and the span from DTSTART to
// DTEND, are wall time in the start's frame (RFC 5545 3.3.6).
struct Length {
    long long seconds = 0;  // for a date, whole days × 86,400
    bool exact = false;
};

// An RDATE: a start, and for a PERIOD its own length.
struct ExtraDate {
    icaltimetype start{};
    std::optional<Length> length;
};

// A replacement with RANGE=THISANDFUTURE: the instances from `from` on are moved by
// `shift` seconds of wall time and take the replacement's length and texts.
struct Future {
    Key from;
    long long shift = 0;
    std::size_t entry = 0;  // the replacement's
};

// What the instances of a repeated event need, which a single event does not.
struct Repetition {
    std::vector<std::string> rules;    // each RRULE's value as libical writes it
    std::vector<ExtraDate> dates;      // each RDATE, with its zone
    std::set<Key> excluded;            // EXDATE
    std::set<LocalDate> excludedDays;  // EXDATE given as dates, for a timed event
    std::set<Key> replaced;            // the RECURRENCE-IDs of its replacements
    std::vector<Future> futures;       // by `from`
};

// One VALARM as read once: its ACTION, its TRIGGER, relative (RELATED=START or END)
// or absolute, and its REPEAT and DURATION. A relative trigger's days and weeks are
// wall time in the event's frame, its hours, minutes and seconds elapsed time, as a
// DURATION is (RFC 5545 3.3.6).
struct AlarmRule {
    int index = 0;  // among the event's VALARMs
    OccurrenceAlarm::Kind kind = OccurrenceAlarm::Kind::Display;
    bool absolute = false;
    Instant at = 0;  // absolute: the instant
    bool fromEnd = false;
    long long nominalSeconds = 0, exactSeconds = 0;
    int repeat = 0;
    Instant repeatSeconds = 0;
};

// What an event with VALARMs needs to name and time them.
struct EntryAlarms {
    std::string uid;
    std::string recurrence;         // a replacement's RECURRENCE-ID, as the calendar writes it
    icaltimetype recurrenceTime{};  // and as a time, with its zone
    std::vector<AlarmRule> rules;
};

// One VEVENT as read once: its start, its length and what it is. Nothing of libical's
// tree of it is kept: a calendar of thousands of events weighs many times its text
// there, and would be held as long as the agenda.
struct Entry {
    icaltimetype start{};
    TimeKind kind = TimeKind::Floating;
    Length length;
    bool cancelled = false;  // STATUS:CANCELLED: not shown, nor the instance it replaces
    std::string title;
    std::optional<std::string> location;
    std::unique_ptr<Repetition> repetition;  // an RRULE or RDATE, in an event that replaces none
    std::unique_ptr<EntryAlarms> alarms;     // none without VALARM
};

// alarms.cpp: a date or date-time as iCalendar writes it ("20261210T140000", "…Z",
// "20261210"); the VALARMs of an event, none when it has none (unless `always`: an
// identified calendar names every event), `recurrence` its RECURRENCE-ID when it
// replaces an instance; and their firings for one occurrence,
// which begins at `start` and lasts `length`.
std::string WrittenTime(const icaltimetype& time);
std::unique_ptr<EntryAlarms> AlarmsOf(icalcomponent* event, const std::optional<icaltimetype>& recurrence, bool always);
void TimeAlarms(const Entry& entry, const EntryAlarms& alarms, const icaltimetype& start, const Length& length,
                Occurrence& occurrence);

// libical keeps its built-in zones in one list for the whole process, and each
// zone's changes grow as later years are asked: one reader at a time.
extern std::mutex libicalMutex;

class LibicalCalendar final : public IcsCalendar {
public:
    // `root` holds the zones that the events' TZIDs name; the events come after, by
    // Index, and Finish ends the reading.
    LibicalCalendar(icalcomponent* root, std::string name, std::vector<std::string> problems, std::size_t events,
                    bool identified)
        : root_(root), name_(std::move(name)), problems_(std::move(problems)), zones_(root), identified_(identified) {
        // Grown by doubling, each would hold up to three times what it keeps.
        entries_.reserve(events);
        masters_.reserve(events);
    }
    ~LibicalCalendar() override {
        const std::lock_guard lock(libicalMutex);
        counted_.clear();
        ForgetZoneDays();
        icalcomponent_free(root_);
    }
    LibicalCalendar(const LibicalCalendar&) = delete;
    LibicalCalendar& operator=(const LibicalCalendar&) = delete;

    std::string Name() const override { return name_; }
    std::vector<std::string> Problems() const override { return problems_; }
    std::vector<std::string> EachOccurrence(const Window& window, const Take& take) const override;

    // Makes the entries of the VEVENTs in `events` (a batch, or the root itself),
    // which the caller then frees.
    void Index(icalcomponent* events);
    // The replacements given to their masters, and the values left out said.
    void Finish();

private:
    std::optional<icaltimetype> TimeOf(icalcomponent* event, icalproperty_kind kind);
    icaltimetype WithZone(icaltimetype time, icalproperty* property);
    void IndexRepetition(icalcomponent* event, Entry& entry);
    // What one window gives, and how (expand.cpp).
    struct Giving;
    class WindowWalls;
    // `startKey`, when given, is KeyOf(start).
    void AddOccurrence(const Entry& entry, const Entry& look, const icaltimetype& start, const Length& length,
                       const Window& window, Giving& out, const icaltimetype* recurrence = nullptr,
                       const Key* startKey = nullptr) const;
    void ExpandRepeats(std::size_t at, const Window& window, WindowWalls& walls, Giving& out) const;

    icalcomponent* root_;
    std::string name_;
    std::vector<std::string> problems_;
    ZoneNames zones_;
    bool identified_;
    std::vector<Entry> entries_;
    // While the events are read: the events that are no replacement, by UID (sorted at
    // Finish), the replacements, what libical left out.
    std::vector<std::pair<std::string, std::size_t>> masters_;
    struct Replacement {
        std::string uid;
        icaltimetype id{};
        bool future = false;  // RANGE=THISANDFUTURE
        std::size_t entry = 0;
    };
    std::vector<Replacement> replacements_;
    UnreadValues unread_;
    // The instances of each rule with COUNT, by their wall time in the start's frame,
    // listed from DTSTART as far as a window has asked. A periodic rule's list ends
    // once its instances come back a period later: the later ones are reckoned from
    // its last period. The lists are taken from listedBudget_; a rule whose list
    // would exceed it is walked from DTSTART at each window instead.
    struct Counted {
        std::vector<long long> instances;
        std::unique_ptr<RuleInstances> walk;  // from DTSTART, once a window asks, to the list's end
        std::size_t steps = 0;
        bool ended = false;
        bool cut = false;                      // more steps than kMostRuleSteps
        bool unlisted = false;                 // over the budget
        long long period = 0;                  // when the list ends in whole periods: their length in seconds,
        std::size_t perPeriod = 0, count = 0;  // the instances of each, and the rule's COUNT
        // Lists the instances up to the wall time `to`, or to the end, taking each from
        // `budget`.
        void Reach(const Entry& entry, icalrecurrencetype rule, long long to, std::size_t& budget);
        // Gives `offer` each instance of [from, to] in turn, while it answers true.
        template <typename Offer>
        void Each(long long from, long long to, const Offer& offer) const;
    };
    // By entry and rule.
    mutable std::map<std::pair<std::size_t, std::size_t>, Counted> counted_;
    // The entries a window looks at, found at the first window: the repeated ones and
    // those of more than kShortSpan, and the others by the start of their span (an
    // instant when zoned, a wall time otherwise), so that a window passes over the
    // thousands of events that miss it without reading them or their zones.
    struct Span {
        long long start = 0;
        std::size_t entry = 0;
        auto operator<=>(const Span&) const = default;
    };
    struct WindowIndex {
        std::vector<std::size_t> always;
        std::vector<Span> zoned, walled;  // by start
    };
    static constexpr long long kShortSpan = 8 * 86400;
    void MakeWindowIndex() const;
    // The entries that may have occurrences in the window, in the calendar's order.
    std::vector<std::size_t> EntriesFor(const Window& window) const;
    mutable std::optional<WindowIndex> index_;
    // The instances of each rule without COUNT over a year around the windows asked,
    // by their wall time in the start's frame: the windows of the next months take
    // theirs from the list, without an iterator of their own (an ICU calendar opened,
    // its place found again from the window's start). A rule with more instances than
    // kMostListed in the window and the days around it, or once the calendar's lists
    // hold kMostListedInstances, is walked at each window as a rule is without one.
    struct Listed {
        long long from = 0, to = -1;  // every instance in [from, to] is listed
        std::vector<long long> instances;
        bool dense = false;
        bool Covers(long long lower, long long upper) const { return from <= lower && upper <= to; }
        // Lists the instances of [lower, upper] and, as far as the year after (or
        // before, for a window before those listed), more; `budget` is what the
        // calendar's lists may still hold, and what this one takes is taken from it.
        void List(const Entry& entry, const icalrecurrencetype& rule, long long lower, long long upper,
                  std::size_t& budget);
    };
    mutable std::map<std::pair<std::size_t, std::size_t>, Listed> listed_;
    mutable std::size_t listedBudget_ = kMostListedInstances;
    static constexpr std::size_t kMostListed = 1'024;
    static constexpr std::size_t kMostListedInstances = 131'072;  // 1 MB for the whole calendar
};

}  // namespace agendas::ics
