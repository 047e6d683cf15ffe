#include "calendar/coordinates.h"

#include <charconv>
#include <string>
#include <system_error>

namespace calendar {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A sign, digits, and at most one decimal point or comma followed by digits.
std::optional<double> Number(std::string_view text) {
    std::string plain;
    std::size_t digits = 0;
    bool separator = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i == 0 && (c == '+' || c == '-')) {
            if (c == '-') plain += '-';
        } else if (c >= '0' && c <= '9') {
            plain += c;
            ++digits;
        } else if ((c == '.' || c == ',') && !separator && digits > 0) {
            plain += '.';
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || plain.back() == '.') return std::nullopt;
    double value = 0;
    if (std::from_chars(plain.data(), plain.data() + plain.size(), value).ec == std::errc::result_out_of_range) {
        // Past a double's range: a whole part of hundreds of digits is no coordinate,
        // while a fraction below the least double is as near zero as a place can be.
        if (plain.find_first_of("123456789") < plain.find('.')) return std::nullopt;
        value = plain.front() == '-' ? -0.0 : 0.0;
    }
    return value;
}

}  // namespace

std::optional<Coordinates> ParseCoordinates(std::string_view typed) {
    std::string text(Trimmed(typed));
    for (std::size_t at; (at = text.find("\u2212")) != std::string::npos;) text.replace(at, 3, "-");
    std::string_view first, second;
    const std::string_view view = text;
    if (const std::size_t semicolon = view.find(';'); semicolon != std::string_view::npos) {
        first = Trimmed(view.substr(0, semicolon));
        second = Trimmed(view.substr(semicolon + 1));
    } else if (const std::size_t blank = view.find_first_of(" \t"); blank != std::string_view::npos) {
        first = view.substr(0, blank);
        if (first.ends_with(',')) first.remove_suffix(1);
        second = Trimmed(view.substr(blank));
    } else if (const std::size_t comma = view.find(','); comma != std::string_view::npos) {
        // « 48,58,7 » could be 48.58 and 7 as well as 48 and 58.7.
        if (view.find(',', comma + 1) != std::string_view::npos) return std::nullopt;
        first = view.substr(0, comma);
        second = view.substr(comma + 1);
    } else {
        return std::nullopt;
    }
    const std::optional<double> latitude = Number(first), longitude = Number(second);
    if (!latitude || !longitude || *latitude < -90 || *latitude > 90 || *longitude < -180 || *longitude > 180)
        return std::nullopt;
    return Coordinates{.latitude = *latitude, .longitude = *longitude};
}

}  // namespace calendar
