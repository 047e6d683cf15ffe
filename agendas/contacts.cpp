#include "agendas/contacts.h"

#include <iconv.h>

#include <algorithm>
#include <chrono>

#include "calendar/utf8_text.h"

namespace agendas {

namespace {

// An address book's mark for a year it does not know.
constexpr int kUnknownYear = 1604;

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    return upper;
}

// The logical lines: a line end followed by a blank or a tab continues the line
// (RFC 6350 3.2), as does a quoted-printable soft line break: vCard 2.1 (section
// 2.1.3) ends such a line with "=" and goes on at the start of the next line,
// whatever that line begins with (RFC 2045 6.7, rule 5). CR LF and LF alike.
std::vector<std::string> UnfoldedLines(std::string_view text) {
    std::vector<std::string> lines;
    // Of the last logical line: how far it has been looked through for its first colon,
    // and once that is found, whether the name and parameters before it say
    // QUOTED-PRINTABLE. Each byte is looked at once, however many lines it is folded in.
    std::size_t searched = 0;
    bool headRead = false, quotedPrintable = false;
    const auto endsInSoftBreak = [&](const std::string& line) {
        if (line.empty() || line.back() != '=') return false;
        if (!headRead) {
            const std::size_t colon = line.find(':', searched);
            searched = line.size() - 1;  // the "=" goes with a soft break
            if (colon == std::string::npos) return false;
            headRead = true;
            quotedPrintable =
                Upper(std::string_view(line).substr(0, colon)).find("QUOTED-PRINTABLE") != std::string::npos;
        }
        return quotedPrintable;
    };
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!lines.empty() && endsInSoftBreak(lines.back())) {
            lines.back().pop_back();
            lines.back() += line;
        } else if ((line.starts_with(' ') || line.starts_with('\t')) && !lines.empty()) {
            lines.back() += line.substr(1);
        } else {
            lines.emplace_back(line);
            searched = 0;
            headRead = false;
        }
        at = end + 1;
    }
    return lines;
}

struct Property {
    std::string name;  // upper case, without its group ("item1.")
    std::string value;
    bool quotedPrintable = false;  // ENCODING=QUOTED-PRINTABLE, or vCard 2.1's bare QUOTED-PRINTABLE
    std::string charset;           // CHARSET's value, upper case; none says UTF-8
};

// The parameters as written after the name (";TYPE=HOME;QUOTED-PRINTABLE"): vCard 2.1
// names a value alone, 3.0 and 4.0 write NAME=VALUE, each value possibly a list or quoted.
void ReadParameters(std::string_view head, Property& property) {
    std::size_t at = 0;
    while (at < head.size()) {
        bool quoted = false;
        std::size_t end = at;
        while (end < head.size() && (quoted || head[end] != ';')) {
            if (head[end] == '"') quoted = !quoted;
            ++end;
        }
        const std::string_view parameter = head.substr(at, end - at);
        const std::size_t equals = parameter.find('=');
        std::string name(parameter.substr(0, equals)), value;
        if (equals != std::string_view::npos) {
            for (const char c : parameter.substr(equals + 1)) {
                if (c != '"') value += c;
            }
        }
        if (name == "QUOTED-PRINTABLE" && equals == std::string_view::npos) property.quotedPrintable = true;
        if (name == "ENCODING" && ("," + value + ",").find(",QUOTED-PRINTABLE,") != std::string::npos) {
            property.quotedPrintable = true;
        }
        if (name == "CHARSET") property.charset = value;
        at = end + 1;
    }
}

std::optional<Property> PropertyOf(const std::string& line) {
    // The value begins after the first colon outside a quoted parameter value.
    bool quoted = false;
    std::size_t colon = std::string::npos;
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (line[at] == '"') quoted = !quoted;
        if (line[at] == ':' && !quoted) {
            colon = at;
            break;
        }
    }
    if (colon == std::string::npos) return std::nullopt;
    const std::string head = Upper(std::string_view(line).substr(0, colon));
    const std::size_t semicolon = head.find(';');
    std::string name = head.substr(0, semicolon);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) name = name.substr(dot + 1);
    Property property{.name = name, .value = line.substr(colon + 1), .quotedPrintable = false, .charset = {}};
    if (semicolon != std::string::npos) ReadParameters(std::string_view(head).substr(semicolon + 1), property);
    return property;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// vCard 2.1's quoted-printable values (=C3=A9 for « é »).
