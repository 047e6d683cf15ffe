// Runs the window's reminders (ReminderKeeper) without the window, for
// tests/app/reminders_bus.py: the agendas given read as the window reads them, the
// notifications sent on the session bus, logind heard on the system bus. It writes
// « regarde » each time it has looked at the reminders, and ends at « fin » on
// standard input.
// Usage: reminder_probe PROGRAM_FOLDER AGENDA...

#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <string>

#include "agendas/source.h"
#include "app/window/reminder_keeper.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc < 3) return 2;
    AgendaReader reader(QString::fromLocal8Bit(argv[1]));
    std::vector<agendas::Source> sources;
    for (int at = 2; at < argc; ++at) sources.push_back(agendas::SourceOf(argv[at]));
    reader.SetSources(sources);
    ReminderKeeper keeper(reader);
    // After the keeper's own answer to the same signal.
    QObject::connect(&reader, &AgendaReader::RemindersReady, [] {
        std::fputs("regarde\n", stdout);
        std::fflush(stdout);
    });
    keeper.Look();
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0 || std::string(buffer, 3) == "fin") application.quit();
    });
    return application.exec();
}
