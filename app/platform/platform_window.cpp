#include "app/platform/platform_window.h"

#include <xcb/xcb.h>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// How far the row `row` (0 the outermost) of a corner lies in from the straight
// edge: the row keeps the pixels whose centres fall inside the corner's ellipse.
// `along` is the ellipse's radius along the row, `across` its radius across.
int CornerInset(int row, double along, double across) {
    const double fromCentre = across - (row + 0.5);  // (0, across)
    const double halfChord = along * std::sqrt(1.0 - (fromCentre * fromCentre) / (across * across));
    return std::max(0, static_cast<int>(std::ceil(along - halfChord - 0.5)));  // [0, along)
}

// Whether the left button is down at this moment. Qt's own record of the buttons
// follows the events it has handled, and a release may still wait behind the press
// being handled: on X11 the X server itself is asked.
bool LeftButtonDown(QWidget& window) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* connection = x11 ? x11->connection() : nullptr) {  // none off screen
        const xcb_query_pointer_cookie_t question = xcb_query_pointer(connection, xcb_window_t(window.winId()));
        if (xcb_query_pointer_reply_t* answer = xcb_query_pointer_reply(connection, question, nullptr)) {
            const bool down = (answer->mask & XCB_BUTTON_MASK_1) != 0;
            std::free(answer);
            return down;
        }
    }
    return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
}

// Whether the window system shows a window's pixels whole, whatever its shape: a
// Wayland compositor, natively or through XWayland, whose screens are named
// XWAYLAND0, XWAYLAND1… A plain X server cuts the window to its shape, with a
// compositor or without.
bool ShapeIgnored() {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return true;
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [](const QScreen* screen) { return screen->name().startsWith(QLatin1String("XWAYLAND")); });
}

}  // namespace

QRegion RoundRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    const int width = right - left;
    const int height = bottom - top;
    if (width <= 0 || height <= 0) return {};
    // Windows narrows corner ellipses larger than the rectangle to its size.
    const double along = std::min(ellipseWidth, width) / 2.0;
    const double across = std::min(ellipseHeight, height) / 2.0;
    const int cornerRows = static_cast<int>(std::ceil(across));

    // Each corner row and its mirror row at the bottom get the same span, cut in by
    // the same inset on the left and on the right.
    QRegion region;
    for (int row = 0; row < cornerRows && 2 * row < height; ++row) {
        const int inset = CornerInset(row, along, across);
        region += QRect(left + inset, top + row, width - 2 * inset, 1);
        region += QRect(left + inset, bottom - 1 - row, width - 2 * inset, 1);
    }
    if (height > 2 * cornerRows) region += QRect(left, top + cornerRows, width, height - 2 * cornerRows);
    return region;
}

PlatformWindow::PlatformWindow(QWidget& window) : window_(window) {}

void PlatformWindow::SetOutline(const QRegion& outline) {
    // Wayland, and X through XWayland, show the window's pixels whole, whatever its
    // shape: there the corners are cut by the window's own clear pixels, which takes a
    // translucent window. A plain X server cuts the window to its shape, and there the
    // window stays opaque: the server would composite a translucent one itself, and
    // then never report it covered, which the window's rest while unseen relies on.
    if (ShapeIgnored()) window_.setAttribute(Qt::WA_TranslucentBackground);
    window_.setMask(outline);
}

void PlatformWindow::KeepAbove(bool above) {
    // On the native window itself: QWidget::setWindowFlags would destroy and create
    // the native window again, losing the press under way and the window's identity.
    // Before the window exists, on the flags it will be created with.
    if (QWindow* handle = window_.windowHandle()) {
        handle->setFlag(Qt::WindowStaysOnTopHint, above);
    } else {
        window_.setWindowFlag(Qt::WindowStaysOnTopHint, above);
    }
}

bool PlatformWindow::StartMove(QPoint pressPosition) {
    // A press and its release that come back to back, as a touchpad's tap or a click
    // sent by a program, may both be over before this press is handled. The window
    // manager's move started then waits for a release that has already happened: the
    // window follows the mouse with no button held until the next click. So the move
    // starts only while the button is still down on the X server itself. A release
    // that comes after that question reaches the window manager once its move holds
    // the mouse, or before that reaches Qt, which then cancels the move it asked for.
    // Starting the move only once the mouse has travelled some distance would leave
    // the window that far behind the pointer: the window manager takes the pointer's
    // place when its move starts as the grip.
    if (!LeftButtonDown(window_)) return false;
    StopFollowingMouse();
    StopHearingPlace();
    if (QWindow* handle = window_.windowHandle(); handle && handle->startSystemMove()) {
        // The window manager holds the mouse until the release, and then gives it
        // back: the window hears of it as the mouse coming in again, or as the next
        // move or press of the mouse, which the window never hears during the move.
        // No timer and no polling.
        systemMove_ = true;
    } else {
        grip_ = pressPosition;
    }
    window_.installEventFilter(this);
    return true;
}

bool PlatformWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_) return false;
    if (systemMove_) {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            // Qt makes up a move of the mouse as the window moves under it.
            if (LeftButtonDown(window_)) break;
            // The window manager may tell the window where it left it only after it
            // has let go of the mouse (openbox does): the window hears it until the
            // next press or key.
            hearingPlace_ = true;
            StopFollowingMouse();
            break;
        case QEvent::Hide:
        case QEvent::Close: StopFollowingMouse(); break;
        default: break;
        }
        return false;
    }
    if (hearingPlace_) {
        switch (event->type()) {
        case QEvent::Move: emit MoveEnded(); break;
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
        case QEvent::Hide:
        case QEvent::Close: StopHearingPlace(); break;
        default: break;
        }
        return false;
    }
    if (!grip_) return false;
    if (event->type() == QEvent::MouseMove) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!mouse->buttons().testFlag(Qt::LeftButton)) {
            StopFollowingMouse();
            return false;
        }
        window_.move(mouse->globalPosition().toPoint() - *grip_);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        StopFollowingMouse();
        return true;
    }
    return false;
}

void PlatformWindow::StopFollowingMouse() {
    const bool moving = grip_ || systemMove_;
    grip_.reset();
    systemMove_ = false;
    if (!hearingPlace_) window_.removeEventFilter(this);
    if (moving) emit MoveEnded();
}

void PlatformWindow::StopHearingPlace() {
    if (!hearingPlace_) return;
    hearingPlace_ = false;
    window_.removeEventFilter(this);
}

void PlatformWindow::Minimise() { window_.showMinimized(); }

void PlatformWindow::Quit() { QCoreApplication::exit(0); }
