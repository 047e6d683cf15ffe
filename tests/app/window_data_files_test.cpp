// What the window shows when its data files are missing, empty, short or replaced:
// the name-day list read at start-up, the moon pictures read at every tick.

#include <sys/stat.h>
#include <QFile>
#include <QtTest>

#include "app/window/form1.h"
#include "namedays/name_day_file.h"
#include "tests/app/test_classes.h"
#include "tests/app/window_fixture.h"

using test::PictureOf;

class WindowDataFilesTest : public test::WindowTest {
    Q_OBJECT

private slots:
    void withoutTheNameDayListStartUpFailsNamingThePath() {
        QVERIFY(QFile::remove(DataFile("fetes.txt")));
        try {
            form_->Form_Load();
            QFAIL("start-up went on without its name-day list");
        } catch (const namedays::NameDayFileError& error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains(DataFile("fetes.txt")), error.what());
        }
    }

    void anEmptyListShowsNoNameAndRunsOn() {
        QFile empty(DataFile("fetes.txt"));
        QVERIFY(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
        empty.close();
        form_->Form_Load();
        Select(QDate(2024, 5, 1));
        TickBoth();
        QCOMPARE(test::Named<QComboBox>(*form_, "Combo1")->count(), 0);
        QCOMPARE(Text("Label32"), QStringLiteral("fête à souhaiter : "));
    }

    // A list of 365 names lacks the last position, which 31 December takes in every year.
    void aListTooShortShowsNoNameOnTheLastDay() {
        QFile file(DataFile("fetes.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (int day = 1; day <= 365; ++day)
            file.write(QByteArray::number(day) + ",Nom" + QByteArray::number(day) + "\r\n");
        file.close();
        form_->Form_Load();
        Select(QDate(2023, 12, 30));
        TickBoth();
        QCOMPARE(Text("Label32"), QStringLiteral("fête à souhaiter : Nom365"));
        Select(QDate(2023, 12, 31));
        TickBoth();
        QCOMPARE(Text("Label32"), QStringLiteral("fête à souhaiter : "));
    }

    void aMoonPictureRemovedShowsNothingUntilItIsBack() {
        form_->Form_Load();
        Select(QDate(2024, 2, 29));
        TickNameDayAndMoon();
        const QImage shown = PictureOf(DataFile("19.gif"));
        QCOMPARE(test::Named<PictureControl>(*form_, "Image1")->pixmap().toImage(), shown);

        QVERIFY(QFile::rename(DataFile("19.gif"), DataFile("19.away")));
        TickNameDayAndMoon();
        QVERIFY(test::Named<PictureControl>(*form_, "Image1")->pixmap().isNull());

        QVERIFY(QFile::rename(DataFile("19.away"), DataFile("19.gif")));
        TickNameDayAndMoon();
        QCOMPARE(test::Named<PictureControl>(*form_, "Image1")->pixmap().toImage(), shown);
    }

    void aMoonPictureReplacedShowsAtTheNextTick() {
        form_->Form_Load();
        Select(QDate(2024, 3, 1));
        TickNameDayAndMoon();
        // Replace 20.gif by the full moon: the same name, other pixels.
        QVERIFY(QFile::remove(DataFile("20.gif")));
        QVERIFY(QFile::copy(DataFile("15.gif"), DataFile("20.gif")));
        TickNameDayAndMoon();
        QCOMPARE(test::Named<PictureControl>(*form_, "Image1")->pixmap().toImage(), PictureOf(DataFile("15.gif")));
    }

    void aFileThatIsNoPictureShowsNothing() {
        form_->Form_Load();
        Select(QDate(2024, 3, 1));
        QFile file(DataFile("20.gif"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("GIF89a, but nothing after it");
        file.close();
        TickNameDayAndMoon();
        QVERIFY(test::Named<PictureControl>(*form_, "Image1")->pixmap().isNull());
    }

    // A pipe in the picture's place, which nothing writes into, holds up no tick: a
    // tick that opened it would wait for ever, and the test's time limit would end it.
    void aPipeInThePicturesPlaceShowsNothing() {
        form_->Form_Load();
        Select(QDate(2024, 3, 1));
        TickNameDayAndMoon();
        QVERIFY(!test::Named<PictureControl>(*form_, "Image1")->pixmap().isNull());
        QVERIFY(QFile::remove(DataFile("20.gif")));
        QCOMPARE(::mkfifo(QFile::encodeName(DataFile("20.gif")).constData(), 0600), 0);
        TickNameDayAndMoon();
        QVERIFY(test::Named<PictureControl>(*form_, "Image1")->pixmap().isNull());
    }
};

SOLVANE_TEST_CLASS(WindowDataFilesTest)
#include "window_data_files_test.moc"
