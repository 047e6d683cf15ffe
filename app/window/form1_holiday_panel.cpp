// The holiday panel on the right: the nation's twelve holidays of the selected year
// for France and its regions, each on its row as the window was designed; for a
// place abroad, that place's holidays in the order of their dates, the name as the
// caption, in the same fonts and boxes.

#include <QFontMetrics>
#include <algorithm>

#include "app/text/qt_text.h"
#include "app/window/form1.h"
#include "app/window/form1_layout.h"
#include "calendar/numbers.h"

namespace {

using namespace form1_layout;

// The rows of a place abroad, whose names are longer than the nation's captions: the
// caption from the frame's inner edge, right-aligned, its colon at x = 467; the date
// from x = 473 to the frame, with the month's short name as the nation's rows of
// November and December write it ("mercredi 25 déc. " takes 90 pixels).
constexpr int kPlaceCaptionLeft = 347;
constexpr int kPlaceCaptionWidth = 120;
constexpr int kPlaceValueLeft = 473;
constexpr int kPlaceValueWidth = 102;
constexpr const char* kPlacePattern = "dddd dd mmm ";

// Whether the region is the nation or one of its parts, whose panel is the nation's.
bool ShowsTheNation(calendar::Region region) {
    for (std::optional<calendar::Region> each = region; each; each = calendar::RegionInherits(*each)) {
        if (*each == calendar::Region::National) return true;
    }
    return false;
}

// The panel's last row where a place has more holidays than the rows: « et 2 autres ».
std::string MoreHolidays(std::size_t count) {
    return "et " + calendar::NumberText(static_cast<int>(count)) + (count == 1 ? " autre" : " autres");
}

// The whole name of a shortened caption, in its tooltip and for screen readers;
// none for a caption shown whole. Set only when it changes: the panel is written at
// every refresh, and a new accessible name is news to a screen reader.
void SetWhole(TextLabel& label, const QString& whole) {
    if (label.toolTip() != whole) label.setToolTip(whole);
    if (label.accessibleName() != whole) label.setAccessibleName(whole);
}

}  // namespace

void Form1::ShowHolidayPanel(const almanac::YearFacts& Year, calendar::Region region) {
    using namespace calendar;
    if (ShowsTheNation(region)) {
        // Each holiday on its row; a row whose holiday the year does not keep (the two
        // victories, before their first anniversary) is hidden.
        for (std::size_t row = 0; row < kPanelHolidayCount; ++row) {
            const HolidayRow& panelRow = PanelHolidays()[row];
            const auto kept = std::ranges::find(Year.holidays, &panelRow, &Holiday::row);
            SetHolidayCaption(row, std::string(panelRow.caption) + " :", {});
            holidayValueLabels_[row]->setGeometry(kHolidayValueLeft, Tables::kHolidayRows[row].top, kHolidayValueWidth,
                                                  kHolidayRowHeight);
            holidayValueLabels_[row]->setVisible(kept != Year.holidays.end());
            holidayValueLabels_[row]->SetUtf8Text(
                kept == Year.holidays.end() ? std::string() : FormatDate(kept->date, panelRow.pattern, localeNames_));
        }
        return;
    }
    std::vector<Holiday> holidays = Year.holidays;
    std::ranges::stable_sort(holidays, {}, &Holiday::date);
    // Nothing is cut silently: where the rows are too few, the last one says how many
    // more there are; the grid and the tooltips name them all.
    const std::size_t shown = holidays.size() > kPanelHolidayCount ? kPanelHolidayCount - 1 : holidays.size();
    for (std::size_t row = 0; row < kPanelHolidayCount; ++row) {
        TextLabel* value = holidayValueLabels_[row];
        value->setGeometry(kPlaceValueLeft, Tables::kHolidayRows[row].top, kPlaceValueWidth, kHolidayRowHeight);
        if (row < shown) {
            const Holiday& holiday = holidays[row];
            SetHolidayCaption(row, {}, holiday.row->name);
            value->SetUtf8Text(FormatDate(holiday.date, kPlacePattern, localeNames_));
            value->setVisible(true);
        } else {
            SetHolidayCaption(row, {}, {});
            const bool more = row == shown && shown < holidays.size();
            value->SetUtf8Text(more ? MoreHolidays(holidays.size() - shown) : std::string());
            value->setVisible(more);
        }
    }
}

// A caption of the panel: the nation's, `caption`, in its row's box as the window was
// designed; or a place's holiday, `name`, in the box of the places, shortened with
// « … » where the box is too narrow, the whole name then in its tooltip and for screen
// readers; or, when both are empty, none.
void Form1::SetHolidayCaption(std::size_t row, const std::string& caption, std::string_view name) {
    TextLabel* label = holidayCaptionLabels_[row];
    const HolidayLabelRow& layout = Tables::kHolidayRows[row];
    if (!caption.empty()) {
        label->setGeometry(layout.captionLeft, layout.top, layout.captionWidth, kHolidayRowHeight);
        label->setAlignment(layout.captionAlignment | Qt::AlignTop);
        label->SetUtf8Text(caption);
        SetWhole(*label, {});
        label->setVisible(true);
        return;
    }
    label->setGeometry(kPlaceCaptionLeft, layout.top, kPlaceCaptionWidth, kHolidayRowHeight);
    label->setAlignment(kRight | Qt::AlignTop);
    const QString whole = Utf8(name);
    const QFontMetrics metrics(label->font());
    const QString colon = QStringLiteral(" :");
    // « Journée nationale… », not « Journée nationale … ».
    const QString shown =
        metrics.elidedText(whole, Qt::ElideRight, kPlaceCaptionWidth - metrics.horizontalAdvance(colon))
            .replace(QStringLiteral(" \u2026"), QStringLiteral("\u2026"));
    label->setText(name.empty() ? QString() : shown + colon);
    SetWhole(*label, shown != whole ? whole : QString());
    label->setVisible(!name.empty());
}
