#pragma once
// A first pass over an iCalendar text, before libical reads it: its VEVENT and
// VTIMEZONE components as byte ranges, found by their BEGIN and END lines alone.
// It lets the reading count the events before reading any, notice a text cut short,
// and, for a window of days, leave out the events that cannot touch it: a single
// event (no RRULE, RDATE, EXRULE nor RECURRENCE-ID) whose DTSTART and DTEND, or
// DURATION, put it more than kWindowMarginDays from the window. The margin is wider
// than any offset a time zone may have (TZOFFSETTO is at most ±99:59:59), so that
// the events left out are only those libical itself would have found outside.
// An event added to a file is spliced into its text by the same pass (ics/write_add.cpp):
// where the calendar ends, whether its UID is already used, the kinds of its components.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "agendas/event.h"

namespace agendas {

inline constexpr int kWindowMarginDays = 5;

struct IcsBlocks {
    bool calendar = false;   // a BEGIN:VCALENDAR line was seen
    bool truncated = false;  // a component begun is not ended
    // BEGIN and END lines that do not pair as this pass reads them: libical may nest
    // the components otherwise, one event inside another, and every event is kept.
    bool irregular = false;
    std::string name;        // X-WR-CALNAME, unfolded
    std::size_t events = 0;  // every VEVENT, kept or not
    std::vector<std::string_view> timezones;
    std::vector<std::string_view> kept;  // the VEVENTs to read
    int outermost = 0;                   // components begun outside any other
    // Where the line that ends the outermost VCALENDAR begins; npos when none does.
    std::size_t calendarEnd = std::string_view::npos;
    std::vector<std::string> kinds;  // each kind of component begun, once, as written
    bool holdsUid = false;           // a component has the UID sought (unfolded), when one is
    // For an addition, the lines of each VTIMEZONE's own properties (TZID…), as written,
    // each ended by CR LF: its observances left out, which name no zone.
    std::vector<std::string> zoneHeads;

    // One VCALENDAR of the zones and the kept events, for libical.
    std::string Calendar() const;
};

// The blocks of `text`; with `first` and `next`, the days [first, next) of a window,
// the events that cannot touch it are not kept.
IcsBlocks IcsBlocksOf(std::string_view text, const std::optional<LocalDate>& first = std::nullopt,
                      const std::optional<LocalDate>& next = std::nullopt);
// What an addition needs of `text`: its shape, its zones, and whether a component
// already has `uid`. No event's block is listed: a large file costs no more memory
// than its text.
IcsBlocks IcsBlocksForAdding(std::string_view text, std::string_view uid);

}  // namespace agendas
