#include "app/platform/window_placement.h"

#include <QGuiApplication>
#include <QList>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "app/platform/gadget_settings.h"

namespace {

// A connected screen as the window's coordinates see it. Qt's coordinates keep each
// screen's top-left corner where the desktop has it and divide its size by the
// screen's scale.
struct ScreenArea {
    QString name;
    QRect geometry;   // in Qt's coordinates
    QRect available;  // the part the desktop's panels leave, in Qt's coordinates
    double scale = 1;
};

ScreenArea AreaOf(const QScreen& screen) {
    return {.name = screen.name(),
            .geometry = screen.geometry(),
            .available = screen.availableGeometry(),
            .scale = screen.devicePixelRatio()};
}

// The connected screens, the primary one first.
QList<ScreenArea> ConnectedScreens() {
    QList<ScreenArea> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) areas.append(AreaOf(*primary));
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) areas.append(AreaOf(*screen));
    }
    return areas;
}

// The connected screen of `screen`'s name; none when it is gone.
std::optional<ScreenArea> AreaNamed(const QScreen* screen) {
    if (!screen) return std::nullopt;
    const QList<ScreenArea> screens = ConnectedScreens();
    const auto area = std::find_if(screens.begin(), screens.end(),
                                   [screen](const ScreenArea& each) { return each.name == screen->name(); });
    if (area == screens.end()) return std::nullopt;
    return *area;
}

// The least move of `window` that puts it inside `area`, or its top-left corner
// unmoved when it is larger (its top-left corner then inside the area).
QPoint ClampedInto(const QRect& window, const QRect& area) {
    const int x = std::max(area.left(), std::min(window.left(), area.left() + area.width() - window.width()));
    const int y = std::max(area.top(), std::min(window.top(), area.top() + area.height() - window.height()));
    return {x, y};
}

// The place of a window whose top-left corner lies at `topLeft` on `screen`, in the
// desktop's pixels.
SavedPlace PlaceOf(QPoint topLeft, const ScreenArea& screen) {
    const QPoint origin = screen.geometry.topLeft();
    const QPointF offset = QPointF(topLeft - origin) * screen.scale;
    return {.topLeft = origin + offset.toPoint(),
            .screenName = screen.name,
            .screenGeometry = QRect(origin, (QSizeF(screen.geometry.size()) * screen.scale).toSize())};
}

// The top-left corner that centres a window of `size` on `screen`.
QPoint CentredOn(const ScreenArea& screen, QSize size) {
    const QRect& area = screen.geometry;
    return {area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2};
}

// Where a window of `size` opens, in Qt's coordinates, for a saved place (see
// WindowPlacement::PlaceAsLeft). None without any screen.
std::optional<QPoint> ReopeningPoint(const SavedPlace& saved, QSize size, const QList<ScreenArea>& screens) {
    if (screens.isEmpty()) return std::nullopt;
    const auto named = std::find_if(screens.begin(), screens.end(),
                                    [&saved](const ScreenArea& screen) { return screen.name == saved.screenName; });
    if (named == screens.end()) return CentredOn(screens.front(), size);
    // The same offset from the screen's corner, in the desktop's pixels, whatever the
    // screen's place in the desktop and its scale now.
    const QPoint offset = saved.topLeft - saved.screenGeometry.topLeft();  // within ±2,000,000
    const QRect window(named->geometry.topLeft() + (QPointF(offset) / named->scale).toPoint(), size);
    if (std::any_of(screens.begin(), screens.end(),
                    [&window](const ScreenArea& screen) { return screen.available.contains(window); })) {
        return window.topLeft();
    }
    QPoint nearest = window.topLeft();
    double shortest = std::numeric_limits<double>::infinity();
    for (const ScreenArea& screen : screens) {
        const QPoint moved = ClampedInto(window, screen.available);
        const double distance = std::hypot(moved.x() - window.x(), moved.y() - window.y());
        if (distance < shortest) {
            shortest = distance;
            nearest = moved;
        }
    }
    return nearest;
}

}  // namespace

// Placed before the window exists on the window system, so that it is created in its
// place. Moved later, once created but not yet shown, the X server would report the
// move only after the window manager had taken the window into its frame and before
// it had placed that frame: Qt, reading where the window lay at that moment, would
// believe it at the screen's top-left corner, and open the calendar's menus and start
// moves from there.
void WindowPlacement::PlaceAsLeft() {
    const QList<ScreenArea> screens = ConnectedScreens();
    const std::optional<SavedPlace>& saved = settings_.Place();
    std::optional<QPoint> topLeft = saved ? ReopeningPoint(*saved, window_.size(), screens) : std::nullopt;
    if (!topLeft && !screens.isEmpty()) topLeft = CentredOn(screens.front(), window_.size());
    if (topLeft) window_.move(*topLeft);
}

void WindowPlacement::KeepPlace() {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return;
    const QScreen* screen = QGuiApplication::screenAt(window_.geometry().center());
    if (!screen) screen = window_.screen();
    if (const std::optional<ScreenArea> area = AreaNamed(screen)) settings_.SetPlace(PlaceOf(window_.pos(), *area));
}

void WindowPlacement::Recentre() {
    if (const std::optional<ScreenArea> area = AreaNamed(window_.screen())) {
        window_.move(CentredOn(*area, window_.size()));
    }
    settings_.SetPlace(std::nullopt);
}
