#include "agendas/ics/write_series.h"

#include <memory>

#include "agendas/ics/write_fields.h"
#include "agendas/ics/write_reading.h"
#include "agendas/ics/zones.h"

namespace agendas::ics {

namespace {

template <typename Goes>
void RemoveWhere(icalcomponent* event, icalproperty_kind kind, Goes goes) {
    std::vector<icalproperty*> gone;
    for (icalproperty* property = icalcomponent_get_first_property(event, kind); property != nullptr;
         property = icalcomponent_get_next_property(event, kind)) {
        if (goes(property)) gone.push_back(property);
    }
    for (icalproperty* property : gone) {
        icalcomponent_remove_property(event, property);
        icalproperty_free(property);
    }
}

// `time` read as the same instant in the zone of `frame`, when both have a zone.
icaltimetype InFrame(icaltimetype time, const icaltimetype& frame) {
    if (time.is_date || frame.is_date || time.zone == nullptr || frame.zone == nullptr) return time;
    return icaltime_convert_to_zone(time, const_cast<icaltimezone*>(frame.zone));
}

bool Before(const icaltimetype& time, const icaltimetype& target) {
    return !SameWall(time, target) && icaltime_compare(time, target) < 0;
}

// The start of an RDATE's occurrence: its date or date-time, or the start of its period.
icaltimetype RdateStart(icalcomponent* root, icalproperty* rdate) {
    const icaldatetimeperiodtype value = icalproperty_get_rdate(rdate);
    return ZonedValue(root, rdate, icaltime_is_null_time(value.time) ? value.period.start : value.time);
}

// The wall reading of `time` in the frame of `frame` (the same instant in its zone;
// the reading itself when either floats or is a date), as a floating date-time.
icaltimetype WallIn(icaltimetype time, const icaltimetype& frame) {
    time = InFrame(time, frame);
    time.is_date = 0;
    time.zone = nullptr;
    return time;
}

using PropertyCopy = std::unique_ptr<icalproperty, decltype(&icalproperty_free)>;

PropertyCopy CopyOf(icalproperty* property) {
    return {property != nullptr ? icalproperty_new_clone(property) : nullptr, icalproperty_free};
}

// `time`, a DTSTART or DTEND the fields wrote in the machine's zone, as a property of
// `kind` in the frame of `start`, the series' DTSTART as it was written.
icalproperty* InZoneOf(icalproperty_kind kind, icaltimetype time, icalcomponent* root, icalproperty* start) {
    const icaltimetype frame = ValueOf(root, start);
    if (frame.is_date) return TimeProperty(kind, time);
    if (frame.zone == nullptr) {  // floating: the wall reading of the machine
        if (icaltime_is_utc(time)) return TimeProperty(kind, time);
        time.zone = nullptr;
        return TimeProperty(kind, time);
    }
    time = icaltime_convert_to_zone(time, const_cast<icaltimezone*>(frame.zone));
    if (icaltime_is_utc(frame)) return TimeProperty(kind, time);
    icalproperty* property = icalproperty_new(kind);
    icalproperty_set_value(property, icalvalue_new_datetime(time));
    if (icalparameter* tzid = icalproperty_get_first_parameter(start, ICAL_TZID_PARAMETER))
        icalproperty_add_parameter(property, icalparameter_new_clone(tzid));
    return property;
}

// The times the fields wrote on `event` moved into the frame of `start`.
void WriteInFrame(icalcomponent* root, icalcomponent* event, icalproperty* start) {
    if (start == nullptr) return;
    for (const icalproperty_kind kind : {ICAL_DTSTART_PROPERTY, ICAL_DTEND_PROPERTY}) {
        icalproperty* written = icalcomponent_get_first_property(event, kind);
        if (written == nullptr) continue;
        const icaltimetype time = ValueOf(root, written);
        if (time.is_date) return;
        icalcomponent_remove_property(event, written);
        icalproperty_free(written);
        icalcomponent_add_property(event, InZoneOf(kind, time, root, start));
    }
}

// Each RDATE of `event` moved by `moved` seconds of its own wall clock, a period whole.
void ShiftRdates(icalcomponent* event, time_t moved) {
    if (moved == 0) return;
    const auto shift = [moved](icaltimetype& time) {
        if (!icaltime_is_null_time(time)) icaltime_adjust(&time, int(moved / 86400), 0, 0, int(moved % 86400));
    };
    for (icalproperty* rdate = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); rdate != nullptr;
         rdate = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
        icaldatetimeperiodtype value = icalproperty_get_rdate(rdate);
        shift(value.time);
        shift(value.period.start);
        shift(value.period.end);
        icalproperty_set_rdate(rdate, value);
    }
}

// The VTIMEZONEs of `root` that `destination` lacks, copied into it.
void CopyZones(icalcomponent* root, icalcomponent* destination) {
    for (icalcomponent* zone = icalcomponent_get_first_component(root, ICAL_VTIMEZONE_COMPONENT); zone != nullptr;
         zone = icalcomponent_get_next_component(root, ICAL_VTIMEZONE_COMPONENT)) {
        icalproperty* tzid = icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY);
        if (tzid == nullptr || icalcomponent_get_timezone(destination, icalproperty_get_tzid(tzid)) != nullptr)
            continue;
        icalcomponent_add_component(destination, icalcomponent_new_clone(zone));
    }
}

}  // namespace

