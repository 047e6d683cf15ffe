// The work the window leaves out to stay cheap while it sits on the desktop, and
// what it must still do despite it: a tick that changes no text paints no label, but
// a changed text is shown, sized and painted at once; a moon picture is decoded only
// when the file's bytes change, but every change of them shows at the next tick; the
// calendar's page arrows come from the window's own style.

#include <QCalendarWidget>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "app/form1.h"
#include "calendar/serial_date.h"

namespace {

// 6 December 2026, a Sunday, at 09:05:07.
const calendar::SerialDate kSundayMorning = calendar::MakeDate(2026, 12, 6) + (9 * 3600 + 5 * 60 + 7) / 86400.0;

QImage PictureOf(const QString& path) { return QImageReader(path).read(); }

QByteArray BytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

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

}  // namespace

class RefreshShortcutsTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;  // a copy of the program's data files, changed by some tests
    Form1* form_ = nullptr;
    PaintCounter paints_;

    QString DataFile(const QString& name) const { return folder_.filePath(name); }

    void CopyDataFiles() {
        QStringList names{QStringLiteral("fetes.txt")};
        for (int n = 0; n < 30; ++n) names << QStringLiteral("%1.gif").arg(n);
        for (const QString& name : names) {
            QFile::remove(DataFile(name));
            QVERIFY2(QFile::copy(QStringLiteral(SOLVANE_PROGRAM_DIR "/") + name, DataFile(name)), qPrintable(name));
        }
    }

    void Select(QDate date) { form_->Cal1->Widget()->setSelectedDate(date); }
    void TickDatePanel() { QMetaObject::invokeMethod(form_, "Timer1_Timer", Qt::DirectConnection); }
    void TickNameDayAndMoon() { QMetaObject::invokeMethod(form_, "Timer2_Timer", Qt::DirectConnection); }
    void TickBoth() {
        TickDatePanel();
        TickNameDayAndMoon();
    }
    QImage MoonShown() const { return form_->Image1->pixmap().toImage(); }

    // Paints whatever the ticks left to paint. The window paints all that waits in
    // one pass, so once a label that nothing else asked for is painted, so is the
    // rest. Label9 ("Nouvel an :") overlaps no other label.
    void PaintPending() {
        const int before = paints_.Count(form_->Label9);
        form_->Label9->update();
        QTRY_VERIFY(paints_.Count(form_->Label9) > before);
    }

    // The labels painted since the last Clear, but for Label9 and those that lie
    // under a label in `changed`.
    QStringList PaintedBesides(const QList<QLabel*>& changed) const {
        QStringList painted;
        for (TextLabel* label : form_->findChildren<TextLabel*>()) {
            if (label == form_->Label9 || changed.contains(label)) continue;
            const bool under = std::any_of(changed.begin(), changed.end(),
                                           [label](const QLabel* other) { return other->geometry().intersects(label->geometry()); });
            if (!under && label->geometry().intersects(form_->Label9->geometry())) continue;
            if (!under && paints_.Count(label) > 0) painted << label->objectName();
        }
        return painted;
    }

    static bool LitLeftOfCentre(const QImage& picture, int& left, int& right) {
        left = right = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QColor pixel = picture.pixelColor(x, y);
                if (pixel.alpha() < 128) continue;
                // The calendar's title colour, RGB(0,0,160), and nothing else.
                if (pixel.red() > 40 || pixel.green() > 40 || pixel.blue() < 100) return false;
                (x < picture.width() / 2 ? left : right) += 1;
            }
        }
        return left + right > 0;
    }

    // The arrow buttons of the calendar show a triangle in the title's colour,
    // pointing back on the first and forward on the second.
    void VerifyCalendarArrows(QCalendarWidget* calendar) {
        const auto* back = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_prevmonth"));
        const auto* ahead = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_nextmonth"));
        QVERIFY(back && ahead);
        int left = 0, right = 0;
        QVERIFY2(LitLeftOfCentre(back->icon().pixmap(16, 16).toImage(), left, right), "not the calendar's own arrow");
        QVERIFY2(left < right, "the arrow back does not point left");  // its broad base on the right
        QVERIFY2(LitLeftOfCentre(ahead->icon().pixmap(16, 16).toImage(), left, right), "not the calendar's own arrow");
        QVERIFY2(left > right, "the arrow forward does not point right");
    }

