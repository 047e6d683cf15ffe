#pragma once
// The French words of a reminder's notification: its summary says what and when on
// the clock, « 14 h 00 Réunion d'équipe », its body how far off and where,
// « dans 10 min — Salle B ». Plain text, one fact a line.

#include <string>

#include "agendas/event.h"
#include "reminders/scheduler.h"

namespace reminders {

// « 14 h 00 Réunion d'équipe »; a whole-day event's title alone; « (sans titre) » for
// an event without one.
std::string AlarmSummary(const Alarm& alarm);

// How far the alarm's event is from `now` (whose local date is `today`), rounded to
// the minute: « maintenant », « dans 10 min », « dans 1 h », « dans 1 h 30 », from a
// day on « demain » or « dans 3 jours » by the local dates; « il y a 5 min » … for an
// event begun; a whole-day event « aujourd'hui », « demain », « dans 3 jours »,
// « hier ». Then « — Salle B » when the event has a place.
std::string AlarmBody(const Alarm& alarm, UnixSeconds now, agendas::LocalDate today);

// A notice's summary and body: one alarm's as above; a summary of missed ones
// « 5 rappels manqués » and, one a line, the summaries of the first
// kNamedInSummary, then « et 3 autres ».
inline constexpr std::size_t kNamedInSummary = 8;
std::string NoticeSummary(const Notice& notice);
std::string NoticeBody(const Notice& notice, UnixSeconds now, agendas::LocalDate today);

}  // namespace reminders
