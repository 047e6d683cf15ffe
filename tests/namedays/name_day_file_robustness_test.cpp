// Whatever the bytes, the reader gives a list: no crash, no hang, and time and
// memory in proportion to the file.

#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calendar/numbers.h"
#include "namedays/name_day_file.h"
#include "system_converter.h"
#include "temp_folder.h"

namespace namedays {
namespace {

bool IsUtf8(const std::string& text) { return testing::SystemConvert("UTF-8", "UTF-32LE", text).has_value(); }

std::size_t SeparatorCount(const std::string& bytes) {
    std::size_t count = 0;
    for (const char c : bytes) count += (c == ',' || c == '\r' || c == '\n') ? 1 : 0;
    return count;
}

// Random bytes, drawn mostly from the characters that steer the reading.
std::string RandomBytes(std::mt19937& random, std::size_t length) {
    static const std::string kSteering = std::string(",,\r\n\"\" \t0123456789.+-", 21) + '\0';
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::string bytes;
    bytes.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const int drawn = anyByte(random);
        bytes.push_back(drawn < 128 ? kSteering[static_cast<std::size_t>(drawn) % kSteering.size()]
                                    : static_cast<char>(drawn));
    }
    return bytes;
}

TEST(NameDayFileRobustness, RandomBytesGiveValidKeptEntries) {
    std::mt19937 random(20240229);
    for (int round = 0; round < 2000; ++round) {
        const std::string bytes = RandomBytes(random, static_cast<std::size_t>(round % 300));
        const std::vector<std::string> entries = ParseNameDays(bytes);
        // Every field ends at a separator or at the end, so there are never more entries than that.
        ASSERT_LE(entries.size(), SeparatorCount(bytes) + 1) << "round " << round;
        for (const std::string& entry : entries) {
            ASSERT_TRUE(IsUtf8(entry)) << "round " << round;
            ASSERT_EQ(calendar::LeadingNumber(entry), 0) << "round " << round << ": " << entry;
        }
    }
}

TEST(NameDayFileRobustness, FiftyMegabytesOfAnyBytesAreRead) {
    testing::TempFolder folder;
    constexpr std::size_t kSize = 50u << 20;
    std::mt19937 random(366);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::string randomBytes(kSize, '\0');
    for (char& c : randomBytes) c = static_cast<char>(anyByte(random));

    const std::vector<std::string> fromRandom = ReadNameDayFile(folder.Write("random.txt", randomBytes));
    EXPECT_LE(fromRandom.size(), SeparatorCount(randomBytes) + 1);
    EXPECT_GT(fromRandom.size(), 0u);

    // NUL bytes and no separator at all: one entry, every byte of it kept.
    const std::vector<std::string> fromNuls = ReadNameDayFile(folder.Write("nuls.txt", std::string(kSize, '\0')));
    ASSERT_EQ(fromNuls.size(), 1u);
    EXPECT_EQ(fromNuls[0].size(), kSize);

    // A quote opened at the start and never closed: one entry of the whole rest.
    std::string openQuote(kSize, ',');
    openQuote[0] = '"';
    const std::vector<std::string> fromOpenQuote = ReadNameDayFile(folder.Write("quote.txt", openQuote));
    ASSERT_EQ(fromOpenQuote.size(), 1u);
    EXPECT_EQ(fromOpenQuote[0].size(), kSize - 1);
}

// A million fields, half of them day numbers, half names with a comma inside
// quotes. A reading that is not linear takes hours here; a linear one takes a
// fraction of a second. The figure, processor time that a loaded machine does not
// stretch, is printed for the record.
TEST(NameDayFileRobustness, AMillionFieldsLoadInLinearTime) {
    testing::TempFolder folder;
    constexpr int kLines = 500'000;
    std::string bytes;
    for (int line = 1; line <= kLines; ++line) {
        bytes += std::to_string(line % 366 + 1) + ",\"C\xF4me, Damien\"\r\n";
    }
    const std::filesystem::path path = folder.Write("fetes.txt", bytes);

    const std::clock_t start = std::clock();
    const std::vector<std::string> entries = ReadNameDayFile(path);
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;

    std::printf("1000000 fields (%zu bytes) read in %.3f s of processor time\n", bytes.size(), seconds);
    RecordProperty("seconds_for_a_million_fields", std::to_string(seconds));
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(kLines));
    EXPECT_EQ(entries.back(), "Côme, Damien");
    EXPECT_LT(seconds, 5.0);
}

}  // namespace
}  // namespace namedays
