// A change in a vdir reads again the files it touched and no other: each row changes
// a folder of five events as a user or a synchronisation tool would, then the agenda
// read incrementally must give what a fresh reading of the folder gives, having
// parsed exactly the files that changed: told that the folder changed (it is listed),
// and told the names that the folder's watcher gave (files/folder_watch.h).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "agendas/agenda.h"
#include "agendas/event_writing.h"
#include "agendas/ics/reader.h"
#include "agendas/ics/writer.h"
#include "files/folder_watch.h"
#include "tests/namedays/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namedays::testing::TempFolder;

// Counts the texts parsed, and parses them as the program does.
class CountingReader : public agendas::IcsReader {
public:
    std::unique_ptr<agendas::IcsCalendar> Read(std::string_view text, const std::optional<agendas::Window>& only,
                                               bool identified, std::string& problem) const override {
        ++parsed;
        last = text;
        return agendas::LibicalReader().Read(text, only, identified, problem);
    }
    mutable int parsed = 0;
    mutable std::string last;  // the text parsed last
};

// An event on `day` of May 2025, titled `title`.
std::string EventFile(int day, const std::string& title) {
    char start[32];
    std::snprintf(start, sizeof start, "202505%02dT100000Z", day);
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:" + title + "\r\nDTSTART:" + start +
           "\r\nDURATION:PT1H\r\nSUMMARY:" + title + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

// The days of May, one line each: « 2025-05-03 Trois Quatre ».
std::vector<std::string> MayLines(agendas::Agenda& agenda) {
    const agendas::AgendaDays days = agenda.DaysBetween({2025, 5, 1}, {2025, 5, 31});
    std::vector<std::string> lines;
    for (const auto& [day, events] : days.days) {
        std::string line = std::to_string(day.day);
        for (const auto& event : events) line += " " + event->title;
        lines.push_back(line);
    }
    for (const std::string& problem : days.problems) lines.push_back(problem);
    return lines;
}

// Sets a modification time of its own, as a later save would, whatever the file
// system's clock granularity.
void SetModified(const fs::path& path, long seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct ChangeRow {
    const char* what;
    std::function<void(const TempFolder& vdir)> change;
    int parsed;  // the texts parsed again
    bool daysChange;
};

void PrintTo(const ChangeRow& row, std::ostream* out) { *out << row.what; }

const ChangeRow kChangeRows[] = {
    {"nothing changed: no file is parsed again", [](const TempFolder&) {}, 0, false},
    {"a new file is parsed alone", [](const TempFolder& vdir) { vdir.Write("f.ics", EventFile(20, "Vingt")); }, 1,
     true},
    {"a removed file's event vanishes, nothing is parsed",
     [](const TempFolder& vdir) { fs::remove(vdir.path() / "b.ics"); }, 0, true},
    {"a file written in place, its size and time changed, is parsed again",
     [](const TempFolder& vdir) {
         vdir.Write("c.ics", EventFile(21, "Vingt-et-un"));
         SetModified(vdir.path() / "c.ics", 1'800'000'000);
     },
     1, true},
    {"a file replaced by a rename, same size and same time, is parsed again: its inode changed",
     [](const TempFolder& vdir) {
         vdir.Write(".d.ics.tmp", EventFile(4, "Quatre bis"));
         SetModified(vdir.path() / ".d.ics.tmp", 1'700'000'000);
         fs::rename(vdir.path() / ".d.ics.tmp", vdir.path() / "d.ics");
     },
     1, true},
    {"a renamed file is a new name: parsed again, the old name forgotten",
     [](const TempFolder& vdir) { fs::rename(vdir.path() / "a.ics", vdir.path() / "z.ics"); }, 1, false},
    {"a file replaced by a folder says so",
     [](const TempFolder& vdir) {
         fs::remove(vdir.path() / "e.ics");
         fs::create_directory(vdir.path() / "e.ics");
     },
     0, true},
    {"a temporary file being written beside its name is not read",
     [](const TempFolder& vdir) { vdir.Write(".f.ics.4242-1-77.tmp", EventFile(20, "Vingt")); }, 0, false},
    {"a new file linked to its name, as the writers add one, is parsed alone",
     [](const TempFolder& vdir) {
         const fs::path temporary = vdir.Write(".f.ics.4242-1-77.tmp", EventFile(20, "Vingt"));
         fs::create_hard_link(temporary, vdir.path() / "f.ics");
         fs::remove(temporary);
     },
     1, true},
};

class AgendaChanges : public ::testing::TestWithParam<ChangeRow> {};

TEST_P(AgendaChanges, ReadsAgainWhatChangedAndGivesWhatAFreshReadingGives) {
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    const ChangeRow& row = GetParam();
    TempFolder vdir;
    // « Quatre ter » is as long as « Quatre bis », which replaces it.
    const char* const titles[] = {"Un", "Deux", "Trois", "Quatre ter", "Cinq"};
    for (int day = 1; day <= 5; ++day) {
        const std::string name = std::string(1, char('a' + day - 1)) + ".ics";
        vdir.Write(name, EventFile(day, titles[day - 1]));
        SetModified(vdir.path() / name, 1'700'000'000);
    }

    const std::string folder = vdir.path().string();
    CountingReader reader, namesReader;
    agendas::Agenda agenda({agendas::SourceOf(folder)}, [&reader](std::string&) { return &reader; });
    agendas::Agenda byNames({agendas::SourceOf(folder)}, [&namesReader](std::string&) { return &namesReader; });
    const std::vector<std::string> before = MayLines(agenda);
    MayLines(byNames);
    ASSERT_EQ(reader.parsed, 5);
    files::FolderWatch watch;
    watch.Watch({folder});
    ASSERT_EQ(watch.Watched(), std::vector<std::string>{folder});

    row.change(vdir);
    agenda.ReadChangesAt(folder);
    const files::FolderChanges told = watch.Read();
    EXPECT_TRUE(told.whole.empty());
    for (const auto& [watched, names] : told.names) byNames.ReadNamesAt(watched, names);
    reader.parsed = namesReader.parsed = 0;
    const std::vector<std::string> after = MayLines(agenda);
    EXPECT_EQ(reader.parsed, row.parsed);
    EXPECT_EQ(MayLines(byNames), after);
    EXPECT_EQ(namesReader.parsed, row.parsed);

    CountingReader freshReader;
    agendas::Agenda fresh({agendas::SourceOf(folder)}, [&freshReader](std::string&) { return &freshReader; });
    EXPECT_EQ(after, MayLines(fresh));
    EXPECT_EQ(after != before, row.daysChange);
}

// A watcher that lost events (its queue overflowed) has the folder looked at whole:
// a file written in place is read even though the listing shows a new file beside it,
// which a look told only that the folder changed takes as the whole change.
TEST(AgendaChanges, AfterLostEventsAFileWrittenInPlaceIsReadBesideANewOne) {
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    TempFolder vdir;
    vdir.Write("a.ics", EventFile(1, "Un"));
    SetModified(vdir.path() / "a.ics", 1'700'000'000);
    CountingReader reader;
    agendas::Agenda agenda({agendas::SourceOf(vdir.path().string())}, [&reader](std::string&) { return &reader; });
    MayLines(agenda);

    vdir.Write("a.ics", EventFile(1, "Un changé"));
    SetModified(vdir.path() / "a.ics", 1'800'000'000);
    vdir.Write("b.ics", EventFile(2, "Deux"));
    agenda.ReadChangesAt(vdir.path().string(), true);
    reader.parsed = 0;
    EXPECT_EQ(MayLines(agenda), (std::vector<std::string>{"1 Un changé", "2 Deux"}));
    EXPECT_EQ(reader.parsed, 2);
}

// An event the gadget writes in an .ics file shows without the file being parsed
// again: the reader takes the events written, and the watcher's word of the same
// write then reads nothing. Each step gives what a fresh reading gives. A change made
// by another program in between has the file read again whole.
TEST(AgendaChanges, TheGadgetsOwnWritesToAnIcsFileAreTakenWithoutReadingItAgain) {
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    TempFolder files, net;
    const fs::path path = files.Write("agenda.ics",
                                      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"
                                      "BEGIN:VEVENT\r\nUID:serie\r\nDTSTART;TZID=Europe/Paris:"
                                      "20250505T090000\r\nDURATION:PT1H\r\nSUMMARY:Chaque lundi\r\n"
                                      "RRULE:FREQ=WEEKLY\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    agendas::Source calendar = agendas::SourceOf(path.string());
    calendar.writable = true;
    CountingReader reader;
    agendas::Agenda agenda({calendar}, [&reader](std::string&) { return &reader; });
    const auto fresh = [&] {
        agendas::Agenda again({calendar}, [](std::string&) { return &agendas::LibicalReader(); });
        return MayLines(again);
    };
    MayLines(agenda);
    const agendas::IcsWriter& ics = agendas::LibicalWriter();
    const agendas::EventWriter writer(ics, net.path().string(), {.now = 1'750'000'000, .zone = "Europe/Paris"},
                                      {calendar});
    agendas::EventFields fields;
    fields.title = "Nouveau";
    fields.start = {2025, 5, 14, 10, 0};
    fields.end = {2025, 5, 14, 11, 0};
    agendas::EventFields moved = fields;
    moved.title = "Déplacé";
    moved.start = moved.end = {2025, 5, 20, 15, 0};
    const auto openedFile = [&] { return agendas::FindEventFile(calendar, "serie", ics); };
    const agendas::OccurrenceStart twelfth{{2025, 5, 12, 9, 0}};
    const std::function<agendas::EventWriting()> writings[] = {
        [&] { return writer.Add(calendar, fields); },
        [&] { return writer.Change(calendar, openedFile(), "serie", twelfth, agendas::Scope::ThisOccurrence, moved); },
        [&] { return writer.Remove(calendar, openedFile(), "serie", twelfth, agendas::Scope::ThisAndFollowing); },
    };
    for (const auto& write : writings) {
        const agendas::EventWriting written = write();
        ASSERT_EQ(written.status, agendas::EventWriting::Status::Written) << written.sentence;
        reader.parsed = 0;
        for (const agendas::WrittenFile& file : written.written) agenda.TakeWritten(file);
        EXPECT_EQ(MayLines(agenda), fresh());
        EXPECT_EQ(reader.parsed, 1);
        EXPECT_EQ(reader.last, written.written.at(0).eventsText);  // the events written alone
        agenda.ReadChangesAt(path.string());
        reader.parsed = 0;
        MayLines(agenda);
        EXPECT_EQ(reader.parsed, 0);
    }

    const std::string outside =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:dehors\r\nDTSTART:"
        "20250516T080000Z\r\nDURATION:PT1H\r\nSUMMARY:Synchronisé\r\nEND:VEVENT\r\n"
        "END:VCALENDAR\r\n";
    files.Write("agenda.ics", outside);
    const agendas::EventWriting written = writer.Add(calendar, fields);
    ASSERT_EQ(written.status, agendas::EventWriting::Status::Written) << written.sentence;
    for (const agendas::WrittenFile& file : written.written) agenda.TakeWritten(file);
    reader.parsed = 0;
    EXPECT_EQ(MayLines(agenda), fresh());
    EXPECT_EQ(reader.parsed, 1);
    EXPECT_NE(reader.last.find("Synchronisé"), std::string::npos);  // the whole file
    EXPECT_EQ(fresh(), (std::vector<std::string>{"14 Nouveau", "16 Synchronisé"}));
}

INSTANTIATE_TEST_SUITE_P(Rows, AgendaChanges, ::testing::ValuesIn(kChangeRows),
                         [](const ::testing::TestParamInfo<ChangeRow>& info) { return std::to_string(info.index); });

// A change told in one agenda's folder leaves the other agendas as they were read;
// asked to look at every source, the agenda reads an `.ics` file changed in place.
TEST(AgendaChanges, AChangeToldInOneFolderReadsThatSourceAlone) {
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    TempFolder vdir, files;
    vdir.Write("a.ics", EventFile(1, "Un"));
    const fs::path single = files.Write("agenda.ics", EventFile(2, "Deux"));
    CountingReader reader;
    agendas::Agenda agenda({agendas::SourceOf(vdir.path().string()), agendas::SourceOf(single.string())},
                           [&reader](std::string&) { return &reader; });
    MayLines(agenda);
    ASSERT_EQ(reader.parsed, 2);

    vdir.Write("b.ics", EventFile(3, "Trois"));
    files.Write("agenda.ics", EventFile(2, "Deux changé"));
    SetModified(single, 1'800'000'000);
    agenda.ReadChangesAt(vdir.path().string());
    reader.parsed = 0;
    EXPECT_EQ(MayLines(agenda), (std::vector<std::string>{"1 Un", "2 Deux", "3 Trois"}));
    EXPECT_EQ(reader.parsed, 1);

    agenda.ReadChangesAt(files.path().string());
    reader.parsed = 0;
    EXPECT_EQ(MayLines(agenda), (std::vector<std::string>{"1 Un", "2 Deux changé", "3 Trois"}));
    EXPECT_EQ(reader.parsed, 1);
}

}  // namespace
