// The almanac's facts as the tooltip, --texte and --json say them: the change of time,
// the moon's phase, a region's holidays, and the sun and the seasons at a place, each
// in one row.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "almanac/day_facts.h"
#include "terminal/day_json.h"

namespace almanac {
namespace {

TEST(DayFactsAlmanacTest, TextJsonAndTooltipSayTheAlmanacOfTheDay) {
    // Expected instants from the public almanacs (USNO's phases of the moon, the
    // European summer-time directive's dates for 2024); the sun's and the seasons' from
    // PyEphem 4.1.4 (python3-ephem), the upper limb and the standard refraction: in
    // Strasbourg on 21 December 2024 sunrise 08:18:42 and sunset 16:35:53 CET, the
    // solstice at 09:20:20 UTC; at 78.22° N no sunset on 21 June 2024, no sunrise on
    // 21 December.
    const struct {
        const char* name;
        const char* zone;
        int year, month, day;
        calendar::Region region;
        const char* textLine;      // the end of a line that --texte and the tooltip hold, "" for none below
        const char* jsonFragment;  // a part of --json
        const char* place = "";    // where the sun and the seasons are reckoned, as typed; "" for none
    } rows[] = {
        {"summer time in Paris", "Europe/Paris", 2024, 3, 31, calendar::Region::National,
         "Passage à l'heure d'été : à 2 h il est 3 h",
         R"("changement_d_heure":"Passage à l'heure d'été : à 2 h il est 3 h")"},
        {"winter time in Paris", "Europe/Paris", 2024, 10, 27, calendar::Region::National,
         "Passage à l'heure d'hiver : à 3 h il est 2 h",
         R"("changement_d_heure":"Passage à l'heure d'hiver : à 3 h il est 2 h")"},
        {"no change in UTC", "UTC", 2024, 3, 31, calendar::Region::National, "",
         R"("changement_d_heure":null,"phase":null)"},
        {"full moon at 07:00 UTC is 08:00 in Paris", "Europe/Paris", 2024, 3, 25, calendar::Region::National,
         "Pleine lune à 08 h 00", R"("phase":{"nom":"Pleine lune","heure":"08:00"})"},
        {"the same full moon in Montreal", "America/Montreal", 2024, 3, 25, calendar::Region::National,
         "Pleine lune à 03 h 00", R"("phase":{"nom":"Pleine lune","heure":"03:00"})"},
        {"Saint-Étienne in Alsace-Moselle", "UTC", 2024, 12, 26, calendar::Region::AlsaceMoselle, "Saint-Étienne",
         R"("ferie":"Saint-Étienne")"},
        {"nothing on 26 December for the nation", "UTC", 2024, 12, 26, calendar::Region::National, "",
         R"("ferie":null)"},
        {"abolition day in La Réunion", "Indian/Reunion", 2024, 12, 20, calendar::Region::LaReunion,
         "Abolition de l'esclavage", R"("ferie":"Abolition de l'esclavage")"},
        {"the sun in Strasbourg, in Paris time", "Europe/Paris", 2024, 12, 21, calendar::Region::AlsaceMoselle,
         "Soleil : lever 08 h 19, coucher 16 h 36, 8 h 17 de jour (=)",
         R"("soleil":{"lever":"08:19","coucher":"16:36","duree_du_jour":"08:17"})", "Strasbourg"},
        {"the December solstice is winter's in the north", "Europe/Paris", 2024, 12, 21, calendar::Region::National,
         "Solstice d'hiver à 10 h 20",
         R"("saison":{"nom":"Solstice d'hiver","heure":"10:20"},"lieu":{"nom":"Strasbourg","latitude":48.58392,"longitude":7.74553})",
         "STRASBOURG"},
        {"and summer's in the south", "Indian/Reunion", 2024, 12, 21, calendar::Region::LaReunion,
         "Solstice d'été à 13 h 20",
         R"json("saison":{"nom":"Solstice d'été","heure":"13:20"},"lieu":{"nom":"Saint-Denis (La Réunion)","latitude":-20.88231,"longitude":55.4504})json",
         "saint denis la reunion"},
        {"the midnight sun, at coordinates typed", "Arctic/Longyearbyen", 2024, 6, 21, calendar::Region::National,
         "Soleil levé toute la journée",
         R"("soleil":{"lever":null,"coucher":null,"duree_du_jour":"24:00"},"saison":null,"lieu":{"nom":null,"latitude":78.22,"longitude":15.65})",
         " 78,22 15,65 "},
        {"the polar night", "Arctic/Longyearbyen", 2024, 12, 21, calendar::Region::National,
         "Soleil couché toute la journée", R"("soleil":{"lever":null,"coucher":null,"duree_du_jour":"00:00"})",
         "78.22,15.65"},
        {"no place, no sun", "Europe/Paris", 2024, 12, 21, calendar::Region::National, "",
         R"("soleil":null,"saison":null,"lieu":null)"},
    };
    const char* before = getenv("TZ");
    const std::string saved = before ? before : "";
    for (const auto& row : rows) {
        setenv("TZ", row.zone, 1);
        const DayFacts facts = FactsOfDay(
            row.year, row.month, row.day,
            {.names = calendar::FrenchNames(), .region = row.region, .place = calendar::PlaceOfText(row.place)});
        const std::string line = row.textLine;
        if (!line.empty()) {
            EXPECT_NE(FactsText(facts).find(line + '\n'), std::string::npos) << row.name << '\n' << FactsText(facts);
            EXPECT_NE(FactsTooltip(facts).find('\n' + line), std::string::npos) << row.name;
        }
        EXPECT_NE(FactsJson(facts).find(row.jsonFragment), std::string::npos) << row.name << '\n' << FactsJson(facts);
    }
    if (before)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
}

}  // namespace
}  // namespace almanac
