#pragma once
// The date or the year a user gives an option: « 2024-07-14 », « 2024 ». A value
// written right but outside the calendar's years 1583..9999 is told apart from one
// that is not a date at all.

#include <string>
#include <variant>

struct GivenDay {
    int year = 0, month = 0, day = 0;
};

// The day written AAAA-MM-JJ (the year in four digits or more), or the French
// sentence that says what is wrong with `text`, without « solvane: ».
std::variant<GivenDay, std::string> ReadGivenDay(const std::string& text);

// The year written in digits, or the sentence that says what is wrong.
std::variant<int, std::string> ReadGivenYear(const std::string& text);
