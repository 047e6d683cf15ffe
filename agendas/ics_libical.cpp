// iCalendar read by libical: its parser, its time zones (a VTIMEZONE of the file, or
// for a TZID without one an IANA name from the system's zoneinfo, which Debian's
// libical reads), and its recurrence iterator for each RRULE, given only rules that
// rule_guard.h lets through. Every occurrence is computed by libical; this file
// gathers them: DTSTART, RRULE and RDATE, less EXDATE and the instances that a
// RECURRENCE-ID replaces, within the window asked.

#include "agendas/ics_libical.h"

#include <libical/ical.h>
#include <time.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <tuple>

#include "agendas/ics_blocks.h"
#include "agendas/ics_unread.h"
#include "agendas/rule_guard.h"

namespace agendas {

namespace {

// How an instant is compared with another: a zoned time by its UTC instant, a date
// or a floating time by its wall reading.
struct Key {
    bool zoned = false;
    long long value = 0;
    auto operator<=>(const Key&) const = default;
};

enum class TimeKind { Date, Floating, Zoned };

TimeKind KindOf(const icaltimetype& time) {
    if (time.is_date) return TimeKind::Date;
    return time.zone != nullptr || icaltime_is_utc(time) ? TimeKind::Zoned : TimeKind::Floating;
}

long long WallSeconds(const icaltimetype& time) {
    icaltimetype wall = time;
    wall.zone = nullptr;
    return (long long)icaltime_as_timet(wall);
}

long long InstantOf(const icaltimetype& time) {
    if (icaltime_is_utc(time)) return (long long)icaltime_as_timet(time);
    return (long long)icaltime_as_timet_with_zone(time, time.zone);
}

Key KeyOf(const icaltimetype& time) {
    if (KindOf(time) == TimeKind::Zoned) return {true, InstantOf(time)};
    return {false, WallSeconds(time)};
}

LocalTime LocalOf(const icaltimetype& time) {
    return {time.year, time.month, time.day, time.is_date ? 0 : time.hour, time.is_date ? 0 : time.minute};
}

icaltimezone* ZoneNamed(icalcomponent* root, const char* tzid) {
    if (tzid == nullptr || *tzid == '\0') return nullptr;
    if (icaltimezone* zone = icalcomponent_get_timezone(root, tzid)) return zone;
    if (icaltimezone* zone = icaltimezone_get_builtin_timezone(tzid)) return zone;
    return icaltimezone_get_builtin_timezone_from_tzid(tzid);
}

// A date or date-time value with the zone its TZID names (none for an unknown one,
// which reads as floating).
icaltimetype WithZone(icaltimetype time, icalproperty* property, icalcomponent* root) {
    if (time.is_date || icaltime_is_utc(time)) return time;
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    time.zone = tzid ? ZoneNamed(root, icalparameter_get_tzid(tzid)) : nullptr;
    return time;
}

std::optional<icaltimetype> TimeOf(icalcomponent* event, icalproperty_kind kind, icalcomponent* root) {
    icalproperty* property = icalcomponent_get_first_property(event, kind);
    if (property == nullptr) return std::nullopt;
    icalvalue* value = icalproperty_get_value(property);
    if (value == nullptr) return std::nullopt;
    const icalvalue_kind valueKind = icalvalue_isa(value);
    if (valueKind != ICAL_DATETIME_VALUE && valueKind != ICAL_DATE_VALUE) return std::nullopt;
    const icaltimetype time = icalvalue_get_datetime(value);
    if (icaltime_is_null_time(time) || !icaltime_is_valid_time(time)) return std::nullopt;
    return WithZone(time, property, root);
}

// Wall arithmetic in the time's own frame; a date moves by whole days.
icaltimetype AddSeconds(icaltimetype time, long long seconds) {
    if (time.is_date) {
        icaltime_adjust(&time, int(seconds / 86400), 0, 0, 0);
    } else {
        icaltime_adjust(&time, int(seconds / 86400), 0, 0, int(seconds % 86400));
    }
    return time;
}

// libical keeps its built-in zones in one list for the whole process, and each
// zone's changes grow as later years are asked: one reader at a time.
std::mutex libicalMutex;

// What rule_guard.h says of each RRULE, by its text, for every calendar read (under
// libicalMutex): the same rule in many events, or read again, is judged once.
constexpr std::size_t kMostRememberedRules = 10'000;
std::map<std::string, std::string> refusals;

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

// What the instances of a repeated event need, which a single event does not.
struct Repetition {
    std::vector<std::string> rules;    // each RRULE's value as libical writes it
    std::vector<icaltimetype> dates;   // each RDATE's start, with its zone
    std::set<Key> excluded;            // EXDATE
    std::set<LocalDate> excludedDays;  // EXDATE given as dates, for a timed event
    std::set<Key> replaced;            // the RECURRENCE-IDs of its replacements
};

// One VEVENT as read once: its start, its length and what it is. Nothing of libical's
// tree of it is kept: a calendar of thousands of events weighs many times its text
// there, and would be held as long as the agenda.
struct Entry {
    icaltimetype start{};
    TimeKind kind = TimeKind::Floating;
    long long length = 0;    // seconds of wall time in the start's frame; for a date, whole days × 86,400
    bool cancelled = false;  // STATUS:CANCELLED: not shown, nor the instance it replaces
    std::string title;
    std::optional<std::string> location;
    std::unique_ptr<Repetition> repetition;  // an RRULE or RDATE, in an event that replaces none
};

class LibicalCalendar final : public IcsCalendar {
public:
    // `root` holds the zones that the events' TZIDs name; the events come after, by
    // Index, and Finish ends the reading.
    LibicalCalendar(icalcomponent* root, std::string name, std::vector<std::string> problems, std::size_t events)
        : root_(root), name_(std::move(name)), problems_(std::move(problems)) {
        // Grown by doubling, each would hold up to three times what it keeps.
        entries_.reserve(events);
        masters_.reserve(events);
    }
    ~LibicalCalendar() override {
        const std::lock_guard lock(libicalMutex);
        counted_.clear();
        icalcomponent_free(root_);
    }
    LibicalCalendar(const LibicalCalendar&) = delete;
    LibicalCalendar& operator=(const LibicalCalendar&) = delete;

