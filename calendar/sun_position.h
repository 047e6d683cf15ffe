#pragma once
// The sun's apparent place: its longitude on the ecliptic of the date, and its right
// ascension and declination, with the sidereal time at Greenwich that turns them into
// the hour angle of a place. The seasons and the sun's rising and setting share it.

namespace calendar {

struct ApparentSun {
    double longitude = 0;       // apparent ecliptic longitude, radians [0, 2π)
    double rightAscension = 0;  // radians (−π, π]
    double declination = 0;     // radians [−0.41, 0.41]
    double siderealTime = 0;    // apparent sidereal time at Greenwich, radians [0, 2π)
};

// The sun at an instant given as a Julian Day in universal time.
ApparentSun SunAt(double julianDay);

// The sun's apparent longitude alone, radians [0, 2π), at a Julian Ephemeris Day.
double SunApparentLongitude(double julianEphemerisDay);

}  // namespace calendar
