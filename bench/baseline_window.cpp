// The yardstick for what the gadget costs as a whole process: a bare window of the
// gadget's size and kind (609 × 447, frameless) holding only a month calendar, with
// no timers, built with the same Qt and the same flags. bench/measure-process starts
// it beside the gadget and compares the two.

#include <QApplication>
#include <QCalendarWidget>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("Baseline"));
    window.setFixedSize(609, 447);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QCalendarWidget(&window));
    window.show();
    return application.exec();
}
