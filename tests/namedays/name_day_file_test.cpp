// Reading the name-day list: the field syntax, line ends, the Windows-1252 and UTF-8
// texts and the errors of a file that cannot be read.

#include <sys/stat.h>
#include <unistd.h>

#include <ostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "namedays/name_day_file.h"
#include "system_converter.h"
#include "temp_folder.h"

namespace namedays {
namespace {

using namespace std::string_literals;
using Entries = std::vector<std::string>;

// ---------------------------------------------------------------------------
// The field syntax, one row per rule.

struct ParseRow {
    const char* shows;
    std::string bytes;  // the file
    Entries entries;    // UTF-8
};

void PrintTo(const ParseRow& row, std::ostream* out) { *out << row.shows; }

class FieldSyntax : public ::testing::TestWithParam<ParseRow> {};

TEST_P(FieldSyntax, GivesTheseEntries) { EXPECT_EQ(ParseNameDays(GetParam().bytes), GetParam().entries); }

INSTANTIATE_TEST_SUITE_P(
    NameDayFile, FieldSyntax,
    ::testing::Values(
        ParseRow{"QuotedCommaStaysInsideOneName", "15,\"R\xE9mi, Remy\"\r\n", {"Rémi, Remy"}},
        ParseRow{"DayNumbersAndDatesAreDropped",
                 "1,Marie\r\n01/01,Basile\r\n1er janvier,Odilon\r\n366,Sylvestre\r\n",
                 {"Marie", "Basile", "Odilon", "Sylvestre"}},
        ParseRow{"SignsPointsAndBlanksStillMakeANumber", "+3,-2,.5, 7,\t8,Marie\r\n", {"Marie"}},
        ParseRow{"QuotedDayNumberIsDroppedToo", "\"15\",\"R\xE9mi\"\r\n", {"Rémi"}},
        ParseRow{"NameBeginningWithADigitIsDropped", "2Pac,Marie\r\n", {"Marie"}},
        ParseRow{"FieldZeroIsKept", "0,Marie\r\n0x1F,Basile\r\n", {"0", "Marie", "0x1F", "Basile"}},
        ParseRow{"TwoCommasInARowGiveAnEmptyEntry", "Marie,,Basile\r\n", {"Marie", "", "Basile"}},
        ParseRow{"EmptyLineGivesAnEmptyEntry", "Marie\r\n\r\nBasile\r\n", {"Marie", "", "Basile"}},
        ParseRow{"QuotedEmptyFieldIsAnEntry", "\"\",Marie\r\n", {"", "Marie"}},
        ParseRow{"LastFieldWithoutLineEndIsRead", "Marie,Basile", {"Marie", "Basile"}},
        ParseRow{"LineEndAfterTheLastFieldAddsNothing", "Marie\r\n", {"Marie"}},
        ParseRow{"CommaAtTheVeryEndAddsNothing", "Marie,", {"Marie"}}, ParseRow{"EmptyFileGivesNoEntry", "", {}},
        ParseRow{"LoneLineEndGivesOneEmptyEntry", "\r\n", {""}},
        ParseRow{"BlanksOnTheLastLineGiveOneEmptyEntry", "Marie\r\n   ", {"Marie", ""}},
        ParseRow{"BlanksAroundAnUnquotedNameAreDropped", "  Marie  ,\t Basile\t\r\n", {"Marie", "Basile"}},
        ParseRow{"BlanksInsideANameAreKept", "Jean de Dieu,Thomas d'Aquin\r\n", {"Jean de Dieu", "Thomas d'Aquin"}},
        ParseRow{"BlanksInsideQuotesAreKept", "  \" Marie \"\r\n", {" Marie "}},
        ParseRow{"TextAfterAClosingQuoteIsIgnored", "\"Marie\" et \"Joseph\",Basile\r\n", {"Marie", "Basile"}},
        ParseRow{"QuotedFieldHoldsLineEnds", "\"Marie\r\nJoseph\",Basile\r\n", {"Marie\r\nJoseph", "Basile"}},
        ParseRow{"QuoteLeftOpenRunsToTheEndOfTheFile", "Marie,\"Basile,\r\nOdilon", {"Marie", "Basile,\r\nOdilon"}},
        ParseRow{"QuoteInsideAnUnquotedFieldIsAnOrdinaryCharacter",
                 "Jeanne \"d'Arc\",Basile",
                 {"Jeanne \"d'Arc\"", "Basile"}},
        ParseRow{"Bytes80To9FAreWindows1252Signs",
                 "C\x9C"
                 "cilia,\x80\x85\x8C\x92\x9F\r\n",
                 {"Cœcilia", "€…Œ’Ÿ"}},
        ParseRow{"NulBytesAreOrdinaryCharacters", "Ma\0rie,\0\r\n"s, {"Ma\0rie"s, "\0"s}}),
    [](const ::testing::TestParamInfo<ParseRow>& info) { return std::string(info.param.shows); });

TEST(NameDayFile, CrLfLoneLfAndLoneCrAreTheSameLineEnd) {
    const std::string crLf = "1,Marie\r\n\r\n2,\"R\xE9mi, Remy\"\r\n3,Basile  \r\n\"Genevi\xE8ve\" 4\r\n";
    const Entries expected = {"Marie", "", "Rémi, Remy", "Basile", "Geneviève"};
    std::string lf;
    std::string cr;
    for (const char c : crLf) {
        if (c == '\r') continue;
        lf.push_back(c);
        cr.push_back(c == '\n' ? '\r' : c);
    }
    EXPECT_EQ(ParseNameDays(crLf), expected);
    EXPECT_EQ(ParseNameDays(lf), expected);
    EXPECT_EQ(ParseNameDays(cr), expected);
    // A lone CR directly followed by CR LF is two line ends, so one empty entry between.
    EXPECT_EQ(ParseNameDays("Marie\r\r\nBasile"), (Entries{"Marie", "", "Basile"}));
    EXPECT_EQ(ParseNameDays("Marie\n\rBasile"), (Entries{"Marie", "", "Basile"}));
}

// ---------------------------------------------------------------------------
// Windows-1252, checked byte by byte against the C library's own converter, alone
// and inside a name of a list file: no single byte makes a list read as UTF-8.

TEST(Windows1252, EveryByteDecodesAsTheSystemConverterDoes) {
    std::set<int> unassigned;
    std::string allBytes;
    std::string allDecoded;
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const std::string decoded = Windows1252ToUtf8(one);
        allBytes += one;
        allDecoded += decoded;
        if (const auto expected = testing::SystemConvert("WINDOWS-1252", "UTF-8", one)) {
            EXPECT_EQ(decoded, *expected) << "byte 0x" << std::hex << byte;
        } else {
            unassigned.insert(byte);
            // The unassigned values keep their C1 code point U+0080..U+009F.
            EXPECT_EQ(decoded, "\xC2"s + static_cast<char>(byte)) << "byte 0x" << std::hex << byte;
        }
        // Every byte but a separator or a quote stands inside a name as that character.
        if (std::string_view(",\r\n\"").find(static_cast<char>(byte)) == std::string_view::npos) {
            EXPECT_EQ(ParseNameDays("1,Genevi" + one + "ve\r\n2,Basile\r\n"),
                      (Entries{"Genevi" + decoded + "ve", "Basile"}))
                << "byte 0x" << std::hex << byte;
        }
    }
    EXPECT_EQ(unassigned, (std::set<int>{0x81, 0x8D, 0x8F, 0x90, 0x9D}));
    EXPECT_EQ(Windows1252ToUtf8(allBytes), allDecoded);
}

// ---------------------------------------------------------------------------
// UTF-8: a file that begins with the byte-order mark, or whose bytes are all UTF-8
// with some beyond ASCII. Every other file is Windows-1252.

class FileEncoding : public ::testing::TestWithParam<ParseRow> {};

TEST_P(FileEncoding, GivesTheseEntries) { EXPECT_EQ(ParseNameDays(GetParam().bytes), GetParam().entries); }

INSTANTIATE_TEST_SUITE_P(
    NameDayFile, FileEncoding,
    ::testing::Values(ParseRow{"Utf8WithoutMark",
                               "1,Genevi\xC3\xA8ve\r\n2,C\xC5\x93"
                               "cilia,\xE2\x82\xAC\r\n",
                               {"Geneviève", "Cœcilia", "€"}},
                      ParseRow{"MarkIsDroppedAndMovesNoDay",
                               "\xEF\xBB\xBF"
                               "1,Marie\r\n2,Basile\r\n",
                               {"Marie", "Basile"}},
                      ParseRow{"MarkBeforeAQuotedName", "\xEF\xBB\xBF\"R\xC3\xA9mi, Remy\"\r\n", {"Rémi, Remy"}},
                      ParseRow{"MarkAloneIsAnEmptyList", "\xEF\xBB\xBF", {}},
                      ParseRow{"MarkThenOneLineEndIsOneEmptyEntry", "\xEF\xBB\xBF\r\n", {""}},
                      // A file marked UTF-8 but written (in part) in Windows-1252 keeps its names.
                      ParseRow{"MarkedFileWithWindows1252Bytes",
                               "\xEF\xBB\xBF"
                               "Genevi\xE8ve,R\xC3\xA9mi,\xC9\xE9\xE8\x80",
                               {"Geneviève", "Rémi", "Ééè€"}},
                      // One byte that is no UTF-8 makes the whole file Windows-1252.
                      ParseRow{"OneStrayByteMakesItWindows1252", "Genevi\xC3\xA8ve,\xE9t\xE9", {"GeneviÃ¨ve", "été"}},
                      ParseRow{
                          "CutUtf8CharacterAtTheEndIsWindows1252", "Genevi\xC3\xA8ve,\xE2\x82", {"GeneviÃ¨ve", "â‚"}},
                      ParseRow{"OverlongFormIsWindows1252", "\xC0\xAF", {"À¯"}},
                      ParseRow{"SurrogateIsWindows1252", "\xED\xA0\x80", {"í\xC2\xA0€"}}),
    [](const ::testing::TestParamInfo<ParseRow>& info) { return std::string(info.param.shows); });

// ---------------------------------------------------------------------------
// Files written at random from known names read back as those names.

struct WrittenList {
    std::string bytes;
    Entries names;  // what the reader must give back, in UTF-8
};

class ListWriter {
public:
    explicit ListWriter(unsigned seed) : random_(seed) {}

