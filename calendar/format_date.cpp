#include "calendar/format_date.h"

#include <charconv>
#include <cmath>
#include <iterator>

namespace calendar {

namespace {

enum class Token {
    kNone,
    kWeekdayName,
    kDay,
    kDayTwoDigits,
    kMonthName,
    kMonthAbbreviation,
    kMonth,
    kMonthTwoDigits,
    kYear,
    kYearTwoDigits,
    kHour,
    kHourTwoDigits,
    kMinute,
    kMinuteTwoDigits,
    kSecond,
    kSecondTwoDigits
};

struct TokenSpelling {
    std::string_view letters;  // lower case; the pattern is compared without regard to case
    Token token;
};

// Longest spellings first, so that "dddd" is not read as "dd" twice.
constexpr TokenSpelling kSpellings[] = {
    {"dddd", Token::kWeekdayName},
    {"mmmm", Token::kMonthName},
    {"yyyy", Token::kYear},
    {"mmm", Token::kMonthAbbreviation},
    {"dd", Token::kDayTwoDigits},
    {"mm", Token::kMonthTwoDigits},
    {"yy", Token::kYearTwoDigits},
    {"hh", Token::kHourTwoDigits},
    {"nn", Token::kMinuteTwoDigits},
    {"ss", Token::kSecondTwoDigits},
    {"d", Token::kDay},
    {"m", Token::kMonth},
    {"h", Token::kHour},
    {"n", Token::kMinute},
    {"s", Token::kSecond},
};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsAsciiLetter(char c) { return LowerAscii(c) >= 'a' && LowerAscii(c) <= 'z'; }

// The token that starts `rest`, and how many characters it takes; kNone and 1 for
// any other character. Every spelling repeats one letter, so the longest spelling
// of the first letter that the run of that letter covers is the one that matches.
Token TokenAt(std::string_view rest, std::size_t& length) {
    const char letter = LowerAscii(rest[0]);
    std::size_t run = 1;
    while (run < rest.size() && run < 4 && LowerAscii(rest[run]) == letter) ++run;
    for (const TokenSpelling& spelling : kSpellings) {
        if (spelling.letters[0] == letter && spelling.letters.size() <= run) {
            length = spelling.letters.size();
            return spelling.token;
        }
    }
    length = 1;
    return Token::kNone;
}

// Appends the value in decimal, zero-padded to `width` characters with its minus
// sign counted among them, as printf's "%0*lld" writes it.
void AppendPadded(std::string& text, long long value, int width) {
    char digits[24];  // -2^63 takes 20 characters
    const char* const end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    const char* first = digits;
    if (*first == '-') text += *first++;
    const auto count = static_cast<int>(end - digits);
    if (width > count) text.append(static_cast<std::size_t>(width - count), '0');
    text.append(first, end);
}

// The fields that a pattern can show, taken once from the date.
struct DateFields {
    int year;
    int month;    // 1..12
    int day;      // 1..31
    int weekday;  // 1 Sunday .. 7 Saturday
    int hour;
    int minute;
    int second;
};

DateFields FieldsOf(SerialDate date) {
    // The time of day rounded to the nearest second; a time that rounds to midnight
    // belongs to the next day.
    const DayAndTime parts = DayAndTimeOf(date);
    SerialDate day = static_cast<SerialDate>(parts.day);
    long long secondOfDay = std::llround(parts.timeOfDay * 86400.0);  // [0, 86400]
    if (secondOfDay == 86400) {
        day += 1.0;
        secondOfDay = 0;
    }
    return {YearOf(day).value(),
            MonthOf(day).value(),
            DayOf(day).value(),
            WeekdayOf(day).value(),
            static_cast<int>(secondOfDay / 3600),
            static_cast<int>(secondOfDay / 60 % 60),
            static_cast<int>(secondOfDay % 60)};
}

}  // namespace

std::string FormatDate(SerialDate date, std::string_view pattern, const LocaleNames& names) {
    const DateFields fields = FieldsOf(date);
    std::string text;
    text.reserve(pattern.size() + 24);  // room for the names, so that appending seldom reallocates
    // Whether an hour token came last, with only separators since: m and mm then mean minutes.
    bool afterHour = false;
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        std::size_t length = 1;
        Token token = TokenAt(pattern.substr(pos), length);
        if (afterHour && token == Token::kMonth) token = Token::kMinute;
        if (afterHour && token == Token::kMonthTwoDigits) token = Token::kMinuteTwoDigits;
        switch (token) {
        case Token::kWeekdayName: text += names.weekdayNames[fields.weekday - 1]; break;
        case Token::kDay: AppendPadded(text, fields.day, 1); break;
        case Token::kDayTwoDigits: AppendPadded(text, fields.day, 2); break;
        case Token::kMonthName: text += names.monthNames[fields.month - 1]; break;
        case Token::kMonthAbbreviation: text += names.abbreviatedMonthNames[fields.month - 1]; break;
        case Token::kMonth: AppendPadded(text, fields.month, 1); break;
        case Token::kMonthTwoDigits: AppendPadded(text, fields.month, 2); break;
        case Token::kYear: AppendPadded(text, fields.year, 4); break;
        case Token::kYearTwoDigits: AppendPadded(text, (fields.year % 100 + 100) % 100, 2); break;
        case Token::kHour: AppendPadded(text, fields.hour, 1); break;
        case Token::kHourTwoDigits: AppendPadded(text, fields.hour, 2); break;
        case Token::kMinute: AppendPadded(text, fields.minute, 1); break;
        case Token::kMinuteTwoDigits: AppendPadded(text, fields.minute, 2); break;
        case Token::kSecond: AppendPadded(text, fields.second, 1); break;
        case Token::kSecondTwoDigits: AppendPadded(text, fields.second, 2); break;
        case Token::kNone:
            if (pattern[pos] == ':') {
                text += names.timeSeparator;
            } else {
                text += pattern[pos];
            }
            break;
        }
        if (token == Token::kHour || token == Token::kHourTwoDigits) {
            afterHour = true;
        } else if (token != Token::kNone || IsAsciiLetter(pattern[pos])) {
            afterHour = false;
        }
        pos += length;
    }
    return text;
}

const LocaleNames& FrenchNames() {
    static const LocaleNames names{
        {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"},
        {"janvier", "février", "mars", "avril", "mai", "juin", "juillet", "août", "septembre", "octobre", "novembre",
         "décembre"},
        {"janv.", "févr.", "mars", "avr.", "mai", "juin", "juil.", "août", "sept.", "oct.", "nov.", "déc."},
        ":",
    };
    return names;
}

}  // namespace calendar
