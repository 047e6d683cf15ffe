#pragma once
// The days on which the local time zone changes its offset from UTC, as the system's
// time-zone database gives them for the user's zone: no rule of its own (no "last
// Sunday of March"), so that every zone and every year the database covers is right.

#include <optional>
#include <string>

namespace calendar {

// Wall times in seconds from the day's 00:00: 0 and 86 400 are its two midnights,
// below 0 the day before, above 86 400 the day after.
struct TimeChange {
    int wallBefore = 0;              // the wall time the clock reaches...
    int wallAfter = 0;               // ...and the one it shows instead
    bool summerTimeChanges = false;  // the database marks one side as summer time
};

// The change of the local day, or none. A day runs from its 00:00 (the first, where
// the clock shows it twice; where the clock skips it, the change that skips it) to the
// next day's, and a change is the day's when that length is not 24 hours: where the
// clock goes back from 24:00 to 23:00, the day that lasts 25 hours; where it jumps
// from 24:00 to 1:00, the next, of 23 hours; where it skips a whole date, that date,
// of none. A day with two changes gives the first.
std::optional<TimeChange> TimeChangeOn(int year, int month, int day);

// « Passage à l'heure d'été : à 2 h il est 3 h », « Passage à l'heure d'hiver : à 3 h
// il est 2 h »; a midnight reads « minuit » (« à minuit il est 23 h », « à 23 h il est
// minuit »), a time of the day before or after says so (« à 0 h 01 il est 23 h 01 la
// veille »). A change of the zone's standard time reads « Changement d'heure : … », a
// skipped date « Changement d'heure : à minuit il est 0 h le lendemain ».
std::string TimeChangeSentence(const TimeChange& change);

}  // namespace calendar