    std::string Name() const override { return name_; }
    std::vector<std::string> Problems() const override { return problems_; }
    Expansion Expand(const Window& window) const override;

    // Makes the entries of the VEVENTs in `events` (a batch, or the root itself),
    // which the caller then frees.
    void Index(icalcomponent* events);
    // The replacements given to their masters, and the values left out said.
    void Finish();

private:
    void AddOccurrence(const Entry& entry, const icaltimetype& start, const Window& window, Expansion& out) const;
    void ExpandRepeats(std::size_t at, const Window& window, Expansion& out, std::size_t& steps,
                       std::set<std::string>& said) const;

    icalcomponent* root_;
    std::string name_;
    std::vector<std::string> problems_;
    std::vector<Entry> entries_;
    // While the events are read: the events that are no replacement, by UID (sorted at
    // Finish), the replacements, what libical left out.
    std::vector<std::pair<std::string, std::size_t>> masters_;
    std::vector<std::pair<std::string, Key>> replacements_;
    UnreadValues unread_;
    // The instances of each rule with COUNT, by their wall time in the start's frame,
    // listed as far as a window has asked.
    struct Counted {
        std::vector<long long> instances;
        icalrecur_iterator* iterator = nullptr;
        std::string rscale;  // the iterator's rule's RSCALE, which it may read as long as it lives
        std::size_t steps = 0;
        bool begun = false, ended = false;
        bool cut = false;  // more steps than kMostRuleSteps
        Counted() = default;
        Counted(const Counted&) = delete;
        Counted& operator=(const Counted&) = delete;
        ~Counted() {
            if (iterator != nullptr) icalrecur_iterator_free(iterator);
        }
        // Lists the instances up to the wall time `to`, or to the end.
        void Reach(const Entry& entry, icalrecurrencetype rule, long long to);
    };
    // By entry and rule.
    mutable std::map<std::pair<std::size_t, std::size_t>, Counted> counted_;
};

void LibicalCalendar::Index(icalcomponent* events) {
    for (icalcomponent* event = icalcomponent_get_first_component(events, ICAL_VEVENT_COMPONENT); event != nullptr;
         event = icalcomponent_get_next_component(events, ICAL_VEVENT_COMPONENT)) {
        unread_.Add(event);
        const std::optional<icaltimetype> start = TimeOf(event, ICAL_DTSTART_PROPERTY, root_);
        if (!start) continue;
        Entry entry;
        entry.start = *start;
        entry.kind = KindOf(*start);
        if (const std::optional<icaltimetype> end = TimeOf(event, ICAL_DTEND_PROPERTY, root_)) {
            if (entry.kind == TimeKind::Zoned && KindOf(*end) == TimeKind::Zoned) {
                // The end read in the start's zone, then as wall time there.
                icaltimetype inStartZone = icaltime_convert_to_zone(*end, const_cast<icaltimezone*>(start->zone));
                entry.length = WallSeconds(inStartZone) - WallSeconds(*start);
            } else {
                entry.length = WallSeconds(*end) - WallSeconds(*start);
            }
        } else if (icalproperty* duration = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
            entry.length = icaldurationtype_as_int(icalproperty_get_duration(duration));
        } else if (entry.kind == TimeKind::Date) {
            entry.length = 86400;
        }
        if (entry.kind == TimeKind::Date) entry.length = std::max(1LL, (entry.length + 86399) / 86400) * 86400;
        if (entry.length < 0) entry.length = 0;
        entry.cancelled = icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED;
        entry.title = Text(icalcomponent_get_summary(event));
        const std::string location = Text(icalcomponent_get_location(event));
        if (!location.empty()) entry.location = location;
        const std::string uid = Text(icalcomponent_get_uid(event));
        bool replaces = false;  // a RECURRENCE-ID: replaces an instance of its master
        if (const std::optional<icaltimetype> id = TimeOf(event, ICAL_RECURRENCEID_PROPERTY, root_);
            id && !uid.empty()) {
            replaces = true;
            replacements_.emplace_back(uid, KeyOf(*id));
        } else if (!uid.empty()) {
            masters_.emplace_back(uid, entries_.size());
        }
        const bool repeats = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY) != nullptr ||
                             icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY) != nullptr;
        if (repeats && !replaces) {
            auto repetition = std::make_unique<Repetition>();
            for (icalproperty* rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); rule != nullptr;
                 rule = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
                repetition->rules.push_back(Text(icalproperty_get_value_as_string(rule)));
            }
            for (icalproperty* rdate = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); rdate != nullptr;
                 rdate = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
                const icaldatetimeperiodtype date = icalproperty_get_rdate(rdate);
                const icaltimetype time = icaltime_is_null_time(date.time) ? date.period.start : date.time;
                if (icaltime_is_null_time(time) || !icaltime_is_valid_time(time)) continue;
                repetition->dates.push_back(WithZone(time, rdate, root_));
            }
            for (icalproperty* exdate = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY);
                 exdate != nullptr; exdate = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
                const icaltimetype excluded = WithZone(icalproperty_get_exdate(exdate), exdate, root_);
                if (icaltime_is_null_time(excluded)) continue;
                if (excluded.is_date && entry.kind != TimeKind::Date) {
                    repetition->excludedDays.insert({excluded.year, excluded.month, excluded.day});
                } else {
                    repetition->excluded.insert(KeyOf(excluded));
                }
            }
            entry.repetition = std::move(repetition);
        }
        entries_.push_back(std::move(entry));
    }
}

