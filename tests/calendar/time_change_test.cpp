// The changes of time against Python's zoneinfo, which reads the same time-zone
// database with its own code: every day of 1970–2037 in every zone of the system.

#include "calendar/time_change.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/calendar/oracle_support.h"
#include "tests/calendar/sweep_support.h"

namespace calendar {
namespace {

// The local zone's changes as the oracle writes them: YYYY-MM-DD|SENTENCE.
std::vector<std::string> ChangesFrom1970To2037() {
    using namespace std::chrono;
    std::vector<std::string> lines;
    for (sys_days day = sys_days{year{1970} / 1 / 1}; day <= sys_days{year{2037} / 12 / 31}; day += days{1}) {
        const year_month_day date{day};
        const int y = int(date.year()), m = int(unsigned(date.month())), d = int(unsigned(date.day()));
        if (const auto change = TimeChangeOn(y, m, d))
            lines.push_back(test::DateText(date) + "|" + TimeChangeSentence(*change));
    }
    return lines;
}

TEST(TimeChangeTest, EveryDayOfEveryZoneFrom1970To2037AgreesWithZoneinfo) {
    std::vector<std::pair<std::string, std::vector<std::string>>> zones;  // zone|NAME, then its days
    for (const std::string& line : test::OracleLines("changes 1970 2037")) {
        if (line.starts_with("zone|"))
            zones.emplace_back(line.substr(5), std::vector<std::string>{});
        else if (!zones.empty())
            zones.back().second.push_back(line);
    }
    ASSERT_GT(zones.size(), 300u) << "the oracle lists the system's zones";

    test::MismatchLog mismatches;
    for (const auto& [name, expected] : zones) {
        const test::ZoneForTest zone(name);
        const std::vector<std::string> ours = ChangesFrom1970To2037();
        std::vector<std::string> oursOnly, theirsOnly;
        std::set_difference(ours.begin(), ours.end(), expected.begin(), expected.end(), std::back_inserter(oursOnly));
        std::set_difference(expected.begin(), expected.end(), ours.begin(), ours.end(), std::back_inserter(theirsOnly));
        for (const std::string& line : oursOnly) mismatches.Record(name + ": Solvane says " + line);
        for (const std::string& line : theirsOnly) mismatches.Record(name + ": zoneinfo says " + line);
    }
    EXPECT_EQ(mismatches.count(), 0);
}

// One day of each form of the sentence, from the system's database (tzdata).
struct ChangeRow {
    const char* zone;
    int year, month, day;
    const char* sentence;  // nullptr: the day has 24 hours
};

constexpr ChangeRow kChangeRows[] = {
    // The clock goes back from 24:00 to 23:00: the Saturday lasts 25 hours, the Sunday 24.
    {"America/Santiago", 2025, 4, 5, "Passage à l'heure d'hiver : à minuit il est 23 h"},
    {"America/Santiago", 2025, 4, 6, nullptr},
    // It jumps from 24:00 to 1:00: the Saturday lasts 24 hours, the Sunday 23.
    {"America/Santiago", 2025, 9, 6, nullptr},
    {"America/Santiago", 2025, 9, 7, "Passage à l'heure d'été : à minuit il est 1 h"},
    {"America/Nuuk", 2025, 3, 29, "Passage à l'heure d'été : à 23 h il est minuit"},
    {"Australia/Lord_Howe", 2025, 10, 5, "Passage à l'heure d'été : à 2 h il est 2 h 30"},
    {"America/St_Johns", 2007, 11, 4, "Passage à l'heure d'hiver : à 0 h 01 il est 23 h 01 la veille"},
    // A new standard time, an hour back to midnight.
    {"Asia/Chita", 2014, 10, 26, "Changement d'heure : à 2 h il est minuit"},
    // Samoa went over to the other side of the date line: 30 December 2011 never was.
    {"Pacific/Apia", 2011, 12, 29, nullptr},
    {"Pacific/Apia", 2011, 12, 30, "Changement d'heure : à minuit il est 0 h le lendemain"},
    {"Pacific/Apia", 2011, 12, 31, nullptr},
};

TEST(TimeChangeTest, EachFormOfTheSentence) {
    for (const ChangeRow& row : kChangeRows) {
        const test::ZoneForTest zone(row.zone);
        const std::optional<TimeChange> change = TimeChangeOn(row.year, row.month, row.day);
        const std::string where = std::string(row.zone) + " " + test::DateText(row.year, row.month, row.day);
        if (row.sentence == nullptr) {
            EXPECT_FALSE(change) << where << ": " << TimeChangeSentence(*change);
            continue;
        }
        EXPECT_EQ(change ? TimeChangeSentence(*change) : "(none)", row.sentence) << where;
    }
}

}  // namespace
}  // namespace calendar
