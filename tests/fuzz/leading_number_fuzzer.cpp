// LeadingNumber on any bytes, checked against the C library's conversion of the same
// characters: both round the decimal digits to the nearest double.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calendar/numbers.h"
#include "fuzz_checks.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

struct NumberStart {
    std::string characters;  // the sign, then digits with at most one point
    bool anyDigit = false;
    char firstAfterBlanks = '\0';
};

// Where the number lies: after blanks and tabs, an optional sign, then digits and at
// most one point, up to the first character that cannot continue them.
NumberStart FindNumber(std::string_view text) {
    NumberStart number;
    std::size_t pos = text.find_first_not_of(" \t");
    if (pos == std::string_view::npos) return number;
    number.firstAfterBlanks = text[pos];
    if (text[pos] == '+' || text[pos] == '-') number.characters.push_back(text[pos++]);
    bool point = false;
    for (; pos < text.size(); ++pos) {
        if (IsDigit(text[pos])) {
            number.anyDigit = true;
        } else if (text[pos] == '.' && !point) {
            point = true;
        } else {
            break;
        }
        number.characters.push_back(text[pos]);
    }
    return number;
}

std::string RealText(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = calendar::LeadingNumber(text);

    if (std::isnan(value)) fuzz::Fail("LeadingNumber gave NaN", text);
    const NumberStart number = FindNumber(text);
    // Words never read as numbers, those that spell infinity or not-a-number included.
    if (IsAsciiLetter(number.firstAfterBlanks) && value != 0) {
        fuzz::Fail("a text that begins with a letter gave " + RealText(value), text);
    }
    // The characters are plain decimal digits with at most one point, so strtod reads
    // them exactly as the rule does, in the C locale the fuzzer runs in: the same
    // double, infinity for too many digits, 0 when the value is too small for a double.
    const double expected = number.anyDigit ? std::strtod(number.characters.c_str(), nullptr) : 0.0;
    if (value != expected) fuzz::Fail("LeadingNumber gave " + RealText(value) + ", not " + RealText(expected), text);
    return 0;
}
