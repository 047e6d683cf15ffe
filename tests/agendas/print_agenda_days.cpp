// Prints the user's events of every day of a range, one line an event, as the
// agendas compute them for the process's time zone, for the tests that compare
// them with another reading of the same files:
//   print_agenda_days FIRST LAST [--par-mois | --a-rebours | --contacts] SOURCE…
// FIRST and LAST are AAAA-MM-JJ. With --par-mois each month is read as the terminal
// reads it, each file passed over for that month alone; otherwise the files are read
// once, as the window reads them, and with --a-rebours asked a month at a time from
// the last, as pages turned back. With --contacts it prints instead each contact of the
// cards, its name and its given name separated by a tab. A line: the day, then the event's kind (J for whole
// days, H for a time), its start and end (AAAA-MM-JJTHH:MM, or the dates of its first
// and last day), its title and its agenda, separated by tabs. Then each problem on a
// line of its own, after "!".

#include <cstdio>
#include <string>
#include <vector>

#include "agendas/agenda.h"
#include "agendas/ics/reader.h"

namespace {

agendas::LocalDate DateArgument(const char* text) {
    agendas::LocalDate date;
    std::sscanf(text, "%d-%d-%d", &date.year, &date.month, &date.day);
    return date;
}

std::string Moment(const agendas::LocalTime& time, bool wholeDays) {
    char text[32];
    if (wholeDays) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", time.year, time.month, time.day);
    } else {
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", time.year, time.month, time.day, time.hour,
                      time.minute);
    }
    return text;
}

void Print(const agendas::AgendaDays& days, std::vector<std::string>& said) {
    for (const auto& [day, events] : days.days) {
        for (const std::shared_ptr<const agendas::Event>& shared : events) {
            const agendas::Event& event = *shared;
            std::printf("%04d-%02d-%02d\t%s\t%s\t%s\t%s\t%s\n", day.year, day.month, day.day,
                        event.WholeDays() ? "J" : "H", Moment(event.start, event.WholeDays()).c_str(),
                        Moment(event.end, event.WholeDays()).c_str(), event.title.c_str(), event.agenda.c_str());
        }
    }
    for (const std::string& problem : days.problems) {
        bool again = false;
        for (const std::string& before : said) again = again || before == problem;
        if (!again) std::printf("!%s\n", problem.c_str());
        said.push_back(problem);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "print_agenda_days PREMIER DERNIER [--par-mois | --a-rebours | --contacts] SOURCE…\n");
        return 2;
    }
    const agendas::LocalDate first = DateArgument(argv[1]), last = DateArgument(argv[2]);
    int at = 3;
    const bool perMonth = at < argc && std::string(argv[at]) == "--par-mois";
    const bool backwards = at < argc && std::string(argv[at]) == "--a-rebours";
    const bool contacts = at < argc && std::string(argv[at]) == "--contacts";
    if (perMonth || backwards || contacts) ++at;
    std::vector<agendas::Source> sources;
    for (; at < argc; ++at) sources.push_back(agendas::SourceOf(argv[at]));
    const auto reader = [](std::string&) { return &agendas::LibicalReader(); };
    std::vector<std::string> said;
    if (contacts) {
        agendas::Agenda agenda(sources, reader);
        for (const agendas::Contact& contact : agenda.DaysBetween(first, last).contacts)
            std::printf("%s\t%s\n", contact.name.c_str(), contact.givenName.c_str());
        return 0;
    }
    if (backwards) {
        agendas::Agenda agenda(sources, reader);
        for (agendas::LocalDate end = last; first <= end;) {
            const agendas::LocalDate start = std::max(first, agendas::LocalDate{end.year, end.month, 1});
            Print(agenda.DaysBetween(start, end), said);
            end = agendas::PreviousDay(start);
        }
        return 0;
    }
    if (!perMonth) {
        agendas::Agenda agenda(sources, reader);
        Print(agenda.DaysBetween(first, last), said);
        return 0;
    }
    for (agendas::LocalDate month{first.year, first.month, 1}; month <= last;
         month = month.month == 12 ? agendas::LocalDate{month.year + 1, 1, 1}
                                   : agendas::LocalDate{month.year, month.month + 1, 1}) {
        const agendas::LocalDate next = month.month == 12 ? agendas::LocalDate{month.year + 1, 1, 1}
                                                          : agendas::LocalDate{month.year, month.month + 1, 1};
        const agendas::LocalDate end = std::min(last, agendas::PreviousDay(next));
        const agendas::LocalDate start = std::max(first, month);
        agendas::Agenda agenda(sources, reader);
        agenda.ReadOnlyFor(start, end);
        Print(agenda.DaysBetween(start, end), said);
    }
    return 0;
}
