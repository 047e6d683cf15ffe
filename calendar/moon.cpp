#include "calendar/moon.h"

#include "calendar/numbers.h"

namespace calendar {

namespace {

// The mean new moon of 6 January 2000, about 14:24, as a Julian day: the first mean
// new moon of 2000 in Meeus, Astronomical Algorithms, 2nd ed., ch. 49 (JDE 2451550.09766).
constexpr double kReferenceNewMoon = 2451550.1;
// The mean synodic month about the year 2000, in days.
constexpr double kSynodicMonth = 29.530588853;

}  // namespace

// The Julian day at the start of the day, by the one-line formula of 367 days a year
// less the leap days that a year counted from March leaves out, with a correction for
// the century years (Meeus, Astronomical Algorithms, 2nd ed., ch. 7, gives the exact
// rule that it approximates). The floors work on whole values and halves, all exact in
// doubles. It gives the true Julian day on every date except in the century years
// without 29 February (1900, 2100, 2200, ...): there it runs one day ahead from 1 March
// to 31 August, and again through January of the year after. The moon's age keeps
// those drifts.
double MoonDayNumber(Int16 year, Int16 month, Int16 day) {
    const double y = year.value();
    const double m = month.value();
    const double A = 367.0 * y;
    const double B = IntPart(RealDivide(m + 9.0, 12.0));   // 0 for January and February, else 1
    const double C = IntPart(1.75 * (y + B));              // the leap days, on a year counted from March
    const double T = IntPart(275.0 * RealDivide(m, 9.0));  // 30, 61, 91, ... 366 for January to December
    const double E = IntPart(RealDivide(m - 9.0, 7.0));    // -2 for January, -1 to August, 0 after
    const double G = IntPart(0.01 * (y + E));              // centuries
    const double H = IntPart(0.75 * (G + 1.0));            // the century years without a leap day
    return (A - C) + T - H + day.value() + 1721028.5;
}

double MoonAge(Int16 year, Int16 month, Int16 day) {
    const double J = MoonDayNumber(year, month, day);
    const double P =
        RealDivide(J - kReferenceNewMoon, kSynodicMonth);  // cycles since the reference, negative before it
    const double F = P - IntPart(P);  // [0, 1): the floor keeps it positive before the reference too
    return kMoonAgeScale * F;
}

Int16 MoonPictureNumber(Int16 year, Int16 month, Int16 day) {
    const double n = RoundWhole(MoonAge(year, month, day));  // [0, 30]
    // An age of 29.5 days or more rounds to 30; the last picture is 29.
    return ToInteger(n == 30.0 ? 29.0 : n);
}

}  // namespace calendar
