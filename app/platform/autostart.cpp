#include "app/platform/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "settings/settings_file.h"

namespace {

// An entry is a few lines; a larger file is read no further than this.
constexpr qint64 kLargestEntryBytes = 64 * 1024;

QByteArray ReadEntry(const QString& path) {
    if (!QFileInfo(path).isFile()) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.read(kLargestEntryBytes);
}

// The value of `key` in the [Desktop Entry] group, or none.
std::optional<QByteArray> EntryValue(const QByteArray& entry, const QByteArray& key) {
    bool inGroup = false;
    for (const QByteArray& rawLine : entry.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) inGroup = line == "[Desktop Entry]";
        if (!inGroup) continue;
        const qsizetype equals = line.indexOf('=');
        if (equals > 0 && line.left(equals).trimmed() == key) return line.mid(equals + 1).trimmed();
    }
    return std::nullopt;
}

// The characters that the Desktop Entry rules reserve in an argument of Exec, which
// then goes inside double quotes.
bool NeedsQuotes(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return std::any_of(argument.begin(), argument.end(), [](QChar c) { return reserved.contains(c); });
}

// The entry for the command line `command`, and TryExec's value when there is one: a
// session skips an entry whose TryExec names no program, so that a gadget removed
// or moved costs nothing at login.
QByteArray EntryFor(const QString& command, const std::optional<QString>& tryExec) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Solvane\n"
           "Comment=Calendrier de bureau\n"
           "Icon=solvane\n"
           "Exec=" +
           command.toUtf8() + "\n" + (tryExec ? "TryExec=" + tryExec->toUtf8() + "\n" : QByteArray()) +
           "Terminal=false\n";
}

// Whether `entry` is one the gadget wrote, for whichever program: with TryExec, or
// without it as the gadget once wrote them. A user's own entry is never touched.
bool WrittenByTheGadget(const QByteArray& entry) {
    const std::optional<QByteArray> command = EntryValue(entry, "Exec");
    if (!command) return false;
    const std::optional<QByteArray> tryExec = EntryValue(entry, "TryExec");
    return entry ==
           EntryFor(QString::fromUtf8(*command), tryExec ? std::optional(QString::fromUtf8(*tryExec)) : std::nullopt);
}

bool WriteEntry(const QString& path, const QByteArray& entry) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(entry);
    return file.commit();
}

}  // namespace

QString AutostartFilePath() {
    const std::string folder = settings::ConfigFolder();
    if (folder.empty()) return {};
    return QString::fromLocal8Bit(folder.c_str()) + QStringLiteral("/autostart/solvane.desktop");
}

QString AutostartCommand(const QString& program) {
    const QString installed = QStandardPaths::findExecutable(QStringLiteral("solvane"));
    if (!installed.isEmpty() && QFileInfo(installed).canonicalFilePath() == QFileInfo(program).canonicalFilePath()) {
        return QStringLiteral("solvane");
    }
    QString argument = QFileInfo(program).absoluteFilePath();
    if (NeedsQuotes(argument)) {
        // Inside the quotes, ", `, $ and \ take a backslash.
        QString quoted;
        for (const QChar c : argument) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\')) {
                quoted += QLatin1Char('\\');
            }
            quoted += c;
        }
        argument = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    // A value of the file escapes its backslashes again; a percent sign is doubled,
    // which no field code begins.
    return argument.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('%'), QStringLiteral("%%"));
}

// The program that TryExec names, the one that Exec starts: `solvane`, found on the
// PATH, or the program's path, whose backslashes a string value escapes (TryExec is
// no command line: it takes no quotes).
QString AutostartTryExec(const QString& program) {
    if (AutostartCommand(program) == QLatin1String("solvane")) return QStringLiteral("solvane");
    return QFileInfo(program).absoluteFilePath().replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

QByteArray AutostartEntry(const QString& program) {
    return EntryFor(AutostartCommand(program), AutostartTryExec(program));
}

bool AutostartIsOn(const QString& path) {
    const QByteArray entry = ReadEntry(path);
    if (entry.isEmpty() || !EntryValue(entry, "Exec")) return false;
    return EntryValue(entry, "Hidden").value_or("false") != "true" &&
           EntryValue(entry, "X-GNOME-Autostart-enabled").value_or("true") != "false";
}

bool SetAutostart(const QString& path, bool on, const QString& program) {
    if (path.isEmpty()) return false;
    if (on == AutostartIsOn(path)) return true;
    if (on) return WriteEntry(path, AutostartEntry(program));
    if (!WrittenByTheGadget(ReadEntry(path))) return false;
    return QFile::remove(path);
}

bool RenewAutostart(const QString& path, const QString& program) {
    if (path.isEmpty() || !AutostartIsOn(path)) return true;
    const QByteArray entry = ReadEntry(path);
    const QByteArray renewed = AutostartEntry(program);
    if (entry == renewed || !WrittenByTheGadget(entry)) return true;
    return WriteEntry(path, renewed);
}
