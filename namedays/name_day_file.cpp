#include "namedays/name_day_file.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <system_error>

#include "calendar/numbers.h"
#include "calendar/utf8_text.h"

namespace namedays {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five values that the
// code page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their C1 code
// points, as Windows itself converts them, so no byte is ever lost.
// Source: the code page's table published by Microsoft and by Unicode (CP1252.TXT).
constexpr std::array<char32_t, 32> kBytes80To9F = {
    U'\u20AC', U'\u0081', U'\u201A', U'\u0192', U'\u201E', U'\u2026', U'\u2020', U'\u2021',  // 0x80..0x87
    U'\u02C6', U'\u2030', U'\u0160', U'\u2039', U'\u0152', U'\u008D', U'\u017D', U'\u008F',  // 0x88..0x8F
    U'\u0090', U'\u2018', U'\u2019', U'\u201C', U'\u201D', U'\u2022', U'\u2013', U'\u2014',  // 0x90..0x97
    U'\u02DC', U'\u2122', U'\u0161', U'\u203A', U'\u0153', U'\u009D', U'\u017E', U'\u0178',  // 0x98..0x9F
};

// One Windows-1252 byte as its character in UTF-8.
void AppendWindows1252(std::string& out, char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
        out.push_back(c);
    } else if (byte < 0xA0) {
        calendar::AppendUtf8(out, kBytes80To9F[byte - 0x80]);
    } else {
        calendar::AppendUtf8(out, byte);  // 0xA0..0xFF are the Latin-1 characters of the same number
    }
}

// The byte-order mark that many editors put at the start of a UTF-8 file.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Whether bytes without a mark are UTF-8 text: every one of them belongs to a UTF-8
// character and at least one character is not ASCII. A list of French names written
// in Windows-1252 does not pass: there an accented letter is one byte from 0xC0 up,
// which UTF-8 would need followed by one or more signs of 0x80..0xBF (Œ, «, ’, °...),
// and no name is spelt so.
bool IsUtf8Text(std::string_view bytes) {
    bool beyondAscii = false;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = calendar::Utf8Length(bytes, at);
        if (length == 0) return false;
        beyondAscii = beyondAscii || length > 1;
        at += length;
    }
    return beyondAscii;
}

// The first `characters` characters of a value of a UTF-8 file. A byte that begins no
// UTF-8 character (a file marked UTF-8 but with lines written in Windows-1252) is read
// as its Windows-1252 character, so that nothing is lost and the text stays UTF-8.
std::string Utf8Prefix(std::string_view bytes, std::size_t characters) {
    std::string out;
    for (std::size_t at = 0; at < bytes.size() && characters > 0; --characters) {
        const std::size_t length = calendar::Utf8Length(bytes, at);
        if (length == 0) {
            AppendWindows1252(out, bytes[at]);
            ++at;
        } else {
            out.append(bytes.substr(at, length));
            at += length;
        }
    }
    return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool EndsUnquotedField(char c) { return c == ',' || c == '\r' || c == '\n'; }

// The position just after the comma or line end found at `at` (CR LF counts as one
// line end); the end of the bytes when there is none.
std::size_t PastSeparator(std::string_view bytes, std::size_t at) {
    if (at >= bytes.size()) return bytes.size();
    if (bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') return at + 2;
    return at + 1;
}

// Reads the field that starts at `at` and moves `at` past its separator.
std::string_view ReadField(std::string_view bytes, std::size_t& at) {
    const std::size_t end = bytes.size();
    while (at < end && IsBlank(bytes[at])) ++at;

    if (at < end && bytes[at] == '"') {
        const std::size_t closing = bytes.find('"', at + 1);
        if (closing == std::string_view::npos) {  // open to the end of the file
            const std::string_view value = bytes.substr(at + 1);
            at = end;
            return value;
        }
        const std::string_view value = bytes.substr(at + 1, closing - at - 1);
        // Whatever stands between the closing quote and the separator is ignored.
        std::size_t separator = closing + 1;
        while (separator < end && !EndsUnquotedField(bytes[separator])) ++separator;
        at = PastSeparator(bytes, separator);
        return value;
    }

    std::size_t separator = at;
    while (separator < end && !EndsUnquotedField(bytes[separator])) ++separator;
    std::size_t valueEnd = separator;
    while (valueEnd > at && IsBlank(bytes[valueEnd - 1])) --valueEnd;
    const std::string_view value = bytes.substr(at, valueEnd - at);
    at = PastSeparator(bytes, separator);
    return value;
}

std::string Sentence(const std::filesystem::path& path, const char* predicate) {
    return "Le fichier des fêtes « " + path.string() + " » " + predicate;
}

std::string ReadAllBytes(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        throw NameDayFileError(Sentence(path, "est introuvable."));
    }
    if (status.type() == std::filesystem::file_type::directory) {
        throw NameDayFileError(Sentence(path, "est un dossier, pas un fichier."));
    }
    // A pipe would hold the start-up until something writes into it, and a device
    // such as /dev/zero never ends: only an ordinary file is read.
    if (status.type() != std::filesystem::file_type::regular && status.type() != std::filesystem::file_type::none) {
        throw NameDayFileError(Sentence(path, "n'est pas un fichier ordinaire."));
    }

    std::ifstream file(path, std::ios::binary);
    if (!file) throw NameDayFileError(Sentence(path, "ne peut pas être lu."));

    std::string bytes;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error) bytes.reserve(static_cast<std::size_t>(size));
    std::array<char, 1 << 16> buffer;
    while (file.read(buffer.data(), buffer.size()) || file.gcount() > 0) {
        bytes.append(buffer.data(), static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad()) throw NameDayFileError(Sentence(path, "ne peut pas être lu."));
    return bytes;
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) AppendWindows1252(out, c);
    return out;
}

std::vector<std::string> ParseNameDays(std::string_view bytes, NameDayLimits limits) {
    const bool marked = bytes.starts_with(kUtf8Mark);
    if (marked) bytes.remove_prefix(kUtf8Mark.size());

    // The fields are found on the raw bytes: commas, line ends, quotes and blanks are
    // ASCII, which UTF-8 never uses inside a character, so they stand at the same
    // places whichever way the file is written.
    std::vector<std::string_view> values;
    std::size_t at = 0;
    // The end is tested before every field, so a line end after the last field
    // ends the list and an empty file gives no entry.
    while (at < bytes.size() && values.size() < limits.entries) {
        const std::string_view value = ReadField(bytes, at);
        // A day number or a date ("1", "01/01", "1er janvier") begins with a number
        // other than 0 and is dropped. The test reads only ASCII, so the raw bytes
        // answer as the decoded text would.
        if (calendar::LeadingNumber(value) == 0) values.push_back(value);
    }

    // The encoding is judged on the bytes read, from the start of the file to the end
    // of the last field read: what follows the last kept entry is never looked at, so
    // it cannot change how the kept ones read. The reading stops at a separator or at
    // the end of the file, never inside a character.
    const bool utf8 = marked || IsUtf8Text(bytes.substr(0, at));
    std::vector<std::string> entries;
    entries.reserve(values.size());
    for (const std::string_view value : values) {
        // The cut counts characters and never splits one.
        entries.push_back(utf8 ? Utf8Prefix(value, limits.entryLength)
                               : Windows1252ToUtf8(value.substr(0, limits.entryLength)));
    }
    return entries;
}

std::vector<std::string> ReadNameDayFile(const std::filesystem::path& path, NameDayLimits limits) {
    return ParseNameDays(ReadAllBytes(path), limits);
}

}  // namespace namedays
