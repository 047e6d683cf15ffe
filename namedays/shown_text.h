#pragma once
// A name read from fetes.txt may hold any byte the file holds: a carriage return, an
// escape sequence, a NUL. Shown in a terminal such bytes would drive it, and shown in
// a window they would break a line or cut the text. Wherever a name is shown as
// text, each control character becomes a blank.

#include <string>
#include <string_view>

namespace namedays {

// `utf8` with every control character replaced by one blank: C0 (U+0000..U+001F,
// line ends and NUL included), DEL (U+007F) and C1 (U+0080..U+009F, bytes C2 80..C2
// 9F in UTF-8). Every other byte is kept as it is.
std::string ShownText(std::string_view utf8);

}  // namespace namedays
