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

QByteArray AutostartEntry(const QString& command) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Solvane\n"
           "Comment=Calendrier de bureau\n"
           "Icon=solvane\n"
           "Exec=" +
           command.toUtf8() +
           "\n"
           "Terminal=false\n";
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
    if (on) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return false;
        file.write(AutostartEntry(AutostartCommand(program)));
        return file.commit();
    }
    // The gadget's own entry is the one it would write for the command it holds.
    const QByteArray entry = ReadEntry(path);
    const std::optional<QByteArray> command = EntryValue(entry, "Exec");
    if (!command || entry != AutostartEntry(QString::fromUtf8(*command))) return false;
    return QFile::remove(path);
}
