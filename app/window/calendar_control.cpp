#include "app/window/calendar_control.h"

#include <QCalendarWidget>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QTableView>
#include <QTextCharFormat>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "app/look/colours.h"
#include "app/look/fixed_look.h"
#include "app/look/fonts.h"
#include "app/text/qt_text.h"
#include "app/window/calendar_accessible.h"
#include "app/window/controls.h"

namespace {

// The stored configuration of the calendar: its background, its four text and line
// colours and its three fonts, each in the order the configuration keeps them.
const QColor kBackColour = kWindowGrey;
const QColor kDayNameColour = kNavy;
const QColor kDayNumberColour = kNavy;
const QColor kGridLineColour = kNavy;
const QColor kTitleColour = kCalendarTitleBlue;
QFont DayNameFont() { return WindowFont(kBaseFontPixels, true); }  // Arial 8.25 pt bold
QFont DayNumberFont() { return BaseWindowFont(); }
QFont TitleFont() { return WindowFont(16, true); }  // Arial 12 pt bold

// Days of the neighbouring months, shown in the corners of the grid, and the
// selected day.
const QColor kOtherMonthColour(96, 96, 150);
const QColor kSelectedDayText(255, 255, 255);

// A day's tooltip comes after half a second of pointing, quicker than Fusion's 0.7 s.
constexpr int kTooltipDelayMs = 500;

// The longest a turned page waits for its events before it is painted without them.
constexpr int kMostPageHold = 50;

// Fusion draws a table's grid a shade darker than its cells, and no palette role
// changes that; the calendar's grid has a colour of its own. The rest is the
// window's fixed look. Its days' tooltips come after kTooltipDelayMs.
class GridLineStyle : public QProxyStyle {
public:
    explicit GridLineStyle(QColor colour) : QProxyStyle(NewFixedLookStyle()), colour_(colour) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* hintReturn) const override {
        if (hint == SH_Table_GridLineColor) return static_cast<int>(colour_.rgba());
        if (hint == SH_ToolTip_WakeUpDelay) return kTooltipDelayMs;
        return QProxyStyle::styleHint(hint, option, widget, hintReturn);
    }

private:
    QColor colour_;
};

// The date the design selects in the calendar; start-up replaces it with today.
QDate DesignTimeSelection() { return QDate(2005, 6, 22); }

}  // namespace

NoSelectedDateError::NoSelectedDateError()
    : std::runtime_error("Le calendrier n'a aucune date sélectionnée : sa valeur ne peut pas être lue.") {}

calendar::SerialDate SerialDateOf(QDate date) {
    return static_cast<calendar::SerialDate>(date.toJulianDay() - calendar::kJulianDayOfSerialZero);
}

QDate DateOfSerial(calendar::SerialDate serial) {
    return QDate::fromJulianDay(calendar::DayAndTimeOf(serial).day + calendar::kJulianDayOfSerialZero);
}

