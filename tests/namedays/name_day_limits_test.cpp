// How much of a name-day file the window keeps: the first 366 kept entries, each cut
// to its first 255 characters (never inside a UTF-8 character), so that a file of
// fifty million commas or a file that is one single name loads at once and takes
// next to no memory.

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "namedays/name_day_file.h"
#include "temp_folder.h"

namespace namedays {
namespace {

using namespace std::string_literals;
using Entries = std::vector<std::string>;

constexpr std::size_t kNoLimit = NameDayLimits{}.entries;

struct LimitRow {
    const char* shows;
    std::string bytes;  // the file
    NameDayLimits limits;
    Entries entries;  // UTF-8
};

void PrintTo(const LimitRow& row, std::ostream* out) { *out << row.shows; }

class ReadingLimits : public ::testing::TestWithParam<LimitRow> {};

TEST_P(ReadingLimits, KeepTheseEntries) {
    EXPECT_EQ(ParseNameDays(GetParam().bytes, GetParam().limits), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    NameDayFile, ReadingLimits,
    ::testing::Values(
        LimitRow{"ListEndsAtTheLimit", "Marie,Basile,Genevi\xE8ve\r\nOdilon\r\n", {2, kNoLimit}, {"Marie", "Basile"}},
        LimitRow{
            "DroppedDayNumbersDoNotCount", "1,Marie\r\n2,Basile\r\n3,Odilon\r\n", {2, kNoLimit}, {"Marie", "Basile"}},
        LimitRow{"EmptyEntriesCount", ",,,Marie", {3, kNoLimit}, {"", "", ""}},
        LimitRow{"NamesAreCutToTheirFirstCharacters", "Marie,Basile,Jo\r\n", {kNoLimit, 3}, {"Mar", "Bas", "Jo"}},
        LimitRow{"CutCountsLettersNotUtf8Bytes", "\xC9lodie,\xE9t\xE9", {kNoLimit, 2}, {"\xC3\x89l", "\xC3\xA9t"}},
        LimitRow{"Utf8CutNeverSplitsACharacter",
                 "\xEF\xBB\xBF\xC3\x89lodie,\xE2\x82\xAC\xF0\x9F\x8C\x99x",
                 {kNoLimit, 2},
                 {"\xC3\x89l", "\xE2\x82\xAC\xF0\x9F\x8C\x99"}},
        // The encoding is judged on the bytes read: the Windows-1252 "été" after the
        // last kept entry is not read, so the list before it is UTF-8.
        LimitRow{"BytesAfterTheLastKeptEntryDoNotJudgeTheEncoding",
                 "Marie,Genevi\xC3\xA8ve\r\n\xE9t\xE9",
                 {2, kNoLimit},
                 {"Marie", "Geneviève"}},
        LimitRow{"ReadWholeTheSameFileIsWindows1252",
                 "Marie,Genevi\xC3\xA8ve\r\n\xE9t\xE9",
                 {3, kNoLimit},
                 {"Marie", "GeneviÃ¨ve", "été"}},
        LimitRow{"QuotedNameIsCutInsideItsQuotes", "\"R\xE9mi, Remy\",Marie", {kNoLimit, 4}, {"R\xC3\xA9mi", "Mari"}},
        LimitRow{"NulBytesAreCutLikeLetters",
                 std::string(10, '\0') + ",Marie",
                 {kNoLimit, 4},
                 {std::string(4, '\0'), "Mari"}},
        // The number test reads the whole field: a day number written with 300
        // leading zeros is still a day number, even though its first 255 characters
        // are all zeros.
        LimitRow{"DayNumberIsJudgedOnTheWholeField", std::string(300, '0') + "1,Marie", {kNoLimit, 255}, {"Marie"}},
        LimitRow{"ZeroWrittenLongIsStillKept",
                 std::string(300, '0') + ",Marie",
                 {kNoLimit, 255},
                 {std::string(255, '0'), "Marie"}}),
    [](const ::testing::TestParamInfo<LimitRow>& info) { return std::string(info.param.shows); });

// The first `characters` characters of a UTF-8 text.
std::string FirstCharacters(const std::string& text, std::size_t characters) {
    std::size_t end = 0;
    for (; end < text.size(); ++end) {
        const bool startsACharacter = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
        if (startsACharacter && characters-- == 0) break;
    }
    return text.substr(0, end);
}

// Random UTF-8 files, half of them with the byte-order mark, that read as UTF-8 with
// or without limits: with any limits the reading gives the unlimited reading's first
// entries, each cut to its first characters.
TEST(ReadingLimits, AgreeWithTheUnlimitedReadingCut) {
    static const std::string kSteering[] = {",",
                                            ",",
                                            "\r\n",
                                            "\r",
                                            "\n",
                                            "\"",
                                            "\"",
                                            " ",
                                            "\t",
                                            "0",
                                            "1",
                                            "7",
                                            ".",
                                            "+",
                                            "-",
                                            "a",
                                            "b",
                                            "X",
                                            "\xC3\xA9",
                                            "\xC5\x93",
                                            "\xE2\x82\xAC",
                                            "\xF0\x9F\x8C\x99"};
    std::mt19937 random(20240229);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kSteering) - 1);
    const std::size_t kEntryLimits[] = {0, 1, 2, 5, 366, kNoLimit};
    const std::size_t kLengthLimits[] = {0, 1, 3, 255, kNoLimit};
    for (int round = 0; round < 500; ++round) {
        std::string bytes = round % 2 == 0 ? "\xEF\xBB\xBF" : "";
        for (int piece = round * 7 % 1500; piece > 0; --piece) bytes += kSteering[pick(random)];
        const Entries unlimited = ParseNameDays(bytes);
        for (const std::size_t entries : kEntryLimits) {
            for (const std::size_t length : kLengthLimits) {
                Entries expected(unlimited.begin(), unlimited.begin() + std::min(entries, unlimited.size()));
                for (std::string& entry : expected) entry = FirstCharacters(entry, length);
                ASSERT_EQ(ParseNameDays(bytes, {entries, length}), expected)
                    << "round " << round << ", limits " << entries << " and " << length << ", bytes:\n"
                    << bytes;
            }
        }
    }
}

// Fifty megabytes that would give fifty million entries, or one of fifty million
// characters, read as the window reads them. Unlimited, the commas alone take some
// 1.7 GB of strings and a minute of start-up in the window. Timed in processor time,
// which a loaded machine does not stretch.
TEST(ReadingLimits, FiftyMegabyteFilesGiveAShortList) {
    testing::TempFolder folder;
    constexpr std::size_t kSize = 50u << 20;

    const std::string commas(kSize, ',');
    const std::clock_t start = std::clock();
    const Entries fromCommas = ReadNameDayFile(folder.Write("commas.txt", commas), kShownNameDays);
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    std::printf("50 MB of commas read as the window reads them in %.3f s of processor time\n", seconds);
    EXPECT_EQ(fromCommas, Entries(366, ""));
    EXPECT_LT(seconds, 2.0);

    EXPECT_EQ(ReadNameDayFile(folder.Write("nuls.txt", std::string(kSize, '\0')), kShownNameDays),
              Entries{std::string(255, '\0')});

    std::string openQuote = "Marie,\"Basile" + std::string(kSize, 'e');
    EXPECT_EQ(ReadNameDayFile(folder.Write("quote.txt", openQuote), kShownNameDays),
              (Entries{"Marie", "Basile" + std::string(249, 'e')}));
}

// The list shipped with the program has exactly one name for each day of a leap
// year: the window's reading keeps every one of them, uncut.
TEST(ReadingLimits, ShippedListIsKeptWhole) {
    const std::string list = SOLVANE_SOURCE_DIR "/assets/fetes.txt";
    const Entries whole = ReadNameDayFile(list);
    ASSERT_EQ(whole.size(), 366u);
    EXPECT_EQ(ReadNameDayFile(list, kShownNameDays), whole);
}

}  // namespace
}  // namespace namedays
