#include "app/window/event_saving.h"

#include <algorithm>
#include <ctime>
#include <optional>

#include "agendas/agenda.h"
#include "agendas/ics_module.h"
#include "agendas/safety_net.h"
#include "agendas/writable_sources.h"
#include "app/platform/gadget_settings.h"
#include "app/text/qt_text.h"
#include "files/xdg_folders.h"

namespace {

agendas::EventWriting NotWritten(std::string sentence) {
    // The core's phrases may start within a sentence: the dialog shows a whole one.
    if (!sentence.empty() && sentence.front() >= 'a' && sentence.front() <= 'z')
        sentence.front() = char(sentence.front() - 'a' + 'A');
    agendas::EventWriting writing;
    writing.status = agendas::EventWriting::Status::Failed;
    writing.sentence = std::move(sentence);
    return writing;
}

std::optional<agendas::OccurrenceStart> WhichOf(const agendas::EventOrigin& origin) {
    if (!origin.occurrence) return std::nullopt;
    return agendas::OccurrenceStart{*origin.occurrence};
}

}  // namespace

std::vector<agendas::Source> EventSaving::Calendars() const {
    std::vector<agendas::Source> calendars;
    for (agendas::Source source : settings_->Choices().agendas) {
        if (!source.writable || !agendas::WriteRefusal(source).empty()) continue;
        if (source.name.empty()) {
            source.name = source.kind == agendas::Source::Kind::Folder ? agendas::FolderDisplayName(source.location)
                                                                       : agendas::NameFromPath(source.location);
        }
        calendars.push_back(std::move(source));
    }
    return calendars;
}

std::string EventSaving::DefaultCalendar() const { return settings_->Choices().defaultAgenda; }

agendas::EventWriting EventSaving::Add(const std::string& location, const agendas::EventFields& fields) const {
    agendas::Source calendar{.kind = agendas::Source::Kind::Folder,
                             .location = location,
                             .name = agendas::kLocalAgendaName,
                             .writable = true};
    if (location.empty()) {
        calendar.location = agendas::LocalAgendaFolder(files::XdgFolder(files::XdgKind::Data));
        if (std::string problem = agendas::MakeLocalAgenda(calendar.location); !problem.empty()) {
            return NotWritten(std::move(problem));
        }
        // Listed, writable and chosen, as the command lists it: the next event goes there too.
        std::vector<settings::AgendaEntry> entries = settings_->Agendas();
        bool listed = false;
        for (settings::AgendaEntry& entry : entries) {
            if (agendas::SourceOf(entry.source).location != calendar.location) continue;
            entry.writable = listed = true;
        }
        if (!listed) entries.push_back({.source = calendar.location, .name = {}, .writable = true});
        settings_->SetAgendas(entries);
        settings_->SetDefaultAgenda(calendar.location);
    } else {
        // Chosen when the dialog opened: still listed and marked writable now, or nothing
        // is written (the writer says what else refuses it).
        const std::vector<agendas::Source> listed = settings_->Choices().agendas;
        const auto found = std::ranges::find(listed, location, &agendas::Source::location);
        if (found == listed.end())
            return NotWritten("Cet agenda n'est plus dans la liste des agendas : rien n'est écrit.");
        if (!found->writable) return NotWritten("Cet agenda n'est plus modifiable : rien n'est écrit.");
        calendar = *found;
    }
    std::string problem;
    const agendas::IcsWriter* writer = agendas::ModuleIcsWriter(Native(programFolder_), problem);
    if (writer == nullptr) return NotWritten(problem);
    return WriterOf(*writer).Add(calendar, fields);
}

agendas::EventWriter EventSaving::WriterOf(const agendas::IcsWriter& writer) const {
    return {writer,
            agendas::SafetyNetFolder(files::XdgFolder(files::XdgKind::State)),
            {.now = std::time(nullptr), .zone = agendas::MachineZoneName()},
            settings_->Choices().agendas};
}

std::vector<agendas::Event> EventSaving::EventsOn(QDate day) const {
    const agendas::LocalDate date{day.year(), day.month(), day.day()};
    const std::vector<agendas::Source> calendars = Calendars();
    const auto writable = [&calendars](const agendas::Event& event) {
        return event.origin &&
               std::ranges::find(calendars, event.origin->calendar, &agendas::Source::location) != calendars.end();
    };
    agendas::AgendaDays read;
    const agendas::AgendaDays* days = known_;
    if (days == nullptr || date < days->first || days->last < date) {
        const QString folder = programFolder_;
        agendas::Agenda agenda(
            calendars, [folder](std::string& problem) { return agendas::ModuleIcsReader(Native(folder), problem); });
        read = agenda.DaysBetween(date, date);
        days = &read;
    }
    std::vector<agendas::Event> events;
    if (const agendas::SharedEvents* on = days->On(date)) {
        for (const std::shared_ptr<const agendas::Event>& event : *on) {
            if (writable(*event)) events.push_back(*event);
        }
    }
    return events;
}

EventSaving::Writing EventSaving::WritingOf(const std::string& calendar) const {
    Writing writing;
    const std::vector<agendas::Source> calendars = Calendars();
    const auto found = std::ranges::find(calendars, calendar, &agendas::Source::location);
    if (found == calendars.end()) {
        writing.problem = "Cet agenda n'est plus modifiable : rien n'est écrit.";
        return writing;
    }
    writing.calendar = *found;
    writing.writer = agendas::ModuleIcsWriter(Native(programFolder_), writing.problem);
    return writing;
}

EventSaving::OpenedEvent EventSaving::Open(const agendas::EventOrigin& origin) const {
    OpenedEvent opened;
    const Writing writing = WritingOf(origin.calendar);
    if (writing.writer == nullptr) {
        opened.problem = NotWritten(writing.problem).sentence;
        return opened;
    }
    opened.file = agendas::FindEventFile(writing.calendar, origin.uid, *writing.writer, origin.file);
    if (!opened.file.path.empty()) {
        opened.written = writing.writer->FieldsOf(opened.file.bytes, origin.uid, WhichOf(origin));
    }
    if (!opened.written.found)
        opened.problem = "L'évènement n'est plus dans l'agenda « " + writing.calendar.name + " ».";
    return opened;
}

agendas::EventWriting EventSaving::Change(const agendas::EventOrigin& origin, const agendas::EventFile& file,
                                          agendas::Scope scope, const agendas::EventFields& fields) const {
    const Writing writing = WritingOf(origin.calendar);
    if (writing.writer == nullptr) return NotWritten(writing.problem);
    agendas::EventWriting written =
        WriterOf(*writing.writer).Change(writing.calendar, file, origin.uid, WhichOf(origin), scope, fields);
    if (written.status != agendas::EventWriting::Status::Written)
        written.sentence = NotWritten(written.sentence).sentence;
    return written;
}

agendas::EventWriting EventSaving::Remove(const agendas::EventOrigin& origin, const agendas::EventFile& file,
                                          agendas::Scope scope) const {
    const Writing writing = WritingOf(origin.calendar);
    if (writing.writer == nullptr) return NotWritten(writing.problem);
    agendas::EventWriting written =
        WriterOf(*writing.writer).Remove(writing.calendar, file, origin.uid, WhichOf(origin), scope);
    if (written.status != agendas::EventWriting::Status::Written)
        written.sentence = NotWritten(written.sentence).sentence;
    return written;
}
