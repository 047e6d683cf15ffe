// ParseCoordinates on any bytes, checked against a second reading of the same text:
// the forms written as regular expressions, each number converted by the C library.
// Whatever it accepts is a latitude and a longitude within their bounds.

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <string_view>

#include "calendar/coordinates.h"
#include "fuzz_checks.h"

namespace {

std::string RealText(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

// The number strtod reads from a matched one, its comma made a point (the fuzzer runs
// in the C locale).
double Converted(std::string number) {
    for (char& c : number) c = c == ',' ? '.' : c;
    return std::strtod(number.c_str(), nullptr);
}

// Equal, or both nearer zero than the least normal double, where the two conversions
// may round apart: far less than a nanometre on the earth.
bool Same(double read, double expected) {
    return read == expected || (std::fabs(read) < DBL_MIN && std::fabs(expected) < DBL_MIN);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::optional<calendar::Coordinates> read = calendar::ParseCoordinates(input);

    if (read && !(std::fabs(read->latitude) <= 90 && std::fabs(read->longitude) <= 180)) {
        fuzz::Fail("out of bounds: " + RealText(read->latitude) + " " + RealText(read->longitude), input);
    }

    // The minus sign U+2212 is a hyphen-minus; blanks and tabs at the ends go.
    std::string text(input);
    for (std::size_t at; (at = text.find("\xE2\x88\x92")) != std::string::npos;) text.replace(at, 3, "-");
    static const std::regex kEnds("^[ \\t]+|[ \\t]+$");
    text = std::regex_replace(text, kEnds, "");
    // A semicolon parts the two numbers when there is one; else blanks, with a comma
    // before them; else a single comma, and then neither number has a decimal comma.
    static const std::regex kBySemicolon("([+-]?[0-9]+(?:[.,][0-9]+)?)[ \\t]*;[ \\t]*([+-]?[0-9]+(?:[.,][0-9]+)?)");
    static const std::regex kByBlanks("([+-]?[0-9]+(?:[.,][0-9]+)?),?[ \\t]+([+-]?[0-9]+(?:[.,][0-9]+)?)");
    static const std::regex kByComma("([+-]?[0-9]+(?:\\.[0-9]+)?),([+-]?[0-9]+(?:\\.[0-9]+)?)");
    const std::regex& form = text.find(';') != std::string::npos              ? kBySemicolon
                             : text.find_first_of(" \t") != std::string::npos ? kByBlanks
                                                                              : kByComma;
    std::smatch numbers;
    const bool written = std::regex_match(text, numbers, form);
    const double latitude = written ? Converted(numbers[1]) : 0, longitude = written ? Converted(numbers[2]) : 0;
    const bool inBounds = written && std::fabs(latitude) <= 90 && std::fabs(longitude) <= 180;

    if (read.has_value() != inBounds) {
        fuzz::Fail(read ? "accepted, though no coordinates within bounds"
                        : "refused coordinates " + RealText(latitude) + " " + RealText(longitude),
                   input);
    }
    if (read && !(Same(read->latitude, latitude) && Same(read->longitude, longitude))) {
        fuzz::Fail("read " + RealText(read->latitude) + " " + RealText(read->longitude) + ", not " +
                       RealText(latitude) + " " + RealText(longitude),
                   input);
    }
    return 0;
}
