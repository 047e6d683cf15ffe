#include "app/platform/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

ScreenArea AreaOf(const QScreen& screen) {
    return {.name = screen.name(),
            .geometry = screen.geometry(),
            .available = screen.availableGeometry(),
            .scale = screen.devicePixelRatio()};
}

// The least move of `window` that puts it inside `area`, or its top-left corner
// unmoved when it is larger (its top-left corner then inside the area).
QPoint ClampedInto(const QRect& window, const QRect& area) {
    const int x = std::max(area.left(), std::min(window.left(), area.left() + area.width() - window.width()));
    const int y = std::max(area.top(), std::min(window.top(), area.top() + area.height() - window.height()));
    return {x, y};
}

}  // namespace

QList<ScreenArea> ConnectedScreens() {
    QList<ScreenArea> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) areas.append(AreaOf(*primary));
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) areas.append(AreaOf(*screen));
    }
    return areas;
}

SavedPlace PlaceOf(QPoint topLeft, const ScreenArea& screen) {
    const QPoint origin = screen.geometry.topLeft();
    const QPointF offset = QPointF(topLeft - origin) * screen.scale;
    return {.topLeft = origin + offset.toPoint(),
            .screenName = screen.name,
            .screenGeometry = QRect(origin, (QSizeF(screen.geometry.size()) * screen.scale).toSize())};
}

QPoint CentredOn(const ScreenArea& screen, QSize size) {
    const QRect& area = screen.geometry;
    return {area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2};
}

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
