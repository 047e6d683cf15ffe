// Writes events as the gadget does, for the tests that read them back with other
// programs: each command reads a quick-add phrase at a fixed moment and calls
// agendas/event_writing.h on one calendar (a vdir folder or an .ics file).
//   write_events add CALENDAR PHRASE
//   write_events change CALENDAR UID all|this|following OCCURRENCE PHRASE
//   write_events remove CALENDAR UID all|this|following OCCURRENCE
//   write_events stale CALENDAR UID PHRASE   (the file rewritten between reading and writing)
//   write_events batch [CALENDAR…]
// OCCURRENCE is a local time "2027-01-04T09:00" or "-"; the moment is 2027-01-01
// 08:00. It prints the UID written, or the French sentence and exits 1.
// `batch` reads commands from its input, one a line, their words separated by tabs,
// and answers each with one line, « ok UID » or « non SENTENCE »; the CALENDARs are
// the user's, in which a new UID must be free. The first command is stamped now, each
// other a minute after the one before. A command preceded by the word « pause » answers « lu » once its
// file is read, then waits for a line before it writes: the test changes the world
// between the two.

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "agendas/event_writing.h"
#include "agendas/ics/writer.h"
#include "agendas/safety_net.h"
#include "files/xdg_folders.h"

namespace {

constexpr agendas::LocalTime kNow{2027, 1, 1, 8, 0};
constexpr std::int64_t kStamp = 1'798'786'800;

agendas::EventFields Fields(const std::string& phrase) {
    return agendas::FieldsOfQuickEntry(agendas::ReadQuickEntry(phrase, kNow));
}

std::optional<agendas::OccurrenceStart> Occurrence(const std::string& text) {
    agendas::LocalTime time;
    if (std::sscanf(text.c_str(), "%d-%d-%dT%d:%d", &time.year, &time.month, &time.day, &time.hour, &time.minute) != 5)
        return std::nullopt;
    return agendas::OccurrenceStart{time};
}

agendas::Scope ScopeOf(const std::string& text) {
    if (text == "this") return agendas::Scope::ThisOccurrence;
    if (text == "following") return agendas::Scope::ThisAndFollowing;
    return agendas::Scope::All;
}

// One command, its words as on the command line; `betweenReadAndWrite` runs once the
// event's file is read. Nothing when the command is not one of these.
std::optional<agendas::EventWriting> Run(const std::vector<std::string>& words, const agendas::EventWriter& events,
                                         const std::function<void(const agendas::EventFile&)>& betweenReadAndWrite) {
    if (words.size() < 3) return std::nullopt;
    const std::string& command = words[0];
    const agendas::Source calendar = agendas::SourceOf(words[1]);
    const agendas::IcsWriter& writer = agendas::LibicalWriter();
    if (command == "add") {
        betweenReadAndWrite({});
        return events.Add(calendar, Fields(words[2]));
    }
    const agendas::EventFile file = agendas::FindEventFile(calendar, words[2], writer);
    betweenReadAndWrite(file);
    if (command == "change" && words.size() == 6) {
        // As the dialog leaves its reminder at « Comme écrits dans l'agenda »: the
        // VALARMs the phrase cannot say are kept.
        agendas::EventFields fields = Fields(words[5]);
        fields.keepReminders = writer.FieldsOf(file.bytes, words[2], Occurrence(words[4])).fields.keepReminders;
        return events.Change(calendar, file, words[2], Occurrence(words[4]), ScopeOf(words[3]), fields);
    }
    if (command == "remove" && words.size() == 5) {
        return events.Remove(calendar, file, words[2], Occurrence(words[4]), ScopeOf(words[3]));
    }
    if (command == "stale" && words.size() == 4) {
        std::ofstream(file.path, std::ios::app) << "\r\n";  // a synchronisation's own save
        return events.Change(calendar, file, words[2], std::nullopt, agendas::Scope::All, Fields(words[3]));
    }
    return std::nullopt;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    for (std::size_t at = 0;;) {
        const std::size_t tab = line.find('\t', at);
        words.push_back(line.substr(at, tab - at));
        if (tab == std::string::npos) return words;
        at = tab + 1;
    }
}

int Batch(const std::vector<agendas::Source>& calendars) {
    const std::string net = agendas::SafetyNetFolder(files::XdgFolder(files::XdgKind::State));
    std::string line;
    // Stamped from now on, as the program's own writes are: the safety net keeps its days
    // around the present.
    for (std::int64_t stamp = std::time(nullptr); std::getline(std::cin, line); stamp += 60) {
        std::vector<std::string> words = Words(line);
        const bool pause = !words.empty() && words.front() == "pause";
        if (pause) words.erase(words.begin());
        const agendas::EventWriter events(agendas::LibicalWriter(), net,
                                          {.now = stamp, .zone = agendas::MachineZoneName()}, calendars);
        const std::optional<agendas::EventWriting> written = Run(words, events, [&](const agendas::EventFile&) {
            if (!pause) return;
            std::cout << "lu" << std::endl;
            std::string resume;
            std::getline(std::cin, resume);
        });
        if (!written) return 2;
        if (written->status == agendas::EventWriting::Status::Written) {
            std::cout << "ok " << written->uid << std::endl;
        } else {
            std::cout << "non " << written->sentence << std::endl;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "batch") == 0) {
        std::vector<agendas::Source> calendars;
        for (int at = 2; at < argc; ++at) calendars.push_back(agendas::SourceOf(argv[at]));
        return Batch(calendars);
    }
    const agendas::EventWriter events(agendas::LibicalWriter(),
                                      agendas::SafetyNetFolder(files::XdgFolder(files::XdgKind::State)),
                                      {.now = kStamp, .zone = agendas::MachineZoneName()});
    const std::optional<agendas::EventWriting> written =
        Run(std::vector<std::string>(argv + 1, argv + argc), events, [](const agendas::EventFile&) {});
    if (!written) return 2;
    if (written->status != agendas::EventWriting::Status::Written) {
        std::printf("%s\n", written->sentence.c_str());
        return 1;
    }
    std::printf("%s\n", written->uid.c_str());
    return 0;
}
