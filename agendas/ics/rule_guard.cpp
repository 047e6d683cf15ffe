#include "agendas/ics/rule_guard.h"

#include <algorithm>
#include <chrono>

namespace agendas {

namespace {

bool Holds(const std::vector<int>& values, int value, int count) {
    if (values.empty()) return true;
    return std::ranges::any_of(values, [&](int v) { return v == value || v == value - count - 1; });
}

// The ISO 8601 week of a day (weeks from Monday, the first holding a Thursday), and
// the weeks of its year: what BYWEEKNO counts with WKST=MO, libical's default.
struct IsoWeek {
    int week, weeksInYear;
};

IsoWeek IsoWeekOf(std::chrono::sys_days day) {
    using namespace std::chrono;
    const weekday wd{day};
    const int fromMonday = int((wd.c_encoding() + 6) % 7);
    const sys_days thursday = day + days{3 - fromMonday};
    const year isoYear = year_month_day{thursday}.year();
    const sys_days firstThursday = [&] {
        const sys_days january4{isoYear / January / 4};
        const int offset = int((weekday{january4}.c_encoding() + 6) % 7);
        return january4 - days{offset} + days{3};
    }();
    const int week = int((thursday - firstThursday).count() / 7) + 1;
    const sys_days december28{isoYear / December / 28};
    const int last =
        int((december28 - days{int((weekday{december28}.c_encoding() + 6) % 7)} + days{3} - firstThursday).count() /
            7) +
        1;
    return {week, last};
}

}  // namespace

std::string RuleRefusal(const RuleParts& rule) {
    if (rule.frequency == Frequency::Secondly || rule.frequency == Frequency::Minutely) {
        return "une répétition à la seconde ou à la minute n'est pas suivie";
    }
    const bool dayParts = !rule.monthDays.empty() || !rule.yearDays.empty() || !rule.weekNumbers.empty() ||
                          !rule.setPositions.empty() || (!rule.months.empty() && !rule.weekdays.empty());
    if (!dayParts) return {};  // every month, or a weekday every week: never far

    using namespace std::chrono;
    const sys_days cycleStart{year{2000} / January / 1}, cycleEnd{year{2400} / January / 1};
    long firstMatch = -1, lastMatch = -1, longestGap = 0;
    // The matching days of the period (a month or a year) being walked, to check BYSETPOS.
    int inPeriod = 0, mostInPeriod = 0, periodKey = -1;
    for (sys_days day = cycleStart; day < cycleEnd; day += days{1}) {
        const year_month_day date{day};
        const int y = int(date.year()), m = int(unsigned(date.month())), d = int(unsigned(date.day()));
        const int key = rule.frequency == Frequency::Yearly ? y : y * 12 + m;
        if (key != periodKey) {
            mostInPeriod = std::max(mostInPeriod, inPeriod);
            inPeriod = 0;
            periodKey = key;
        }
        const int monthLength = int(unsigned((date.year() / date.month() / last).day()));
        const int yearDay = int((day - sys_days{date.year() / January / 1}).count()) + 1;
        const int yearLength = date.year().is_leap() ? 366 : 365;
        if (!Holds(rule.months, m, 12) || !Holds(rule.monthDays, d, monthLength) ||
            !Holds(rule.yearDays, yearDay, yearLength)) {
            continue;
        }
        if (!rule.weekdays.empty() &&
            std::ranges::find(rule.weekdays, int(weekday{day}.c_encoding())) == rule.weekdays.end()) {
            continue;
        }
        if (!rule.weekNumbers.empty()) {
            const IsoWeek week = IsoWeekOf(day);
            if (!Holds(rule.weekNumbers, week.week, week.weeksInYear)) continue;
        }
        const long index = long((day - cycleStart).count());
        if (firstMatch < 0) firstMatch = index;
        if (lastMatch >= 0) longestGap = std::max(longestGap, index - lastMatch);
        lastMatch = index;
        ++inPeriod;
    }
    mostInPeriod = std::max(mostInPeriod, inPeriod);
    if (firstMatch < 0) return "ses jours ne se rencontrent jamais";
    const long cycle = long((cycleEnd - cycleStart).count());
    longestGap = std::max(longestGap, firstMatch + cycle - lastMatch);
    if (!rule.setPositions.empty() && (rule.frequency == Frequency::Monthly || rule.frequency == Frequency::Yearly) &&
        std::ranges::all_of(rule.setPositions,
                            [&](int position) { return std::abs(position) > mostInPeriod * rule.timesInADay; })) {
        return "sa position (BYSETPOS) n'est dans aucune période";
    }
    const long stepsPerDay = rule.frequency == Frequency::Hourly ? 24 : rule.frequency == Frequency::Daily ? 1 : 0;
    if (longestGap * stepsPerDay > kMostStepsBetweenOccurrences) return "ses jours sont trop rares pour sa fréquence";
    return {};
}

}  // namespace agendas
