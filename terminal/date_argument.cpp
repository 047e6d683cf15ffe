#include "terminal/date_argument.h"

#include <array>
#include <string_view>

#include "calendar/leap_year.h"
#include "calendar/serial_date.h"
#include "terminal/options.h"

namespace {

bool Digits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// The value of the digits, held at 100000 for longer numbers: every such year is past 9999 alike.
int Number(std::string_view digits) {
    int n = 0;
    for (const char c : digits) n = n < 100000 ? n * 10 + (c - '0') : n;
    return n;
}

// A year of the calendar's range.
int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && calendar::IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::string Quoted(const std::string& text) { return "« " + EchoedArgument(text) + " »"; }
std::string OutOfRange(const std::string& text) {
    return Quoted(text) + " est hors du calendrier de Solvane, qui va " + calendar::kCalendarRangeText + ".";
}

bool InRange(int year) { return year >= calendar::kFirstCalendarYear && year <= calendar::kLastCalendarYear; }

}  // namespace

std::variant<GivenDay, std::string> ReadGivenDay(const std::string& text) {
    const std::size_t dash = text.find('-');
    const std::string_view view = text;
    const bool written = dash != std::string::npos && dash >= 4 && text.size() == dash + 6 && text[dash + 3] == '-' &&
                         Digits(view.substr(0, dash)) && Digits(view.substr(dash + 1, 2)) &&
                         Digits(view.substr(dash + 4, 2));
    const GivenDay day{.year = written ? Number(view.substr(0, dash)) : 0,
                       .month = written ? Number(view.substr(dash + 1, 2)) : 0,
                       .day = written ? Number(view.substr(dash + 4, 2)) : 0};
    const std::string notADate = Quoted(text) + " n'est pas une date : écrivez-la AAAA-MM-JJ, par exemple 2024-07-14.";
    if (!written || day.month < 1 || day.month > 12 || day.day < 1 || day.day > 31) return notADate;
    if (!InRange(day.year)) return OutOfRange(text);
    if (day.day > DaysInMonth(day.year, day.month)) return notADate;
    return day;
}

std::variant<int, std::string> ReadGivenYear(const std::string& text) {
    if (!Digits(text)) return Quoted(text) + " n'est pas une année : écrivez-la en chiffres, par exemple 2024.";
    const int year = Number(text);
    if (!InRange(year)) return OutOfRange(text);
    return year;
}
