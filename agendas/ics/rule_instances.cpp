#include "agendas/ics/rule_instances.h"

#include <algorithm>
#include <climits>

#include "agendas/ics/calendar.h"
#include "calendar/civil_days.h"

namespace agendas::ics {

namespace {

template <std::size_t N>
bool ReadParts(const short (&values)[N], int least, int most, std::vector<int>& into) {
    for (std::size_t at = 0; at < N && values[at] != ICAL_RECURRENCE_ARRAY_MAX; ++at) {
        const int value = values[at];
        if (value == 0 || value < least || value > most) return false;
        into.push_back(value);
    }
    return true;
}

template <std::size_t N>
bool None(const short (&values)[N]) {
    return values[0] == ICAL_RECURRENCE_ARRAY_MAX;
}

}  // namespace

RuleParts PartsOf(const icalrecurrencetype& rule) {
    RuleParts parts;
    switch (rule.freq) {
    case ICAL_SECONDLY_RECURRENCE: parts.frequency = Frequency::Secondly; break;
    case ICAL_MINUTELY_RECURRENCE: parts.frequency = Frequency::Minutely; break;
    case ICAL_HOURLY_RECURRENCE: parts.frequency = Frequency::Hourly; break;
    case ICAL_DAILY_RECURRENCE: parts.frequency = Frequency::Daily; break;
    case ICAL_WEEKLY_RECURRENCE: parts.frequency = Frequency::Weekly; break;
    case ICAL_MONTHLY_RECURRENCE: parts.frequency = Frequency::Monthly; break;
    default: parts.frequency = Frequency::Yearly; break;
    }
    const auto read = [](const short* values, int size, std::vector<int>& into) {
        for (int at = 0; at < size && values[at] != ICAL_RECURRENCE_ARRAY_MAX; ++at) into.push_back(values[at]);
    };
    read(rule.by_month, ICAL_BY_MONTH_SIZE, parts.months);
    read(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE, parts.monthDays);
    read(rule.by_year_day, ICAL_BY_YEARDAY_SIZE, parts.yearDays);
    read(rule.by_week_no, ICAL_BY_WEEKNO_SIZE, parts.weekNumbers);
    read(rule.by_set_pos, ICAL_BY_SETPOS_SIZE, parts.setPositions);
    std::vector<int> days, hours, minutes, seconds;
    read(rule.by_day, ICAL_BY_DAY_SIZE, days);
    for (const int day : days) parts.weekdays.push_back(int(icalrecurrencetype_day_day_of_week(short(day))) - 1);
    read(rule.by_hour, ICAL_BY_HOUR_SIZE, hours);
    read(rule.by_minute, ICAL_BY_MINUTE_SIZE, minutes);
    read(rule.by_second, ICAL_BY_SECOND_SIZE, seconds);
    parts.timesInADay = int(std::max<std::size_t>(hours.size(), 1) * std::max<std::size_t>(minutes.size(), 1) *
                            std::max<std::size_t>(seconds.size(), 1));
    return parts;
}

std::optional<StepRule> StepRuleOf(const icalrecurrencetype& rule, const icaltimetype& start) {
    StepRule step;
    switch (rule.freq) {
    case ICAL_DAILY_RECURRENCE: step.frequency = Frequency::Daily; break;
    case ICAL_WEEKLY_RECURRENCE: step.frequency = Frequency::Weekly; break;
    case ICAL_MONTHLY_RECURRENCE: step.frequency = Frequency::Monthly; break;
    case ICAL_YEARLY_RECURRENCE: step.frequency = Frequency::Yearly; break;
    default: return std::nullopt;
    }
    if (rule.rscale != nullptr || rule.interval < 1 || !None(rule.by_second) || !None(rule.by_minute) ||
        !None(rule.by_hour) || !None(rule.by_year_day) || !None(rule.by_week_no) || start.year < 1583 ||
        start.year >= 2500)
        return std::nullopt;
    if (!ReadParts(rule.by_month, 1, 12, step.months) || !ReadParts(rule.by_month_day, -31, 31, step.monthDays) ||
        !ReadParts(rule.by_set_pos, -366, 366, step.setPositions))
        return std::nullopt;
    // libical's iterator reads no negative BYMONTHDAY in a daily rule, picks other days
    // than BYSETPOS names in a daily or weekly one, and counts the weeks of some weekly rules
    // with an INTERVAL from Monday whatever their WKST: it keeps those rules.
    if (step.frequency == Frequency::Daily && std::ranges::any_of(step.monthDays, [](int day) { return day < 0; }))
        return std::nullopt;
    if ((step.frequency == Frequency::Daily || step.frequency == Frequency::Weekly) && !step.setPositions.empty())
        return std::nullopt;
    if (step.frequency == Frequency::Weekly && !step.monthDays.empty()) return std::nullopt;
    for (std::size_t at = 0; at < ICAL_BY_DAY_SIZE && rule.by_day[at] != ICAL_RECURRENCE_ARRAY_MAX; ++at) {
        const int weekday = int(icalrecurrencetype_day_day_of_week(rule.by_day[at])) - 1;
        const int ordinal = icalrecurrencetype_day_position(rule.by_day[at]);
        if (weekday < 0 || weekday > 6) return std::nullopt;
        if (ordinal != 0 && (step.frequency == Frequency::Daily || step.frequency == Frequency::Weekly))
            return std::nullopt;
        step.days.push_back({.weekday = weekday, .ordinal = ordinal});
    }
    step.interval = rule.interval;
    step.count = std::max(rule.count, 0);
    if (rule.week_start != ICAL_NO_WEEKDAY) step.weekStart = int(rule.week_start) - 1;
    if (step.frequency == Frequency::Weekly && step.interval > 1 && step.weekStart != 0 && step.weekStart != 1)
        return std::nullopt;
    if (!icaltime_is_null_time(rule.until)) {
        icaltimetype until = rule.until;
        until.zone = nullptr;
        step.until = true;
        // libical's iterator compares a date start's instances with UNTIL's day, and
        // ends a date-time start's before a date UNTIL.
        const long long untilDay = calendar::FloorDivide(WallSeconds(until), 86400);
        if (start.is_date) {
            step.untilWall = untilDay * 86400 + 86399;
        } else if (until.is_date) {
            step.untilWall = untilDay * 86400 - 1;
        } else {
            step.untilWall = WallSeconds(until);
        }
    }
    return step;
}

RuleInstances::RuleInstances(const icalrecurrencetype& rule, const icaltimetype& start)
    : rule_(rule), rscale_(Text(rule.rscale)), start_(start) {
    rule_.rscale = rule.rscale != nullptr ? rscale_.data() : nullptr;
    start_.zone = nullptr;
    if (std::optional<StepRule> step = StepRuleOf(rule_, start_)) {
        own_.emplace(std::move(*step), WallSeconds(start_));
    } else {
        OpenIterator();
    }
}

RuleInstances::~RuleInstances() {
    if (iterator_ != nullptr) icalrecur_iterator_free(iterator_);
}

void RuleInstances::OpenIterator() { iterator_ = icalrecur_iterator_new(rule_, start_); }

void RuleInstances::SkipTo(long long wall) {
    if (wall <= WallSeconds(start_)) return;
    skippedTo_ = wall;
    if (own_) {
        own_->SkipTo(wall);
    } else if (iterator_ != nullptr) {
        icalrecur_iterator_set_start(iterator_, WallTime(wall, start_.is_date));
    }
}

std::optional<long long> RuleInstances::Next(long long until) {
    if (own_) {
        const RuleSteps::Step step = own_->Next();
        if (step.state == RuleSteps::State::Instance) {
            ++given_;
            last_ = step.wall;
            return step.wall;
        }
        if (step.state == RuleSteps::State::Beyond && until < kStepsEndWall) return std::nullopt;
        own_.reset();
        if (step.state == RuleSteps::State::Ended) {
            ended_ = true;
            return std::nullopt;
        }
        // Past kStepsEndWall, libical's iterator goes on from the same place.
        OpenIterator();
        if (iterator_ != nullptr && rule_.count > 0) {
            for (std::size_t at = 0; at < given_; ++at) icalrecur_iterator_next(iterator_);
        } else if (iterator_ != nullptr && (last_ || skippedTo_)) {
            const long long from = std::max(last_.value_or(LLONG_MIN), skippedTo_.value_or(LLONG_MIN));
            icalrecur_iterator_set_start(iterator_, WallTime(from, start_.is_date));
        }
    }
    if (iterator_ == nullptr) {
        ended_ = true;
        return std::nullopt;
    }
    for (;;) {
        const icaltimetype next = icalrecur_iterator_next(iterator_);
        if (icaltime_is_null_time(next)) {
            ended_ = true;
            return std::nullopt;
        }
        const long long wall = WallSeconds(next);
        if (rule_.count == 0 && last_ && wall <= *last_) continue;
        last_ = wall;
        return wall;
    }
}

}  // namespace agendas::ics
