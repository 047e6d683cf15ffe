// The instances that RuleSteps gives against those of libical's own iterator, rule by
// rule over a generated table: every frequency with BYMONTH, BYMONTHDAY and BYDAY
// (ranked or not) crossed (a yearly BYMONTHDAY without BYMONTH aside), from starts at
// a month's end, on 29 February, at midnight and as dates, each with an INTERVAL, a
// COUNT or an UNTIL, a BYSETPOS and a WKST.

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "agendas/ics/calendar.h"
#include "agendas/ics/rule_instances.h"

namespace {

using agendas::ics::RuleInstances;

std::string Written(long long wall) {
    const icaltimetype time = icaltime_from_timet_with_zone(time_t(wall), 0, nullptr);
    return icaltime_as_ical_string(time);
}

// The instances that begin before `last`, at most `most`, and from `from` on.
template <typename NextOf>
std::vector<long long> Instances(NextOf next, long long from, long long last, std::size_t most) {
    std::vector<long long> instances;
    while (instances.size() < most) {
        const std::optional<long long> wall = next();
        if (!wall || *wall >= last) break;
        if (*wall >= from) instances.push_back(*wall);
    }
    return instances;
}

// libical makes no iterator for an UNTIL before DTSTART: no instance.
std::vector<long long> LibicalInstances(const icalrecurrencetype& rule, const icaltimetype& start, long long last,
                                        std::size_t most) {
    icalrecur_iterator* iterator = icalrecur_iterator_new(rule, start);
    const auto next = [&]() -> std::optional<long long> {
        if (iterator == nullptr) return std::nullopt;
        const icaltimetype time = icalrecur_iterator_next(iterator);
        if (icaltime_is_null_time(time)) return std::nullopt;
        return agendas::ics::WallSeconds(time);
    };
    std::vector<long long> instances = Instances(next, agendas::ics::WallSeconds(start), last, most);
    if (iterator != nullptr) icalrecur_iterator_free(iterator);
    return instances;
}

std::string Difference(const std::vector<long long>& own, const std::vector<long long>& libical) {
    std::size_t at = 0;
    while (at < own.size() && at < libical.size() && own[at] == libical[at]) ++at;
    return "instance " + std::to_string(at) + ": " + (at < own.size() ? Written(own[at]) : "none") + " here, " +
           (at < libical.size() ? Written(libical[at]) : "none") + " from libical";
}

TEST(RuleSteps, EachRuleGivesLibicalsInstances) {
    const std::vector<std::string> frequencies = {"DAILY", "WEEKLY", "MONTHLY", "YEARLY"};
    const std::vector<std::string> months = {"", ";BYMONTH=2", ";BYMONTH=1,6,12"};
    const std::vector<std::string> monthDays = {"", ";BYMONTHDAY=31", ";BYMONTHDAY=-1", ";BYMONTHDAY=29,1",
                                                ";BYMONTHDAY=-30,15"};
    const std::vector<std::string> days = {"",           ";BYDAY=MO",   ";BYDAY=SA,TU",
                                           ";BYDAY=1MO", ";BYDAY=-1FR", ";BYDAY=2WE,-2TH,SU",
                                           ";BYDAY=5SU", ";BYDAY=SU,WE"};
    // Month ends, 29 February, midnight, a minute before the year's end, dates.
    const std::vector<std::string> starts = {"20240131T093000", "20240229", "20250315T000000",
                                             "20231231T235900", "20261130", "20250530T180000"};
    const std::vector<std::string> intervals = {"", ";INTERVAL=2", ";INTERVAL=5"};
    // UNTIL as a date and as a date-time, on instances' days and at their times.
    const std::vector<std::string> ends = {"",
                                           ";COUNT=9",
                                           ";COUNT=1",
                                           ";UNTIL=20270615",
                                           ";UNTIL=20270615T093000Z",
                                           ";UNTIL=20261130",
                                           ";UNTIL=20261130T180000",
                                           ";UNTIL=20250601T000000Z"};
    const std::vector<std::string> positions = {"", "", ";BYSETPOS=1", ";BYSETPOS=-1", ";BYSETPOS=2,-3"};
    const std::vector<std::string> weekStarts = {"", ";WKST=SU", ";WKST=WE"};
    std::mt19937 pick(5545);
    const auto any = [&](const std::vector<std::string>& values) { return values[pick() % values.size()]; };
    std::size_t rules = 0, instances = 0, seldom = 0;
    const std::lock_guard lock(agendas::ics::libicalMutex);
    for (const std::string& frequency : frequencies)
        for (const std::string& month : months)
            for (const std::string& monthDay : monthDays)
                for (const std::string& day : days)
                    for (std::size_t round = 0; round < 3 * starts.size(); ++round) {
                        const std::string& startText = starts[round % starts.size()];
                        const bool daily = frequency == "DAILY", weekly = frequency == "WEEKLY";
                        if (weekly && !monthDay.empty()) continue;  // RFC 5545 allows no BYMONTHDAY there
                        if ((daily || weekly) && day.find_first_of("0123456789-") != std::string::npos) continue;
                        // libical reads a yearly BYMONTHDAY without BYMONTH in DTSTART's month
                        // alone: agenda_oracle.py checks those rules against
                        // python3-recurring-ical-events.
                        if (frequency == "YEARLY" && month.empty() && !monthDay.empty()) continue;
                        const std::string text = "FREQ=" + frequency + month + monthDay + day + any(intervals) +
                                                 any(ends) + any(positions) + any(weekStarts);
                        icalrecurrencetype rule = icalrecurrencetype_from_string(text.c_str());
                        if (agendas::RuleRefusal(agendas::ics::PartsOf(rule)) != "") continue;
                        const icaltimetype start = icaltime_from_string(startText.c_str());
                        if (!agendas::ics::StepRuleOf(rule, start)) continue;
                        const long long first = agendas::ics::WallSeconds(start);
                        const long long last = first + 12LL * 366 * 86400;
                        RuleInstances own(rule, start);
                        const std::vector<long long> given = Instances([&] { return own.Next(last); }, first, last, 60);
                        // libical's iterator looks for an instance month after month up to
                        // the year 20000: only a few rules that meet seldom or never are
                        // given to it.
                        icalrecurrencetype endless = rule;
                        endless.count = 0;
                        endless.until = icaltime_null_time();
                        RuleInstances open(endless, start);
                        const bool seldomMet = Instances([&] { return open.Next(last); }, first, last, 3).size() < 3 &&
                                               (rule.count == 0 || given.size() < std::size_t(rule.count));
                        if (seldomMet && ++seldom > 2) continue;
                        const std::vector<long long> expected = LibicalInstances(rule, start, last, 60);
                        EXPECT_TRUE(given == expected)
                            << text << " from " << startText << ": " << Difference(given, expected);
                        // A window further on takes the same instances from its own start.
                        if (rule.count == 0 && expected.size() > 2) {
                            const long long from = expected[expected.size() / 2] - 86400 * long(pick() % 40);
                            RuleInstances skipped(rule, start);
                            skipped.SkipTo(from);
                            const long long end = expected.size() == 60 ? expected.back() + 1 : last;
                            const std::vector<long long> later =
                                Instances([&] { return skipped.Next(end); }, from, end, 60);
                            const std::vector<long long> rest(std::ranges::lower_bound(expected, from), expected.end());
                            EXPECT_TRUE(later == rest) << text << " from " << startText << " skipped to "
                                                       << Written(from) << ": " << Difference(later, rest);
                        }
                        ++rules;
                        instances += expected.size();
                    }
    EXPECT_GT(rules, 2000u);
    EXPECT_GT(instances, 15'000u);
}

// The wall seconds that instances are stepped in, against the C library's timegm,
// and back through libical, at a second before midnight of every day of the years
// that RuleSteps steps and of a century on each side: dates before 1902 and after
// 2038 included, where a count of seconds on 32 bits ends.
TEST(RuleSteps, WallSecondsOfEveryDayAgreeWithTimegm) {
    const std::lock_guard lock(agendas::ics::libicalMutex);
    std::tm day{};
    day.tm_mday = 1;
    day.tm_year = 1480 - 1900;
    day.tm_hour = 23;
    day.tm_min = day.tm_sec = 59;
    for (std::time_t next = timegm(&day); day.tm_year + 1900 < 2600; next += 86400) {
        gmtime_r(&next, &day);
        icaltimetype time = icaltime_null_time();
        time.year = day.tm_year + 1900;
        time.month = day.tm_mon + 1;
        time.day = day.tm_mday;
        time.hour = 23;
        time.minute = time.second = 59;
        const long long wall = agendas::ics::WallSeconds(time);
        ASSERT_EQ(wall, next) << icaltime_as_ical_string(time);
        const icaltimetype back = icaltime_from_timet_with_zone(time_t(wall), 0, nullptr);
        ASSERT_EQ(icaltime_compare(back, time), 0) << icaltime_as_ical_string(time);
        ASSERT_EQ(icaltime_compare(agendas::ics::WallTime(wall, false), back), 0) << icaltime_as_ical_string(time);
        time.is_date = 1;
        ASSERT_EQ(agendas::ics::WallSeconds(time), wall - 86399) << icaltime_as_ical_string(time);
        const icaltimetype date = agendas::ics::WallTime(wall, true);
        ASSERT_TRUE(date.is_date && date.hour == 0 && icaltime_compare(date, time) == 0)
            << icaltime_as_ical_string(time);
    }
}

// Past the year 2500 libical's iterator takes over from RuleSteps, at the instance
// that comes next, with or without COUNT, from DTSTART or from a later window.
TEST(RuleSteps, LibicalGoesOnPastTheYear2500) {
    const char* const rows[][2] = {
        {"FREQ=YEARLY", "24960229T100000"},
        {"FREQ=MONTHLY;BYMONTHDAY=31;COUNT=60", "24970131T100000"},
        {"FREQ=MONTHLY;BYDAY=-1FR;INTERVAL=2", "24981015"},
        {"FREQ=WEEKLY;BYDAY=MO,FR;COUNT=500", "24950101T080000"},
    };
    const std::lock_guard lock(agendas::ics::libicalMutex);
    for (const auto& [text, startText] : rows) {
        const icalrecurrencetype rule = icalrecurrencetype_from_string(text);
        const icaltimetype start = icaltime_from_string(startText);
        ASSERT_TRUE(agendas::ics::StepRuleOf(rule, start)) << text;
        const long long last = agendas::ics::WallSeconds(icaltime_from_string("25100101T000000"));
        const std::vector<long long> expected = LibicalInstances(rule, start, last, 1000);
        RuleInstances own(rule, start);
        const std::vector<long long> given =
            Instances([&] { return own.Next(last); }, agendas::ics::WallSeconds(start), last, 1000);
        EXPECT_TRUE(given == expected) << text << ": " << Difference(given, expected);
        ASSERT_GT(expected.size(), 2u) << text;
        if (rule.count > 0) continue;
        const long long from = agendas::ics::WallSeconds(icaltime_from_string("24991201T000000"));
        RuleInstances skipped(rule, start);
        skipped.SkipTo(from);
        const std::vector<long long> later = Instances([&] { return skipped.Next(last); }, from, last, 1000);
        const std::vector<long long> rest(std::ranges::lower_bound(expected, from), expected.end());
        EXPECT_TRUE(later == rest) << text << " from 2499-12-01: " << Difference(later, rest);
    }
}

}  // namespace
