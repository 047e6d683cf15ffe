// The files the program reads at run time, built beside it: the moon pictures named
// by the bare number, and a copy of the name-day list.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

const fs::path kProgramFolder = SOLVANE_PROGRAM_DIR;

std::string Contents(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// What the process's file-creation mask lets everyone read.
fs::perms ReadableByAll() {
    const mode_t mask = umask(0);
    umask(mask);
    return fs::perms(0444 & ~mask);
}

TEST(DataFiles, ThirtyMoonPicturesNamedByTheBareNumber) {
    for (int age = 0; age < 30; ++age) {
        const fs::path picture = kProgramFolder / (std::to_string(age) + ".gif");
        ASSERT_TRUE(fs::is_regular_file(picture)) << picture;
        EXPECT_EQ(Contents(picture).substr(0, 6), "GIF89a") << picture;
        EXPECT_EQ(fs::status(picture).permissions() & ReadableByAll(), ReadableByAll()) << picture;
    }
    EXPECT_FALSE(fs::exists(kProgramFolder / "07.gif"));
    EXPECT_FALSE(fs::exists(kProgramFolder / "30.gif"));
}

TEST(DataFiles, NameDayListIsCopiedBesideTheProgram) {
    const fs::path source = fs::path(ASSETS_SOURCE_DIR) / "fetes.txt";
    ASSERT_TRUE(fs::is_regular_file(source)) << source;
    const fs::path copy = kProgramFolder / "fetes.txt";
    ASSERT_TRUE(fs::is_regular_file(copy)) << copy;
    EXPECT_EQ(Contents(copy), Contents(source));
}

}  // namespace
