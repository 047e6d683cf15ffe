// FormatDate with the French names on any date and any pattern. The input is the
// serial date as text on its first line, in any form that strtod reads (45292,
// 45292.75, -1.5, 1e300, nan, inf), and the pattern after it. A date outside the
// 16-bit years is refused with our own calendar::CalendarError; every other
// exception, and every broken check below, is a finding.

#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calendar/format_date.h"
#include "calendar/int16.h"
#include "fuzz_checks.h"

namespace {

const calendar::LocaleNames& French() {
    static const calendar::LocaleNames names = calendar::FrenchNames();
    return names;
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

bool HasLetterOrColon(std::string_view text) {
    for (const char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ':') return true;
    }
    return false;
}

// The date and time that a serial date stands for, computed with the standard
// library's calendar: a second algorithm for the civil date of a day number.
struct ExpectedFields {
    long long year;
    unsigned month;
    unsigned day;
    unsigned weekday;  // 0 Sunday .. 6 Saturday
    long long hour;
    long long minute;
    long long second;
};

// Serial number of 1 January 1970, day 0 of std::chrono::sys_days.
// std::chrono::year holds -32767..32767; these days lie well inside it.
constexpr double kOracleDays = 11'000'000.0;

bool ExpectedFor(calendar::SerialDate date, ExpectedFields& fields) {
    if (!(std::fabs(date) < kOracleDays)) return false;
    // The whole part, toward zero, is the day; the fraction, whatever its sign, the
    // time of day, rounded to the nearest second; midnight belongs to the next day.
    long long day = static_cast<long long>(std::trunc(date));
    long long second = std::llround(std::fabs(date - std::trunc(date)) * 86400.0);
    if (second == 86400) {
        ++day;
        second = 0;
    }
    using namespace std::chrono;
    const sys_days civil{days{day - calendar::kSerialOf1970}};
    const year_month_day ymd{civil};
    fields = {int(ymd.year()), unsigned(ymd.month()), unsigned(ymd.day()), weekday{civil}.c_encoding(),
              second / 3600,   second / 60 % 60,      second % 60};
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t lineEnd = input.find('\n');
    const std::string dateText(input.substr(0, lineEnd));
    const std::string_view pattern = lineEnd == std::string_view::npos ? std::string_view() : input.substr(lineEnd + 1);
    const calendar::SerialDate date = std::strtod(dateText.c_str(), nullptr);

    ExpectedFields expected{};
    const bool inRange = ExpectedFor(date, expected);
    std::string text;
    try {
        text = calendar::FormatDate(date, pattern, French());
    } catch (const calendar::CalendarError& error) {
        if (inRange && expected.year >= -32768 && expected.year <= 32767) {
            fuzz::Fail(std::string("a date with a 16-bit year was refused: ") + error.what(), input);
        }
        return 0;
    }

    // Text without letters or colons is copied as it is.
    if (!HasLetterOrColon(pattern) && text != pattern) fuzz::Fail("a pattern without tokens was changed", input);
    // Tokens are ASCII letters and the names are UTF-8, so UTF-8 in gives UTF-8 out.
    if (fuzz::IsUtf8(pattern) && !fuzz::IsUtf8(text)) fuzz::Fail("a UTF-8 pattern gave text that is not", input);
    // Tokens are recognised whatever their case, and the names keep theirs: the upper-
    // and lower-case patterns differ only in the letters copied as they are.
    const std::string upper = calendar::FormatDate(date, AsciiUpper(pattern), French());
    const std::string lower = calendar::FormatDate(date, AsciiLower(pattern), French());
    if (AsciiLower(upper) != AsciiLower(lower)) fuzz::Fail("the case of the pattern changed a token", input);

    if (inRange) {
        const std::string fields = calendar::FormatDate(date, "yyyy m d h n s dddd", French());
        long long year = 0;
        unsigned month = 0, day = 0;
        long long hour = 0, minute = 0, second = 0;
        char weekdayName[32] = {};
        const int read = std::sscanf(fields.c_str(), "%lld %u %u %lld %lld %lld %31s", &year, &month, &day, &hour,
                                     &minute, &second, weekdayName);
        if (read != 7 || year != expected.year || month != expected.month || day != expected.day ||
            hour != expected.hour || minute != expected.minute || second != expected.second ||
            French().weekdayNames[expected.weekday] != weekdayName) {
            char wanted[96];
            std::snprintf(wanted, sizeof wanted, "%lld %u %u %lld %lld %lld %s", expected.year, expected.month,
                          expected.day, expected.hour, expected.minute, expected.second,
                          French().weekdayNames[expected.weekday].c_str());
            fuzz::Fail("the date reads \"" + fields + "\", not \"" + wanted + "\"", input);
        }
    }
    return 0;
}
