// Serial day numbers: building dates, taking them apart, counting days, and the clock.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>
#include <thread>

#include "calendar/serial_date.h"
#include "tests/calendar/sweep_support.h"

namespace calendar {
namespace {

using namespace std::chrono;
using test::DateText;

// Every day of the years 100 to 9999 against chrono: consecutive serial numbers, the
// weekday turning by one, and each part back out of the serial number, with or without
// a time of day (the day is the whole part toward zero, whatever the sign).
TEST(SerialDateTest, EveryDayOfTheYears100To9999) {
    test::MismatchLog log;
    sys_days day = year{100} / January / 1;
    double expectedSerial = test::SerialOf(day);
    int expectedWeekday = int(weekday{day}.c_encoding()) + 1;
    for (; day <= year{9999} / December / 31; day += days{1}) {
        const year_month_day date{day};
        const int y = int(date.year()), m = int(unsigned(date.month())), d = int(unsigned(date.day()));
        const SerialDate serial = MakeDate(y, m, d);
        const SerialDate withTime = serial + (serial < 0 ? -0.75 : 0.75);
        if (serial != expectedSerial || YearOf(serial) != y || MonthOf(serial) != m || DayOf(serial) != d ||
            WeekdayOf(serial) != expectedWeekday || int(weekday{day}.c_encoding()) + 1 != expectedWeekday ||
            DayOf(withTime) != d || WeekdayOf(withTime) != expectedWeekday) {
            log.Record(DateText(date) + ": serial " + std::to_string(serial) + " for " +
                       std::to_string(expectedSerial));
        }
        expectedSerial += 1.0;
        expectedWeekday = expectedWeekday % 7 + 1;
    }
    EXPECT_EQ(log.count(), 0);
    for (const auto& [serial, y, m, d] : {std::tuple{0, 1899, 12, 30}, std::tuple{2, 1900, 1, 1},
                                          std::tuple{36526, 2000, 1, 1}, std::tuple{45292, 2024, 1, 1}}) {
        EXPECT_EQ(MakeDate(y, m, d), serial) << DateText(y, m, d);
    }
}

// Any month and day against chrono's month arithmetic: the months are added to January,
// then the days to the first of that month. This takes in (2024, 1, 0) as 31 December
// 2023, (2024, 4, -9) as 22 March, (2024, 3, 57) as 26 April, (2023, 13, 1) as 1 January
// 2024 and (2023, 2, 29) as 1 March.
TEST(MakeDateTest, CarriesMonthsIntoYearsAndDaysIntoMonths) {
    test::MismatchLog log;
    for (int y : {1, 1900, 2023, 2024, 9999}) {
        for (int m = -40; m <= 40; ++m) {
            const sys_days first = (year_month{year{y}, January} + months{m - 1}) / 1;
            for (int d = -800; d <= 800; ++d) {
                if (MakeDate(y, m, d) != test::SerialOf(first + days{d - 1})) {
                    log.Record("MakeDate(" + std::to_string(y) + ", " + std::to_string(m) + ", " + std::to_string(d) +
                               ")");
                }
            }
        }
    }
    EXPECT_EQ(log.count(), 0);
}

TEST(MakeDateTest, YearsBeyondSixteenBitsOverflow) {
    EXPECT_EQ(YearOf(MakeDate(32767, 12, 31)).value(), 32767);
    EXPECT_THROW(MakeDate(32767, 13, 1), OverflowError);
    EXPECT_THROW(MakeDate(-32768, 0, 1), OverflowError);
    EXPECT_THROW(YearOf(MakeDate(32767, 12, 32)), OverflowError);
    EXPECT_THROW(YearOf(1e300), OverflowError);
    EXPECT_THROW(YearOf(std::numeric_limits<double>::quiet_NaN()), FloatingPointError);
}

TEST(DayDiffTest, CountsMidnightsWhateverTheTimeOfDay) {
    const SerialDate newYear2024 = MakeDate(2024, 1, 1);
    EXPECT_EQ(DayDiff(newYear2024, newYear2024 + 86399.0 / 86400.0), 0);
    EXPECT_EQ(DayDiff(newYear2024 - 1.0 / 1440.0, newYear2024 + 1.0 / 1440.0), 1);
    EXPECT_EQ(DayDiff(newYear2024, MakeDate(2024, 12, 31)), 365);
    EXPECT_EQ(DayDiff(MakeDate(2023, 1, 1), MakeDate(2023, 12, 31)), 364);
    EXPECT_EQ(DayDiff(MakeDate(2024, 12, 31), newYear2024), -365);
}

TEST(ClockTest, FixedTimeStandsInForTheClockUntilCleared) {
    const SerialDate fixed = MakeDate(2026, 12, 6) + (9 * 3600 + 5 * 60 + 7) / 86400.0;
    SetFixedClock(fixed);
    EXPECT_EQ(CurrentDateTime(), fixed);
    SetFixedClock(std::nullopt);
    EXPECT_NE(CurrentDateTime(), fixed);
}

// The real clock in three zones of known offset, against the system clock's seconds
// since 1970 read just before and just after (time(), a 64-bit count of seconds).
// The zone changes between two readings with nothing else said: the clock must notice
// it by itself, as it must notice a relinked /etc/localtime. CTest runs it again with
// the system clock faked to the first and the last years the clock must show, 100 and
// 9999, where a count of nanoseconds since 1970 in 64 bits no longer holds.
TEST(ClockTest, RealClockIsLocalTimeToTheWholeSecond) {
    const char* savedZone = std::getenv("TZ");
    const std::optional<std::string> saved = savedZone ? std::optional<std::string>(savedZone) : std::nullopt;
    const double serialOf1970 = test::SerialOf(sys_days{year{1970} / January / 1});
    for (const auto& [zone, offsetHours] : {std::pair{"UTC0", 0}, std::pair{"ZZZ-5", 5}, std::pair{"ZZZ+3", -3}}) {
        setenv("TZ", zone, 1);
        const std::time_t before = std::time(nullptr);
        // Before 1899 a serial date counts its days back but its time of day forward.
        const DayAndTime now = DayAndTimeOf(CurrentDateTime());
        const double second = (double(now.day) + now.timeOfDay - serialOf1970) * 86400.0 - offsetHours * 3600.0;
        const std::time_t after = std::time(nullptr);
        EXPECT_NEAR(second, std::round(second), 1e-3) << zone;
        EXPECT_GE(std::round(second), double(before)) << zone;
        EXPECT_LE(std::round(second), double(after)) << zone;
    }
    saved ? setenv("TZ", saved->c_str(), 1) : unsetenv("TZ");
    tzset();
}

// The clock's second turns when MillisecondsToNextSecond said it would (before 1970
// too, where the seconds since 1970 are negative), and a running clock set to the
// other end of the years shows that time and runs on from it.
// The turn is bracketed, not timed: between the last look that saw the old second
// and the first that saw the new one. Load only widens the brackets. A turn during
// which the system set or steered the wall clock against the steady one by more than
// a millisecond (a time service, a virtual machine's host) tells nothing of the
// foretelling, and is awaited again.
TEST(ClockTest, TheSecondTurnsWhenForetoldAndARunningClockRunsOn) {
    const auto wallAhead = [] {
        const auto wall = system_clock::now().time_since_epoch();
        return duration_cast<nanoseconds>(wall - steady_clock::now().time_since_epoch());
    };
    for (int turn = 1;; ++turn) {
        const nanoseconds wallBefore = wallAhead();
        SerialDate shown;
        int left = 0;
        steady_clock::time_point asked;
        do {  // the foretelling and the second it speaks of, read within one second
            shown = CurrentDateTime();
            asked = steady_clock::now();
            left = MillisecondsToNextSecond();
        } while (CurrentDateTime() != shown);
        const auto answered = steady_clock::now();
        auto lastSawOld = answered;
        for (auto look = answered; CurrentDateTime() == shown; look = steady_clock::now()) {
            lastSawOld = look;
            std::this_thread::sleep_for(milliseconds(1));
        }
        const auto sawNew = steady_clock::now();
        if (abs(wallAhead() - wallBefore) > milliseconds(1) && turn < 10) continue;
        // The clock's milliseconds are whole: the second may come 1 ms before its foretelling.
        EXPECT_GE(sawNew, asked + milliseconds(left - 1)) << "the second turned before it was foretold";
        EXPECT_LE(lastSawOld, answered + milliseconds(left)) << "the second turned after it was foretold";
        break;
    }

    for (const SerialDate from : {MakeDate(100, 1, 1), MakeDate(9999, 12, 31) + 0.5}) {
        SetRunningClock(from);
        EXPECT_NEAR(CurrentDateTime(), from, 1.5 / 86400.0);
    }
    SetFixedClock(std::nullopt);
}

}  // namespace
}  // namespace calendar
