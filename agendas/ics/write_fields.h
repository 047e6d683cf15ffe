#pragma once
// The properties of an event as the gadget writes them with libical (RFC 5545): times
// in the machine's zone with its TZID, whole days as dates with an exclusive end, the
// repetition, the reminder, and the stamps of a creation or a change.

#include <libical/ical.h>

#include <optional>
#include <string>

#include "agendas/ics_writer.h"

namespace agendas::ics {

// The machine's zone as libical knows it, null when the name is empty or unknown
// (times are then written in UTC).
icaltimezone* WritingZone(const WritingStamp& stamp);
// Its VTIMEZONE, with the plain IANA name as TZID; null without a zone.
icalcomponent* ZoneComponent(const WritingStamp& stamp);

// A local time of the machine in `zone` (UTC when null), or a date.
icaltimetype ZonedTime(const LocalTime& time, icaltimezone* zone);
icaltimetype DateOf(const LocalDate& date);

// A DTSTART, DTEND, RECURRENCE-ID or EXDATE property holding `time`, with the TZID
// parameter its zone needs.
icalproperty* TimeProperty(icalproperty_kind kind, const icaltimetype& time);

// Sets on `event` the title, the place, the times, the repetition (when `series`),
// and the reminder of `fields`; keeps an RRULE or VALARMs that already say what the
// fields say, with every parameter they have.
void SetFields(icalcomponent* event, const EventFields& fields, const WritingStamp& stamp, bool series);

// The minutes before the start of the event's only VALARM, when it has one at or before
// its start, related to it; none otherwise (the fields cannot say it).
std::optional<int> ReminderOf(icalcomponent* event);

// `time`, the value of a DTSTART, DTEND, RECURRENCE-ID or EXDATE `property`, with the
// zone of its TZID (the file's VTIMEZONE in `root`, else libical's own); a date as it is.
icaltimetype ZonedValue(icalcomponent* root, icalproperty* property, icaltimetype time);

// DTSTAMP and LAST-MODIFIED at the stamp's time; CREATED and SEQUENCE 0 on a new
// event, otherwise SEQUENCE one more.
void Stamp(icalcomponent* event, const WritingStamp& stamp, bool created);

}  // namespace agendas::ics
