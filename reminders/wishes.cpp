#include "reminders/wishes.h"

#include <algorithm>
#include <optional>

#include "calendar/utf8_text.h"

namespace reminders {

namespace {

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
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t from = at;
        const char32_t point = calendar::NextCodePoint(name, at);
        const char* letter = calendar::FoldedLatinLetter(point);
        if (point >= 'A' && point <= 'Z') {
            folded += char(point - 'A' + 'a');
        } else if (letter != nullptr && *letter != '\0') {
            folded += letter;
        } else if (point == 0x2019) {  // ’
            folded += '\'';
        } else {
            folded += name.substr(from, at - from);
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
