#pragma once
// What the event dialog says of an event, in the words of the panels, and the local
// times that its fields hold.

#include <QDateTime>
#include <QLocale>
#include <QString>

#include "agendas/event.h"
#include "agendas/ics_writer.h"

namespace event_words {

const QLocale& French();

agendas::LocalTime LocalOf(const QDateTime& time);
// A day and a time as they are written, never resolved in the local zone: a local
// QDateTime moves a time that the change of time skips.
agendas::LocalTime LocalOf(QDate date, QTime time);

// « 9 h », « 18 h 30 »: as the quick-add phrases write them.
QString Clock(const QTime& time);

// What the fields say, in the words of the panels: « jeudi 17 décembre 2026, 18 h 30
// – 19 h 30, « Piscine », chaque semaine ».
QString Description(const agendas::EventFields& fields, const QString& repetition);

// A local time as a wall reading, for arithmetic that no change of the clock moves.
QDateTime WallOf(const agendas::LocalTime& time);

// How an event of the day is listed: « 9 h Réunion (Travail) ».
QString ListedAs(const agendas::Event& event);

}  // namespace event_words
