#pragma once
// The window's month calendar: it holds the selected date that everything else on
// the window describes. The rest of the window reads it through Value, Year, Month
// and Day and moves it through NextMonth, PreviousMonth and Today; the user moves
// it by clicking a day or turning the calendar's own pages.

#include <QDate>
#include <QModelIndex>
#include <QWidget>
#include <functional>
#include <stdexcept>
#include <utility>

#include "app/window/locale_names.h"
#include "calendar/int16.h"
#include "calendar/serial_date.h"

class QCalendarWidget;
class QHelpEvent;
class QTableView;
class QTimer;

// Value was read while the calendar had no selected date.
class NoSelectedDateError : public std::runtime_error {
public:
    NoSelectedDateError();
};

class CalendarControl : public QWidget {
    Q_OBJECT
public:
    // The days the calendar offers: the years calendar::kFirstCalendarYear to kLastCalendarYear.
    static QDate FirstSelectableDate() { return QDate(calendar::kFirstCalendarYear, 1, 1); }
    static QDate LastSelectableDate() { return QDate(calendar::kLastCalendarYear, 12, 31); }

    // The calendar writes its day and month names in the locale `names`; its weeks
    // begin on Monday whatever that locale says.
    explicit CalendarControl(const QLocale& names = GadgetLocale(QLocale::system()), QWidget* parent = nullptr);

    // The selected day as a serial date at 00:00; raises NoSelectedDateError while
    // ValueIsNull is set.
    calendar::SerialDate Value() const;

    // While set, the calendar has no selected date. Any new selection clears it.
    bool ValueIsNull() const { return valueIsNull_; }
    void SetValueIsNull(bool valueIsNull) { valueIsNull_ = valueIsNull; }

    // The parts of the selected day (Month 1..12).
    calendar::Int16 Year() const;
    calendar::Int16 Month() const;
    calendar::Int16 Day() const;

    // One month forward or back; a day the target month lacks becomes its last day
    // (31 January forward gives the end of February). At the ends of the offered
    // range the selection stays where it is.
    void NextMonth();
    void PreviousMonth();

    // Selects today's date, as the calendar library's clock gives it.
    void Today();

    // What a day's cell says in its tooltip, for every day of the grid (those of the
    // neighbouring months too): asked at the moment the pointer rests on the day or a
    // screen reader asks for the cell's description, so that it always tells what
    // the day's facts are then, and a page turns without describing its 70 days.
    void SetDayDescription(std::function<QString(QDate)> describe);

    // Which days of the grid are holidays, marked in bold and in their own colour,
    // for every day of the grid (those of the neighbouring months too).
    void SetHolidays(std::function<bool(QDate)> isHoliday);

    // Which days of the grid hold events of the user's agendas, underlined, for
    // every day of the grid (those of the neighbouring months too): a mark apart from
    // the holidays' bold and colour, which it may join.
    void SetEventDays(std::function<bool(QDate)> hasEvents);

    // Whether what the tooltips of the days [first, last] tell is known yet: until it
    // is, a new page shows its marks at once and its days have no tooltip, and the
    // marks are asked again by DescribeDaysAgain or DescribeHeldDays. Without it,
    // always known.
    void SetDaysKnown(std::function<bool(QDate first, QDate last)> known);

    // Asks the marks again for every day of the grid, when what they read has
    // changed; the tooltips, asked when shown, tell it already.
    void DescribeDaysAgain() { DescribeShownDays(); }
    // The same, only when the page's marks were written before its days were known.
    void DescribeHeldDays();

    // Until the grid's first paint its days have no tooltip, and FirstPainted tells
    // when that paint has reached the screen, from the event loop: for the window
    // that the program shows at once.
    void DescribeAfterFirstPaint();

    // The day a cell of the grid's model shows, as the calendar lays out its six
    // weeks (the week of the 1st first, or the week before when the 1st is a Monday);
    // none for the weekday names and the week numbers.
    QDate DayOfCell(const QModelIndex& cell) const;
    // The tooltip of `day`, laid out within kWidestToolTip: what the pointer resting
    // on the day shows and what a screen reader says of its cell. Empty, and no
    // tooltip shows, for a day outside the offered range, before the grid's first
    // paint, and while the events of the page are not known.
    QString DayToolTip(QDate day) const;

    // Whether the grid has a first column of ISO week numbers (weeks begin on Monday).
    // The grid keeps its box: its eight columns share the width of seven.
    void SetWeekNumbers(bool shown);
    bool WeekNumbers() const;

    // The calendar the user sees and clicks.
    QCalendarWidget* Widget() const { return calendar_; }

signals:
    // After DescribeAfterFirstPaint, once the grid's first frame is on the screen.
    void FirstPainted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ApplyStoredLook();
    void MoveMonths(int months);
    void Select(QDate date);
    void FollowPage(int year, int month);
    void NameGrid();
    void DescribeShownDays();
    void HoldPage();
    void ShowHeldPage();
    void PaintHeldPage();
    // The first and the last day that the page shown can show.
    std::pair<QDate, QDate> ShownDays() const;
    bool ShowToolTip(QHelpEvent* event);

    QCalendarWidget* calendar_;
    QTableView* grid_ = nullptr;  // the calendar's table of days
    bool valueIsNull_ = false;
    std::function<QString(QDate)> describe_;
    std::function<bool(QDate)> isHoliday_;
    std::function<bool(QDate)> hasEvents_;
    std::function<bool(QDate, QDate)> daysKnown_;
    bool marksHeld_ = false;               // the page's marks were written before its days were known
    QTimer* pageHold_;                     // runs while a turned page waits for its days to paint
    QWidget* heldUntilPainted_ = nullptr;  // the grid whose first paint the tooltips wait for
};

// Serial dates count days from 30 December 1899; a date's time of day plays no part.
calendar::SerialDate SerialDateOf(QDate date);
QDate DateOfSerial(calendar::SerialDate serial);
