#include "calendar/numbers.h"

#include <charconv>
#include <cmath>

namespace calendar {

double RoundWhole(double x) {
    // Written out rather than left to the floating-point environment's rounding mode.
    // x - floor(x) is exact for every double, so the comparisons with one half are too.
    const double below = std::floor(x);
    const double excess = x - below;  // [0, 1)
    if (excess < 0.5) return below;
    if (excess > 0.5) return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;  // a half goes to the even neighbour
}

Int16 ToInteger(double x) {
    if (std::isnan(x)) throw FloatingPointError("conversion en entier d'une valeur qui n'est pas un nombre");
    const double rounded = RoundWhole(x);
    if (rounded < Int16::kMin || rounded > Int16::kMax) {
        throw OverflowError("conversion en entier : " + RealText(x));
    }
    return static_cast<long long>(rounded);
}

double IntPart(double x) { return std::floor(x); }

std::string NumberText(std::int64_t n) { return std::to_string(n); }

double LeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Digits with at most one point; a comma, a second point or any other character ends them.
    const std::size_t start = pos;
    bool digitSeen = false;
    bool pointSeen = false;
    bool nonZeroBeforePoint = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c >= '0' && c <= '9') {
            digitSeen = true;
            if (!pointSeen && c != '0') nonZeroBeforePoint = true;
        } else if (c == '.' && !pointSeen) {
            pointSeen = true;
        } else {
            break;
        }
    }
    if (!digitSeen) return 0.0;
    // std::from_chars reads the point whatever the C locale says; strtod would want the
    // comma on a French system.
    double value = 0.0;
    const std::from_chars_result read =
        std::from_chars(text.data() + start, text.data() + pos, value, std::chars_format::fixed);
    if (read.ec == std::errc::result_out_of_range) {
        // Hundreds of digits: too large for a double, or so small that it is 0.
        value = nonZeroBeforePoint ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

}  // namespace calendar