std::string QuotedPrintable(std::string_view value) {
    std::string bytes;
    for (std::size_t at = 0; at < value.size(); ++at) {
        if (value[at] == '=' && at + 2 < value.size() && HexDigit(value[at + 1]) >= 0 && HexDigit(value[at + 2]) >= 0) {
            bytes += char(HexDigit(value[at + 1]) * 16 + HexDigit(value[at + 2]));
            at += 2;
        } else {
            bytes += value[at];
        }
    }
    return bytes;
}

// Bytes of no known charset: well-formed UTF-8 is kept; any other byte is read as
// Windows-1252, the charset of the phones that write Latin-1 without saying so, its five
// unassigned bytes as U+FFFD. Every result is well-formed UTF-8.
std::string Utf8OrWindows1252(std::string_view bytes) {
    // Windows-1252's 0x80..0x9F (the Unicode consortium's mapping table CP1252.TXT).
    static constexpr char16_t kHigh[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                           0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string text;
    for (std::size_t at = 0; at < bytes.size();) {
        if (const std::size_t length = calendar::Utf8Length(bytes, at); length > 0) {
            text += bytes.substr(at, length);
            at += length;
            continue;
        }
        const auto byte = static_cast<unsigned char>(bytes[at++]);
        calendar::AppendUtf8(text, byte < 0xA0 ? kHigh[byte - 0x80] : char16_t(byte));
    }
    return text;
}

// The value's bytes in UTF-8, from the card's CHARSET by glibc's iconv (ISO-8859-1,
// WINDOWS-1252, UTF-8 and every charset iconv knows). A charset iconv does not know, or
// bytes that are not of the charset said, are read as Utf8OrWindows1252 reads them.
std::string Utf8Of(std::string_view bytes, const std::string& charset) {
    if (charset.empty() || charset == "UTF-8" || charset == "UTF8" || charset.find('/') != std::string::npos) {
        return Utf8OrWindows1252(bytes);
    }
    const iconv_t converter = iconv_open("UTF-8", charset.c_str());
    if (converter == iconv_t(-1)) return Utf8OrWindows1252(bytes);
    std::string in(bytes), out(bytes.size() * 4 + 16, '\0');  // 4 bytes of UTF-8 at most per byte read
    char* from = in.data();
    char* to = out.data();
    std::size_t left = in.size(), room = out.size();
    const bool converted = iconv(converter, &from, &left, &to, &room) != std::size_t(-1) &&
                           iconv(converter, nullptr, nullptr, &to, &room) != std::size_t(-1);
    iconv_close(converter);
    if (!converted) return Utf8OrWindows1252(bytes);
    out.resize(out.size() - room);
    return Utf8OrWindows1252(out);
}

// A text value: decoded, in UTF-8, its escapes (\, \; \\ \n) read, control characters
// as blanks.
std::string TextValue(const Property& property) {
    const std::string value =
        Utf8Of(property.quotedPrintable ? QuotedPrintable(property.value) : property.value, property.charset);
    std::string text;
    for (std::size_t at = 0; at < value.size(); ++at) {
        char c = value[at];
        if (c == '\\' && at + 1 < value.size()) {
            c = value[++at];
            if (c == 'n' || c == 'N') c = ' ';
        }
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
        text += c;
    }
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// N: family;given;additional;prefixes;suffixes, each a text value.
std::vector<std::string> PartsOfN(const Property& property) {
    std::vector<std::string> parts(1);
    for (std::size_t at = 0; at < property.value.size(); ++at) {
        if (property.value[at] == '\\' && at + 1 < property.value.size()) {
            parts.back() += property.value.substr(at, 2);
            ++at;
        } else if (property.value[at] == ';') {
            parts.emplace_back();
        } else {
            parts.back() += property.value[at];
        }
    }
    for (std::string& part : parts) {
        part = TextValue(
            {.name = {}, .value = part, .quotedPrintable = property.quotedPrintable, .charset = property.charset});
    }
    parts.resize(std::max<std::size_t>(parts.size(), 2));
    return parts;
}

int Digits(std::string_view text) {
    int number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    return text.empty() ? -1 : number;
}

std::optional<Birthday> DateOf(std::string value) {
    if (const std::size_t time = value.find('T'); time != std::string::npos) value.resize(time);
    int year = -1, month = -1, day = -1;
    std::string digits;
    for (const char c : value) {
        if (c != '-') digits += c;
    }
    if (value.starts_with("--")) {  // --MMDD, --MM-DD
        if (digits.size() != 4) return std::nullopt;
        month = Digits(digits.substr(0, 2));
        day = Digits(digits.substr(2, 2));
    } else {
        if (digits.size() != 8) return std::nullopt;
        year = Digits(digits.substr(0, 4));
        month = Digits(digits.substr(4, 2));
        day = Digits(digits.substr(6, 2));
        if (year < 0) return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1) return std::nullopt;
    // The day must exist in some year: 29 February in a leap year.
    using namespace std::chrono;
    if (!year_month_day{std::chrono::year{2000}, std::chrono::month{unsigned(month)}, std::chrono::day{unsigned(day)}}
             .ok()) {
        return std::nullopt;
    }
    Birthday birthday{.name = {}, .month = month, .day = day, .year = std::nullopt};
    if (year > 0 && year != kUnknownYear) {
        if (!year_month_day{std::chrono::year{year}, std::chrono::month{unsigned(month)},
                            std::chrono::day{unsigned(day)}}
                 .ok()) {
            return std::nullopt;
        }
        birthday.year = year;
    }
    return birthday;
}

}  // namespace

bool IsVCardText(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    while (!text.empty() && (text.front() == '\r' || text.front() == '\n' || text.front() == ' '))
        text.remove_prefix(1);
    return Upper(text.substr(0, 11)) == "BEGIN:VCARD";
}

std::vector<Contact> ContactsOf(std::string_view text) {
    std::vector<Contact> contacts;
    std::optional<Birthday> date;
    std::string formatted;
    std::vector<std::string> structured;  // N's parts: family, given…
    int depth = 0;
    for (const std::string& line : UnfoldedLines(text)) {
        const std::optional<Property> property = PropertyOf(line);
        if (!property) continue;
        const std::string value = Upper(property->value);
        if (property->name == "BEGIN" && value == "VCARD") {
            if (++depth == 1) {
                date.reset();
                formatted.clear();
                structured.assign(2, {});
            }
        } else if (property->name == "END" && value == "VCARD" && depth > 0) {
            if (--depth > 0) continue;
            const std::string &family = structured[0], &given = structured[1];
            Contact contact{.name = !formatted.empty() ? formatted
                                    : given.empty()    ? family
                                    : family.empty()   ? given
                                                       : given + " " + family,
                            .givenName = given,
                            .birthday = date};
            if (contact.birthday) contact.birthday->name = contact.name;
            if (!contact.name.empty() || contact.birthday) contacts.push_back(std::move(contact));
        } else if (depth == 1 && property->name == "BDAY") {
            date = DateOf(property->value);
        } else if (depth == 1 && property->name == "FN") {
            formatted = TextValue(*property);
        } else if (depth == 1 && property->name == "N") {
            structured = PartsOfN(*property);
        }
    }
    return contacts;
}

std::vector<Birthday> BirthdaysOf(std::string_view text) {
    std::vector<Birthday> birthdays;
    for (const Contact& contact : ContactsOf(text)) {
        if (contact.birthday) birthdays.push_back(*contact.birthday);
    }
    return birthdays;
}

std::optional<Event> BirthdayIn(const Birthday& birthday, int year, const std::string& agenda) {
    if (birthday.year && year < *birthday.year) return std::nullopt;
    using namespace std::chrono;
    int day = birthday.day;
    if (birthday.month == 2 && day == 29 && !std::chrono::year{year}.is_leap()) day = 28;
    std::string title = "Anniversaire : " + (birthday.name.empty() ? std::string("sans nom") : birthday.name);
    if (birthday.year && year > *birthday.year) {
        const int age = year - *birthday.year;
        title += " (" + std::to_string(age) + (age == 1 ? " an)" : " ans)");
    }
    const LocalTime date{.year = year, .month = birthday.month, .day = day, .hour = 0, .minute = 0};
    return Event{.kind = Event::Kind::Birthday,
                 .start = date,
                 .end = date,
                 .title = std::move(title),
                 .location = std::nullopt,
                 .agenda = agenda,
                 .alarms = nullptr};
}

}  // namespace agendas
