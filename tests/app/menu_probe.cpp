// The window's menu on the session bus it is given, for tests/app/desktop_bus.py: at
// each « menu » on standard input it writes the menu's entries, « | » between them, on
// one line; it ends at « fin ».
// Usage: menu_probe

#include <unistd.h>

#include <QApplication>
#include <QMenu>
#include <QSocketNotifier>
#include <cstdio>
#include <string>

#include "app/window/form1.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    Form1 window(QStringLiteral(SOLVANE_PROGRAM_DIR));
    std::string pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) application.quit();
        if (count > 0) pending.append(buffer, std::size_t(count));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            if (pending.compare(0, end, "fin") == 0) application.quit();
            if (pending.compare(0, end, "menu") != 0) continue;
            window.ShowMenu(QPoint(0, 0));
            auto* menu = window.findChild<QMenu*>(QStringLiteral("Form1Menu"), Qt::FindDirectChildrenOnly);
            QStringList entries;
            for (const QAction* entry : menu->actions()) entries << entry->text();
            delete menu;
            std::fputs((entries.join(QLatin1Char('|')) + QLatin1Char('\n')).toUtf8().constData(), stdout);
            std::fflush(stdout);
        }
    });
    return application.exec();
}
