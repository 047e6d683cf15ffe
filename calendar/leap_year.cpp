#include "calendar/leap_year.h"

#include "calendar/numbers.h"

namespace calendar {

bool IsLeapYear(Int16 year) {
    // "!= 0" rather than "> 0": the remainder takes the sign of the year, and a year
    // before year 1 such as -4 is a leap year too in the proleptic calendar.
    return (year % 400 == 0 || year % 100 != 0) && year % 4 == 0;
}

std::string LeapYearSentence(Int16 year) {
    return "L'année " + NumberText(year.value()) + (IsLeapYear(year) ? " est bissextile." : " n'est pas bissextile.");
}

}  // namespace calendar
