#pragma once
// What the command `solvane` says of a day, as the widget tests' expectations: the
// terminal computes the facts apart from the window, whose program links none of its
// code. The date panel's texts, the holiday rows and the tooltips are compared with it.

#include <QDate>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "terminal/terminal_facts.h"

namespace test {

inline QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// What the command `solvane`, built beside the window's program, writes for
// `arguments` in this test's environment (its settings folder, its locale, its zone);
// nothing when it fails, which the comparisons then show.
inline QByteArray CommandOutput(const QStringList& arguments) {
    QProcess command;
    command.start(QStringLiteral(SOLVANE_PROGRAM_DIR "/solvane"), arguments);
    if (!command.waitForFinished(60000) || command.exitStatus() != QProcess::NormalExit || command.exitCode() != 0) {
        qWarning("solvane %s: %s", qPrintable(arguments.join(QLatin1Char(' '))),
                 command.readAllStandardError().constData());
        return {};
    }
    return command.readAllStandardOutput();
}

// The lines of `solvane --texte DAY --region REGION`, answered in this process by the
// command's own code: a year of days for each region would be seven thousand
// processes. The command's code is no part of the window's program.
inline QStringList TerminalText(QDate day, std::string_view region) {
    const std::string date = day.toString(Qt::ISODate).toStdString();
    const std::string regionKey(region);
    const std::array<const char*, 5> argv{"solvane", "--texte", date.c_str(), "--region", regionKey.c_str()};
    const std::optional<TerminalAnswer> answer = AnswerInTerminal(int(argv.size()), argv.data(), SOLVANE_PROGRAM_DIR);
    if (!answer || answer->status != 0) return {};
    return QString::fromStdString(answer->output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// A day's tooltip says what `--texte` says of the day, but for its place in the year
// and the year's sentence, and without « Jour férié : » and « Célébration : » before
// the names.
inline QString TooltipOfText(QStringList lines) {
    if (lines.size() < 3) return QStringLiteral("(pas de réponse du terminal)");
    lines.removeAt(1);   // « 60e jour de l'année, semaine 9 »
    lines.removeLast();  // « L'année 2024 est bissextile. »
    for (QString& line : lines) {
        for (const QString& caption : {QStringLiteral("Jour férié : "), QStringLiteral("Célébration : ")}) {
            if (line.startsWith(caption)) line.remove(0, caption.size());
        }
    }
    return lines.join(QLatin1Char('\n'));
}

// The date of each holiday of an iCalendar file that `--ics` writes, by its key, from
// its UID (« 20240714-fete-nationale@solvane »).
inline QMap<QString, QDate> HolidaysOfCalendar(const QByteArray& calendar) {
    static const QRegularExpression uid(QStringLiteral("^UID:(\\d{8})-(.+)@solvane\r?$"),
                                        QRegularExpression::MultilineOption);
    QMap<QString, QDate> holidays;
    for (auto match = uid.globalMatch(QString::fromUtf8(calendar)); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        holidays.insert(found.captured(2), QDate::fromString(found.captured(1), QStringLiteral("yyyyMMdd")));
    }
    return holidays;
}

}  // namespace test
