// The name-day list shipped with the program.

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "leap_year_days.h"
#include "namedays/name_day_file.h"
#include "system_converter.h"
#include "temp_folder.h"

namespace namedays {
namespace {

using testing::LeapListIndex;
using testing::LeapYearDays;

const std::filesystem::path kListPath = std::filesystem::path(SOLVANE_SOURCE_DIR) / "assets" / "fetes.txt";

std::string ListBytes() {
    std::ifstream file(kListPath, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

TEST(ShippedNameDayList, HoldsOneNonEmptyEntryForEachDayOfALeapYear) {
    const std::vector<std::string> entries = ReadNameDayFile(kListPath);
    ASSERT_EQ(entries.size(), 366u);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_FALSE(entries[i].empty()) << "position " << i;
        EXPECT_EQ(entries[i].find('"'), std::string::npos) << "position " << i;
    }
}

// Each line is the day of the month, a comma and the names; reading the day
// numbers back checks the order and the length of every month.
TEST(ShippedNameDayList, LinesFollowTheDaysOfALeapYearWithCrLfEnds) {
    const std::string bytes = ListBytes();
    const auto days = LeapYearDays();
    std::size_t at = 0;
    for (const auto& [month, day] : days) {
        const std::string expectedStart = std::to_string(day) + ",";
        ASSERT_EQ(bytes.compare(at, expectedStart.size(), expectedStart), 0) << day << "/" << month;
        const std::size_t lineEnd = bytes.find("\r\n", at);
        ASSERT_NE(lineEnd, std::string::npos) << day << "/" << month;
        EXPECT_EQ(bytes.substr(at, lineEnd - at).find_first_of("\r\n"), std::string::npos) << day << "/" << month;
        at = lineEnd + 2;
    }
    EXPECT_EQ(at, bytes.size());
}

struct Anchor {
    int month;
    int day;
    const char* names;
};

// Well-known feasts of the French calendar of saints' days.
TEST(ShippedNameDayList, KnownFeastsStandOnTheirDays) {
    const std::vector<std::string> entries = ReadNameDayFile(kListPath);
    ASSERT_EQ(entries.size(), 366u);
    const Anchor anchors[] = {
        {1, 1, "Marie"},    {1, 3, "Geneviève"},     {1, 15, "Rémi, Remy"}, {2, 14, "Valentin"},
        {2, 29, "Auguste"}, {3, 1, "Aubin"},         {3, 17, "Patrice"},    {3, 19, "Joseph"},
        {4, 23, "Georges"}, {6, 29, "Pierre, Paul"}, {8, 15, "Marie"},      {9, 29, "Michel, Gabriel, Raphaël"},
        {11, 11, "Martin"}, {12, 6, "Nicolas"},      {12, 25, "Noël"},      {12, 31, "Sylvestre"},
    };
    for (const Anchor& anchor : anchors) {
        EXPECT_EQ(entries[static_cast<std::size_t>(LeapListIndex(anchor.month, anchor.day))], anchor.names)
            << anchor.day << "/" << anchor.month;
    }
    EXPECT_EQ(LeapListIndex(2, 29), 59);
    EXPECT_EQ(entries[59], "Auguste");
}

// The list as it is shipped, in Windows-1252, reads as the C library's converter
// reads it: each entry, written back in Windows-1252, is the next piece of the file.
// Saved in UTF-8 by an editor, with or without the byte-order mark, with Windows or
// Unix line ends, it gives the very same entries.
TEST(ShippedNameDayList, ReadsTheSameInWindows1252AndInUtf8) {
    const std::string original = ListBytes();
    const std::vector<std::string> entries = ReadNameDayFile(kListPath);
    std::size_t searchFrom = 0;
    for (const std::string& entry : entries) {
        const auto bytes = testing::SystemConvert("UTF-8", "WINDOWS-1252", entry);
        ASSERT_TRUE(bytes.has_value()) << entry;
        const std::size_t found = original.find(*bytes, searchFrom);
        ASSERT_NE(found, std::string::npos) << entry;
        searchFrom = found + bytes->size();
    }

    const auto utf8 = testing::SystemConvert("WINDOWS-1252", "UTF-8", original);
    ASSERT_TRUE(utf8.has_value());
    std::string utf8Lf;
    for (const char c : *utf8) {
        if (c != '\r') utf8Lf.push_back(c);
    }
    testing::TempFolder folder;
    for (const auto& [name, bytes] : {std::pair{"utf8-crlf.txt", *utf8}, std::pair{"utf8-lf.txt", utf8Lf},
                                      std::pair{"utf8-mark-crlf.txt", "\xEF\xBB\xBF" + *utf8},
                                      std::pair{"utf8-mark-lf.txt", "\xEF\xBB\xBF" + utf8Lf}}) {
        EXPECT_EQ(ReadNameDayFile(folder.Write(name, bytes), kShownNameDays), entries) << name;
    }
}

}  // namespace
}  // namespace namedays
