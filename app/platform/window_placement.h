#pragma once
// Where the window opens, and what is kept of where the user leaves it: the place
// left on this display, read again as the screens now are, a screen removed, added,
// moved or scaled since.

class GadgetSettings;
class QWidget;

class WindowPlacement {
public:
    // Places `window`, and keeps its place in `settings`; both outlive this.
    WindowPlacement(QWidget& window, GadgetSettings& settings) : window_(window), settings_(settings) {}

    // Moves the window where the user left it on this display: at the same offset, in
    // the desktop's pixels, from the top-left corner of the screen of that name,
    // whatever that screen's place and scale now; moved by the least distance that
    // puts it wholly inside the nearest screen when it no longer lies inside one;
    // centred on the primary screen on a first start, or when no screen has that
    // name any more. Run before the window exists on the window system.
    void PlaceAsLeft();

    // Keeps the window's place on the screen that holds its centre, once a move is
    // over; nothing under native Wayland, where the window does not know where it lies.
    void KeepPlace();

    // Centres the window on its screen and forgets the place it was left at.
    void Recentre();

private:
    QWidget& window_;
    GadgetSettings& settings_;
};
