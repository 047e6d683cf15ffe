// The window's layout: every control with its box, text, font and colour, in
// window pixels at 96 dpi. A box is left, top, width, height.

#include <QCalendarWidget>
#include <QComboBox>
#include <QCursor>
#include <QPushButton>
#include <array>

#include "app/window/form1.h"
#include "calendar/holidays.h"

namespace {

struct LabelFont {
    int pixelSize;
    bool bold;
};
constexpr LabelFont kDefaultFont{kBaseFontPixels, false};
constexpr LabelFont kBold825{11, true};  // Arial 8.25 pt bold
constexpr LabelFont kBold9{12, true};    // Arial 9 pt bold
constexpr LabelFont kBold975{13, true};  // Arial 9.75 pt bold

// The system text is the fixed look's button text, not the desktop's.
enum class TextColour { Navy, DarkGrey, SystemText };

QColor ColourOf(TextColour colour) {
    switch (colour) {
    case TextColour::Navy: return kNavy;
    case TextColour::DarkGrey: return QColor(64, 64, 64);
    case TextColour::SystemText: break;
    }
    return FixedLookPalette().color(QPalette::ButtonText);
}

// What a label does with a text wider than its box.
enum class TextFit {
    Wraps,   // wraps at blanks; what falls below the box is cut off
    Widens,  // widens to its text on one line
    Elides,  // stays on one line and ends in « … » (OneLineLabel)
};

constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight;

struct LabelRow {
    TextLabel* Form1::*member;
    const char* name;
    int left, top, width, height;
    const char* text;  // UTF-8
    LabelFont font;
    TextColour colour;
    Qt::Alignment alignment;
    TextFit fit;
};

// The labels outside the holiday panel.
const std::array kLabels{
    LabelRow{&Form1::Label1, "Label1", 32, 48, 313, 25, "Label1", kBold975, TextColour::Navy, kCentre, TextFit::Wraps},
    LabelRow{&Form1::Label31, "Label31", 48, 64, 273, 17, "Label31", kBold975, TextColour::Navy, kCentre,
             TextFit::Wraps},
    LabelRow{&Form1::Label3, "Label3", 48, 320, 6, 14, "0", kDefaultFont, TextColour::Navy, kLeft, TextFit::Widens},
    LabelRow{&Form1::Label4, "Label4", 88, 320, 209, 17, "Label4", kDefaultFont, TextColour::Navy, kCentre,
             TextFit::Wraps},
    LabelRow{&Form1::Label32, "Label32", 48, 336, 241, 17, "Label32", kDefaultFont, TextColour::Navy, kLeft,
             TextFit::Elides},
    LabelRow{&Form1::Label33, "Label33", 287, 352, 33, 17, "Lune", kDefaultFont, TextColour::Navy, kCentre,
             TextFit::Wraps},
    LabelRow{&Form1::Label6, "Label6", 368, 48, 153, 17, "Jours fériés de l'année:", kBold9, TextColour::Navy, kLeft,
             TextFit::Wraps},
    LabelRow{&Form1::Label8, "Label8", 507, 48, 33, 17, "0000", kBold9, TextColour::Navy, kLeft, TextFit::Wraps},
    LabelRow{&Form1::Label34, "Label34", 360, 384, 201, 17, "Label34", kBold825, TextColour::Navy, kCentre,
             TextFit::Wraps},
    LabelRow{&Form1::Label35, "Label35", 528, 400, 41, 17, "V" SOLVANE_VERSION " ", kDefaultFont,
             TextColour::SystemText, kRight, TextFit::Wraps},
    LabelRow{&Form1::Label2, "Label2", 472, 416, 113, 17, "www.solvane.fr", kBold9, TextColour::DarkGrey, kLeft,
             TextFit::Wraps},
};

// The holiday panel: one row every 24 pixels, a caption whose colon lines up at
// x = 449 and a value from x = 464, written by the refresh with the date of the
// holiday of the same row of calendar::kHolidayTable.
struct HolidayLabelRow {
    int top;
    TextLabel* Form1::*caption;
    const char* captionName;
    int captionLeft, captionWidth;  // the caption's text is the holiday's name and " :"
    Qt::Alignment captionAlignment;
    TextLabel* Form1::*value;
    const char* valueName;  // also the value's text until the first refresh
};
constexpr int kHolidayRowHeight = 17;
constexpr int kHolidayValueLeft = 464;
// Up to the inside of the frame (x = 574), not 97 to 129: "dimanche 14 juillet " takes 101 and wrapped in 97.
constexpr int kHolidayValueWidth = 111;

const std::array kHolidayRows{
    HolidayLabelRow{96, &Form1::Label9, "Label9", 384, 65, kRight, &Form1::Label10, "Label10"},
    HolidayLabelRow{120, &Form1::Label7, "Label7", 392, 57, kRight, &Form1::Label5, "Label5"},
    HolidayLabelRow{144, &Form1::Label11, "Label11", 344, 105, kRight, &Form1::Label12, "Label12"},
    HolidayLabelRow{168, &Form1::Label13, "Label13", 352, 97, kRight, &Form1::Label14, "Label14"},
    HolidayLabelRow{192, &Form1::Label15, "Label15", 368, 81, kRight, &Form1::Label16, "Label16"},
    HolidayLabelRow{216, &Form1::Label17, "Label17", 384, 65, kRight, &Form1::Label18, "Label18"},
    HolidayLabelRow{240, &Form1::Label19, "Label19", 344, 105, kRight, &Form1::Label20, "Label20"},
    HolidayLabelRow{264, &Form1::Label21, "Label21", 368, 89, kLeft, &Form1::Label22, "Label22"},
    HolidayLabelRow{288, &Form1::Label23, "Label23", 368, 81, kRight, &Form1::Label24, "Label24"},
    HolidayLabelRow{312, &Form1::Label25, "Label25", 376, 73, kRight, &Form1::Label26, "Label26"},
    HolidayLabelRow{336, &Form1::Label27, "Label27", 360, 89, kRight, &Form1::Label28, "Label28"},
    HolidayLabelRow{360, &Form1::Label29, "Label29", 384, 65, kRight, &Form1::Label30, "Label30"},
};

struct ButtonRow {
    QPushButton* Form1::*member;
    const char* name;
    int left, top, width, height;
    const char* caption;         // empty for a picture button
    const char* picture;         // 13 x 13, centred; empty for a text button
    const char* accessibleName;  // UTF-8: what a screen reader says for the button
    const char* toolTip;         // UTF-8: the picture buttons' only words; empty for a text button
};
const QColor kTextButtonFace(224, 224, 224);
constexpr int kButtonPictureSize = 13;

const std::array kButtons{
    ButtonRow{&Form1::CmdMinimise, "CmdMinimise", 528, 24, 17, 17, "", ":/pictures/minimise.gif", "Réduire",
              "Réduire dans la barre des tâches"},
    ButtonRow{&Form1::cmdQuit, "cmdQuit", 552, 24, 17, 17, "", ":/pictures/quit.gif", "Quitter", "Quitter Solvane"},
    ButtonRow{&Form1::recul, "recul", 136, 360, 41, 17, "<<", "", "Mois précédent", ""},
    ButtonRow{&Form1::avance, "avance", 192, 360, 33, 17, ">>", "", "Mois suivant", ""},
    ButtonRow{&Form1::cejour, "cejour", 136, 384, 89, 21, "Aujourd'hui", "", "Aujourd'hui", ""},
};

struct ShapeRow {
    OutlineShape* Form1::*member;
    const char* name;
    OutlineShape::Form form;
    int left, top, width, height;
};
const QColor kShapeColour = kNavy;

const std::array kShapes{
    ShapeRow{&Form1::Shape2, "Shape2", OutlineShape::Form::Frame, 32, 32, 305, 385},
    ShapeRow{&Form1::Shape1, "Shape1", OutlineShape::Form::Frame, 344, 32, 233, 385},
    // The rule from (536, 64) to (368, 64), its 2 pixels on the rows 63 and 64.
    ShapeRow{&Form1::Line1, "Line1", OutlineShape::Form::Rule, 368, 63, 168, 2},
};

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

// The window's timers keep the 1 ms they were designed with; they tick whenever what
// their refreshes read can have changed (RefreshTrigger).
constexpr int kTimerIntervalMs = 1;

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
    label->setText(QString::fromUtf8(text));
    return label;
}

}  // namespace

