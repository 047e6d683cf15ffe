#include "app/platform/display_platform.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>

PlatformChoice ChoosePlatform(const DisplayEnvironment& environment, const X11Probe& x11Answers) {
    // A platform named by the user is theirs to keep, even one without a display
    // (offscreen, vnc).
    if (!environment.qtPlatform.empty() || environment.platformArgument) return PlatformChoice::AsQtChooses;

    const bool hasX11 = !environment.x11Display.empty();
    const bool hasWayland = !environment.waylandDisplay.empty();
    if (!hasX11) return hasWayland ? PlatformChoice::AsQtChooses : PlatformChoice::NoDisplay;

    // Every remaining path goes to the X server, unless it does not answer. A
    // stale DISPLAY in a Wayland session (XWayland stopped) leaves Wayland.
    if (!x11Answers(environment.x11Display))
        return hasWayland ? PlatformChoice::Wayland : PlatformChoice::X11DoesNotAnswer;

    // Qt itself takes the Wayland platform when either of these says Wayland.
    const bool waylandSession = hasWayland || environment.sessionType == "wayland";
    return waylandSession ? PlatformChoice::X11 : PlatformChoice::AsQtChooses;
}

DisplayEnvironment CurrentDisplayEnvironment(int argc, const char* const* argv) {
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    DisplayEnvironment environment;
    environment.qtPlatform = variable("QT_QPA_PLATFORM");
    environment.waylandDisplay = variable("WAYLAND_DISPLAY");
    environment.sessionType = variable("XDG_SESSION_TYPE");
    environment.x11Display = variable("DISPLAY");
    for (const char* scaleVariable : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_ENABLE_HIGHDPI_SCALING",
                                      "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_FONT_DPI", "QT_USE_PHYSICAL_DPI"}) {
        if (!variable(scaleVariable).empty()) environment.scaleChosen = true;
    }
    // Qt reads its own options with one dash or two, the value in the next argument.
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-platform" || argument == "--platform") environment.platformArgument = true;
        if (argument == "-display" || argument == "--display") environment.x11Display = argv[i + 1];
    }
    return environment;
}

std::string X11DoesNotAnswerSentence(const std::string& display) {
    return "Le serveur X « " + display +
           " » ne répond pas : vérifiez DISPLAY, ou lancez Solvane depuis une "
           "session de bureau.";
}

bool OpensOnX11(const DisplayEnvironment& environment, PlatformChoice choice) {
    if (choice == PlatformChoice::X11) return true;
    if (choice != PlatformChoice::AsQtChooses || environment.platformArgument) return false;
    // Left to Qt, with no platform named, an X server that answers is taken.
    return environment.qtPlatform == "xcb" || (environment.qtPlatform.empty() && !environment.x11Display.empty());
}

bool GadgetChoosesX11Scale(const DisplayEnvironment& environment, PlatformChoice choice) {
    return !environment.scaleChosen && OpensOnX11(environment, choice);
}

std::string ScreenTooShallowSentence(int depth) {
    return "L'écran n'a que " + std::to_string(depth) + " bits par pixel et Solvane en demande au moins " +
           std::to_string(kLeastScreenDepth) + " : choisissez un affichage en milliers ou en millions de couleurs.";
}

std::string CanonicalX11Display(const std::string& display) {
    // [protocol/][host]:number[.screen], as Xlib and xcb read it.
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos) return display;
    std::string host = display.substr(0, colon);
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return display;
    std::string protocol;
    if (const std::size_t slash = host.find('/'); slash != std::string::npos) {
        protocol = host.substr(0, slash);
        host.erase(0, slash + 1);
    }
    const bool local = (protocol.empty() || protocol == "unix") && (host.empty() || host == "unix");
    if (local) return ":" + number;
    return (protocol.empty() ? "" : protocol + "/") + host + ":" + number;
}

int WholeWindowScale(double desktopScale, int availableWidth, int availableHeight, int windowWidth, int windowHeight) {
    const int rounded = static_cast<int>(std::floor(desktopScale + 0.5));
    const int fitting = std::min(availableWidth / windowWidth, availableHeight / windowHeight);
    return std::max(1, std::min(rounded, fitting));
}

std::string ScreenScaleFactors(int scale, int monitors) {
    std::string factors = std::to_string(scale);
    for (int i = 1; i < monitors; ++i) factors += ";" + std::to_string(scale);
    return factors;
}
