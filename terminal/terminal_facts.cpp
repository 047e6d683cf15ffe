#include "terminal/terminal_facts.h"

#include <unistd.h>
#include <array>
#include <csignal>
#include <ctime>
#include <memory>
#include <variant>
#include <vector>

#include "agendas/agenda.h"
#include "agendas/ics_module.h"
#include "almanac/day_facts.h"
#include "calendar/serial_date.h"
#include "choices/user_choices.h"
#include "namedays/name_day_file.h"
#include "settings/settings_file.h"
#include "terminal/add_event.h"
#include "terminal/date_argument.h"
#include "terminal/day_json.h"
#include "terminal/follow.h"
#include "terminal/ics.h"
#include "terminal/options.h"
#include "terminal/output.h"
#include "terminal/reminders_list.h"
#include "terminal/subscription_fetch.h"

namespace {

TerminalAnswer Wrong(const std::string& sentence) { return {"", "solvane: " + sentence + "\n", kWrongArgumentStatus}; }

// Without a readable list the facts have no name day, as the window's panel has none.
std::vector<std::string> NameDays(const std::string& programFolder) {
    try {
        return namedays::ReadNameDayFile(programFolder + "/fetes.txt", namedays::kShownNameDays);
    } catch (const namedays::NameDayFileError&) {
        return {};
    }
}

GivenDay Today() {
    const calendar::SerialDate today = calendar::CurrentDateTime();
    return {calendar::YearOf(today).value(), calendar::MonthOf(today).value(), calendar::DayOf(today).value()};
}

// What the user chose in the window's menu and « Agendas… », as the settings file
// holds it, with the options over it. The file is read once.
choices::UserChoices ChoicesOf(const TerminalRequest& request) {
    return choices::ChoicesOf(settings::ReadSettings(settings::SettingsFilePath()).text,
                              {.region = request.region, .place = request.place, .agendas = request.agendas});
}

// A day's facts in one of the forms, as one unit: the JSON forms one line, the text
// its lines (and, followed, an empty line after them, so that a reader sees where
// each answer ends); and the sentences of the agendas that could not be read.
struct FactsReply {
    std::string output;
    std::vector<std::string> problems;
};

// The agendas chosen; libical is loaded only for an iCalendar file.
std::unique_ptr<agendas::Agenda> AgendaOf(const choices::UserChoices& chosen, const std::string& programFolder) {
    return std::make_unique<agendas::Agenda>(chosen.agendas, [programFolder](std::string& problem) {
        return agendas::ModuleIcsReader(programFolder, problem);
    });
}

// Each file of `agenda` is passed over for the events of this day alone.
FactsReply FactsAnswer(const TerminalRequest& request, const choices::UserChoices& chosen, GivenDay day,
                       const std::string& programFolder, bool followed, agendas::Agenda& agenda) {
    const std::vector<std::string> nameDays = NameDays(programFolder);
    const agendas::LocalDate local{day.year, day.month, day.day};
    agendas::AgendaDays days;
    if (!agenda.Empty()) {
        agenda.ReadOnlyFor(local, local);
        days = agenda.DaysBetween(local, local);
    }
    const almanac::DayFacts facts = almanac::FactsOfDay(day.year, day.month, day.day,
                                                        {.nameDays = nameDays,
                                                         .names = calendar::FrenchNames(),
                                                         .region = chosen.region,
                                                         .place = chosen.place,
                                                         .agenda = &days});
    FactsReply reply{.output = {}, .problems = days.problems};
    switch (request.form) {
    case FactsForm::Text: reply.output = almanac::FactsText(facts) + (followed ? "\n" : ""); break;
    case FactsForm::Json: reply.output = FactsJson(facts) + "\n"; break;
    case FactsForm::Waybar: reply.output = FactsWaybar(facts) + "\n"; break;
    }
    return reply;
}

std::string ProblemLines(const std::vector<std::string>& problems) {
    std::string lines;
    for (const std::string& problem : problems) lines += "solvane: " + problem + "\n";
    return lines;
}

// Where the agendas are, those of the subscriptions among them.
std::vector<std::string> SourceLocations(const choices::UserChoices& chosen) {
    std::vector<std::string> locations;
    for (const agendas::Source& source : chosen.agendas) locations.push_back(source.location);
    return locations;
}

TerminalAnswer FactsOf(const TerminalRequest& request, const std::string& programFolder) {
    GivenDay day = Today();
    if (request.value) {
        const auto given = ReadGivenDay(*request.value);
        if (const auto* sentence = std::get_if<std::string>(&given)) return Wrong(*sentence);
        day = std::get<GivenDay>(given);
    }
    // The subscriptions due are fetched first; one that fails is said, its copy read.
    const choices::UserChoices chosen = ChoicesOf(request);
    const std::string failures = FetchDueSubscriptions(SourceLocations(chosen));
    FactsReply reply = FactsAnswer(request, chosen, day, programFolder, false, *AgendaOf(chosen, programFolder));
    return {std::move(reply.output), failures + ProblemLines(reply.problems), 0};
}

TerminalAnswer CalendarOf(const TerminalRequest& request, const std::string& programFolder) {
    int year = Today().year;
    if (request.value) {
        const auto given = ReadGivenYear(*request.value);
        if (const auto* sentence = std::get_if<std::string>(&given)) return Wrong(*sentence);
        year = std::get<int>(given);
    }
    const std::string yearText = std::to_string(year);
    if (request.calendar == CalendarKind::Holidays) {
        const calendar::Region region = ChoicesOf(request).region;
        const std::string title =
            "Jours fériés " + yearText +
            (region == calendar::Region::National ? "" : " (" + std::string(calendar::RegionName(region)) + ")");
        return {ICalendar(HolidayEvents(year, region), title, CurrentStamp()), "", 0};
    }
    return {ICalendar(NameDayEvents(year, NameDays(programFolder)), "Fêtes à souhaiter " + yearText, CurrentStamp()),
            "", 0};
}

// The reminders of the next 24 hours: the agendas' events from two days before today
// to a week after (reminders/alarm.h), whose alarms fall from now on.
TerminalAnswer RemindersOf(const TerminalRequest& request, const std::string& programFolder) {
    const choices::UserChoices chosen = ChoicesOf(request);
    const std::string failures = FetchDueSubscriptions(SourceLocations(chosen));
    const reminders::UnixSeconds now = std::time(nullptr);
    const reminders::AskedDays asked = reminders::DaysAround(now);
    agendas::Agenda agenda(chosen.agendas, [&programFolder](std::string& problem) {
        return agendas::ModuleIcsReader(programFolder, problem);
    });
    agendas::AgendaDays days;
    if (!agenda.Empty()) {
        agenda.ReadOnlyFor(asked.first, asked.last);
        days = agenda.DaysBetween(asked.first, asked.last);
    }
    const std::vector<reminders::Alarm> alarms = reminders::AlarmsBetween(days, now, now + kRemindersAhead);
    std::string output = request.form == FactsForm::Json ? RemindersJson(alarms) + "\n" : RemindersText(alarms);
    return {std::move(output), failures + ProblemLines(days.problems), 0};
}

}  // namespace

