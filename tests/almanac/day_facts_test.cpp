// A day's facts as the terminal and the calendar's tooltips write them: every line
// of --texte, the one line of --json and the tooltip, whole, for days that show each
// form of each fact.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "almanac/day_facts.h"
#include "terminal/day_json.h"

namespace almanac {
namespace {

// "Nom1" for 1 January … "Nom366" for 31 December, as a list in the order of a leap
// year; 5 January holds the characters JSON must escape, and 10 January is empty.
std::vector<std::string> TestNameDays() {
    std::vector<std::string> names;
    for (int position = 1; position <= 366; ++position) names.push_back("Nom" + std::to_string(position));
    names[4] =
        "A\"B\\C\tD\x01"
        "E";
    names[9] = "";
    return names;
}

struct FactsRow {
    const char* name;
    int year, month, day;
    const char* text;     // --texte
    const char* json;     // --json, without its line end
    const char* tooltip;  // the calendar's tooltip
    calendar::Region region = calendar::Region::National;
    const char* place = nullptr;  // where the sun and the seasons are reckoned, as typed; none without
};

// The moon's ages are the moon picture's (moon_test), the holidays the panel's.
const FactsRow kFactsRows[] = {
    {"the first of the year is the 1er, its 1er jour, and a holiday", 2024, 1, 1,
     "lundi 1er janvier 2024\n1er jour de l'année, semaine 1\nFête à souhaiter : Nom1\nJour férié : Jour de l'an\n"
     "Lune : 19 jours\nL'année 2024 est bissextile.\n",
     R"({"date":"2024-01-01","jour_de_l_annee":1,"semaine":1,"fete":"Nom1","ferie":"Jour de l'an","celebrations":[],"changement_d_heure":null,"phase":null,"lune":19,"soleil":null,"saison":null,"lieu":null,)"
     R"("bissextile":true,"texte":"lundi 1er janvier 2024","evenements":[]})",
     "lundi 1er janvier 2024\nFête à souhaiter : Nom1\nJour de l'an\nLune : 19 jours"},
    {"an ordinary day is the 2e, with no holiday line and null in JSON", 2024, 1, 2,
     "mardi 2 janvier 2024\n2e jour de l'année, semaine 1\nFête à souhaiter : Nom2\nLune : 20 jours\n"
     "L'année 2024 est bissextile.\n",
     R"({"date":"2024-01-02","jour_de_l_annee":2,"semaine":1,"fete":"Nom2","ferie":null,"celebrations":[],"changement_d_heure":null,"phase":null,"lune":20,"soleil":null,"saison":null,"lieu":null,)"
     R"("bissextile":true,"texte":"mardi 2 janvier 2024","evenements":[]})",
     "mardi 2 janvier 2024\nFête à souhaiter : Nom2\nLune : 20 jours"},
    {"an empty name day has no line, and null in JSON", 2024, 1, 10,
     "mercredi 10 janvier 2024\n10e jour de l'année, semaine 2\nLune : 28 jours\nL'année 2024 est bissextile.\n",
     R"({"date":"2024-01-10","jour_de_l_annee":10,"semaine":2,"fete":null,"ferie":null,"celebrations":[],"changement_d_heure":null,"phase":null,"lune":28,"soleil":null,"saison":null,"lieu":null,)"
     R"("bissextile":true,"texte":"mercredi 10 janvier 2024","evenements":[]})",
     "mercredi 10 janvier 2024\nLune : 28 jours"},
    {"JSON escapes the quote, the backslash, a tab and a control character of the list", 2024, 1, 5, nullptr,
     R"({"date":"2024-01-05","jour_de_l_annee":5,"semaine":1,"fete":"A\"B\\C\u0009D\u0001E","ferie":null,)"
     R"("celebrations":[],"changement_d_heure":null,"phase":null,"lune":23,"soleil":null,"saison":null,"lieu":null,"bissextile":true,"texte":"vendredi 5 janvier 2024","evenements":[]})",
     nullptr},
    {"Ascension on 1 May joins the two holidays with et", 2008, 5, 1,
     "jeudi 1er mai 2008\n122e jour de l'année, semaine 18\nFête à souhaiter : Nom122\n"
     "Jour férié : Fête du Travail et Ascension\nLune : 25 jours\nL'année 2008 est bissextile.\n",
     R"({"date":"2008-05-01","jour_de_l_annee":122,"semaine":18,"fete":"Nom122",)"
     R"("ferie":"Fête du Travail et Ascension","celebrations":[],"changement_d_heure":null,"phase":null,"lune":25,"soleil":null,"saison":null,"lieu":null,"bissextile":true,"texte":"jeudi 1er mai 2008","evenements":[]})",
     "jeudi 1er mai 2008\nFête à souhaiter : Nom122\nFête du Travail et Ascension\nLune : 25 jours"},
    {"an age of 0 is one jour, and an ordinary year skips the list's 29 February", 2023, 12, 13,
     "mercredi 13 décembre 2023\n347e jour de l'année, semaine 50\nFête à souhaiter : Nom348\nLune : 0 jour\n"
     "L'année 2023 n'est pas bissextile.\n",
     R"({"date":"2023-12-13","jour_de_l_annee":347,"semaine":50,"fete":"Nom348","ferie":null,"celebrations":[],"changement_d_heure":null,"phase":null,"lune":0,"soleil":null,"saison":null,"lieu":null,)"
     R"("bissextile":false,"texte":"mercredi 13 décembre 2023","evenements":[]})",
     "mercredi 13 décembre 2023\nFête à souhaiter : Nom348\nLune : 0 jour"},
    // Sunrise 05:52:42, sunset 18:04:01, and the day before 05:54:48 and 18:02:31 UTC,
    // the equinox at 03:06:22 UTC (PyEphem 4.1.4, the upper limb and the standard
    // refraction): the day 3 min 36 s longer than the day before, « (+4 min) », though
    // the minutes shown make it 3; the sun's line and the season's after the holiday,
    // before the moon.
    {"a place adds its sun and the day's equinox before the moon, and its name to JSON", 2024, 3, 20,
     "mercredi 20 mars 2024\n80e jour de l'année, semaine 12\nFête à souhaiter : Nom80\n"
     "Soleil : lever 05 h 53, coucher 18 h 04, 12 h 11 de jour (+4 min)\nÉquinoxe de printemps à 03 h 06\n"
     "Lune : 10 jours\nL'année 2024 est bissextile.\n",
     R"({"date":"2024-03-20","jour_de_l_annee":80,"semaine":12,"fete":"Nom80","ferie":null,"celebrations":[],"changement_d_heure":null,"phase":null,"lune":10,)"
     R"("soleil":{"lever":"05:53","coucher":"18:04","duree_du_jour":"12:11"},"saison":{"nom":"Équinoxe de printemps","heure":"03:06"},)"
     R"("lieu":{"nom":"Paris","latitude":48.85341,"longitude":2.3488},"bissextile":true,"texte":"mercredi 20 mars 2024","evenements":[]})",
     "mercredi 20 mars 2024\nFête à souhaiter : Nom80\nSoleil : lever 05 h 53, coucher 18 h 04, 12 h 11 de jour (+4 "
     "min)\n"
     "Équinoxe de printemps à 03 h 06\nLune : 10 jours",
     calendar::Region::National, "paris"},
    {"France's mothers' day gives way to Whit Sunday, a week later: a celebration, no holiday", 2020, 6, 7,
     "dimanche 7 juin 2020\n159e jour de l'année, semaine 23\nFête à souhaiter : Nom159\n"
     "Célébration : Fête des mères\nLune : 16 jours\nL'année 2020 est bissextile.\n",
     R"({"date":"2020-06-07","jour_de_l_annee":159,"semaine":23,"fete":"Nom159","ferie":null,)"
     R"("celebrations":["Fête des mères"],"changement_d_heure":null,"phase":null,"lune":16,"soleil":null,"saison":null,"lieu":null,"bissextile":true,)"
     R"("texte":"dimanche 7 juin 2020","evenements":[]})",
     "dimanche 7 juin 2020\nFête à souhaiter : Nom159\nFête des mères\nLune : 16 jours"},
    {"two celebrations in Belgium, the shared one first, joined with et", 2019, 6, 9,
     "dimanche 9 juin 2019\n160e jour de l'année, semaine 23\nFête à souhaiter : Nom161\n"
     "Célébration : Pentecôte et Fête des pères\nLune : 6 jours\nL'année 2019 n'est pas bissextile.\n",
     R"({"date":"2019-06-09","jour_de_l_annee":160,"semaine":23,"fete":"Nom161","ferie":null,)"
     R"("celebrations":["Pentecôte","Fête des pères"],"changement_d_heure":null,"phase":null,"lune":6,"soleil":null,"saison":null,"lieu":null,)"
     R"("bissextile":false,"texte":"dimanche 9 juin 2019","evenements":[]})",
     "dimanche 9 juin 2019\nFête à souhaiter : Nom161\nPentecôte et Fête des pères\nLune : 6 jours",
     calendar::Region::Belgium},
};

TEST(DayFacts, TextJsonAndTooltipOfEachRow) {
    // UTC, where none of the rows' days changes its time or holds a moon phase (the new
    // moon of 12 December 2023 at 23:32 UTC falls on the 13th in Paris).
    setenv("TZ", "UTC", 1);
    const std::vector<std::string> names = TestNameDays();
    for (const FactsRow& row : kFactsRows) {
        const DayFacts facts = FactsOfDay(row.year, row.month, row.day,
                                          {.nameDays = names,
                                           .names = calendar::FrenchNames(),
                                           .region = row.region,
                                           .place = row.place ? calendar::PlaceOfText(row.place) : std::nullopt});
        if (row.text) {
            EXPECT_EQ(FactsText(facts), row.text) << row.name;
        }
        EXPECT_EQ(FactsJson(facts), row.json) << row.name;
        if (row.tooltip) {
            EXPECT_EQ(FactsTooltip(facts), row.tooltip) << row.name;
        }
    }
}

}  // namespace
}  // namespace almanac
