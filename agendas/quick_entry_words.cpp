#include "agendas/quick_entry_words.h"

#include "calendar/utf8_text.h"

namespace agendas::quick_entry {

namespace {

enum class Class { Blank, Letter, Digit, Symbol };

struct Folded {
    std::string text;  // "" for a blank
    Class kind = Class::Symbol;
    std::size_t length = 1;  // bytes read from the phrase
};

// The character at `at`, folded.
Folded FoldAt(std::string_view phrase, std::size_t at) {
    const auto byte = [&](std::size_t i) { return i < phrase.size() ? static_cast<unsigned char>(phrase[i]) : 0u; };
    const unsigned lead = byte(at);
    if (lead == ' ' || lead == '\t' || lead == '\n' || lead == '\r') return {"", Class::Blank, 1};
    if (lead >= 'A' && lead <= 'Z') return {std::string(1, char(lead - 'A' + 'a')), Class::Letter, 1};
    if (lead >= 'a' && lead <= 'z') return {std::string(1, char(lead)), Class::Letter, 1};
    if (lead >= '0' && lead <= '9') return {std::string(1, char(lead)), Class::Digit, 1};
    if (lead < 0x80) return {std::string(1, char(lead)), Class::Symbol, 1};
    const std::size_t length = calendar::Utf8Length(phrase, at);
    if (length == 0) return {"?", Class::Symbol, 1};
    const unsigned second = byte(at + 1), third = byte(at + 2);
    std::size_t next = at;
    if (const char* letter = calendar::FoldedLatinLetter(calendar::NextCodePoint(phrase, next))) {
        return *letter ? Folded{letter, Class::Letter, length} : Folded{"?", Class::Symbol, length};
    }
    if (lead == 0xC2 && second == 0xA0) return {"", Class::Blank, 2};  // no-break space
    if (lead == 0xE2 && second == 0x80) {
        if (third == 0x99 || third == 0x98) return {"'", Class::Symbol, 3};  // ’ ‘
        if (third == 0x93 || third == 0x94) return {"-", Class::Symbol, 3};  // – —
        if (third == 0xAF || third == 0x89) return {"", Class::Blank, 3};    // narrow and thin spaces
    }
    // Any other letter of any script: part of a word that no rule of the grammar names.
    return {"\x80", Class::Letter, length};
}

}  // namespace

std::vector<Token> TokensOf(std::string_view phrase) {
    std::vector<Token> tokens;
    Class last = Class::Blank;
    for (std::size_t at = 0; at < phrase.size();) {
        const Folded folded = FoldAt(phrase, at);
        const bool joins =
            !tokens.empty() && folded.kind == last && (folded.kind == Class::Letter || folded.kind == Class::Digit);
        if (folded.kind != Class::Blank) {
            if (!joins) {
                tokens.push_back({.kind = folded.kind == Class::Letter  ? Token::Kind::Word
                                          : folded.kind == Class::Digit ? Token::Kind::Number
                                                                        : Token::Kind::Symbol,
                                  .text = {},
                                  .number = folded.kind == Class::Digit ? 0 : -1,
                                  .digits = 0,
                                  .begin = at,
                                  .end = at});
            }
            Token& token = tokens.back();
            token.text += folded.text;
            token.end = at + folded.length;
            if (token.kind == Token::Kind::Number) {
                ++token.digits;
                token.number =
                    token.number < 0 || token.number > 99999 ? -1 : token.number * 10 + (folded.text[0] - '0');
            }
        }
        last = folded.kind;
        at += folded.length;
    }
    return tokens;
}

}  // namespace agendas::quick_entry
