// The moon's principal phases against PyEphem (python3-ephem), which integrates its
// own lunar theory: every phase from 1900 to 2100.

#include "calendar/moon_phases.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>

#include "tests/calendar/oracle_support.h"
#include "tests/calendar/sweep_support.h"

namespace calendar {
namespace {

constexpr long kPhaseToleranceSeconds = 120;

struct OraclePhase {
    std::string name;
    UnixSeconds instant;
};

std::vector<OraclePhase> PyEphemPhases() {
    std::vector<OraclePhase> phases;
    for (const std::string& line : test::OracleLines("phases 1900 2100")) {
        const auto fields = test::Fields(line);
        phases.push_back({fields.at(0), std::stoll(fields.at(1))});
    }
    return phases;
}

TEST(MoonPhasesTest, EveryPhaseFrom1900To2100IsWithinTwoMinutesOfPyEphem) {
    const auto phases = PyEphemPhases();
    EXPECT_GT(phases.size(), 4u * 12u * 201u);
    test::MismatchLog log;
    long largest = 0;
    for (const OraclePhase& oracle : phases) {
        const MoonPhaseRow* row = nullptr;
        for (const MoonPhaseRow& candidate : kMoonPhaseTable)
            if (candidate.name == oracle.name) row = &candidate;
        ASSERT_NE(row, nullptr) << oracle.name;
        const double julianDay = 2'440'587.5 + static_cast<double>(oracle.instant) / 86'400.0;
        const long lunation = std::lround((julianDay - 2451550.09766) / 29.530588861 - row->fraction);
        const long difference = std::labs(static_cast<long>(PhaseInstant(lunation, row->phase) - oracle.instant));
        largest = std::max(largest, difference);
        if (difference > kPhaseToleranceSeconds)
            log.Record(oracle.name + " at " + std::to_string(oracle.instant) + ": " + std::to_string(difference) +
                       " s off");
    }
    EXPECT_EQ(log.count(), 0);
    RecordProperty("largest_difference_seconds", static_cast<int>(largest));
    std::printf("largest difference from PyEphem: %ld s\n", largest);
}

// Each PyEphem phase falls on the day MoonPhaseOn gives it in the same zone, at the same
// minute within the tolerance, and no other day of the years has a phase.
TEST(MoonPhasesTest, EveryDayFrom1900To2100HasPyEphemsPhaseInParis) {
    using namespace std::chrono;
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    std::map<std::string, OraclePhase> byDay;
    for (const OraclePhase& oracle : PyEphemPhases()) {
        const auto seconds = static_cast<time_t>(oracle.instant);
        std::tm local{};
        localtime_r(&seconds, &local);
        if (local.tm_year + 1900 < 1900 || local.tm_year + 1900 > 2100) continue;
        byDay[test::DateText(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday)] = oracle;
    }
    test::MismatchLog log;
    size_t phaseDays = 0;
    for (sys_days day = sys_days{year{1900} / 1 / 1}; day <= sys_days{year{2100} / 12 / 31}; day += days{1}) {
        const year_month_day date{day};
        const int y = int(date.year()), m = int(unsigned(date.month())), d = int(unsigned(date.day()));
        const auto ours = MoonPhaseOn(y, m, d);
        const auto theirs = byDay.find(test::DateText(y, m, d));
        if (!ours && theirs == byDay.end()) continue;
        ++phaseDays;
        if (!ours || theirs == byDay.end() || ours->name != theirs->second.name) {
            log.Record(test::DateText(y, m, d) + ": " + (ours ? std::string(ours->name) : "none") + ", PyEphem " +
                       (theirs == byDay.end() ? "none" : theirs->second.name));
            continue;
        }
        const auto seconds = static_cast<time_t>(theirs->second.instant);
        std::tm local{};
        localtime_r(&seconds, &local);
        const int minutes = std::abs((ours->hour * 60 + ours->minute) - (local.tm_hour * 60 + local.tm_min));
        if (minutes > kPhaseToleranceSeconds / 60)
            log.Record(test::DateText(y, m, d) + ": " + MoonPhaseSentence(*ours) + ", " + std::to_string(minutes) +
                       " min off");
    }
    EXPECT_EQ(log.count(), 0);
    EXPECT_EQ(phaseDays, byDay.size());
    unsetenv("TZ");
}

}  // namespace
}  // namespace calendar
