// The name-day reader on any bytes: besides not crashing, the list it gives must be
// one that the file can hold, in the encoding that the file is read in.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/numbers.h"
#include "fuzz_checks.h"
#include "namedays/name_day_file.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::size_t SeparatorCount(std::string_view bytes) {
    std::size_t count = 0;
    for (const char c : bytes) count += (c == ',' || c == '\r' || c == '\n') ? 1 : 0;
    return count;
}

// The length of the UTF-8 character at `at` by its first byte, 0 when it is none.
std::size_t Utf8CharacterAt(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xC0 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return length > 0 && fuzz::IsUtf8(bytes.substr(at, length)) ? length : 0;
}

// The whole file as the reader should take it: UTF-8 after a byte-order mark (a byte
// that begins no character then being its Windows-1252 one), UTF-8 when it all is and
// some of it is beyond ASCII, Windows-1252 otherwise.
std::string DecodedFile(std::string_view bytes) {
    if (!bytes.starts_with(kUtf8Mark)) {
        bool beyondAscii = false;
        for (const char c : bytes) beyondAscii = beyondAscii || static_cast<unsigned char>(c) >= 0x80;
        if (beyondAscii && fuzz::IsUtf8(bytes)) return std::string(bytes);
        return namedays::Windows1252ToUtf8(bytes);
    }
    bytes.remove_prefix(kUtf8Mark.size());
    std::string decoded;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Utf8CharacterAt(bytes, at);
        decoded +=
            length > 0 ? std::string(bytes.substr(at, length)) : namedays::Windows1252ToUtf8(bytes.substr(at, 1));
        at += length > 0 ? length : 1;
    }
    return decoded;
}

// The first `characters` characters of a UTF-8 text.
std::string FirstCharacters(const std::string& text, std::size_t characters) {
    std::size_t end = 0;
    for (; end < text.size(); ++end) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && characters-- == 0) break;
    }
    return text.substr(0, end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries = namedays::ParseNameDays(bytes);

    // Every field ends at a comma, a line end or the end of the bytes.
    if (entries.size() > SeparatorCount(bytes) + 1) fuzz::Fail("more entries than fields", bytes);

    // Each entry is a piece of the decoded file, in file order, and no two pieces
    // overlap. Fields split at ASCII bytes, so a piece of the bytes decodes to a piece
    // of the decoded file; UTF-8 never matches in the middle of a character.
    const std::string decoded = DecodedFile(bytes);
    if (!fuzz::IsUtf8(decoded)) fuzz::Fail("the decoded file is not UTF-8", bytes);
    std::size_t searchFrom = 0;
    bool anyQuote = false;
    std::string rewritten(kUtf8Mark);
    for (const std::string& entry : entries) {
        if (!fuzz::IsUtf8(entry)) fuzz::Fail("an entry is not UTF-8", bytes);
        // A field that begins with a number other than 0 is a day number or a date, never a name.
        if (calendar::LeadingNumber(entry) != 0) fuzz::Fail("a numbered field was kept: " + entry, bytes);
        const std::size_t found = decoded.find(entry, searchFrom);
        if (found == std::string::npos) fuzz::Fail("an entry is not the next piece of the file: " + entry, bytes);
        searchFrom = found + entry.size();

        anyQuote = anyQuote || entry.find('"') != std::string::npos;
        rewritten += "\"" + entry + "\"\r\n";
    }

    // Saved in UTF-8 with the mark, one quoted entry per line, the list reads back the
    // same. A double quote cannot stand inside a quoted field, so such lists are not
    // rewritten.
    if (!anyQuote && namedays::ParseNameDays(rewritten) != entries) {
        fuzz::Fail("the entries written back in UTF-8 read back differently", bytes);
    }

    // Within the limits the reading keeps the first entries, each cut to its first
    // characters. The encoding is judged on the bytes read, which stop after the last
    // kept entry; where the whole file decides as its beginning does (a mark, or UTF-8
    // throughout), the limited list is the whole list's beginning.
    constexpr namedays::NameDayLimits kLimits{3, 5};
    const std::vector<std::string> kept = namedays::ParseNameDays(bytes, kLimits);
    if (kept.size() > kLimits.entries) fuzz::Fail("more entries kept than the limit", bytes);
    for (const std::string& entry : kept) {
        if (!fuzz::IsUtf8(entry)) fuzz::Fail("a cut entry is not UTF-8", bytes);
        if (FirstCharacters(entry, kLimits.entryLength) != entry) fuzz::Fail("an entry is not cut: " + entry, bytes);
    }
    if (bytes.starts_with(kUtf8Mark) || fuzz::IsUtf8(bytes)) {
        std::vector<std::string> expected(entries.begin(), entries.begin() + std::min(entries.size(), kLimits.entries));
        for (std::string& entry : expected) entry = FirstCharacters(entry, kLimits.entryLength);
        if (kept != expected) fuzz::Fail("the limited list is not the whole list's beginning, cut", bytes);
    }
    return 0;
}
