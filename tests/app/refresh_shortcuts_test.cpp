// The work the window leaves out to stay cheap while it sits on the desktop, and
// what it must still do despite it: a tick that changes no text paints no label, but
// a changed text is shown, sized and painted at once; the moon picture is read again
// at every tick and an unchanged one is not painted again, but every change of the
// file's bytes shows at the next tick; the calendar's page arrows come from the
// window's own style.

#include <QCalendarWidget>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <algorithm>

#include "app/window/form1.h"
#include "calendar/serial_date.h"
#include "tests/app/test_classes.h"
#include "tests/app/window_fixture.h"

namespace {

using test::kSundayMorning;
using test::PictureOf;

}  // namespace

class RefreshShortcutsTest : public test::WindowTest {
    Q_OBJECT

    // Counts the paint events that reach each watched widget.
    class PaintCounter : public QObject {
    public:
        int Count(const QObject* widget) const { return paints_.value(widget); }
        void Clear() { paints_.clear(); }

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++paints_[watched];
            return false;
        }

    private:
        QHash<const QObject*, int> paints_;
    };

    PaintCounter paints_;

    QImage MoonShown() const { return test::Named<PictureControl>(*form_, "Image1")->pixmap().toImage(); }

    // Paints whatever the ticks left to paint. The window paints all that waits in
    // one pass, so once a label that nothing else asked for is painted, so is the
    // rest. Label9 ("Nouvel an :") overlaps no other label.
    bool PaintPending() {
        const int before = paints_.Count(test::Named<TextLabel>(*form_, "Label9"));
        test::Named<TextLabel>(*form_, "Label9")->update();
        return QTest::qWaitFor([&] { return paints_.Count(test::Named<TextLabel>(*form_, "Label9")) > before; });
    }

    // The labels and the moon picture painted since the last Clear, leaving out
    // those that lie under a label of `changed` or under Label9 (a label lies under
    // itself).
    QStringList PaintedBesides(QList<const QLabel*> changed) const {
        changed << test::Named<TextLabel>(*form_, "Label9");
        QStringList painted;
        QList<const QLabel*> watched{test::Named<PictureControl>(*form_, "Image1")};
        for (const TextLabel* label : form_->findChildren<TextLabel*>()) watched << label;
        for (const QLabel* label : watched) {
            const bool under = std::any_of(changed.begin(), changed.end(), [label](const QLabel* other) {
                return other->geometry().intersects(label->geometry());
            });
            if (!under && paints_.Count(label) > 0) painted << label->objectName();
        }
        return painted;
    }

    // What is wrong with a calendar arrow's picture, if anything: it must be a
    // triangle in the calendar's title colour, RGB(0,0,160), whose broad side lies
    // on the right when it points back (left) and on the left when it points forward.
    static QString ArrowProblem(const QToolButton* button, bool forward) {
        if (!button) return QStringLiteral("no arrow button");
        const QImage picture = button->icon().pixmap(16, 16).toImage();
        int left = 0, right = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QColor pixel = picture.pixelColor(x, y);
                if (pixel.alpha() < 128) continue;
                if (pixel.red() > 40 || pixel.green() > 40 || pixel.blue() < 100) {
                    return button->objectName() + QStringLiteral(": not the calendar's own arrow");
                }
                (x < picture.width() / 2 ? left : right) += 1;
            }
        }
        if (left + right == 0) return button->objectName() + QStringLiteral(": an empty picture");
        if (forward ? left <= right : left >= right) return button->objectName() + QStringLiteral(": the wrong way");
        return {};
    }

    static QString ArrowsProblem(const QCalendarWidget* calendar) {
        const auto arrow = [calendar](const char* name) {
            return calendar->findChild<QToolButton*>(QString::fromLatin1(name));
        };
        const QString back = ArrowProblem(arrow("qt_calendar_prevmonth"), false);
        return back.isEmpty() ? ArrowProblem(arrow("qt_calendar_nextmonth"), true) : back;
    }

