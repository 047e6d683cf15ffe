// iCalendar read by libical: its parser, and the zones that TZIDs name (zones.h).
// Each VEVENT is read once into an Entry; its occurrences are computed per window
// (expand.cpp).

#include <libical/ical.h>

#include <algorithm>

#include "agendas/ics/blocks.h"
#include "agendas/ics/calendar.h"
#include "agendas/ics/reader.h"
#include "calendar/french_words.h"

namespace agendas {

namespace ics {

std::mutex libicalMutex;

// A date or date-time value with the zone its TZID names (none for an unknown one,
// which reads as floating).
icaltimetype LibicalCalendar::WithZone(icaltimetype time, icalproperty* property) {
    if (time.is_date || icaltime_is_utc(time)) return time;
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    time.zone = tzid ? zones_.Named(icalparameter_get_tzid(tzid)) : nullptr;
    return time;
}

std::optional<icaltimetype> LibicalCalendar::TimeOf(icalcomponent* event, icalproperty_kind kind) {
    icalproperty* property = icalcomponent_get_first_property(event, kind);
    if (property == nullptr) return std::nullopt;
    icalvalue* value = icalproperty_get_value(property);
    if (value == nullptr) return std::nullopt;
    const icalvalue_kind valueKind = icalvalue_isa(value);
    if (valueKind != ICAL_DATETIME_VALUE && valueKind != ICAL_DATE_VALUE) return std::nullopt;
    const icaltimetype time = icalvalue_get_datetime(value);
    if (icaltime_is_null_time(time) || !icaltime_is_valid_time(time)) return std::nullopt;
    return WithZone(time, property);
}

namespace {

// Hours, minutes and seconds are exact time; days and weeks are not.
Length LengthOf(const icaldurationtype& duration) {
    return {.seconds = icaldurationtype_as_int(duration), .exact = duration.days == 0 && duration.weeks == 0};
}

// From `start` to `end`: wall time in the start's frame, the end read there when it
// is zoned too.
Length Between(const icaltimetype& start, const icaltimetype& end) {
    if (KindOf(start) != TimeKind::Zoned || KindOf(end) != TimeKind::Zoned) {
        return {.seconds = WallSeconds(end) - WallSeconds(start), .exact = false};
    }
    icaltimezone* zone =
        icaltime_is_utc(start) ? icaltimezone_get_utc_timezone() : const_cast<icaltimezone*>(start.zone);
    const icaltimetype there = icaltime_from_timet_with_zone(time_t(ZonedInstant(end)), 0, zone);
    return {.seconds = WallSeconds(there) - WallSeconds(start), .exact = false};
}

bool ReplacesTheFuture(icalcomponent* event) {
    icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
    icalparameter* range = id ? icalproperty_get_first_parameter(id, ICAL_RANGE_PARAMETER) : nullptr;
    return range != nullptr && icalparameter_get_range(range) == ICAL_RANGE_THISANDFUTURE;
}

}  // namespace

void LibicalCalendar::Index(icalcomponent* events) {
    for (icalcomponent* event = icalcomponent_get_first_component(events, ICAL_VEVENT_COMPONENT); event != nullptr;
         event = icalcomponent_get_next_component(events, ICAL_VEVENT_COMPONENT)) {
        unread_.Add(event);
        const std::optional<icaltimetype> start = TimeOf(event, ICAL_DTSTART_PROPERTY);
        if (!start) continue;
        Entry entry;
        entry.start = *start;
        entry.kind = KindOf(*start);
        if (const std::optional<icaltimetype> end = TimeOf(event, ICAL_DTEND_PROPERTY)) {
            entry.length = Between(*start, *end);
        } else if (icalproperty* duration = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
            entry.length = LengthOf(icalproperty_get_duration(duration));
        } else if (entry.kind == TimeKind::Date) {
            entry.length.seconds = 86400;
        }
        long long& seconds = entry.length.seconds;
        if (entry.kind == TimeKind::Date) seconds = std::max(1LL, (seconds + 86399) / 86400) * 86400;
        if (seconds < 0) seconds = 0;
        entry.cancelled = icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED;
        entry.title = Text(icalcomponent_get_summary(event));
        const std::string location = Text(icalcomponent_get_location(event));
        if (!location.empty()) entry.location = location;
        const std::string uid = Text(icalcomponent_get_uid(event));
        bool replaces = false;  // a RECURRENCE-ID: replaces an instance of its master
        const std::optional<icaltimetype> id = TimeOf(event, ICAL_RECURRENCEID_PROPERTY);
        entry.alarms = AlarmsOf(event, id, identified_);
        if (id && !uid.empty()) {
            replaces = true;
            replacements_.push_back({uid, *id, ReplacesTheFuture(event), entries_.size()});
        } else if (!uid.empty()) {
            masters_.emplace_back(uid, entries_.size());
        }
        const bool repeats = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY) != nullptr ||
                             icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY) != nullptr;
        if (repeats && !replaces) IndexRepetition(event, entry);
        entries_.push_back(std::move(entry));
    }
}

