#pragma once
// Writing a date by a pattern of tokens, with the names of the user's locale.

#include <array>
#include <string>
#include <string_view>

#include "calendar/serial_date.h"

namespace calendar {

// The locale's names, as plain UTF-8 texts; the window fills them from the user's
// locale, so that this code needs no locale support of its own.
struct LocaleNames {
    std::array<std::string, 7> weekdayNames;            // Sunday first: "dimanche", "lundi", ...
    std::array<std::string, 12> monthNames;             // January first: "janvier", ...
    std::array<std::string, 12> abbreviatedMonthNames;  // "janv.", ... "nov.", "déc."
    std::string timeSeparator = ":";
};

// The names of France's French: those the window shows whatever French locale the
// system has, and those the terminal writes without asking a locale.
const LocaleNames& FrenchNames();

// The pattern is read left to right, the longest token first. Letter tokens are
// recognised whatever their case: dddd (weekday name), dd (day, two digits), mmmm
// (month name), mmm (abbreviated month name), mm (month, two digits), yyyy (year,
// four digits), yy (its last two), hh (hour 00..23), nn (minutes), ss (seconds), and
// d, m, h, n, s without a leading zero. mm and m are the minutes instead when an hour
// token comes before them with nothing but separators between. The time of day is the
// fraction of the date rounded to the nearest second (a time that rounds to midnight
// shows the next day). A colon stands for the locale's time separator; every other
// character, letters that make no token included, is copied as it is.
std::string FormatDate(SerialDate date, std::string_view pattern, const LocaleNames& names);

}  // namespace calendar
