#include "calendar/leap_year.h"

#include "calendar/numbers.h"

namespace calendar {

bool IsLeapYear(Int16 year) {
    // "!= 0" rather than "> 0": the remainder takes the sign of the year, and a year
    // before year 1 such as -4 is a leap year too in the proleptic calendar.
    return (year % 400 == 0 || year % 100 != 0) && year % 4 == 0;
}

std::string LeapYearSentence(Int16 year) { return LeapYearSentence(year, IsLeapYear(year)); }

std::string LeapYearSentence(Int16 year, bool leap) {
    // The name-day lookup compares these texts to the byte: apostrophe U+0027, é U+00E9.
    return "L'année " + NumberText(year.value()) + (leap ? " est bissextile." : " n'est pas bissextile.");
}

}  // namespace calendar
