#include "app/platform_window.h"

#include <xcb/xcb.h>
#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolTip>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/calendar_control.h"

namespace {

// How far the row `row` (0 the outermost) of a corner lies in from the straight
// edge: the row keeps the pixels whose centres fall inside the corner's ellipse.
// `along` is the ellipse's radius along the row, `across` its radius across.
int CornerInset(int row, double along, double across) {
    const double fromCentre = across - (row + 0.5);  // (0, across)
    const double halfChord = along * std::sqrt(1.0 - (fromCentre * fromCentre) / (across * across));
    return std::max(0, static_cast<int>(std::ceil(along - halfChord - 0.5)));  // [0, along)
}

// The edges of a raised button lit from the upper left, as the pictures of the
// window's own two buttons draw them: a light line at the top and left, a shadow
// in two steps at the bottom and right.
const QColor kButtonHighlight(255, 255, 255);
const QColor kButtonShadow(128, 128, 128);
const QColor kButtonDarkShadow(64, 64, 64);

// A push button with a caption and no picture ("<<", ">>", "Aujourd'hui").
bool IsTextButton(const QStyleOption* option, const QWidget* widget) {
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    return button && button->icon.isNull() && qobject_cast<const QPushButton*>(widget);
}

bool IsPressed(const QStyleOption* option) { return option->state & (QStyle::State_Sunken | QStyle::State_On); }

// The face flat in the palette's button colour inside a raised edge; pressed, the
// edge sinks: the shadow moves to the top and left. The keyboard's focus is a
// dotted frame just inside the face, shown as Fusion shows focus elsewhere: once
// the keyboard has moved it.
void DrawTextButtonPanel(QPainter& painter, const QStyleOption& option) {
    const QRect box = option.rect;
    QRect face;
    painter.fillRect(box, kButtonHighlight);
    if (IsPressed(&option)) {
        painter.fillRect(box.adjusted(0, 0, -1, -1), kButtonDarkShadow);
        painter.fillRect(box.adjusted(1, 1, -1, -1), kButtonShadow);
        face = box.adjusted(2, 2, -1, -1);
    } else {
        painter.fillRect(box.adjusted(1, 1, 0, 0), kButtonDarkShadow);
        painter.fillRect(box.adjusted(1, 1, -1, -1), kButtonShadow);
        face = box.adjusted(1, 1, -2, -2);
    }
    painter.fillRect(face, option.palette.button());
    if (option.state.testFlag(QStyle::State_HasFocus) && option.state.testFlag(QStyle::State_KeyboardFocusChange)) {
        QPen dots(option.palette.buttonText().color(), 0, Qt::CustomDashLine);
        dots.setDashPattern({1, 1});
        painter.save();
        painter.setPen(dots);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(face.adjusted(1, 1, -2, -2));
        painter.restore();
    }
}

// The window's colours for every role: the light grey of Fusion on a light desktop,
// black text, a blue selection; greyed where a control is disabled. Fusion takes
// its own colours from the desktop (white text on dark grey under a dark theme),
// which would put that white text on the window's light faces.
struct PaletteRow {
    QPalette::ColorRole role;
    QRgb enabled;  // active and inactive alike
    QRgb disabled;
};
constexpr PaletteRow kFixedPalette[] = {
    {QPalette::WindowText, qRgb(0, 0, 0), qRgb(190, 190, 190)},
    {QPalette::Button, qRgb(239, 239, 239), qRgb(239, 239, 239)},
    {QPalette::Light, qRgb(255, 255, 255), qRgb(255, 255, 255)},
    {QPalette::Midlight, qRgb(202, 202, 202), qRgb(202, 202, 202)},
    {QPalette::Dark, qRgb(159, 159, 159), qRgb(190, 190, 190)},
    {QPalette::Mid, qRgb(184, 184, 184), qRgb(184, 184, 184)},
    {QPalette::Text, qRgb(0, 0, 0), qRgb(190, 190, 190)},
    {QPalette::BrightText, qRgb(255, 255, 255), qRgb(255, 255, 255)},
    {QPalette::ButtonText, qRgb(0, 0, 0), qRgb(190, 190, 190)},
    {QPalette::Base, qRgb(255, 255, 255), qRgb(239, 239, 239)},
    {QPalette::Window, qRgb(239, 239, 239), qRgb(239, 239, 239)},
    {QPalette::Shadow, qRgb(118, 118, 118), qRgb(177, 177, 177)},
    {QPalette::Highlight, qRgb(48, 140, 198), qRgb(145, 145, 145)},
    {QPalette::HighlightedText, qRgb(255, 255, 255), qRgb(255, 255, 255)},
    {QPalette::Link, qRgb(0, 0, 255), qRgb(0, 0, 255)},
    {QPalette::LinkVisited, qRgb(255, 0, 255), qRgb(255, 0, 255)},
    {QPalette::AlternateBase, qRgb(247, 247, 247), qRgb(247, 247, 247)},
    {QPalette::ToolTipBase, qRgb(255, 255, 220), qRgb(255, 255, 220)},
    {QPalette::ToolTipText, qRgb(0, 0, 0), qRgb(0, 0, 0)},
    {QPalette::PlaceholderText, qRgba(0, 0, 0, 128), qRgba(0, 0, 0, 128)},
};

// The keyboard's focus on an item of a view (the calendar's selected day): a dotted
// frame just inside the item, in a colour that stands out from the item's own.
// Fusion's frame is a faint shade of the selection colour, which cannot be seen on
// the calendar's navy selected day.
void DrawItemFocusFrame(QPainter& painter, const QStyleOptionFocusRect& option) {
    const QColor behind = option.backgroundColor.isValid() ? option.backgroundColor : option.palette.base().color();
    QPen dots(qGray(behind.rgb()) < 128 ? Qt::white : Qt::black, 0, Qt::CustomDashLine);
    dots.setDashPattern({1, 1});
    painter.save();
    painter.setPen(dots);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(option.rect.adjusted(1, 1, -2, -2));
    painter.restore();
}

// Fusion, with the month calendar's own page arrows as the standard arrows. The
// calendar asks its style for them as it is built (and again when the layout
// direction changes); Fusion would look them up in the desktop's icon theme, which
// takes some 5 ms of every start-up, for icons that the calendar does not show.
// The text buttons are raised with a flat face instead of Fusion's rounded
// gradient, and their caption moves down and right by a pixel while pressed.
class FixedLookStyle : public QProxyStyle {
public:
    FixedLookStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override {
        if (icon == SP_ArrowLeft) return CalendarArrowIcon(false);
        if (icon == SP_ArrowRight) return CalendarArrowIcon(true);
        return QProxyStyle::standardIcon(icon, option, widget);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_PanelButtonCommand && IsTextButton(option, widget)) {
            DrawTextButtonPanel(*painter, *option);
            return;
        }
        const auto* focus = qstyleoption_cast<const QStyleOptionFocusRect*>(option);
        if (element == PE_FrameFocusRect && focus && option->state.testFlag(State_Item)) {
            DrawItemFocusFrame(*painter, *focus);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element == CE_PushButtonLabel && IsTextButton(option, widget) && IsPressed(option)) {
            painter->save();
            painter->translate(1, 1);
            QProxyStyle::drawControl(element, option, painter, widget);
            painter->restore();
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

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

QPalette FixedLookPalette() {
    QPalette palette;
    for (const PaletteRow& row : kFixedPalette) {
        palette.setColor(QPalette::Active, row.role, QColor::fromRgba(row.enabled));
        palette.setColor(QPalette::Inactive, row.role, QColor::fromRgba(row.enabled));
        palette.setColor(QPalette::Disabled, row.role, QColor::fromRgba(row.disabled));
    }
    return palette;
}

QStyle* NewFixedLookStyle() { return new FixedLookStyle; }

void ApplyFixedLook() {
    QApplication::setStyle(NewFixedLookStyle());
    // The window passes its palette on to every control inside it (Form1). What opens
    // outside it, the menus and the tooltips, takes the application's palette, unless
    // the desktop's theme gave menus one of their own; the tooltips keep their own.
    const QPalette palette = FixedLookPalette();
    QApplication::setPalette(palette);
    QApplication::setPalette(palette, "QMenu");
    QToolTip::setPalette(palette);
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

void PlatformWindow::KeepAbove() {
    // On the native window itself: QWidget::setWindowFlags would destroy and create
    // the native window again, losing the press under way and the window's identity.
    if (QWindow* handle = window_.windowHandle()) handle->setFlag(Qt::WindowStaysOnTopHint, true);
}

void PlatformWindow::StartMove(QPoint pressPosition) {
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
    if (!LeftButtonDown(window_)) return;
    if (QWindow* handle = window_.windowHandle(); handle && handle->startSystemMove()) return;
    grip_ = pressPosition;
    window_.installEventFilter(this);
}

bool PlatformWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_ || !grip_) return false;
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
    grip_.reset();
    window_.removeEventFilter(this);
}

void PlatformWindow::Minimise() { window_.showMinimized(); }

void PlatformWindow::Quit() { QCoreApplication::exit(0); }
