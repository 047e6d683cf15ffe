// The moon's age and the number of its picture.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>

#include "calendar/moon.h"
#include "tests/calendar/sweep_support.h"

namespace calendar {
namespace {

using namespace std::chrono;

TEST(MoonTest, WorkedDates) {
    const struct {
        int year, month, day;
        double dayNumber, phase, age;  // the phase to six places, the age to four
        int picture;
    } rows[] = {
        {2000, 1, 6, 2451549.5, -0.020318, 28.9300, 29},   {1900, 1, 1, 2415020.5, -1237.008858, 29.2684, 29},
        {2024, 2, 29, 2460369.5, 298.653035, 19.2841, 19}, {2024, 3, 1, 2460370.5, 298.686899, 20.2841, 20},
        {2023, 7, 14, 2460139.5, 290.864501, 25.5287, 26}, {2025, 12, 25, 2461034.5, 321.172058, 5.0809, 5},
        {1997, 3, 9, 2450516.5, -35.000995, 29.5006, 29},  {1990, 6, 23, 2448065.5, -117.999679, 0.0095, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(test::DateText(row.year, row.month, row.day));
        EXPECT_EQ(MoonDayNumber(row.year, row.month, row.day), row.dayNumber);
        const double age = MoonAge(row.year, row.month, row.day);
        EXPECT_NEAR(age, 29.53 * (row.phase - std::floor(row.phase)), 29.53 * 5e-7);
        EXPECT_NEAR(age, row.age, 5e-5);
        EXPECT_EQ(MoonPictureNumber(row.year, row.month, row.day).value(), row.picture);
    }
}

// Every day of 1583 to 9999. The day number is the Julian day (2440587.5 at the start of
// 1970), one ahead from March to August of a century year without 29 February and in the
// January after it (1900: 1 March 2415080.5, 31 August and 1 September 2415263.5; 1901:
// 1 January 2415386.5, 31 January and 1 February 2415416.5). From one day number to the
// next the age grows by 29.53 / 29.530588853, less 29.53 at each new moon; no picture is 30.
TEST(MoonTest, EveryDayFrom1583To9999) {
    test::MismatchLog log;
    double previousNumber = 0, previousAge = 0;
    for (sys_days day = year{1583} / January / 1; day <= year{9999} / December / 31; day += days{1}) {
        const year_month_day date{day};
        const int y = int(date.year()), m = int(unsigned(date.month())), d = int(unsigned(date.day()));
        const auto centuryWithout29February = [](int year) { return year % 100 == 0 && year % 400 != 0; };
        const bool ahead =
            (centuryWithout29February(y) && m >= 3 && m <= 8) || (centuryWithout29February(y - 1) && m == 1);
        const double expectedNumber = double(day.time_since_epoch().count()) + 2440587.5 + (ahead ? 1 : 0);
        const double number = MoonDayNumber(y, m, d), age = MoonAge(y, m, d);
        const int picture = MoonPictureNumber(y, m, d).value();
        const double ageStep = age - previousAge + (age < previousAge ? 29.53 : 0);
        if (number != expectedNumber || !(age >= 0 && age < 29.53) || picture < 0 || picture > 29 ||
            (number - previousNumber == 1 && std::fabs(ageStep - 29.53 / 29.530588853) > 1e-6)) {
            log.Record(test::DateText(date) + ": day number " + std::to_string(number) + ", age " +
                       std::to_string(age));
        }
        previousNumber = number;
        previousAge = age;
    }
    EXPECT_EQ(log.count(), 0);
}

}  // namespace
}  // namespace calendar
