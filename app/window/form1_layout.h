#pragma once
// The window's labels, each with its box, text, font and colour, in window pixels at
// 96 dpi (a box is left, top, width, height): the window is built from these tables,
// and its layout test reads them.

#include <QColor>
#include <Qt>
#include <array>

#include "app/look/colours.h"
#include "app/look/fixed_look.h"
#include "app/look/fonts.h"
#include "app/window/form1.h"

namespace form1_layout {

// A control of the window, as a row of a table names it. An alias, on which clang-format 14
// and 19 agree: they space a pointer to member declared in full differently.
template <typename Control>
using Form1Control = Control* Form1::*;

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

inline QColor ColourOf(TextColour colour) {
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
    Form1Control<TextLabel> member;
    const char* name;
    int left, top, width, height;
    const char* text;  // UTF-8
    LabelFont font;
    TextColour colour;
    Qt::Alignment alignment;
    TextFit fit;
};

// The holiday panel: one row every 24 pixels, a caption whose colon lines up at
// x = 449 and a value from x = 464, written by the refresh with the date of the
// holiday of the same row of calendar::PanelHolidays().
struct HolidayLabelRow {
    int top;
    Form1Control<TextLabel> caption;
    const char* captionName;
    int captionLeft, captionWidth;  // the caption's text is the holiday's name and " :"
    Qt::Alignment captionAlignment;
    Form1Control<TextLabel> value;
    const char* valueName;  // also the value's text until the first refresh
};
constexpr int kHolidayRowHeight = 17;
constexpr int kHolidayValueLeft = 464;
// Up to the inside of the frame (x = 574), not 97 to 129: "dimanche 14 juillet " takes 101 and wrapped in 97.
constexpr int kHolidayValueWidth = 111;

// The tables, in a class that the window lets reach its controls: their rows name
// the window's own members, which only the window reaches otherwise.
struct Tables {
    // The labels outside the holiday panel.
    static inline const std::array kLabels{
        LabelRow{&Form1::Label1, "Label1", 32, 48, 313, 25, "Label1", kBold975, TextColour::Navy, kCentre,
                 TextFit::Wraps},
        LabelRow{&Form1::Label31, "Label31", 48, 64, 273, 17, "Label31", kBold975, TextColour::Navy, kCentre,
                 TextFit::Wraps},
        LabelRow{&Form1::Label3, "Label3", 48, 320, 6, 14, "0", kDefaultFont, TextColour::Navy, kLeft, TextFit::Widens},
        LabelRow{&Form1::Label4, "Label4", 88, 320, 209, 17, "Label4", kDefaultFont, TextColour::Navy, kCentre,
                 TextFit::Wraps},
        LabelRow{&Form1::Label32, "Label32", 48, 336, 241, 17, "Label32", kDefaultFont, TextColour::Navy, kLeft,
                 TextFit::Elides},
        LabelRow{&Form1::Label33, "Label33", 287, 352, 33, 17, "Lune", kDefaultFont, TextColour::Navy, kCentre,
                 TextFit::Wraps},
        LabelRow{&Form1::Label6, "Label6", 368, 48, 153, 17, "Jours fériés de l'année:", kBold9, TextColour::Navy,
                 kLeft, TextFit::Wraps},
        LabelRow{&Form1::Label8, "Label8", 507, 48, 33, 17, "0000", kBold9, TextColour::Navy, kLeft, TextFit::Wraps},
        LabelRow{&Form1::Label34, "Label34", 360, 384, 201, 17, "Label34", kBold825, TextColour::Navy, kCentre,
                 TextFit::Wraps},
        LabelRow{&Form1::Label35, "Label35", 528, 400, 41, 17, "V" SOLVANE_VERSION " ", kDefaultFont,
                 TextColour::SystemText, kRight, TextFit::Wraps},
        LabelRow{&Form1::Label2, "Label2", 472, 416, 113, 17, "www.solvane.fr", kBold9, TextColour::DarkGrey, kLeft,
                 TextFit::Wraps},
    };

    // The holiday panel's rows, top to bottom.
    static inline const std::array kHolidayRows{
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
};

}  // namespace form1_layout
