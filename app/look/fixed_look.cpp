#include "app/look/fixed_look.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolTip>
#include <QWidget>

#include "app/look/colours.h"
#include "app/look/fonts.h"

namespace {

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

}  // namespace

QPalette FixedLookPalette() {
    QPalette palette;
    for (const PaletteRow& row : kFixedPalette) {
        palette.setColor(QPalette::Active, row.role, QColor::fromRgba(row.enabled));
        palette.setColor(QPalette::Inactive, row.role, QColor::fromRgba(row.enabled));
        palette.setColor(QPalette::Disabled, row.role, QColor::fromRgba(row.disabled));
    }
    return palette;
}

void DressAsGadgetDialog(QWidget* dialog) {
    QPalette palette = FixedLookPalette();
    palette.setColor(QPalette::Window, kWindowGrey);
    palette.setColor(QPalette::WindowText, kNavy);
    dialog->setPalette(palette);
    dialog->setFont(WindowFont(kBaseFontPixels + 1, false));
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

QIcon CalendarArrowIcon(bool forward) {
    constexpr int kSize = 16;
    QPixmap picture(kSize, kSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kCalendarTitleBlue);
    const QPolygonF back{QPointF(11, 3), QPointF(4, 8), QPointF(11, 13)};
    const QPolygonF ahead{QPointF(5, 3), QPointF(12, 8), QPointF(5, 13)};
    painter.drawPolygon(forward ? ahead : back);
    return QIcon(picture);
}
