#pragma once
// One event of a calendar read back as the fields of the dialog that changes it
// (ics_writer.h's FieldsOf), with libical: what a change must keep that the fields
// cannot say, its RRULE and its VALARMs, and how many occurrences its series has.

#include <optional>
#include <string>
#include <string_view>

#include "agendas/ics_writer.h"

namespace agendas::ics {

WrittenEvent FieldsOf(std::string_view text, const std::string& uid, const std::optional<OccurrenceStart>& which);

}  // namespace agendas::ics
