#pragma once
// Where the window writes the events of « Nouvel évènement »: the agendas the user
// marked « modifiable » that the gadget may write (agendas/writable_sources.h), the one
// chosen for new events, and, when none is writable, the local calendar « Solvane »,
// made at the first event and listed in « Agendas… » as the one new events go to; the
// events of those calendars on a day, each opened as its file holds it, changed or
// removed. The writing itself is agendas/event_writing's, through the iCalendar module.

#include <QDate>
#include <QString>
#include <string>
#include <vector>

#include "agendas/agenda.h"
#include "agendas/event_writing.h"
#include "agendas/source.h"

class GadgetSettings;

class EventSaving {
public:
    // The iCalendar module is looked for in `programFolder`.
    EventSaving(QString programFolder, GadgetSettings& settings)
        : programFolder_(std::move(programFolder)), settings_(&settings) {}

    // The calendars a new event may go to, in the list's order, each with the name it
    // shows; none when no agenda is writable.
    std::vector<agendas::Source> Calendars() const;
    // The location of the one chosen for new events; empty when none is writable.
    std::string DefaultCalendar() const;

    // Writes the new event in the calendar at `location`; an empty location makes the
    // local calendar first. The sentence of what went wrong is French, whole.
    agendas::EventWriting Add(const std::string& location, const agendas::EventFields& fields) const;

    // The days the window has read: EventsOn answers from them when they hold the day,
    // rather than read every writable calendar again on the window's thread; null
    // (after a write refused because a file changed) reads them again.
    void AnswerFrom(const agendas::AgendaDays* days) { known_ = days; }
    // The events of the writable calendars on `day`, each with its origin.
    std::vector<agendas::Event> EventsOn(QDate day) const;
    // An event's file as it is now, and the event as the file holds it; a French
    // sentence when it cannot be read.
    struct OpenedEvent {
        agendas::EventFile file;
        agendas::WrittenEvent written;
        std::string problem;
    };
    OpenedEvent Open(const agendas::EventOrigin& origin) const;
    // `file` as Open gave it: nothing is written when it changed since.
    agendas::EventWriting Change(const agendas::EventOrigin& origin, const agendas::EventFile& file,
                                 agendas::Scope scope, const agendas::EventFields& fields) const;
    agendas::EventWriting Remove(const agendas::EventOrigin& origin, const agendas::EventFile& file,
                                 agendas::Scope scope) const;

private:
    // The writing of `origin`'s calendar, or the sentence of why there is none.
    struct Writing {
        agendas::Source calendar;
        const agendas::IcsWriter* writer = nullptr;
        std::string problem;
    };
    Writing WritingOf(const std::string& calendar) const;
    agendas::EventWriter WriterOf(const agendas::IcsWriter& writer) const;

    QString programFolder_;
    GadgetSettings* settings_;
    const agendas::AgendaDays* known_ = nullptr;
};
