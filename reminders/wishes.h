#pragma once
// The day's wishes to the user's contacts: « Bonne fête à Camille Martin et à
// Camille Durand » for those whose given name is one of the day's name-day names,
// « Anniversaire de Léa Martin (34 ans) » for those born that day.

#include <string>
#include <string_view>
#include <vector>

#include "agendas/contacts.h"
#include "agendas/event.h"
#include "calendar/local_zone.h"

namespace reminders {

struct Person {
    std::string name;       // as shown: « Camille Martin »
    std::string givenName;  // « Camille »; empty: the first word of the name
};

// The person of a contact's card: its N's given name, otherwise the first word of its
// name.
Person PersonOf(const agendas::Contact& contact);

// The names of one entry of the name-day list: "Rémi, Remy" gives « Rémi » and
// « Remy », "Jean de Dieu" itself.
std::vector<std::string> NamesOfEntry(std::string_view entry);

// A name as names are compared: lower case, without accents (« Élodie » is
// « elodie », « Œ » « oe »), the typographic apostrophe a straight one. Letters
// beyond the Latin ones of Western Europe are kept as they are.
std::string FoldedName(std::string_view name);

// Whether the given name is wished on the list's name: the whole given name or, for a
// compound one, any of its parts (Jean-Pierre on « Jean », on « Pierre » and on
// « Jean-Pierre »), compared folded. A list name is matched whole: « Jean de Dieu »
// is no Jean's.
bool WishedOn(std::string_view givenName, std::string_view listName);

// « Bonne fête à A », « … à A et à B », « … à A, à B et à C » for the people wished
// on a name of the day's entry, each name once, in the order of `people`; empty
// when no one is.
std::string NameDayWishes(std::string_view dayEntry, const std::vector<Person>& people);

// « Anniversaire de Léa Martin (34 ans) », « … (1 an) », without the age when the
// year of birth is unknown, « d'Élodie » before a vowel, « … et de Paul Durand » for
// several, for the contacts
// born on `today`'s day (29 February on the 28th in a common year); empty when none.
std::string BirthdayWishes(const std::vector<agendas::Birthday>& contacts, agendas::LocalDate today);

// Both sentences of `today` for the contacts, its name-day entry being `nameDayEntry`;
// each empty when no one is wished.
struct DayWishes {
    std::string nameDay, birthdays;
};
DayWishes WishesOn(const std::vector<agendas::Contact>& contacts, std::string_view nameDayEntry,
                   agendas::LocalDate today);

// The day's wishes are shown once, at this hour on the local clock or at the first
// look after it.
inline constexpr int kWishingHour = 9;
// The instant the local clock reads kWishingHour on `day`, in the process's zone, also
// on a day whose clock changed before that hour.
calendar::UnixSeconds WishingTime(agendas::LocalDate day);

}  // namespace reminders
