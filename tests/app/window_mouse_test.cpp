// The window's outline, its answer to mouse presses (keep-above and the move by
// the mouse), its two timers, and its minimise and quit buttons. Mouse events go
// in through the native window, so that Qt picks the control under the mouse as it
// does for a user.

#include <QApplication>
#include <QPushButton>
#include <QWindow>
#include <QtTest>
#include <cmath>

#include "app/window/form1.h"
#include "tests/app/test_classes.h"
#include "tests/app/window_fixture.h"

class WindowMouseTest : public QObject {
    Q_OBJECT

    Form1* form_ = nullptr;

    QWindow* Handle() const { return form_->windowHandle(); }
    bool KeepsAbove() const { return Handle()->flags().testFlag(Qt::WindowStaysOnTopHint); }

private slots:
    void initTestCase() { ApplyFixedLook(); }

    void init() {
        form_ = new Form1(QStringLiteral(SOLVANE_PROGRAM_DIR));
        form_->Form_Load();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
    }

    void cleanup() { delete form_; }

    // The rounded rectangle from (1, 1) to (609, 447), right and bottom edges
    // exclusive, corners on ellipses of 30 x 30.
    void outlinePoints_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("inside");
        QTest::newRow("the leftmost column is out") << QPoint(0, 223) << false;
        QTest::newRow("the top row is out") << QPoint(304, 0) << false;
        QTest::newRow("the second column is in") << QPoint(1, 223) << true;
        QTest::newRow("the second row is in") << QPoint(304, 1) << true;
        QTest::newRow("the rightmost column is in") << QPoint(608, 223) << true;
        QTest::newRow("the bottom row is in") << QPoint(304, 446) << true;
        QTest::newRow("the top-left corner pixel is cut") << QPoint(1, 1) << false;
        QTest::newRow("the top-right corner pixel is cut") << QPoint(608, 1) << false;
        QTest::newRow("the bottom-left corner pixel is cut") << QPoint(1, 446) << false;
        QTest::newRow("the bottom-right corner pixel is cut") << QPoint(608, 446) << false;
        // Pixel centres 16.3 and 13.4 pixels from the corner circle's centre (16, 16).
        QTest::newRow("outside the corner's curve") << QPoint(4, 4) << false;
        QTest::newRow("inside the corner's curve") << QPoint(6, 6) << true;
        QTest::newRow("the top edge is straight from x = 16") << QPoint(16, 1) << true;
        QTest::newRow("the left edge is straight from y = 16") << QPoint(1, 16) << true;
    }

    void outlinePoints() {
        QFETCH(QPoint, point);
        QFETCH(bool, inside);
        QCOMPARE(form_->mask().contains(point), inside);
    }

    void outlineCornersAreMirrorImages() {
        const QRegion outline = form_->mask();
        QCOMPARE(outline.boundingRect(), QRect(1, 1, 608, 446));
        for (int y = 1; y <= 446; ++y) {
            for (int x = 1; x <= 608; ++x) {
                const bool in = outline.contains(QPoint(x, y));
                if (in != outline.contains(QPoint(609 - x, y)) || in != outline.contains(QPoint(x, 447 - y))) {
                    QFAIL(qPrintable(QStringLiteral("(%1, %2) has no mirror image").arg(x).arg(y)));
                }
            }
        }
        // Each corner cuts off what a square of 15 leaves outside a quarter circle:
        // (1 - pi / 4) x 225, about 48 pixels; and the cut narrows row by row.
        int cut = 0;
        int previousInset = 16;
        for (int y = 1; y <= 15; ++y) {
            int inset = 0;
            while (!outline.contains(QPoint(1 + inset, y))) ++inset;
            QVERIFY2(inset <= previousInset, "the corner is not convex");
            previousInset = inset;
            cut += inset;
        }
        QVERIFY2(std::abs(cut - 48) <= 4, qPrintable(QString::number(cut)));
    }

    void pressesThatStartNoMove_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left press on a holiday caption") << QPoint(440, 104) << Qt::LeftButton;
        QTest::newRow("left press on the day-of-year line") << QPoint(50, 325) << Qt::LeftButton;
        QTest::newRow("left press on the moon picture") << QPoint(300, 335) << Qt::LeftButton;
        QTest::newRow("left press on a button") << QPoint(200, 368) << Qt::LeftButton;
        QTest::newRow("left press on a calendar day") << QPoint(180, 250) << Qt::LeftButton;
        QTest::newRow("left press on the calendar's title") << QPoint(100, 92) << Qt::LeftButton;
        QTest::newRow("right press on the background") << QPoint(20, 200) << Qt::RightButton;
        QTest::newRow("middle press on the background") << QPoint(20, 200) << Qt::MiddleButton;
    }

    void pressesThatStartNoMove() {
        QFETCH(QPoint, point);
        QFETCH(Qt::MouseButton, button);
        const QPoint before = form_->pos();
        QTest::mousePress(Handle(), button, {}, point);
        QTest::mouseMove(Handle(), point + QPoint(40, 30));
        QTest::mouseRelease(Handle(), button, {}, point + QPoint(40, 30));
        QCOMPARE(form_->pos(), before);
        QVERIFY(!KeepsAbove());
    }

    // Without a window manager the window follows the mouse by itself.
    void leftPressOnTheBackgroundKeepsAboveAndMoves_data() {
        QTest::addColumn<QPoint>("point");
        QTest::newRow("the plain background") << QPoint(20, 200);
        QTest::newRow("the left panel's frame") << QPoint(33, 200);
        QTest::newRow("inside the holiday panel, between two rows") << QPoint(560, 116);
        QTest::newRow("below the panels") << QPoint(200, 430);
    }

    void leftPressOnTheBackgroundKeepsAboveAndMoves() {
        QFETCH(QPoint, point);
        const QPoint before = form_->pos();
        QVERIFY(!KeepsAbove());
        QTest::mousePress(Handle(), Qt::LeftButton, {}, point);
        QVERIFY(KeepsAbove());
        const QPoint drag(-15, -12);
        QTest::mouseMove(Handle(), point + drag);
        QTRY_COMPARE(form_->pos(), before + drag);
        QTest::mouseRelease(Handle(), Qt::LeftButton, {}, point);
        QTest::mouseMove(Handle(), point + QPoint(10, 10));  // the move has ended
        QCOMPARE(form_->pos(), before + drag);
        QVERIFY(KeepsAbove());
    }

    void minimiseButton() {
        QTest::mouseClick(test::Named<QPushButton>(*form_, "CmdMinimise"), Qt::LeftButton);
        QTRY_VERIFY(form_->isMinimized());
    }

    // Last: quitting ends every event loop that runs, and those that start after.
    void quitButtonEndsTheProgramWithStatus0() {
        QEventLoop loop;
        QTimer::singleShot(0, form_,
                           [this] { QTest::mouseClick(test::Named<QPushButton>(*form_, "cmdQuit"), Qt::LeftButton); });
        QTimer::singleShot(5000, &loop, [&loop] { loop.exit(7); });
        QCOMPARE(loop.exec(), 0);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

SOLVANE_TEST_CLASS(WindowMouseTest)
#include "window_mouse_test.moc"
