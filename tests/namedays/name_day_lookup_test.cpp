// The position of a date in the name-day list, in a leap year or a common one.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calendar/serial_date.h"
#include "leap_year_days.h"
#include "namedays/name_day_lookup.h"

namespace namedays {
namespace {

using testing::LeapYearDays;

// Gregorian rule, written out here so that the check does not lean on the calendar's.
bool GregorianLeap(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int PositionOf(bool leap, int year, int month, int day, double timeOfDay = 0) {
    return NameDayPosition(leap, year, month, calendar::MakeDate(year, month, day) + timeOfDay);
}

// Every date of four whole Gregorian cycles and more lands on its own entry of the
// leap-year list: told the truth about its year, the position is the date's index
// among the (month, day) pairs of a leap year. The decision comes from what the
// caller says: the opposite gives the other layout, whatever the year really is.
TEST(NameDayPosition, EveryDateOfYears1583To3200FindsItsEntry) {
    const auto leapDays = LeapYearDays();
    for (int year = 1583; year <= 3200; ++year) {
        const bool leap = GregorianLeap(year);
        int daysSinceNewYear = 0;  // counted along the year's real dates
        for (int listIndex = 0; listIndex < static_cast<int>(leapDays.size()); ++listIndex) {
            const auto [month, day] = leapDays[static_cast<std::size_t>(listIndex)];
            if (month == 2 && day == 29 && !leap) continue;
            ASSERT_EQ(PositionOf(leap, year, month, day), listIndex) << day << "/" << month << "/" << year;
            if (year >= 1900) {  // before 30 December 1899 a time of day is not a plain added fraction
                ASSERT_EQ(PositionOf(leap, year, month, day, 0.999), listIndex)
                    << "23:58 on " << day << "/" << month << "/" << year;
            }
            // Read as a leap year, positions follow the real days; read as a common
            // year, they step over position 59 from March on.
            ASSERT_EQ(PositionOf(true, year, month, day), daysSinceNewYear) << day << "/" << month << "/" << year;
            ASSERT_EQ(PositionOf(false, year, month, day), daysSinceNewYear + (month >= 3 ? 1 : 0))
                << day << "/" << month << "/" << year;
            ++daysSinceNewYear;
        }
        ASSERT_EQ(daysSinceNewYear, leap ? 366 : 365) << year;
    }
}

struct PositionRow {
    const char* shows;
    int year;
    int month;
    int day;
    int position;
};

class KnownPositions : public ::testing::TestWithParam<PositionRow> {};

TEST_P(KnownPositions, Match) {
    const PositionRow& row = GetParam();
    EXPECT_EQ(PositionOf(GregorianLeap(row.year), row.year, row.month, row.day), row.position);
}

INSTANTIATE_TEST_SUITE_P(NameDayPosition, KnownPositions,
                         ::testing::Values(PositionRow{"FirstJanuary2023IsPosition0", 2023, 1, 1, 0},
                                           PositionRow{"FirstJanuary2024IsPosition0", 2024, 1, 1, 0},
                                           PositionRow{"February28Of2023IsPosition58", 2023, 2, 28, 58},
                                           PositionRow{"February28Of2024IsPosition58", 2024, 2, 28, 58},
                                           PositionRow{"February29Of2024IsPosition59", 2024, 2, 29, 59},
                                           PositionRow{"February29Of2000IsPosition59", 2000, 2, 29, 59},
                                           PositionRow{"March1Of2023StepsOver59To60", 2023, 3, 1, 60},
                                           PositionRow{"March1Of1900StepsOver59To60", 1900, 3, 1, 60},
                                           PositionRow{"March1Of2024IsPosition60", 2024, 3, 1, 60},
                                           PositionRow{"December31Of2023Is364Plus1", 2023, 12, 31, 365},
                                           PositionRow{"December31Of2100Is364Plus1", 2100, 12, 31, 365},
                                           PositionRow{"December31Of2024IsPosition365", 2024, 12, 31, 365}),
                         [](const ::testing::TestParamInfo<PositionRow>& info) {
                             return std::string(info.param.shows);
                         });

}  // namespace
}  // namespace namedays