CalendarControl::CalendarControl(const QLocale& names, QWidget* parent)
    : QWidget(parent), calendar_(new QCalendarWidget(this)), pageHold_(new QTimer(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(calendar_);
    setFocusProxy(calendar_);
    setFocusPolicy(calendar_->focusPolicy());

    InstallCalendarGridReading();
    calendar_->setLocale(names);
    // As in France and as the week numbers count; after the locale, which brings
    // its own first day (Sunday in Canada).
    calendar_->setFirstDayOfWeek(Qt::Monday);
    calendar_->setDateRange(FirstSelectableDate(), LastSelectableDate());
    ApplyStoredLook();
    calendar_->setSelectedDate(DesignTimeSelection());
    NameGrid();

    connect(calendar_, &QCalendarWidget::selectionChanged, this, [this] { valueIsNull_ = false; });
    connect(calendar_, &QCalendarWidget::currentPageChanged, this, &CalendarControl::FollowPage);
    pageHold_->setSingleShot(true);
    pageHold_->setInterval(kMostPageHold);
    // A page whose days are still unknown at the hold's end shows its holidays.
    connect(pageHold_, &QTimer::timeout, this, [this] {
        PaintHeldPage();
        DescribeShownDays();
    });
}

// The grid is named after the month it shows, « Calendrier, décembre 2026 »: a
// screen reader says it as the focus enters the grid. A new name tells the reader
// that the page has turned.
void CalendarControl::NameGrid() {
    auto* view = calendar_->findChild<QTableView*>();
    if (!view) return;
    const QString month = calendar_->locale().standaloneMonthName(calendar_->monthShown(), QLocale::LongFormat);
    view->setAccessibleName(QStringLiteral("Calendrier, %1 %2").arg(month).arg(calendar_->yearShown()));
}

void CalendarControl::ApplyStoredLook() {
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    calendar_->setGridVisible(true);
    calendar_->setFont(DayNumberFont());

    QPalette palette = calendar_->palette();
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::AlternateBase, QPalette::Button}) {
        palette.setColor(role, kBackColour);
    }
    palette.setColor(QPalette::Text, kDayNumberColour);
    palette.setColor(QPalette::WindowText, kDayNumberColour);
    palette.setColor(QPalette::ButtonText, kTitleColour);
    palette.setColor(QPalette::Disabled, QPalette::Text, kOtherMonthColour);
    palette.setColor(QPalette::Highlight, kDayNumberColour);
    palette.setColor(QPalette::HighlightedText, kSelectedDayText);
    calendar_->setPalette(palette);

    QTextCharFormat dayNames;
    dayNames.setFont(DayNameFont());
    dayNames.setForeground(kDayNameColour);
    dayNames.setBackground(kBackColour);
    calendar_->setHeaderTextFormat(dayNames);
    // Every weekday alike: no red weekend.
    QTextCharFormat dayNumbers;
    dayNumbers.setForeground(kDayNumberColour);
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day) {
        calendar_->setWeekdayTextFormat(static_cast<Qt::DayOfWeek>(day), dayNumbers);
    }

    grid_ = calendar_->findChild<QTableView*>();
    if (grid_) {
        auto* style = new GridLineStyle(kGridLineColour);
        style->setParent(grid_);
        grid_->setStyle(style);
        // The tooltip's delay is asked of the widget under the pointer: the grid's viewport.
        grid_->viewport()->setStyle(style);
        // Where the days' tooltips are asked for (ShowToolTip).
        grid_->viewport()->installEventFilter(this);
    }

    // The title bar: the calendar's grey instead of the highlight colour, the month
    // and the year in the title font and colour.
    if (auto* title = calendar_->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar"))) {
        QPalette titlePalette = title->palette();
        titlePalette.setColor(QPalette::Highlight, kBackColour);
        titlePalette.setColor(QPalette::HighlightedText, kTitleColour);
        titlePalette.setColor(QPalette::WindowText, kTitleColour);
        titlePalette.setColor(QPalette::ButtonText, kTitleColour);
        title->setPalette(titlePalette);
        for (auto* button : title->findChildren<QWidget*>()) button->setFont(TitleFont());
    }
    // The arrows show no words: a screen reader says their names, those of the
    // window's own "<<" and ">>".
    struct Arrow {
        const char* objectName;
        bool forward;
        const char* accessibleName;  // UTF-8
    };
    const Arrow arrows[] = {{"qt_calendar_prevmonth", false, "Mois précédent"},
                            {"qt_calendar_nextmonth", true, "Mois suivant"}};
    for (const Arrow& arrow : arrows) {
        if (auto* button = calendar_->findChild<QToolButton*>(QString::fromLatin1(arrow.objectName))) {
            button->setIcon(CalendarArrowIcon(arrow.forward));
            button->setAccessibleName(Utf8(arrow.accessibleName));
        }
    }
}

void CalendarControl::SetWeekNumbers(bool shown) {
    calendar_->setVerticalHeaderFormat(shown ? QCalendarWidget::ISOWeekNumbers : QCalendarWidget::NoVerticalHeader);
}

bool CalendarControl::WeekNumbers() const {
    return calendar_->verticalHeaderFormat() == QCalendarWidget::ISOWeekNumbers;
}

calendar::SerialDate CalendarControl::Value() const {
    if (valueIsNull_) throw NoSelectedDateError();
    return SerialDateOf(calendar_->selectedDate());
}

