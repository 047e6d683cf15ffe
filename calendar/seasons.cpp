// The equinoxes and solstices after Meeus, Astronomical Algorithms, 2nd ed., ch. 27:
// the mean instant of the season (tables 27.A for the years before 1000, 27.B from
// 1000), corrected by the 24 periodic terms of table 27.C (27.1), then brought to the
// instant the sun's apparent longitude (sun_position.cpp) is a multiple of 90° by the
// chapter's own iteration, JDE += 58 sin(k·90° − λ) days, until it moves by less than
// a tenth of a second. The periodic terms alone are within about a minute; the
// iteration leaves the error of the sun's longitude, an arc-second or so: about 25
// seconds of Terrestrial Time.
//
// Accuracy: every season from 1583 to 2200 is within 45 seconds of PyEphem's (the
// tests check each one; the two ΔT models differ by up to 23 s of it). Outside these
// years universal time carries ΔT's uncertainty (calendar/ephemeris_time.cpp): minutes
// around the year 1000 and after 2200, hours far from our time, when a season near
// midnight can fall on the next or the previous day.

#include "calendar/seasons.h"

#include <cmath>
#include <cstdio>

#include "calendar/angles.h"
#include "calendar/ephemeris_time.h"
#include "calendar/local_zone.h"
#include "calendar/sun_position.h"

namespace calendar {

const std::array<SeasonRow, 4> kSeasonTable = {{
    {.season = Season::MarchEquinox,
     .month = 3,
     .longitude = 0,
     .northName = "Équinoxe de printemps",
     .southName = "Équinoxe d'automne"},
    {.season = Season::JuneSolstice,
     .month = 6,
     .longitude = 90,
     .northName = "Solstice d'été",
     .southName = "Solstice d'hiver"},
    {.season = Season::SeptemberEquinox,
     .month = 9,
     .longitude = 180,
     .northName = "Équinoxe d'automne",
     .southName = "Équinoxe de printemps"},
    {.season = Season::DecemberSolstice,
     .month = 12,
     .longitude = 270,
     .northName = "Solstice d'hiver",
     .southName = "Solstice d'été"},
}};

namespace {

// The mean instant as a polynomial in Y, one row per season in kSeasonTable's order.
using MeanSeason = std::array<double, 5>;
// Meeus 27.A, the years −1000 to 1000: Y = year / 1000.
constexpr std::array<MeanSeason, 4> kMeanBefore1000 = {{
    {1721139.29189, 365242.13740, 0.06134, 0.00111, -0.00071},
    {1721233.25401, 365241.72562, -0.05323, 0.00907, 0.00025},
    {1721325.70455, 365242.49558, -0.11677, -0.00297, 0.00074},
    {1721414.39987, 365242.88257, -0.00769, -0.00933, -0.00006},
}};
// Meeus 27.B, the years 1000 to 3000: Y = (year − 2000) / 1000.
constexpr std::array<MeanSeason, 4> kMeanFrom1000 = {{
    {2451623.80984, 365242.37404, 0.05169, -0.00411, -0.00057},
    {2451716.56767, 365241.62603, 0.00325, 0.00888, -0.00030},
    {2451810.21715, 365242.01767, -0.11575, 0.00337, 0.00078},
    {2451900.05952, 365242.74049, -0.06223, -0.00823, 0.00032},
}};

// Meeus 27.C: A cos(B + C·T), B and C in degrees, the sum in 10⁻⁵ day.
struct PeriodicTerm {
    double amplitude, phase, speed;
};
constexpr PeriodicTerm kPeriodicTerms[] = {
    {485, 324.96, 1934.136}, {203, 337.23, 32964.467}, {199, 342.08, 20.186},   {182, 27.85, 445267.112},
    {156, 73.14, 45036.886}, {136, 171.52, 22518.443}, {77, 222.54, 65928.934}, {74, 296.72, 3034.906},
    {70, 243.58, 9037.513},  {58, 119.81, 33718.147},  {52, 297.17, 150.678},   {50, 21.02, 2281.226},
    {45, 247.54, 29929.562}, {44, 325.15, 31555.956},  {29, 60.93, 4443.417},   {18, 155.12, 67555.328},
    {17, 288.79, 4562.452},  {16, 198.04, 62894.029},  {14, 199.76, 31436.921}, {12, 95.39, 14577.848},
    {12, 287.11, 31931.756}, {12, 320.81, 34777.259},  {9, 227.73, 1222.114},   {8, 15.45, 16859.074},
};

double ApproximateEphemerisDay(int year, Season season) {
    const bool early = year < 1000;
    const MeanSeason& mean = (early ? kMeanBefore1000 : kMeanFrom1000)[static_cast<int>(season)];
    const double Y = (early ? year : year - 2000) / 1000.0;
    const double jde0 = mean[0] + Y * (mean[1] + Y * (mean[2] + Y * (mean[3] + Y * mean[4])));
    const double T = (jde0 - 2451545.0) / 36525.0;
    const double W = Radians(35999.373 * T - 2.47);
    const double deltaLambda = 1 + 0.0334 * std::cos(W) + 0.0007 * std::cos(2 * W);
    double sum = 0;
    for (const PeriodicTerm& term : kPeriodicTerms)
        sum += term.amplitude * std::cos(Radians(term.phase + term.speed * T));
    return jde0 + 0.00001 * sum / deltaLambda;
}

}  // namespace

double SeasonEphemerisDay(int year, Season season) {
    double jde = ApproximateEphemerisDay(year, season);
    const double target = Radians(kSeasonTable[static_cast<int>(season)].longitude);
    for (int i = 0; i < 8; ++i) {
        const double correction = 58.0 * std::sin(target - SunApparentLongitude(jde));
        jde += correction;
        if (std::abs(correction) < 0.1 / 86'400.0) break;
    }
    return jde;
}

UnixSeconds SeasonInstant(int year, Season season) {
    return InstantOfJulianDay(UniversalJulianDay(SeasonEphemerisDay(year, season)));
}

std::optional<SeasonOfDay> SeasonOn(int year, int month, int day, double latitude) {
    RefreshLocalZone();
    for (const SeasonRow& row : kSeasonTable) {
        if (row.month != month) continue;
        const LocalReading local = LocalReadingOf(SeasonInstant(year, row.season));
        if (local.year != year || local.month != month || local.day != day) return std::nullopt;
        return SeasonOfDay{.season = row.season,
                           .name = latitude < 0 ? row.southName : row.northName,
                           .hour = local.hour,
                           .minute = local.minute};
    }
    return std::nullopt;
}

std::string SeasonClock(const SeasonOfDay& season, std::string_view separator) {
    return ClockText(season.hour, season.minute, separator);
}

std::string SeasonSentence(const SeasonOfDay& season) {
    return std::string(season.name) + " à " + SeasonClock(season, " h ");
}

}  // namespace calendar
