#pragma once
// An event added to a calendar file without passing the file through libical: the
// first pass (blocks.h) finds where the calendar ends and which UIDs it uses, libical
// reads only its VTIMEZONEs, and the new event's text is spliced in before the line
// END:VCALENDAR. Every other byte of the file stays as it was, line ends included, so
// that no other component can lose a property, a parameter or its folding.

#include <string>
#include <string_view>
#include <vector>

#include "agendas/ics_writer.h"

namespace agendas::ics {

// Where and how a file takes a new event, or why it does not.
struct Splice {
    std::string problem;                      // French, when the file is not changed
    std::size_t at = 0;                       // where the line that ends the calendar begins
    bool crLf = true;                         // the line before it ends with CR LF
    bool zoneHeld = false;                    // a VTIMEZONE of the stamp's zone is there already
    std::vector<std::string_view> timezones;  // the file's VTIMEZONEs, in its text
    bool blank = false;                       // nothing but blanks: the file becomes the added calendar

    // The components of `added` (a calendar as libical writes it, CR LF and all) with
    // the file's line ends: what goes in at `at`; `added` itself, the whole new text,
    // for a blank file.
    std::string Inserted(std::string_view added) const;
    // A calendar of the file's VTIMEZONEs and the components of `added`: the new event
    // as the file will hold it (TextChange::touchedText).
    std::string Touched(std::string_view added) const;
};

// The splice of a new event `uid` into `text`; libical reads the file's VTIMEZONEs
// (the caller holds the lock of libical).
Splice SpliceOf(std::string_view text, const std::string& uid, const WritingStamp& stamp);

}  // namespace agendas::ics
