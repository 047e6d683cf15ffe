#pragma once
// What the fuzz targets share: a failed check prints what broke and aborts, so that
// libFuzzer reports it as a crash and keeps the input; and a strict UTF-8 test.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

// The input as one line: printable ASCII as it is, every other byte as \xNN, cut
// after 300 bytes (the artifact file holds the whole input).
inline std::string Printable(std::string_view bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < 300; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            text.push_back(static_cast<char>(byte));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    if (bytes.size() > 300) text += "...";
    return text;
}

[[noreturn]] inline void Fail(const std::string& what, std::string_view input) {
    std::fprintf(stderr, "\n*** %s\n*** input: \"%s\"\n", what.c_str(), Printable(input).c_str());
    std::abort();
}

// Well-formed UTF-8: no stray continuation byte, no truncated sequence, no overlong
// form, no surrogate, nothing above U+10FFFF.
inline bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned char low = 0x80;  // the range of the second byte, which rules out the bad forms
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            const unsigned char min = k == 1 ? low : 0x80;
            const unsigned char max = k == 1 ? high : 0xBF;
            if (byte < min || byte > max) return false;
        }
        i += length;
    }
    return true;
}

}  // namespace fuzz
