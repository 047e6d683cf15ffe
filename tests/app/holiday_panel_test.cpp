// The holiday panel for a place abroad, offscreen: that place's holidays in the order
// of their dates, their names as captions, every name whole or in its tooltip; a
// place with more holidays than rows says how many more on the last row; back to
// France, the panel is the one it was, pixel for pixel.

#include <QFontMetrics>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextCharFormat>
#include <QtTest>
#include <algorithm>

#include "app/window/form1.h"
#include "app/window/form1_layout.h"
#include "calendar/holidays.h"
#include "tests/app/test_classes.h"
#include "tests/app/window_fixture.h"

class HolidayPanelTest : public QObject, public test::WindowFixture {
    Q_OBJECT

    QTemporaryDir config_;  // the settings file the menu's choice is written to
    QByteArray keptConfig_;

    const TextLabel* Caption(std::size_t row) const {
        return form_->findChild<TextLabel*>(QString::fromLatin1(form1_layout::Tables::kHolidayRows[row].captionName));
    }
    const TextLabel* Value(std::size_t row) const {
        return form_->findChild<TextLabel*>(QString::fromLatin1(form1_layout::Tables::kHolidayRows[row].valueName));
    }

    // The panel of `region` for `year`, chosen as the menu chooses it.
    void ShowPanelOf(calendar::Region region, int year) {
        form_->SetHolidayRegion(region);
        Select(QDate(year, 6, 1));
        TickDatePanel();
    }

    static QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

private slots:
    void initTestCase() {
        PrepareLookAndFolder();
        keptConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
    }

    void cleanupTestCase() {
        if (keptConfig_.isNull()) {
            qunsetenv("XDG_CONFIG_HOME");
        } else {
            qputenv("XDG_CONFIG_HOME", keptConfig_);
        }
    }

    void init() {
        CreateWindow();
        form_->Form_Load();
        form_->show();
    }

    void cleanup() { DestroyWindow(); }

    // Each row, top to bottom, in the order of the dates: the holiday's name and " :",
    // shortened with « … » only where its box is too narrow, then the whole name in
    // the tooltip; its date as the nation's rows of November and December write theirs.
    void aPlaceShowsItsHolidaysInTheOrderOfTheirDates_data() {
        QTest::addColumn<int>("region");
        QTest::addColumn<int>("year");
        QTest::addColumn<QStringList>("rows");  // caption, tooltip, date
        QTest::newRow("Belgique 2024, ten holidays") << int(calendar::Region::Belgium) << 2024
                                                     << QStringList{"Nouvel An :|",
                                                                    "|lundi 01 janv. ",
                                                                    "Lundi de Pâques :|",
                                                                    "|lundi 01 avr. ",
                                                                    "Fête du Travail :|",
                                                                    "|mercredi 01 mai ",
                                                                    "Ascension :|",
                                                                    "|jeudi 09 mai ",
                                                                    "Lundi de Pentecôte :|",
                                                                    "|lundi 20 mai ",
                                                                    "Fête nationale :|",
                                                                    "|dimanche 21 juil. ",
                                                                    "Assomption :|",
                                                                    "|jeudi 15 août ",
                                                                    "Toussaint :|",
                                                                    "|vendredi 01 nov. ",
                                                                    "Armistice :|",
                                                                    "|lundi 11 nov. ",
                                                                    "Noël :|",
                                                                    "|mercredi 25 déc. "};
        QTest::newRow("Canada — Québec 2024, a name shortened")
            << int(calendar::Region::Quebec) << 2024
            << QStringList{"Jour de l'An :|",
                           "|lundi 01 janv. ",
                           "Vendredi saint :|",
                           "|vendredi 29 mars ",
                           "Journée nationale… :|Journée nationale des patriotes",
                           "|lundi 20 mai ",
                           "Fête nationale du Q… :|Fête nationale du Québec",
                           "|lundi 24 juin ",
                           "Fête du Canada :|",
                           "|lundi 01 juil. ",
                           "Fête du Travail :|",
                           "|lundi 02 sept. ",
                           "Action de grâce :|",
                           "|lundi 14 oct. ",
                           "Noël :|",
                           "|mercredi 25 déc. "};
    }

    void aPlaceShowsItsHolidaysInTheOrderOfTheirDates() {
        QFETCH(int, region);
        QFETCH(int, year);
        QFETCH(QStringList, rows);
        ShowPanelOf(calendar::Region(region), year);
        const std::size_t count = std::size_t(rows.size()) / 2;
        for (std::size_t row = 0; row < calendar::kPanelHolidayCount; ++row) {
            if (row >= count) {
                QVERIFY2(Caption(row)->isHidden() && Value(row)->isHidden(), qPrintable(QString::number(row)));
                continue;
            }
            const QStringList caption = rows[qsizetype(2 * row)].split(QLatin1Char('|'));
            QCOMPARE(Caption(row)->text(), caption[0]);
            QCOMPARE(Caption(row)->toolTip(), caption[1]);
            QCOMPARE(Value(row)->text(), rows[qsizetype(2 * row + 1)].mid(1));
            QVERIFY(Caption(row)->isVisible() && Value(row)->isVisible());
            // Every caption is whole within its box and ends on the nation's colon.
            const QRect box = Caption(row)->geometry();
            QVERIFY2(QFontMetrics(Caption(row)->font()).horizontalAdvance(Caption(row)->text()) <= box.width(),
                     qPrintable(Caption(row)->text()));
            QCOMPARE(box.right() + 1, 467);
        }
    }

