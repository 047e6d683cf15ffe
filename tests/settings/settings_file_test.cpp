// The settings file under abuse: whatever stands in its place, a reading or a write
// never blocks and never changes what is not the user's settings file; a file that
// cannot be read is kept aside, not carried into the new one; two programs saving at
// once lose neither's keys.

#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/files/hostile_files.h"
#include "tests/namedays/temp_folder.h"

namespace settings {
namespace {

namespace fs = std::filesystem;
using files::testing::Contents;
using files::testing::Fingerprint;
using namedays::testing::TempFolder;

TEST(SettingsFile, NothingThatIsNotTheUsersFileIsOpenedForWritingOrBlocksAReading) {
    for (const files::testing::HostileRow& row : files::testing::kHostileRows) {
        SCOPED_TRACE(row.what);
        if (files::testing::NeedsRoot(row.thing) && geteuid() != 0) continue;
        const TempFolder folder;
        const fs::path file = folder.path() / "solvane.conf";
        files::testing::MakeRow(row, folder.path(), file);
        const std::string before = Fingerprint(file);
        const bool wasLink = fs::is_symlink(file);

        const auto read =
            row.thing == files::testing::Thing::OtherUsersFile ? Reading::State::Read : Reading::State::NotAFile;
        EXPECT_EQ(ReadSettings(file).state, read);
        const WriteOutcome outcome = UpdateSettings(file, [](IniText& text) { text.Set(kGroup, "x", "10"); });
        EXPECT_EQ(outcome.state, WriteOutcome::State::NotKept);
        EXPECT_NE(outcome.sentence.find("ne seront pas retenus"), std::string::npos) << outcome.sentence;
        EXPECT_EQ(Fingerprint(file), before);
        EXPECT_EQ(fs::is_symlink(file), wasLink);
        // Nothing was left beside it either.
        for (const fs::directory_entry& entry : fs::directory_iterator(folder.path())) {
            EXPECT_EQ(entry.path().filename().string().find(".solvane.conf."), std::string::npos) << entry.path();
        }
    }
}

// A dotfile manager keeps the file elsewhere and links it: the file there is
// replaced, and the link stays a link.
TEST(SettingsFile, ALinkToTheUsersOwnFileIsWrittenBesideItsTarget) {
    const TempFolder folder;
    fs::create_directories(folder.path() / "dotfiles" / "solvane");
    const fs::path target = folder.path() / "dotfiles" / "solvane" / "solvane.conf";
    std::ofstream(target) << "; kept in git\n[solvane]\nregion=guyane\n";
    const fs::path file = folder.path() / "solvane.conf";
    fs::create_symlink(target, file);

    const WriteOutcome outcome = UpdateSettings(file, [](IniText& text) { text.Set(kGroup, "keep_above", "true"); });
    EXPECT_EQ(outcome.state, WriteOutcome::State::Written);
    EXPECT_TRUE(outcome.sentence.empty()) << outcome.sentence;
    ASSERT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(fs::read_symlink(file), target);
    EXPECT_EQ(Contents(target), "[solvane]\nregion=guyane\nkeep_above=true\n");
}

// A file that is there but cannot be read as settings gives the defaults to the
// window and the terminal alike; the first write keeps it, byte for byte, beside the
// new one, which holds nothing of it: a region it held was ignored, and stays so.
TEST(SettingsFile, AnUnreadableFileIsKeptAsideAndNothingOfItComesBack) {
    std::string randomBytes;
    for (unsigned i = 0; i < 4096; ++i) randomBytes += char((i * 2654435761u) >> 13);
    const std::string region = "[solvane]\nregion=alsace-moselle\n";
    struct Row {
        const char* what;
        std::string bytes;
        std::uintmax_t grownTo = 0;  // made sparse to that size: nothing of it is stored
        bool closed = false;         // mode 000: a row that says nothing to root, who reads it all the same
    };
    const Row rows[] = {
        {.what = "a file past the reading limit", .bytes = region, .grownTo = 200 * 1000 * 1000},
        {.what = "one line past the limit",
         .bytes = "[solvane]\nregion=" + std::string(kLargestSettingsBytes, 'a') + "\n"},
        {.what = "random bytes", .bytes = randomBytes},
        {.what = "text that is not INI", .bytes = "region=alsace-moselle\nune phrase sans égal\n"},
        {.what = "Latin-1 bytes", .bytes = "[solvane]\nscreen=\xE9\x63ran\n"},
        {.what = "a byte that no UTF-8 text holds", .bytes = "[solvane]\nregion=\xFF\xBB\xBF\n"},
        {.what = "a file its owner cannot read", .bytes = region, .closed = true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.closed && geteuid() == 0) continue;
        const TempFolder folder;
        const fs::path file = folder.Write("solvane.conf", row.bytes);
        if (row.grownTo > 0) fs::resize_file(file, row.grownTo);
        if (row.closed) fs::permissions(file, fs::perms::none);
        const std::string before = Fingerprint(file);

        EXPECT_EQ(ReadSettings(file).state, Reading::State::Unreadable);
        EXPECT_EQ(SettingsValue(file, kRegionKey), std::nullopt);
        const WriteOutcome outcome = UpdateSettings(file, [](IniText& text) { text.Set(kGroup, "x", "10"); });
        EXPECT_EQ(outcome.state, WriteOutcome::State::Written);
        EXPECT_NE(outcome.sentence.find(".illisible"), std::string::npos) << outcome.sentence;
        EXPECT_EQ(outcome.sentence.find("ne peuvent pas"), std::string::npos) << outcome.sentence;
        EXPECT_EQ(Fingerprint(folder.path() / "solvane.conf.illisible"), before);
        EXPECT_EQ(Contents(file), "[solvane]\nx=10\n");
        // Kept once: a second write finds the new file and says nothing.
        EXPECT_EQ(UpdateSettings(file, [](IniText& text) { text.Set(kGroup, "y", "20"); }).sentence, "");
        EXPECT_FALSE(fs::exists(folder.path() / "solvane.conf.illisible-2"));
    }
}

// Each program changes only its own key, each time on what the file holds then:
// processes that save at the same moment, again and again, lose none of the keys.
TEST(SettingsFile, ProgramsSavingAtOnceLoseNothing) {
    constexpr int kWriters = 6;
    constexpr int kSaves = 40;
    const TempFolder folder;
    const fs::path file = folder.path() / "solvane.conf";
    std::vector<pid_t> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool failed = false;
            for (int save = 1; save <= kSaves; ++save) {
                const WriteOutcome outcome = UpdateSettings(file, [&](IniText& text) {
                    text.Set("places", "writer" + std::to_string(writer), std::to_string(save));
                });
                failed = failed || outcome.state != WriteOutcome::State::Written;
            }
            _exit(failed ? 1 : 0);
        }
        writers.push_back(pid);
    }
    for (const pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const Reading reading = ReadSettings(file);
    ASSERT_EQ(reading.state, Reading::State::Read);
    for (int writer = 0; writer < kWriters; ++writer) {
        EXPECT_EQ(reading.text.Value("places", "writer" + std::to_string(writer)), std::to_string(kSaves));
    }
}

}  // namespace
}  // namespace settings
