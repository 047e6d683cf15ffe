#include "namedays/shown_text.h"

namespace namedays {

std::string ShownText(std::string_view utf8) {
    std::string shown;
    shown.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size(); ++at) {
        const auto byte = static_cast<unsigned char>(utf8[at]);
        const bool c1 = byte == 0xC2 && at + 1 < utf8.size() && static_cast<unsigned char>(utf8[at + 1]) < 0xA0 &&
                        static_cast<unsigned char>(utf8[at + 1]) >= 0x80;
        if (c1) ++at;  // the two bytes of one character, one blank
        shown += byte < 0x20 || byte == 0x7F || c1 ? ' ' : utf8[at];
    }
    return shown;
}

}  // namespace namedays