void LibicalCalendar::Finish() {
    // The first event of a UID is its master.
    std::ranges::stable_sort(masters_, {}, [](const auto& master) { return std::string_view(master.first); });
    for (const auto& [uid, key] : replacements_) {
        const auto master = std::ranges::lower_bound(masters_, std::string_view(uid), {},
                                                     [](const auto& each) { return std::string_view(each.first); });
        if (master != masters_.end() && master->first == uid && entries_[master->second].repetition)
            entries_[master->second].repetition->replaced.insert(key);
    }
    masters_ = decltype(masters_)();  // their memory too, which clear() would keep
    replacements_ = decltype(replacements_)();
    unread_.Say(problems_);
}

void LibicalCalendar::AddOccurrence(const Entry& entry, const icaltimetype& start, const Window& window,
                                    Expansion& out) const {
    Occurrence occurrence;
    const icaltimetype end = AddSeconds(start, entry.length);
    if (entry.kind == TimeKind::Zoned) {
        occurrence.startInstant = InstantOf(start);
        occurrence.endInstant = InstantOf(end);
        const bool overlaps =
            occurrence.startInstant < window.end &&
            (occurrence.endInstant > window.start ||
             (occurrence.startInstant == occurrence.endInstant && occurrence.startInstant >= window.start));
        if (!overlaps) return;
    } else {
        occurrence.allDay = entry.kind == TimeKind::Date;
        occurrence.floating = !occurrence.allDay;
        occurrence.startWall = LocalOf(start);
        occurrence.endWall = LocalOf(end);
        const LocalTime first{window.first.year, window.first.month, window.first.day, 0, 0};
        const LocalTime next{window.next.year, window.next.month, window.next.day, 0, 0};
        const bool overlaps = occurrence.startWall < next &&
                              (occurrence.endWall > first ||
                               (occurrence.startWall == occurrence.endWall && occurrence.startWall >= first));
        if (!overlaps) return;
    }
    occurrence.title = entry.title;
    occurrence.location = entry.location;
    out.occurrences.push_back(std::move(occurrence));
}

