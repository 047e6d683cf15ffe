#pragma once
// The equinoxes and solstices: the instants the sun's apparent longitude reaches 0°,
// 90°, 180° and 270°, and the one that falls on a local day, named as the place's
// hemisphere lives it.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/local_zone.h"

namespace calendar {

enum class Season { MarchEquinox, JuneSolstice, SeptemberEquinox, DecemberSolstice };

struct SeasonRow {
    Season season;
    int month;                   // the month it falls in, every year of the calendar
    double longitude;            // the sun's apparent longitude, degrees
    std::string_view northName;  // UTF-8, north of the equator and on it
    std::string_view southName;  // south of it, where the seasons are the other way round
};

extern const std::array<SeasonRow, 4> kSeasonTable;

// The instant, in Julian Ephemeris Days (Terrestrial Time), of the year's season.
double SeasonEphemerisDay(int year, Season season);

// The season's instant in universal time, to the second.
UnixSeconds SeasonInstant(int year, Season season);

struct SeasonOfDay {
    Season season;
    std::string_view name;
    int hour = 0, minute = 0;  // local, the minute begun (never rounded into the next day)
};

// The equinox or solstice whose instant falls on the local day, in the process's time
// zone, named for the latitude's hemisphere; none on the other days.
std::optional<SeasonOfDay> SeasonOn(int year, int month, int day, double latitude);

// « Solstice d'hiver à 16 h 03 ».
std::string SeasonSentence(const SeasonOfDay& season);

// The time written « 16 h 03 » with the separator " h ", or "16:03" for the JSON.
std::string SeasonClock(const SeasonOfDay& season, std::string_view separator);

}  // namespace calendar
