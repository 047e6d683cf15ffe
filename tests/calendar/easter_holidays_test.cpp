// Leap years, Easter Sunday and the holiday panel.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "calendar/easter.h"
#include "calendar/format_date.h"
#include "calendar/holidays.h"
#include "calendar/leap_year.h"
#include "tests/calendar/sweep_support.h"

namespace calendar {
namespace {

// Gauss's Easter rule with its century terms and both exceptions, in plain integers.
// Returns the day counted from 1 March (32 is 1 April).
int GaussEaster(int year) {
    const int k = year / 100;
    const int M = (15 - (13 + 8 * k) / 25 + k - k / 4) % 30;
    const int N = (4 + k - k / 4) % 7;
    const int d = (19 * (year % 19) + M) % 30;
    const int e = (2 * (year % 4) + 4 * (year % 7) + 6 * d + N) % 7;
    if (d == 29 && e == 6) return 31 + 19;
    if (d == 28 && e == 6 && (11 * M + 11) % 30 < 19) return 31 + 18;
    return 22 + d + e;
}

// The same rule with the constants of 1900 to 2099 (24 and 5) and the 26 April exception alone.
int ShortRuleEaster(int year) {
    const int d = (19 * (year % 19) + 24) % 30;
    const int t = d + (2 * (year % 4) + 4 * (year % 7) + 6 * d + 5) % 7;
    return t == 35 ? 31 + 19 : 22 + t;
}

int FromFirstOfMarch(SerialDate date) { return DayOf(date).value() + (MonthOf(date) == 4 ? 31 : 0); }

TEST(EasterTest, EveryYearFrom1583To9999IsGaussEasterASundayFrom22MarchTo25April) {
    test::MismatchLog log;
    for (int year = 1583; year <= 9999; ++year) {
        const SerialDate easter = EasterSunday(year);
        const int day = FromFirstOfMarch(easter);
        if (YearOf(easter) != year || MonthOf(easter) < 3 || MonthOf(easter) > 4 || day != GaussEaster(year) ||
            WeekdayOf(easter) != 1 || day < 22 || day > 31 + 25 || easter != std::floor(easter)) {
            log.Record(std::to_string(year) + ": day " + std::to_string(day) + " from 1 March, not " +
                       std::to_string(GaussEaster(year)));
        }
    }
    EXPECT_EQ(log.count(), 0);
}

TEST(EasterTest, ShortRuleHoldsFrom1900To2099Except1954And2049) {
    std::set<int> disagreements;
    for (int year = 1900; year <= 2099; ++year) {
        if (FromFirstOfMarch(EasterSunday(year)) != ShortRuleEaster(year)) disagreements.insert(year);
    }
    EXPECT_EQ(disagreements, (std::set<int>{1954, 2049}));
    EXPECT_EQ(ShortRuleEaster(1954), 31 + 25);
    EXPECT_EQ(EasterSunday(1954), MakeDate(1954, 4, 18));
    EXPECT_EQ(EasterSunday(2049), MakeDate(2049, 4, 18));
    EXPECT_EQ(EasterSunday(2100), MakeDate(2100, 3, 28));  // the short rule says 27 March
    const struct {
        int year, month, day;
    } worked[] = {{2024, 3, 31}, {2025, 4, 20}, {2026, 4, 5},  {2008, 3, 23}, {2000, 4, 23},
                  {1981, 4, 19}, {2076, 4, 19}, {2038, 4, 25}, {1943, 4, 25}, {1818, 3, 22}};
    for (const auto& row : worked)
        EXPECT_EQ(EasterSunday(row.year), MakeDate(row.year, row.month, row.day)) << row.year;
}

TEST(LeapYearTest, EveryYearAgreesWithChronoAndTheSentenceIsExact) {
    test::MismatchLog log;
    for (int year = -32767; year <= 32767; ++year) {
        if (IsLeapYear(year) != std::chrono::year{year}.is_leap()) log.Record(std::to_string(year));
    }
    EXPECT_EQ(log.count(), 0);
    // In bytes, whatever the encoding this file is read in: é is C3 A9, the apostrophe the plain one.
    EXPECT_EQ(LeapYearSentence(2024),
              "L'ann\xC3\xA9"
              "e 2024 est bissextile.");
    EXPECT_EQ(LeapYearSentence(2023),
              "L'ann\xC3\xA9"
              "e 2023 n'est pas bissextile.");
    EXPECT_EQ(LeapYearSentence(1900),
              "L'ann\xC3\xA9"
              "e 1900 n'est pas bissextile.");
}

// The panel's rows as the nation's holidays give them, formatted by each row's pattern.
std::vector<std::string> PanelTexts(int year) {
    const std::vector<Holiday> holidays = HolidaysOf(Region::National, year);
    std::vector<std::string> texts;
    for (const HolidayRow& row : PanelHolidays()) {
        const auto kept = std::ranges::find(holidays, &row, &Holiday::row);
        texts.push_back(kept == holidays.end() ? "(hidden)" : FormatDate(kept->date, row.pattern, FrenchNames()));
    }
    return texts;
}

TEST(HolidayTest, ThePanelOf2024And2026FormatsToTheByte) {
    const struct {
        int year;
        std::vector<std::string> texts;  // top to bottom
    } panels[] = {
        {2024,
         {"lundi 01 janvier ", "dimanche 31 mars ", "lundi 01 avril", "mercredi 01 mai ", "mercredi 08 mai ",
          "jeudi 09 mai", "lundi 20 mai ", "dimanche 14 juillet ", "jeudi 15 août ", "vendredi 01 nov. ",
          "lundi 11 nov. ", "mercredi 25 déc. "}},
        {2026,
         {"jeudi 01 janvier ", "dimanche 05 avril ", "lundi 06 avril", "vendredi 01 mai ", "vendredi 08 mai ",
          "jeudi 14 mai", "lundi 25 mai ", "mardi 14 juillet ", "samedi 15 août ", "dimanche 01 nov. ",
          "mercredi 11 nov. ", "vendredi 25 déc. "}},
    };
    for (const auto& panel : panels) EXPECT_EQ(PanelTexts(panel.year), panel.texts) << panel.year;
}

// The panel hides the two victories before their first anniversaries, 1946 and 1919,
// and no other row in any year.
TEST(HolidayTest, OnlyTheTwoVictoriesHideBeforeTheirFirstAnniversary) {
    for (int year = kFirstCalendarYear; year <= kLastCalendarYear; ++year) {
        std::set<std::string_view> hidden;
        const std::vector<std::string> texts = PanelTexts(year);
        for (std::size_t row = 0; row < texts.size(); ++row) {
            if (texts[row] == "(hidden)") hidden.insert(PanelHolidays()[row].key);
        }
        std::set<std::string_view> expected;
        if (year < 1946) expected.insert("victoire-1945");
        if (year < 1919) expected.insert("armistice-1918");
        ASSERT_EQ(hidden, expected) << year;
    }
}

}  // namespace
}  // namespace calendar