bool Repeats(icalcomponent* series) {
    return icalcomponent_get_first_property(series, ICAL_RRULE_PROPERTY) != nullptr ||
           icalcomponent_get_first_property(series, ICAL_RDATE_PROPERTY) != nullptr;
}

icaltimetype ValueOf(icalcomponent* root, icalproperty* property) {
    return ZonedValue(root, property, icalvalue_get_datetimedate(icalproperty_get_value(property)));
}

icaltimetype SeriesStart(icalcomponent* root, icalcomponent* series) {
    return ValueOf(root, icalcomponent_get_first_property(series, ICAL_DTSTART_PROPERTY));
}

bool SameWall(const icaltimetype& a, const icaltimetype& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day &&
           (a.is_date || b.is_date || (a.hour == b.hour && a.minute == b.minute && a.second == b.second));
}

void SetInSeriesFrame(icalproperty* property, icalcomponent* series, const icaltimetype& time) {
    icalproperty* start = icalcomponent_get_first_property(series, ICAL_DTSTART_PROPERTY);
    icalproperty_remove_parameter_by_kind(property, ICAL_TZID_PARAMETER);
    icalproperty_remove_parameter_by_kind(property, ICAL_VALUE_PARAMETER);
    icalproperty_set_value(property, time.is_date ? icalvalue_new_date(time) : icalvalue_new_datetime(time));
    if (time.is_date) icalproperty_add_parameter(property, icalparameter_new_value(ICAL_VALUE_DATE));
    if (icalparameter* tzid = icalproperty_get_first_parameter(start, ICAL_TZID_PARAMETER); tzid && !time.is_date)
        icalproperty_add_parameter(property, icalparameter_new_clone(tzid));
}

icalproperty* InSeriesFrame(icalcomponent* series, icalproperty_kind kind, const icaltimetype& time) {
    icalproperty* property = icalproperty_new(kind);
    SetInSeriesFrame(property, series, time);
    return property;
}

icaltimetype InFrameOf(const icaltimetype& seriesStart, const OccurrenceStart& which, const WritingStamp& stamp) {
    if (seriesStart.is_date) return DateOf(which.start.Date());
    const icaltimetype local = ZonedTime(which.start, WritingZone(stamp));
    if (seriesStart.zone == nullptr && !icaltime_is_utc(seriesStart)) {  // floating: the wall reading
        icaltimetype wall = local;
        wall.zone = nullptr;
        return wall;
    }
    auto* zone =
        icaltime_is_utc(seriesStart) ? icaltimezone_get_utc_timezone() : const_cast<icaltimezone*>(seriesStart.zone);
    return icaltime_convert_to_zone(local, zone);
}

