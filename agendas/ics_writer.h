#pragma once
// What the gadget asks of libical to write the user's events (RFC 5545): a new event,
// a change or a removal, made on the text of one iCalendar file and given back as the
// file's new text. Like the reading (ics_reader.h), the work lives in the module
// solvane-ical.so; nothing of libical shows here, and no file is touched: the files
// are read and written by event_writing.h, through files/.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "agendas/event.h"
#include "agendas/quick_entry.h"

namespace agendas {

// What the user gives of an event: the fields of « Nouvel évènement ».
struct EventFields {
    std::string title;
    bool wholeDay = false;
    // Local times in the machine's zone. Whole days: `start` the first day and `end`
    // the last, both at 00:00 (as Event's); written with the exclusive end that
    // RFC 5545 asks.
    LocalTime start, end;
    std::optional<std::string> place;
    QuickRepetition repetition = QuickRepetition::None;
    std::optional<LocalDate> repeatUntil;  // the last day an occurrence may fall on
    std::optional<int> repeatCount;
    std::optional<int> reminderMinutes;  // before the start; 0 at the start; none: no reminder
    // A change may keep what the fields cannot say: the RRULE as the calendar writes it
    // (BYDAY=MO,WE, INTERVAL=2…), written back with the COUNT of `repeatCount`; and the
    // VALARMs as they are, in place of `reminderMinutes`.
    std::optional<std::string> rule = std::nullopt;
    bool keepReminders = false;
    bool operator==(const EventFields&) const = default;
};

// The fields of a phrase of the quick-add line, read without a problem.
EventFields FieldsOfQuickEntry(const QuickEntry& entry);

// What a writing stamps on an event.
struct WritingStamp {
    std::int64_t now = 0;  // seconds since 1970 UTC: DTSTAMP, CREATED, LAST-MODIFIED
    std::string zone;      // the machine's IANA zone, the TZID of timed events; empty: UTC
};

// Which occurrences of a repeated event a change or a removal takes.
enum class Scope { All, ThisOccurrence, ThisAndFollowing };

// An occurrence of a repeated event, by the start the series gives it before any
// change (its RECURRENCE-ID), as a local time in the machine's zone (whole days: the
// date at 00:00).
struct OccurrenceStart {
    LocalTime start;
};

struct TextChange {
    std::string text;  // the file's new text; empty when `problem` is set
    // An addition leaves the file's text as it is and gives in `text` only what goes
    // in, at this place of the text: the file is written from its own bytes around it.
    std::optional<std::size_t> insertedAt = std::nullopt;
    std::string problem;       // French, when nothing could be done: « n'a pas d'évènement … »
    bool noEventLeft = false;  // the file holds no VEVENT any more (a vdir's file is then removed)
    std::string title;         // the SUMMARY of the event changed or removed, for the safety net
    // The file name of another event to write beside (a vdir's « celle-ci et les
    // suivantes »: the new series has a new UID and a file of its own) and its text.
    std::string newSeriesUid;
    std::string newSeriesText;
    // The events whose components the change wrote, removed ones included, and a
    // calendar of their components as `text` holds them now, with every VTIMEZONE of
    // it: a reader that holds the file before the change takes these in place of the
    // events of those UIDs, without reading the whole text again. Set by Add, Change
    // and Remove.
    std::vector<std::string> touchedUids;
    std::string touchedText;
};

// An event as its file holds it, for the dialog that changes it.
struct WrittenEvent {
    bool found = false;
    // The series' (or the single event's): its start and end, its repetition with its
    // RRULE in `rule`, its reminder or `keepReminders` when the field cannot say its
    // VALARMs; the title and the place those of the occurrence asked when it was
    // changed alone.
    EventFields fields;
    std::optional<int> occurrences;  // of the whole series; none when it has no end
};

class IcsWriter {
public:
    virtual ~IcsWriter() = default;
    // A calendar holding the one new event `uid`, with the zone's VTIMEZONE: a vdir's new file.
    virtual TextChange NewFile(const EventFields& fields, const std::string& uid, const WritingStamp& stamp) const = 0;
    // The new event's text and where it goes in the calendar's (`insertedAt`); every
    // other byte kept.
    virtual TextChange Add(std::string_view text, const EventFields& fields, const std::string& uid,
                           const WritingStamp& stamp) const = 0;
    // The event `uid` changed to `fields`: all of it, one occurrence (an override with
    // RECURRENCE-ID), or this one and the following (the series ended with UNTIL, a new
    // one with `newUid`). Earlier occurrences are never touched. `oneFile` says whether
    // the new series goes into the same text (an .ics file) or a file of its own.
    virtual TextChange Change(std::string_view text, const std::string& uid,
                              const std::optional<OccurrenceStart>& which, Scope scope, const EventFields& fields,
                              const std::string& newUid, bool oneFile, const WritingStamp& stamp) const = 0;
    // The event `uid` removed: all of it, one occurrence (an EXDATE), or this one and the
    // following (UNTIL).
    virtual TextChange Remove(std::string_view text, const std::string& uid,
                              const std::optional<OccurrenceStart>& which, Scope scope,
                              const WritingStamp& stamp) const = 0;
    // The event `uid` as the text holds it; `which` names an occurrence of a series.
    // Times in the process's zone.
    virtual WrittenEvent FieldsOf(std::string_view text, const std::string& uid,
                                  const std::optional<OccurrenceStart>& which) const = 0;
    // The UIDs of the text's VEVENTs, each once.
    virtual std::vector<std::string> Uids(std::string_view text) const = 0;
};

// The module's writer, beside ics_module.h's reader: null when the module cannot be
// loaded, with the reason in `problem`.
const IcsWriter* ModuleIcsWriter(const std::string& programFolder, std::string& problem);
inline constexpr const char* kIcsWriterEntry = "SolvaneIcsWriter";

}  // namespace agendas
