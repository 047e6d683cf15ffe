#pragma once
// Which recurrence rules libical may be given. libical's iterator looks for the next
// occurrence one step of the rule's frequency at a time, up to the year 2582, and
// for a monthly or yearly rule one month or year at a time up to the year 20000:
// a rule whose parts can never meet (BYMONTH=2;BYMONTHDAY=30, BYSETPOS=7 of the
// Mondays of a month) or meet once in decades, stepped hour by hour, holds a reader
// for seconds or for hours within one call that nothing can interrupt. The guard
// finds such rules first: it walks the days of a whole Gregorian cycle of 400 years
// (146,097 days, in which weekdays and leap years repeat) and keeps those that the
// rule's day parts allow, then measures the longest wait between two. It computes
// no occurrence: libical does that for every rule let through.

#include <string>
#include <vector>

namespace agendas {

enum class Frequency { Secondly, Minutely, Hourly, Daily, Weekly, Monthly, Yearly };

// A rule's parts, as the RRULE writes them (negative values count from the end).
struct RuleParts {
    Frequency frequency = Frequency::Daily;
    std::vector<int> months, monthDays, yearDays, weekNumbers, setPositions;
    std::vector<int> weekdays;  // BYDAY's days, 0 Sunday … 6 Saturday, their ordinals left aside
    int timesInADay = 1;        // BYHOUR × BYMINUTE × BYSECOND values, 1 when none
};

// The steps a reader may take for one occurrence: a rule past it is refused.
inline constexpr long kMostStepsBetweenOccurrences = 100'000;

// Empty when libical may expand the rule; otherwise why not, in French
// (« ses jours ne se rencontrent jamais »).
std::string RuleRefusal(const RuleParts& rule);

}  // namespace agendas
