#include "terminal/add_event.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <optional>

#include "agendas/event_writing.h"
#include "agendas/safety_net.h"
#include "agendas/writable_sources.h"
#include "almanac/day_facts.h"
#include "choices/user_choices.h"
#include "files/xdg_folders.h"
#include "settings/settings_file.h"
#include "terminal/day_json.h"

namespace {

TerminalAnswer Failure(const std::string& sentence, int status = 1) {
    return {"", "solvane: " + sentence + "\n", status};
}

agendas::LocalTime LocalNow(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

// The gadget's local calendar, made when missing and listed among the user's agendas
// as the writable one new events go to.
std::optional<agendas::Source> LocalCalendar(std::string& problem) {
    const std::string folder = agendas::LocalAgendaFolder(files::XdgFolder(files::XdgKind::Data));
    problem = agendas::MakeLocalAgenda(folder);
    if (!problem.empty()) return std::nullopt;
    const settings::WriteOutcome listed =
        settings::UpdateSettings(settings::SettingsFilePath(), [&folder](settings::IniText& text) {
            std::vector<settings::AgendaEntry> entries = settings::AgendaEntries(text);
            const auto same = [&](const settings::AgendaEntry& entry) { return entry.source == folder; };
            if (const auto found = std::find_if(entries.begin(), entries.end(), same); found != entries.end()) {
                found->writable = true;
            } else {
                entries.push_back({.source = folder, .name = {}, .writable = true});
            }
            settings::SetAgendaEntries(text, entries);
            text.Set(settings::kGroup, settings::kDefaultAgendaKey, folder);
        });
    // The event is written all the same; the settings' sentence says why it is not listed.
    if (!listed.sentence.empty()) problem = listed.sentence;
    return agendas::Source{
        .kind = agendas::Source::Kind::Folder, .location = folder, .name = agendas::kLocalAgendaName, .writable = true};
}

// The calendar the event goes to, and the words said about it on the way.
std::optional<agendas::Source> ChosenCalendar(const TerminalRequest& request, const choices::UserChoices& chosen,
                                              std::string& said) {
    std::optional<agendas::Source> calendar;
    if (!request.agendas.empty()) {
        calendar = agendas::SourceOf(request.agendas.front());
    } else if (!chosen.defaultAgenda.empty()) {
        calendar = agendas::SourceOf(chosen.defaultAgenda);
    } else {
        return LocalCalendar(said);
    }
    // Its name as the user gave it in « Agendas… ».
    for (const agendas::Source& source : chosen.agendas) {
        if (source.location == calendar->location) calendar->name = source.name;
    }
    return calendar;
}

std::string CalendarName(const agendas::Source& calendar) {
    if (!calendar.name.empty()) return calendar.name;
    return calendar.kind == agendas::Source::Kind::Folder ? agendas::FolderDisplayName(calendar.location)
                                                          : agendas::NameFromPath(calendar.location);
}

}  // namespace

TerminalAnswer AddEventAnswer(const TerminalRequest& request, const std::string& programFolder) {
    const std::time_t now = std::time(nullptr);
    const agendas::QuickEntry entry = agendas::ReadQuickEntry(*request.phrase, LocalNow(now));
    if (entry.problem != agendas::QuickEntry::Problem::None) {
        return Failure(agendas::QuickEntryProblemSentence(entry), kWrongArgumentStatus);
    }
    if (entry.title.empty()) {
        return Failure(
            "« " + EchoedArgument(*request.phrase) + " » ne dit pas le titre de l'évènement : rien n'est écrit.",
            kWrongArgumentStatus);
    }
    const choices::UserChoices chosen = choices::ChoicesOf(settings::ReadSettings(settings::SettingsFilePath()).text);
    std::string said;
    const std::optional<agendas::Source> calendar = ChosenCalendar(request, chosen, said);
    if (!calendar) return Failure(said);
    std::string problem;
    const agendas::IcsWriter* writer = agendas::ModuleIcsWriter(programFolder, problem);
    if (writer == nullptr) return Failure(problem);

    const agendas::EventFields fields = agendas::FieldsOfQuickEntry(entry);
    const agendas::EventWriter events(*writer, agendas::SafetyNetFolder(files::XdgFolder(files::XdgKind::State)),
                                      {.now = now, .zone = agendas::MachineZoneName()}, chosen.agendas);
    const agendas::EventWriting written = events.Add(*calendar, fields);
    if (written.status != agendas::EventWriting::Status::Written) return Failure(written.sentence);

    // Shown as every reader reads it: a time the change of time skips, later by the gap.
    const auto asRead = [&](const agendas::LocalTime& time) {
        const std::optional<std::int64_t> instant = agendas::InstantOfLocal(time);
        return fields.wholeDay || !instant ? time : agendas::LocalOfInstant(*instant).value_or(time);
    };
    const agendas::Event event{.kind = fields.wholeDay ? agendas::Event::Kind::AllDay : agendas::Event::Kind::Timed,
                               .start = asRead(fields.start),
                               .end = asRead(fields.end),
                               .title = fields.title,
                               .location = fields.place,
                               .agenda = CalendarName(*calendar),
                               .alarms = nullptr};
    const std::string warning = said.empty() ? "" : "solvane: " + said + "\n";
    if (request.form == FactsForm::Json) return {EventJson(event) + "\n", warning, 0};
    const calendar::LocaleNames& names = calendar::FrenchNames();
    return {almanac::WrittenDateOf(fields.start.year, fields.start.month, fields.start.day, names) + "\n" +
                almanac::EventLine(event, names) + "\n",
            warning, 0};
}
