#pragma once
// The instances of one RRULE, in wall time in the frame of DTSTART: stepped by
// RuleSteps where it covers the rule, by libical's iterator elsewhere and past
// kStepsEndWall. libical's iterator opens an ICU calendar and asks it every field of
// every step; most rules of a calendar never need it.

#include <libical/ical.h>

#include <optional>
#include <string>

#include "agendas/ics/rule_steps.h"

namespace agendas::ics {

// The rule's parts that rule_guard.h judges.
RuleParts PartsOf(const icalrecurrencetype& rule);

// The rule as RuleSteps steps it from `start` (its wall time), or none when libical
// must: other frequencies, BYHOUR, BYMINUTE, BYSECOND, BYYEARDAY, BYWEEKNO, RSCALE,
// ranks in a daily or weekly BYDAY, BYMONTHDAY in a weekly rule, starts outside the
// years 1583 to 2499. UNTIL ends the instances where libical's iterator ends them:
// after its wall reading, after its day for a date start, before its day for a date
// UNTIL and a date-time start.
std::optional<StepRule> StepRuleOf(const icalrecurrencetype& rule, const icaltimetype& start);

class RuleInstances {
public:
    RuleInstances(const icalrecurrencetype& rule, const icaltimetype& start);
    ~RuleInstances();
    RuleInstances(const RuleInstances&) = delete;
    RuleInstances& operator=(const RuleInstances&) = delete;

    // False where libical makes no iterator of the rule.
    bool Exists() const { return own_.has_value() || iterator_ != nullptr; }
    // For a rule without COUNT, after DTSTART: the next instances are those from
    // about `wall` on (some perhaps before it).
    void SkipTo(long long wall);
    // The next instance's wall seconds; none at the rule's end, or, when the next lies
    // past both `until` and kStepsEndWall, none yet: libical's iterator, which would
    // look for it up to the year 20000, is opened only for a caller that reaches there.
    std::optional<long long> Next(long long until);
    bool Ended() const { return ended_; }

private:
    void OpenIterator();

    icalrecurrencetype rule_;
    std::string rscale_;  // the rule's RSCALE, which libical's iterator reads as long as it lives
    icaltimetype start_;
    std::optional<RuleSteps> own_;
    icalrecur_iterator* iterator_ = nullptr;
    std::size_t given_ = 0;
    std::optional<long long> last_, skippedTo_;
    bool ended_ = false;
};

}  // namespace agendas::ics
