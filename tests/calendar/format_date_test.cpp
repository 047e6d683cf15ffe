// Writing dates by pattern with the French names.

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "calendar/format_date.h"
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
        EXPECT_EQ(FormatDate(row.date, row.pattern, FrenchNames()), row.text) << row.name;
    }
    LocaleNames names = FrenchNames();
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
        const std::string text = FormatDate(date, "yyyy|mm|m|dd|d|hh|h|nn|n|ss|s", FrenchNames());
        if (text != expected) {
            mismatches.Record(test::DateText(ymd) + " at second " + std::to_string(second) + ": \"" + text +
                              "\", not \"" + expected + "\"");
        }
    }
    EXPECT_EQ(mismatches.count(), 0);
    EXPECT_GT(checked, 570000);
}

// Every reading of the clock in the years 100 to 9999, as the today line and the clock
// show it: each day at midnight, at a time that moves with the day and at 23:59:59,
// given as localtime gives it, against the weekday, the date and the time of that
// reading from std::chrono. Before 30 December 1899 the time counts down from the
// day's number; a clock that added it would show the next day and the time mirrored.
TEST(FormatDateTest, ShowsEveryClockReadingOfTheYears100To9999) {
    using namespace std::chrono;
    const LocaleNames names = FrenchNames();
    const sys_days first{year{100} / January / 1};
    test::MismatchLog mismatches;
    int checked = 0;
    for (sys_days day = first; day <= sys_days{year{9999} / December / 31}; day += days{1}) {
        const year_month_day ymd{day};
        const int month = int(unsigned(ymd.month()));
        char date[48];
        std::snprintf(date, sizeof date, " %02u %s %04d ", unsigned(ymd.day()),
                      names.monthNames[std::size_t(month - 1)].c_str(), int(ymd.year()));
        const std::string dateText = names.weekdayNames[weekday{day}.c_encoding()] + date;
        const int moving = int((day - first).count() * 7919 % 86400);  // [0, 86399]
        for (const int second : {0, moving, 86399}) {
            std::tm reading{};
            reading.tm_year = int(ymd.year()) - 1900;
            reading.tm_mon = month - 1;
            reading.tm_mday = int(unsigned(ymd.day()));
            reading.tm_hour = second / 3600;
            reading.tm_min = second / 60 % 60;
            reading.tm_sec = second % 60;
            char time[16];
            std::snprintf(time, sizeof time, "%02d:%02d:%02d", reading.tm_hour, reading.tm_min, reading.tm_sec);
            const std::string text = FormatDate(SerialOfClockReading(reading), "dddd dd mmmm yyyy hh:mm:ss", names);
            if (text.size() != dateText.size() + 8 || text.compare(0, dateText.size(), dateText) != 0 ||
                text.compare(dateText.size(), 8, time) != 0) {
                mismatches.Record("\"" + text + "\", not \"" + dateText + time + "\"");
            }
            ++checked;
        }
    }
    EXPECT_EQ(mismatches.count(), 0);
    EXPECT_EQ(checked, 3 * 3615900);
}

// How a pattern splits into tokens, for every pattern of up to five characters
// drawn from the letters of the tokens in both cases, a blank, ':' and 'x', against
// the rule read the plain way: at each place, the first of the spellings, longest
// first, that the pattern starts with, letters compared without regard to case; "m"
// and "mm" mean minutes after an hour token with nothing but separators since.
TEST(FormatDateTest, SplitsEveryShortPatternAsTheLongestSpellingFirst) {
    // Friday 9 February 2024 at 07:03:05: every field tells itself apart.
    const SerialDate date = At(2024, 2, 9, 7, 3, 5);
    struct Spelling {
        std::string_view letters;
        std::string_view text;
        bool hour;
    };
    const Spelling spellings[] = {
        {"dddd", "vendredi", false},
        {"mmmm", "février", false},
        {"yyyy", "2024", false},
        {"mmm", "févr.", false},
        {"dd", "09", false},
        {"mm", "02", false},
        {"yy", "24", false},
        {"hh", "07", true},
        {"nn", "03", false},
        {"ss", "05", false},
        {"d", "9", false},
        {"m", "2", false},
        {"h", "7", true},
        {"n", "3", false},
        {"s", "5", false},
    };
    const auto startsWith = [](std::string_view text, std::string_view lower) {
        if (text.size() < lower.size()) return false;
        for (std::size_t i = 0; i < lower.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(text[i])) != lower[i]) return false;
        }
        return true;
    };
    const auto expected = [&](std::string_view pattern) {
        std::string text;
        bool afterHour = false;
        for (std::size_t pos = 0; pos < pattern.size();) {
            const Spelling* found = nullptr;
            for (const Spelling& spelling : spellings) {
                if (startsWith(pattern.substr(pos), spelling.letters)) {
                    found = &spelling;
                    break;
                }
            }
            if (!found) {
                text += pattern[pos] == ':' ? std::string("h") : std::string(1, pattern[pos]);
                if (std::isalpha(static_cast<unsigned char>(pattern[pos]))) afterHour = false;
                ++pos;
                continue;
            }
            if (afterHour && found->letters == "m")
                text += "3";
            else if (afterHour && found->letters == "mm")
                text += "03";
            else
                text += found->text;
            afterHour = found->hour;
            pos += found->letters.size();
        }
        return text;
    };

    LocaleNames names = FrenchNames();
    names.timeSeparator = "h";
    const std::string alphabet = "dDmMyYhnNs:x ";
    test::MismatchLog mismatches;
    int checked = 0;
    std::string pattern;
    // Every pattern as a number written in base alphabet.size(), lengths 1 to 5.
    for (int length = 1; length <= 5; ++length) {
        std::vector<std::size_t> digits(std::size_t(length), 0);
        for (bool more = true; more; ++checked) {
            pattern.clear();
            for (std::size_t digit : digits) pattern += alphabet[digit];
            const std::string text = FormatDate(date, pattern, names);
            if (text != expected(pattern)) {
                mismatches.Record("\"" + pattern + "\" gives \"" + text + "\", not \"" + expected(pattern) + "\"");
            }
            more = false;
            for (std::size_t& digit : digits) {
                if (++digit < alphabet.size()) {
                    more = true;
                    break;
                }
                digit = 0;
            }
        }
    }
    EXPECT_EQ(mismatches.count(), 0);
    EXPECT_EQ(checked, 13 + 13 * 13 + 13 * 13 * 13 + 13 * 13 * 13 * 13 + 13 * 13 * 13 * 13 * 13);
}

}  // namespace
}  // namespace calendar
