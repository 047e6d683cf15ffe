// Start-up and the two refreshes on a fixed clock: the texts of the date panel to
// the byte, the holiday rows, the two labels that depend on the year, the name day
// and the moon picture of the selected date, and what happens when the data files
// beside the program are missing, empty or too short. The facts a day's panels and
// tooltips must show are those the command `solvane` gives for it.

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextCharFormat>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>

#include "app/window/form1.h"
#include "app/window/form1_layout.h"
#include "app/window/locale_names.h"
#include "calendar/holidays.h"
#include "calendar/serial_date.h"
#include "namedays/name_day_file.h"
#include "settings/settings_file.h"
#include "tests/app/terminal_answers.h"
#include "tests/app/test_classes.h"
#include "tests/app/window_fixture.h"

namespace {

using test::CommandOutput;
using test::FromUtf8;
using test::HolidaysOfCalendar;
using test::kSundayMorning;
using test::PictureOf;
using test::TerminalText;
using test::TooltipOfText;

}  // namespace

// Keeps the text of a label at its first paint.
class PaintWatch : public QObject {
public:
    PaintWatch(QLabel& label, QString& firstPainted) : label_(label), firstPainted_(firstPainted) {
        label_.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && firstPainted_.isEmpty()) firstPainted_ = label_.text();
        return false;
    }

private:
    QLabel& label_;
    QString& firstPainted_;
};

class WindowRefreshTest : public test::WindowTest {
    Q_OBJECT

private slots:
    void startUpWritesTheDayAndWeekOfTodayAndLoadsTheList() {
        calendar::SetFixedClock(calendar::MakeDate(2024, 6, 1) + 0.75);
        form_->Form_Load();
        QCOMPARE(test::Cal1Of(*form_)->Widget()->selectedDate(), QDate(2024, 6, 1));
        QCOMPARE(Text("Label3"), QStringLiteral("153 em jour de l'année"));
        QCOMPARE(Text("Label4"), QStringLiteral("   Semaine : 22"));
        QCOMPARE(test::Named<QComboBox>(*form_, "Combo1")->count(), 366);
        // The rest waits for the first ticks.
        QCOMPARE(Text("Label1"), QStringLiteral("Label1"));
        QCOMPARE(Text("Label34"), QStringLiteral("Label34"));
    }

