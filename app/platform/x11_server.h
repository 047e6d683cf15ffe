#pragma once

#include <optional>
#include <string>

// What the X server says of the screen where the window opens, asked before Qt
// starts: Qt fixes its scale factors when the application starts, from the same
// facts.
struct X11Screen {
    double desktopScale = 1.0;  // Xft.dpi / 96, as Qt's X11 platform scales; 1 without Xft.dpi
    int monitors = 1;           // the screens Qt will make, one per monitor
    int availableWidth = 0;     // the primary monitor less the desktop's panels, in device pixels
    int availableHeight = 0;
    int depth = 24;  // bits per pixel of the root window, which Qt's windows take
};

// Asks the X server named by a DISPLAY value, over one connection that is opened
// and closed at once (a millisecond on a local server); nothing when the server does
// not answer. A server started without -noreset and with no other client resets
// when this connection closes, which delays Qt's own by the time of the reset.
std::optional<X11Screen> AskX11Screen(const std::string& display);

// While it lives, a connection to the X server that breaks (the server stopped)
// adds kDisplayLostSentence on standard error to Qt's own line in English: Qt's X11
// platform then ends the program at once with status 1, through exit(), which runs
// only the functions registered with atexit. Made once the application exists.
class DisplayLossWatch {
public:
    DisplayLossWatch();
    ~DisplayLossWatch();
    DisplayLossWatch(const DisplayLossWatch&) = delete;
    DisplayLossWatch& operator=(const DisplayLossWatch&) = delete;
};
