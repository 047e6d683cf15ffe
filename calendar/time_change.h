#pragma once
// The days on which the local time zone changes its offset from UTC, as the system's
// time-zone database gives them for the user's zone: no rule of its own (no "last
// Sunday of March"), so that every zone and every year the database covers is right.

#include <optional>
#include <string>

namespace calendar {

struct TimeChange {
    int hourBefore = 0, minuteBefore = 0;  // the wall time the clock reaches...
    int hourAfter = 0, minuteAfter = 0;    // ...and the one it shows instead
    bool forward = false;                  // the clock goes forward: summer time begins
    bool summerTimeChanges = false;        // the database marks one side as summer time
};

// The change of the local day, or none: the day is the one whose date the clock shows
// when it reaches the change. A day with two changes gives the first.
std::optional<TimeChange> TimeChangeOn(int year, int month, int day);

// « Passage à l'heure d'été : à 2 h il est 3 h », « Passage à l'heure d'hiver : à 3 h
// il est 2 h »; a change of the zone's standard time reads « Changement d'heure : … ».
std::string TimeChangeSentence(const TimeChange& change);

}  // namespace calendar
