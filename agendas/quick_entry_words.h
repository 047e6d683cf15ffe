#pragma once
// The words of a quick-add phrase, as its grammar (quick_entry.cpp) reads them: case
// and accents folded (« Août » is "aout", « Œ » "oe", « ’ » an apostrophe), each word
// knowing where it stands in the phrase as typed.

#include <string>
#include <string_view>
#include <vector>

namespace agendas::quick_entry {

struct Token {
    enum class Kind { Word, Number, Symbol };
    Kind kind = Kind::Word;
    std::string text;  // folded: lower-case ASCII letters; a letter outside Latin-1 is \x80
    int number = -1;   // a number's value, -1 beyond 999999
    std::size_t digits = 0;
    std::size_t begin = 0, end = 0;  // bytes of the phrase as typed
};

// Letters and digits make words and numbers; blanks separate them; any other
// character is a symbol of its own (":" "/" "-" "'" "@" ","), as are bytes that are
// not UTF-8.
std::vector<Token> TokensOf(std::string_view phrase);

}  // namespace agendas::quick_entry
