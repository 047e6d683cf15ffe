#include "agendas/ics/write_fields.h"

#include <ctime>

#include "agendas/ics/zones.h"

namespace agendas::ics {

namespace {

icaltimetype UtcOf(std::int64_t seconds) {
    return icaltime_from_timet_with_zone(time_t(seconds), 0, icaltimezone_get_utc_timezone());
}

void RemoveAll(icalcomponent* event, icalproperty_kind kind) {
    while (icalproperty* property = icalcomponent_get_first_property(event, kind)) {
        icalcomponent_remove_property(event, property);
        icalproperty_free(property);
    }
}

void SetText(icalcomponent* event, icalproperty_kind kind, const std::optional<std::string>& text) {
    RemoveAll(event, kind);
    if (!text || text->empty()) return;
    icalproperty* property = icalproperty_new(kind);
    icalproperty_set_value(property, icalvalue_new_text(text->c_str()));
    icalcomponent_add_property(event, property);
}

icalrecurrencetype_frequency FrequencyOf(QuickRepetition repetition) {
    switch (repetition) {
    case QuickRepetition::Daily: return ICAL_DAILY_RECURRENCE;
    case QuickRepetition::Weekly: return ICAL_WEEKLY_RECURRENCE;
    case QuickRepetition::Monthly: return ICAL_MONTHLY_RECURRENCE;
    case QuickRepetition::Yearly: return ICAL_YEARLY_RECURRENCE;
    case QuickRepetition::None: break;
    }
    return ICAL_NO_RECURRENCE;
}

// The rule of the fields. UNTIL is the last second of the last day, in UTC when the
// start has a zone (RFC 5545 3.3.10), a date for whole days.
icalrecurrencetype RuleOf(const EventFields& fields, icaltimezone* zone) {
    icalrecurrencetype rule;
    icalrecurrencetype_clear(&rule);
    rule.freq = FrequencyOf(fields.repetition);
    if (fields.repeatCount) rule.count = *fields.repeatCount;
    if (fields.repeatUntil && !fields.repeatCount) {
        const LocalDate last = *fields.repeatUntil;
        if (fields.wholeDay) {
            rule.until = DateOf(last);
        } else {
            rule.until = icaltime_convert_to_zone(ZonedTime({last.year, last.month, last.day, 23, 59}, zone),
                                                  icaltimezone_get_utc_timezone());
            icaltime_adjust(&rule.until, 0, 0, 0, 59);
        }
    }
    return rule;
}

bool SameRule(const icalrecurrencetype& a, const icalrecurrencetype& b) {
    return a.freq == b.freq && a.count == b.count && a.interval <= 1 && b.interval <= 1 &&
           icaltime_compare(a.until, b.until) == 0 && a.by_day[0] == ICAL_RECURRENCE_ARRAY_MAX &&
           a.by_month_day[0] == ICAL_RECURRENCE_ARRAY_MAX && a.by_month[0] == ICAL_RECURRENCE_ARRAY_MAX;
}

void SetRule(icalcomponent* event, const EventFields& fields, icaltimezone* zone) {
    icalproperty* existing = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
    // The rule as read, when the fields leave it as it was: the same text kept as it
    // is written, with every part and parameter; otherwise its COUNT follows the fields.
    if (fields.rule) {
        const char* written = existing != nullptr ? icalproperty_get_value_as_string(existing) : nullptr;
        icalrecurrencetype kept = icalrecurrencetype_from_string(fields.rule->c_str());
        const bool sameCount = kept.count == 0 || !fields.repeatCount || kept.count == *fields.repeatCount;
        if (written != nullptr && *fields.rule == written && sameCount) {
            if (kept.rscale != nullptr) icalmemory_free_buffer(kept.rscale);
            return;
        }
        // A rule of another calendar than the Gregorian (RSCALE) is not copied.
        if (kept.rscale != nullptr) {
            icalmemory_free_buffer(kept.rscale);
        } else if (kept.freq != ICAL_NO_RECURRENCE) {
            if (kept.count > 0 && fields.repeatCount) kept.count = *fields.repeatCount;
            RemoveAll(event, ICAL_RRULE_PROPERTY);
            icalcomponent_add_property(event, icalproperty_new_rrule(kept));
            return;
        }
    }
    if (fields.repetition == QuickRepetition::None) {
        RemoveAll(event, ICAL_RRULE_PROPERTY);
        return;
    }
    const icalrecurrencetype rule = RuleOf(fields, zone);
    if (existing != nullptr && icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY) == nullptr &&
        SameRule(icalproperty_get_rrule(existing), rule)) {
        return;
    }
    RemoveAll(event, ICAL_RRULE_PROPERTY);
    icalcomponent_add_property(event, icalproperty_new_rrule(rule));
}

void SetReminder(icalcomponent* event, const EventFields& fields) {
    if (fields.keepReminders) return;
    const bool any = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT) != nullptr;
    if (any && fields.reminderMinutes && ReminderOf(event) == fields.reminderMinutes) return;
    while (icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT)) {
        icalcomponent_remove_component(event, alarm);
        icalcomponent_free(alarm);
    }
    if (!fields.reminderMinutes) return;
    icalcomponent* alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm, icalproperty_new_description(fields.title.c_str()));
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_from_int(-*fields.reminderMinutes * 60);
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    icalcomponent_add_component(event, alarm);
}

}  // namespace

std::optional<int> ReminderOf(icalcomponent* event) {
    icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
    if (alarm == nullptr || icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT) != nullptr) return {};
    icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
    if (trigger == nullptr || icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER) != nullptr) return {};
    const icaltriggertype value = icalproperty_get_trigger(trigger);
    if (!icaltime_is_null_time(value.time) || icaldurationtype_as_int(value.duration) > 0) return {};
    return -icaldurationtype_as_int(value.duration) / 60;
}

