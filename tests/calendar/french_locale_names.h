#pragma once
// The names that a French (France) system gives, for the tests that format dates.

#include "calendar/format_date.h"

namespace calendar::test {

inline LocaleNames FrenchLocaleNames() {
    return LocaleNames{
        {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"},
        {"janvier", "février", "mars", "avril", "mai", "juin", "juillet", "août", "septembre", "octobre", "novembre",
         "décembre"},
        {"janv.", "févr.", "mars", "avr.", "mai", "juin", "juil.", "août", "sept.", "oct.", "nov.", "déc."},
        ":",
    };
}

}  // namespace calendar::test
