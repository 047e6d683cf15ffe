// ΔT after Espenak and Meeus' polynomial expressions (Five Millennium Canon of Solar
// Eclipses, 2006), and Julian Days (Meeus, Astronomical Algorithms, 2nd ed., ch. 7)
// counted from the Unix epoch.
//
// ΔT is known from observations up to the present; the expressions beyond 2005 are
// extrapolations, and before 1600 fits to sparse eclipse records: a few seconds of
// uncertainty around 1800–2000, tens of seconds around 1600, minutes by the year 1000
// and by 2200, hours far from our time.

#include "calendar/ephemeris_time.h"

#include <cmath>

namespace calendar {

double DeltaTSeconds(double y) {
    // Espenak and Meeus, piece by piece; beyond -500 and 2150, the long-term parabola.
    const auto parabola = [](double year) {
        const double u = (year - 1820.0) / 100.0;
        return -20.0 + 32.0 * u * u;
    };
    if (y < -500.0 || y >= 2150.0) return parabola(y);
    if (y < 500.0) {
        const double u = y / 100.0;
        return 10583.6 +
               u * (-1014.41 +
                    u * (33.78311 + u * (-5.952053 + u * (-0.1798452 + u * (0.022174192 + u * 0.0090316521)))));
    }
    if (y < 1600.0) {
        const double u = (y - 1000.0) / 100.0;
        return 1574.2 + u * (-556.01 + u * (71.23472 +
                                            u * (0.319781 + u * (-0.8503463 + u * (-0.005050998 + u * 0.0083572073)))));
    }
    if (y < 1700.0) {
        const double t = y - 1600.0;
        return 120.0 + t * (-0.9808 + t * (-0.01532 + t / 7129.0));
    }
    if (y < 1800.0) {
        const double t = y - 1700.0;
        return 8.83 + t * (0.1603 + t * (-0.0059285 + t * (0.00013336 - t / 1174000.0)));
    }
    if (y < 1860.0) {
        const double t = y - 1800.0;
        return 13.72 + t * (-0.332447 +
                            t * (0.0068612 +
                                 t * (0.0041116 + t * (-0.00037436 + t * (0.0000121272 +
                                                                          t * (-0.0000001699 + t * 0.000000000875))))));
    }
    if (y < 1900.0) {
        const double t = y - 1860.0;
        return 7.62 + t * (0.5737 + t * (-0.251754 + t * (0.01680668 + t * (-0.0004473624 + t / 233174.0))));
    }
    if (y < 1920.0) {
        const double t = y - 1900.0;
        return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
    }
    if (y < 1941.0) {
        const double t = y - 1920.0;
        return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
    }
    if (y < 1961.0) {
        const double t = y - 1950.0;
        return 29.07 + t * (0.407 + t * (-1.0 / 233.0 + t / 2547.0));
    }
    if (y < 1986.0) {
        const double t = y - 1975.0;
        return 45.45 + t * (1.067 + t * (-1.0 / 260.0 - t / 718.0));
    }
    if (y < 2005.0) {
        const double t = y - 2000.0;
        return 63.86 + t * (0.3345 + t * (-0.060374 + t * (0.0017275 + t * (0.000651814 + t * 0.00002373599))));
    }
    if (y < 2050.0) {
        const double t = y - 2000.0;
        return 62.92 + t * (0.32217 + t * 0.005589);
    }
    return parabola(y) - 0.5628 * (2150.0 - y);
}

double JulianDayOf(UnixSeconds instant) { return kUnixEpochJulianDay + static_cast<double>(instant) / 86'400.0; }

UnixSeconds InstantOfJulianDay(double julianDay) { return std::llround((julianDay - kUnixEpochJulianDay) * 86'400.0); }

namespace {

double DecimalYearOf(double julianDay) { return 2000.0 + (julianDay - 2451545.0) / 365.25; }

}  // namespace

double UniversalJulianDay(double julianEphemerisDay) {
    return julianEphemerisDay - DeltaTSeconds(DecimalYearOf(julianEphemerisDay)) / 86'400.0;
}

double EphemerisJulianDay(double julianDay) { return julianDay + DeltaTSeconds(DecimalYearOf(julianDay)) / 86'400.0; }

}  // namespace calendar
