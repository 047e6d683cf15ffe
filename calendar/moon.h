#pragma once
// The moon's age on a date, counted on the mean lunar cycle from a reference new
// moon, and the number (0..29) of the picture that shows it.

#include "calendar/int16.h"

namespace calendar {

// The age scale: the moon's age is the elapsed fraction of the mean lunar cycle times
// this rounder figure, so it runs from 0 up to 29.53 over one cycle.
inline constexpr double kMoonAgeScale = 29.53;

// The Julian day (ending in .5) at the start of the day, by the short 367-day formula
// that the age is computed with. It is the true Julian day, except one day ahead from
// March to August of the century years without 29 February (1900, 2100) and in the
// January after them.
double MoonDayNumber(Int16 year, Int16 month, Int16 day);

// Days since the last mean new moon at the start of the day, 0 <= age < 29.53.
double MoonAge(Int16 year, Int16 month, Int16 day);

// The nearest whole age, halves to even, with 30 folded onto 29: 0..29.
Int16 MoonPictureNumber(Int16 year, Int16 month, Int16 day);

}  // namespace calendar
