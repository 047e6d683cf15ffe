// The user's agendas: a calendar of 5,000 events, 500 of them repeated
// (bench/agenda_calendar.py), read as the window reads it, once, then a month of its
// events at a time; and read as the terminal reads it for one day, from the file.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "agendas/agenda.h"
#include "agendas/ics/reader.h"

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

}  // namespace
