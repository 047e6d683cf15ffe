// A change in a vdir reads again the files it touched and no other: each row changes
// a folder of five events as a user or a synchronisation tool would, then the agenda
// read incrementally must give what a fresh reading of the folder gives, having
// parsed exactly the files that changed.

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
#include "agendas/ics/reader.h"
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
        return agendas::LibicalReader().Read(text, only, identified, problem);
    }
    mutable int parsed = 0;
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

    CountingReader reader;
    agendas::Agenda agenda({agendas::SourceOf(vdir.path().string())}, [&reader](std::string&) { return &reader; });
    const std::vector<std::string> before = MayLines(agenda);
    ASSERT_EQ(reader.parsed, 5);

    row.change(vdir);
    agenda.ReadChangesAt(vdir.path().string());
    reader.parsed = 0;
    const std::vector<std::string> after = MayLines(agenda);
    EXPECT_EQ(reader.parsed, row.parsed);

    CountingReader freshReader;
    agendas::Agenda fresh({agendas::SourceOf(vdir.path().string())},
                          [&freshReader](std::string&) { return &freshReader; });
    EXPECT_EQ(after, MayLines(fresh));
    EXPECT_EQ(after != before, row.daysChange);
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
