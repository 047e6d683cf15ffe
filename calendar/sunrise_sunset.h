#pragma once
// The sun's rising and setting on a local day at a place, as almanacs print them: the
// instants the upper limb of the sun meets the horizon, with the standard refraction,
// the local times rounded to the minute, and the length of the day.

#include <optional>
#include <string>
#include <vector>

#include "calendar/coordinates.h"
#include "calendar/local_zone.h"

namespace calendar {

enum class SunEventKind { Rise, Set };

struct SunEvent {
    SunEventKind kind = SunEventKind::Rise;
    UnixSeconds instant = 0;   // to the second
    int hour = 0, minute = 0;  // local, rounded to the nearest minute, never into the next day
};

// Whether the sun crosses the horizon during the day; if not, which side it stays on.
enum class SunCourse { RisesOrSets, UpAllDay, DownAllDay };

struct SunOfDay {
    SunCourse course = SunCourse::RisesOrSets;
    // In time order: a rise then a set on most days. Near the polar circles a day can
    // have a set after midnight, then a rise, or one of the two alone; where the place
    // lies far from the zone's meridian, its night can span either end of the day.
    std::vector<SunEvent> events;
    int daylightMinutes = 0;  // the upper limb above the horizon during the local day, as the events are shown
    // The day's length less the day before's, both to the second, rounded to the
    // minute: 0 when it changed by less than half a minute, though the lengths shown
    // may then differ by one.
    int changeMinutes = 0;
};

// The sun at the place on the local day, in the process's time zone.
SunOfDay SunOn(int year, int month, int day, Coordinates place);

// « Soleil : lever 08 h 17, coucher 16 h 38, 8 h 21 de jour (+1 min) », the events in
// their order and the change from the day before as « (+1 min) », « (−2 min) », or
// « (=) » when the day is as long as the day before to the minute; « Soleil levé
// toute la journée » and « Soleil couché toute la journée » when it does not cross the
// horizon.
std::string SunSentence(const SunOfDay& sun);

// The values the JSON gives, "HH:MM": the day's first rise and first set, none where
// the sun does not rise or set that day, and the daylight ("24:00" all day up).
struct SunFields {
    std::optional<std::string> lever, coucher;
    std::string dureeDuJour;
};
SunFields SunJsonFields(const SunOfDay& sun);

}  // namespace calendar
