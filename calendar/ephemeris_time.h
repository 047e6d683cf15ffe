#pragma once
// Universal Time and the uniform time of the ephemerides: ΔT, and Julian Days counted
// from the instants the rest of the calendar uses. Shared by the moon's phases, the
// sun's rising and setting, and the seasons.

#include "calendar/local_zone.h"

namespace calendar {

// The Julian Day of 1970-01-01 00:00 UTC.
inline constexpr double kUnixEpochJulianDay = 2'440'587.5;

// ΔT, Terrestrial Time minus Universal Time, in seconds, for a decimal year.
double DeltaTSeconds(double decimalYear);

// The Julian Day (UT) of an instant, and back to the second.
double JulianDayOf(UnixSeconds instant);
UnixSeconds InstantOfJulianDay(double julianDay);

// A Julian Ephemeris Day (TT) in universal time: ΔT taken off.
double UniversalJulianDay(double julianEphemerisDay);

// A Julian Day (UT) in Terrestrial Time: ΔT added.
double EphemerisJulianDay(double julianDay);

}  // namespace calendar
