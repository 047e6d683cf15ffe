#include "app/window/event_saving.h"

#include <ctime>

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
        bool found = false;
        for (const agendas::Source& source : settings_->Choices().agendas) {
            if (source.location != location) continue;
            calendar = source;
            found = true;
        }
        if (!found) return NotWritten("Cet agenda n'est plus dans la liste des agendas : rien n'est écrit.");
    }
    std::string problem;
    const agendas::IcsWriter* writer = agendas::ModuleIcsWriter(Native(programFolder_), problem);
    if (writer == nullptr) return NotWritten(problem);
    const agendas::EventWriter events(*writer, agendas::SafetyNetFolder(files::XdgFolder(files::XdgKind::State)),
                                      {.now = std::time(nullptr), .zone = agendas::MachineZoneName()},
                                      settings_->Choices().agendas);
    return events.Add(calendar, fields);
}
