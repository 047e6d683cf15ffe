#include "reminders/wishes.h"

#include <algorithm>
#include <optional>

namespace reminders {

namespace {

// Latin-1's letters from U+00C0 and Latin Extended-A, to U+017F, folded: lower case
// without the accent. An empty fold keeps the character (× and ÷).
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

// The UTF-8 character at `at`, and its length; a byte that begins none is itself.
char32_t CodePoint(std::string_view text, std::size_t at, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (at + length > text.size()) length = 1;
    if (length == 1) return lead;
    char32_t point = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            length = 1;
            return lead;
        }
        point = (point << 6) | (byte(i) & 0x3F);
    }
    return point;
}

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// « A », « A et B », « A, B et C ».
std::string Listed(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += i + 1 == items.size() ? " et " : ", ";
        text += items[i];
    }
    return text;
}

}  // namespace

Person PersonOf(const agendas::Contact& contact) { return {.name = contact.name, .givenName = contact.givenName}; }

std::vector<std::string> NamesOfEntry(std::string_view entry) {
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at <= entry.size()) {
        std::size_t comma = entry.find(',', at);
        if (comma == std::string_view::npos) comma = entry.size();
        if (std::string name = Trimmed(entry.substr(at, comma - at)); !name.empty()) names.push_back(std::move(name));
        at = comma + 1;
    }
    return names;
}

std::string FoldedName(std::string_view name) {
    std::string folded;
    for (std::size_t at = 0, length = 1; at < name.size(); at += length) {
        const char32_t point = CodePoint(name, at, length);
        if (point >= 'A' && point <= 'Z') {
            folded += char(point - 'A' + 'a');
        } else if (point >= 0xC0 && point < 0x180 && kFoldFromC0[point - 0xC0][0] != '\0') {
            folded += kFoldFromC0[point - 0xC0];
        } else if (point == 0x2019) {  // ’
            folded += '\'';
        } else {
            folded += name.substr(at, length);
        }
    }
    return folded;
}

bool WishedOn(std::string_view givenName, std::string_view listName) {
    const std::string wanted = FoldedName(Trimmed(listName));
    const std::string given = FoldedName(Trimmed(givenName));
    if (wanted.empty() || given.empty()) return false;
    if (given == wanted) return true;
    std::size_t at = 0;
    while (at <= given.size()) {
        std::size_t end = given.find_first_of("- ", at);
        if (end == std::string::npos) end = given.size();
        if (given.compare(at, end - at, wanted) == 0 && end - at == wanted.size()) return true;
        at = end + 1;
    }
    return false;
}

std::string NameDayWishes(std::string_view dayEntry, const std::vector<Person>& people) {
    const std::vector<std::string> names = NamesOfEntry(dayEntry);
    std::vector<std::string> wished;
    for (const Person& person : people) {
        const std::string name = Trimmed(person.name);
        const std::string given =
            !person.givenName.empty() ? person.givenName : name.substr(0, name.find_first_of(" \t"));
        const bool wishedToday = std::ranges::any_of(names, [&](const std::string& n) { return WishedOn(given, n); });
        if (wishedToday && std::ranges::find(wished, "à " + name) == wished.end()) wished.push_back("à " + name);
    }
    return wished.empty() ? std::string() : "Bonne fête " + Listed(wished);
}

std::string BirthdayWishes(const std::vector<agendas::Birthday>& contacts, agendas::LocalDate today) {
    std::vector<std::string> wished;
    for (const agendas::Birthday& contact : contacts) {
        if (contact.year && *contact.year >= today.year) continue;
        const std::optional<agendas::Event> day = agendas::BirthdayIn(contact, today.year, {});
        if (!day || day->start.Date() != today) continue;
        const std::string name = contact.name.empty() ? std::string("sans nom") : contact.name;
        // « de » elided before a vowel: « d'Élodie », « d'Yves ».
        std::string text = (FoldedName(name).find_first_of("aeiouy") == 0 ? "d'" : "de ") + name;
        if (contact.year) {
            const int age = today.year - *contact.year;
            text += " (" + std::to_string(age) + (age == 1 ? " an)" : " ans)");
        }
        wished.push_back(std::move(text));
    }
    return wished.empty() ? std::string() : "Anniversaire " + Listed(wished);
}

DayWishes WishesOn(const std::vector<agendas::Contact>& contacts, std::string_view nameDayEntry,
                   agendas::LocalDate today) {
    std::vector<Person> people;
    std::vector<agendas::Birthday> birthdays;
    for (const agendas::Contact& contact : contacts) {
        if (!contact.name.empty()) people.push_back(PersonOf(contact));
        if (contact.birthday) birthdays.push_back(*contact.birthday);
    }
    return {.nameDay = NameDayWishes(nameDayEntry, people), .birthdays = BirthdayWishes(birthdays, today)};
}

calendar::UnixSeconds WishingTime(agendas::LocalDate day) {
    // The wall-clock time read as if it were UTC, less the offset there, then less the
    // offset at that first guess: right whether the clock changed at 02 h 00 or at
    // midnight, when the day itself starts at 01 h 00.
    const calendar::UnixSeconds wall = calendar::UtcMidnightOf(day.year, day.month, day.day) + kWishingHour * 60 * 60;
    const calendar::UnixSeconds guess = wall - calendar::LocalReadingOf(wall).offsetSeconds;
    return wall - calendar::LocalReadingOf(guess).offsetSeconds;
}

}  // namespace reminders
