// The principal phases of the moon after Meeus, Astronomical Algorithms, 2nd ed.,
// ch. 49: the mean phase (49.1), its periodic corrections for the new moon, the full
// moon and the quarters, the quarters' W correction, and the fourteen additional
// corrections from the planetary arguments A1 to A14. ΔT: calendar/ephemeris_time.cpp.
//
// Accuracy: from 1900 to 2100 every phase is within 2 minutes of PyEphem's instant
// (the tests check each one; the largest difference is 36 s, ΔT's two models
// included). Meeus' series is a fit to the lunar theory near our time: its instants in
// Terrestrial Time stay within about a minute for some centuries on either side and
// drift slowly beyond. Universal Time then carries ΔT's own uncertainty, a few minutes
// around 1600 and growing without known bound in the future (tens of minutes by the
// year 3000, hours by 9999): outside 1900–2100 the hour is an estimate, and a phase
// near midnight can fall on the next or the previous day.

#include "calendar/moon_phases.h"
#include "calendar/angles.h"
#include "calendar/local_zone.h"

#include <cmath>
#include <cstdio>

namespace calendar {

const std::array<MoonPhaseRow, 4> kMoonPhaseTable = {{
    {.phase = MoonPhase::New, .name = "Nouvelle lune", .fraction = 0.0},
    {.phase = MoonPhase::FirstQuarter, .name = "Premier quartier", .fraction = 0.25},
    {.phase = MoonPhase::Full, .name = "Pleine lune", .fraction = 0.5},
    {.phase = MoonPhase::LastQuarter, .name = "Dernier quartier", .fraction = 0.75},
}};

namespace {

// One periodic term: coefficient × E^eccentricityPower × sin(m'·M' + m·M + f·F + ω·Ω),
// in days; M the sun's mean anomaly, M' the moon's, F its argument of latitude, Ω the
// longitude of its ascending node, E the eccentricity factor of the earth's orbit.
struct PeriodicTerm {
    double coefficient;
    int eccentricityPower;
    int moonAnomaly, sunAnomaly, latitude, node;
};

// Meeus 49, the new moon's corrections: its own first seven, then those it shares with
// the full moon.
constexpr PeriodicTerm kNewMoonTerms[] = {
    {-0.40720, 0, 1, 0, 0, 0}, {0.17241, 1, 0, 1, 0, 0},  {0.01608, 0, 2, 0, 0, 0}, {0.01039, 0, 0, 0, 2, 0},
    {0.00739, 1, 1, -1, 0, 0}, {-0.00514, 1, 1, 1, 0, 0}, {0.00208, 2, 0, 2, 0, 0},
};

// Meeus 49, the full moon's own first seven corrections.
constexpr PeriodicTerm kFullMoonTerms[] = {
    {-0.40614, 0, 1, 0, 0, 0}, {0.17302, 1, 0, 1, 0, 0},  {0.01614, 0, 2, 0, 0, 0}, {0.01043, 0, 0, 0, 2, 0},
    {0.00734, 1, 1, -1, 0, 0}, {-0.00515, 1, 1, 1, 0, 0}, {0.00209, 2, 0, 2, 0, 0},
};

// Meeus 49, the corrections that follow the first seven at the new and the full moon.
constexpr PeriodicTerm kNewAndFullMoonTerms[] = {
    {-0.00111, 0, 1, 0, -2, 0}, {-0.00057, 0, 1, 0, 2, 0}, {0.00056, 1, 2, 1, 0, 0},   {-0.00042, 0, 3, 0, 0, 0},
    {0.00042, 1, 0, 1, 2, 0},   {0.00038, 1, 0, 1, -2, 0}, {-0.00024, 1, 2, -1, 0, 0}, {-0.00017, 0, 0, 0, 0, 1},
    {-0.00007, 0, 1, 2, 0, 0},  {0.00004, 0, 2, 0, -2, 0}, {0.00004, 0, 0, 3, 0, 0},   {0.00003, 0, 1, 1, -2, 0},
    {0.00003, 0, 2, 0, 2, 0},   {-0.00003, 0, 1, 1, 2, 0}, {0.00003, 0, 1, -1, 2, 0},  {-0.00002, 0, 1, -1, -2, 0},
    {-0.00002, 0, 3, 1, 0, 0},  {0.00002, 0, 4, 0, 0, 0},
};

// Meeus 49, the quarters' corrections, before W.
constexpr PeriodicTerm kQuarterTerms[] = {
    {-0.62801, 0, 1, 0, 0, 0},   {0.17172, 1, 0, 1, 0, 0},  {-0.01183, 1, 1, 1, 0, 0},  {0.00862, 0, 2, 0, 0, 0},
    {0.00804, 0, 0, 0, 2, 0},    {0.00454, 1, 1, -1, 0, 0}, {0.00204, 2, 0, 2, 0, 0},   {-0.00180, 0, 1, 0, -2, 0},
    {-0.00070, 0, 1, 0, 2, 0},   {-0.00040, 0, 3, 0, 0, 0}, {-0.00034, 1, 2, -1, 0, 0}, {0.00032, 1, 0, 1, 2, 0},
    {0.00032, 1, 0, 1, -2, 0},   {-0.00028, 2, 1, 2, 0, 0}, {0.00027, 1, 2, 1, 0, 0},   {-0.00017, 0, 0, 0, 0, 1},
    {-0.00005, 0, 1, -1, -2, 0}, {0.00004, 0, 2, 0, 2, 0},  {-0.00004, 0, 1, 1, 2, 0},  {0.00004, 0, 1, -2, 0, 0},
    {0.00003, 0, 1, 1, -2, 0},   {0.00003, 0, 0, 3, 0, 0},  {0.00002, 0, 2, 0, -2, 0},  {0.00002, 0, 1, -1, 2, 0},
    {-0.00002, 0, 3, 1, 0, 0},
};

// Meeus 49, the additional corrections: coefficient × sin(A), A = a0 + a1·k degrees
// (A1 has a further −0.009173·T²).
struct PlanetaryTerm {
    double a0, a1, coefficient;
};
constexpr PlanetaryTerm kPlanetaryTerms[] = {
    {299.77, 0.107408, 0.000325},  {251.88, 0.016321, 0.000165}, {251.83, 26.651886, 0.000164},
    {349.42, 36.412478, 0.000126}, {84.66, 18.206239, 0.000110}, {141.74, 53.303771, 0.000062},
    {207.14, 2.453732, 0.000060},  {154.84, 7.306860, 0.000056}, {34.52, 27.261239, 0.000047},
    {207.19, 0.121824, 0.000042},  {291.34, 1.844379, 0.000040}, {161.72, 24.198154, 0.000037},
    {239.56, 25.513099, 0.000035}, {331.55, 3.592518, 0.000023},
};

}  // namespace

double PhaseEphemerisDay(long lunation, MoonPhase phase) {
    const double k = static_cast<double>(lunation) + kMoonPhaseTable[static_cast<int>(phase)].fraction;
    const double T = k / 1236.85;  // Julian centuries from J2000.0
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T;
    // The mean phase (49.1).
    double jde = 2451550.09766 + 29.530588861 * k + 0.00015437 * T2 - 0.000000150 * T3 + 0.00000000073 * T4;
    const double E = 1.0 - 0.002516 * T - 0.0000074 * T2;
    const double M = Radians(2.5534 + 29.10535670 * k - 0.0000014 * T2 - 0.00000011 * T3);
    const double Mp = Radians(201.5643 + 385.81693528 * k + 0.0107582 * T2 + 0.00001238 * T3 - 0.000000058 * T4);
    const double F = Radians(160.7108 + 390.67050284 * k - 0.0016118 * T2 - 0.00000227 * T3 + 0.000000011 * T4);
    const double Omega = Radians(124.7746 - 1.56375588 * k + 0.0020672 * T2 + 0.00000215 * T3);

    const auto addTerms = [&](const auto& terms) {
        for (const PeriodicTerm& term : terms) {
            const double argument = term.moonAnomaly * Mp + term.sunAnomaly * M + term.latitude * F + term.node * Omega;
            jde += term.coefficient * std::pow(E, term.eccentricityPower) * std::sin(argument);
        }
    };
    switch (phase) {
    case MoonPhase::New:
        addTerms(kNewMoonTerms);
        addTerms(kNewAndFullMoonTerms);
        break;
    case MoonPhase::Full:
        addTerms(kFullMoonTerms);
        addTerms(kNewAndFullMoonTerms);
        break;
    case MoonPhase::FirstQuarter:
    case MoonPhase::LastQuarter: {
        addTerms(kQuarterTerms);
        const double W = 0.00306 - 0.00038 * E * std::cos(M) + 0.00026 * std::cos(Mp) - 0.00002 * std::cos(Mp - M) +
                         0.00002 * std::cos(Mp + M) + 0.00002 * std::cos(2 * F);
        jde += phase == MoonPhase::FirstQuarter ? W : -W;
        break;
    }
    }
    for (const PlanetaryTerm& term : kPlanetaryTerms) {
        double argument = term.a0 + term.a1 * k;
        if (&term == &kPlanetaryTerms[0]) argument -= 0.009173 * T2;
        jde += term.coefficient * std::sin(Radians(argument));
    }
    return jde;
}

UnixSeconds PhaseInstant(long lunation, MoonPhase phase) {
    return InstantOfJulianDay(UniversalJulianDay(PhaseEphemerisDay(lunation, phase)));
}

std::optional<PhaseOfDay> MoonPhaseOn(int year, int month, int day) {
    RefreshLocalZone();
    const double middayJulianDay = JulianDayOf(UtcMidnightOf(year, month, day)) + 0.5;
    // The lunation of the day, and the one on either side: every phase within a month.
    const auto nearest = static_cast<long>(std::floor((middayJulianDay - 2451550.09766) / 29.530588861));
    for (long lunation = nearest - 1; lunation <= nearest + 1; ++lunation) {
        for (const MoonPhaseRow& row : kMoonPhaseTable) {
            const LocalReading local = LocalReadingOf(PhaseInstant(lunation, row.phase));
            if (local.year == year && local.month == month && local.day == day)
                return PhaseOfDay{.phase = row.phase, .name = row.name, .hour = local.hour, .minute = local.minute};
        }
    }
    return std::nullopt;
}

std::string PhaseClock(const PhaseOfDay& phase, std::string_view separator) {
    return ClockText(phase.hour, phase.minute, separator);
}

std::string MoonPhaseSentence(const PhaseOfDay& phase) {
    return std::string(phase.name) + " à " + PhaseClock(phase, " h ");
}

}  // namespace calendar
