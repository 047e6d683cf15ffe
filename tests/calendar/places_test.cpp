// Places by name, coordinates as the user types them, and the sentences and JSON
// values of the sun and the seasons.

#include "calendar/places.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "calendar/seasons.h"
#include "calendar/sunrise_sunset.h"

namespace calendar {
namespace {

TEST(PlacesTest, NamesAsTyped) {
    std::set<std::string> folded;
    for (const PlaceRow& place : Places()) {
        EXPECT_TRUE(folded.insert(FoldedName(place.name)).second) << place.name << " folds as another place";
        EXPECT_EQ(FindPlace(place.name), &place) << place.name;
    }
    EXPECT_EQ(folded.size(), 118u);  // 101 préfectures, 6 overseas collectivities, 11 beside France
    // A town is found by a binary search over its folded name: a town out of order is lost.
    for (const PlaceRow& town : Towns()) {
        EXPECT_TRUE(folded.insert(FoldedName(town.name)).second) << town.name << " folds as another place";
        const std::optional<PlaceRow> found = FindTown(town.name);
        EXPECT_EQ(found ? found->name : "none", town.name);
    }
    const struct {
        const char *typed, *found;  // null: none
    } rows[] = {
        {"  Saint Denis La Reunion ", "Saint-Denis (La Réunion)"},
        {"SAINT-DENIS (LA RÉUNION)", "Saint-Denis (La Réunion)"},
        {"Saint-Denis", nullptr},  // also the one in Seine-Saint-Denis
        {"Laval", nullptr},        // also the one in Quebec
        {"saint etienne", "Saint-Étienne"},
        {"Évry–Courcouronnes", "Évry-Courcouronnes"},
        {"CHÂLONS EN CHAMPAGNE", "Châlons-en-Champagne"},
        {"montreal", "Montréal"},
        {"Saint Denis Ile de France", "Saint-Denis (Île-de-France)"},  // a town beside the table
        {"liege", "Liège"},
        {"Trois Rivières", "Trois-Rivières"},
        {"Lille", "Lille"},  // the préfecture, not the Flemish town of Lille (Belgique)
        {"Paris 12", nullptr},
        {"\xff\xfe", nullptr},
    };
    for (const auto& row : rows) {
        const std::optional<Place> place = PlaceOfText(row.typed);
        EXPECT_EQ(place ? place->text : "none", row.found ? row.found : "none") << row.typed;
    }
}

// A number of 400 digits, past what a double holds: its whole part, then a fraction.
const std::string kHugeLatitude = std::string(400, '9') + " 7";
const std::string kTinyLatitude = "0," + std::string(400, '0') + "1 7";
const std::string kZerosBeforeLatitude = std::string(400, '0') + "48.5 7";

TEST(PlacesTest, CoordinatesAsTyped) {
    const struct {
        std::string typed;
        bool valid;
        double latitude, longitude;
    } rows[] = {
        {"48,58 7,75", true, 48.58, 7.75},
        {"48.58,7.75", true, 48.58, 7.75},
        {"48.58, 7.75", true, 48.58, 7.75},
        {" 48,58 ; 7,75 ", true, 48.58, 7.75},
        {"\u221221,34 +55,48", true, -21.34, 55.48},
        {"90 -180", true, 90, -180},
        {"48,58,7,75", false, 0, 0},  // which comma parts them?
        {"48.58", false, 0, 0},
        {"90.01 0", false, 0, 0},
        {"0 180.5", false, 0, 0},
        {"48.58 7.75 12", false, 0, 0},
        {"48.58N 7.75E", false, 0, 0},
        {"1e1 2", false, 0, 0},
        {"48. 7", false, 0, 0},
        {"48,58,7", false, 0, 0},  // 48.58 and 7, or 48 and 58.7?
        {kHugeLatitude, false, 0, 0},
        {kTinyLatitude, true, 0, 7},
        {kZerosBeforeLatitude, true, 48.5, 7},
        {"nan 7", false, 0, 0},
        {"48 inf", false, 0, 0},
        {"0x1p3 7", false, 0, 0},
        {"48.58 7.75;", false, 0, 0},
    };
    for (const auto& row : rows) {
        const auto coordinates = ParseCoordinates(row.typed);
        ASSERT_EQ(coordinates.has_value(), row.valid) << row.typed;
        if (!coordinates) continue;
        EXPECT_DOUBLE_EQ(coordinates->latitude, row.latitude) << row.typed;
        EXPECT_DOUBLE_EQ(coordinates->longitude, row.longitude) << row.typed;
    }
}

// What the settings and --lieu keep: a name spelt as the table spells it, coordinates
// as typed; and why the rest names nothing.
TEST(PlacesTest, PlacesOfTypedTexts) {
    const struct {
        const char* typed;
        const char* text;  // the place's; null: none
        bool named;
        const char* refusal;  // a part of NoPlaceSentence, for none
    } rows[] = {
        {"saint etienne", "Saint-Étienne", true, ""},
        {" 48,58 7,75 ", "48,58 7,75", false, ""},
        {"-21.34;55.48", "-21.34;55.48", false, ""},
        {"Saint-Denis", nullptr, false,
         "« Saint-Denis » est le nom de plusieurs lieux : précisez, « Saint-Denis (La Réunion) »"},
        {"91 7", nullptr, false, "« 91 7 » n'est pas une latitude et une longitude : la latitude va de −90 à 90"},
        {"\u22122 400", nullptr, false, "n'est pas une latitude et une longitude"},
        {kHugeLatitude.c_str(), nullptr, false, "n'est pas une latitude et une longitude"},
        {"Tamanrasset", nullptr, false, "« Tamanrasset » n'est pas un lieu connu : écrivez une ville"},
        {"Brest", "Brest", true, ""},
        {"saint leu", nullptr, false,
         "« saint leu » est le nom de plusieurs lieux : précisez, « Saint-Leu (Bourgogne-Franche-Comté) » ou "
         "« Saint-Leu (La Réunion) »"},
        {"Laval", nullptr, false, "précisez, « Laval (Mayenne) » ou « Laval (Canada) »"},
        {" - ", nullptr, false, "Aucun lieu n'est écrit"},
    };
    for (const auto& row : rows) {
        const std::optional<Place> place = PlaceOfText(row.typed);
        EXPECT_EQ(place ? place->text : "none", row.text ? row.text : "none") << row.typed;
        if (place) {
            EXPECT_EQ(place->named, row.named) << row.typed;
        } else {
            EXPECT_NE(NoPlaceSentence(row.typed, row.typed).find(row.refusal), std::string::npos)
                << NoPlaceSentence(row.typed, row.typed);
        }
    }
}

// A region's chef-lieu misspelt in its row would leave its users with Paris's sun.
TEST(PlacesTest, EveryRegionHasItsChefLieuInTheTable) {
    for (const RegionRow& region : kRegionTable) {
        const PlaceRow* seat = FindPlace(region.seat);
        ASSERT_NE(seat, nullptr) << region.name << ": « " << region.seat << " »";
        EXPECT_EQ(seat->name, region.seat) << "spelt as the table spells it";
        EXPECT_EQ(SeatOf(region.region), PlaceOfText(seat->name)) << region.name;
    }
    EXPECT_EQ(SeatOf(Region::National).text, "Paris");
}

TEST(PlacesTest, SentencesAndJsonValues) {
    const SunEvent rise{.kind = SunEventKind::Rise, .instant = 0, .hour = 8, .minute = 17};
    const SunEvent set{.kind = SunEventKind::Set, .instant = 0, .hour = 16, .minute = 38};
    const SunEvent earlySet{.kind = SunEventKind::Set, .instant = 0, .hour = 0, .minute = 9};
    const auto day = [](std::vector<SunEvent> events, int daylight, int change, SunCourse course) {
        return SunOfDay{
            .course = course, .events = std::move(events), .daylightMinutes = daylight, .changeMinutes = change};
    };
    constexpr SunCourse kCrosses = SunCourse::RisesOrSets;
    const struct {
        SunOfDay sun;
        const char *sentence, *json;
    } rows[] = {
        {day({rise, set}, 501, 1, kCrosses), "Soleil : lever 08 h 17, coucher 16 h 38, 8 h 21 de jour (+1 min)",
         "08:17 16:38 08:21"},
        {day({rise, set}, 501, -2, kCrosses), "Soleil : lever 08 h 17, coucher 16 h 38, 8 h 21 de jour (\u22122 min)",
         "08:17 16:38 08:21"},
        {day({rise, set}, 501, 0, kCrosses), "Soleil : lever 08 h 17, coucher 16 h 38, 8 h 21 de jour (=)",
         "08:17 16:38 08:21"},
        {day({earlySet, rise}, 1422, -80, kCrosses),
         "Soleil : coucher 00 h 09, lever 08 h 17, 23 h 42 de jour (\u221280 min)", "08:17 00:09 23:42"},
        {day({rise}, 943, 12, kCrosses), "Soleil : lever 08 h 17, 15 h 43 de jour (+12 min)", "08:17 null 15:43"},
        {day({}, 1440, 0, SunCourse::UpAllDay), "Soleil levé toute la journée", "null null 24:00"},
        {day({}, 0, 0, SunCourse::DownAllDay), "Soleil couché toute la journée", "null null 00:00"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(SunSentence(row.sun), row.sentence);
        const SunFields fields = SunJsonFields(row.sun);
        EXPECT_EQ(fields.lever.value_or("null") + " " + fields.coucher.value_or("null") + " " + fields.dureeDuJour,
                  row.json)
            << row.sentence;
    }
    const SeasonOfDay season{.season = Season::JuneSolstice, .name = "Solstice d'hiver", .hour = 16, .minute = 3};
    EXPECT_EQ(SeasonSentence(season) + " " + SeasonClock(season, ":"), "Solstice d'hiver à 16 h 03 16:03");
}

}  // namespace
}  // namespace calendar