calendar::Int16 CalendarControl::Year() const { return calendar_->selectedDate().year(); }

calendar::Int16 CalendarControl::Month() const { return calendar_->selectedDate().month(); }

calendar::Int16 CalendarControl::Day() const { return calendar_->selectedDate().day(); }

void CalendarControl::NextMonth() { MoveMonths(1); }

void CalendarControl::PreviousMonth() { MoveMonths(-1); }

void CalendarControl::Today() { Select(DateOfSerial(calendar::CurrentDateTime())); }

void CalendarControl::MoveMonths(int months) {
    // QDate::addMonths keeps the day where the target month has it and otherwise
    // takes the target month's last day.
    const QDate target = calendar_->selectedDate().addMonths(months);
    if (target < FirstSelectableDate() || target > LastSelectableDate()) return;
    Select(target);
}

void CalendarControl::Select(QDate date) {
    calendar_->setSelectedDate(std::clamp(date, FirstSelectableDate(), LastSelectableDate()));
    valueIsNull_ = false;
}

// Turning the calendar's own pages (its arrows, its month menu, its year field)
// takes the selection along to the same day of the month shown, as the window's
// buttons do.
void CalendarControl::FollowPage(int year, int month) {
    const QDate selected = calendar_->selectedDate();
    NameGrid();
    if (const auto [first, last] = ShownDays(); daysKnown_ && !daysKnown_(first, last)) HoldPage();
    DescribeShownDays();
    if (selected.year() == year && selected.month() == month) return;
    const QDate first(year, month, 1);
    Select(first.addDays(std::min(selected.day(), first.daysInMonth()) - 1));
}

void CalendarControl::SetDayDescription(std::function<QString(QDate)> describe) {
    describe_ = std::move(describe);
    DescribeShownDays();
}

void CalendarControl::SetHolidays(std::function<bool(QDate)> isHoliday) {
    isHoliday_ = std::move(isHoliday);
    DescribeShownDays();
}

void CalendarControl::SetEventDays(std::function<bool(QDate)> hasEvents) {
    hasEvents_ = std::move(hasEvents);
    DescribeShownDays();
}

void CalendarControl::SetDaysKnown(std::function<bool(QDate, QDate)> known) { daysKnown_ = std::move(known); }

void CalendarControl::DescribeHeldDays() {
    if (marksHeld_) DescribeShownDays();
}

// The grid shows six weeks around the month, its first row the week of the 1st or
// the week before; the days from two weeks before the 1st to eight weeks after cover
// every day it can show.
std::pair<QDate, QDate> CalendarControl::ShownDays() const {
    const QDate first(calendar_->yearShown(), calendar_->monthShown(), 1);
    return {first.addDays(-14), first.addDays(55)};
}

// A page's marks are written as it turns, or once its events are known when it is
// held for them: the page is not painted meanwhile. Its tooltips are not: the 70
// days' facts, the sun's and the lines of the events among them, would cost more than
// the rest of a turn of the page, for the one or two days that the pointer rests on.
void CalendarControl::DescribeShownDays() {
    calendar_->setDateTextFormat(QDate(), QTextCharFormat());
    const auto [first, last] = ShownDays();
    marksHeld_ = daysKnown_ && !daysKnown_(first, last);
    if (!marksHeld_) ShowHeldPage();
    if (marksHeld_ && pageHold_->isActive()) return;
    if (!isHoliday_ && !hasEvents_) return;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        if (day < FirstSelectableDate() || day > LastSelectableDate()) continue;
        QTextCharFormat format;
        // The grid paints the neighbouring months' days in their faded colour and the
        // selected day in its own, whatever a day's format says: bold marks a holiday
        // on every background.
        if (isHoliday_ && isHoliday_(day)) {
            format.setFontWeight(QFont::Bold);
            format.setForeground(kHolidayRed);
        }
        if (hasEvents_ && hasEvents_(day)) format.setFontUnderline(true);
        // A day without a mark keeps the format that the clearing above left it.
        if (format.propertyCount() > 0) calendar_->setDateTextFormat(day, format);
    }
}

