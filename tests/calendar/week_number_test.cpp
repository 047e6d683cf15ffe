// Day of the year and ISO 8601 week numbers.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "calendar/week_number.h"
#include "tests/calendar/sweep_support.h"

namespace calendar {
namespace {

using namespace std::chrono;

// ISO 8601 by its definition: a week runs Monday to Sunday and belongs to the year of
// its Thursday; week 1 holds that year's first Thursday.
int IsoWeek(sys_days day) {
    const sys_days thursday = day - days{weekday{day}.iso_encoding() - 1} + days{3};
    const year weekYear = year_month_day{thursday}.year();
    return int((thursday - sys_days{weekYear / January / 1}).count() / 7) + 1;
}

// Every day of 1583 to 9999; the day of the year is counted up here from 1 January.
TEST(WeekNumberTest, EveryDayFrom1583To9999IsTheIsoWeek) {
    test::MismatchLog log;
    int dayOfYear = 0;
    for (sys_days day = year{1583} / January / 1; day <= year{9999} / December / 31; day += days{1}) {
        const year_month_day date{day};
        dayOfYear = date.month() == January && date.day() == 1d ? 1 : dayOfYear + 1;
        const int dayNumber = Days(test::SerialOf(day)).value();
        const int week = WeekNumber(test::SerialOf(day)).value();
        if (dayNumber != dayOfYear || week != IsoWeek(day)) {
            log.Record(test::DateText(date) + " is day " + std::to_string(dayOfYear) + " of ISO week " +
                       std::to_string(IsoWeek(day)) + ", not day " + std::to_string(dayNumber) + " of week " +
                       std::to_string(week));
        }
    }
    EXPECT_EQ(log.count(), 0);
    EXPECT_EQ(Days(MakeDate(2024, 1, 1) + 0.25).value(), 1);
    EXPECT_EQ(Days(MakeDate(2024, 1, 1) + 0.75).value(), 2);  // after noon rounds up
}

TEST(WeekNumberTest, WorkedDates) {
    const struct {
        const char* name;
        int year, month, day, week;
    } rows[] = {
        {"Sunday 2023-01-01 is in week 52 of 2022", 2023, 1, 1, 52},
        {"Monday 2023-01-02 opens week 1", 2023, 1, 2, 1},
        {"Friday 2021-01-01 is in week 53 of 2020", 2021, 1, 1, 53},
        {"Monday 2021-01-04 opens week 1", 2021, 1, 4, 1},
        {"Thursday 2020-12-31 is in week 53, 2020 ending on a Thursday", 2020, 12, 31, 53},
        {"Monday 2024-12-30 is in week 1 of 2025", 2024, 12, 30, 1},
        {"Thursday 2026-01-01 is in week 1", 2026, 1, 1, 1},
        {"Thursday 2026-12-31 is in week 53", 2026, 12, 31, 53},
        {"Thursday 2024-02-29 is in week 9", 2024, 2, 29, 9},
        {"Sunday 2025-06-15 is in week 24", 2025, 6, 15, 24},
        {"Sunday 2000-01-02 is in week 52 of 1999", 2000, 1, 2, 52},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(WeekNumber(MakeDate(row.year, row.month, row.day)).value(), row.week) << row.name;
    }
}

}  // namespace
}  // namespace calendar
