#pragma once
// The moon's true principal phases: the instants of new moon, first quarter, full moon
// and last quarter, and the phase that falls on a local day. The moon picture and the
// age in the panel follow their own mean rule (moon.h); these are the almanac's hours.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/ephemeris_time.h"
#include "calendar/local_zone.h"

namespace calendar {

enum class MoonPhase { New, FirstQuarter, Full, LastQuarter };

struct MoonPhaseRow {
    MoonPhase phase;
    std::string_view name;  // UTF-8, as the user reads it
    double fraction;        // of the lunation after its new moon
};

extern const std::array<MoonPhaseRow, 4> kMoonPhaseTable;

// The instant, in Julian Ephemeris Days (Terrestrial Time), of the phase of lunation
// `lunation`, counted from the new moon of 6 January 2000 (0), negative before it.
double PhaseEphemerisDay(long lunation, MoonPhase phase);

// The phase's instant in universal time, to the second.
UnixSeconds PhaseInstant(long lunation, MoonPhase phase);

struct PhaseOfDay {
    MoonPhase phase;
    std::string_view name;
    int hour = 0, minute = 0;  // local, the minute begun (never rounded into the next day)
};

// The principal phase whose instant falls on the local day, in the process's time
// zone; none on most days (two never fall on one day: they are six days apart or more).
std::optional<PhaseOfDay> MoonPhaseOn(int year, int month, int day);

// « Pleine lune à 08 h 00 ».
std::string MoonPhaseSentence(const PhaseOfDay& phase);

// The time written « 08 h 00 »; MoonPhaseSentence and the JSON's HH:MM share it.
std::string PhaseClock(const PhaseOfDay& phase, std::string_view separator);

}  // namespace calendar
