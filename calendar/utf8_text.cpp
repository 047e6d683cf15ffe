#include "calendar/utf8_text.h"

namespace calendar {

std::size_t Utf8Length(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;  // the second byte's range
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong form
        if (lead == 0xED) high = 0x9F;  // no surrogate
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // no overlong form
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (bytes.size() - at < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(bytes[at + k]);
        if (byte < (k == 1 ? low : 0x80) || byte > (k == 1 ? high : 0xBF)) return 0;
    }
    return length;
}

char32_t NextCodePoint(std::string_view bytes, std::size_t& at) {
    const std::size_t length = Utf8Length(bytes, at);
    if (length == 0) {
        ++at;
        return U'\uFFFD';
    }
    const auto lead = static_cast<unsigned char>(bytes[at]);
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(bytes[at + k]) & 0x3F);
    at += length;
    return c;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

std::size_t ControlLength(std::string_view bytes, std::size_t at) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (byte < 0x20 || byte == 0x7F) return 1;
    if (byte != 0xC2 || at + 1 >= bytes.size()) return 0;
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return second >= 0x80 && second < 0xA0 ? 2 : 0;
}

std::string ShownText(std::string_view utf8) {
    std::string shown;
    shown.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        if (const std::size_t control = ControlLength(utf8, at); control > 0) {
            shown += ' ';
            at += control;
        } else {
            shown += utf8[at++];
        }
    }
    return shown;
}

// In one pass, as the titles of thousands of events are cleaned at each month.
std::string CleanText(std::string_view bytes) {
    std::string clean;
    clean.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Utf8Length(bytes, at);
        if (length == 0) {
            clean += "\xEF\xBF\xBD";
            ++at;
            continue;
        }
        // A well-formed control character, of C0 or C1, is a blank.
        if (ControlLength(bytes, at) == length) {
            clean += ' ';
        } else {
            clean.append(bytes, at, length);
        }
        at += length;
    }
    const std::size_t first = clean.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    clean.erase(clean.find_last_not_of(' ') + 1);
    clean.erase(0, first);
    return clean;
}

namespace {

// Latin-1's letters from U+00C0 and Latin Extended-A, to U+017F, folded.
constexpr const char* kFoldFromC0[] = {
    "a", "a", "a",  "a",  "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",   // U+00C0
    "d", "n", "o",  "o",  "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "ss",  // U+00D0
    "a", "a", "a",  "a",  "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",   // U+00E0
    "d", "n", "o",  "o",  "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y",   // U+00F0
    "a", "a", "a",  "a",  "a", "a", "c",  "c", "c", "c", "c", "c", "c", "c", "d",  "d",   // U+0100
    "d", "d", "e",  "e",  "e", "e", "e",  "e", "e", "e", "e", "e", "g", "g", "g",  "g",   // U+0110
    "g", "g", "g",  "g",  "h", "h", "h",  "h", "i", "i", "i", "i", "i", "i", "i",  "i",   // U+0120
    "i", "i", "ij", "ij", "j", "j", "k",  "k", "k", "l", "l", "l", "l", "l", "l",  "l",   // U+0130
    "l", "l", "l",  "n",  "n", "n", "n",  "n", "n", "n", "n", "n", "o", "o", "o",  "o",   // U+0140
    "o", "o", "oe", "oe", "r", "r", "r",  "r", "r", "r", "s", "s", "s", "s", "s",  "s",   // U+0150
    "s", "s", "t",  "t",  "t", "t", "t",  "t", "u", "u", "u", "u", "u", "u", "u",  "u",   // U+0160
    "u", "u", "u",  "u",  "w", "w", "y",  "y", "y", "z", "z", "z", "z", "z", "z",  "s",   // U+0170
};
static_assert(std::size(kFoldFromC0) == 0x180 - 0xC0);

}  // namespace

const char* FoldedLatinLetter(char32_t point) {
    return point >= 0xC0 && point < 0x180 ? kFoldFromC0[point - 0xC0] : nullptr;
}

}  // namespace calendar
