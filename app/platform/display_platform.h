#pragma once
// Which of Qt's window-system platforms the gadget starts on, decided from the
// environment before the application exists.
//
// On Wayland a window cannot put itself above the others, nor be moved or placed
// by the program; XWayland gives it every behaviour of its X11 window. So in a
// Wayland session where XWayland runs, the gadget asks for Qt's X11 platform,
// unless the user has chosen a platform.
//
// Qt's X11 platform ends the program with its own message in English when the X
// server does not answer: before that, the X server is asked once whether it
// answers, and Wayland is taken instead when there is one.

#include <functional>
#include <string>

struct DisplayEnvironment {
    std::string qtPlatform;         // QT_QPA_PLATFORM
    bool platformArgument = false;  // "-platform NAME" on the command line
    std::string waylandDisplay;     // WAYLAND_DISPLAY
    std::string sessionType;        // XDG_SESSION_TYPE
    std::string x11Display;         // DISPLAY, or "-display NAME" on the command line, which Qt prefers
    bool scaleChosen = false;       // one of Qt's variables of the screens' scale is set
};

enum class PlatformChoice {
    AsQtChooses,       // leave the choice to Qt (and to the user)
    X11,               // ask for Qt's X11 platform, "xcb"
    Wayland,           // ask for Qt's Wayland platform, "wayland"
    NoDisplay,         // nothing to show a window on: do not start
    X11DoesNotAnswer,  // only an X server that does not answer: do not start
};

// Whether the X server of a DISPLAY value answers (AskX11Screen in the program).
using X11Probe = std::function<bool(const std::string& display)>;

// An unset variable and an empty one mean the same. The X server is asked only
// where the choice depends on it, and at most once.
PlatformChoice ChoosePlatform(const DisplayEnvironment& environment, const X11Probe& x11Answers);

// The environment of this process and its command line.
DisplayEnvironment CurrentDisplayEnvironment(int argc, const char* const* argv);

// Said on standard error when there is no display.
inline constexpr const char* kNoDisplaySentence =
    "Aucun affichage graphique n'est disponible (ni DISPLAY ni WAYLAND_DISPLAY) : lancez Solvane depuis une "
    "session de bureau.";

// Said on standard error when the X server of `display` does not answer.
std::string X11DoesNotAnswerSentence(const std::string& display);

// Whether the window will open on Qt's X11 platform, the X server named by x11Display.
bool OpensOnX11(const DisplayEnvironment& environment, PlatformChoice choice);

// Whether the window will open on Qt's X11 platform, and its scale is the gadget's
// to choose: the user has set none of Qt's variables of the scale.
bool GadgetChoosesX11Scale(const DisplayEnvironment& environment, PlatformChoice choice);

// The fewest bits per pixel of a screen the window can be drawn on: Qt's raster
// painter draws nothing on the X11 visuals of fewer (8 bits give a black window).
inline constexpr int kLeastScreenDepth = 15;

// Said on standard error when the X screen has only `depth` bits per pixel.
std::string ScreenTooShallowSentence(int depth);

// Said on standard error when the connection to the display breaks.
inline constexpr const char* kDisplayLostSentence =
    "La connexion à l'affichage graphique est perdue (serveur X arrêté ?) : Solvane s'arrête.";

// One X display however DISPLAY writes it: ":72", ":72.0", "unix:72", "unix:72.0" and
// "unix/:72" all reach the server of display 72 through its local socket, and give
// ":72". The screen number goes too: one server, one gadget. A display over TCP
// ("localhost:72", "tcp/host:72") keeps its host, less its screen number: it may
// reach the same server as ":72" or, through a forwarded port, another machine's,
// which the name alone cannot tell. Anything else is kept as it is written.
std::string CanonicalX11Display(const std::string& display);

// The window's scale on a screen whose desktop asks for `desktopScale` (1.5 for
// 150 %) and which leaves `availableWidth` x `availableHeight` device pixels to
// windows: the desktop's scale rounded to the nearest whole number (1.5 upward), or,
// where the window would not fit the area at that scale, the largest whole scale at
// which it fits; never below 1.
int WholeWindowScale(double desktopScale, int availableWidth, int availableHeight, int windowWidth, int windowHeight);

// The value of QT_SCREEN_SCALE_FACTORS that gives each of `monitors` screens the
// scale `scale`: "2;2" for two.
std::string ScreenScaleFactors(int scale, int monitors);
