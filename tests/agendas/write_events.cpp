// Writes events as the gadget does, for the tests that read them back with other
// programs: each command reads a quick-add phrase at a fixed moment and calls
// agendas/event_writing.h on one calendar (a vdir folder or an .ics file).
//   write_events add CALENDAR PHRASE
//   write_events change CALENDAR UID all|this|following OCCURRENCE PHRASE
//   write_events remove CALENDAR UID all|this|following OCCURRENCE
//   write_events stale CALENDAR UID PHRASE   (the file rewritten between reading and writing)
// OCCURRENCE is a local time "2027-01-04T09:00" or "-"; the moment is 2027-01-01
// 08:00. It prints the UID written, or the French sentence and exits 1.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "agendas/event_writing.h"
#include "agendas/ics/writer.h"
#include "agendas/safety_net.h"
#include "files/xdg_folders.h"

namespace {

constexpr agendas::LocalTime kNow{2027, 1, 1, 8, 0};

agendas::EventFields Fields(const char* phrase) {
    return agendas::FieldsOfQuickEntry(agendas::ReadQuickEntry(phrase, kNow));
}

std::optional<agendas::OccurrenceStart> Occurrence(const char* text) {
    agendas::LocalTime time;
    if (std::sscanf(text, "%d-%d-%dT%d:%d", &time.year, &time.month, &time.day, &time.hour, &time.minute) != 5)
        return std::nullopt;
    return agendas::OccurrenceStart{time};
}

agendas::Scope ScopeOf(const char* text) {
    if (std::strcmp(text, "this") == 0) return agendas::Scope::ThisOccurrence;
    if (std::strcmp(text, "following") == 0) return agendas::Scope::ThisAndFollowing;
    return agendas::Scope::All;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const std::string command = argv[1];
    const agendas::Source calendar = agendas::SourceOf(argv[2]);
    const agendas::IcsWriter& writer = agendas::LibicalWriter();
    const agendas::EventWriter events(writer, agendas::SafetyNetFolder(files::XdgFolder(files::XdgKind::State)),
                                      {.now = 1'798'786'800, .zone = agendas::MachineZoneName()});
    agendas::EventWriting written;
    if (command == "add") {
        written = events.Add(calendar, Fields(argv[3]));
    } else if (command == "change" && argc == 7) {
        const agendas::EventFile file = agendas::FindEventFile(calendar, argv[3], writer);
        written = events.Change(calendar, file, argv[3], Occurrence(argv[5]), ScopeOf(argv[4]), Fields(argv[6]));
    } else if (command == "remove" && argc == 6) {
        const agendas::EventFile file = agendas::FindEventFile(calendar, argv[3], writer);
        written = events.Remove(calendar, file, argv[3], Occurrence(argv[5]), ScopeOf(argv[4]));
    } else if (command == "stale" && argc == 5) {
        const agendas::EventFile file = agendas::FindEventFile(calendar, argv[3], writer);
        std::ofstream(file.path, std::ios::app) << "\r\n";  // a synchronisation's own save
        written = events.Change(calendar, file, argv[3], std::nullopt, agendas::Scope::All, Fields(argv[4]));
    } else {
        return 2;
    }
    if (written.status != agendas::EventWriting::Status::Written) {
        std::printf("%s\n", written.sentence.c_str());
        return 1;
    }
    std::printf("%s\n", written.uid.c_str());
    return 0;
}