    // A name that the reader keeps; `quoted` names may hold anything but a quote.
    std::string Name(bool quoted) {
        const int kind = Pick(10);
        if (kind == 0) return "";
        if (kind == 1) return "0";
        std::string name;
        if (quoted) name += Repeat(" \t", Pick(3));
        name.push_back(Letter());
        const int length = Pick(12);
        for (int i = 0; i < length; ++i) {
            const int what = Pick(12);
            if (what == 0) {
                name += quoted ? Repeat(" ,\r\n\t", 1) : " ";
            } else if (what == 1) {
                name.push_back("0123456789.'-"[Pick(13)]);
            } else if (what == 2 && !quoted) {
                name.push_back('"');
            } else {
                name.push_back(Letter());
            }
        }
        if (!quoted) {
            while (name.back() == ' ') name.pop_back();
        } else {
            name += Repeat(" \t", Pick(2));
        }
        return name;
    }

    // `count` names with numbered fields between them, in one line-end style.
    WrittenList Write(int count, const std::string& lineEnd, bool withNumbers) {
        WrittenList list;
        std::string lastField;
        for (int i = 0; i < count; ++i) {
            if (withNumbers && Pick(2) == 0) {
                list.bytes += Repeat(" \t", Pick(2)) + Number() + Separator(lineEnd);
            }
            const bool quoted = Pick(3) == 0;
            const std::string name = Name(quoted);
            list.names.push_back(Windows1252ToUtf8(name));
            lastField = Repeat(" \t", Pick(3));
            if (quoted) {
                lastField += "\"" + name + "\"" + Repeat("x \"", Pick(3));
            } else {
                lastField += name + Repeat(" \t", Pick(3));
            }
            list.bytes += lastField;
            // Without a line end the last field still counts, unless it holds nothing at all.
            if (i + 1 < count || lastField.empty() || Pick(2) == 0) list.bytes += Separator(lineEnd);
        }
        return list;
    }