    void startUpOnTheFirstAndLastDaysOfAYear_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("dayLine");
        QTest::addColumn<QString>("weekLine");
        QTest::newRow("1 January 2025 is in week 1") << QDate(2025, 1, 1) << "1 em jour de l'année"
                                                     << "   Semaine : 1";
        QTest::newRow("31 December 2024 is in week 1 of 2025") << QDate(2024, 12, 31) << "366 em jour de l'année"
                                                               << "   Semaine : 1";
        QTest::newRow("1 January 2023 is in week 52 of 2022") << QDate(2023, 1, 1) << "1 em jour de l'année"
                                                              << "   Semaine : 52";
    }

    void startUpOnTheFirstAndLastDaysOfAYear() {
        QFETCH(QDate, today);
        QFETCH(QString, dayLine);
        QFETCH(QString, weekLine);
        calendar::SetFixedClock(calendar::MakeDate(today.year(), today.month(), today.day()) + 0.99);
        form_->Form_Load();
        QCOMPARE(Text("Label3"), dayLine);
        QCOMPARE(Text("Label4"), weekLine);
    }

    void datePanelTextsToTheByte() {
        form_->Form_Load();
        Select(QDate(2024, 6, 1));
        TickDatePanel();
        QCOMPARE(Text("Label34"), QStringLiteral("L'année 2024 est bissextile."));
        QCOMPARE(Text("Label3"), QStringLiteral("153 em jour de l'année"));
        QCOMPARE(Text("Label4"), QStringLiteral("   Semaine : 22"));
        QCOMPARE(Text("Label1"), QStringLiteral("Aujourd'hui: dimanche  06 décembre 2026"));
        QCOMPARE(Text("Label31"), QStringLiteral("   Il est   09:05:07"));
        QCOMPARE(Text("Label8"), QStringLiteral("2024"));

        // The clock follows the system clock, in 24-hour form, whatever the selection.
        calendar::SetFixedClock(calendar::MakeDate(2026, 12, 6) + 0.875);
        TickDatePanel();
        QCOMPARE(Text("Label31"), QStringLiteral("   Il est   21:00:00"));
        QCOMPARE(Text("Label3"), QStringLiteral("153 em jour de l'année"));
    }

    void holidayRows_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<QStringList>("values");  // Label10, 5, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30
        QTest::newRow("2024") << 2024 << QStringList{"lundi 01 janvier ", "dimanche 31 mars ",    "lundi 01 avril",
                                                     "mercredi 01 mai ",  "mercredi 08 mai ",     "jeudi 09 mai",
                                                     "lundi 20 mai ",     "dimanche 14 juillet ", "jeudi 15 août ",
                                                     "vendredi 01 nov. ", "lundi 11 nov. ",       "mercredi 25 déc. "};
        QTest::newRow("2026") << 2026 << QStringList{"jeudi 01 janvier ", "dimanche 05 avril ", "lundi 06 avril",
                                                     "vendredi 01 mai ",  "vendredi 08 mai ",   "jeudi 14 mai",
                                                     "lundi 25 mai ",     "mardi 14 juillet ",  "samedi 15 août ",
                                                     "dimanche 01 nov. ", "mercredi 11 nov. ",  "vendredi 25 déc. "};
    }

    void holidayRows() {
        QFETCH(int, year);
        QFETCH(QStringList, values);
        const char* labels[] = {"Label10", "Label5",  "Label12", "Label14", "Label16", "Label18",
                                "Label20", "Label22", "Label24", "Label26", "Label28", "Label30"};
        Select(QDate(year, 7, 1));
        TickDatePanel();
        for (int row = 0; row < 12; ++row) QCOMPARE(Text(labels[row]), values[row]);
    }

    void victoryAndArmisticeValuesFollowTheYear_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<bool>("victoryShown");
        QTest::addColumn<bool>("armisticeShown");
        QTest::newRow("1900: both hidden") << 1900 << false << false;
        QTest::newRow("1918: both hidden") << 1918 << false << false;
        QTest::newRow("1919: the armistice appears") << 1919 << false << true;
        QTest::newRow("1945: the victory still hidden") << 1945 << false << true;
        QTest::newRow("1946: both shown") << 1946 << true << true;
    }

    void victoryAndArmisticeValuesFollowTheYear() {
        QFETCH(int, year);
        QFETCH(bool, victoryShown);
        QFETCH(bool, armisticeShown);
        // From a year where both show, and back again: the test is made on every tick.
        Select(QDate(2000, 1, 1));
        TickDatePanel();
        Select(QDate(year, 5, 8));
        TickDatePanel();
        QCOMPARE(!test::Named<TextLabel>(*form_, "Label16")->isHidden(), victoryShown);
        QCOMPARE(!test::Named<TextLabel>(*form_, "Label28")->isHidden(), armisticeShown);
        // Their captions stay; a hidden value holds no date, and shows its date again in
        // a year that keeps it.
        QVERIFY(!test::Named<TextLabel>(*form_, "Label15")->isHidden());
        QVERIFY(!test::Named<TextLabel>(*form_, "Label27")->isHidden());
        if (!victoryShown) QCOMPARE(Text("Label16"), QString());
        Select(QDate(2000, 1, 1));
        TickDatePanel();
        QVERIFY(!test::Named<TextLabel>(*form_, "Label16")->isHidden());
        QVERIFY(!test::Named<TextLabel>(*form_, "Label28")->isHidden());
        QCOMPARE(Text("Label16"), QStringLiteral("lundi 08 mai "));
    }

    // Whatever the desktop's language, the day and month names are French, those of
    // the desktop's own country when its language is French; weeks begin on Monday
    // and the clock keeps its colons.
    void namesAreFrenchWhateverTheDesktop_data() {
        QTest::addColumn<QLocale>("desktop");
        QTest::addColumn<QString>("names");
        QTest::newRow("English (United States) gives France's") << QLocale("en_US") << "fr_FR";
        QTest::newRow("German gives France's") << QLocale("de_DE") << "fr_FR";
        QTest::newRow("the C locale gives France's") << QLocale::c() << "fr_FR";
        QTest::newRow("France") << QLocale("fr_FR") << "fr_FR";
        QTest::newRow("Belgium") << QLocale("fr_BE") << "fr_BE";
        QTest::newRow("Switzerland") << QLocale("fr_CH") << "fr_CH";
        QTest::newRow("Canada, whose weeks begin on Sunday and clocks read 09 h 05") << QLocale("fr_CA") << "fr_CA";
    }

    void namesAreFrenchWhateverTheDesktop() {
        QFETCH(QLocale, desktop);
        QFETCH(QString, names);
        DestroyWindow();
        CreateWindow(desktop);
        Select(QDate(2024, 7, 1));
        TickDatePanel();
        QCOMPARE(Text("Label1"), QStringLiteral("Aujourd'hui: dimanche  06 décembre 2026"));
        QCOMPARE(Text("Label31"), QStringLiteral("   Il est   09:05:07"));
        QCOMPARE(Text("Label22"), QStringLiteral("dimanche 14 juillet "));
        QCOMPARE(Text("Label30"), QStringLiteral("mercredi 25 déc. "));

        QCalendarWidget& calendar = *test::Cal1Of(*form_)->Widget();
        QCOMPARE(calendar.locale().name(), names);
        QCOMPARE(calendar.firstDayOfWeek(), Qt::Monday);
        const QAbstractItemModel& grid = *calendar.findChild<QTableView*>()->model();
        QCOMPARE(grid.data(grid.index(0, 0)).toString(), QStringLiteral("lun."));  // the first day name
        auto* month = calendar.findChild<QToolButton*>("qt_calendar_monthbutton");
        QCOMPARE(month->text(), QStringLiteral("juillet"));
        QCOMPARE(month->menu()->actions().first()->text(), QStringLiteral("janvier"));
    }

    void aCalendarWithoutSelectionGetsOneBeforeItsValueIsRead() {
        Select(QDate(2024, 6, 1));
        test::Cal1Of(*form_)->SetValueIsNull(true);
        TickDatePanel();
        QVERIFY(!test::Cal1Of(*form_)->ValueIsNull());
        QCOMPARE(Text("Label3"), QStringLiteral("153 em jour de l'année"));
        QCOMPARE(Text("Label4"), QStringLiteral("   Semaine : 22"));
    }

    void nameDayAndMoonOfTheSelectedDate_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("picture");
        QTest::newRow("29 February 2024") << QDate(2024, 2, 29) << 59 << "19.gif";
        QTest::newRow("1 March 2024") << QDate(2024, 3, 1) << 60 << "20.gif";
        QTest::newRow("1 March 2023 skips the leap day") << QDate(2023, 3, 1) << 60 << "9.gif";
        QTest::newRow("31 December of a common year") << QDate(2023, 12, 31) << 365 << "18.gif";
        QTest::newRow("1 January") << QDate(2025, 1, 1) << 0 << "1.gif";
    }

    void nameDayAndMoonOfTheSelectedDate() {
        QFETCH(QDate, date);
        QFETCH(int, position);
        QFETCH(QString, picture);
        form_->Form_Load();
        Select(date);
        TickBoth();
        const std::vector<std::string> list = namedays::ReadNameDayFile(DataFile("fetes.txt").toStdString());
        QCOMPARE(test::Named<QComboBox>(*form_, "Combo1")->currentIndex(), position);
        QCOMPARE(Text("Label32"),
                 QStringLiteral("fête à souhaiter : ") + QString::fromStdString(list[std::size_t(position)]));
        QCOMPARE(test::Named<PictureControl>(*form_, "Image1")->pixmap().toImage(), PictureOf(DataFile(picture)));
    }

    // The name day and the moon need no other refresh before theirs: alone, from start-up
    // and into another year, they show the selected date's.
    void theNameDayAndMoonRefreshNeedsNoOther() {
        form_->Form_Load();
        Select(QDate(2024, 2, 29));
        TickNameDayAndMoon();
        QCOMPARE(test::Named<QComboBox>(*form_, "Combo1")->currentIndex(), 59);
        QCOMPARE(test::Named<PictureControl>(*form_, "Image1")->pixmap().toImage(), PictureOf(DataFile("19.gif")));
        test::Cal1Of(*form_)->NextMonth();  // 29 March 2024
        TickNameDayAndMoon();
        QCOMPARE(test::Named<QComboBox>(*form_, "Combo1")->currentIndex(), 88);
        Select(QDate(2025, 1, 15));
        TickNameDayAndMoon();
        QCOMPARE(test::Named<QComboBox>(*form_, "Combo1")->currentIndex(), 14);
        QCOMPARE(Text("Label32"),
                 QStringLiteral("fête à souhaiter : ") + test::Named<QComboBox>(*form_, "Combo1")->currentText());
        QCOMPARE(Text("Label34"), QStringLiteral("Label34"));  // the date panel has not run
    }

    // --- When the refreshes run: whenever something they read can have changed ---

    // The clock and today lines turn together within a few milliseconds of the whole
    // second, and between two seconds nothing runs. "Within a few milliseconds" is
    // measured against a precise timer of the test's own, armed for the same second in
    // the same thread: a loaded machine holds both back alike, while a refresh timer
    // armed a second too late, or a coarse one, is seen.
    void theClockAndTodayLinesTurnAtTheSecond() {
        const calendar::SerialDate midnight = calendar::MakeDate(2026, 12, 7);
        calendar::SetRunningClock(midnight - 0.6 / 86400);  // 6 December, 23:59:59.4
        QElapsedTimer clock;
        clock.start();
        int runs = 0;
        int runsAfterTheTurn = 0;
        qint64 turnedAt = -1;
        connect(test::Named<RefreshGate>(*form_, "Timer1"), &RefreshGate::Timer, this, [&] {
            ++runs;
            if (Text("Label31") != QStringLiteral("   Il est   23:59:59")) ++runsAfterTheTurn;
            if (turnedAt < 0 && Text("Label31") == QStringLiteral("   Il est   00:00:00")) turnedAt = clock.elapsed();
        });
        RunRefreshesByThemselves();
        form_->Form_Load();
        QTRY_COMPARE(Text("Label31"), QStringLiteral("   Il est   23:59:59"));
        QCOMPARE(Text("Label1"), QStringLiteral("Aujourd'hui: dimanche  06 décembre 2026"));
        QCOMPARE(runs, 1);

        qint64 secondAt = -1;
        const double msToMidnight = (midnight - calendar::CurrentDateTime()) * 86400 * 1000;
        QTimer::singleShot(std::max(0, static_cast<int>(std::ceil(msToMidnight))), Qt::PreciseTimer, this,
                           [&] { secondAt = clock.elapsed(); });
        QTRY_VERIFY_WITH_TIMEOUT(secondAt >= 0 && turnedAt >= 0, 10000);
        const qint64 lag = turnedAt - secondAt;
        QVERIFY2(lag < 100, qPrintable(QStringLiteral("the clock line turned %1 ms after the second").arg(lag)));
        QCOMPARE(Text("Label1"), QStringLiteral("Aujourd'hui: lundi  07 décembre 2026"));
        QCOMPARE(test::Cal1Of(*form_)->Widget()->selectedDate(), QDate(2026, 12, 7));  // left on today, it follows
        // From the turn: the second and the run that the selection's move asks for, and
        // one for each second that a loaded machine let pass before this line. (Before
        // it, the start-up's own refreshes, which a loaded machine spreads out.)
        const qint64 secondsSinceTheTurn = (clock.elapsed() - turnedAt) / 1000;
        QVERIFY2(
            runsAfterTheTurn <= 2 + secondsSinceTheTurn,
            qPrintable(
                QStringLiteral("%1 refreshes, %2 s after the turn").arg(runsAfterTheTurn).arg(secondsSinceTheTurn)));
    }

    // At any change of day a selection left on today follows it, and one moved to
    // another day stays.
    void theSelectionFollowsTodayAtTheChangeOfDay_data() {
        QTest::addColumn<QDate>("chosen");  // null: left on today
        QTest::addColumn<double>("stepDays");
        QTest::addColumn<QByteArray>("zone");  // the zone after the step
        QTest::addColumn<QDate>("selected");
        const QByteArray utc("UTC0");
        QTest::newRow("left on today, the clock steps a day forward") << QDate() << 1.0 << utc << QDate(2026, 12, 7);
        QTest::newRow("left on today, the clock steps two days back") << QDate() << -2.0 << utc << QDate(2026, 12, 4);
        QTest::newRow("left on today, the zone moves five hours east, past midnight")
            << QDate() << 0.0 << QByteArray("ZZZ-5") << QDate(2026, 12, 7);
        QTest::newRow("moved to 1 December, it stays") << QDate(2026, 12, 1) << 1.0 << utc << QDate(2026, 12, 1);
        QTest::newRow("moved to tomorrow, it stays when tomorrow comes")
            << QDate(2026, 12, 7) << 1.0 << utc << QDate(2026, 12, 7);
    }

    void theSelectionFollowsTodayAtTheChangeOfDay() {
        QFETCH(QDate, chosen);
        QFETCH(double, stepDays);
        QFETCH(QByteArray, zone);
        QFETCH(QDate, selected);
        const QByteArray savedZone = qgetenv("TZ");
        qputenv("TZ", "UTC0");
        const calendar::SerialDate lateEvening = calendar::MakeDate(2026, 12, 6) + 22.0 / 24;
        calendar::SetRunningClock(lateEvening);
        RunRefreshesByThemselves();
        form_->Form_Load();
        QTRY_VERIFY(Text("Label1") != QStringLiteral("Label1"));
        if (chosen.isValid()) Select(chosen);
        const QString before = Text("Label1");
        if (stepDays != 0) calendar::SetRunningClock(lateEvening + stepDays);
        qputenv("TZ", zone);
        QTRY_VERIFY(Text("Label1") != before);
        QCOMPARE(test::Cal1Of(*form_)->Widget()->selectedDate(), selected);
        QTRY_COMPARE(Text("Label3"), FreshPanels(selected).filter("Label3:")[0].mid(8));
        savedZone.isNull() ? qunsetenv("TZ") : qputenv("TZ", savedZone);
    }

    // Unseen, the window does not refresh at each second; seen again, its first frame
    // shows the second of that moment, not the one it stopped on.
    void unseenTheWindowRestsAndItsFirstFrameBackIsOfThisSecond() {
        calendar::SetRunningClock(kSundayMorning);
        int runs = 0;
        connect(test::Named<RefreshGate>(*form_, "Timer1"), &RefreshGate::Timer, this, [&runs] { ++runs; });
        RunRefreshesByThemselves();
        form_->Form_Load();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        QTRY_VERIFY(Text("Label31") != QStringLiteral("Label31"));

        form_->hide();
        QCoreApplication::processEvents();
        const int runsWhenHidden = runs;
        QTest::qWait(2100);
        QCOMPARE(runs, runsWhenHidden);

        QString firstPainted;
        PaintWatch watch(*test::Named<TextLabel>(*form_, "Label31"), firstPainted);
        const QTime shownAt = QTime::fromString(
            QString::fromStdString(calendar::FormatDate(calendar::CurrentDateTime(), "hh:mm:ss", {})), "hh:mm:ss");
        form_->show();
        QTRY_VERIFY(!firstPainted.isEmpty());
        const QTime painted = QTime::fromString(firstPainted.mid(12), "hh:mm:ss");
        QVERIFY2(painted >= shownAt, qPrintable(firstPainted + " < " + shownAt.toString()));
    }

    // Every way of changing the selection runs both refreshes at once, with no tick
    // to wait for, and leaves the window as a fresh start on the same date.
    void everyChangeOfTheSelectionShowsAtOnce() {
        RunRefreshesByThemselves();
        form_->Form_Load();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        Select(QDate(2024, 12, 15));
        QTRY_COMPARE(Text("Label32").isEmpty(), false);
        QCoreApplication::processEvents();

        QCalendarWidget* calendar = test::Cal1Of(*form_)->Widget();
        auto* days = calendar->findChild<QAbstractItemView*>();
        QVERIFY(days);
        const auto pageArrow = [calendar](const char* name) {
            return calendar->findChild<QToolButton*>(QString::fromLatin1(name));
        };
        const std::pair<const char*, std::function<void()>> changes[] = {
            // Into another year: another leap-year sentence, and the new name day at once.
            {">>", [this] { QTest::mouseClick(test::Named<QPushButton>(*form_, "avance"), Qt::LeftButton); }},
            {"a key in the calendar", [days] { QTest::keyClick(days, Qt::Key_Right); }},
            {"<<", [this] { QTest::mouseClick(test::Named<QPushButton>(*form_, "recul"), Qt::LeftButton); }},
            {"the calendar's own arrow",
             [&] { QTest::mouseClick(pageArrow("qt_calendar_nextmonth"), Qt::LeftButton); }},
            {"Aujourd'hui", [this] { QTest::mouseClick(test::Named<QPushButton>(*form_, "cejour"), Qt::LeftButton); }},
        };
        for (const auto& [what, change] : changes) {
            const QStringList before = PanelsOf(*form_);
            change();
            QCoreApplication::processEvents();  // one turn of the event loop
            QVERIFY2(PanelsOf(*form_) != before, what);
            QCOMPARE(PanelsOf(*form_), FreshPanels(calendar->selectedDate()));
        }
    }

    // The program folder and the picture in use are watched: a picture replaced,
    // removed and put back shows at once, not at the next second.
    void aPictureReplacedRemovedOrRestoredShowsAtOnce() {
        const QString path = DataFile(QStringLiteral("20.gif"));
        const QByteArray waxing = test::BytesOf(path);
        const QByteArray full = test::BytesOf(DataFile(QStringLiteral("15.gif")));
        const auto shown = [this] { return test::Named<PictureControl>(*form_, "Image1")->pixmap().toImage(); };
        RunRefreshesByThemselves();
        form_->Form_Load();
        Select(QDate(2024, 3, 1));  // 20.gif
        QTRY_COMPARE(shown(), PictureOf(path));

        QVERIFY(test::WriteBytes(path, full));  // rewritten in place
        QTRY_COMPARE_WITH_TIMEOUT(shown(), PictureOf(path), 100);
        QVERIFY(QFile::remove(path));
        QTRY_VERIFY_WITH_TIMEOUT(shown().isNull(), 100);
        QVERIFY(test::WriteBytes(path, waxing));
        QTRY_COMPARE_WITH_TIMEOUT(shown(), PictureOf(path), 100);
        // Replaced by another file renamed over it, as editors save.
        const QString other = DataFile(QStringLiteral("20.gif.new"));
        QVERIFY(test::WriteBytes(other, full));
        QVERIFY(std::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()) == 0);
        QTRY_COMPARE_WITH_TIMEOUT(shown(), PictureOf(path), 100);
        QCOMPARE(shown(), PictureOf(DataFile(QStringLiteral("15.gif"))));
    }

    // A time zone changed while the program runs shows in the today line and the
    // clock within a second.
    void aChangedTimeZoneShowsWithinASecond() {
        calendar::SetFixedClock(std::nullopt);
        const QByteArray savedZone = qgetenv("TZ");
        qputenv("TZ", "UTC0");
        RunRefreshesByThemselves();
        form_->Form_Load();
        QTRY_VERIFY(Text("Label31") != QStringLiteral("Label31"));
        const auto hourShown = [this] { return Text("Label31").mid(12, 2).toInt(); };
        const int utcHour = hourShown();
        qputenv("TZ", "ZZZ-5");                                            // five hours east
        QTRY_COMPARE_WITH_TIMEOUT(hourShown(), (utcHour + 5) % 24, 1500);  // unless the hour turns meanwhile
        savedZone.isNull() ? qunsetenv("TZ") : qputenv("TZ", savedZone);
    }

    // The panels write what the command says of the selected day and of its year, on
    // the first and last days offered, a common century year's 1 March, the days before
    // and after each victory first shows, and a leap day.
    void thePanelsShowTheFactsOfTheDayAndOfItsYear_data() {
        QTest::addColumn<QDate>("day");
        for (const QDate day : {QDate(1583, 1, 1), QDate(1900, 3, 1), QDate(1918, 11, 11), QDate(1919, 11, 11),
                                QDate(1945, 5, 8), QDate(1946, 5, 8), QDate(2024, 2, 29), QDate(9999, 12, 31)})
            QTest::newRow(qPrintable(day.toString(Qt::ISODate))) << day;
    }

    void thePanelsShowTheFactsOfTheDayAndOfItsYear() {
        QFETCH(QDate, day);
        form_->Form_Load();
        Select(day);
        TickBoth();
        const QString date = day.toString(Qt::ISODate);
        const QJsonObject facts = QJsonDocument::fromJson(CommandOutput({QStringLiteral("--json"), date})).object();
        const QStringList lines = QString::fromUtf8(CommandOutput({QStringLiteral("--texte"), date}))
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(facts.value(QStringLiteral("date")).toString() == date && lines.size() > 3, qPrintable(date));
        QCOMPARE(Text("Label34"), lines.last());  // the year's sentence ends the text
        QCOMPARE(Text("Label3"),
                 QStringLiteral("%1 em jour de l'année").arg(facts[QStringLiteral("jour_de_l_annee")].toInt()));
        QCOMPARE(Text("Label4"), QStringLiteral("   Semaine : %1").arg(facts[QStringLiteral("semaine")].toInt()));
        QCOMPARE(Text("Label8"), QString::number(day.year()));
        // The name-day list is laid out for a leap year, whatever the day's year.
        QCOMPARE(test::Named<QComboBox>(*form_, "Combo1")->currentIndex(),
                 QDate(2000, day.month(), day.day()).dayOfYear() - 1);
        QCOMPARE(Text("Label32"), QStringLiteral("fête à souhaiter : ") + facts[QStringLiteral("fete")].toString());
        QCOMPARE(test::Named<PictureControl>(*form_, "Image1")->pixmap().toImage(),
                 PictureOf(DataFile(QStringLiteral("%1.gif").arg(facts[QStringLiteral("lune")].toInt()))));
        // Each row of the holiday panel: the date that `--ics` gives its holiday that
        // year, written by Qt's French locale in the row's pattern, hidden and empty
        // where the year has no such holiday.
        const QMap<QString, QDate> holidays =
            HolidaysOfCalendar(CommandOutput({QStringLiteral("--ics"), QString::number(day.year())}));
        const QLocale french(QLocale::French, QLocale::France);
        for (std::size_t row = 0; row < calendar::kPanelHolidayCount; ++row) {
            const calendar::HolidayRow& holiday = calendar::PanelHolidays()[row];
            const QDate kept = holidays.value(FromUtf8(holiday.key));
            const QLabel* value = form_->findChild<QLabel*>(form1_layout::Tables::kHolidayRows[row].valueName);
            // The panel's patterns write a month "mmmm" (whole) or "mmm" (short), as Qt's "MMMM" and "MMM".
            const QString pattern = FromUtf8(holiday.pattern).replace(QLatin1Char('m'), QLatin1Char('M'));
            QCOMPARE(value->isHidden(), !kept.isValid());
            QCOMPARE(value->text(), kept.isValid() ? french.toString(kept, pattern) : QString());
        }
        QCOMPARE(test::DayTooltip(*test::Cal1Of(*form_), day), TooltipOfText(lines));
    }

    // Each region of the menu's « Jours fériés », chosen there: the grid marks its days
    // with the nation's and the tooltips name them and tell the sun of its chef-lieu at
    // once, every day of a year, the settings file keeps it under the key the terminal
    // reads, and a window started afresh has it.
    void aRegionChosenInTheMenuShowsAtOnceAndIsKept() {
        QTemporaryDir config;
        const QByteArray kept = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        DestroyWindow();
        CreateWindow();
        form_->Form_Load();
        QStringList differences;
        for (const calendar::RegionRow& row : calendar::kRegionTable) {
            const QString name = QString::fromUtf8(row.name.data(), qsizetype(row.name.size()));
            form_->ShowMenu(QPoint(0, 0));
            auto* menu = form_->findChild<QMenu*>(QStringLiteral("Form1Menu"), Qt::FindDirectChildrenOnly);
            QVERIFY(menu);
            QAction* choice = nullptr;
            QStringList entries;
            for (QAction* entry : menu->findChild<QMenu*>(QStringLiteral("RegionMenu"))->actions()) {
                entries << entry->text();
                if (entry->text() == name) choice = entry;
            }
            QVERIFY2(choice, qPrintable(entries.join(QLatin1Char('|'))));
            // The page shown when the choice is made is checked first, as it stands.
            test::Cal1Of(*form_)->Widget()->setCurrentPage(2024, 12);
            choice->trigger();
            delete menu;
            for (const int month : {12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}) {
                test::Cal1Of(*form_)->Widget()->setCurrentPage(2024, month);
                for (QDate day(2024, month, 1); day.month() == month; day = day.addDays(1)) {
                    const QTextCharFormat format = test::Cal1Of(*form_)->Widget()->dateTextFormat(day);
                    const QStringList lines = TerminalText(day, row.key);
                    const bool holiday = std::ranges::any_of(
                        lines, [](const QString& line) { return line.startsWith(QStringLiteral("Jour férié : ")); });
                    if ((format.fontWeight() == QFont::Bold) != holiday ||
                        test::DayTooltip(*test::Cal1Of(*form_), day) != TooltipOfText(lines)) {
                        differences << name + QLatin1Char(' ') + day.toString(Qt::ISODate);
                    }
                }
            }
            QCOMPARE(settings::SettingsValue(settings::SettingsFilePath(), settings::kRegionKey),
                     std::optional(std::string(row.key)));
            QCOMPARE(Form1(folder_.path()).HolidayRegion(), row.region);
        }
        if (kept.isNull()) {
            qunsetenv("XDG_CONFIG_HOME");
        } else {
            qputenv("XDG_CONFIG_HOME", kept);
        }
        QVERIFY2(differences.isEmpty(), qPrintable(differences.mid(0, 10).join(QLatin1Char('\n'))));
    }

    // The terminal writes the names of France's French without asking a locale: they
    // are those the window shows in every French locale.
    void terminalNamesAreThoseOfEveryFrenchLocale() {
        for (const QLocale& locale :
             QLocale::matchingLocales(QLocale::French, QLocale::AnyScript, QLocale::AnyTerritory)) {
            const calendar::LocaleNames names = LocaleNamesOf(GadgetLocale(locale));
            QVERIFY2(names.weekdayNames == calendar::FrenchNames().weekdayNames, qPrintable(locale.name()));
            QVERIFY2(names.monthNames == calendar::FrenchNames().monthNames, qPrintable(locale.name()));
        }
    }
};

SOLVANE_TEST_CLASS(WindowRefreshTest)
#include "window_refresh_test.moc"
