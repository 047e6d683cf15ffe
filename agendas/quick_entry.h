#pragma once
// The quick-add line of a new event: one French phrase as people type it (« jeudi
// 18 h 30 Piscine », « demain 14h-15h30 Dentiste », « lundi 9h réunion chaque
// semaine ») read into the fields of the event. Pure: the moment the phrase is read
// against comes in as a plain value. The phrases it reads are listed in
// docs/saisie-rapide.md.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "agendas/event.h"

namespace agendas {

enum class QuickRepetition { None, Daily, Weekly, Monthly, Yearly };

// A part of the phrase that was read, in bytes of the phrase as typed, so that the
// dialog can show what it understood.
struct QuickEntryPart {
    enum class Meaning { Day, Time, WholeDay, Repetition, RepetitionEnd, Place };
    std::size_t offset = 0, length = 0;
    Meaning meaning = Meaning::Day;
    bool operator==(const QuickEntryPart&) const = default;
};

struct QuickEntry {
    enum class Problem {
        None,
        NoDateOrTime,  // nothing of the phrase says a day or a time
        NoSuchDay,     // a day said that the calendar has not: « 31 avril », « 29/02/2027 »
        EndsTooSoon,   // a repetition's last day before its first: « jusqu'au 1/1/2020 »
    };
    Problem problem = Problem::None;
    std::string problemText;  // the words of the day at fault, as typed

    std::string title;  // the words not read as anything else, as typed
    bool wholeDay = false;
    // Local times. A whole day: `start` and `end` are that day at 00:00 (as Event's
    // whole days). Otherwise `end` is the time said, the next day when it is not after
    // `start` (« 22h-1h »), or one hour after `start`.
    LocalTime start, end;
    std::optional<std::string> place;  // after « lieu : » or « @ », as typed
    QuickRepetition repetition = QuickRepetition::None;
    std::optional<LocalDate> repeatUntil;  // « jusqu'au 30 juin »: the last day it may fall on
    std::optional<int> repeatCount;        // « 10 fois »: 1..999
    std::vector<QuickEntryPart> understood;
};

// The phrase (UTF-8) read at the local time `now`. Days without a year are the next
// ones: a date already past this year is next year's, a day of the month already
// past this month is next month's, a weekday is the next such day after today; a time
// without a day is today's when not yet past (this very minute included), else
// tomorrow's. A day without a time
// (and « toute la journée ») is a whole day.
QuickEntry ReadQuickEntry(std::string_view phrase, LocalTime now);

// The French sentence that tells why nothing could be made of the phrase, empty when
// the entry was read.
std::string QuickEntryProblemSentence(const QuickEntry& entry);

}  // namespace agendas