    std::string Number() {
        static const char* const kNumbers[] = {"1",  "15", "366",  "01/01",  "1er janvier", "-3",
                                               "+2", ".5", "7.25", "\"12\"", "\"31/12\" x"};
        return kNumbers[Pick(11)];
    }

private:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

    // Letters, and every byte from 0x80 up, which are all letters or signs in Windows-1252.
    char Letter() {
        const int which = Pick(2 * 26 + 128);
        if (which < 26) return static_cast<char>('a' + which);
        if (which < 52) return static_cast<char>('A' + which - 26);
        return static_cast<char>(0x80 + which - 52);
    }

    std::string Repeat(const char* characters, int count) {
        const std::string from = characters;
        std::string out;
        for (int i = 0; i < count; ++i)
            out.push_back(from[static_cast<std::size_t>(Pick(static_cast<int>(from.size())))]);
        return out;
    }

    std::string Separator(const std::string& lineEnd) { return Pick(2) == 0 ? "," : lineEnd; }

    std::mt19937 random_;
};

const std::string kLineEnds[] = {"\r\n", "\n", "\r"};

TEST(NameDayFile, RandomListsReadBackAsWritten) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        ListWriter writer(seed);
        const std::string& lineEnd = kLineEnds[seed % 3];
        const WrittenList list = writer.Write(1 + static_cast<int>(seed % 40), lineEnd, true);
        ASSERT_EQ(ParseNameDays(list.bytes), list.names) << "seed " << seed << ", bytes:\n" << list.bytes;
    }
}

