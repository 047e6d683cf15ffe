#pragma once
// The series of the writer (RFC 5545 3.8.5): where an occurrence stands among those of
// its RRULE and its RDATEs, a series ended before one of its occurrences, the part that
// goes on as a new series of its own, the EXDATEs and overrides that follow a change
// of start, and the times of a series kept in the series' own zone.

#include <libical/ical.h>

#include <optional>
#include <string>
#include <vector>

#include "agendas/ics_writer.h"

namespace agendas::ics {

// Steps of a rule walked to find or count its occurrences: far past any series a person keeps.
inline constexpr int kMostSteps = 200'000;

// Whether `series` repeats: by an RRULE or by RDATEs, as the reader expands it.
bool Repeats(icalcomponent* series);

// The time of `property` (a DTSTART, a RECURRENCE-ID, an EXDATE) with its zone.
icaltimetype ValueOf(icalcomponent* root, icalproperty* property);
icaltimetype SeriesStart(icalcomponent* root, icalcomponent* series);

bool SameWall(const icaltimetype& a, const icaltimetype& b);

// Sets `property` (a RECURRENCE-ID or an EXDATE) to `time` in the frame of the
// series' DTSTART: the same TZID parameter, the same kind of value. Its other
// parameters (RANGE…) stay.
void SetInSeriesFrame(icalproperty* property, icalcomponent* series, const icaltimetype& time);
icalproperty* InSeriesFrame(icalcomponent* series, icalproperty_kind kind, const icaltimetype& time);

// The occurrence `which` (a local time of the machine) in the frame of the series' start.
icaltimetype InFrameOf(const icaltimetype& seriesStart, const OccurrenceStart& which, const WritingStamp& stamp);

// How many instances of the series' rule come before `target`, whether any occurrence
// does (its start, an instance or an RDATE), and whether `target` is one of them.
struct Place {
    int before = 0;
    bool first = true;
    bool found = false;
};
Place PlaceInSeries(icalcomponent* root, icalcomponent* series, const icaltimetype& start, const icaltimetype& target);

// Removes from `root` the overrides among `events` of `from` (and of the later
// occurrences, unless `onlyThisOne`).
void RemoveOverridesFrom(icalcomponent* root, const std::vector<icalcomponent*>& events, const icaltimetype& from,
                         bool onlyThisOne);

// Ends the series before `target`: UNTIL one second (a day, for dates) before it, in
// UTC for a zoned start; COUNT dropped, RDATEs from `target` on dropped, and the
// EXDATEs that would name no occurrence of the shorter series (RFC 5545 3.8.5.1).
void EndBefore(icalcomponent* root, icalcomponent* series, const icaltimetype& target);

// After the series `series` (with `all`, it and its overrides, in `root`) was given a
// new start from `oldStart`, each EXDATE and RECURRENCE-ID moves as the start moved;
// those that name no occurrence of the new series go, and every EXDATE of a series
// that no longer repeats.
void FollowTheStart(icalcomponent* root, icalcomponent* series, const std::vector<icalcomponent*>& all,
                    const icaltimetype& oldStart);

// The fields set on the series `event`, its times kept as written when the fields show
// them unchanged, otherwise written in the zone of its start as it was (its TZID, UTC
// for UTC, floating for floating).
void SetSeriesFields(icalcomponent* root, icalcomponent* event, const EventFields& fields, const WritingStamp& stamp);

// « Celle-ci et les suivantes » from `target` of `series` (`all`: it and its overrides,
// in `root`): the series ended before it, and a copy of it from `target` on with the
// UID `newUid` and the fields set, which keeps every property the fields do not say,
// the EXDATEs and RDATEs from `target` on and the overrides of those occurrences,
// moved as its start moved; the new series and those overrides go into `destination`
// (`root` itself, or the calendar of a file of their own).
void SplitOff(icalcomponent* root, icalcomponent* series, const std::vector<icalcomponent*>& all,
              const icaltimetype& target, const EventFields& fields, const std::string& newUid,
              const WritingStamp& stamp, icalcomponent* destination);

}  // namespace agendas::ics
