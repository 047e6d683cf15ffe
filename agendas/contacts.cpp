#include "agendas/contacts.h"

#include <chrono>

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
// (RFC 6350 3.2); CR LF and LF alike.
std::vector<std::string> UnfoldedLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if ((line.starts_with(' ') || line.starts_with('\t')) && !lines.empty()) {
            lines.back() += line.substr(1);
        } else {
            lines.emplace_back(line);
        }
        at = end + 1;
    }
    return lines;
}

struct Property {
    std::string name;        // upper case, without its group ("item1.")
    std::string parameters;  // upper case, as written after the name
    std::string value;
};

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
    return Property{.name = name,
                    .parameters = semicolon == std::string::npos ? "" : head.substr(semicolon),
                    .value = line.substr(colon + 1)};
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

// A text value's escapes (\, \; \\ \n), control characters as blanks.
std::string TextValue(const Property& property) {
    const std::string value = property.parameters.find("QUOTED-PRINTABLE") != std::string::npos
                                  ? QuotedPrintable(property.value)
                                  : property.value;
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
    while (!text.empty() && text.back() == ' ') text.pop_back();
    while (!text.empty() && text.front() == ' ') text.erase(0, 1);
    return text;
}

// N: family;given;additional;prefixes;suffixes — "given family".
std::string NameFromN(const Property& property) {
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
    const auto text = [&](std::size_t index) {
        return index < parts.size() ? TextValue({.name = {}, .parameters = property.parameters, .value = parts[index]})
                                    : std::string();
    };
    const std::string given = text(1), family = text(0);
    return given.empty() ? family : family.empty() ? given : given + " " + family;
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

std::vector<Birthday> BirthdaysOf(std::string_view text) {
    std::vector<Birthday> birthdays;
    std::optional<Birthday> date;
    std::string formatted, structured;
    int depth = 0;
    for (const std::string& line : UnfoldedLines(text)) {
        const std::optional<Property> property = PropertyOf(line);
        if (!property) continue;
        const std::string value = Upper(property->value);
        if (property->name == "BEGIN" && value == "VCARD") {
            if (++depth == 1) {
                date.reset();
                formatted.clear();
                structured.clear();
            }
        } else if (property->name == "END" && value == "VCARD" && depth > 0) {
            if (--depth == 0 && date) {
                date->name = !formatted.empty() ? formatted : structured;
                birthdays.push_back(*date);
            }
        } else if (depth == 1 && property->name == "BDAY") {
            date = DateOf(property->value);
        } else if (depth == 1 && property->name == "FN") {
            formatted = TextValue(*property);
        } else if (depth == 1 && property->name == "N") {
            structured = NameFromN(*property);
        }
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
                 .agenda = agenda};
}

}  // namespace agendas
