#include "calendar/regional_holidays.h"

#include "calendar/easter.h"
#include "calendar/holidays.h"

namespace calendar {

const std::array<RegionRow, 9> kRegionTable = {{
    {.region = Region::National, .name = "France (national)", .key = "national"},
    {.region = Region::AlsaceMoselle, .name = "Alsace-Moselle", .key = "alsace-moselle"},
    {.region = Region::Guadeloupe, .name = "Guadeloupe", .key = "guadeloupe"},
    {.region = Region::Guyane, .name = "Guyane", .key = "guyane"},
    {.region = Region::Martinique, .name = "Martinique", .key = "martinique"},
    {.region = Region::Mayotte, .name = "Mayotte", .key = "mayotte"},
    {.region = Region::LaReunion, .name = "La Réunion", .key = "la-reunion"},
    {.region = Region::SaintBarthelemy, .name = "Saint-Barthélemy", .key = "saint-barthelemy"},
    {.region = Region::SaintMartin, .name = "Saint-Martin", .key = "saint-martin"},
}};

// The abolition of slavery's day has one name in every region.
constexpr std::string_view kAbolitionDay = "Abolition de l'esclavage";
constexpr std::string_view kAbolitionKey = "abolition-esclavage";

// Where a text's own date falls before the first day of a year's holiday, that year is
// the first; otherwise the next one.
const std::array<RegionalHolidayRow, 10> kRegionalHolidayTable = {{
    // Bas-Rhin, Haut-Rhin and Moselle: the local law, article 105a of the code local des
    // professions, now article L3134-13 of the code du travail, adds Good Friday and the
    // second day of Christmas. The three départements keep their local law under the law
    // of 17 October 1919 on their transitional regime (made lasting by the laws of 1 June
    // 1924): the rows apply from 1919, their first year in France again.
    {.region = Region::AlsaceMoselle,
     .name = "Vendredi saint",
     .key = "vendredi-saint",
     .fromEaster = -2,
     .since = 1919},
    {.region = Region::AlsaceMoselle,
     .name = "Saint-Étienne",
     .key = "saint-etienne",
     .month = 12,
     .day = 26,
     .since = 1919},
    // The abolition of slavery: law n° 83-550 of 30 June 1983 makes it a public holiday in
    // Guadeloupe, Guyane, Martinique, La Réunion and Mayotte, and decree n° 83-1003 of
    // 23 November 1983 (article 1) gives each its day. Only La Réunion's falls after the
    // decree in 1983; the others are first kept in 1984.
    {.region = Region::Mayotte, .name = kAbolitionDay, .key = kAbolitionKey, .month = 4, .day = 27, .since = 1984},
    {.region = Region::Martinique, .name = kAbolitionDay, .key = kAbolitionKey, .month = 5, .day = 22, .since = 1984},
    {.region = Region::Guadeloupe, .name = kAbolitionDay, .key = kAbolitionKey, .month = 5, .day = 27, .since = 1984},
    {.region = Region::Guyane, .name = kAbolitionDay, .key = kAbolitionKey, .month = 6, .day = 10, .since = 1984},
    {.region = Region::LaReunion, .name = kAbolitionDay, .key = kAbolitionKey, .month = 12, .day = 20, .since = 1983},
    // Decree n° 2012-553 of 23 April 2012, in force on 26 April 2012, adds the two
    // collectivities to the decree of 1983: Saint-Barthélemy on 9 October, Saint-Martin on
    // 27 May. A decree published in April 2023 moves Saint-Martin's day to 28 May, the
    // day the abolition was proclaimed there (28 May had been kept by circular from 2018).
    {.region = Region::SaintBarthelemy,
     .name = kAbolitionDay,
     .key = kAbolitionKey,
     .month = 10,
     .day = 9,
     .since = 2012},
    {.region = Region::SaintMartin,
     .name = kAbolitionDay,
     .key = kAbolitionKey,
     .month = 5,
     .day = 27,
     .since = 2012,
     .until = 2022},
    {.region = Region::SaintMartin, .name = kAbolitionDay, .key = kAbolitionKey, .month = 5, .day = 28, .since = 2023},
}};

std::optional<Region> RegionNamed(std::string_view name) {
    for (const RegionRow& row : kRegionTable) {
        if (name == row.name || name == row.key) return row.region;
    }
    return std::nullopt;
}

std::string_view RegionName(Region region) {
    for (const RegionRow& row : kRegionTable) {
        if (row.region == region) return row.name;
    }
    return kRegionTable[0].name;  // every Region has its row
}

std::string_view RegionKey(Region region) {
    for (const RegionRow& row : kRegionTable) {
        if (row.region == region) return row.key;
    }
    return kRegionTable[0].key;
}

SerialDate RegionalHolidayDate(const RegionalHolidayRow& row, Int16 year, SerialDate easter) {
    if (row.month == 0) return easter + row.fromEaster;
    return MakeDate(year, row.month, row.day);
}

bool RegionalHolidayApplies(const RegionalHolidayRow& row, Int16 year) {
    return year >= row.since && (row.until == 0 || year <= row.until);
}

std::vector<std::string_view> HolidaysOn(Region region, Int16 year, SerialDate date) {
    std::vector<std::string_view> names = HolidaysOn(year, date);
    if (region == Region::National) return names;
    const SerialDate easter = EasterSunday(year);
    for (const RegionalHolidayRow& row : kRegionalHolidayTable) {
        if (row.region == region && RegionalHolidayApplies(row, year) && RegionalHolidayDate(row, year, easter) == date)
            names.push_back(row.name);
    }
    return names;
}

}  // namespace calendar
