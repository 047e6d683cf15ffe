#pragma once
// A place on the earth by its latitude and longitude, and the reading of one typed by
// the user.

#include <optional>
#include <string_view>

namespace calendar {

struct Coordinates {
    double latitude = 0;   // degrees, north positive [−90, 90]
    double longitude = 0;  // degrees, east positive [−180, 180]
    bool operator==(const Coordinates&) const = default;
};

// Two decimal numbers, the latitude then the longitude, each with an optional sign
// (+, - or −) and a decimal point or comma: « 48,58 7,75 », « 48.58,7.75 »,
// « 48.58 7.75 », « 48,58 ; 7,75 », « 48.58, 7.75 », « -21,34 55,48 ». The two are
// parted by a semicolon, else by blanks (a comma just before them going with them),
// else by the one comma of the text. None when the text is anything else (more
// numbers, a comma too many, an exponent, letters such as « inf » or « nan ») or a
// number lies out of range, however many digits it has.
std::optional<Coordinates> ParseCoordinates(std::string_view text);

}  // namespace calendar