icaltimetype ZonedValue(icalcomponent* root, icalproperty* property, icaltimetype time) {
    if (icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER); tzid && !time.is_date) {
        const char* name = icalparameter_get_tzid(tzid);
        icaltimezone* zone = icalcomponent_get_timezone(root, name);
        std::size_t unlistedLeft = 1;  // the one zone of this time
        if (zone == nullptr && name != nullptr) zone = BuiltinZone(name, unlistedLeft);
        time.zone = zone;
    }
    return time;
}

icaltimezone* WritingZone(const WritingStamp& stamp) {
    return stamp.zone.empty() ? nullptr : icaltimezone_get_builtin_timezone(stamp.zone.c_str());
}

icalcomponent* ZoneComponent(const WritingStamp& stamp) {
    icaltimezone* zone = WritingZone(stamp);
    if (zone == nullptr) return nullptr;
    icalcomponent* component = icalcomponent_new_clone(icaltimezone_get_component(zone));
    // libical names its zones with a prefix of its own; the file says the IANA name,
    // which every reader looks up.
    RemoveAll(component, ICAL_TZID_PROPERTY);
    icalcomponent_add_property(component, icalproperty_new_tzid(stamp.zone.c_str()));
    return component;
}

icaltimetype ZonedTime(const LocalTime& time, icaltimezone* zone) {
    icaltimetype wall = icaltime_null_time();
    wall.year = time.year;
    wall.month = time.month;
    wall.day = time.day;
    wall.hour = time.hour;
    wall.minute = time.minute;
    if (zone != nullptr) return icaltime_set_timezone(&wall, zone);
    // No zone libical knows: the instant the process's own zone gives, in UTC.
    std::tm local{};
    local.tm_year = time.year - 1900;
    local.tm_mon = time.month - 1;
    local.tm_mday = time.day;
    local.tm_hour = time.hour;
    local.tm_min = time.minute;
    local.tm_isdst = -1;
    return UtcOf(std::mktime(&local));
}

icaltimetype DateOf(const LocalDate& date) {
    icaltimetype time = icaltime_null_date();
    time.year = date.year;
    time.month = date.month;
    time.day = date.day;
    // As libical reads a date: its null date's -1 hour would move a rule's start to the
    // day before when its iterator normalises it.
    time.hour = time.minute = time.second = 0;
    return time;
}

icalproperty* TimeProperty(icalproperty_kind kind, const icaltimetype& time) {
    icalproperty* property = icalproperty_new(kind);
    icalproperty_set_value(property, time.is_date ? icalvalue_new_date(time) : icalvalue_new_datetime(time));
    if (time.is_date) icalproperty_add_parameter(property, icalparameter_new_value(ICAL_VALUE_DATE));
    if (!time.is_date && time.zone != nullptr && !icaltime_is_utc(time)) {
        const char* location = icaltimezone_get_location(const_cast<icaltimezone*>(time.zone));
        const char* tzid = location != nullptr ? location : icaltimezone_get_tzid(const_cast<icaltimezone*>(time.zone));
        icalproperty_add_parameter(property, icalparameter_new_tzid(tzid));
    }
    return property;
}

void SetFields(icalcomponent* event, const EventFields& fields, const WritingStamp& stamp, bool series) {
    icaltimezone* zone = WritingZone(stamp);
    SetText(event, ICAL_SUMMARY_PROPERTY, fields.title);
    SetText(event, ICAL_LOCATION_PROPERTY, fields.place);
    RemoveAll(event, ICAL_DTSTART_PROPERTY);
    RemoveAll(event, ICAL_DTEND_PROPERTY);
    RemoveAll(event, ICAL_DURATION_PROPERTY);
    if (fields.wholeDay) {
        icalcomponent_add_property(event, TimeProperty(ICAL_DTSTART_PROPERTY, DateOf(fields.start.Date())));
        icaltimetype end = DateOf(fields.end.Date());  // the day after the last, RFC 5545 3.6.1
        icaltime_adjust(&end, 1, 0, 0, 0);
        icalcomponent_add_property(event, TimeProperty(ICAL_DTEND_PROPERTY, end));
    } else {
        icalcomponent_add_property(event, TimeProperty(ICAL_DTSTART_PROPERTY, ZonedTime(fields.start, zone)));
        icalcomponent_add_property(event, TimeProperty(ICAL_DTEND_PROPERTY, ZonedTime(fields.end, zone)));
    }
    if (series) SetRule(event, fields, zone);
    SetReminder(event, fields);
}

void Stamp(icalcomponent* event, const WritingStamp& stamp, bool created) {
    const icaltimetype now = UtcOf(stamp.now);
    // A change made to an event without SEQUENCE (0 by default) is its first: 1.
    const icalproperty* sequence = icalcomponent_get_first_property(event, ICAL_SEQUENCE_PROPERTY);
    const int next = created ? 0 : sequence == nullptr ? 1 : icalproperty_get_sequence(sequence) + 1;
    RemoveAll(event, ICAL_DTSTAMP_PROPERTY);
    RemoveAll(event, ICAL_LASTMODIFIED_PROPERTY);
    RemoveAll(event, ICAL_SEQUENCE_PROPERTY);
    icalcomponent_add_property(event, icalproperty_new_dtstamp(now));
    if (created) {
        RemoveAll(event, ICAL_CREATED_PROPERTY);
        icalcomponent_add_property(event, icalproperty_new_created(now));
    }
    icalcomponent_add_property(event, icalproperty_new_lastmodified(now));
    icalcomponent_add_property(event, icalproperty_new_sequence(next));
}

}  // namespace agendas::ics
