#pragma once
// `solvane --rappels [--json]`: the reminders of the user's calendars that fall in the
// next 24 hours, with their times, for a script or a status bar. All are listed,
// whatever the window did with them: the list says what the calendars hold.

#include <string>
#include <vector>

#include "reminders/alarm.h"

// How far ahead the list looks.
inline constexpr reminders::UnixSeconds kRemindersAhead = 24 * 60 * 60;

// One line a reminder, in the order they fall: its local date and time, then what the
// notification says, « 2026-12-10 09:45 10 h 00 Réunion d'équipe — Salle B ». Nothing
// when there is none.
std::string RemindersText(const std::vector<reminders::Alarm>& alarms);

// One JSON object on one line, without the line end: {"rappels": [...]}, each
// {"quand": "2026-12-10T09:45", "instant": seconds since 1970 UTC, "debut": the
// event's local start "2026-12-10T10:00" (a whole day's "2026-12-10"), "titre",
// "lieu" (null when none), "resume" as the notification's summary, "action"
// "affichage", "son" or "courriel"}.
std::string RemindersJson(const std::vector<reminders::Alarm>& alarms);
