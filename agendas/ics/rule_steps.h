#pragma once
// The instances of the common recurrence rules, stepped in wall time with civil-date
// arithmetic (calendar/civil_days.h): FREQ=DAILY, WEEKLY, MONTHLY and YEARLY with
// INTERVAL, COUNT, UNTIL, BYMONTH, BYMONTHDAY, BYDAY (ranked or not), BYSETPOS and
// WKST, after RFC 5545 3.3.10. Each period (a day, a week from WKST, a month, a year)
// gives its days, sorted, BYSETPOS picks among them, and those from DTSTART on are
// instances, all at DTSTART's time of day; a day that a month lacks (31 April,
// 29 February of a common year) gives none. libical's iterator gives the same
// instances, field by field through an ICU calendar, but for a yearly BYMONTHDAY
// without BYMONTH, which it reads in DTSTART's month alone where it names days of
// every month; the rules left to it are those that StepRuleOf (rule_instances.h) does
// not turn into a StepRule, and every rule from kStepsEndWall on.

#include <cstdint>
#include <vector>

#include "agendas/ics/rule_guard.h"

namespace agendas {

struct StepRule {
    Frequency frequency = Frequency::Daily;  // Daily, Weekly, Monthly or Yearly
    int interval = 1;                        // >= 1
    int count = 0;                           // 0: no COUNT
    bool until = false;
    long long untilWall = 0;     // the last wall second an instance may begin at
    std::vector<int> months;     // 1..12
    std::vector<int> monthDays;  // 1..31 or -31..-1 from the month's end
    struct Day {
        int weekday = 0;  // 0 Sunday … 6 Saturday
        int ordinal = 0;  // 0 every one; n the n-th of the month (or year), -n the n-th from its end
    };
    std::vector<Day> days;
    std::vector<int> setPositions;
    int weekStart = 1;  // WKST, 0 Sunday … 6 Saturday
};

// Wall seconds from 1970-01-01 00:00 read as UTC; instances from kStepsEndWall on are
// not given (Next says Beyond): years that far are left to libical.
inline constexpr long long kStepsEndWall = 16'725'225'600LL;  // 2500-01-01 00:00

class RuleSteps {
public:
    enum class State { Instance, Ended, Beyond };
    struct Step {
        State state = State::Ended;
        long long wall = 0;
    };
    RuleSteps(StepRule rule, long long startWall);
    // The next instance, or the rule's end, or Beyond once the next would come from
    // kStepsEndWall on.
    Step Next();
    // For a rule without COUNT: the next instances are those of the period that holds
    // `wall` (or of the first) on, some perhaps before `wall`.
    void SkipTo(long long wall);

private:
    void FillPeriod();
    void AddMonthDays(std::int64_t year, int month, bool ranksInYear = false);

    StepRule rule_;
    std::int64_t startDay_;
    long long timeOfDay_;
    std::int64_t startYear_;
    int startMonth_, startDayOfMonth_;
    std::int64_t period_ = 0;         // periods after DTSTART's
    std::vector<std::int64_t> days_;  // the days of the period, sorted
    std::size_t at_ = 0;              // the next of days_ to give
    int given_ = 0;
    bool ended_ = false;
    bool beyond_ = false;  // the period begins from kStepsEndWall on
};

}  // namespace agendas