private slots:
    void init() {
        CreateWindow();
        form_->Form_Load();
        for (TextLabel* label : form_->findChildren<TextLabel*>()) label->installEventFilter(&paints_);
        test::Named<PictureControl>(*form_, "Image1")->installEventFilter(&paints_);
        paints_.Clear();
    }

    void aTickThatChangesNoTextPaintsNoLabel() {
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        Select(QDate(2024, 6, 1));
        TickBoth();
        QVERIFY(PaintPending());
        paints_.Clear();

        TickBoth();
        TickBoth();
        QVERIFY(PaintPending());
        QCOMPARE(PaintedBesides({}), QStringList());
    }

    void aChangedTextIsShownSizedAndPaintedAtTheNextTick() {
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        Select(QDate(2024, 6, 1));
        TickBoth();
        QVERIFY(PaintPending());

        // One second later only the clock changes.
        paints_.Clear();
        calendar::SetFixedClock(kSundayMorning + 1 / 86400.0);
        TickBoth();
        QVERIFY(PaintPending());
        QCOMPARE(test::Named<TextLabel>(*form_, "Label31")->text(), QStringLiteral("   Il est   09:05:08"));
        QVERIFY(paints_.Count(test::Named<TextLabel>(*form_, "Label31")) > 0);
        QCOMPARE(PaintedBesides({test::Named<TextLabel>(*form_, "Label31")}), QStringList());

        // Another year: every line of the date panel, and the name day at the tick
        // after it, takes the new date's text; the day-of-year line narrows to it.
        const int wideDayLine = test::Named<TextLabel>(*form_, "Label3")->width();
        paints_.Clear();
        Select(QDate(2025, 1, 1));
        TickBoth();
        TickBoth();
        QVERIFY(PaintPending());
        QCOMPARE(test::Named<TextLabel>(*form_, "Label34")->text(),
                 QStringLiteral("L'année 2025 n'est pas bissextile."));
        QCOMPARE(test::Named<TextLabel>(*form_, "Label3")->text(), QStringLiteral("1 em jour de l'année"));
        QCOMPARE(test::Named<TextLabel>(*form_, "Label4")->text(), QStringLiteral("   Semaine : 1"));
        QCOMPARE(test::Named<TextLabel>(*form_, "Label8")->text(), QStringLiteral("2025"));
        QCOMPARE(test::Named<TextLabel>(*form_, "Label10")->text(), QStringLiteral("mercredi 01 janvier "));
        QCOMPARE(test::Named<QComboBox>(*form_, "Combo1")->currentIndex(), 0);
        QCOMPARE(test::Named<TextLabel>(*form_, "Label3")->width(),
                 test::Named<TextLabel>(*form_, "Label3")
                     ->fontMetrics()
                     .horizontalAdvance(test::Named<TextLabel>(*form_, "Label3")->text()));
        QVERIFY(test::Named<TextLabel>(*form_, "Label3")->width() < wideDayLine);
        for (const TextLabel* label :
             {test::Named<TextLabel>(*form_, "Label34"), test::Named<TextLabel>(*form_, "Label3"),
              test::Named<TextLabel>(*form_, "Label4"), test::Named<TextLabel>(*form_, "Label8"),
              test::Named<TextLabel>(*form_, "Label10"), test::Named<TextLabel>(*form_, "Label32")}) {
            QVERIFY2(paints_.Count(label) > 0, qPrintable(label->objectName()));
        }
    }

    // A label written both ways keeps one text: a text given through setText is the
    // one SetUtf8Text compares with, so writing the earlier text again shows it again.
    void theTwoWaysOfWritingALabelAgree() {
        TextLabel label;
        label.SetUtf8Text("Lundi de Pâques :");
        QCOMPARE(label.text(), QStringLiteral("Lundi de Pâques :"));
        label.setText(QStringLiteral("Noël :"));
        QCOMPARE(label.Utf8Text(), std::string("Noël :"));
        label.SetUtf8Text("Lundi de Pâques :");
        QCOMPARE(label.text(), QStringLiteral("Lundi de Pâques :"));
        label.setText(QStringLiteral("Lundi de Pâques :"));
        QCOMPARE(label.Utf8Text(), std::string("Lundi de Pâques :"));

        FitLabel fit;
        fit.resize(6, 14);
        fit.SetUtf8Text("366 em jour de l'année");
        const int wide = fit.width();
        QCOMPARE(wide, fit.fontMetrics().horizontalAdvance(fit.text()));
        fit.setText(QStringLiteral("1 em jour de l'année"));
        QVERIFY(fit.width() < wide);
        fit.SetUtf8Text("366 em jour de l'année");
        QCOMPARE(fit.width(), wide);
        QCOMPARE(fit.height(), 14);
    }

    // Same length, same modification time, other pixels: only the bytes tell.
    void aPictureRewrittenWithTheSameSizeAndTimeShowsAtTheNextTick() {
        Select(QDate(2024, 3, 1));  // 20.gif
        TickNameDayAndMoon();
        const QString path = DataFile(QStringLiteral("20.gif"));
        const QImage before = PictureOf(path);
        QCOMPARE(MoonShown(), before);

        // The GIF's global colour table follows its 13-byte header: inverting it
        // changes every pixel's colour and nothing else.
        QByteArray bytes = test::BytesOf(path);
        QVERIFY(bytes.size() > 13 && (bytes[10] & 0x80));
        const int tableBytes = 3 * (2 << (bytes[10] & 0x07));
        for (int i = 13; i < 13 + tableBytes; ++i) bytes[i] = char(~bytes[i]);
        const QFileInfo original(path);
        QVERIFY(test::WriteBytes(path, bytes));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(original.lastModified(), QFileDevice::FileModificationTime));
        file.close();
        const QFileInfo rewritten(path);
        QCOMPARE(rewritten.size(), original.size());
        QCOMPARE(rewritten.lastModified(), original.lastModified());

        TickNameDayAndMoon();
        const QImage after = PictureOf(path);
        QVERIFY(after != before);
        QCOMPARE(MoonShown(), after);
    }

    void aPictureMissingAtTheFirstTickLeavesTheBoxEmpty() {
        QVERIFY(!MoonShown().isNull());  // the picture the window is built with
        Select(QDate(2024, 3, 1));
        QVERIFY(QFile::remove(DataFile(QStringLiteral("20.gif"))));
        TickNameDayAndMoon();
        QVERIFY(test::Named<PictureControl>(*form_, "Image1")->pixmap().isNull());
        TickNameDayAndMoon();
        QVERIFY(test::Named<PictureControl>(*form_, "Image1")->pixmap().isNull());
    }

    void goingBackToADateShowsItsPictureAgain() {
        Select(QDate(2024, 2, 29));  // 19.gif
        TickNameDayAndMoon();
        Select(QDate(2024, 3, 1));  // 20.gif
        TickNameDayAndMoon();
        QCOMPARE(MoonShown(), PictureOf(DataFile(QStringLiteral("20.gif"))));
        Select(QDate(2024, 2, 29));
        TickNameDayAndMoon();
        QCOMPARE(MoonShown(), PictureOf(DataFile(QStringLiteral("19.gif"))));
    }

    // The picture is read by its contents, whatever its name says.
    void aPngNamedGifShows() {
        QImage green(30, 30, QImage::Format_RGB32);
        green.fill(QColor(0, 200, 0));
        QVERIFY(green.save(DataFile(QStringLiteral("20.gif")), "PNG"));
        Select(QDate(2024, 3, 1));
        TickNameDayAndMoon();
        QCOMPARE(MoonShown().convertToFormat(QImage::Format_RGB32), green);
    }

    // A file too large to be kept for comparison is decoded from the disk at every
    // tick: its picture shows, and so does the picture of the file that replaces it.
    void aVeryLargeFileShowsAndIsFollowed() {
        const QImage waxing = PictureOf(DataFile(QStringLiteral("20.gif")));
        const QImage full = PictureOf(DataFile(QStringLiteral("15.gif")));
        QVERIFY(!waxing.isNull() && !full.isNull() && waxing != full);
        const QString path = DataFile(QStringLiteral("20.gif"));
        const QByteArray padding(5 * 1024 * 1024, '\0');  // after the GIF's end, never read as picture
        QVERIFY(test::WriteBytes(path, test::BytesOf(path) + padding));
        Select(QDate(2024, 3, 1));
        TickNameDayAndMoon();
        QCOMPARE(MoonShown(), waxing);

        QVERIFY(test::WriteBytes(path, test::BytesOf(DataFile(QStringLiteral("15.gif"))) + padding));
        TickNameDayAndMoon();
        QCOMPARE(MoonShown(), full);
    }

    // The calendar asks the style for its arrows when it is built and again when the
    // layout direction changes; both times it gets the window's own.
    void theCalendarArrowsAreItsOwnEvenAfterTheCalendarAsksAgain() {
        QCalendarWidget* calendar = test::Cal1Of(*form_)->Widget();
        QString problem = ArrowsProblem(calendar);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        calendar->setLayoutDirection(Qt::RightToLeft);
        calendar->setLayoutDirection(Qt::LeftToRight);
        problem = ArrowsProblem(calendar);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
};

SOLVANE_TEST_CLASS(RefreshShortcutsTest)
#include "refresh_shortcuts_test.moc"