RuleParts PartsOf(const icalrecurrencetype& rule) {
    RuleParts parts;
    switch (rule.freq) {
    case ICAL_SECONDLY_RECURRENCE: parts.frequency = Frequency::Secondly; break;
    case ICAL_MINUTELY_RECURRENCE: parts.frequency = Frequency::Minutely; break;
    case ICAL_HOURLY_RECURRENCE: parts.frequency = Frequency::Hourly; break;
    case ICAL_DAILY_RECURRENCE: parts.frequency = Frequency::Daily; break;
    case ICAL_WEEKLY_RECURRENCE: parts.frequency = Frequency::Weekly; break;
    case ICAL_MONTHLY_RECURRENCE: parts.frequency = Frequency::Monthly; break;
    default: parts.frequency = Frequency::Yearly; break;
    }
    const auto read = [](const short* values, int size, std::vector<int>& into) {
        for (int at = 0; at < size && values[at] != ICAL_RECURRENCE_ARRAY_MAX; ++at) into.push_back(values[at]);
    };
    read(rule.by_month, ICAL_BY_MONTH_SIZE, parts.months);
    read(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE, parts.monthDays);
    read(rule.by_year_day, ICAL_BY_YEARDAY_SIZE, parts.yearDays);
    read(rule.by_week_no, ICAL_BY_WEEKNO_SIZE, parts.weekNumbers);
    read(rule.by_set_pos, ICAL_BY_SETPOS_SIZE, parts.setPositions);
    std::vector<int> days, hours, minutes, seconds;
    read(rule.by_day, ICAL_BY_DAY_SIZE, days);
    for (const int day : days) parts.weekdays.push_back(int(icalrecurrencetype_day_day_of_week(short(day))) - 1);
    read(rule.by_hour, ICAL_BY_HOUR_SIZE, hours);
    read(rule.by_minute, ICAL_BY_MINUTE_SIZE, minutes);
    read(rule.by_second, ICAL_BY_SECOND_SIZE, seconds);
    parts.timesInADay = int(std::max<std::size_t>(hours.size(), 1) * std::max<std::size_t>(minutes.size(), 1) *
                            std::max<std::size_t>(seconds.size(), 1));
    return parts;
}

// The wall time of the event's frame at `instant` (zoned) or at local `date`.
icaltimetype FrameTime(const Entry& entry, Instant instant, LocalDate date) {
    if (entry.kind == TimeKind::Zoned) {
        icaltimezone* zone = icaltime_is_utc(entry.start) ? icaltimezone_get_utc_timezone()
                                                          : const_cast<icaltimezone*>(entry.start.zone);
        icaltimetype time = icaltime_from_timet_with_zone(time_t(instant), 0, zone);
        time.zone = entry.start.zone;
        return time;
    }
    icaltimetype time = icaltime_null_time();
    time.year = date.year;
    time.month = date.month;
    time.day = date.day;
    time.is_date = entry.kind == TimeKind::Date;
    return time;
}

// The wall time that WallSeconds gave, in the frame of `entry`'s start.
icaltimetype FromWallSeconds(const Entry& entry, long long wall) {
    icaltimetype time = icaltime_from_timet_with_zone(time_t(wall), entry.start.is_date, nullptr);
    time.zone = entry.start.zone;
    time.is_date = entry.start.is_date;
    return time;
}

