// The changes of time against Python's zoneinfo, which reads the same time-zone
// database with its own code: every day of 1970–2037 in each zone.

#include "calendar/time_change.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/calendar/oracle_support.h"
#include "tests/calendar/sweep_support.h"

namespace calendar {
namespace {

// Sets TZ for the life of the object, and restores the one before.
class ZoneForTest {
public:
    explicit ZoneForTest(const char* zone) {
        if (const char* before = getenv("TZ")) before_ = before;
        setenv("TZ", zone, 1);
    }
    ~ZoneForTest() {
        if (before_)
            setenv("TZ", before_->c_str(), 1);
        else
            unsetenv("TZ");
    }

private:
    std::optional<std::string> before_;
};

class TimeChangeTest : public testing::TestWithParam<const char*> {};

TEST_P(TimeChangeTest, EveryDayFrom1970To2037AgreesWithZoneinfo) {
    using namespace std::chrono;
    const ZoneForTest zone(GetParam());
    std::vector<std::string> ours;
    for (sys_days day = sys_days{year{1970} / 1 / 1}; day <= sys_days{year{2037} / 12 / 31}; day += days{1}) {
        const year_month_day date{day};
        const int y = int(date.year()), m = int(unsigned(date.month())), d = int(unsigned(date.day()));
        if (const auto change = TimeChangeOn(y, m, d))
            ours.push_back(test::DateText(y, m, d) + "|" + TimeChangeSentence(*change));
    }
    EXPECT_EQ(ours, test::OracleLines(std::string("changes ") + GetParam() + " 1970 2037"));
}

// Two zones of the northern hemisphere, changing at different hours, one of the
// southern, where summer time spans the new year, and one without changes since 1951.
INSTANTIATE_TEST_SUITE_P(Zones, TimeChangeTest,
                         testing::Values("Europe/Paris", "America/Montreal", "Australia/Sydney", "Asia/Tokyo"),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '/') c = '_';
                             return name;
                         });

}  // namespace
}  // namespace calendar
