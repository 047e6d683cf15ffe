// The one room through which the program touches a file, under abuse: whatever
// stands at a name, a reading never blocks and says what it found; a write replaces
// only the file it was told of, or none, and leaves nothing half-written beside it.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "files/bounded_read.h"
#include "files/write_beside.h"
#include "files/xdg_folders.h"
#include "tests/files/hostile_files.h"
#include "tests/namedays/temp_folder.h"

namespace files {
namespace {

namespace fs = std::filesystem;
using namedays::testing::TempFolder;
using testing::Fingerprint;
using Found = FileReading::Found;

constexpr std::size_t kBound = 4096;

// The names a write may leave in the folder: none of its temporaries.
std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(BoundedRead, NothingButAnOrdinaryFileIsOpenedAndNothingChanges) {
    for (const testing::HostileRow& row : testing::kHostileRows) {
        SCOPED_TRACE(row.what);
        if (testing::NeedsRoot(row.thing) && geteuid() != 0) continue;
        const TempFolder folder;
        const fs::path file = folder.path() / "agenda.ics";
        testing::MakeRow(row, folder.path(), file);
        const std::string before = Fingerprint(file);
        const Found expected = row.thing == testing::Thing::OtherUsersFile ? Found::Read
                               : row.thing == testing::Thing::Nothing      ? Found::DanglingLink
                                                                           : Found::NotAFile;
        const FileReading reading = ReadOrdinaryFile(file, kBound);
        EXPECT_EQ(reading.found, expected);
        EXPECT_EQ(reading.bytes.empty(), expected != Found::Read);
        EXPECT_EQ(Fingerprint(file), before);
    }
}

// Ordinary files, and paths that lead to none.
TEST(BoundedRead, SaysWhatItFound) {
    struct Row {
        const char* what;
        std::function<fs::path(const TempFolder&)> make;
        Found found;
        int error = 0;
    };
    const Row rows[] = {
        {"nothing", [](const TempFolder& folder) { return folder.path() / "absent.ics"; }, Found::Missing},
        {"a path through a file", [](const TempFolder& folder) { return folder.Write("fichier", "x") / "absent.ics"; },
         Found::Unreadable, ENOTDIR},
        {"as many bytes as the bound",
         [](const TempFolder& folder) { return folder.Write("a.ics", std::string(kBound, 'a')); }, Found::Read},
        {"one byte past the bound",
         [](const TempFolder& folder) { return folder.Write("a.ics", std::string(kBound + 1, 'a')); }, Found::TooLarge},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const TempFolder folder;
        const fs::path file = row.make(folder);
        const FileReading reading = ReadOrdinaryFile(file, kBound);
        EXPECT_EQ(reading.found, row.found);
        EXPECT_EQ(reading.error, row.error);
        EXPECT_EQ(reading.bytes, row.found == Found::Read ? testing::Contents(file) : "");
    }
}

// Each row reads the file (when there is one), lets `meanwhile` happen, then writes
// "nouveau" with its options.
TEST(WriteBeside, ReplacesOnlyWhatItWasToldOf) {
    using Status = WriteResult::Status;
    const auto later = [](const fs::path& file) {
        fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(1));
    };
    struct Row {
        const char* what;
        std::string name = "agenda.ics";
        bool exists = true;                                   // "ancien" is there before
        std::function<void(const fs::path&)> meanwhile = {};  // between the reading and the write
        bool replace = true;
        bool expectRead = false;  // expected: the identity the reading gave
        std::string keepAside = {};
        int takenKeptNames = 0;  // .illisible, then -2…, already there
        Status status = Status::Written;
        std::string contents = "nouveau";
        std::string kept = {};
    };
    const Row rows[] = {
        {.what = "a file replaced"},
        {.what = "a file made", .exists = false},
        // A vdir's file is named after its UID, which has no bound: the temporary's
        // name must still fit beside it.
        {.what = "a name as long as a name may be", .name = std::string(251, 'n') + ".ics"},
        {.what = "an existing file, when none may be replaced",
         .replace = false,
         .status = Status::Changed,
         .contents = "ancien"},
        {.what = "a file linked in place where none was", .exists = false, .replace = false},
        {.what = "the file read, still there", .expectRead = true},
        // An editor's save of the same length, a second later.
        {.what = "the file edited in place since",
         .meanwhile =
             [&](const fs::path& file) {
                 std::ofstream(file) << "ANCIEN";
                 later(file);
             },
         .expectRead = true,
         .status = Status::Changed,
         .contents = "ANCIEN"},
        // The same bytes and times, but another inode: a program that saved by a rename.
        {.what = "the file replaced since by a copy of itself",
         .meanwhile =
             [](const fs::path& file) {
                 const fs::path copy = file.parent_path() / "copie";
                 fs::copy_file(file, copy);
                 fs::last_write_time(copy, fs::last_write_time(file));
                 fs::rename(copy, file);
             },
         .expectRead = true,
         .status = Status::Changed,
         .contents = "ancien"},
        {.what = "a file made since a reading that found none",
         .exists = false,
         .meanwhile = [](const fs::path& file) { std::ofstream(file) << "autre"; },
         .expectRead = true,
         .status = Status::Changed,
         .contents = "autre"},
        {.what = "the file removed since",
         .meanwhile = [](const fs::path& file) { fs::remove(file); },
         .expectRead = true,
         .status = Status::Changed,
         .contents = ""},
        {.what = "the old file kept aside", .keepAside = ".illisible", .kept = "agenda.ics.illisible"},
        {.what = "kept under the next free name",
         .keepAside = ".illisible",
         .takenKeptNames = 1,
         .kept = "agenda.ics.illisible-2"},
        {.what = "no free name to keep it under",
         .keepAside = ".illisible",
         .takenKeptNames = 9,
         .status = Status::Failed,
         .contents = "ancien"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const TempFolder folder;
        const fs::path file = folder.path() / row.name;
        if (row.exists) folder.Write(row.name, "ancien");
        for (int number = 1; number <= row.takenKeptNames; ++number) {
            folder.Write(row.name + ".illisible" + (number == 1 ? "" : "-" + std::to_string(number)), "gardé");
        }
        const FileReading reading = ReadOrdinaryFile(file, kBound);
        if (row.meanwhile) row.meanwhile(file);
        std::vector<std::string> names = Names(folder.path());

        const WriteResult result =
            WriteBeside(file, "nouveau",
                        {.mode = kUmaskMode,
                         .expected = row.expectRead ? std::optional(reading.identity) : std::nullopt,
                         .replace = row.replace,
                         .lockFolder = false,
                         .keepAsideSuffix = row.keepAside});
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.keptAside, row.kept);
        EXPECT_EQ(fs::exists(file) ? testing::Contents(file) : "", row.contents);
        if (!row.kept.empty()) {
            EXPECT_EQ(testing::Contents(folder.path() / row.kept), "ancien");
        }
        // Only the file and what was kept: no temporary left.
        if (row.status == Status::Written) names.push_back(row.name);
        if (!row.kept.empty()) names.push_back(row.kept);
        std::sort(names.begin(), names.end());
        names.erase(std::unique(names.begin(), names.end()), names.end());
        EXPECT_EQ(Names(folder.path()), names);
    }
}

// A calendar may hold private events: its mode is the one asked, whatever the umask.
TEST(WriteBeside, TheNewFileHasTheModeAsked) {
    const struct {
        int mode;
        mode_t umask;
        int expected;
    } rows[] = {{0600, 0, 0600}, {0644, 077, 0644}, {kUmaskMode, 027, 0640}};
    for (const auto& row : rows) {
        const TempFolder folder;
        const mode_t saved = umask(row.umask);
        const WriteResult result = WriteBeside(folder.path() / "f", "x", {.mode = row.mode});
        umask(saved);
        ASSERT_EQ(result.status, WriteResult::Status::Written);
        EXPECT_EQ(int(fs::status(folder.path() / "f").permissions()), row.expected) << row.mode << " " << row.umask;
    }
}

// Programs that make the same new file at once: one makes it, every other is told
// that it exists and writes nothing; a check made before a rename would let several
// through, each erasing the last.
TEST(WriteBeside, OfProgramsMakingOneFileAtOnceOneWins) {
    constexpr int kWriters = 6;
    constexpr int kRounds = 30;
    for (int round = 0; round < kRounds; ++round) {
        const TempFolder folder;
        const fs::path file = folder.path() / "evenement.ics";
        std::vector<pid_t> writers;
        for (int writer = 0; writer < kWriters; ++writer) {
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                const WriteResult result = WriteBeside(file, std::to_string(writer), {.replace = false});
                _exit(result.status == WriteResult::Status::Written   ? 10 + writer
                      : result.status == WriteResult::Status::Changed ? 1
                                                                      : 2);
            }
            writers.push_back(pid);
        }
        int winner = -1;
        int winners = 0;
        for (const pid_t pid : writers) {
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_NE(WEXITSTATUS(status), 2);
            if (WEXITSTATUS(status) >= 10) winner = WEXITSTATUS(status) - 10, ++winners;
        }
        EXPECT_EQ(winners, 1) << "round " << round;
        EXPECT_EQ(testing::Contents(file), std::to_string(winner)) << "round " << round;
        EXPECT_EQ(Names(folder.path()), std::vector<std::string>{"evenement.ics"}) << "round " << round;
    }
}

// The XDG Base Directory rules (freedesktop.org, 0.8): an absolute value, otherwise the default
// under HOME; "If an implementation encounters a relative path in any of these
// variables it should consider the path invalid and ignore it."
TEST(XdgFolders, FollowTheBaseDirectoryRules) {
    const struct {
        XdgKind kind;
        const char* variable;
        const char* home;
        const char* folder;
    } rows[] = {
        {XdgKind::Config, "/x/conf", "/home/u", "/x/conf"},
        {XdgKind::Config, nullptr, "/home/u", "/home/u/.config"},
        {XdgKind::Config, "conf", "/home/u", "/home/u/.config"},
        {XdgKind::Cache, "", "/home/u", "/home/u/.cache"},
        {XdgKind::State, "./etat", "/home/u", "/home/u/.local/state"},
        {XdgKind::Data, "/x/data", "/home/u", "/x/data"},
        {XdgKind::Data, nullptr, "/home/u", "/home/u/.local/share"},
        {XdgKind::Data, "data", "", ""},
        {XdgKind::State, nullptr, nullptr, ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(XdgFolder(row.kind, row.variable, row.home), row.folder)
            << int(row.kind) << " " << (row.variable ? row.variable : "(null)");
    }
}

}  // namespace
}  // namespace files
