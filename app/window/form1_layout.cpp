// The window's layout: every control with its box, text, font and colour, in
// window pixels at 96 dpi. A box is left, top, width, height.

#include <QCalendarWidget>
#include <QComboBox>
#include <QCursor>
#include <QPushButton>
#include <array>

#include "app/text/qt_text.h"
#include "app/window/form1.h"
#include "app/window/form1_layout.h"
#include "calendar/holidays.h"

namespace {

using namespace form1_layout;

struct ButtonRow {
    Form1Control<QPushButton> member;
    const char* name;
    int left, top, width, height;
    const char* caption;         // empty for a picture button
    const char* picture;         // 13 x 13, centred; empty for a text button
    const char* accessibleName;  // UTF-8: what a screen reader says for the button
    const char* toolTip;         // UTF-8: the picture buttons' only words; empty for a text button
};
const QColor kTextButtonFace(224, 224, 224);
constexpr int kButtonPictureSize = 13;

struct ShapeRow {
    Form1Control<OutlineShape> member;
    const char* name;
    OutlineShape::Form form;
    int left, top, width, height;
};
const QColor kShapeColour = kNavy;

// A picture drawn again on 2 x 2 pixels for each of its own is named with "@2x" before
// its extension, as Qt names such pictures.
QString DrawnAtTwiceTheResolution(const QString& picture) {
    const qsizetype extension = picture.lastIndexOf(QLatin1Char('.'));
    return picture.left(extension) + QStringLiteral("@2x") + picture.mid(extension);
}

// The hand cursor over the push buttons, drawn at one and two device pixels per
// window pixel. X11 shows a cursor's picture pixel for pixel whatever the screen's
// scale and takes its hot spot in the picture's own pixels, so each picture carries
// its own: the pixel of the fingertip, which at scale 2 lies within the pixel (1, 0)
// of the picture at scale 1.
struct HandCursorPicture {
    qreal scale;
    const char* path;
    int hotX, hotY;
};
const std::array kHandCursorPictures{
    HandCursorPicture{1, ":/pictures/hand_cursor.gif", 1, 0},
    HandCursorPicture{2, ":/pictures/hand_cursor@2x.gif", 3, 1},
};

// The cursor drawn at the scale nearest the screen's; the system's pointing hand if
// the pictures are not built into the program.
QCursor HandCursor(qreal devicePixelRatio) {
    const HandCursorPicture& picture = devicePixelRatio < 1.5 ? kHandCursorPictures[0] : kHandCursorPictures[1];
    QPixmap hand(QString::fromLatin1(picture.path));
    if (hand.isNull()) return QCursor(Qt::PointingHandCursor);
    hand.setDevicePixelRatio(picture.scale);
    return QCursor(hand, picture.hotX, picture.hotY);
}

void SetColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

TextLabel* NewLabel(QWidget* window, TextFit fit) {
    switch (fit) {
    case TextFit::Widens: return new FitLabel(window);
    case TextFit::Elides: return new OneLineLabel(window);
    case TextFit::Wraps: break;
    }
    return new TextLabel(window);
}

TextLabel* MakeLabel(QWidget* window, const char* name, QRect box, const char* text, LabelFont font, TextColour colour,
                     Qt::Alignment alignment, TextFit fit) {
    TextLabel* label = NewLabel(window, fit);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(box);
    label->setFont(WindowFont(font.pixelSize, font.bold));
    SetColour(*label, QPalette::WindowText, ColourOf(colour));
    label->setAlignment(alignment | Qt::AlignTop);
    label->setText(Utf8(text));
    return label;
}

}  // namespace

// The outlines first: everything else is drawn over them. The rows name the window's
// own members, so the table lives in its scope.
void Form1::CreateOutlines() {
    static const std::array kShapes{
        ShapeRow{&Form1::Shape2, "Shape2", OutlineShape::Form::Frame, 32, 32, 305, 385},
        ShapeRow{&Form1::Shape1, "Shape1", OutlineShape::Form::Frame, 344, 32, 233, 385},
        // The rule from (536, 64) to (368, 64), its 2 pixels on the rows 63 and 64.
        ShapeRow{&Form1::Line1, "Line1", OutlineShape::Form::Rule, 368, 63, 168, 2},
    };
    for (const ShapeRow& row : kShapes) {
        auto* shape = new OutlineShape(row.form, this);
        shape->setObjectName(QString::fromLatin1(row.name));
        shape->setGeometry(row.left, row.top, row.width, row.height);
        SetColour(*shape, QPalette::WindowText, kShapeColour);
        this->*row.member = shape;
    }
}

