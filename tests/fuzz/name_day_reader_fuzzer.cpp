// The name-day reader on any bytes: besides not crashing, the list it gives must be
// one that the file can hold.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/numbers.h"
#include "fuzz_checks.h"
#include "namedays/name_day_file.h"

namespace {

// UTF-8 back to Windows-1252, from the reader's own decoding of each of the 256 bytes:
// an entry holds only characters that some byte of the file gave.
class Windows1252Encoder {
public:
    Windows1252Encoder() {
        byteOf_.fill(-1);
        for (int byte = 0; byte < 256; ++byte) {
            const std::string utf8 = namedays::Windows1252ToUtf8(std::string(1, static_cast<char>(byte)));
            std::size_t at = 0;
            const char32_t codePoint = Decode(utf8, at);
            if (codePoint < byteOf_.size()) byteOf_[codePoint] = byte;
        }
    }

    // false when the text holds a character that no byte decodes to. The text is UTF-8.
    bool Encode(std::string_view utf8, std::string& out) const {
        std::size_t at = 0;
        while (at < utf8.size()) {
            const char32_t codePoint = Decode(utf8, at);
            if (codePoint >= byteOf_.size() || byteOf_[codePoint] < 0) return false;
            out.push_back(static_cast<char>(byteOf_[codePoint]));
        }
        return true;
    }

private:
    // The code point that starts at `at`, moving `at` past it.
    static char32_t Decode(std::string_view utf8, std::size_t& at) {
        const auto lead = static_cast<unsigned char>(utf8[at++]);
        if (lead < 0x80) return lead;
        const int continuation = lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t codePoint = lead & (0x3F >> continuation);
        for (int k = 0; k < continuation && at < utf8.size(); ++k) {
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8[at++]) & 0x3F);
        }
        return codePoint;
    }

    std::array<int, 0x10000> byteOf_;  // every character of the code page lies below U+10000
};

std::size_t SeparatorCount(std::string_view bytes) {
    std::size_t count = 0;
    for (const char c : bytes) count += (c == ',' || c == '\r' || c == '\n') ? 1 : 0;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Windows1252Encoder encoder;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries = namedays::ParseNameDays(bytes);

    // Every field ends at a comma, a line end or the end of the bytes.
    if (entries.size() > SeparatorCount(bytes) + 1) fuzz::Fail("more entries than fields", bytes);

    // Each entry is a piece of the file, in file order, and no two pieces overlap. The
    // decoding maps byte to character one by one, so a piece of the bytes decodes to
    // a piece of the decoded file; UTF-8 never matches in the middle of a character.
    const std::string decoded = namedays::Windows1252ToUtf8(bytes);
    if (!fuzz::IsUtf8(decoded)) fuzz::Fail("the decoded file is not UTF-8", bytes);
    std::size_t searchFrom = 0;
    bool anyQuote = false;
    std::string rewritten;
    for (const std::string& entry : entries) {
        if (!fuzz::IsUtf8(entry)) fuzz::Fail("an entry is not UTF-8", bytes);
        // A field that begins with a number other than 0 is a day number or a date, never a name.
        if (calendar::LeadingNumber(entry) != 0) fuzz::Fail("a numbered field was kept: " + entry, bytes);
        const std::size_t found = decoded.find(entry, searchFrom);
        if (found == std::string::npos) fuzz::Fail("an entry is not the next piece of the file: " + entry, bytes);
        searchFrom = found + entry.size();

        anyQuote = anyQuote || entry.find('"') != std::string::npos;
        rewritten.push_back('"');
        if (!encoder.Encode(entry, rewritten)) fuzz::Fail("an entry holds a character of no byte: " + entry, bytes);
        rewritten += "\"\r\n";
    }

    // Written back one quoted entry per line, the list reads back the same. A double
    // quote cannot stand inside a quoted field, so such lists are not rewritten.
    if (!anyQuote && namedays::ParseNameDays(rewritten) != entries) {
        fuzz::Fail("the entries written back as quoted lines read back differently", bytes);
    }
    return 0;
}
