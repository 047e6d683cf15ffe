// The one UTF-8 decoder and encoder that every reader of the program uses, against
// glibc's iconv; and the French words of sizes and counts at their boundaries.

#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>

#include "calendar/french_words.h"
#include "calendar/utf8_text.h"
#include "tests/calendar/sweep_support.h"

namespace calendar {
namespace {

// The length of the one character that glibc reads at the start of `bytes`, 0 when it
// reads none.
std::size_t IconvLength(iconv_t utf8ToUtf32, std::string_view bytes) {
    for (std::size_t length = 1; length <= bytes.size(); ++length) {
        iconv(utf8ToUtf32, nullptr, nullptr, nullptr, nullptr);
        std::string input(bytes.substr(0, length));
        char32_t out[2];
        char* in = input.data();
        std::size_t inLeft = length;
        char* outAt = reinterpret_cast<char*>(out);
        std::size_t outLeft = sizeof out;
        if (iconv(utf8ToUtf32, &in, &inLeft, &outAt, &outLeft) != std::size_t(-1) && inLeft == 0) return length;
        if (errno != EINVAL) return 0;  // EILSEQ: no character begins here
    }
    return 0;
}

// Every lead and second byte, followed by continuation bytes and by ASCII: an
// overlong form, a surrogate, a value past U+10FFFF, a lead byte from F5 up or a cut
// sequence is no character, and each reader of a user's file decides what then.
TEST(Utf8TextTest, EveryCharacterLengthAgreesWithIconv) {
    const iconv_t utf8ToUtf32 = iconv_open("UTF-32LE", "UTF-8");
    ASSERT_NE(utf8ToUtf32, iconv_t(-1));
    test::MismatchLog log;
    for (int lead = 0; lead < 256; ++lead) {
        for (int second = 0; second < 256; ++second) {
            for (const char* tail : {"\x80\x80", "\xBF\xBF",
                                     "\x80"
                                     "A",
                                     "A\x80"}) {
                const std::string bytes = std::string{char(lead), char(second)} + tail;
                const std::size_t expected = IconvLength(utf8ToUtf32, bytes);
                if (const std::size_t got = Utf8Length(bytes, 0); got != expected) {
                    char what[64];
                    std::snprintf(what, sizeof what, "%02X %02X %02X %02X: %zu, iconv %zu", lead, second,
                                  static_cast<unsigned char>(tail[0]), static_cast<unsigned char>(tail[1]), got,
                                  expected);
                    log.Record(what);
                }
            }
        }
    }
    iconv_close(utf8ToUtf32);
    EXPECT_EQ(log.count(), 0);
}

// Every code point but the surrogates, written by AppendUtf8 and read back by
// NextCodePoint, gives the bytes iconv writes.
TEST(Utf8TextTest, EveryCodePointIsWrittenAsIconvWritesIt) {
    std::u32string codePoints;
    std::string written;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        codePoints += c;
        AppendUtf8(written, c);
    }
    const iconv_t utf32ToUtf8 = iconv_open("UTF-8", "UTF-32LE");
    ASSERT_NE(utf32ToUtf8, iconv_t(-1));
    std::string expected(codePoints.size() * 4, '\0');
    char* in = reinterpret_cast<char*>(codePoints.data());
    std::size_t inLeft = codePoints.size() * sizeof(char32_t);
    char* out = expected.data();
    std::size_t outLeft = expected.size();
    ASSERT_NE(iconv(utf32ToUtf8, &in, &inLeft, &out, &outLeft), std::size_t(-1));
    iconv_close(utf32ToUtf8);
    expected.resize(expected.size() - outLeft);
    ASSERT_EQ(written, expected);
    std::size_t at = 0;
    for (const char32_t c : codePoints) {
        if (NextCodePoint(written, at) != c) FAIL() << "U+" << std::hex << std::uint32_t(c) << " read back otherwise";
    }
    EXPECT_EQ(at, written.size());
}

// A title from a user's file as it is shown: each control character of C0 and C1 a
// blank, each byte that begins no character U+FFFD, the blanks at both ends cut.
TEST(Utf8TextTest, TextFromOutsideIsCleanedToShow) {
    const struct {
        std::string bytes, clean;
    } rows[] = {
        {"R\xC3\xA9union", "R\xC3\xA9union"},
        {"a\tb\x1B[31mc\x7F", "a b [31mc"},
        {"\xC2\x85next\xC2\x9B line\xC2\xA0kept", "next  line\xC2\xA0kept"},
        {"cut \xE2\x82", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xFF\xC2\x41\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD\x41\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\r\n  \x01", ""},
        {"", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(CleanText(row.bytes), row.clean) << row.bytes;
}

struct WordsRow {
    std::string got, expected;
};

// The boundaries where the words change: no text elsewhere shows them.
TEST(FrenchWordsTest, SizesAndCountsChangeWordsAtTheirBoundaries) {
    const WordsRow rows[] = {
        {SizeText(999), "0 ko"},
        {SizeText(999'999), "999 ko"},
        {SizeText(1'000'000), "1 Mo"},
        {SizeText(20'999'999), "20 Mo"},
        {CountText(0), "0"},
        {CountText(999), "999"},
        {CountText(1'000), "1 000"},
        {CountText(100'000), "100 000"},
        {CountText(1'234'567), "1 234 567"},
        {OrdinalText(1), "1er"},
        {OrdinalText(2), "2e"},
        {DateInWords(1, 1), "1er janvier"},
        {DateInWords(31, 12, 2025), "31 décembre 2025"},
    };
    for (const WordsRow& row : rows) EXPECT_EQ(row.got, row.expected);
}

}  // namespace
}  // namespace calendar
