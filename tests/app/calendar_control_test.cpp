// The month calendar: its selected date as a serial date, the month moves of the
// three buttons, the ends of its range, the no-selection flag, its look and the
// width of its days' tooltips.

#include <QApplication>
#include <QCalendarWidget>
#include <QPushButton>
#include <QTableView>
#include <QTextCharFormat>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>
#include <ctime>

#include "app/window/form1.h"
#include "calendar/serial_date.h"
#include "calendar/week_number.h"
#include "tests/app/test_classes.h"
#include "tests/app/window_fixture.h"

class CalendarControlTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ApplyFixedLook(); }
    void cleanup() { calendar::SetFixedClock(std::nullopt); }

    void monthMoves_data() {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("December forward gives January of the next year")
            << QDate(2024, 12, 15) << true << QDate(2025, 1, 15);
        QTest::newRow("January back gives December of the year before")
            << QDate(2025, 1, 15) << false << QDate(2024, 12, 15);
        QTest::newRow("31 January forward in a leap year gives 29 February")
            << QDate(2024, 1, 31) << true << QDate(2024, 2, 29);
        QTest::newRow("31 January forward in a common year gives 28 February")
            << QDate(2023, 1, 31) << true << QDate(2023, 2, 28);
        QTest::newRow("1900 has no 29 February") << QDate(1900, 1, 31) << true << QDate(1900, 2, 28);
        QTest::newRow("2000 has a 29 February") << QDate(2000, 1, 31) << true << QDate(2000, 2, 29);
        QTest::newRow("31 May back gives 30 April") << QDate(2024, 5, 31) << false << QDate(2024, 4, 30);
        QTest::newRow("November 9999 forward reaches the last month")
            << QDate(9999, 11, 30) << true << QDate(9999, 12, 30);
        QTest::newRow("the last month forward stays") << QDate(9999, 12, 15) << true << QDate(9999, 12, 15);
        QTest::newRow("February 1583 back reaches the first month")
            << QDate(1583, 2, 28) << false << QDate(1583, 1, 28);
        QTest::newRow("the first month back stays") << QDate(1583, 1, 20) << false << QDate(1583, 1, 20);
    }

    void monthMoves() {
        QFETCH(QDate, start);
        QFETCH(bool, forward);
        QFETCH(QDate, expected);
        CalendarControl control;
        control.Widget()->setSelectedDate(start);
        forward ? control.NextMonth() : control.PreviousMonth();
        QCOMPARE(control.Widget()->selectedDate(), expected);
        QCOMPARE(control.Year().value(), expected.year());
        QCOMPARE(control.Month().value(), expected.month());
        QCOMPARE(control.Day().value(), expected.day());
        QCOMPARE(control.Value(), calendar::MakeDate(expected.year(), expected.month(), expected.day()));
        // The page shown goes with the selection.
        QCOMPARE(control.Widget()->yearShown(), expected.year());
        QCOMPARE(control.Widget()->monthShown(), expected.month());
    }

    // Day counts from 30 December 1899 in the proleptic Gregorian calendar.
    void valueIsTheSerialDateOfTheSelectedDay_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<double>("serial");
        QTest::newRow("first day offered") << QDate(1583, 1, 1) << -115780.0;
        QTest::newRow("day 0") << QDate(1899, 12, 30) << 0.0;
        QTest::newRow("1 January 1900") << QDate(1900, 1, 1) << 2.0;
        QTest::newRow("1 January 2000") << QDate(2000, 1, 1) << 36526.0;
        QTest::newRow("last day offered") << QDate(9999, 12, 31) << 2958465.0;
    }

    void valueIsTheSerialDateOfTheSelectedDay() {
        QFETCH(QDate, date);
        QFETCH(double, serial);
        CalendarControl control;
        control.Widget()->setSelectedDate(date);
        QCOMPARE(control.Value(), serial);
    }

    // Every day the calendar offers, against the calendar library's own dates; the
    // day of a serial date stays the same day whatever its time of day, before
    // 30 December 1899 too.
    void serialDatesAgreeWithTheDateLibraryOnEveryDay() {
        for (QDate day = CalendarControl::FirstSelectableDate(); day <= CalendarControl::LastSelectableDate();
             day = day.addDays(1)) {
            const calendar::SerialDate serial = SerialDateOf(day);
            const calendar::SerialDate lastSecond =
                calendar::SerialOfDayAndTime({std::int64_t(serial), 86399 / 86400.0});
            if (serial != calendar::MakeDate(day.year(), day.month(), day.day()) || DateOfSerial(serial) != day ||
                DateOfSerial(lastSecond) != day) {
                QFAIL(qPrintable(day.toString(Qt::ISODate)));
            }
        }
    }

    void valueRaisesWhileThereIsNoSelection() {
        CalendarControl control;
        control.Widget()->setSelectedDate(QDate(2024, 6, 1));
        control.SetValueIsNull(true);
        QVERIFY(control.ValueIsNull());
        QVERIFY_THROWS_EXCEPTION(NoSelectedDateError, control.Value());
        try {
            control.Value();
        } catch (const NoSelectedDateError& error) {
            QVERIFY(QString::fromUtf8(error.what()).contains(QStringLiteral("date sélectionnée")));
        }
        QCOMPARE(control.Year().value(), 2024);  // the year is still read, as the date panel does first
        control.SetValueIsNull(false);
        QCOMPARE(control.Value(), calendar::MakeDate(2024, 6, 1));
        control.SetValueIsNull(true);
        control.NextMonth();  // a new selection
        QCOMPARE(control.Value(), calendar::MakeDate(2024, 7, 1));
        control.SetValueIsNull(true);
        control.Widget()->setSelectedDate(QDate(2024, 7, 14));  // as a click on a day
        QVERIFY(!control.ValueIsNull());
    }

    void todayTakesTheDayOfTheClock() {
        calendar::SetFixedClock(calendar::MakeDate(2024, 2, 29) + 0.75);
        CalendarControl control;
        QCOMPARE(control.Widget()->selectedDate(), QDate(2005, 6, 22));  // the design date until then
        control.Today();
        QCOMPARE(control.Widget()->selectedDate(), QDate(2024, 2, 29));
        QCOMPARE(control.Value(), 45351.0);  // the whole day, without the time
        // Friday 29 December 1899 at 10:30, as the clock gives it.
        std::tm reading{};
        reading.tm_year = -1;
        reading.tm_mon = 11;
        reading.tm_mday = 29;
        reading.tm_hour = 10;
        reading.tm_min = 30;
        calendar::SetFixedClock(calendar::SerialOfClockReading(reading));
        control.Today();
        QCOMPARE(control.Widget()->selectedDate(), QDate(1899, 12, 29));
        QCOMPARE(control.Value(), -1.0);
    }

    // The calendar's own arrows and menus take the selection along, as the buttons do.
    void turningThePageTakesTheSelection() {
        CalendarControl control;
        control.Widget()->setSelectedDate(QDate(2024, 1, 31));
        control.Widget()->showNextMonth();
        QCOMPARE(control.Widget()->selectedDate(), QDate(2024, 2, 29));
        control.Widget()->setCurrentPage(1990, 8);
        QCOMPARE(control.Widget()->selectedDate(), QDate(1990, 8, 29));
    }

    void startUpSelectsToday() {
        calendar::SetFixedClock(calendar::MakeDate(2025, 1, 1));
        Form1 window(QStringLiteral(SOLVANE_PROGRAM_DIR));
        window.Form_Load();
        QCOMPARE(test::Cal1Of(window)->Widget()->selectedDate(), QDate(2025, 1, 1));
    }

    void eachButtonClickMovesTheSelectionOnce() {
        Form1 window(QStringLiteral(SOLVANE_PROGRAM_DIR));
        test::Cal1Of(window)->Widget()->setSelectedDate(QDate(2024, 12, 15));
        QTest::mouseClick(test::Named<QPushButton>(window, "avance"), Qt::LeftButton);
        QCOMPARE(test::Cal1Of(window)->Widget()->selectedDate(), QDate(2025, 1, 15));
        QTest::mouseClick(test::Named<QPushButton>(window, "recul"), Qt::LeftButton);
        QTest::mouseClick(test::Named<QPushButton>(window, "recul"), Qt::LeftButton);
        QCOMPARE(test::Cal1Of(window)->Widget()->selectedDate(), QDate(2024, 11, 15));
        calendar::SetFixedClock(calendar::MakeDate(2024, 6, 1) + 0.5);
        QTest::mouseClick(test::Named<QPushButton>(window, "cejour"), Qt::LeftButton);
        QCOMPARE(test::Cal1Of(window)->Widget()->selectedDate(), QDate(2024, 6, 1));
    }

    // A tooltip is never wider than kWidestToolTip in the tooltips' font, so never as
    // wide as the screen: its lines wrap at blanks, and a word wider than that alone
    // is cut with « … ». The date's line and every word that fits are kept.
    void tooltipsStayWithinTheirWidth_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("wordsKept");
        QTest::newRow("a 255-character single word is cut") << QString(255, QLatin1Char('W')) << false;
        QTest::newRow("255 characters of short names wrap") << QStringLiteral("Anne, ").repeated(42) << true;
        QTest::newRow("a long word among short ones is cut, the others kept")
            << QStringLiteral("Anne ") + QString(200, QLatin1Char('M')) + QStringLiteral(" Paul") << false;
        QTest::newRow("a short name stays as it is") << QStringLiteral("Aubin") << true;
    }

    void tooltipsStayWithinTheirWidth() {
        QFETCH(QString, name);
        QFETCH(bool, wordsKept);
        const QString text = QStringLiteral("jeudi 1er février 2024\nfête à souhaiter : ") + name;
        const QString bounded = BoundedToolTip(text);
        const QFontMetrics metrics(QToolTip::font());
        for (const QString& line : bounded.split(QLatin1Char('\n')))
            QVERIFY2(metrics.horizontalAdvance(line) <= kWidestToolTip, qPrintable(line));
        QVERIFY(bounded.startsWith(QStringLiteral("jeudi 1er février 2024\nfête à souhaiter :")));
        if (wordsKept) {
            QCOMPARE(QString(bounded).replace(QLatin1Char('\n'), QLatin1Char(' ')),
                     QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        } else {
            QVERIFY(bounded.contains(QChar(0x2026)));
            // The words around the cut one are kept.
            if (name.startsWith(QStringLiteral("Anne ")))
                QVERIFY(bounded.contains(QStringLiteral(": Anne")) && bounded.endsWith(QStringLiteral("Paul")));
        }
        if (name.length() < 10) QCOMPARE(bounded, text);
    }

    void lookOfTheCalendar() {
        CalendarControl control;
        QCalendarWidget& widget = *control.Widget();
        QCOMPARE(widget.minimumDate(), QDate(1583, 1, 1));
        QCOMPARE(widget.maximumDate(), QDate(9999, 12, 31));
        QCOMPARE(widget.locale(), GadgetLocale(QLocale::system()));
        QCOMPARE(widget.firstDayOfWeek(), Qt::Monday);
        QCOMPARE(widget.palette().color(QPalette::Base), QColor(176, 176, 176));
        // Day numbers: Arial 8.25 pt in navy, weekends too.
        QCOMPARE(widget.font().pixelSize(), 11);
        QVERIFY(!widget.font().bold());
        QCOMPARE(widget.palette().color(QPalette::Text), QColor(0, 0, 128));
        for (const auto day : {Qt::Saturday, Qt::Sunday}) {
            QCOMPARE(widget.weekdayTextFormat(day).foreground().color(), QColor(0, 0, 128));
        }
        // Day names: Arial 8.25 pt bold in navy.
        const QTextCharFormat names = widget.headerTextFormat();
        QCOMPARE(names.font().pixelSize(), 11);
        QVERIFY(names.font().bold());
        QCOMPARE(names.foreground().color(), QColor(0, 0, 128));
        // Grid lines in navy.
        auto* grid = widget.findChild<QTableView*>();
        QVERIFY(grid && grid->showGrid());
        QCOMPARE(QColor::fromRgba(QRgb(grid->style()->styleHint(QStyle::SH_Table_GridLineColor, nullptr, grid))),
                 QColor(0, 0, 128));
        // The title: Arial 12 pt bold in RGB(0, 0, 160).
        auto* month = widget.findChild<QToolButton*>("qt_calendar_monthbutton");
        QVERIFY(month);
        QCOMPARE(month->font().pixelSize(), 16);
        QVERIFY(month->font().bold());
        QCOMPARE(month->palette().color(QPalette::ButtonText), QColor(0, 0, 160));
    }

    // « Numéros de semaine »: a first column of ISO weeks in the window's box of the
    // calendar, each row's number the week of its Monday as the calendar library
    // counts it (every page of 2020-2027, years of 53 weeks included); the days keep
    // room for « 28 » in their font, and the grid stays within the control.
    void weekNumbersShowInAColumnWithinTheGrid() {
        Form1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCalendarWidget& widget = *test::Cal1Of(window)->Widget();
        auto* grid = widget.findChild<QTableView*>();
        QVERIFY(grid);
        const QRect box = test::Cal1Of(window)->geometry();
        QCOMPARE(grid->model()->columnCount(), 7);
        window.SetWeekNumbersShown(true);
        QVERIFY(test::Cal1Of(window)->WeekNumbers());
        QCOMPARE(grid->model()->columnCount(), 8);
        QCOMPARE(test::Cal1Of(window)->geometry(), box);
        QCoreApplication::processEvents();
        const QRect gridBox(grid->mapTo(&window, QPoint(0, 0)), grid->size());
        QVERIFY2(box.contains(gridBox), qPrintable(QStringLiteral("grid %1,%2 %3x%4")
                                                       .arg(gridBox.x())
                                                       .arg(gridBox.y())
                                                       .arg(gridBox.width())
                                                       .arg(gridBox.height())));
        const int digits = QFontMetrics(widget.font()).horizontalAdvance(QStringLiteral("28"));
        for (int column = 0; column < 8; ++column) {
            QVERIFY2(grid->columnWidth(column) >= digits + 4, qPrintable(QString::number(column)));
            QVERIFY(grid->columnViewportPosition(column) + grid->columnWidth(column) <= grid->viewport()->width());
        }
        for (int year = 2020; year <= 2027; ++year) {
            for (int month = 1; month <= 12; ++month) {
                widget.setCurrentPage(year, month);
                const QDate first(year, month, 1);
                QDate monday = first.addDays(1 - first.dayOfWeek());
                if (monday == first) monday = monday.addDays(-7);  // Qt shows a week of the month before
                for (int row = 1; row <= 6; ++row, monday = monday.addDays(7)) {
                    const int expected = calendar::WeekNumber(SerialDateOf(monday)).value();
                    QCOMPARE(grid->model()->index(row, 0).data().toInt(), expected);
                }
            }
        }
        window.SetWeekNumbersShown(false);
        QCOMPARE(grid->model()->columnCount(), 7);
    }

    // The grid marks the holidays that the panel shows for their year, on the plain
    // and on the selected cell, on the month's page and among the neighbouring days
    // of another's; every other day is drawn as before. Each cell is compared with
    // itself unmarked, in the same window. Dates from the French Labour Code
    // (L3133-1) and the decrees that made 8 May a holiday from 1946.
    void holidaysAreMarkedInTheGrid_data() {
        QTest::addColumn<QDate>("selected");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<bool>("marked");
        QTest::newRow("1 May 2024 on its page") << QDate(2024, 5, 15) << QDate(2024, 5, 1) << true;
        QTest::newRow("Ascension, 9 May 2024, selected") << QDate(2024, 5, 9) << QDate(2024, 5, 9) << true;
        QTest::newRow("1 May among the next month's days of April's page")
            << QDate(2024, 4, 15) << QDate(2024, 5, 1) << true;
        QTest::newRow("Christmas 2023 among the days before January 2024")
            << QDate(2024, 1, 15) << QDate(2023, 12, 25) << true;
        QTest::newRow("2 May 2024 is an ordinary day") << QDate(2024, 5, 15) << QDate(2024, 5, 2) << false;
        QTest::newRow("an ordinary day selected") << QDate(2024, 5, 2) << QDate(2024, 5, 2) << false;
        QTest::newRow("8 May 1945, before the panel shows the victory")
            << QDate(1945, 5, 15) << QDate(1945, 5, 8) << false;
        QTest::newRow("8 May 1946") << QDate(1946, 5, 15) << QDate(1946, 5, 8) << true;
    }

    void holidaysAreMarkedInTheGrid() {
        QFETCH(QDate, selected);
        QFETCH(QDate, day);
        QFETCH(bool, marked);
        Form1 window(QStringLiteral(SOLVANE_PROGRAM_DIR));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        test::Cal1Of(window)->Widget()->setSelectedDate(selected);
        auto* view = test::Cal1Of(window)->Widget()->findChild<QTableView*>();
        QVERIFY(view);
        // The grid's first row is the week before the 1st when the 1st is a Monday,
        // its week otherwise; row 0 holds the day names.
        const QDate first(selected.year(), selected.month(), 1);
        const QDate gridStart = first.addDays(-(first.dayOfWeek() == 1 ? 7 : first.dayOfWeek() - 1));
        const qint64 offset = gridStart.daysTo(day);
        const QModelIndex cell = view->model()->index(1 + int(offset / 7), int(offset % 7));
        QCOMPARE(cell.data().toInt(), day.day());
        const auto picture = [&] { return view->viewport()->grab(view->visualRect(cell)).toImage(); };
        const QImage shown = picture();
        test::Cal1Of(window)->SetHolidays({});
        const QImage plain = picture();
        QCOMPARE(shown != plain, marked);
    }

    // The program's own start: the tooltips wait for the grid's first paint, the
    // marks do not, and a page turned afterwards has its tooltips at once.
    void tooltipsComeRightAfterTheFirstPaint() {
        CalendarControl grid;
        grid.Widget()->setSelectedDate(QDate(2025, 7, 1));
        grid.DescribeAfterFirstPaint();
        grid.SetHolidays([](QDate day) { return day == QDate(2025, 7, 14); });
        grid.SetDayDescription([](QDate day) { return day.toString(Qt::ISODate); });
        QCOMPARE(grid.Widget()->dateTextFormat(QDate(2025, 7, 14)).fontWeight(), int(QFont::Bold));
        QVERIFY(test::DayTooltip(grid, QDate(2025, 7, 14)).isEmpty());
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QTRY_COMPARE(test::DayTooltip(grid, QDate(2025, 7, 14)), QStringLiteral("2025-07-14"));
        grid.Widget()->setCurrentPage(2025, 9);
        QCOMPARE(test::DayTooltip(grid, QDate(2025, 9, 1)), QStringLiteral("2025-09-01"));
    }

    // A page whose days' events are not known yet is held, unpainted: its marks and
    // its tooltips come once they are known, or its holidays at the hold's end; a day
    // is described when its tooltip is asked, not as the page turns.
    void tooltipsWaitForTheDaysOfThePage() {
        CalendarControl grid;
        grid.Widget()->setSelectedDate(QDate(2025, 7, 1));
        QDate known;  // the first day of the days whose events are known
        grid.SetDaysKnown([&](QDate first, QDate) { return first == known; });
        grid.SetHolidays([](QDate day) { return day == QDate(2025, 11, 11); });
        int described = 0;
        grid.SetDayDescription([&](QDate day) {
            ++described;
            return day.toString(Qt::ISODate);
        });
        const auto bold = [&](QDate day) { return grid.Widget()->dateTextFormat(day).fontWeight() == QFont::Bold; };
        grid.Widget()->setCurrentPage(2025, 11);
        QVERIFY(!bold(QDate(2025, 11, 11)));
        QVERIFY(test::DayTooltip(grid, QDate(2025, 11, 11)).isEmpty());
        known = QDate(2025, 11, 1).addDays(-14);
        grid.DescribeHeldDays();
        grid.DescribeHeldDays();
        QVERIFY(bold(QDate(2025, 11, 11)));
        QCOMPARE(described, 0);
        QCOMPARE(test::DayTooltip(grid, QDate(2025, 11, 11)), QStringLiteral("2025-11-11"));
        QCOMPARE(described, 1);
        // Days whose events never come.
        grid.SetHolidays([](QDate day) { return day == QDate(2026, 1, 1); });
        grid.Widget()->setCurrentPage(2026, 1);
        QVERIFY(!bold(QDate(2026, 1, 1)));
        QTRY_VERIFY(bold(QDate(2026, 1, 1)));
        QVERIFY(test::DayTooltip(grid, QDate(2026, 1, 1)).isEmpty());
    }

    // The day that the grid names under the pointer and to a screen reader is the one
    // the calendar's own model shows in that cell, on pages that begin on each day of
    // the week, with and without the week numbers, at both ends of the offered range.
    void eachCellIsTheDayTheCalendarShowsThere() {
        CalendarControl grid;
        QCalendarWidget* calendar = grid.Widget();
        const QAbstractItemModel* model = calendar->findChild<QTableView*>()->model();
        QStringList wrong;
        int days = 0;
        for (const bool weekNumbers : {false, true}) {
            grid.SetWeekNumbers(weekNumbers);
            QList<QDate> pages;
            for (QDate page(2024, 1, 1); page.year() <= 2030; page = page.addMonths(1)) pages << page;
            pages << CalendarControl::FirstSelectableDate() << CalendarControl::LastSelectableDate();
            for (const QDate page : pages) {
                calendar->setCurrentPage(page.year(), page.month());
                // The calendar's model tells which day a cell shows by that day's format.
                calendar->setDateTextFormat(QDate(), QTextCharFormat());
                for (QDate day = page.addDays(-45); day <= page.addDays(75); day = day.addDays(1)) {
                    QTextCharFormat format;
                    format.setToolTip(QString::number(day.toJulianDay()));  // the ISO date has no year 10000
                    calendar->setDateTextFormat(day, format);
                }
                for (int row = 0; row < model->rowCount(); ++row) {
                    for (int column = 0; column < model->columnCount(); ++column) {
                        const QModelIndex cell = model->index(row, column);
                        const QString shown = cell.data(Qt::ToolTipRole).toString();
                        days += !shown.isEmpty();
                        const QDate day = grid.DayOfCell(cell);
                        if ((day.isValid() ? QString::number(day.toJulianDay()) : QString()) != shown)
                            wrong << QStringLiteral("%1: %2, %3").arg(page.toString(Qt::ISODate)).arg(row).arg(column);
                    }
                }
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.mid(0, 10).join(QLatin1Char('\n'))));
        QCOMPARE(days, 2 * (7 * 12 + 2) * 42);
    }

    // The user's agendas, listed in the settings file: the days holding events are
    // marked on every page, a neighbouring month's days included, the tooltip lists
    // the events, and a calendar changed on the disk shows without anything else.
    void eventsAreMarkedAndListedInTheGrid() {
        QTemporaryDir config;
        const QByteArray keptConfig = qgetenv("XDG_CONFIG_HOME"), keptZone = qgetenv("TZ");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        qputenv("TZ", "Europe/Paris");
        tzset();
        const QString calendarPath = config.filePath(QStringLiteral("travail.ics"));
        const auto writeCalendar = [&](const char* day) {
            QFile file(calendarPath + QStringLiteral(".new"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:1\r\nDTSTART;TZID=Europe/Paris:") + day +
                       "T140000\r\nDURATION:PT1H30M\r\nSUMMARY:Réunion\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
            file.close();
            QFile::remove(calendarPath);
            QVERIFY(file.rename(calendarPath));
        };
        writeCalendar("20240502");
        QVERIFY(QDir().mkpath(config.filePath(QStringLiteral("solvane"))));
        QFile settings(config.filePath(QStringLiteral("solvane/solvane.conf")));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[agendas]\n1\\source=" + calendarPath.toUtf8() + "\nsize=1\n");
        settings.close();

        Form1 window(QStringLiteral(SOLVANE_PROGRAM_DIR));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.Form_Load();
        QCalendarWidget* grid = test::Cal1Of(window)->Widget();
        const auto tooltip = [&](QDate day) { return test::DayTooltip(*test::Cal1Of(window), day); };
        auto* view = grid->findChild<QTableView*>();
        QVERIFY(view);
        // The cell of `day` on the page shown, with and without the marks of events.
        const auto marked = [&](QDate day) {
            const QDate first(grid->yearShown(), grid->monthShown(), 1);
            const QDate gridStart = first.addDays(-(first.dayOfWeek() == 1 ? 7 : first.dayOfWeek() - 1));
            const qint64 offset = gridStart.daysTo(day);
            const QModelIndex cell = view->model()->index(1 + int(offset / 7), int(offset % 7));
            const QImage shown = view->viewport()->grab(view->visualRect(cell)).toImage();
            QSet<QDate> underlined;
            for (QDate other = gridStart; other < gridStart.addDays(42); other = other.addDays(1)) {
                if (grid->dateTextFormat(other).fontUnderline()) underlined.insert(other);
            }
            test::Cal1Of(window)->SetEventDays({});
            const QImage plain = view->viewport()->grab(view->visualRect(cell)).toImage();
            test::Cal1Of(window)->SetEventDays([underlined](QDate other) { return underlined.contains(other); });
            return shown != plain;
        };
        for (const QDate page : {QDate(2024, 5, 15), QDate(2024, 4, 15)}) {
            grid->setSelectedDate(page);
            QTRY_VERIFY_WITH_TIMEOUT(
                tooltip(QDate(2024, 5, 2)).contains(QString::fromUtf8("14 h 00 – 15 h 30 Réunion")), 10000);
            QVERIFY(marked(QDate(2024, 5, 2)));
            QVERIFY(!marked(QDate(2024, 4, 30)));
            QVERIFY(!tooltip(QDate(2024, 5, 3)).contains(QStringLiteral("Réunion")));
        }
        writeCalendar("20240503");
        QTRY_VERIFY_WITH_TIMEOUT(tooltip(QDate(2024, 5, 3)).contains(QStringLiteral("Réunion")), 10000);
        QVERIFY(!tooltip(QDate(2024, 5, 2)).contains(QStringLiteral("Réunion")));
        qputenv("XDG_CONFIG_HOME", keptConfig);
        if (keptZone.isEmpty())
            qunsetenv("TZ");
        else
            qputenv("TZ", keptZone);
        tzset();
    }
};

SOLVANE_TEST_CLASS(CalendarControlTest)
#include "calendar_control_test.moc"