std::optional<TerminalAnswer> AnswerInTerminal(int argc, const char* const* argv, const std::string& programFolder) {
    const ParsedArguments parsed = ParseTerminalArguments(argc, argv);
    if (!parsed.error.empty()) return Wrong(parsed.error);
    const TerminalRequest& request = parsed.request;
    switch (request.kind) {
    case TerminalAnswerKind::Window: return std::nullopt;
    case TerminalAnswerKind::Help: return TerminalAnswer{HelpText(), "", 0};
    case TerminalAnswerKind::Version: return TerminalAnswer{"Solvane " SOLVANE_VERSION "\n", "", 0};
    case TerminalAnswerKind::Facts: return FactsOf(request, programFolder);
    case TerminalAnswerKind::Calendar: return CalendarOf(request, programFolder);
    case TerminalAnswerKind::Reminders: return RemindersOf(request, programFolder);
    case TerminalAnswerKind::Add: return AddEventAnswer(request, programFolder);
    }
    return std::nullopt;
}

std::optional<int> RunTerminal(int argc, const char* const* argv) {
    const ParsedArguments parsed = ParseTerminalArguments(argc, argv);
    if (parsed.error.empty() && parsed.request.kind == TerminalAnswerKind::Window) return std::nullopt;
    // A write to a reader that has gone fails with EPIPE, which is then reported, rather
    // than ending the program silently.
    std::signal(SIGPIPE, SIG_IGN);
    const std::string programFolder = ProgramFolder();
    if (parsed.error.empty() && !StandardOutputIsOpen()) {
        WriteWhole(STDERR_FILENO, "solvane: " + WriteFailedSentence(EBADF) + "\n");
        return 1;
    }
    if (parsed.error.empty() && parsed.request.follow) {
        // The region, the place and the agendas are read again with each answer: a
        // choice in the window's menu, or a changed calendar, shows at once in a status
        // bar. What an agenda cannot read is said once, until it changes.
        const TerminalRequest& request = parsed.request;
        // The subscriptions are fetched on their own thread; a new copy in the cache
        // folder wakes the follower like any other change.
        FollowedSubscriptions subscriptions;
        std::vector<std::string> saidProblems;
        // The agendas stay read from one answer to the next: a change reads again the
        // files it touched, and another list of agendas is read anew.
        std::unique_ptr<agendas::Agenda> agenda;
        std::vector<agendas::Source> agendaSources;
        return FollowToday(
            [&](const files::FolderChanges* changes) {
                const choices::UserChoices chosen = ChoicesOf(request);
                subscriptions.SetSources(SourceLocations(chosen));
                if (!agenda || chosen.agendas != agendaSources) {
                    agenda = AgendaOf(chosen, programFolder);
                    agendaSources = chosen.agendas;
                } else if (changes == nullptr) {
                    agenda->ReadChanges();
                } else {
                    // The names told alone: a file come into a vdir of 20,000 is read
                    // without listing the folder.
                    for (const auto& [folder, names] : changes->names) agenda->ReadNamesAt(folder, names);
                    for (const std::string& path : changes->whole) agenda->ReadChangesAt(path, true);
                }
                FactsReply reply = FactsAnswer(request, chosen, Today(), programFolder, true, *agenda);
                if (reply.problems != saidProblems) WriteWhole(STDERR_FILENO, ProblemLines(reply.problems));
                saidProblems = std::move(reply.problems);
                return reply.output;
            },
            [&] {
                std::vector<std::string> folders = settings::FoldersOfTheFile(settings::SettingsFilePath());
                folders.push_back(programFolder);
                for (std::string& folder : ChoicesOf(request).agendaFolders) folders.push_back(std::move(folder));
                folders.push_back(subscriptions.Folder());
                return folders;
            });
    }
    const std::optional<TerminalAnswer> answer = AnswerInTerminal(argc, argv, programFolder);
    const int error = WriteWhole(STDOUT_FILENO, answer->output);
    WriteWhole(STDERR_FILENO, answer->error);
    if (error != 0) {
        WriteWhole(STDERR_FILENO, "solvane: " + WriteFailedSentence(error) + "\n");
        return 1;
    }
    return answer->status;
}

std::string ProgramFolder() {
    std::array<char, 4096> path{};
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return {};
    const std::string program(path.data(), static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/'));
}
