#pragma once
// The C library's own character converter, as an independent judge of encodings.

#include <iconv.h>

#include <optional>
#include <stdexcept>
#include <string>

namespace namedays::testing {

// `bytes` converted from one encoding to another; std::nullopt when the converter
// rejects them.
inline std::optional<std::string> SystemConvert(const char* from, const char* to, std::string bytes) {
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("no converter from ") + from);
    std::string out(bytes.size() * 4 + 4, '\0');
    char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    char* outAt = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &outAt, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace namedays::testing
