// The yardstick for what the gadget costs as a whole process: a bare window of the
// gadget's size and kind (609 × 447, frameless) holding only a month calendar, with
// no timers, built with the same Qt and the same flags. bench/measure-process starts
// it beside the gadget and compares the two.
//
// With --ticking it also runs two timers every 16 ms that do nothing, as often as the
// gadget's two refreshes run: what waking up alone costs, whatever a tick then does.
// With --ticking-reading FILE the second timer also reads FILE whole at each tick, as
// the gadget reads its moon picture from the disk at each tick: the least that any
// program doing what the gadget must do can cost on this machine.

#include <QApplication>
#include <QCalendarWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// One open, the reads up to the end, one close: what the gadget does with its file.
void ReadWhole(const std::string& path) {
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return;
    char chunk[4096];
    for (ssize_t got; (got = ::read(file, chunk, sizeof chunk)) != 0;) {
        if (got < 0 && errno != EINTR) break;
    }
    ::close(file);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("Baseline"));
    window.setFixedSize(609, 447);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QCalendarWidget(&window));

    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype reading = arguments.indexOf(QStringLiteral("--ticking-reading"));
    if (arguments.contains(QStringLiteral("--ticking")) || (reading > 0 && reading + 1 < arguments.size())) {
        const std::string path = reading > 0 ? arguments[reading + 1].toStdString() : std::string();
        for (int i = 0; i < 2; ++i) {
            auto* timer = new QTimer(&window);
            timer->setTimerType(Qt::PreciseTimer);
            if (i == 1 && !path.empty()) {
                QObject::connect(timer, &QTimer::timeout, [path] { ReadWhole(path); });
            } else {
                QObject::connect(timer, &QTimer::timeout, [] {});
            }
            timer->start(16);
        }
    }
    window.show();
    return application.exec();
}