Place PlaceInSeries(icalcomponent* root, icalcomponent* series, const icaltimetype& start, const icaltimetype& target) {
    Place place;
    const auto meet = [&](const icaltimetype& time) {
        if (SameWall(time, target)) {
            place.found = true;
        } else if (icaltime_compare(time, target) < 0) {
            place.first = false;
        }
    };
    for (icalproperty* rdate = icalcomponent_get_first_property(series, ICAL_RDATE_PROPERTY); rdate != nullptr;
         rdate = icalcomponent_get_next_property(series, ICAL_RDATE_PROPERTY)) {
        meet(InFrame(RdateStart(root, rdate), start));
    }
    icalproperty* rule = icalcomponent_get_first_property(series, ICAL_RRULE_PROPERTY);
    if (rule == nullptr) {
        meet(start);
        return place;
    }
    std::unique_ptr<icalrecur_iterator, decltype(&icalrecur_iterator_free)> steps(
        icalrecur_iterator_new(icalproperty_get_rrule(rule), start), icalrecur_iterator_free);
    if (!steps) return place;
    for (int step = 0; step < kMostSteps; ++step) {
        const icaltimetype next = icalrecur_iterator_next(steps.get());
        if (icaltime_is_null_time(next) || icaltime_compare(next, target) > 0) break;
        if (SameWall(next, target)) {
            place.found = true;
            break;
        }
        ++place.before;
        place.first = false;
    }
    return place;
}

void RemoveOverridesFrom(icalcomponent* root, const std::vector<icalcomponent*>& events, const icaltimetype& from,
                         bool onlyThisOne) {
    for (icalcomponent* event : events) {
        icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        if (id == nullptr) continue;
        const icaltimetype when = icalproperty_get_recurrenceid(id);
        if (onlyThisOne ? !SameWall(when, from) : Before(when, from)) continue;
        icalcomponent_remove_component(root, event);
        icalcomponent_free(event);
    }
}

void EndBefore(icalcomponent* root, icalcomponent* series, const icaltimetype& target) {
    if (icalproperty* rule = icalcomponent_get_first_property(series, ICAL_RRULE_PROPERTY)) {
        icalrecurrencetype recurrence = icalproperty_get_rrule(rule);
        icaltimetype until = target;
        if (until.is_date) {
            icaltime_adjust(&until, -1, 0, 0, 0);
        } else {
            icaltime_adjust(&until, 0, 0, 0, -1);
            if (until.zone != nullptr) until = icaltime_convert_to_zone(until, icaltimezone_get_utc_timezone());
        }
        recurrence.until = until;
        recurrence.count = 0;
        icalproperty_set_rrule(rule, recurrence);
    }
    RemoveWhere(series, ICAL_RDATE_PROPERTY,
                [&](icalproperty* rdate) { return !Before(InFrame(RdateStart(root, rdate), target), target); });
    RemoveWhere(series, ICAL_EXDATE_PROPERTY,
                [&](icalproperty* exdate) { return !Before(InFrame(ValueOf(root, exdate), target), target); });
}

// EXDATE and RECURRENCE-ID name occurrences of the series (RFC 5545 3.8.5.1,
// 3.8.4.4): one left at the old times would bring back an occurrence the user
// removed or double one the user changed. One that names no occurrence of the new
// series (a shorter or another rule) goes, with its override; the file as it was is
// in the safety net. A series that no longer repeats has nothing to exclude: an
// EXDATE on its start would leave it no occurrence at all.
void FollowTheStart(icalcomponent* root, icalcomponent* series, const std::vector<icalcomponent*>& all,
                    const icaltimetype& oldStart) {
    const icaltimetype newStart = SeriesStart(root, series);
    const long long moved = WallSeconds(WallIn(newStart, newStart)) - WallSeconds(WallIn(oldStart, newStart));
    const auto follows = [&](icalproperty* property) {
        icaltimetype time = WallIn(ValueOf(root, property), newStart);
        icaltime_adjust(&time, int(moved / 86400), 0, 0, int(moved % 86400));
        if (newStart.is_date) {
            time = DateOf({time.year, time.month, time.day});
        } else {
            time.zone = newStart.zone;
        }
        if (!PlaceInSeries(root, series, newStart, time).found) return false;
        SetInSeriesFrame(property, series, time);
        return true;
    };
    const bool repeats = Repeats(series);
    RemoveWhere(series, ICAL_EXDATE_PROPERTY, [&](icalproperty* exdate) { return !repeats || !follows(exdate); });
    for (icalcomponent* event : all) {
        icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        if (id == nullptr || follows(id)) continue;
        icalcomponent_remove_component(root, event);
        icalcomponent_free(event);
    }
}