private slots:
    void initTestCase() {
        ApplyFixedLook();
        QVERIFY(folder_.isValid());
    }

    void init() {
        CopyDataFiles();
        calendar::SetFixedClock(kSundayMorning);
        form_ = new Form1(folder_.path());
        form_->Timer1->SetEnabled(false);
        form_->Timer2->SetEnabled(false);
        form_->Form_Load();
        for (TextLabel* label : form_->findChildren<TextLabel*>()) label->installEventFilter(&paints_);
        paints_.Clear();
    }

    void cleanup() {
        delete form_;
        calendar::SetFixedClock(std::nullopt);
    }

    void aTickThatChangesNoTextPaintsNoLabel() {
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        Select(QDate(2024, 6, 1));
        TickBoth();
        PaintPending();
        paints_.Clear();

        TickBoth();
        TickBoth();
        PaintPending();
        QCOMPARE(PaintedBesides({}), QStringList());
    }

    void aChangedTextIsShownSizedAndPaintedAtTheNextTick() {
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        Select(QDate(2024, 6, 1));
        TickBoth();
        PaintPending();

        // One second later only the clock changes.
        paints_.Clear();
        calendar::SetFixedClock(kSundayMorning + 1 / 86400.0);
        TickBoth();
        PaintPending();
        QCOMPARE(form_->Label31->text(), QStringLiteral("   Il est   09:05:08"));
        QVERIFY(paints_.Count(form_->Label31) > 0);
        QCOMPARE(PaintedBesides({form_->Label31}), QStringList());

        // Another year: every line of the date panel, and the name day at the tick
        // after it, takes the new date's text; the day-of-year line narrows to it.
        const int wideDayLine = form_->Label3->width();
        paints_.Clear();
        Select(QDate(2025, 1, 1));
        TickBoth();
        TickBoth();
        PaintPending();
        QCOMPARE(form_->Label34->text(), QStringLiteral("L'année 2025 n'est pas bissextile."));
        QCOMPARE(form_->Label3->text(), QStringLiteral("1 em jour de l'année"));
        QCOMPARE(form_->Label4->text(), QStringLiteral("   Semaine : 1"));
        QCOMPARE(form_->Label8->text(), QStringLiteral("2025"));
        QCOMPARE(form_->Label10->text(), QStringLiteral("mercredi 01 janvier "));
        QCOMPARE(form_->Combo1->currentIndex(), 0);
        QCOMPARE(form_->Label3->width(), form_->Label3->fontMetrics().horizontalAdvance(form_->Label3->text()));
        QVERIFY(form_->Label3->width() < wideDayLine);
        for (QLabel* label : {static_cast<QLabel*>(form_->Label34), static_cast<QLabel*>(form_->Label3),
                              static_cast<QLabel*>(form_->Label4), static_cast<QLabel*>(form_->Label8),
                              static_cast<QLabel*>(form_->Label10), static_cast<QLabel*>(form_->Label32)}) {
            QVERIFY2(paints_.Count(label) > 0, qPrintable(label->objectName()));
        }
    }

    // A label written both ways keeps one text: a text given through setText is the
    // one SetUtf8Text compares with, so writing the earlier text again shows it again.
    void theTwoWaysOfWritingALabelAgree() {
        TextLabel label;
        label.SetUtf8Text("Pâcques :");
        QCOMPARE(label.text(), QStringLiteral("Pâcques :"));
        label.setText(QStringLiteral("Noël :"));
        QCOMPARE(label.Utf8Text(), std::string("Noël :"));
        label.SetUtf8Text("Pâcques :");
        QCOMPARE(label.text(), QStringLiteral("Pâcques :"));
        label.setText(QStringLiteral("Pâcques :"));
        QCOMPARE(label.Utf8Text(), std::string("Pâcques :"));

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
        QByteArray bytes = BytesOf(path);
        QVERIFY(bytes.size() > 13 && (bytes[10] & 0x80));
        const int tableBytes = 3 * (2 << (bytes[10] & 0x07));
        for (int i = 13; i < 13 + tableBytes; ++i) bytes[i] = char(~bytes[i]);
        const QDateTime modified = QFileInfo(path).lastModified();
        QVERIFY(WriteBytes(path, bytes));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(QFileInfo(path).size(), qint64(BytesOf(path).size()));

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
        QVERIFY(form_->Image1->pixmap().isNull());
        TickNameDayAndMoon();
        QVERIFY(form_->Image1->pixmap().isNull());
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
        const QString path = DataFile(QStringLiteral("20.gif"));
        const QByteArray padding(5 * 1024 * 1024, '\0');  // after the GIF's end, never read as picture
        const QByteArray waxing = BytesOf(DataFile(QStringLiteral("20.gif")));
        const QByteArray full = BytesOf(DataFile(QStringLiteral("15.gif")));
        QVERIFY(WriteBytes(path, waxing + padding));
        Select(QDate(2024, 3, 1));
        TickNameDayAndMoon();
        QCOMPARE(MoonShown(), PictureOf(DataFile(QStringLiteral("20.gif"))));

        QVERIFY(WriteBytes(path, full + padding));
        TickNameDayAndMoon();
        QCOMPARE(MoonShown(), PictureOf(DataFile(QStringLiteral("15.gif"))));
    }

    // The calendar asks the style for its arrows when it is built and again when the
    // layout direction changes; both times it gets the window's own.
    void theCalendarArrowsAreItsOwnEvenAfterTheCalendarAsksAgain() {
        QCalendarWidget* calendar = form_->Cal1->Widget();
        VerifyCalendarArrows(calendar);
        calendar->setLayoutDirection(Qt::RightToLeft);
        calendar->setLayoutDirection(Qt::LeftToRight);
        VerifyCalendarArrows(calendar);
    }
};

QTEST_MAIN(RefreshShortcutsTest)
#include "refresh_shortcuts_test.moc"
