#include "agendas/ics/write_reading.h"

#include <libical/ical.h>

#include <algorithm>
#include <ctime>
#include <mutex>
#include <vector>

#include "agendas/ics/write_fields.h"
#include "agendas/ics/write_series.h"
#include "agendas/ics/zones.h"

namespace agendas::ics {

extern std::mutex libicalMutex;  // read.cpp: libical keeps state of its own

namespace {

struct Tree {
    icalcomponent* root = nullptr;
    ~Tree() {
        if (root != nullptr) icalcomponent_free(root);
    }
};

// A time as the process's clock reads it: a zoned one through its instant, a
// floating one or a date as written.
LocalTime LocalOf(const icaltimetype& time) {
    if (time.is_date) return {time.year, time.month, time.day, 0, 0};
    if (time.zone == nullptr && !icaltime_is_utc(time))
        return {time.year, time.month, time.day, time.hour, time.minute};
    // libical's zone arithmetic, counted in civil days: icaltime_as_timet_with_zone
    // gives -1 before 1902.
    icaltimetype utc = time;
    icaltimezone_convert_time(&utc, const_cast<icaltimezone*>(time.zone), icaltimezone_get_utc_timezone());
    const std::time_t instant = std::time_t(WallSeconds(utc));
    std::tm local{};
    localtime_r(&instant, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::optional<icaltimetype> TimeOf(icalcomponent* root, icalcomponent* event, icalproperty_kind kind) {
    icalproperty* property = icalcomponent_get_first_property(event, kind);
    if (property == nullptr) return std::nullopt;
    const icalvalue* value = icalproperty_get_value(property);
    if (value == nullptr) return std::nullopt;
    const icalvalue_kind valueKind = icalvalue_isa(value);
    if (valueKind != ICAL_DATETIME_VALUE && valueKind != ICAL_DATE_VALUE) return std::nullopt;
    const icaltimetype time = icalvalue_get_datetime(value);
    if (icaltime_is_null_time(time)) return std::nullopt;
    return ZonedValue(root, property, time);
}

std::optional<std::string> TextOf(const char* text) {
    if (text == nullptr || *text == '\0') return std::nullopt;
    return std::string(text);
}

QuickRepetition RepetitionOf(icalrecurrencetype_frequency frequency) {
    switch (frequency) {
    case ICAL_DAILY_RECURRENCE: return QuickRepetition::Daily;
    case ICAL_WEEKLY_RECURRENCE: return QuickRepetition::Weekly;
    case ICAL_MONTHLY_RECURRENCE: return QuickRepetition::Monthly;
    case ICAL_YEARLY_RECURRENCE: return QuickRepetition::Yearly;
    default: return QuickRepetition::None;
    }
}

// The occurrences of the series: its rule's, less its EXDATEs, and its RDATEs; none
// when the rule has no end.
std::optional<int> OccurrencesOf(icalcomponent* root, icalcomponent* series, const icaltimetype& start) {
    // Each EXDATE in the start's frame, where the rule's instances are.
    std::vector<icaltimetype> excluded;
    for (icalproperty* exdate = icalcomponent_get_first_property(series, ICAL_EXDATE_PROPERTY); exdate != nullptr;
         exdate = icalcomponent_get_next_property(series, ICAL_EXDATE_PROPERTY)) {
        icaltimetype time = ZonedValue(root, exdate, icalproperty_get_exdate(exdate));
        if (start.zone != nullptr && (time.zone != nullptr || icaltime_is_utc(time)) && !time.is_date)
            time = icaltime_convert_to_zone(time, const_cast<icaltimezone*>(start.zone));
        excluded.push_back(time);
    }
    int count = 0;
    for (icalproperty* rdate = icalcomponent_get_first_property(series, ICAL_RDATE_PROPERTY); rdate != nullptr;
         rdate = icalcomponent_get_next_property(series, ICAL_RDATE_PROPERTY)) {
        ++count;
    }
    icalproperty* rule = icalcomponent_get_first_property(series, ICAL_RRULE_PROPERTY);
    if (rule == nullptr) return count + 1;
    const icalrecurrencetype recurrence = icalproperty_get_rrule(rule);
    if (recurrence.count == 0 && icaltime_is_null_time(recurrence.until)) return std::nullopt;
    icalrecur_iterator* steps = icalrecur_iterator_new(recurrence, start);
    if (steps == nullptr) return std::nullopt;
    int step = 0;
    for (; step < kMostSteps; ++step) {
        icaltimetype next = icalrecur_iterator_next(steps);
        if (icaltime_is_null_time(next)) break;
        next.zone = start.zone;
        const auto same = [&next](const icaltimetype& exdate) { return SameWall(exdate, next); };
        if (std::ranges::none_of(excluded, same)) ++count;
    }
    icalrecur_iterator_free(steps);
    if (step == kMostSteps) return std::nullopt;
    return count;
}

}  // namespace

std::optional<ShownTimes> ShownTimesOf(icalcomponent* root, icalcomponent* event) {
    const std::optional<icaltimetype> start = TimeOf(root, event, ICAL_DTSTART_PROPERTY);
    if (!start) return std::nullopt;
    ShownTimes times{.wholeDay = bool(start->is_date), .start = LocalOf(*start), .end = LocalOf(*start)};
    std::optional<icaltimetype> last = TimeOf(root, event, ICAL_DTEND_PROPERTY);
    if (!last) {
        if (icalproperty* duration = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY))
            last = icaltime_add(*start, icalproperty_get_duration(duration));
    }
    if (last) {
        if (times.wholeDay) icaltime_adjust(&*last, -1, 0, 0, 0);  // the end is exclusive, RFC 5545 3.6.1
        times.end = std::max(times.start, LocalOf(*last));
    }
    return times;
}

WrittenEvent FieldsOf(std::string_view text, const std::string& uid, const std::optional<OccurrenceStart>& which) {
    WrittenEvent written;
    if (uid.empty()) return written;  // names no event, not every one without a UID
    const std::lock_guard lock(libicalMutex);
    const std::string copy(text);
    Tree tree{icalparser_parse_string(copy.c_str())};
    if (tree.root == nullptr) return written;
    icalcomponent* series = nullptr;
    icalcomponent* own = nullptr;  // the occurrence's override
    for (icalcomponent* event = icalcomponent_get_first_component(tree.root, ICAL_VEVENT_COMPONENT); event != nullptr;
         event = icalcomponent_get_next_component(tree.root, ICAL_VEVENT_COMPONENT)) {
        const char* its = icalcomponent_get_uid(event);
        if (its == nullptr || uid != its) continue;
        const std::optional<icaltimetype> id = TimeOf(tree.root, event, ICAL_RECURRENCEID_PROPERTY);
        if (!id) {
            series = event;
        } else if (which && LocalOf(*id) ==
                                (id->is_date ? LocalTime{which->start.year, which->start.month, which->start.day, 0, 0}
                                             : which->start)) {
            own = event;
        }
    }
    const std::optional<icaltimetype> start = series ? TimeOf(tree.root, series, ICAL_DTSTART_PROPERTY) : std::nullopt;
    const std::optional<ShownTimes> times = series ? ShownTimesOf(tree.root, series) : std::nullopt;
    if (!start || !times) return written;
    written.found = true;
    EventFields& fields = written.fields;
    icalcomponent* look = own != nullptr ? own : series;
    fields.title = TextOf(icalcomponent_get_summary(look)).value_or("");
    fields.place = TextOf(icalcomponent_get_location(look));
    fields.wholeDay = times->wholeDay;
    fields.start = times->start;
    fields.end = times->end;
    icalproperty* rule = icalcomponent_get_first_property(series, ICAL_RRULE_PROPERTY);
    if (rule != nullptr && icalcomponent_get_next_property(series, ICAL_RRULE_PROPERTY) == nullptr) {
        const icalrecurrencetype recurrence = icalproperty_get_rrule(rule);
        fields.rule = icalproperty_get_value_as_string(rule);
        fields.repetition = RepetitionOf(recurrence.freq);
        if (recurrence.count > 0) fields.repeatCount = recurrence.count;
        if (!icaltime_is_null_time(recurrence.until)) fields.repeatUntil = LocalOf(recurrence.until).Date();
    }
    fields.reminderMinutes = ReminderOf(look);
    fields.keepReminders =
        !fields.reminderMinutes && icalcomponent_get_first_component(look, ICAL_VALARM_COMPONENT) != nullptr;
    written.occurrences = OccurrencesOf(tree.root, series, *start);
    return written;
}

}  // namespace agendas::ics
