// The almanac's facts as the tooltip, --texte and --json say them: the change of time,
// the moon's phase and a region's holidays, each in one row.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "almanac/day_facts.h"
#include "terminal/day_json.h"

namespace almanac {
namespace {

TEST(DayFactsAlmanacTest, TextJsonAndTooltipSayTheAlmanacOfTheDay) {
    // Expected instants from the public almanacs (USNO's phases of the moon, the
    // European summer-time directive's dates for 2024).
    const struct {
        const char* name;
        const char* zone;
        int year, month, day;
        calendar::Region region;
        const char* textLine;      // the end of a line that --texte and the tooltip hold, "" for none below
        const char* jsonFragment;  // a part of --json
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
    };
    const char* before = getenv("TZ");
    const std::string saved = before ? before : "";
    for (const auto& row : rows) {
        setenv("TZ", row.zone, 1);
        const DayFacts facts =
            FactsOfDay(row.year, row.month, row.day, {.names = calendar::FrenchNames(), .region = row.region});
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
