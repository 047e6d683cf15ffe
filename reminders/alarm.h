#pragma once
// A reminder of the user's calendars (an iCalendar VALARM, RFC 5545 3.6.6) as plain
// values: one firing of one alarm of one occurrence of an event, its trigger already
// resolved to an instant. An alarm that repeats (REPEAT, DURATION) is one Alarm for
// each of its firings, and so is each occurrence of a repeated event.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "agendas/agenda.h"
#include "agendas/event.h"
#include "calendar/local_zone.h"

namespace reminders {

using calendar::UnixSeconds;

struct Alarm {
    // What the calendar asks for (ACTION): every kind is shown as a notification,
    // an e-mail one too, since the gadget sends no mail.
    enum class Kind { Display, Audio, Email };
    std::string id;                    // AlarmId: the same at every start of the gadget
    UnixSeconds fires = 0;             // when the trigger falls
    UnixSeconds startsAt = 0;          // the occurrence's start; for whole days, their first second
    agendas::LocalTime start;          // the occurrence's start as the local clock reads it
    bool wholeDays = false;            // a whole-day event: no time of day is shown
    std::string title;                 // shown as it is
    std::optional<std::string> place;  // LOCATION
    Kind kind = Kind::Display;
};

// The stable name of one firing: the event's UID, the occurrence's RECURRENCE-ID as
// the calendar writes it (its own zone, never the user's, so that a change of zone
// does not rename it; empty for an event that does not repeat), the alarm's place
// among the event's VALARMs and the repetition (0 for the trigger itself). Bytes of
// the UID outside letters, digits and « @ . _ - » are written %XX, so that the name
// is one word on one line whatever the UID holds: "uid/recurrence/alarm/repetition".
std::string AlarmId(std::string_view uid, std::string_view recurrence, int alarmIndex, int repetition);

// The days whose events may hold an alarm that falls within a day of `now`: from two
// days before today to a week after, so that a reminder set up to a week before its
// event is seen, and one set after its end.
inline constexpr int kDaysAhead = 8;
struct AskedDays {
    agendas::LocalDate first, last;
};
AskedDays DaysAround(UnixSeconds now);

// The alarms of the events of `days` that fall in [from, to), each once whatever the
// number of days its event is on, in the order they fall.
std::vector<Alarm> AlarmsBetween(const agendas::AgendaDays& days, UnixSeconds from, UnixSeconds to);

}  // namespace reminders
