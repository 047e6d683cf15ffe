// The user's agendas: a calendar of 5,000 events, 500 of them repeated
// (bench/agenda_calendar.py), read as the window reads it, once, then a month of its
// events at a time; and read as the terminal reads it for one day, from the file.
// And a vdir of 20,000 events, one file each, in which one file comes or changes; and
// an event the gadget saves in a vdir or an .ics file of 5,000, until the grid shows it.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "agendas/agenda.h"
#include "agendas/event_writing.h"
#include "agendas/ics/reader.h"
#include "agendas/ics/writer.h"
#include "files/folder_watch.h"

namespace {

// The calendar, written once into the temporary folder.
const std::string& CalendarPath() {
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "solvane-agenda-bench.ics").string();
        const std::string command = "/usr/bin/python3 " SOLVANE_BENCH_FOLDER "/agenda_calendar.py 5000 > " + file;
        if (std::system(command.c_str()) != 0) throw std::runtime_error("agenda_calendar.py a échoué");
        return file;
    }();
    return path;
}

agendas::Agenda NewAgenda() {
    return agendas::Agenda({agendas::SourceOf(CalendarPath())}, [](std::string&) { return &agendas::LibicalReader(); });
}

// A month not yet computed at each iteration: 24 months in turn, more than are kept.
void BM_AgendaMonth(benchmark::State& state) {
    setenv("TZ", "Europe/Paris", 1);
    agendas::Agenda agenda = NewAgenda();
    agenda.DaysBetween({2025, 1, 1}, {2025, 1, 31});  // the file read, and the zones loaded
    int month = 0;
    for (auto _ : state) {
        const int year = 2025 + month / 12, number = month % 12 + 1;
        benchmark::DoNotOptimize(agenda.DaysBetween({year, number, 1}, {year, number, 28}));
        month = (month + 1) % 24;
    }
}
BENCHMARK(BM_AgendaMonth)->Unit(benchmark::kMillisecond);

// The window's question as its page turns: the 70 days from two weeks before the 1st,
// across three months, one of them new, 24 pages in turn.
void BM_AgendaPage(benchmark::State& state) {
    setenv("TZ", "Europe/Paris", 1);
    agendas::Agenda agenda = NewAgenda();
    agenda.DaysBetween({2024, 12, 18}, {2025, 2, 25});  // the file read, and the zones loaded
    int month = 0;
    for (auto _ : state) {
        const int year = 2025 + month / 12, number = month % 12 + 1;
        const int before = number == 1 ? 12 : number - 1, beforeYear = number == 1 ? year - 1 : year;
        const int beforeDays = agendas::DaysBetween({beforeYear, before, 1}, {year, number, 1});
        const agendas::LocalDate first{beforeYear, before, beforeDays - 13};
        agendas::LocalDate last = first;
        for (int day = 0; day < 69; ++day) last = agendas::NextDay(last);
        benchmark::DoNotOptimize(agenda.DaysBetween(first, last));
        month = (month + 1) % 24;
    }
}
BENCHMARK(BM_AgendaPage)->Unit(benchmark::kMillisecond);

// What `solvane --texte` does with the calendar, but the start of the process and
// the loading of the module: the file read, passed over, parsed for the day, and the
// day computed.
void BM_AgendaTerminalDay(benchmark::State& state) {
    setenv("TZ", "Europe/Paris", 1);
    for (auto _ : state) {
        agendas::Agenda agenda = NewAgenda();
        agenda.ReadOnlyFor({2025, 5, 8}, {2025, 5, 8});
        benchmark::DoNotOptimize(agenda.DaysBetween({2025, 5, 8}, {2025, 5, 8}));
    }
}
BENCHMARK(BM_AgendaTerminalDay)->Unit(benchmark::kMillisecond);

// A vdir as vdirsyncer keeps one: 19,999 files of one event each over 2025 and 2026,
// a tenth of them whole days, a tenth repeated weekly; written once into the
// temporary folder. The file each iteration adds makes it 20,000, the most a folder
// may hold.
constexpr int kVdirFiles = 19'999;

