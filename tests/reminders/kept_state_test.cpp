#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "reminders/kept_state.h"

namespace reminders {
namespace {

KeptState Sample() {
    return {
        .lastLooked = 1796904000,
        .marks = {{"a%2Fb//0/0", {.kind = Mark::Kind::Shown, .fires = 1796903400, .until = 0}},
                  {"r/20261210T140000/1/2", {.kind = Mark::Kind::Snoozed, .fires = 1796903400, .until = 1796904600}},
                  {"d//0/0", {.kind = Mark::Kind::Dismissed, .fires = 1, .until = 0}}},
        .wished = agendas::LocalDate{2026, 12, 10}};
}

TEST(KeptReminders, TheTextReadsBackWhatWasKeptAndSkipsWhatDoesNotRead) {
    EXPECT_EQ(ParseKeptState(KeptStateText(Sample())), Sample());
    EXPECT_EQ(ParseKeptState(KeptStateText({})), KeptState{});

    const KeptState one{
        .lastLooked = std::nullopt, .marks = {{"x//0/0", Sample().marks.at("d//0/0")}}, .wished = std::nullopt};
    struct Row {
        const char* what;
        std::string text;
        KeptState kept;
    };
    const Row rows[] = {
        {"another version is not read", "solvane-rappels 2\nvu 5\nignore 1 x//0/0\n", {}},
        {"no header", "vu 5\nignore 1 x//0/0\n", {}},
        {"unknown, short, negative and overlong lines are skipped",
         "solvane-rappels 1\nvu -5\nvu 5 6\nmontre 1\nreporte 1 x//0/0\nmontre 99999999999999999999 y\n"
         "montre 1 y z\noublie 1 z\nvoeux 2026-12\nvoeux 2026-12-10x\nvoeux 2026-12-10 1\nignore 1 x//0/0\n",
         one},
        {"the last line needs no line end", "solvane-rappels 1\nignore 1 x//0/0", one},
    };
    for (const Row& row : rows) EXPECT_EQ(ParseKeptState(row.text), row.kept) << row.what;
}

// Written whole for the user alone and read back; a hostile file is not read, and a
// write that fails (whoever runs the test, root included) leaves nothing beside.
TEST(KeptReminders, TheFileOnDisk) {
    std::string pattern = (std::filesystem::temp_directory_path() / "solvane-rappels-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path top = pattern;
    const std::string folder = (top / "state" / "solvane").string(), file = folder + "/rappels.etat";
    ASSERT_TRUE(WriteKeptState(folder, Sample()));
    EXPECT_EQ(ReadKeptState(folder), Sample());
    struct stat status = {};
    EXPECT_TRUE(stat(file.c_str(), &status) == 0 && (status.st_mode & 0777) == 0600);
    EXPECT_TRUE(stat(folder.c_str(), &status) == 0 && (status.st_mode & 0777) == 0700);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "nothing left beside it";

    std::filesystem::remove(file);
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(ReadKeptState(folder), KeptState{}) << "a FIFO is never waited on";
    EXPECT_FALSE(WriteKeptState(folder, Sample()));
    EXPECT_TRUE(std::filesystem::is_fifo(file)) << "what the user put in the file's place stays";
    std::filesystem::remove(file);
    std::ofstream(file) << KeptStateText(Sample()) << std::string(kLargestStateFile, '\n');
    EXPECT_EQ(ReadKeptState(folder), KeptState{}) << "a file past the bound";

    std::ofstream(top / "fichier") << "x";
    EXPECT_FALSE(WriteKeptState((top / "fichier" / "solvane").string(), Sample())) << "a file where the folder goes";
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    EXPECT_FALSE(WriteKeptState(folder, Sample())) << "a folder where the file goes";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "the new file is not left beside";
    std::filesystem::remove_all(top);
}

}  // namespace
}  // namespace reminders