void Form1::CreateLabels() {
    for (const LabelRow& row : Tables::kLabels) {
        this->*row.member = MakeLabel(this, row.name, QRect(row.left, row.top, row.width, row.height), row.text,
                                      row.font, row.colour, row.alignment, row.fit);
    }
    static_assert(Tables::kHolidayRows.size() == calendar::kPanelHolidayCount, "one row of labels for each holiday");
    for (std::size_t i = 0; i < Tables::kHolidayRows.size(); ++i) {
        const HolidayLabelRow& row = Tables::kHolidayRows[i];
        const std::string caption = std::string(calendar::PanelHolidays()[i].caption) + " :";
        this->*row.caption =
            MakeLabel(this, row.captionName, QRect(row.captionLeft, row.top, row.captionWidth, kHolidayRowHeight),
                      caption.c_str(), kBold825, TextColour::Navy, row.captionAlignment, TextFit::Wraps);
        this->*row.value =
            MakeLabel(this, row.valueName, QRect(kHolidayValueLeft, row.top, kHolidayValueWidth, kHolidayRowHeight),
                      row.valueName, kBold825, TextColour::Navy, kLeft, TextFit::Wraps);
        holidayCaptionLabels_[i] = this->*row.caption;
        holidayValueLabels_[i] = this->*row.value;
    }
}

void Form1::CreateMoonPicture() {
    Image1 = new PictureControl(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(287, 320, 30, 30);
    Image1->SetPicture(QPixmap(QStringLiteral(":/pictures/moon_crescent.gif")));
    Image1->setAccessibleName(QStringLiteral("Phase de la lune"));
    moonShown_ = Image1->pixmap().toImage();
}

void Form1::CreateCalendar() {
    Cal1 = new CalendarControl(nameLocale_, this);
    Cal1->setObjectName(QStringLiteral("Cal1"));
    Cal1->setGeometry(40, 88, 289, 225);
    // The name goes to the calendar the user clicks and tabs into as well.
    Cal1->setAccessibleName(QStringLiteral("Calendrier"));
    Cal1->Widget()->setAccessibleName(QStringLiteral("Calendrier"));
}

void Form1::CreateButtons() {
    static const std::array kButtons{
        ButtonRow{&Form1::CmdMinimise, "CmdMinimise", 528, 24, 17, 17, "", ":/pictures/minimise.gif", "Réduire",
                  "Réduire dans la barre des tâches"},
        ButtonRow{&Form1::cmdQuit, "cmdQuit", 552, 24, 17, 17, "", ":/pictures/quit.gif", "Quitter", "Quitter Solvane"},
        ButtonRow{&Form1::recul, "recul", 136, 360, 41, 17, "<<", "", "Mois précédent", ""},
        ButtonRow{&Form1::avance, "avance", 192, 360, 33, 17, ">>", "", "Mois suivant", ""},
        ButtonRow{&Form1::cejour, "cejour", 136, 384, 89, 21, "Aujourd'hui", "", "Aujourd'hui", ""},
    };
    // Before the window is shown its scale is the application's, that of its screens
    // where it is largest; a window later moved to a screen of another scale keeps the
    // cursor chosen here.
    const QCursor handCursor = HandCursor(devicePixelRatio());
    for (const ButtonRow& row : kButtons) {
        auto* button = new QPushButton(Utf8(row.caption), this);
        button->setObjectName(QString::fromLatin1(row.name));
        button->setGeometry(row.left, row.top, row.width, row.height);
        button->setFont(BaseWindowFont());  // MS Sans Serif 8.25 pt
        button->setCursor(handCursor);
        button->setAccessibleName(Utf8(row.accessibleName));
        // Return and Enter press the button that has the focus, as the space bar does.
        button->setAutoDefault(true);
        if (*row.toolTip != '\0') button->setToolTip(Utf8(row.toolTip));
        if (*row.picture != '\0') {
            // The button draws the icon's picture whose size fits its screen's pixels.
            QIcon icon(QString::fromLatin1(row.picture));
            icon.addFile(DrawnAtTwiceTheResolution(QString::fromLatin1(row.picture)));
            button->setIcon(icon);
            button->setIconSize(QSize(kButtonPictureSize, kButtonPictureSize));
        } else {
            SetColour(*button, QPalette::Button, kTextButtonFace);
        }
        this->*row.member = button;
    }
}

void Form1::CreateHiddenControls() {
    // The name-day list lives in a drop-down list that is never shown.
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(232, 40, 89, 22);
    Combo1->setFocusPolicy(Qt::NoFocus);
    Combo1->hide();

    Timer1 = new RefreshGate(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2 = new RefreshGate(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
}

void Form1::SetReadingOrder() {
    // The reading order: the calendar, the three buttons below it from left to right
    // and top to bottom, then the window's own two buttons from left to right.
    setTabOrder(Cal1, recul);
    setTabOrder(recul, avance);
    setTabOrder(avance, cejour);
    setTabOrder(cejour, CmdMinimise);
    setTabOrder(CmdMinimise, cmdQuit);
    Cal1->setFocus();
}
