// The holiday table: every rule on its day in every year, in its region and those that
// inherit it; the regions by their names; and the regions' days of python3-holidays
// where no legal text says otherwise.

#include "calendar/holidays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/calendar/oracle_support.h"
#include "tests/calendar/sweep_support.h"

namespace calendar {
namespace {

using namespace std::chrono;

// Easter by the epact, after Knuth, The Art of Computer Programming, vol. 1, 1.3.2,
// exercise 14 (the Lilian rule), in plain integers.
sys_days EpactEaster(int y) {
    const int golden = y % 19 + 1;
    const int century = y / 100 + 1;
    const int dropped = 3 * century / 4 - 12;  // leap days the Gregorian reform drops
    const int moonShift = (8 * century + 5) / 25 - 5;
    const int sunday = 5 * y / 4 - dropped - 10;  // March (-sunday) mod 7 is a Sunday
    int epact = (11 * golden + 20 + moonShift - dropped) % 30;
    if ((epact == 25 && golden > 11) || epact == 24) ++epact;
    int n = 44 - epact;  // the full moon, counted in March
    if (n < 21) n += 30;
    n = n + 7 - (sunday + n) % 7;
    return sys_days{year{y} / March / 1} + days{n - 1};
}

// A rule's day by std::chrono; chrono numbers the weekdays from Sunday 0.
sys_days ChronoDate(const HolidayRule& rule, int y) {
    const weekday day{static_cast<unsigned>(rule.weekday) - 1};
    const auto m = month{static_cast<unsigned>(rule.month)};
    switch (rule.kind) {
    case HolidayRule::Kind::FixedDate: return sys_days{year{y} / m / rule.day};
    case HolidayRule::Kind::FromEaster: return EpactEaster(y) + days{rule.daysAfterEaster};
    case HolidayRule::Kind::NthWeekday: return sys_days{year{y} / m / day[static_cast<unsigned>(rule.nth)]};
    case HolidayRule::Kind::LastWeekday: return sys_days{year{y} / m / day[last]};
    }
    return {};
}

// Every nth and last weekday of every month of every year, those no row uses yet
// included, lands where chrono puts it.
TEST(HolidayRuleTest, WeekdaysOfAMonthAgreeWithChronoFrom1583To9999) {
    std::vector<HolidayRule> rules;
    for (int m = 1; m <= 12; ++m) {
        for (int w = 1; w <= 7; ++w) {
            for (int nth = 1; nth <= 4; ++nth) rules.push_back(NthWeekday(nth, Weekday{w}, m));
            rules.push_back(LastWeekday(Weekday{w}, m));
        }
    }
    test::MismatchLog log;
    for (int y = 1583; y <= 9999; ++y) {
        for (const HolidayRule& rule : rules) {
            if (HolidayRuleDate(rule, y) != test::SerialOf(ChronoDate(rule, y)))
                log.Record(std::to_string(y) + " month " + std::to_string(rule.month) + " weekday " +
                           std::to_string(static_cast<int>(rule.weekday)) + " nth " + std::to_string(rule.nth));
        }
    }
    EXPECT_EQ(log.count(), 0);
}

// Every row of the table, read here with its region's inheritance, is kept on its day
// from its first year to its last, in its region and in those that inherit it, after
// the inherited ones and in the table's order; the days by chrono and the epact.
TEST(HolidayTableTest, EveryRowFallsOnItsDayInItsRegionAndItsHeirsFrom1583To9999) {
    test::MismatchLog log;
    for (int y = 1583; y <= 9999; ++y) {
        for (const RegionRow& region : kRegionTable) {
            std::vector<Region> lineage{region.region};  // the farthest ancestor first
            for (std::optional<Region> up = region.inherits; up;) {
                lineage.insert(lineage.begin(), *up);
                up = std::ranges::find(kRegionTable, *up, &RegionRow::region)->inherits;
            }
            std::vector<std::pair<SerialDate, std::string_view>> expected, found;
            for (const Region each : lineage) {
                for (const HolidayRow& row : kHolidayTable) {
                    if (row.region == each && (row.since == 0 || y >= row.since) && (row.until == 0 || y <= row.until))
                        expected.emplace_back(test::SerialOf(ChronoDate(row.rule, y)), row.key);
                }
            }
            for (const Holiday& holiday : HolidaysOf(region.region, y))
                found.emplace_back(holiday.date, holiday.row->key);
            if (found != expected)
                log.Record(std::string(region.name) + " " + std::to_string(y) + ": " + std::to_string(found.size()) +
                           " holidays, not " + std::to_string(expected.size()));
        }
    }
    EXPECT_EQ(log.count(), 0);
}

TEST(RegionalHolidaysTest, EveryRegionIsFoundByItsNameAndItsKeyAndNoOther) {
    std::set<Region> seen;
    for (const RegionRow& row : kRegionTable) {
        EXPECT_EQ(RegionNamed(row.name), row.region) << row.name;
        EXPECT_EQ(RegionNamed(row.key), row.region) << row.key;
        EXPECT_EQ(RegionName(row.region), row.name);
        EXPECT_EQ(RegionKey(row.region), row.key);
        seen.insert(row.region);
    }
    EXPECT_EQ(seen.size(), kRegionTable.size());
    for (const char* unknown : {"", "Corse", "la réunion", "France"})
        EXPECT_EQ(RegionNamed(unknown), std::nullopt) << unknown;
    EXPECT_EQ(kRegionTable[0].region, Region::National);  // the default comes first
}

// python3-holidays knows the same regions, by their ISO 3166-2 codes; Debian 12 has its
// version 0.10, Debian 13 its version 0.71. Left out of the comparison:
// - its other regions (Nouvelle-Calédonie, Polynésie française, Wallis-et-Futuna);
// - « Premier jour de Noël », 0.10's name of Christmas in Alsace-Moselle, a national day;
// - Vendredi saint outside Alsace-Moselle, « Fête (de) Victor Schoelcher » in Guadeloupe
//   and Martinique, and 0.71's « Mi-Carême » in Guadeloupe: no legal text makes them
//   public holidays there (the code du travail lists the national days, its article
//   L3134-13 Good Friday for Alsace-Moselle alone); custom or local agreements keep them.
// Where it disagrees with the texts, the texts win:
// - it keeps Saint-Barthélemy's day in every year; decree n° 2012-553 of 23 April 2012
//   sets it, and Saint-Martin's, from 2012;
// - 0.10 keeps Saint-Martin's on 27 May in every year; the decree of 2012 sets 27 May,
//   and a decree of April 2023 moves it to 28 May;
// - 0.71 keeps Saint-Martin's on 28 May from 2018 only, the year a prefectoral
//   circular first kept it so; the decree still said 27 May until 2023.
TEST(RegionalHolidaysTest, AgreeWithPythonHolidaysFrom2000To2100WhereTheTextsDoNotSayOtherwise) {
    const struct {
        const char* code;
        Region region;
    } provinces[] = {
        {"GES", Region::AlsaceMoselle},  {"GP", Region::Guadeloupe},  {"GY", Region::Guyane},
        {"MQ", Region::Martinique},      {"YT", Region::Mayotte},     {"RE", Region::LaReunion},
        {"BL", Region::SaintBarthelemy}, {"MF", Region::SaintMartin},
    };
    std::set<std::string> theirs;
    std::string version;
    for (const std::string& line : test::OracleLines("holidays 2000 2100")) {
        const auto fields = test::Fields(line);
        ASSERT_EQ(fields.size(), 3u) << line;
        if (fields[0] == "version") {
            version = fields[1];
            continue;
        }
        const std::string& name = fields[2];
        const bool customary = name.find("Schoelcher") != std::string::npos || name == "Mi-Carême" ||
                               (name == "Vendredi saint" && fields[0] != "GES");
        if (customary || name == "Premier jour de Noël") continue;
        for (const auto& province : provinces) {
            if (fields[0] == province.code) theirs.insert(std::string(RegionName(province.region)) + " " + fields[1]);
        }
    }
    ASSERT_TRUE(version == "0.10" || version == "0.71") << "python3-holidays " << version << ": its days are unknown";
    std::set<std::string> ours;
    for (sys_days day = sys_days{year{2000} / 1 / 1}; day <= sys_days{year{2100} / 12 / 31}; day += days{1}) {
        const int y = int(year_month_day{day}.year());
        const SerialDate date = test::SerialOf(day);
        const size_t national = HolidaysOn(Region::National, y, date).size();
        for (const auto& province : provinces) {
            if (HolidaysOn(province.region, y, date).size() > national)
                ours.insert(std::string(RegionName(province.region)) + " " + test::DateText(year_month_day{day}));
        }
    }
    std::set<std::string> onlyTheirs, onlyOurs, expectedOnlyTheirs, expectedOnlyOurs;
    for (const auto& day : theirs)
        if (!ours.contains(day)) onlyTheirs.insert(day);
    for (const auto& day : ours)
        if (!theirs.contains(day)) onlyOurs.insert(day);
    for (int y = 2000; y <= 2100; ++y) {
        if (y < 2012) expectedOnlyTheirs.insert("Saint-Barthélemy " + test::DateText(y, 10, 9));
        if (version == "0.10") {
            if (y < 2012 || y >= 2023) expectedOnlyTheirs.insert("Saint-Martin " + test::DateText(y, 5, 27));
            if (y >= 2023) expectedOnlyOurs.insert("Saint-Martin " + test::DateText(y, 5, 28));
        } else {
            if (y >= 2012 && y < 2023) expectedOnlyOurs.insert("Saint-Martin " + test::DateText(y, 5, 27));
            if (y >= 2018 && y < 2023) expectedOnlyTheirs.insert("Saint-Martin " + test::DateText(y, 5, 28));
        }
    }
    EXPECT_EQ(onlyTheirs, expectedOnlyTheirs);
    EXPECT_EQ(onlyOurs, expectedOnlyOurs);
    EXPECT_GT(ours.size(), 8u * 101u);  // every region kept a day every year
}

}  // namespace
}  // namespace calendar