void LibicalCalendar::ExpandRepeats(std::size_t entryAt, const Window& window, Expansion& out, std::size_t& steps,
                                    std::set<std::string>& said) const {
    const Entry& entry = entries_[entryAt];
    const Repetition& repetition = *entry.repetition;
    // Instances that begin up to the event's length (and a day) before the window
    // may last into it.
    const long long reach = entry.length + 86400;
    const icaltimetype lower = AddSeconds(FrameTime(entry, window.start, window.first), -reach);
    const icaltimetype upper = AddSeconds(FrameTime(entry, window.end, window.next), 86400);
    std::set<Key> seen;
    const auto offer = [&](icaltimetype start) {
        const Key key = KeyOf(start);
        if (!seen.insert(key).second || repetition.excluded.contains(key) || repetition.replaced.contains(key)) return;
        if (!repetition.excludedDays.empty() && repetition.excludedDays.contains({start.year, start.month, start.day}))
            return;
        AddOccurrence(entry, start, window, out);
    };
    offer(entry.start);
    // A rule's instances come after DTSTART: one that begins after the window has
    // none in it, and needs no iterator.
    const bool ruleReaches = icaltime_compare(entry.start, upper) <= 0;
    for (std::size_t ruleAt = 0; ruleReaches && ruleAt < repetition.rules.size(); ++ruleAt) {
        const std::string& ruleText = repetition.rules[ruleAt];
        icalrecurrencetype rule = icalrecurrencetype_from_string(ruleText.c_str());
        // The RSCALE's name that libical copied for this reading of the rule.
        const std::unique_ptr<char, void (*)(void*)> rscale(rule.rscale, icalmemory_free_buffer);
        auto refusal = refusals.find(ruleText);
        if (refusal == refusals.end()) {
            if (refusals.size() >= kMostRememberedRules) refusals.clear();
            std::string why = rule.freq == ICAL_NO_RECURRENCE ? "sa règle n'est pas comprise"
                              : rule.rscale != nullptr && std::string(rule.rscale) != "GREGORIAN"
                                  ? "un calendrier autre que le grégorien (RSCALE) n'est pas suivi"
                                  : RuleRefusal(PartsOf(rule));
            refusal = refusals.emplace(ruleText, std::move(why)).first;
        }
        if (!refusal->second.empty()) {
            if (said.insert(refusal->second).second) {
                out.problems.push_back("la répétition de « " + entry.title + " » n'est pas lue : " + refusal->second);
            }
            continue;
        }
        // An UNTIL in UTC is compared by libical with the times of the start's zone as
        // they read there: it is given in that zone.
        if (!icaltime_is_null_time(rule.until) && icaltime_is_utc(rule.until) && entry.kind == TimeKind::Zoned &&
            entry.start.zone != nullptr && !icaltime_is_utc(entry.start)) {
            rule.until = icaltime_convert_to_zone(rule.until, const_cast<icaltimezone*>(entry.start.zone));
            rule.until.zone = nullptr;
        }
        // A rule with COUNT is walked from DTSTART, which libical cannot skip: its
        // instances are listed once, at its first window, and each window takes its
        // own from the list. Another rule starts at the window.
        if (rule.count > 0) {
            Counted& counted = counted_[{entryAt, ruleAt}];
            const long long from = WallSeconds(lower), to = WallSeconds(upper);
            counted.Reach(entry, rule, to);
            if (counted.cut && said.insert("steps").second) {
                out.problems.push_back("la répétition de « " + entry.title + " » est trop longue à suivre");
            }
            const auto& instances = counted.instances;
            for (auto at = std::lower_bound(instances.begin(), instances.end(), from);
                 at != instances.end() && *at <= to && out.occurrences.size() <= kMostOccurrences; ++at) {
                offer(FromWallSeconds(entry, *at));
            }
            continue;
        }
        icalrecur_iterator* iterator = icalrecur_iterator_new(rule, entry.start);
        if (iterator == nullptr) continue;
        if (icaltime_compare(lower, entry.start) > 0) icalrecur_iterator_set_start(iterator, lower);
        std::size_t ruleSteps = 0;
        for (;;) {
            if (++ruleSteps > kMostRuleSteps || ++steps > kMostWindowSteps) {
                if (said.insert("steps").second) {
                    out.problems.push_back("la répétition de « " + entry.title + " » est trop longue à suivre");
                }
                break;
            }
            icaltimetype next = icalrecur_iterator_next(iterator);
            if (icaltime_is_null_time(next)) break;
            next.zone = entry.start.zone;
            next.is_date = entry.start.is_date;
            if (icaltime_compare(next, upper) > 0) break;
            if (icaltime_compare(next, lower) < 0) continue;
            offer(next);
            if (out.occurrences.size() > kMostOccurrences) break;
        }
        icalrecur_iterator_free(iterator);
    }
    for (const icaltimetype& date : repetition.dates) offer(date);
}

void LibicalCalendar::Counted::Reach(const Entry& entry, icalrecurrencetype rule, long long to) {
    if (!begun) {
        begun = true;
        rscale = Text(rule.rscale);
        rule.rscale = rule.rscale != nullptr ? rscale.data() : nullptr;
        iterator = icalrecur_iterator_new(rule, entry.start);
        ended = iterator == nullptr;
    }
    while (!ended && (instances.empty() || instances.back() <= to)) {
        if (++steps > kMostRuleSteps) {
            cut = ended = true;
            break;
        }
        icaltimetype next = icalrecur_iterator_next(iterator);
        if (icaltime_is_null_time(next)) {
            ended = true;
            break;
        }
        next.zone = entry.start.zone;
        next.is_date = entry.start.is_date;
        instances.push_back(WallSeconds(next));
    }
}

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

