#include "calendar/regional_holidays.h"

namespace calendar {

const std::array<RegionRow, 9> kRegionTable = {{
    {.region = Region::National, .name = "France (national)", .key = "national"},
    {.region = Region::AlsaceMoselle, .name = "Alsace-Moselle", .key = "alsace-moselle", .inherits = Region::National},
    {.region = Region::Guadeloupe, .name = "Guadeloupe", .key = "guadeloupe", .inherits = Region::National},
    {.region = Region::Guyane, .name = "Guyane", .key = "guyane", .inherits = Region::National},
    {.region = Region::Martinique, .name = "Martinique", .key = "martinique", .inherits = Region::National},
    {.region = Region::Mayotte, .name = "Mayotte", .key = "mayotte", .inherits = Region::National},
    {.region = Region::LaReunion, .name = "La Réunion", .key = "la-reunion", .inherits = Region::National},
    {.region = Region::SaintBarthelemy,
     .name = "Saint-Barthélemy",
     .key = "saint-barthelemy",
     .inherits = Region::National},
    {.region = Region::SaintMartin, .name = "Saint-Martin", .key = "saint-martin", .inherits = Region::National},
}};

namespace {

// Every Region has its row.
const RegionRow& RowOf(Region region) {
    for (const RegionRow& row : kRegionTable) {
        if (row.region == region) return row;
    }
    return kRegionTable[0];
}

}  // namespace

std::optional<Region> RegionNamed(std::string_view name) {
    for (const RegionRow& row : kRegionTable) {
        if (name == row.name || name == row.key) return row.region;
    }
    return std::nullopt;
}

std::string_view RegionName(Region region) { return RowOf(region).name; }

std::string_view RegionKey(Region region) { return RowOf(region).key; }

std::optional<Region> RegionInherits(Region region) { return RowOf(region).inherits; }

}  // namespace calendar