TEST(NameDayFile, DayNumberLinesGiveOneEntryPerLineAndTheSameListAsBareNames) {
    testing::TempFolder folder;
    for (const std::string& lineEnd : kLineEnds) {
        ListWriter writer(static_cast<unsigned>(lineEnd.size() * 7 + lineEnd[0]));
        std::string numbered;
        std::string bare;
        for (int day = 1; day <= 366; ++day) {
            const bool quoted = day % 3 == 0;
            const std::string name = writer.Name(quoted);
            const std::string field = quoted ? "\"" + name + "\"" : name;
            numbered += std::to_string(day) + "," + field + lineEnd;
            bare += field + lineEnd;
        }
        const Entries fromNumbered = ReadNameDayFile(folder.Write("numbered.txt", numbered));
        const Entries fromBare = ReadNameDayFile(folder.Write("bare.txt", bare));
        EXPECT_EQ(fromNumbered.size(), 366u) << "line end of " << lineEnd.size() << " bytes";
        EXPECT_EQ(fromNumbered, fromBare);
    }
}

// ---------------------------------------------------------------------------
// Files that cannot be read.

std::string ReadingError(const std::filesystem::path& path) {
    try {
        ReadNameDayFile(path);
    } catch (const NameDayFileError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(NameDayFile, MissingFileIsAnErrorNamingThePath) {
    testing::TempFolder folder;
    const std::filesystem::path path = folder.path() / "fetes.txt";
    EXPECT_EQ(ReadingError(path), "Le fichier des fêtes « " + path.string() + " » est introuvable.");
}

TEST(NameDayFile, FolderIsAnErrorNamingThePath) {
    testing::TempFolder folder;
    const std::filesystem::path path = folder.path() / "fetes.txt";
    std::filesystem::create_directory(path);
    EXPECT_EQ(ReadingError(path), "Le fichier des fêtes « " + path.string() + " » est un dossier, pas un fichier.");
}

// Neither a pipe, which nothing writes into, nor an endless device holds the reader.
TEST(NameDayFile, PipeOrDeviceIsAnErrorNamingThePath) {
    testing::TempFolder folder;
    const std::filesystem::path pipe = folder.path() / "fetes.txt";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(ReadingError(pipe), "Le fichier des fêtes « " + pipe.string() + " » n'est pas un fichier ordinaire.");

    const std::filesystem::path device = folder.path() / "zero.txt";
    std::filesystem::create_symlink("/dev/zero", device);
    EXPECT_EQ(ReadingError(device), "Le fichier des fêtes « " + device.string() + " » n'est pas un fichier ordinaire.");
}

TEST(NameDayFile, UnreadableFileIsAnErrorNamingThePath) {
    if (geteuid() == 0) GTEST_SKIP() << "every file is readable for root";
    testing::TempFolder folder;
    const std::filesystem::path path = folder.Write("fetes.txt", "1,Marie\r\n");
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    EXPECT_EQ(ReadingError(path), "Le fichier des fêtes « " + path.string() + " » ne peut pas être lu.");
}

TEST(NameDayFile, FileGivesWhatItsBytesGive) {
    testing::TempFolder folder;
    const std::string bytes = "1,Marie\r\n\0\r\n2,\"Basile, Odilon\" \r\n\xE9t\xE9"s;
    EXPECT_EQ(ReadNameDayFile(folder.Write("fetes.txt", bytes)), (Entries{"Marie", "\0"s, "Basile, Odilon", "été"}));
    EXPECT_EQ(ReadNameDayFile(folder.Write("empty.txt", "")), Entries{});
}

}  // namespace
}  // namespace namedays