std::string VdirEvent(int index, const std::string& title) {
    const int year = 2025 + index % 2, month = index / 2 % 12 + 1, day = index / 24 % 28 + 1;
    char start[64];
    if (index % 10 == 5) {
        std::snprintf(start, sizeof start, "DTSTART;VALUE=DATE:%04d%02d%02d\r\nDURATION:P1D", year, month, day);
    } else {
        std::snprintf(start, sizeof start, "DTSTART;TZID=Europe/Paris:%04d%02d%02dT%02d0000\r\nDURATION:PT1H", year,
                      month, day, 8 + index % 10);
    }
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Solvane//bench//FR\r\nBEGIN:VEVENT\r\nUID:" +
           std::to_string(index) + "@bench\r\nDTSTAMP:20250101T000000Z\r\n" + start + "\r\nSUMMARY:" + title +
           (index % 10 == 0 ? "\r\nRRULE:FREQ=WEEKLY" : "") + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

// A name as vdirsyncer gives one, after the event's UID: 36 characters and ".ics".
std::string VdirName(int index) {
    char name[48];
    std::snprintf(name, sizeof name, "%08x-0c4e-4a1b-9d2f-%012x.ics", unsigned(index) * 2654435761U, unsigned(index));
    return name;
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

const std::filesystem::path& VdirPath() {
    static const std::filesystem::path path = [] {
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / "solvane-vdir-bench";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directory(folder);
        for (int index = 0; index < kVdirFiles; ++index) {
            WriteFile(folder / VdirName(index), VdirEvent(index, "Évènement " + std::to_string(index)));
        }
        return folder;
    }();
    return path;
}

// The window's question: the ten weeks that the grid of May 2025 can show.
agendas::AgendaDays GridDays(agendas::Agenda& agenda) { return agenda.DaysBetween({2025, 4, 17}, {2025, 6, 25}); }

// What the window's reader does once the folders' watcher has told of a new file:
// the watcher's events read, the one name looked at, the new file read and its months
// computed, the grid's days gathered. The file is taken away again between two
// iterations, untimed.
void BM_VdirOneFileAdded(benchmark::State& state) {
    setenv("TZ", "Europe/Paris", 1);
    const std::filesystem::path& folder = VdirPath();
    agendas::Agenda agenda({agendas::SourceOf(folder.string())},
                           [](std::string&) { return &agendas::LibicalReader(); });
    GridDays(agenda);
    files::FolderWatch watch;
    watch.Watch({folder.string()});
    const std::filesystem::path added = folder / "ffffffff-0c4e-4a1b-9d2f-nouveau.ics";
    const auto tell = [&] {
        for (const auto& [watched, names] : watch.Read().names) agenda.ReadNamesAt(watched, names);
    };
    for (auto _ : state) {
        state.PauseTiming();
        WriteFile(added, VdirEvent(4, "Nouveau"));
        state.ResumeTiming();
        tell();
        benchmark::DoNotOptimize(GridDays(agenda));
        state.PauseTiming();
        std::filesystem::remove(added);
        tell();
        GridDays(agenda);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_VdirOneFileAdded)->Unit(benchmark::kMillisecond);

// The same when the watcher cannot give the names (its queue overflowed, or a
// change is told for the folder alone): the folder listed to find the new file.
void BM_VdirOneFileAddedListed(benchmark::State& state) {
    setenv("TZ", "Europe/Paris", 1);
    const std::filesystem::path& folder = VdirPath();
    agendas::Agenda agenda({agendas::SourceOf(folder.string())},
                           [](std::string&) { return &agendas::LibicalReader(); });
    GridDays(agenda);
    const std::filesystem::path added = folder / "ffffffff-0c4e-4a1b-9d2f-nouveau.ics";
    for (auto _ : state) {
        state.PauseTiming();
        WriteFile(added, VdirEvent(4, "Nouveau"));
        state.ResumeTiming();
        agenda.ReadChangesAt(folder.string());
        benchmark::DoNotOptimize(GridDays(agenda));
        state.PauseTiming();
        std::filesystem::remove(added);
        agenda.ReadChangesAt(folder.string());
        GridDays(agenda);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_VdirOneFileAddedListed)->Unit(benchmark::kMillisecond);

// The grid's days gathered again, nothing looked at: the part of the above that the
// listing does not cost.
void BM_VdirGridDays(benchmark::State& state) {
    setenv("TZ", "Europe/Paris", 1);
    agendas::Agenda agenda({agendas::SourceOf(VdirPath().string())},
                           [](std::string&) { return &agendas::LibicalReader(); });
    GridDays(agenda);
    for (auto _ : state) benchmark::DoNotOptimize(GridDays(agenda));
}
BENCHMARK(BM_VdirGridDays)->Unit(benchmark::kMillisecond);

// A file written in place keeps its name and inode: the listing shows nothing, and
// the status of each of the 20,000 files is compared with the one read.
void BM_VdirOneFileWrittenInPlace(benchmark::State& state) {
    setenv("TZ", "Europe/Paris", 1);
    const std::filesystem::path& folder = VdirPath();
    agendas::Agenda agenda({agendas::SourceOf(folder.string())},
                           [](std::string&) { return &agendas::LibicalReader(); });
    GridDays(agenda);
    const std::filesystem::path changed = folder / VdirName(4);
    int version = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WriteFile(changed, VdirEvent(4, "Version " + std::to_string(++version)));  // truncated, the same inode
        state.ResumeTiming();
        agenda.ReadChangesAt(folder.string());
        benchmark::DoNotOptimize(GridDays(agenda));
    }
}
BENCHMARK(BM_VdirOneFileWrittenInPlace)->Unit(benchmark::kMillisecond);

// A calendar of 5,000 events (bench/agenda_calendar.py), writable as the gadget's
// own are, in which the gadget saves an event: the time, after the save, until the
// grid of the event's month holds it. The save itself (the writer, untimed) hands the
// reader what it wrote (agendas::WrittenFile); a vdir then reads that one file, an
// .ics file takes the event written without reading its 5,000 again.
agendas::Source SavedCalendar(bool vdir) {
    static const std::string folder = [] {
        const std::string path = (std::filesystem::temp_directory_path() / "solvane-saved-bench").string();
        std::filesystem::remove_all(path);
        const std::string command =
            "/usr/bin/python3 " SOLVANE_BENCH_FOLDER "/agenda_calendar.py --vdir " + path + "/vdir 5000";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("agenda_calendar.py a échoué");
        std::filesystem::copy_file(CalendarPath(), path + "/agenda.ics");
        return path;
    }();
    agendas::Source source = agendas::SourceOf(folder + (vdir ? "/vdir" : "/agenda.ics"));
    source.writable = true;
    return source;
}

// `taken`: the reader takes what was written; otherwise it is told that the file
// changed, as by a watcher that gives no names, and looks at the source (the
// listing of a vdir; an .ics file read whole).
void SavedEventShown(benchmark::State& state, bool vdir, bool taken) {
    setenv("TZ", "Europe/Paris", 1);
    const agendas::Source calendar = SavedCalendar(vdir);
    agendas::Agenda agenda({calendar}, [](std::string&) { return &agendas::LibicalReader(); });
    GridDays(agenda);
    const std::string net = (std::filesystem::temp_directory_path() / "solvane-saved-bench" / "filet").string();
    const agendas::EventWriter writer(agendas::LibicalWriter(), net,
                                      {.now = std::time(nullptr), .zone = "Europe/Paris"}, {calendar});
    agendas::EventFields fields;
    fields.title = "Nouveau";
    fields.start = {2025, 5, 15, 10, 0};
    fields.end = {2025, 5, 15, 11, 0};
    for (auto _ : state) {
        state.PauseTiming();
        const agendas::EventWriting written = writer.Add(calendar, fields);
        if (written.status != agendas::EventWriting::Status::Written) throw std::runtime_error(written.sentence);
        state.ResumeTiming();
        for (const agendas::WrittenFile& file : written.written) {
            if (taken) {
                agenda.TakeWritten(file);
            } else {
                agenda.ReadChangesAt(vdir ? calendar.location : file.path);
            }
        }
        const agendas::AgendaDays days = GridDays(agenda);
        state.PauseTiming();
        const agendas::SharedEvents* on = days.On({2025, 5, 15});
        if (on == nullptr || std::ranges::none_of(*on, [&](const auto& event) {
                return event->origin && event->origin->uid == written.uid;
            })) {
            throw std::runtime_error("l'évènement enregistré n'est pas dans la grille");
        }
        // A vdir's file taken away again, so that each iteration finds 5,000; the .ics
        // file grows by one event each time.
        if (vdir) {
            std::filesystem::remove(written.path);
            agenda.ReadNamesAt(calendar.location, {std::filesystem::path(written.path).filename()});
            GridDays(agenda);
        }
        state.ResumeTiming();
    }
}

void BM_SavedEventShownVdir(benchmark::State& state) { SavedEventShown(state, true, true); }
BENCHMARK(BM_SavedEventShownVdir)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_SavedEventShownIcs(benchmark::State& state) { SavedEventShown(state, false, true); }
BENCHMARK(BM_SavedEventShownIcs)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_SavedEventLookedForVdir(benchmark::State& state) { SavedEventShown(state, true, false); }
BENCHMARK(BM_SavedEventLookedForVdir)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_SavedEventLookedForIcs(benchmark::State& state) { SavedEventShown(state, false, false); }
BENCHMARK(BM_SavedEventLookedForIcs)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