    // More holidays than rows: the first eleven by date, then « et N autres » where the
    // twelfth date would be; the grid marks every one of them.
    void aPlaceWithMoreHolidaysThanRowsSaysHowManyMore_data() {
        QTest::addColumn<int>("region");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("more");
        QTest::newRow("Suisse — Jura 2024, fifteen") << int(calendar::Region::Jura) << 2024 << "et 4 autres";
        QTest::newRow("Monaco 2023, fourteen") << int(calendar::Region::Monaco) << 2023 << "et 3 autres";
        QTest::newRow("Monaco 2024, twelve: none more") << int(calendar::Region::Monaco) << 2024 << "";
    }

    void aPlaceWithMoreHolidaysThanRowsSaysHowManyMore() {
        QFETCH(int, region);
        QFETCH(int, year);
        QFETCH(QString, more);
        ShowPanelOf(calendar::Region(region), year);
        std::vector<calendar::Holiday> holidays = calendar::HolidaysOf(calendar::Region(region), year);
        std::ranges::stable_sort(holidays, {}, &calendar::Holiday::date);
        const std::size_t shown = more.isEmpty() ? holidays.size() : calendar::kPanelHolidayCount - 1;
        for (std::size_t row = 0; row < shown; ++row) {
            QVERIFY2(Caption(row)->text().startsWith(Utf8(holidays[row].row->name).left(8)),
                     qPrintable(Caption(row)->text()));
            QCOMPARE(Value(row)->text().isEmpty(), false);
        }
        if (!more.isEmpty()) {
            QVERIFY(Caption(shown)->isHidden());
            QCOMPARE(Value(shown)->text(), more);
            QVERIFY(Value(shown)->isVisible());
        }
        for (const calendar::Holiday& holiday : holidays) {
            const QDate day(year, calendar::MonthOf(holiday.date).value(), calendar::DayOf(holiday.date).value());
            test::Cal1Of(*form_)->Widget()->setCurrentPage(day.year(), day.month());
            QVERIFY2(test::Cal1Of(*form_)->Widget()->dateTextFormat(day).fontWeight() == QFont::Bold,
                     qPrintable(day.toString(Qt::ISODate)));
            QVERIFY2(test::DayTooltip(*test::Cal1Of(*form_), day).contains(Utf8(holiday.row->name)),
                     qPrintable(day.toString(Qt::ISODate)));
        }
    }

    // With no choice in the settings, the place of the locale of dates: the menu ticks
    // it and the panel shows it; nothing is written until the user chooses.
    void theFirstStartTakesTheLocalesCountry() {
        const QByteArray keptLocale = qgetenv("LC_ALL");
        qputenv("LC_ALL", "fr_CH.UTF-8");
        QTemporaryDir empty;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(empty.path()));
        DestroyWindow();
        CreateWindow();
        form_->Form_Load();
        QCOMPARE(form_->HolidayRegion(), calendar::Region::Vaud);
        Select(QDate(2024, 6, 1));
        TickDatePanel();
        QCOMPARE(Caption(1)->text(), QStringLiteral("Saint-Berthold :"));
        form_->ShowMenu(QPoint(0, 0));
        auto* menu = form_->findChild<QMenu*>(QStringLiteral("Form1Menu"), Qt::FindDirectChildrenOnly);
        QVERIFY(menu);
        QStringList checked;
        for (const QAction* entry : menu->findChild<QMenu*>(QStringLiteral("RegionMenu"))->actions()) {
            if (entry->isChecked()) checked << entry->text();
        }
        delete menu;
        qputenv("LC_ALL", keptLocale);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        QCOMPARE(checked, QStringList{QStringLiteral("Suisse — Vaud")});
        QVERIFY(QDir(empty.path()).isEmpty());
    }

    // France's panel after a place abroad: every label's text, box, alignment and
    // visibility, and the window's pixels, as before it.
    void backInFranceThePanelIsTheNationsAgain() {
        ShowPanelOf(calendar::Region::National, 2024);
        const QStringList before = PanelsOf(*form_);
        const QImage pixels = form_->grab().toImage();
        QList<QRect> boxes;
        for (const TextLabel* label : form_->findChildren<TextLabel*>()) boxes << label->geometry();
        ShowPanelOf(calendar::Region::Jura, 2024);
        QVERIFY(PanelsOf(*form_) != before);
        ShowPanelOf(calendar::Region::AlsaceMoselle, 2024);
        QCOMPARE(PanelsOf(*form_), before);
        QList<QRect> boxesAfter;
        for (const TextLabel* label : form_->findChildren<TextLabel*>()) boxesAfter << label->geometry();
        QCOMPARE(boxesAfter, boxes);
        QVERIFY(form_->grab().toImage() == pixels);
        for (std::size_t row = 0; row < calendar::kPanelHolidayCount; ++row) QVERIFY(Caption(row)->toolTip().isEmpty());
    }
};

SOLVANE_TEST_CLASS(HolidayPanelTest)
#include "holiday_panel_test.moc"