void SetSeriesFields(icalcomponent* root, icalcomponent* event, const EventFields& fields, const WritingStamp& stamp) {
    const std::optional<ShownTimes> shown = ShownTimesOf(root, event);
    std::vector<PropertyCopy> written;
    for (const icalproperty_kind kind : {ICAL_DTSTART_PROPERTY, ICAL_DTEND_PROPERTY, ICAL_DURATION_PROPERTY}) {
        for (icalproperty* property = icalcomponent_get_first_property(event, kind); property != nullptr;
             property = icalcomponent_get_next_property(event, kind)) {
            written.push_back(CopyOf(property));
        }
    }
    SetFields(event, fields, stamp, true);
    if (shown && *shown == ShownTimes{.wholeDay = fields.wholeDay, .start = fields.start, .end = fields.end}) {
        for (const icalproperty_kind kind : {ICAL_DTSTART_PROPERTY, ICAL_DTEND_PROPERTY}) {
            while (icalproperty* property = icalcomponent_get_first_property(event, kind)) {
                icalcomponent_remove_property(event, property);
                icalproperty_free(property);
            }
        }
        for (PropertyCopy& property : written) icalcomponent_add_property(event, property.release());
        return;
    }
    if (!written.empty() && icalproperty_isa(written.front().get()) == ICAL_DTSTART_PROPERTY)
        WriteInFrame(root, event, written.front().get());
}

void SplitOff(icalcomponent* root, icalcomponent* series, const std::vector<icalcomponent*>& all,
              const icaltimetype& target, const EventFields& fields, const std::string& newUid,
              const WritingStamp& stamp, icalcomponent* destination) {
    if (destination != root) CopyZones(root, destination);
    icalcomponent* following = icalcomponent_new_clone(series);
    icalcomponent_set_uid(following, newUid.c_str());
    RemoveWhere(following, ICAL_RDATE_PROPERTY,
                [&](icalproperty* rdate) { return Before(InFrame(RdateStart(root, rdate), target), target); });
    RemoveWhere(following, ICAL_EXDATE_PROPERTY,
                [&](icalproperty* exdate) { return Before(InFrame(ValueOf(root, exdate), target), target); });
    const PropertyCopy start = CopyOf(icalcomponent_get_first_property(series, ICAL_DTSTART_PROPERTY));
    Stamp(following, stamp, true);
    SetFields(following, fields, stamp, true);
    WriteInFrame(root, following, start.get());
    icalcomponent_add_component(destination, following);
    std::vector<icalcomponent*> moved = {following};
    for (icalcomponent* event : all) {
        icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        if (id == nullptr || Before(icalproperty_get_recurrenceid(id), target)) continue;
        icalcomponent_remove_component(root, event);
        icalcomponent_set_uid(event, newUid.c_str());
        icalcomponent_add_component(destination, event);
        moved.push_back(event);
    }
    EndBefore(root, series, target);
    const icaltimetype newStart = SeriesStart(destination, following);
    ShiftRdates(following, WallSeconds(WallIn(newStart, newStart)) - WallSeconds(WallIn(target, newStart)));
    FollowTheStart(destination, following, moved, target);
}

}  // namespace agendas::ics
