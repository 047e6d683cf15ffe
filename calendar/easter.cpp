#include "calendar/easter.h"

namespace calendar {

// The Gregorian computus in the form given by Meeus, Astronomical Algorithms, 2nd ed.,
// ch. 8 (after the 1876 "Butcher's Ecclesiastical Calendar" and Jones): Easter is the
// first Sunday after the ecclesiastical full moon that falls on or after 21 March.
// Every dividend below is 0 or positive for the years 1 to 32767, so the remainders and
// quotients toward zero of Int16 are the floor ones the rule means; the ranges are
// those of the years 1 to 32767.
SerialDate EasterSunday(Int16 year) {
    const Int16 golden = year % 19;                      // [0, 18]  place in the 19-year Metonic cycle, less one
    const Int16 century = Quotient(year, 100);           // [0, 327]
    const Int16 yearOfCentury = year % 100;              // [0, 99]
    const Int16 skippedLeapDays = Quotient(century, 4);  // [0, 81]  with century % 4: the century leap rule
    const Int16 centuryInFour = century % 4;             // [0, 3]
    // The lunar correction: the moon's phases slip 8 days in 2500 years.
    const Int16 lunarCorrection = Quotient(century + 8, 25);              // [0, 13]
    const Int16 lunarShift = Quotient(century - lunarCorrection + 1, 3);  // [0, 105]
    // Days from 21 March to the ecclesiastical full moon.
    const Int16 fullMoon = (golden * 19 + century - skippedLeapDays - lunarShift + 15) % 30;  // [0, 29]
    const Int16 leapsOfCentury = Quotient(yearOfCentury, 4);                                  // [0, 24]
    const Int16 yearInFour = yearOfCentury % 4;                                               // [0, 3]
    // Days from the full moon to the Sunday after it, less one.
    const Int16 toSunday = (centuryInFour * 2 + leapsOfCentury * 2 - fullMoon - yearInFour + 32) % 7;  // [0, 6]
    // The two exceptions of the computus, each moved back a week: a Sunday that would
    // fall on 26 April becomes 19 April, and one on 25 April becomes 18 April in the
    // years whose golden number is above 11.
    const Int16 lateMoon = Quotient(golden + fullMoon * 11 + toSunday * 22, 451);  // [0, 1]
    const Int16 fromMarch = fullMoon + toSunday - lateMoon * 7 + 114;              // [114, 148]
    const Int16 month = Quotient(fromMarch, 31);                                   // [3, 4]
    const Int16 day = fromMarch % 31 + 1;                                          // [1, 31]
    return MakeDate(year, month, day);
}

}  // namespace calendar
