// The VALARMs of an event (RFC 5545 3.6.6): read once with the event, and timed for
// each of its occurrences.

#include <libical/ical.h>

#include <algorithm>
#include <cstdio>

#include "agendas/ics/calendar.h"

namespace agendas::ics {

namespace {

// The most firings of one alarm: a REPEAT past this is a calendar's mistake, and
// every firing is a notification.
constexpr int kMostRepeats = 100;

OccurrenceAlarm::Kind AlarmKindOf(icalcomponent* alarm) {
    icalproperty* action = icalcomponent_get_first_property(alarm, ICAL_ACTION_PROPERTY);
    switch (action ? icalproperty_get_action(action) : ICAL_ACTION_DISPLAY) {
    case ICAL_ACTION_AUDIO: return OccurrenceAlarm::Kind::Audio;
    case ICAL_ACTION_EMAIL: return OccurrenceAlarm::Kind::Email;
    default: return OccurrenceAlarm::Kind::Display;
    }
}

long long SignedSeconds(const icaldurationtype& duration, bool days) {
    const long long seconds =
        days ? (long long)(duration.weeks * 7 + duration.days) * 86400
             : (long long)duration.hours * 3600 + (long long)duration.minutes * 60 + (long long)duration.seconds;
    return duration.is_neg ? -seconds : seconds;
}

// The rule of one VALARM; none without a TRIGGER that reads.
std::optional<AlarmRule> RuleOf(icalcomponent* alarm) {
    icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
    if (trigger == nullptr) return std::nullopt;
    const icaltriggertype value = icalproperty_get_trigger(trigger);
    AlarmRule rule;
    rule.kind = AlarmKindOf(alarm);
    if (!icaltime_is_null_time(value.time)) {
        // An absolute trigger is in UTC (RFC 5545 3.8.6.3).
        if (!icaltime_is_valid_time(value.time)) return std::nullopt;
        icaltimetype utc = value.time;
        utc.zone = icaltimezone_get_utc_timezone();
        rule.absolute = true;
        rule.at = ZonedInstant(utc);
    } else {
        icalparameter* related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
        rule.fromEnd = related != nullptr && icalparameter_get_related(related) == ICAL_RELATED_END;
        rule.nominalSeconds = SignedSeconds(value.duration, true);
        rule.exactSeconds = SignedSeconds(value.duration, false);
    }
    // REPEAT goes with DURATION, each or neither (RFC 5545 3.6.6).
    icalproperty* repeat = icalcomponent_get_first_property(alarm, ICAL_REPEAT_PROPERTY);
    icalproperty* duration = icalcomponent_get_first_property(alarm, ICAL_DURATION_PROPERTY);
    if (repeat != nullptr && duration != nullptr) {
        const long long every = icaldurationtype_as_int(icalproperty_get_duration(duration));
        if (every > 0) {
            rule.repeat = std::clamp(icalproperty_get_repeat(repeat), 0, kMostRepeats);
            rule.repeatSeconds = every;
        }
    }
    return rule;
}

}  // namespace

std::string WrittenTime(const icaltimetype& time) {
    char text[32];
    if (time.is_date) {
        std::snprintf(text, sizeof text, "%04d%02d%02d", time.year, time.month, time.day);
    } else {
        std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02d%s", time.year, time.month, time.day, time.hour,
                      time.minute, time.second, icaltime_is_utc(time) ? "Z" : "");
    }
    return text;
}

std::unique_ptr<EntryAlarms> AlarmsOf(icalcomponent* event, const std::optional<icaltimetype>& recurrence,
                                      bool always) {
    std::unique_ptr<EntryAlarms> alarms;
    const auto named = [&] {
        alarms = std::make_unique<EntryAlarms>();
        alarms->uid = Text(icalcomponent_get_uid(event));
        if (!recurrence) return;
        alarms->recurrence = WrittenTime(*recurrence);
        alarms->recurrenceTime = *recurrence;
    };
    if (always) named();
    int index = 0;
    for (icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT); alarm != nullptr;
         alarm = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT), ++index) {
        std::optional<AlarmRule> rule = RuleOf(alarm);
        if (!rule) continue;
        rule->index = index;
        if (!alarms) named();
        alarms->rules.push_back(*rule);
    }
    return alarms;
}

void TimeAlarms(const Entry& entry, const EntryAlarms& alarms, const icaltimetype& start, const Length& length,
                Occurrence& occurrence) {
    occurrence.uid = alarms.uid;
    for (const AlarmRule& rule : alarms.rules) {
        OccurrenceAlarm alarm{.index = rule.index,
                              .kind = rule.kind,
                              .wall = false,
                              .at = rule.at,
                              .atWall = {},
                              .repeat = rule.repeat,
                              .repeatSeconds = rule.repeatSeconds};
        if (!rule.absolute && entry.kind == TimeKind::Zoned) {
            // From the start's wall time, or the end's: an exact length is elapsed
            // time, added once the nominal days are counted.
            const bool exactEnd = rule.fromEnd && length.exact;
            const icaltimetype base = rule.fromEnd && !length.exact ? AddSeconds(start, length.seconds) : start;
            alarm.at = ZonedInstant(AddSeconds(base, rule.nominalSeconds)) + rule.exactSeconds +
                       (exactEnd ? length.seconds : 0);
        } else if (!rule.absolute) {
            const icaltimetype base = rule.fromEnd ? AddSeconds(start, length.seconds) : start;
            const icaltimetype wall = AddSeconds(base, rule.nominalSeconds);
            alarm.wall = true;
            alarm.atWall = {wall.year, wall.month, wall.day, wall.is_date ? 0 : wall.hour,
                            wall.is_date ? 0 : wall.minute};
            alarm.at = rule.exactSeconds + (wall.is_date ? 0 : wall.second);
        }
        occurrence.alarms.push_back(alarm);
    }
}

}  // namespace agendas::ics
