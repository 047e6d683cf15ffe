#pragma once
// The celebrations: days people mark that are no day off, rows of the one holiday
// table (holidays.h) with `.celebration` set, which holidays.cpp alone includes. The
// feasts of the Christian year that every place marks belong to the group
// Everywhere, which the nation and the other countries inherit; the rest are each
// country's own.

#include <array>
#include <string_view>

#include "calendar/holidays.h"

namespace calendar::holiday_rows {

inline constexpr std::string_view kRomanCalendar =
    "calendrier romain général (normes universelles de l'année "
    "liturgique, 1969)";
// Where the Epiphany is no day of obligation, it is kept on the Sunday between 2 and
// 8 January, the last Sunday before 9 January.
inline constexpr std::string_view kEpiphanySunday =
    "normes universelles de l'année liturgique, n° 7 : le dimanche "
    "entre le 2 et le 8 janvier";
inline constexpr std::string_view kMothersDayCustom = "usage : le deuxième dimanche de mai";
inline constexpr std::string_view kFrenchMothersDay =
    "loi n° 50-577 du 24 mai 1950 relative à la fête des mères : le "
    "dernier dimanche de mai, le premier de juin si c'est la "
    "Pentecôte";
inline constexpr std::string_view kFederalFast =
    "arrêté de la Diète fédérale du 1er août 1832 : le troisième dimanche "
    "de septembre";
inline constexpr HolidayRule kEpiphanyRule = WeekdayBefore(Weekday::Sunday, 1, 9);
// France's rule: the last Sunday of May, the first of June when it is Whit Sunday.
inline constexpr HolidayRule kFrenchMothersDayRule = AWeekLaterOnEaster(49, LastWeekday(Weekday::Sunday, 5));

// clang-format off
inline constexpr auto kCelebrationRows = std::to_array<HolidayRow>({
    // Every place: the Presentation, Shrove Tuesday and Ash Wednesday before Lent,
    // Palm Sunday, Easter and Whit Sunday (those two only where they are no holiday).
    {.region = Region::Everywhere, .name = "Chandeleur", .key = "chandeleur", .rule = FixedDate(2, 2),
     .source = kRomanCalendar, .celebration = true},
    {.region = Region::Everywhere, .name = "Mardi gras", .key = "mardi-gras", .rule = FromEaster(-47),
     .source = kRomanCalendar, .celebration = true},
    {.region = Region::Everywhere, .name = "Mercredi des Cendres", .key = "mercredi-des-cendres",
     .rule = FromEaster(-46), .source = kRomanCalendar, .celebration = true},
    {.region = Region::Everywhere, .name = "Rameaux", .key = "rameaux", .rule = FromEaster(-7),
     .source = kRomanCalendar, .celebration = true},
    {.region = Region::Everywhere, .name = "Pâques", .key = "paques", .rule = FromEaster(0), .source = kRomanCalendar,
     .celebration = true},
    {.region = Region::Everywhere, .name = "Pentecôte", .key = "pentecote", .rule = FromEaster(49),
     .source = kRomanCalendar, .celebration = true},

    {.region = Region::National, .name = "Épiphanie", .key = "epiphanie", .rule = kEpiphanyRule,
     .source = kEpiphanySunday, .celebration = true},
    // A grandmothers' day started by a coffee maker in 1987, on the first Sunday of March.
    {.region = Region::National, .name = "Fête des grands-mères", .key = "fete-des-grands-meres",
     .rule = NthWeekday(1, Weekday::Sunday, 3), .since = 1987, .source = "usage, depuis 1987 : le premier dimanche de mars",
     .celebration = true},
    {.region = Region::National, .name = "Fête des mères", .key = "fete-des-meres", .rule = kFrenchMothersDayRule,
     .since = 1950, .source = kFrenchMothersDay, .celebration = true},
    {.region = Region::National, .name = "Fête des pères", .key = "fete-des-peres",
     .rule = NthWeekday(3, Weekday::Sunday, 6), .since = 1952,
     .source = "usage, depuis 1952 : le troisième dimanche de juin", .celebration = true},

    {.region = Region::Belgium, .name = "Épiphanie", .key = "epiphanie", .rule = kEpiphanyRule,
     .source = kEpiphanySunday, .celebration = true},
    // Antwerp keeps its mothers' day on 15 August.
    {.region = Region::Belgium, .name = "Fête des mères", .key = "fete-des-meres",
     .rule = NthWeekday(2, Weekday::Sunday, 5), .source = kMothersDayCustom, .celebration = true},
    {.region = Region::Belgium, .name = "Fête des pères", .key = "fete-des-peres",
     .rule = NthWeekday(2, Weekday::Sunday, 6), .source = "usage : le deuxième dimanche de juin", .celebration = true},
    {.region = Region::Belgium, .name = "Fête du Roi", .key = "fete-du-roi", .rule = FixedDate(11, 15),
     .source = "fête de la dynastie, le 15 novembre", .celebration = true},
    {.region = Region::Belgium, .name = "Saint-Nicolas", .key = "saint-nicolas", .rule = FixedDate(12, 6),
     .source = kRomanCalendar, .celebration = true},

    {.region = Region::Luxembourg, .name = "Épiphanie", .key = "epiphanie", .rule = kEpiphanyRule,
     .source = kEpiphanySunday, .celebration = true},
    {.region = Region::Luxembourg, .name = "Fête des mères", .key = "fete-des-meres",
     .rule = NthWeekday(2, Weekday::Sunday, 5), .source = kMothersDayCustom, .celebration = true},
    {.region = Region::Luxembourg, .name = "Fête des pères", .key = "fete-des-peres",
     .rule = NthWeekday(1, Weekday::Sunday, 10), .source = "usage : le premier dimanche d'octobre",
     .celebration = true},
    {.region = Region::Luxembourg, .name = "Saint-Nicolas", .key = "saint-nicolas", .rule = FixedDate(12, 6),
     .source = kRomanCalendar, .celebration = true},

    // Monaco keeps France's mothers' and fathers' days.
    {.region = Region::Monaco, .name = "Épiphanie", .key = "epiphanie", .rule = kEpiphanyRule,
     .source = kEpiphanySunday, .celebration = true},
    {.region = Region::Monaco, .name = "Fête des mères", .key = "fete-des-meres", .rule = kFrenchMothersDayRule,
     .source = "usage, comme en France : le dernier dimanche de mai, le premier de juin si c'est la Pentecôte",
     .celebration = true},
    {.region = Region::Monaco, .name = "Fête des pères", .key = "fete-des-peres",
     .rule = NthWeekday(3, Weekday::Sunday, 6), .source = "usage : le troisième dimanche de juin", .celebration = true},

    // Switzerland keeps the Epiphany, the day of the kings' cake, on 6 January.
    {.region = Region::Switzerland, .name = "Épiphanie", .key = "epiphanie", .rule = FixedDate(1, 6),
     .source = kRomanCalendar, .celebration = true},
    {.region = Region::Switzerland, .name = "Fête des mères", .key = "fete-des-meres",
     .rule = NthWeekday(2, Weekday::Sunday, 5), .source = kMothersDayCustom, .celebration = true},
    {.region = Region::Switzerland, .name = "Fête des pères", .key = "fete-des-peres",
     .rule = NthWeekday(1, Weekday::Sunday, 6), .source = "usage : le premier dimanche de juin", .celebration = true},
    // The federal Fast: every canton but Geneva, which keeps its own, a holiday.
    {.region = Region::Vaud, .name = "Jeûne fédéral", .key = "jeune-federal", .rule = NthWeekday(3, Weekday::Sunday, 9),
     .since = 1832, .source = kFederalFast, .celebration = true},
    {.region = Region::Neuchatel, .name = "Jeûne fédéral", .key = "jeune-federal",
     .rule = NthWeekday(3, Weekday::Sunday, 9), .since = 1832, .source = kFederalFast, .celebration = true},
    {.region = Region::Jura, .name = "Jeûne fédéral", .key = "jeune-federal", .rule = NthWeekday(3, Weekday::Sunday, 9),
     .since = 1832, .source = kFederalFast, .celebration = true},
    {.region = Region::Fribourg, .name = "Jeûne fédéral", .key = "jeune-federal",
     .rule = NthWeekday(3, Weekday::Sunday, 9), .since = 1832, .source = kFederalFast, .celebration = true},
    {.region = Region::Valais, .name = "Jeûne fédéral", .key = "jeune-federal",
     .rule = NthWeekday(3, Weekday::Sunday, 9), .since = 1832, .source = kFederalFast, .celebration = true},

    {.region = Region::Quebec, .name = "Épiphanie", .key = "epiphanie", .rule = kEpiphanyRule,
     .source = kEpiphanySunday, .celebration = true},
    {.region = Region::Quebec, .name = "Fête des mères", .key = "fete-des-meres",
     .rule = NthWeekday(2, Weekday::Sunday, 5), .source = kMothersDayCustom, .celebration = true},
    {.region = Region::Quebec, .name = "Fête des pères", .key = "fete-des-peres",
     .rule = NthWeekday(3, Weekday::Sunday, 6), .source = "usage : le troisième dimanche de juin", .celebration = true},
});
// clang-format on

}  // namespace calendar::holiday_rows
