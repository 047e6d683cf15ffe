// The yardsticks for what the gadget costs as a whole process, built with the same
// Qt and the same flags; bench/measure-process starts them beside the gadget.
//
// As it is: a bare window of the gadget's size and kind (609 × 447, frameless)
// holding only a month calendar, with no timers: what any such window costs to
// start and to keep in memory.
//
// With --seconds-clock: the same window with the calendar where the gadget has it
// and one label where the gadget has its clock line, in the same font, rewritten at
// each whole second by a single-shot timer armed from the clock for the next whole
// second: the least that any window showing a running clock costs at rest, and how
// soon after the second such a clock can change on the screen.

#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include "assets/window_shape.h"

namespace {

void ShowTimeAndWaitForTheNextSecond(QLabel& label, QTimer& timer) {
    const QTime now = QTime::currentTime();
    label.setText(QStringLiteral("   Il est   ") + now.toString(QStringLiteral("hh:mm:ss")));
    timer.start(1000 - now.msec());
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setFixedSize(window_shape::kWidth, window_shape::kHeight);
    QTimer second;
    if (!QCoreApplication::arguments().contains(QStringLiteral("--seconds-clock"))) {
        window.setWindowTitle(QStringLiteral("Baseline"));
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(new QCalendarWidget(&window));
    } else {
        window.setWindowTitle(QStringLiteral("Seconds clock"));
        (new QCalendarWidget(&window))->setGeometry(40, 88, 289, 225);
        auto* clockLine = new QLabel(&window);
        clockLine->setGeometry(48, 64, 273, 17);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(13);
        font.setBold(true);
        clockLine->setFont(font);
        clockLine->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        second.setSingleShot(true);
        second.setTimerType(Qt::PreciseTimer);
        QObject::connect(&second, &QTimer::timeout, [&] { ShowTimeAndWaitForTheNextSecond(*clockLine, second); });
        ShowTimeAndWaitForTheNextSecond(*clockLine, second);
    }
    window.show();
    return application.exec();
}
