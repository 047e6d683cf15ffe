#pragma once
// Birthdays from contacts in vCard form (RFC 6350, and the 2.1 and 3.0 forms that
// address books still write), as khard and vdirsyncer keep them: one card per
// file, or many in one. vCard is not iCalendar and libical does not read it; this
// small reader takes the three properties a birthday and a name day need, BDAY, FN
// and N, after unfolding the lines (folded, or cut by quoted-printable soft line
// breaks), and nothing else. Names come out in UTF-8 whatever the card's CHARSET (through glibc's
// iconv); bytes of no charset said or known are kept when they are UTF-8, read as
// Windows-1252 otherwise, as the phones that write Latin-1 without saying so mean them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "agendas/event.h"

namespace agendas {

struct Birthday {
    std::string name;         // FN, otherwise N's given and family names
    int month = 0, day = 0;   // 1..12, 1..31 (29 February included)
    std::optional<int> year;  // none when the card does not say it
    bool operator==(const Birthday&) const = default;
};

// A card: whom to wish a name day, and a birthday when it says one.
struct Contact {
    std::string name;                  // as Birthday::name
    std::string givenName;             // N's given name; empty when N gives none
    std::optional<Birthday> birthday;  // its BDAY, with `name`
    bool operator==(const Contact&) const = default;
};

// Every card of the text that has a name (FN or N), with its birthday when its BDAY
// is valid as BirthdaysOf reads it.
std::vector<Contact> ContactsOf(std::string_view text);

// The birthdays of every card of the text (BEGIN:VCARD … END:VCARD) that has a valid
// BDAY: 1990-05-08, 19900508, a date and time (its date), --0508 and --05-08
// without the year; the year 1604 that some address books write for an unknown year
// counts as none.
std::vector<Birthday> BirthdaysOf(std::string_view text);

// Whether the text is vCard: its first line that is not blank begins a card.
bool IsVCardText(std::string_view text);

// The birthday's event in `year`, on its day, a 29 February on the 28th in a common
// year: « Anniversaire : Léa (34 ans) », without the age when the year of birth is
// unknown, and none before the year of birth.
std::optional<Event> BirthdayIn(const Birthday& birthday, int year, const std::string& agenda);

}  // namespace agendas
