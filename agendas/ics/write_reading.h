#pragma once
// One event of a calendar read back as the fields of the dialog that changes it
// (ics_writer.h's FieldsOf), with libical: what a change must keep that the fields
// cannot say, its RRULE and its VALARMs, and how many occurrences its series has.

#include <optional>
#include <string>
#include <string_view>

#include <libical/ical.h>

#include "agendas/ics_writer.h"

namespace agendas::ics {

// The times of an event as the dialog shows them, in the process's zone (whole days:
// the first and the last day at 00:00).
struct ShownTimes {
    bool wholeDay = false;
    LocalTime start, end;
    bool operator==(const ShownTimes&) const = default;
};
// None when its DTSTART is not a date or a date-time.
std::optional<ShownTimes> ShownTimesOf(icalcomponent* root, icalcomponent* event);

WrittenEvent FieldsOf(std::string_view text, const std::string& uid, const std::optional<OccurrenceStart>& which);

}  // namespace agendas::ics
