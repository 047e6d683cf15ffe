#include "settings/window_place.h"

#include <charconv>

#include "settings/settings_file.h"

namespace settings {

namespace {

constexpr std::string_view kPlacesGroup = "places";

// Far past any desktop: a coordinate or a size beyond it is damage, not a screen.
constexpr long long kLargestDesktopCoordinate = 1'000'000;

// The names of a place's keys, in the group [solvane] of one place for every display.
struct PlaceKeys {
    std::string_view x, y, screen, screenX, screenY, screenWidth, screenHeight;
};
constexpr PlaceKeys kPlaceKeys{.x = "x",
                               .y = "y",
                               .screen = "screen",
                               .screenX = "screen_x",
                               .screenY = "screen_y",
                               .screenWidth = "screen_width",
                               .screenHeight = "screen_height"};

// A display's name as QSettings writes it in a key: letters, digits, '-', '_' and
// '.' as they are, every other byte as %XX (":0.0" is "%3A0.0"); then the key's own
// name after a backslash, QSettings' separator of sub-keys in an INI file.
std::string DisplayKey(std::string_view display, std::string_view name) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string key;
    for (const char c : display) {
        const auto byte = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.') {
            key += c;
        } else {
            key += '%';
            key += kHex[byte >> 4];
            key += kHex[byte & 0xF];
        }
    }
    return key + '\\' + std::string(name);
}

std::optional<int> Coordinate(const std::optional<std::string>& value) {
    if (!value) return std::nullopt;
    const std::string_view text = *value;
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < -kLargestDesktopCoordinate ||
        number > kLargestDesktopCoordinate) {
        return std::nullopt;
    }
    return int(number);
}

template <typename ValueOf>
std::optional<WindowPlace> ReadPlace(const ValueOf& value) {
    const auto x = Coordinate(value(kPlaceKeys.x)), y = Coordinate(value(kPlaceKeys.y));
    const auto left = Coordinate(value(kPlaceKeys.screenX)), top = Coordinate(value(kPlaceKeys.screenY));
    const auto width = Coordinate(value(kPlaceKeys.screenWidth));
    const auto height = Coordinate(value(kPlaceKeys.screenHeight));
    const std::optional<std::string> screen = value(kPlaceKeys.screen);
    if (!x || !y || !left || !top || !width || !height || *width <= 0 || *height <= 0 || !screen || screen->empty()) {
        return std::nullopt;
    }
    return WindowPlace{.x = *x,
                       .y = *y,
                       .screen = *screen,
                       .screenX = *left,
                       .screenY = *top,
                       .screenWidth = *width,
                       .screenHeight = *height};
}

}  // namespace

std::optional<WindowPlace> PlaceOn(const IniText& text, std::string_view display) {
    const auto own = [&](std::string_view name) { return text.Value(kPlacesGroup, DisplayKey(display, name)); };
    if (own(kPlaceKeys.x)) return ReadPlace(own);
    return ReadPlace([&](std::string_view name) { return text.Value(kGroup, name); });
}

void SetPlaceOn(IniText& text, std::string_view display, const std::optional<WindowPlace>& place) {
    for (const std::string_view name : {kPlaceKeys.x, kPlaceKeys.y, kPlaceKeys.screen, kPlaceKeys.screenX,
                                        kPlaceKeys.screenY, kPlaceKeys.screenWidth, kPlaceKeys.screenHeight}) {
        // The one place for every display belonged to whichever wrote last: each display's own replaces it.
        text.Remove(kGroup, name);
        text.Remove(kPlacesGroup, DisplayKey(display, name));
    }
    if (!place) return;
    const auto set = [&](std::string_view name, const std::string& value) {
        text.Set(kPlacesGroup, DisplayKey(display, name), value);
    };
    set(kPlaceKeys.x, std::to_string(place->x));
    set(kPlaceKeys.y, std::to_string(place->y));
    set(kPlaceKeys.screen, place->screen);
    set(kPlaceKeys.screenX, std::to_string(place->screenX));
    set(kPlaceKeys.screenY, std::to_string(place->screenY));
    set(kPlaceKeys.screenWidth, std::to_string(place->screenWidth));
    set(kPlaceKeys.screenHeight, std::to_string(place->screenHeight));
}

std::optional<bool> Flag(const std::optional<std::string>& value) {
    if (value == "true") return true;
    if (value == "false") return false;
    return std::nullopt;
}

}  // namespace settings
