#pragma once
// Where the user left the window, kept for each display: two gadgets of one user on
// two displays (two X servers, or two screens of one) share the settings file, and
// each reopens where it was left on its own. A display's place lives in the group
// [places] under keys named after the display, as QSettings writes the keys
// "places/DISPLAY/x"…; the keys of the group [solvane] that held one place for every
// display are still read for a display that has none of its own.

#include <optional>
#include <string>
#include <string_view>

#include "settings/ini_text.h"

namespace settings {

// The window's top-left corner and the screen it lay on, by name and geometry, all
// in the desktop's pixels.
struct WindowPlace {
    int x = 0;
    int y = 0;
    std::string screen;
    int screenX = 0;
    int screenY = 0;
    int screenWidth = 0;
    int screenHeight = 0;
    bool operator==(const WindowPlace&) const = default;
};

// The place kept for `display` (for example ":0.0", or "wayland-0"); none when none
// is kept, or a value is not what its key holds.
std::optional<WindowPlace> PlaceOn(const IniText& text, std::string_view display);

// Keeps the place for `display`, or forgets it (the window then opens centred there).
void SetPlaceOn(IniText& text, std::string_view display, const std::optional<WindowPlace>& place);

// "true" or "false"; none for another value.
std::optional<bool> Flag(const std::optional<std::string>& value);

}  // namespace settings
