#pragma once
// The public holidays of the French-speaking places beyond France, rows of the one
// holiday table (holidays.h), which holidays.cpp alone includes. Each place's days
// have that place's French names and name the text that makes them holidays there.
// A day that only some keep (the banks, some communes, some trades) is no row: the
// comment of its place names it.

#include <array>
#include <string_view>

#include "calendar/holidays.h"

namespace calendar::holiday_rows {

// Belgium: the law of 4 January 1974 on public holidays, whose royal decree of
// 18 April 1974 (article 1) lists ten days. Easter and Whit Sunday, Sundays, are not
// among them (they are celebrations here); Good Friday, the Friday after Ascension
// and 26 December close the banks alone.
inline constexpr std::string_view kBelgianLaw =
    "loi du 4 janvier 1974 relative aux jours fériés ; arrêté royal du "
    "18 avril 1974, article 1er";
// Luxembourg: the labour code, article L.232-2; the law of 2019 that added Europe's
// day on 9 May applies from that year.
inline constexpr std::string_view kLuxembourgCode = "Code du travail, article L.232-2";
// Monaco: law n° 798 of 18 February 1966 on public holidays, amended. New Year, 1 May,
// the Assumption, All Saints, the Prince's day and Christmas that fall on a Sunday
// make the Monday after a public holiday too; the Immaculate Conception falls on
// 9 December instead when 8 December is a Sunday, from 2019. A day made a holiday for
// one year by a law of its own (1 and 2 July 2011, 7 January 2015) is left out.
inline constexpr std::string_view kMonacoLaw =
    "loi n° 798 du 18 février 1966 relative aux jours fériés légaux, "
    "modifiée";
// Switzerland: 1 August is the federal day (Constitution, article 110, paragraph 3);
// each canton makes up to eight other days public holidays, kept as Sundays (federal
// labour law, article 20a).
inline constexpr std::string_view kSwissFederalDay = "Constitution fédérale, article 110, alinéa 3";
// Geneva: law J 1 45 of 3 November 1951, article 1. Its second paragraph, which makes
// the day after a holiday on a Sunday a holiday for the businesses outside federal
// labour law, holds for them alone.
inline constexpr std::string_view kGenevaLaw =
    "loi genevoise sur les jours fériés (J 1 45) du 3 novembre 1951, "
    "article 1";
// Vaud: the law on employment of 5 July 2005, article 47.
inline constexpr std::string_view kVaudLaw = "loi vaudoise sur l'emploi (LEmp) du 5 juillet 2005, article 47";
// Neuchâtel: the law on Sunday and public holidays of 30 September 1991 (RSN 941.02),
// article 3, whose days are rest days kept as Sundays. 2 January and 26 December are
// holidays only when 1 January and 25 December fall on a Sunday. The government may
// add one day a year in a commune (paragraph 2): Corpus Christi is kept by two
// communes alone (Le Landeron, Le Cerneux-Péquignot); Easter Monday, Whit Monday and
// the Monday of the Fast are days off by custom and agreements, not by law.
inline constexpr std::string_view kNeuchatelLaw =
    "loi neuchâteloise sur le dimanche et les jours fériés (RSN 941.02) "
    "du 30 septembre 1991, article 3";
// Jura: the law on official public holidays and Sunday rest of 31 August 2022,
// article 3 (before it, the law of 26 October 1978), which lists Easter and Whit
// Sunday among them.
inline constexpr std::string_view kJuraLaw =
    "loi jurassienne sur les jours fériés officiels et le repos dominical "
    "du 31 août 2022, article 3";
// Fribourg: the law on employment and the labour market of 6 October 2010
// (RSF 866.1.1), article 49, and the days it keeps in the whole canton. Its Catholic
// part adds Corpus Christi, the Assumption, All Saints and the Immaculate
// Conception; its Reformed communes (around Morat and Kerzers) 2 January, Easter
// Monday, Whit Monday and 26 December: each holds for those communes alone.
inline constexpr std::string_view kFribourgLaw =
    "loi fribourgeoise sur l'emploi et le marché du travail (LEMT, RSF 866.1.1) "
    "du 6 octobre 2010, article 49";
// Valais: the days its law makes Sundays; Easter Monday, Whit Monday and 26 December
// are days off by agreement only.
inline constexpr std::string_view kValaisLaw =
    "droit valaisan des jours fériés assimilés au dimanche "
    "(loi fédérale sur le travail, article 20a)";
// Québec: the labour standards act, article 60. Good Friday or Easter Monday is the
// day off, as the employer chooses: Good Friday is the row, the one the act names
// first. Canada Day moves to 2 July when 1 July is a Sunday. The national day is the
// law on the national holiday's: 25 June is a day off too when 24 June is a Sunday.
// 1 January and 25 December stay on their day, whatever day of the week. The act
// names the Monday before 25 May by its date alone; the government's decree
// 1322-2002 of 20 November 2002 made it the Journée nationale des patriotes from
// 2003, and before it the day off was known as the Fête de Dollard.
inline constexpr std::string_view kQuebecLabourAct = "Loi sur les normes du travail (RLRQ, c. N-1.1), article 60";
inline constexpr std::string_view kQuebecNationalDayAct = "Loi sur la fête nationale (RLRQ, c. F-1.1)";

// clang-format off
inline constexpr auto kAbroadRows = std::to_array<HolidayRow>({
    {.region = Region::Belgium, .name = "Nouvel An", .key = "nouvel-an", .rule = FixedDate(1, 1), .source = kBelgianLaw},
    {.region = Region::Belgium, .name = "Lundi de Pâques", .key = "lundi-de-paques", .rule = FromEaster(1),
     .source = kBelgianLaw},
    {.region = Region::Belgium, .name = "Fête du Travail", .key = "fete-du-travail", .rule = FixedDate(5, 1),
     .source = kBelgianLaw},
    {.region = Region::Belgium, .name = "Ascension", .key = "ascension", .rule = FromEaster(39), .source = kBelgianLaw},
    {.region = Region::Belgium, .name = "Lundi de Pentecôte", .key = "lundi-de-pentecote", .rule = FromEaster(50),
     .source = kBelgianLaw},
    {.region = Region::Belgium, .name = "Fête nationale", .key = "fete-nationale", .rule = FixedDate(7, 21),
     .source = kBelgianLaw},
    {.region = Region::Belgium, .name = "Assomption", .key = "assomption", .rule = FixedDate(8, 15),
     .source = kBelgianLaw},
    {.region = Region::Belgium, .name = "Toussaint", .key = "toussaint", .rule = FixedDate(11, 1), .source = kBelgianLaw},
    {.region = Region::Belgium, .name = "Armistice", .key = "armistice", .rule = FixedDate(11, 11),
     .source = kBelgianLaw},
    {.region = Region::Belgium, .name = "Noël", .key = "noel", .rule = FixedDate(12, 25), .source = kBelgianLaw},

    {.region = Region::Luxembourg, .name = "Jour de l'an", .key = "jour-de-l-an", .rule = FixedDate(1, 1),
     .source = kLuxembourgCode},
    {.region = Region::Luxembourg, .name = "Lundi de Pâques", .key = "lundi-de-paques", .rule = FromEaster(1),
     .source = kLuxembourgCode},
    {.region = Region::Luxembourg, .name = "Fête du Travail", .key = "fete-du-travail", .rule = FixedDate(5, 1),
     .source = kLuxembourgCode},
    {.region = Region::Luxembourg, .name = "Journée de l'Europe", .key = "journee-de-l-europe", .rule = FixedDate(5, 9),
     .since = 2019, .source = kLuxembourgCode},
    {.region = Region::Luxembourg, .name = "Ascension", .key = "ascension", .rule = FromEaster(39),
     .source = kLuxembourgCode},
    {.region = Region::Luxembourg, .name = "Lundi de Pentecôte", .key = "lundi-de-pentecote", .rule = FromEaster(50),
     .source = kLuxembourgCode},
    // The public celebration of the Grand Duke's birthday.
    {.region = Region::Luxembourg, .name = "Fête nationale", .key = "fete-nationale", .rule = FixedDate(6, 23),
     .source = kLuxembourgCode},
    {.region = Region::Luxembourg, .name = "Assomption", .key = "assomption", .rule = FixedDate(8, 15),
     .source = kLuxembourgCode},
    {.region = Region::Luxembourg, .name = "Toussaint", .key = "toussaint", .rule = FixedDate(11, 1),
     .source = kLuxembourgCode},
    {.region = Region::Luxembourg, .name = "Noël", .key = "noel", .rule = FixedDate(12, 25), .source = kLuxembourgCode},
    {.region = Region::Luxembourg, .name = "Deuxième jour de Noël", .key = "deuxieme-jour-de-noel",
     .rule = FixedDate(12, 26), .source = kLuxembourgCode},

    {.region = Region::Monaco, .name = "Jour de l'An", .key = "jour-de-l-an", .rule = FixedDate(1, 1),
     .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Lendemain du Jour de l'An", .key = "lendemain-jour-de-l-an",
     .rule = MondayAfterSunday(FixedDate(1, 1)), .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Sainte Dévote", .key = "sainte-devote", .rule = FixedDate(1, 27),
     .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Lundi de Pâques", .key = "lundi-de-paques", .rule = FromEaster(1),
     .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Fête du Travail", .key = "fete-du-travail", .rule = FixedDate(5, 1),
     .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Lendemain de la Fête du Travail", .key = "lendemain-fete-du-travail",
     .rule = MondayAfterSunday(FixedDate(5, 1)), .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Ascension", .key = "ascension", .rule = FromEaster(39), .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Lundi de Pentecôte", .key = "lundi-de-pentecote", .rule = FromEaster(50),
     .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Fête-Dieu", .key = "fete-dieu", .rule = FromEaster(60), .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Assomption", .key = "assomption", .rule = FixedDate(8, 15),
     .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Lendemain de l'Assomption", .key = "lendemain-assomption",
     .rule = MondayAfterSunday(FixedDate(8, 15)), .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Toussaint", .key = "toussaint", .rule = FixedDate(11, 1), .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Lendemain de la Toussaint", .key = "lendemain-toussaint",
     .rule = MondayAfterSunday(FixedDate(11, 1)), .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Fête du Prince", .key = "fete-du-prince", .rule = FixedDate(11, 19),
     .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Lendemain de la Fête du Prince", .key = "lendemain-fete-du-prince",
     .rule = MondayAfterSunday(FixedDate(11, 19)), .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Immaculée Conception", .key = "immaculee-conception", .rule = FixedDate(12, 8),
     .until = 2018, .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Immaculée Conception", .key = "immaculee-conception",
     .rule = MovedOffSunday(FixedDate(12, 8)), .since = 2019, .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Noël", .key = "noel", .rule = FixedDate(12, 25), .source = kMonacoLaw},
    {.region = Region::Monaco, .name = "Lendemain de Noël", .key = "lendemain-noel",
     .rule = MondayAfterSunday(FixedDate(12, 25)), .source = kMonacoLaw},

    {.region = Region::Switzerland, .name = "Fête nationale", .key = "fete-nationale", .rule = FixedDate(8, 1),
     .source = kSwissFederalDay},

    {.region = Region::Geneva, .name = "Nouvel An", .key = "nouvel-an", .rule = FixedDate(1, 1), .source = kGenevaLaw},
    {.region = Region::Geneva, .name = "Vendredi saint", .key = "vendredi-saint", .rule = FromEaster(-2),
     .source = kGenevaLaw},
    {.region = Region::Geneva, .name = "Lundi de Pâques", .key = "lundi-de-paques", .rule = FromEaster(1),
     .source = kGenevaLaw},
    {.region = Region::Geneva, .name = "Ascension", .key = "ascension", .rule = FromEaster(39), .source = kGenevaLaw},
    {.region = Region::Geneva, .name = "Lundi de Pentecôte", .key = "lundi-de-pentecote", .rule = FromEaster(50),
     .source = kGenevaLaw},
    // The Thursday after the first Sunday of September.
    {.region = Region::Geneva, .name = "Jeûne genevois", .key = "jeune-genevois",
     .rule = DaysLater(4, NthWeekday(1, Weekday::Sunday, 9)), .source = kGenevaLaw},
    {.region = Region::Geneva, .name = "Noël", .key = "noel", .rule = FixedDate(12, 25), .source = kGenevaLaw},
    {.region = Region::Geneva, .name = "Restauration de la République", .key = "restauration-de-la-republique",
     .rule = FixedDate(12, 31), .source = kGenevaLaw},

    {.region = Region::Vaud, .name = "Nouvel An", .key = "nouvel-an", .rule = FixedDate(1, 1), .source = kVaudLaw},
    {.region = Region::Vaud, .name = "Saint-Berthold", .key = "saint-berthold", .rule = FixedDate(1, 2),
     .source = kVaudLaw},
    {.region = Region::Vaud, .name = "Vendredi saint", .key = "vendredi-saint", .rule = FromEaster(-2),
     .source = kVaudLaw},
    {.region = Region::Vaud, .name = "Lundi de Pâques", .key = "lundi-de-paques", .rule = FromEaster(1),
     .source = kVaudLaw},
    {.region = Region::Vaud, .name = "Ascension", .key = "ascension", .rule = FromEaster(39), .source = kVaudLaw},
    {.region = Region::Vaud, .name = "Lundi de Pentecôte", .key = "lundi-de-pentecote", .rule = FromEaster(50),
     .source = kVaudLaw},
    // The Monday after the third Sunday of September, the federal Fast.
    {.region = Region::Vaud, .name = "Lundi du Jeûne fédéral", .key = "lundi-du-jeune-federal",
     .rule = DaysLater(1, NthWeekday(3, Weekday::Sunday, 9)), .source = kVaudLaw},
    {.region = Region::Vaud, .name = "Noël", .key = "noel", .rule = FixedDate(12, 25), .source = kVaudLaw},

    {.region = Region::Neuchatel, .name = "Nouvel An", .key = "nouvel-an", .rule = FixedDate(1, 1),
     .source = kNeuchatelLaw},
    {.region = Region::Neuchatel, .name = "Lendemain du Nouvel An", .key = "lendemain-nouvel-an",
     .rule = MondayAfterSunday(FixedDate(1, 1)), .source = kNeuchatelLaw},
    {.region = Region::Neuchatel, .name = "Instauration de la République", .key = "instauration-de-la-republique",
     .rule = FixedDate(3, 1), .source = kNeuchatelLaw},
    {.region = Region::Neuchatel, .name = "Vendredi saint", .key = "vendredi-saint", .rule = FromEaster(-2),
     .source = kNeuchatelLaw},
    {.region = Region::Neuchatel, .name = "Fête du Travail", .key = "fete-du-travail", .rule = FixedDate(5, 1),
     .source = kNeuchatelLaw},
    {.region = Region::Neuchatel, .name = "Ascension", .key = "ascension", .rule = FromEaster(39),
     .source = kNeuchatelLaw},
    {.region = Region::Neuchatel, .name = "Noël", .key = "noel", .rule = FixedDate(12, 25), .source = kNeuchatelLaw},
    {.region = Region::Neuchatel, .name = "Lendemain de Noël", .key = "lendemain-noel",
     .rule = MondayAfterSunday(FixedDate(12, 25)), .source = kNeuchatelLaw},

    {.region = Region::Jura, .name = "Nouvel An", .key = "nouvel-an", .rule = FixedDate(1, 1), .source = kJuraLaw},
    {.region = Region::Jura, .name = "Saint-Berthold", .key = "saint-berthold", .rule = FixedDate(1, 2),
     .source = kJuraLaw},
    {.region = Region::Jura, .name = "Vendredi saint", .key = "vendredi-saint", .rule = FromEaster(-2),
     .source = kJuraLaw},
    {.region = Region::Jura, .name = "Pâques", .key = "paques", .rule = FromEaster(0), .source = kJuraLaw},
    {.region = Region::Jura, .name = "Lundi de Pâques", .key = "lundi-de-paques", .rule = FromEaster(1),
     .source = kJuraLaw},
    {.region = Region::Jura, .name = "Fête du Travail", .key = "fete-du-travail", .rule = FixedDate(5, 1),
     .source = kJuraLaw},
    {.region = Region::Jura, .name = "Ascension", .key = "ascension", .rule = FromEaster(39), .source = kJuraLaw},
    {.region = Region::Jura, .name = "Pentecôte", .key = "pentecote", .rule = FromEaster(49), .source = kJuraLaw},
    {.region = Region::Jura, .name = "Lundi de Pentecôte", .key = "lundi-de-pentecote", .rule = FromEaster(50),
     .source = kJuraLaw},
    {.region = Region::Jura, .name = "Fête-Dieu", .key = "fete-dieu", .rule = FromEaster(60), .source = kJuraLaw},
    // The plebiscite of 23 June 1974, which founded the canton.
    {.region = Region::Jura, .name = "Commémoration du plébiscite", .key = "commemoration-du-plebiscite",
     .rule = FixedDate(6, 23), .source = kJuraLaw},
    {.region = Region::Jura, .name = "Assomption", .key = "assomption", .rule = FixedDate(8, 15), .source = kJuraLaw},
    {.region = Region::Jura, .name = "Toussaint", .key = "toussaint", .rule = FixedDate(11, 1), .source = kJuraLaw},
    {.region = Region::Jura, .name = "Noël", .key = "noel", .rule = FixedDate(12, 25), .source = kJuraLaw},

    {.region = Region::Fribourg, .name = "Nouvel An", .key = "nouvel-an", .rule = FixedDate(1, 1),
     .source = kFribourgLaw},
    {.region = Region::Fribourg, .name = "Vendredi saint", .key = "vendredi-saint", .rule = FromEaster(-2),
     .source = kFribourgLaw},
    {.region = Region::Fribourg, .name = "Ascension", .key = "ascension", .rule = FromEaster(39),
     .source = kFribourgLaw},
    {.region = Region::Fribourg, .name = "Noël", .key = "noel", .rule = FixedDate(12, 25), .source = kFribourgLaw},

    {.region = Region::Valais, .name = "Nouvel An", .key = "nouvel-an", .rule = FixedDate(1, 1), .source = kValaisLaw},
    {.region = Region::Valais, .name = "Saint-Joseph", .key = "saint-joseph", .rule = FixedDate(3, 19),
     .source = kValaisLaw},
    {.region = Region::Valais, .name = "Ascension", .key = "ascension", .rule = FromEaster(39), .source = kValaisLaw},
    {.region = Region::Valais, .name = "Fête-Dieu", .key = "fete-dieu", .rule = FromEaster(60), .source = kValaisLaw},
    {.region = Region::Valais, .name = "Assomption", .key = "assomption", .rule = FixedDate(8, 15),
     .source = kValaisLaw},
    {.region = Region::Valais, .name = "Toussaint", .key = "toussaint", .rule = FixedDate(11, 1), .source = kValaisLaw},
    {.region = Region::Valais, .name = "Immaculée Conception", .key = "immaculee-conception", .rule = FixedDate(12, 8),
     .source = kValaisLaw},
    {.region = Region::Valais, .name = "Noël", .key = "noel", .rule = FixedDate(12, 25), .source = kValaisLaw},

    {.region = Region::Quebec, .name = "Jour de l'An", .key = "jour-de-l-an", .rule = FixedDate(1, 1),
     .source = kQuebecLabourAct},
    {.region = Region::Quebec, .name = "Vendredi saint", .key = "vendredi-saint", .rule = FromEaster(-2),
     .source = kQuebecLabourAct},
    // The Monday before 25 May: the Fête de Dollard until 2002, the Patriotes' from 2003.
    {.region = Region::Quebec, .name = "Fête de Dollard", .key = "fete-de-dollard",
     .rule = WeekdayBefore(Weekday::Monday, 5, 25), .until = 2002, .source = kQuebecLabourAct},
    {.region = Region::Quebec, .name = "Journée nationale des patriotes", .key = "journee-nationale-des-patriotes",
     .rule = WeekdayBefore(Weekday::Monday, 5, 25), .since = 2003, .source = kQuebecLabourAct},
    {.region = Region::Quebec, .name = "Fête nationale du Québec", .key = "fete-nationale", .rule = FixedDate(6, 24),
     .source = kQuebecNationalDayAct},
    {.region = Region::Quebec, .name = "Lendemain de la Fête nationale", .key = "lendemain-fete-nationale",
     .rule = MondayAfterSunday(FixedDate(6, 24)), .source = kQuebecNationalDayAct},
    {.region = Region::Quebec, .name = "Fête du Canada", .key = "fete-du-canada",
     .rule = MovedOffSunday(FixedDate(7, 1)), .source = kQuebecLabourAct},
    {.region = Region::Quebec, .name = "Fête du Travail", .key = "fete-du-travail",
     .rule = NthWeekday(1, Weekday::Monday, 9), .source = kQuebecLabourAct},
    {.region = Region::Quebec, .name = "Action de grâce", .key = "action-de-grace",
     .rule = NthWeekday(2, Weekday::Monday, 10), .source = kQuebecLabourAct},
    {.region = Region::Quebec, .name = "Noël", .key = "noel", .rule = FixedDate(12, 25), .source = kQuebecLabourAct},
});
// clang-format on

}  // namespace calendar::holiday_rows
