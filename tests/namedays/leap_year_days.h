#pragma once
// The days of a leap year as (month, day) pairs, counted from the month lengths
// alone: the name-day list has one entry per pair, in this order.

#include <array>
#include <utility>
#include <vector>

namespace namedays::testing {

inline constexpr std::array<int, 12> kLeapMonthLengths = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

inline std::vector<std::pair<int, int>> LeapYearDays() {
    std::vector<std::pair<int, int>> days;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= kLeapMonthLengths[month - 1]; ++day) days.emplace_back(month, day);
    }
    return days;
}

// The index of a date in LeapYearDays(), found by counting, not by formula.
inline int LeapListIndex(int month, int day) {
    const auto days = LeapYearDays();
    for (std::size_t i = 0; i < days.size(); ++i) {
        if (days[i] == std::pair{month, day}) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace namedays::testing
