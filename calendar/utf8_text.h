#pragma once
// UTF-8 text as the program reads and shows it: the one decoder of its characters,
// the encoder of a code point, and the cleaning of a text before it is shown.
// A text read from a user's file may hold any byte: a carriage return, an escape
// sequence, a NUL, bytes of another character set. Shown in a terminal such bytes
// would drive it, and shown in a window they would break a line or cut the text.

#include <cstddef>
#include <string>
#include <string_view>

namespace calendar {

// The length of the well-formed UTF-8 character that starts at `at`, or 0 when the
// bytes there are none: a stray continuation byte, a cut sequence, an overlong form,
// a surrogate or a value above U+10FFFF. The bounds are those of the table of
// well-formed byte sequences in the Unicode Standard, chapter 3 (table 3-7).
std::size_t Utf8Length(std::string_view bytes, std::size_t at);

// The code point that starts at `at`, `at` moved past it; U+FFFD for a byte that
// begins no well-formed character, `at` then moved past that byte alone.
char32_t NextCodePoint(std::string_view bytes, std::size_t& at);

// `codePoint` (at most U+10FFFF) appended in UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

// The length of the control character that starts at `at`, 0 when there is none:
// 1 for C0 (U+0000..U+001F, line ends and NUL included) and DEL (U+007F), 2 for C1
// (U+0080..U+009F, bytes C2 80..C2 9F).
std::size_t ControlLength(std::string_view bytes, std::size_t at);

// `utf8` with every control character replaced by one blank; every other byte kept.
std::string ShownText(std::string_view utf8);

// Text from outside made fit to show: each byte that begins no well-formed character
// replaced by U+FFFD, each control character by a blank, the blanks at both ends cut.
std::string CleanText(std::string_view bytes);

// A letter of Latin-1 or Latin Extended-A (U+00C0..U+017F) in lower case without its
// accent, as names are compared: « é » e, « Œ » oe, « ß » ss; "" for × and ÷, which are
// no letters; null for any other code point.
const char* FoldedLatinLetter(char32_t point);

}  // namespace calendar
