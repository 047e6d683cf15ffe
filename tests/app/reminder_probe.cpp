// Runs the window's reminders (ReminderKeeper) without the window, for
// tests/app/reminders_bus.py: the agendas given read as the window reads them, the
// notifications sent on the session bus, logind heard on the system bus. It writes
// « regarde » each time it has looked at the reminders, and ends at « fin » on
// standard input. With --voeux, it shows the day's wishes drawn from that name-day list.
// Usage: reminder_probe PROGRAM_FOLDER [--voeux FETES] AGENDA...

#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <string>

#include "agendas/source.h"
#include "app/window/reminder_keeper.h"
#include "namedays/name_day_file.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc < 3) return 2;
    AgendaReader reader(QString::fromLocal8Bit(argv[1]));
    int at = 2;
    std::vector<std::string> nameDays;
    if (argc > 3 && std::string(argv[2]) == "--voeux") {
        nameDays = namedays::ReadNameDayFile(argv[3], namedays::kShownNameDays);
        at = 4;
    }
    std::vector<agendas::Source> sources;
    for (; at < argc; ++at) sources.push_back(agendas::SourceOf(argv[at]));
    reader.SetSources(sources);
    ReminderKeeper keeper(reader);

    // After the keeper's own answer to the same signal.
    QObject::connect(&reader, &AgendaReader::RemindersReady, [] {
        std::fputs("regarde\n", stdout);
        std::fflush(stdout);
    });
    // Started, the keeper looks once, at the wishes too when they are asked for.
    if (!nameDays.empty()) keeper.SetWishes(true, nameDays);
    keeper.Start();
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0 || std::string(buffer, 3) == "fin") application.quit();
    });
    return application.exec();
}