// A page turned before the events of its days are known is painted once they are,
// with their marks, rather than twice: the agenda's answer comes within a few
// milliseconds, a frame or less, and a second paint of the grid would cost as much as
// the rest of the turn. Until then the grid keeps the previous frame: the page was
// asked to paint as it turned, before the hold, and that paint is let go without
// erasing what the screen shows. It waits kMostPageHold at most, then shows the
// page's holidays alone.
void CalendarControl::HoldPage() {
    if (!grid_ || pageHold_->isActive()) return;  // pages turned in a burst wait no longer
    grid_->viewport()->setAttribute(Qt::WA_OpaquePaintEvent, true);
    pageHold_->start();
}

void CalendarControl::ShowHeldPage() {
    if (pageHold_->isActive()) PaintHeldPage();
}

void CalendarControl::PaintHeldPage() {
    pageHold_->stop();
    grid_->viewport()->setAttribute(Qt::WA_OpaquePaintEvent, false);
    grid_->viewport()->update();
}

// As QCalendarWidget's model lays out a page: six rows of weeks below the row of the
// weekday names, after the column of the week numbers when it is shown; the first row
// is the week before the 1st's when the 1st begins a week.
QDate CalendarControl::DayOfCell(const QModelIndex& cell) const {
    constexpr int kWeeksShown = 6, kDaysInWeek = 7;
    if (!cell.isValid()) return {};
    const int row = cell.row() - (calendar_->horizontalHeaderFormat() == QCalendarWidget::NoHorizontalHeader ? 0 : 1);
    const int column = cell.column() - (WeekNumbers() ? 1 : 0);
    if (row < 0 || row >= kWeeksShown || column < 0 || column >= kDaysInWeek) return {};
    const QDate first(calendar_->yearShown(), calendar_->monthShown(), 1);
    const int before = (first.dayOfWeek() - calendar_->firstDayOfWeek() + kDaysInWeek) % kDaysInWeek;  // [0, 6]
    return first.addDays(kDaysInWeek * row + column - (before == 0 ? kDaysInWeek : before));
}

QString CalendarControl::DayToolTip(QDate day) const {
    if (!describe_ || heldUntilPainted_ || !day.isValid()) return {};
    if (day < FirstSelectableDate() || day > LastSelectableDate()) return {};
    const auto [first, last] = ShownDays();
    if (daysKnown_ && !daysKnown_(first, last)) return {};
    return BoundedToolTip(describe_(day));
}

// As Qt's item views show a cell's tooltip (QAbstractItemDelegate::helpEvent): at the
// pointer, kept while the pointer stays on the cell, hidden over a cell that tells
// nothing.
bool CalendarControl::ShowToolTip(QHelpEvent* event) {
    const QModelIndex cell = grid_->indexAt(event->pos());
    const QString text = DayToolTip(DayOfCell(cell));
    QToolTip::showText(event->globalPos(), text, grid_->viewport(), grid_->visualRect(cell));
    event->setAccepted(!text.isEmpty());
    return true;
}

void CalendarControl::DescribeAfterFirstPaint() {
    if (grid_) heldUntilPainted_ = grid_->viewport();
}

// The paint is under way: the tooltips are told once it has reached the screen.
bool CalendarControl::eventFilter(QObject* watched, QEvent* event) {
    if (!grid_ || watched != grid_->viewport()) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::ToolTip) return ShowToolTip(static_cast<QHelpEvent*>(event));
    if (event->type() == QEvent::Paint && pageHold_->isActive()) return true;  // HoldPage
    if (heldUntilPainted_ && event->type() == QEvent::Paint) {
        QTimer::singleShot(0, this, [this] {
            if (!heldUntilPainted_) return;
            heldUntilPainted_ = nullptr;
            emit FirstPainted();
        });
    }
    return QWidget::eventFilter(watched, event);
}

// The grid and the page arrows have no menu of their own: a right click there opens
// nothing, rather than the window's menu. The year field keeps its own menu, and the
// Menu key goes on to the window's.
void CalendarControl::contextMenuEvent(QContextMenuEvent* event) {
    event->setAccepted(event->reason() != QContextMenuEvent::Keyboard);
}

void CalendarControl::mousePressEvent(QMouseEvent* event) { event->accept(); }
