// Writing dates by pattern with the French names.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "calendar/format_date.h"
#include "tests/calendar/french_locale_names.h"
#include "tests/calendar/sweep_support.h"

namespace calendar {
namespace {

SerialDate At(int year, int month, int day, int hour = 0, int minute = 0, double second = 0) {
    return MakeDate(year, month, day) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

TEST(FormatDateTest, WritesEachPatternToTheByte) {
    const struct {
        const char* name;
        SerialDate date;
        const char* pattern;
        const char* text;
    } rows[] = {
        // The five patterns of the window.
        {"today line, two blanks kept", At(2026, 12, 6, 9, 5, 7), "dddd  dd Mmmm yyyy", "dimanche  06 décembre 2026"},
        {"clock", At(2026, 12, 6, 9, 5, 7), "hh:mm:ss", "09:05:07"},
        {"clock of 24 hours", At(2024, 1, 1, 21), "hh:mm:ss", "21:00:00"},
        {"holiday", At(2024, 1, 1), "dddd dd mmmm", "lundi 01 janvier"},
        {"holiday, trailing blank", At(2024, 1, 1), "dddd dd mmmm ", "lundi 01 janvier "},
        {"holiday, November", At(2024, 11, 1), "dddd dd mmm ", "vendredi 01 nov. "},
        {"holiday, December", At(2024, 12, 25), "dddd dd mmm ", "mercredi 25 déc. "},
        // The token rules.
        {"any letter case", At(2026, 12, 6), "DDDD dD MMMM yYyY", "dimanche 06 décembre 2026"},
        {"mm without hour is the month", At(2026, 12, 6, 9, 5, 7), "dd/mm/yyyy mm:ss", "06/12/2026 12:07"},
        {"mm after hour and a blank", At(2026, 12, 6, 9, 5), "hh mm", "09 05"},
        {"mm after a date token again", At(2026, 12, 6, 9, 5), "hh:mm dd/mm", "09:05 06/12"},
        {"mmm after hour", At(2026, 12, 6, 9, 5), "hh mmm", "09 déc."},
        {"short tokens", At(2026, 2, 6, 9, 5, 7), "d/m/yy h:n:s nn", "6/2/26 9:5:7 05"},
        {"four-digit year", At(100, 3, 1), "yyyy", "0100"},
        {"other characters copied", At(2026, 12, 6), "[dd] à x, !", "[06] à x, !"},
        {"nearest second", At(2026, 12, 6, 9, 5, 6.6), "hh:mm:ss", "09:05:07"},
        {"rounded into the next day", At(2024, 12, 31, 23, 59, 59.6), "dd/mm/yyyy hh:mm:ss", "01/01/2025 00:00:00"},
        {"negative serial with a time", -1.25, "dddd dd mmmm yyyy hh:mm", "vendredi 29 décembre 1899 06:00"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatDate(row.date, row.pattern, test::FrenchLocaleNames()), row.text) << row.name;
    }
    LocaleNames names = test::FrenchLocaleNames();
    names.timeSeparator = "h";
    EXPECT_EQ(FormatDate(At(2026, 12, 6, 9, 5, 7), "hh:mm", names), "09h05");
}

// Every number a pattern can write, for a day in every week of the years -1000 to
// 9999 at a time of day that moves with it, against printf's "%0*d" on the fields
// that std::chrono gives for the same day: zero padding, years of fewer than four
// digits and years before year 1 (the minus sign counts among the four) included.
TEST(FormatDateTest, WritesEveryNumberAsPrintfPadsIt) {
    using namespace std::chrono;
    const sys_days first{year{-1000} / January / 1};
    const sys_days last{year{9999} / December / 31};
    test::MismatchLog mismatches;
    int checked = 0;
    for (sys_days day = first; day <= last; day += days{7}, ++checked) {
        const int second = int((day - first).count() * 7919 % 86400);  // [0, 86399]
        const year_month_day ymd{day};
        const int month = int(unsigned(ymd.month())), dayOfMonth = int(unsigned(ymd.day()));
        const int hour = second / 3600, minute = second / 60 % 60, secondOfMinute = second % 60;
        char expected[96];
        std::snprintf(expected, sizeof expected, "%0*d|%02d|%d|%02d|%d|%02d|%d|%02d|%d|%02d|%d", 4, int(ymd.year()),
                      month, month, dayOfMonth, dayOfMonth, hour, hour, minute, minute, secondOfMinute, secondOfMinute);
        // Before 30 December 1899 the time of day counts down from the day's number.
        const SerialDate serial = test::SerialOf(day);
        const SerialDate date = serial < 0 ? serial - second / 86400.0 : serial + second / 86400.0;
        const std::string text = FormatDate(date, "yyyy|mm|m|dd|d|hh|h|nn|n|ss|s", test::FrenchLocaleNames());
        if (text != expected) {
            mismatches.Record(test::DateText(ymd) + " at second " + std::to_string(second) + ": \"" + text +
                              "\", not \"" + expected + "\"");
        }
    }
    EXPECT_EQ(mismatches.count(), 0);
    EXPECT_GT(checked, 570000);
}

}  // namespace
}  // namespace calendar
