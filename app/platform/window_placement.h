#pragma once
// Where the window opens again: the place the user left it, as the screens now are.

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

#include "app/platform/gadget_settings.h"

class QScreen;
class QWidget;

// A connected screen as the window's coordinates see it. Qt's coordinates keep each
// screen's top-left corner where the desktop has it and divide its size by the
// screen's scale.
struct ScreenArea {
    QString name;
    QRect geometry;   // in Qt's coordinates
    QRect available;  // the part the desktop's panels leave, in Qt's coordinates
    double scale = 1;
};

// The connected screens, the primary one first.
QList<ScreenArea> ConnectedScreens();

// The place of a window whose top-left corner lies at `topLeft` on `screen`, in the
// desktop's pixels.
SavedPlace PlaceOf(QPoint topLeft, const ScreenArea& screen);

// Where a window of `size` opens, in Qt's coordinates, for a saved place: at the
// same offset from the top-left corner of the screen of that name; moved by the
// least distance that puts it wholly inside the available area of the nearest
// screen when it does not lie wholly inside one; centred on the primary screen
// (the first) when no screen has that name. None without any screen.
std::optional<QPoint> ReopeningPoint(const SavedPlace& saved, QSize size, const QList<ScreenArea>& screens);

// The top-left corner that centres a window of `size` on `screen`.
QPoint CentredOn(const ScreenArea& screen, QSize size);
