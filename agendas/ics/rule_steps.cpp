#include "agendas/ics/rule_steps.h"

#include <algorithm>
#include <utility>

#include "calendar/civil_days.h"

namespace agendas {

namespace {

using calendar::FloorDivide;

int MonthLength(std::int64_t year, int month) {
    return int(calendar::DaysFromCivil(month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1, 1) -
               calendar::DaysFromCivil(year, month, 1));  // [28, 31]
}

bool Holds(const std::vector<int>& values, int value) { return std::ranges::find(values, value) != values.end(); }

// Whether day `ofSpan` of a month or year of `length` days, a `weekday`, is one that
// BYDAY names: any such weekday, or the n-th of the span, or the n-th from its end.
bool DayNamed(const std::vector<StepRule::Day>& days, int weekday, int ofSpan, int length) {
    return std::ranges::any_of(days, [&](const StepRule::Day& day) {
        if (day.weekday != weekday) return false;
        if (day.ordinal > 0) return (ofSpan - 1) / 7 + 1 == day.ordinal;
        if (day.ordinal < 0) return (length - ofSpan) / 7 + 1 == -day.ordinal;
        return true;
    });
}

const std::int64_t kStepsEndDay = kStepsEndWall / 86400;

}  // namespace

RuleSteps::RuleSteps(StepRule rule, long long startWall) : rule_(std::move(rule)) {
    startDay_ = FloorDivide(startWall, 86400);
    timeOfDay_ = startWall - startDay_ * 86400;  // [0, 86399]
    const calendar::CivilDate start = calendar::CivilFromDays(startDay_);
    startYear_ = start.year;
    startMonth_ = start.month;
    startDayOfMonth_ = start.day;
    std::ranges::sort(rule_.months);
    days_.reserve(32);
    FillPeriod();
}

void RuleSteps::SkipTo(long long wall) {
    const std::int64_t day = FloorDivide(wall, 86400);
    if (day <= startDay_ || rule_.count > 0) return;
    const calendar::CivilDate date = calendar::CivilFromDays(day);
    std::int64_t periods = 0;  // whole periods from DTSTART's to the one that holds `day`
    switch (rule_.frequency) {
    case Frequency::Daily: periods = (day - startDay_) / rule_.interval; break;
    case Frequency::Weekly: {
        const std::int64_t firstWeek = startDay_ - (calendar::WeekdayFromDays(startDay_) - rule_.weekStart + 7) % 7;
        periods = (day - firstWeek) / (7LL * rule_.interval);
        break;
    }
    case Frequency::Monthly:
        periods = ((date.year - startYear_) * 12 + date.month - startMonth_) / rule_.interval;
        break;
    default: periods = (date.year - startYear_) / rule_.interval; break;
    }
    if (periods <= period_) return;
    period_ = periods;
    FillPeriod();
}

RuleSteps::Step RuleSteps::Next() {
    for (;;) {
        if (ended_ || (rule_.count > 0 && given_ >= rule_.count)) return {State::Ended, 0};
        if (beyond_) return {State::Beyond, 0};
        while (at_ < days_.size()) {
            const std::int64_t day = days_[at_];
            if (day < startDay_) {
                ++at_;
                continue;
            }
            const long long wall = day * 86400 + timeOfDay_;
            if (wall >= kStepsEndWall) return {State::Beyond, 0};
            ++at_;
            if (rule_.until && wall > rule_.untilWall) {
                ended_ = true;
                return {State::Ended, 0};
            }
            ++given_;
            return {State::Instance, wall};
        }
        ++period_;
        FillPeriod();
    }
}

void RuleSteps::AddMonthDays(std::int64_t year, int month, bool ranksInYear) {
    const std::int64_t first = calendar::DaysFromCivil(year, month, 1);
    const int length = MonthLength(year, month);
    // The days that BYDAY's ranks count: the month's, or the year's.
    const std::int64_t rankFirst = ranksInYear ? calendar::DaysFromCivil(year, 1, 1) : first;
    const int rankLength = ranksInYear ? int(calendar::DaysFromCivil(year + 1, 1, 1) - rankFirst) : length;
    const auto named = [&](int ofMonth) {
        const std::int64_t day = first + ofMonth - 1;
        return DayNamed(rule_.days, calendar::WeekdayFromDays(day), int(day - rankFirst) + 1, rankLength);
    };
    if (!rule_.monthDays.empty()) {
        for (const int monthDay : rule_.monthDays) {
            const int ofMonth = monthDay > 0 ? monthDay : length + monthDay + 1;
            if (ofMonth >= 1 && ofMonth <= length && (rule_.days.empty() || named(ofMonth)))
                days_.push_back(first + ofMonth - 1);
        }
    } else if (!rule_.days.empty()) {
        for (int ofMonth = 1; ofMonth <= length; ++ofMonth) {
            if (named(ofMonth)) days_.push_back(first + ofMonth - 1);
        }
    } else if (startDayOfMonth_ <= length) {
        days_.push_back(first + startDayOfMonth_ - 1);
    }
}

// The days of period `period_`, from DTSTART's, which is period 0; none, and beyond_,
// when the period begins from kStepsEndWall on.
void RuleSteps::FillPeriod() {
    days_.clear();
    at_ = 0;
    beyond_ = false;
    const std::int64_t step = period_ * rule_.interval;
    switch (rule_.frequency) {
    case Frequency::Daily: {
        const std::int64_t day = startDay_ + step;
        if (day >= kStepsEndDay) {
            beyond_ = true;
            break;
        }
        const calendar::CivilDate date = calendar::CivilFromDays(day);
        const int length = MonthLength(date.year, date.month);
        const bool kept =
            (rule_.months.empty() || Holds(rule_.months, date.month)) &&
            (rule_.monthDays.empty() || Holds(rule_.monthDays, date.day) ||
             Holds(rule_.monthDays, date.day - length - 1)) &&
            (rule_.days.empty() || DayNamed(rule_.days, calendar::WeekdayFromDays(day), date.day, length));
        if (kept) days_.push_back(day);
        break;
    }
    case Frequency::Weekly: {
        const std::int64_t first =
            startDay_ - (calendar::WeekdayFromDays(startDay_) - rule_.weekStart + 7) % 7 + 7 * step;
        if (first >= kStepsEndDay) {
            beyond_ = true;
            break;
        }
        const int startWeekday = calendar::WeekdayFromDays(startDay_);
        for (std::int64_t day = first; day < first + 7; ++day) {
            const int weekday = calendar::WeekdayFromDays(day);
            const bool named =
                rule_.days.empty()
                    ? weekday == startWeekday
                    : std::ranges::any_of(rule_.days, [&](const StepRule::Day& d) { return d.weekday == weekday; });
            if (named && (rule_.months.empty() || Holds(rule_.months, calendar::CivilFromDays(day).month)))
                days_.push_back(day);
        }
        break;
    }
    case Frequency::Monthly: {
        const std::int64_t monthIndex = startYear_ * 12 + (startMonth_ - 1) + step;
        const std::int64_t year = FloorDivide(monthIndex, 12);
        const int month = int(monthIndex - year * 12) + 1;  // [1, 12]
        if (calendar::DaysFromCivil(year, month, 1) >= kStepsEndDay) {
            beyond_ = true;
            break;
        }
        if (rule_.months.empty() || Holds(rule_.months, month)) AddMonthDays(year, month);
        break;
    }
    default: {
        const std::int64_t year = startYear_ + step;
        if (calendar::DaysFromCivil(year, 1, 1) >= kStepsEndDay) {
            beyond_ = true;
            break;
        }
        if (!rule_.months.empty()) {
            for (const int month : rule_.months) AddMonthDays(year, month);
        } else if (!rule_.monthDays.empty()) {
            // BYMONTHDAY without BYMONTH names its days in every month of the year;
            // BYDAY keeps those of its weekdays, its ranks counted in the year.
            for (int month = 1; month <= 12; ++month) AddMonthDays(year, month, true);
        } else if (!rule_.days.empty()) {
            // BYDAY alone counts its ranks in the whole year.
            const std::int64_t first = calendar::DaysFromCivil(year, 1, 1);
            const int length = int(calendar::DaysFromCivil(year + 1, 1, 1) - first);  // [365, 366]
            const int firstWeekday = calendar::WeekdayFromDays(first);
            for (int ofYear = 1; ofYear <= length; ++ofYear) {
                if (DayNamed(rule_.days, (firstWeekday + ofYear - 1) % 7, ofYear, length))
                    days_.push_back(first + ofYear - 1);
            }
        } else {
            AddMonthDays(year, startMonth_);
        }
        break;
    }
    }
    if (days_.empty()) return;
    std::ranges::sort(days_);
    days_.erase(std::unique(days_.begin(), days_.end()), days_.end());
    if (!rule_.setPositions.empty()) {
        std::vector<std::int64_t> picked;
        const int size = int(days_.size());
        for (const int position : rule_.setPositions) {
            const int index = position > 0 ? position - 1 : size + position;
            if (index >= 0 && index < size) picked.push_back(days_[std::size_t(index)]);
        }
        std::ranges::sort(picked);
        picked.erase(std::unique(picked.begin(), picked.end()), picked.end());
        days_ = std::move(picked);
    }
}

}  // namespace agendas