Expansion LibicalCalendar::Expand(const Window& window) const {
    const std::lock_guard lock(libicalMutex);
    Expansion out;
    std::size_t steps = 0;
    std::set<std::string> said;
    const double started = ProcessorSeconds();
    for (std::size_t at = 0; at < entries_.size(); ++at) {
        const Entry& entry = entries_[at];
        if (at % 64 == 63 && ProcessorSeconds() - started > kMostWindowSeconds) {
            out.problems.push_back("ses répétitions sont trop longues à calculer : le reste n'est pas montré");
            break;
        }
        if (entry.cancelled) continue;
        if (entry.repetition) {
            ExpandRepeats(at, window, out, steps, said);
        } else {
            AddOccurrence(entry, entry.start, window, out);
        }
        if (out.occurrences.size() > kMostOccurrences) {
            out.occurrences.resize(kMostOccurrences);
            out.problems.push_back("a plus de " + GroupedCount(kMostOccurrences) +
                                   " évènements en un mois : les suivants ne sont pas montrés");
            break;
        }
    }
    return out;
}

// The events that libical reads at once.
constexpr std::size_t kBatchEvents = 64;

// The first pass over a text, or why it is no calendar to read.
std::optional<IcsBlocks> BlocksOf(std::string_view text, const std::optional<Window>& only, std::string& problem) {
    if (text.find('\0') != std::string_view::npos) {
        problem = "n'est pas du texte";
        return std::nullopt;
    }
    IcsBlocks blocks = only ? IcsBlocksOf(text, only->first, only->next) : IcsBlocksOf(text);
    if (!blocks.calendar) {
        problem = "n'est pas un agenda iCalendar";
        return std::nullopt;
    }
    if (blocks.events > kMostEvents) {
        problem = "a plus de " + GroupedCount(kMostEvents) + " évènements";
        return std::nullopt;
    }
    return blocks;
}

std::vector<std::string> TextProblems(const IcsBlocks& blocks) {
    std::vector<std::string> problems;
    if (blocks.truncated) problems.emplace_back("est tronqué : ses derniers évènements manquent");
    return problems;
}

class Reader final : public IcsReader {
public:
    // The zones are read first, on their own; then the events a batch at a time, each
    // batch let go once its entries are made: libical never holds more than one.
    std::unique_ptr<IcsCalendar> Read(std::string_view text, const std::optional<Window>& only,
                                      std::string& problem) const override {
        const std::optional<IcsBlocks> blocks = BlocksOf(text, only, problem);
        if (!blocks) return nullptr;
        // Events that libical may nest otherwise than the first pass does are read
        // whole, with their zones, as they are written.
        IcsBlocks zones;
        zones.timezones = blocks->timezones;
        const std::lock_guard lock(libicalMutex);
        icalcomponent* root = icalparser_parse_string((blocks->irregular ? *blocks : zones).Calendar().c_str());
        if (root == nullptr) {
            problem = "n'est pas un agenda iCalendar";
            return nullptr;
        }
        auto calendar =
            std::make_unique<LibicalCalendar>(root, blocks->name, TextProblems(*blocks), blocks->kept.size());
        if (blocks->irregular) {
            calendar->Index(root);
            calendar->Finish();
            return calendar;
        }
        for (std::size_t from = 0; from < blocks->kept.size(); from += kBatchEvents) {
            IcsBlocks batch;
            const auto first = blocks->kept.begin() + std::ptrdiff_t(from);
            batch.kept.assign(first, first + std::ptrdiff_t(std::min(kBatchEvents, blocks->kept.size() - from)));
            icalcomponent* events = icalparser_parse_string(batch.Calendar().c_str());
            if (events == nullptr) {
                problem = "n'est pas un agenda iCalendar";
                return nullptr;
            }
            calendar->Index(events);
            icalcomponent_free(events);
        }
        calendar->Finish();
        return calendar;
    }
};

}  // namespace

const IcsReader& LibicalReader() {
    static const Reader* const reader = [] {
        // A malformed value is an error to skip, never a reason to stop the program.
        icalerror_set_errors_are_fatal(0);
        return new Reader;
    }();
    return *reader;
}

}  // namespace agendas
