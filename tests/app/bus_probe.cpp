// Drives DesktopNotifier (session bus) and SleepWatch (system bus) for
// tests/app/desktop_bus.py, one command a line on standard input: « montre
// KEY|SUMMARY|BODY|ICON » shows a notice, « fin » ends. It writes what it is told, one
// line each: « disponible CAP,CAP… », « absent », « action KEY ouvrir|reporter|ignorer »,
// « ferme KEY REASON », « veille », « reveil ».

#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QSocketNotifier>
#include <cstdio>
#include <string>

#include "app/platform/desktop_notifier.h"
#include "app/platform/sleep_watch.h"

namespace {

void Say(const QString& line) {
    std::fputs((line + "\n").toUtf8().constData(), stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    SleepWatch sleep(QDBusConnection::systemBus());
    QObject::connect(&sleep, &SleepWatch::GoingToSleep, [] { Say("veille"); });
    QObject::connect(&sleep, &SleepWatch::WokeUp, [] { Say("reveil"); });
    // A call the bus answers comes after the match rule sent before it: the watch
    // listens before the notifier's first line is written.
    QDBusConnection::systemBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.login1"));

    DesktopNotifier notifier(QDBusConnection::sessionBus());
    QObject::connect(&notifier, &DesktopNotifier::AvailabilityChanged, [&] {
        Say(notifier.Available() ? "disponible " + notifier.Capabilities().join(',') : QStringLiteral("absent"));
    });
    QObject::connect(&notifier, &DesktopNotifier::ActionChosen, [](const QString& key, DesktopNotifier::Action action) {
        const char* name = action == DesktopNotifier::Action::Open     ? "ouvrir"
                           : action == DesktopNotifier::Action::Snooze ? "reporter"
                                                                       : "ignorer";
        Say("action " + key + " " + name);
    });
    QObject::connect(&notifier, &DesktopNotifier::Closed,
                     [](const QString& key, uint reason) { Say("ferme " + key + " " + QString::number(reason)); });

    std::string pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) application.quit();
        if (count > 0) pending.append(buffer, std::size_t(count));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            const QString line = QString::fromUtf8(pending.data(), qsizetype(end));
            const QStringList fields = line.mid(int(sizeof "montre")).split('|');
            if (line == "fin") application.quit();
            if (line.startsWith("montre ") && fields.size() == 4) {
                notifier.Show({.key = fields[0], .summary = fields[1], .body = fields[2], .icon = fields[3]});
            }
        }
    });
    return application.exec();
}