void LibicalCalendar::IndexRepetition(icalcomponent* event, Entry& entry) {
    auto repetition = std::make_unique<Repetition>();
    for (icalproperty* rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); rule != nullptr;
         rule = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
        repetition->rules.push_back(Text(icalproperty_get_value_as_string(rule)));
    }
    for (icalproperty* rdate = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); rdate != nullptr;
         rdate = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype date = icalproperty_get_rdate(rdate);
        const bool period = icaltime_is_null_time(date.time);
        const icaltimetype time = period ? date.period.start : date.time;
        if (icaltime_is_null_time(time) || !icaltime_is_valid_time(time)) continue;
        ExtraDate extra{.start = WithZone(time, rdate), .length = std::nullopt};
        // A PERIOD lasts its own time (RFC 5545 3.8.5.2): to its end, in the start's
        // zone, or for its duration.
        if (period && !icaltime_is_null_time(date.period.end)) {
            const icaltimetype end = WithZone(date.period.end, rdate);
            const bool zoned = KindOf(extra.start) == TimeKind::Zoned && KindOf(end) == TimeKind::Zoned;
            extra.length = zoned ? Length{.seconds = ZonedInstant(end) - ZonedInstant(extra.start), .exact = true}
                                 : Between(extra.start, end);
        } else if (period) {
            extra.length = LengthOf(date.period.duration);
        }
        if (extra.length && extra.length->seconds < 0) extra.length->seconds = 0;
        repetition->dates.push_back(extra);
    }
    for (icalproperty* exdate = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); exdate != nullptr;
         exdate = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
        const icaltimetype excluded = WithZone(icalproperty_get_exdate(exdate), exdate);
        if (icaltime_is_null_time(excluded)) continue;
        if (excluded.is_date && entry.kind != TimeKind::Date) {
            repetition->excludedDays.insert({excluded.year, excluded.month, excluded.day});
        } else {
            repetition->excluded.insert(KeyOf(excluded));
        }
    }
    entry.repetition = std::move(repetition);
}

void LibicalCalendar::Finish() {
    // The first event of a UID is its master.
    std::ranges::stable_sort(masters_, {}, [](const auto& master) { return std::string_view(master.first); });
    for (const Replacement& replacement : replacements_) {
        const auto master = std::ranges::lower_bound(masters_, std::string_view(replacement.uid), {},
                                                     [](const auto& each) { return std::string_view(each.first); });
        if (master == masters_.end() || master->first != replacement.uid || !entries_[master->second].repetition)
            continue;
        const Entry& owner = entries_[master->second];
        Repetition& repetition = *owner.repetition;
        const Key from = KeyOf(replacement.id);
        repetition.replaced.insert(from);
        if (!replacement.future) continue;
        // RFC 5545 3.8.4.4: the later instances move as the replaced one does, by
        // the same time, and take its length and texts. The shift is read in the
        // master's frame, whatever zone the replacement is written in.
        const long long shift = Between(owner.start, entries_[replacement.entry].start).seconds -
                                Between(owner.start, replacement.id).seconds;
        repetition.futures.push_back({.from = from,
                                      .shift = owner.kind == TimeKind::Date ? shift / 86400 * 86400 : shift,
                                      .entry = replacement.entry});
    }
    for (const auto& [uid, at] : masters_) {
        if (entries_[at].repetition) std::ranges::sort(entries_[at].repetition->futures, {}, &Future::from);
    }
    masters_ = decltype(masters_)();  // their memory too, which clear() would keep
    replacements_ = decltype(replacements_)();
    unread_.Say(problems_);
    zones_.Say(problems_);
}

namespace {

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
        problem = "a plus de " + calendar::CountText(kMostEvents) + " évènements";
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
    std::unique_ptr<IcsCalendar> Read(std::string_view text, const std::optional<Window>& only, bool identified,
                                      std::string& problem) const override {
        const std::optional<IcsBlocks> blocks = BlocksOf(text, only, problem);
        if (!blocks) return nullptr;
        // Events that libical may nest otherwise than the first pass does are read
        // whole, with their zones, as they are written.
        IcsBlocks zones;
        zones.timezones = blocks->timezones;
        // The calendar's destructor takes libicalMutex: declared before the lock, a
        // calendar given up midway is destroyed once the lock is released.
        std::unique_ptr<LibicalCalendar> calendar;
        const std::lock_guard lock(libicalMutex);
        icalcomponent* root = icalparser_parse_string((blocks->irregular ? *blocks : zones).Calendar().c_str());
        if (root == nullptr) {
            problem = "n'est pas un agenda iCalendar";
            return nullptr;
        }
        calendar = std::make_unique<LibicalCalendar>(root, blocks->name, TextProblems(*blocks), blocks->kept.size(),
                                                     identified);
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

}  // namespace ics

const IcsReader& LibicalReader() {
    static const ics::Reader* const reader = [] {
        // A malformed value is an error to skip, never a reason to stop the program.
        icalerror_set_errors_are_fatal(0);
        return new ics::Reader;
    }();
    return *reader;
}

}  // namespace agendas