void Form1::CreateControls() {
    // The outlines first: everything else is drawn over them.
    for (const ShapeRow& row : kShapes) {
        auto* shape = new OutlineShape(row.form, this);
        shape->setObjectName(QString::fromLatin1(row.name));
        shape->setGeometry(row.left, row.top, row.width, row.height);
        SetColour(*shape, QPalette::WindowText, kShapeColour);
        this->*row.member = shape;
    }

    for (const LabelRow& row : kLabels) {
        this->*row.member = MakeLabel(this, row.name, QRect(row.left, row.top, row.width, row.height), row.text,
                                      row.font, row.colour, row.alignment, row.fit);
    }
    static_assert(kHolidayRows.size() == calendar::kHolidayTable.size(), "one row of labels for each holiday");
    for (std::size_t i = 0; i < kHolidayRows.size(); ++i) {
        const HolidayLabelRow& row = kHolidayRows[i];
        const std::string caption = std::string(calendar::kHolidayTable[i].caption) + " :";
        this->*row.caption =
            MakeLabel(this, row.captionName, QRect(row.captionLeft, row.top, row.captionWidth, kHolidayRowHeight),
                      caption.c_str(), kBold825, TextColour::Navy, row.captionAlignment, TextFit::Wraps);
        this->*row.value =
            MakeLabel(this, row.valueName, QRect(kHolidayValueLeft, row.top, kHolidayValueWidth, kHolidayRowHeight),
                      row.valueName, kBold825, TextColour::Navy, kLeft, TextFit::Wraps);
        holidayValueLabels_[i] = this->*row.value;
    }

    Image1 = new PictureControl(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(287, 320, 30, 30);
    Image1->SetPicture(QPixmap(QStringLiteral(":/pictures/moon_crescent.gif")));
    Image1->setAccessibleName(QStringLiteral("Phase de la lune"));

    Cal1 = new CalendarControl(nameLocale_, this);
    Cal1->setObjectName(QStringLiteral("Cal1"));
    Cal1->setGeometry(40, 88, 289, 225);
    // The name goes to the calendar the user clicks and tabs into as well.
    Cal1->setAccessibleName(QStringLiteral("Calendrier"));
    Cal1->Widget()->setAccessibleName(QStringLiteral("Calendrier"));

    // Before the window is shown its scale is the application's, that of its screens
    // where it is largest; a window later moved to a screen of another scale keeps the
    // cursor chosen here.
    const QCursor handCursor = HandCursor(devicePixelRatio());
    for (const ButtonRow& row : kButtons) {
        auto* button = new QPushButton(QString::fromUtf8(row.caption), this);
        button->setObjectName(QString::fromLatin1(row.name));
        button->setGeometry(row.left, row.top, row.width, row.height);
        button->setFont(BaseWindowFont());  // MS Sans Serif 8.25 pt
        button->setCursor(handCursor);
        button->setAccessibleName(QString::fromUtf8(row.accessibleName));
        // Return and Enter press the button that has the focus, as the space bar does.
        button->setAutoDefault(true);
        if (*row.toolTip != '\0') button->setToolTip(QString::fromUtf8(row.toolTip));
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

    // The name-day list lives in a drop-down list that is never shown.
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(232, 40, 89, 22);
    Combo1->setFocusPolicy(Qt::NoFocus);
    Combo1->hide();

    Timer1 = new PlatformTimer(kTimerIntervalMs, this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2 = new PlatformTimer(kTimerIntervalMs, this);
    Timer2->setObjectName(QStringLiteral("Timer2"));

    // The reading order: the calendar, the three buttons below it from left to right
    // and top to bottom, then the window's own two buttons from left to right.
    setTabOrder(Cal1, recul);
    setTabOrder(recul, avance);
    setTabOrder(avance, cejour);
    setTabOrder(cejour, CmdMinimise);
    setTabOrder(CmdMinimise, cmdQuit);
    Cal1->setFocus();
}
