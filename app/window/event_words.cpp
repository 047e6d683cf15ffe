#include "app/window/event_words.h"

#include <QTimeZone>

#include "app/text/qt_text.h"

namespace event_words {

const QLocale& French() {
    static const QLocale french(QLocale::French, QLocale::France);
    return french;
}

agendas::LocalTime LocalOf(const QDateTime& time) { return LocalOf(time.date(), time.time()); }

agendas::LocalTime LocalOf(QDate date, QTime time) {
    return {date.year(), date.month(), date.day(), time.hour(), time.minute()};
}

QString Clock(const QTime& time) {
    QString clock = QString::number(time.hour()) + Utf8(" h");
    if (time.minute() != 0) clock += QStringLiteral(" %1").arg(time.minute(), 2, 10, QLatin1Char('0'));
    return clock;
}

QString Description(const agendas::EventFields& fields, const QString& repetition) {
    const QDateTime start = WallOf(fields.start), end = WallOf(fields.end);
    const QString day = QStringLiteral("dddd d MMMM yyyy");
    QString said = French().toString(start.date(), day);
    if (fields.wholeDay) {
        said += end.date() > start.date()
                    ? Utf8(" au ") + French().toString(end.date(), day) + Utf8(", toute la journée")
                    : Utf8(", toute la journée");
    } else {
        said += Utf8(", ") + Clock(start.time()) + Utf8(" – ");
        if (end.date() != start.date()) said += French().toString(end.date(), QStringLiteral("dddd d MMMM ")) + ' ';
        said += Clock(end.time());
    }
    if (!fields.title.empty()) said += Utf8(", « ") + Utf8(fields.title) + Utf8(" »");
    if (fields.place) said += Utf8(", lieu « ") + Utf8(*fields.place) + Utf8(" »");
    if (fields.repetition != agendas::QuickRepetition::None) said += Utf8(", ") + repetition.toLower();
    if (fields.repeatUntil) {
        said += Utf8(" jusqu'au ") +
                French().toString(QDate(fields.repeatUntil->year, fields.repeatUntil->month, fields.repeatUntil->day),
                                  QStringLiteral("d MMMM yyyy"));
    }
    if (fields.repeatCount) said += Utf8(", %1 fois").arg(*fields.repeatCount);
    return said;
}

QDateTime WallOf(const agendas::LocalTime& time) {
    return {QDate(time.year, time.month, time.day), QTime(time.hour, time.minute), QTimeZone::utc()};
}

QString ListedAs(const agendas::Event& event) {
    const QString when =
        event.WholeDays() ? Utf8("Toute la journée") : Clock(QTime(event.start.hour, event.start.minute));
    return when + Utf8(" ") + Utf8(event.title) + Utf8(" (") + Utf8(event.agenda) + Utf8(")");
}

}  // namespace event_words
