#pragma once
// Which of Qt's window-system platforms the gadget starts on, decided from the
// environment before the application exists.
//
// On Wayland a window cannot put itself above the others, nor be moved or placed
// by the program; XWayland gives it every behaviour of its X11 window. So in a
// Wayland session where XWayland runs, the gadget asks for Qt's X11 platform,
// unless the user has chosen a platform.

#include <string>

struct DisplayEnvironment {
    std::string qtPlatform;      // QT_QPA_PLATFORM
    bool platformArgument = false;  // "-platform NAME" on the command line
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string sessionType;     // XDG_SESSION_TYPE
    std::string x11Display;      // DISPLAY
};

enum class PlatformChoice {
    AsQtChooses,  // leave the choice to Qt (and to the user)
    X11,          // ask for Qt's X11 platform, "xcb"
    NoDisplay,    // nothing to show a window on: do not start
};

// An unset variable and an empty one mean the same.
PlatformChoice ChoosePlatform(const DisplayEnvironment& environment);

// The environment of this process and its command line.
DisplayEnvironment CurrentDisplayEnvironment(int argc, const char* const* argv);

// Said on standard error when there is no display.
inline constexpr const char* kNoDisplaySentence =
    "Aucun affichage graphique n'est disponible (ni DISPLAY ni WAYLAND_DISPLAY) : lancez Solvane depuis une "
    "session de bureau.";
