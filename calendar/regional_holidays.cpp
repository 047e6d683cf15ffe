#include "calendar/regional_holidays.h"

namespace calendar {

const std::array<RegionRow, 19> kRegionTable = {{
    {.region = Region::National,
     .name = "France (national)",
     .key = "national",
     .inherits = Region::Everywhere,
     .country = "France",
     .seat = "Paris"},
    {.region = Region::AlsaceMoselle,
     .name = "Alsace-Moselle",
     .key = "alsace-moselle",
     .inherits = Region::National,
     .country = "France",
     .seat = "Strasbourg"},
    {.region = Region::Guadeloupe,
     .name = "Guadeloupe",
     .key = "guadeloupe",
     .inherits = Region::National,
     .country = "France",
     .seat = "Basse-Terre"},
    {.region = Region::Guyane,
     .name = "Guyane",
     .key = "guyane",
     .inherits = Region::National,
     .country = "France",
     .seat = "Cayenne"},
    {.region = Region::Martinique,
     .name = "Martinique",
     .key = "martinique",
     .inherits = Region::National,
     .country = "France",
     .seat = "Fort-de-France"},
    {.region = Region::Mayotte,
     .name = "Mayotte",
     .key = "mayotte",
     .inherits = Region::National,
     .country = "France",
     .seat = "Mamoudzou"},
    {.region = Region::LaReunion,
     .name = "La Réunion",
     .key = "la-reunion",
     .inherits = Region::National,
     .country = "France",
     .seat = "Saint-Denis (La Réunion)"},
    {.region = Region::SaintBarthelemy,
     .name = "Saint-Barthélemy",
     .key = "saint-barthelemy",
     .inherits = Region::National,
     .country = "France",
     .seat = "Gustavia"},
    {.region = Region::SaintMartin,
     .name = "Saint-Martin",
     .key = "saint-martin",
     .inherits = Region::National,
     .country = "France",
     .seat = "Marigot"},
    {.region = Region::Belgium,
     .name = "Belgique",
     .key = "belgique",
     .inherits = Region::Everywhere,
     .country = "Belgique",
     .seat = "Bruxelles"},
    {.region = Region::Luxembourg,
     .name = "Luxembourg",
     .key = "luxembourg",
     .inherits = Region::Everywhere,
     .country = "Luxembourg",
     .seat = "Luxembourg"},
    {.region = Region::Monaco,
     .name = "Monaco",
     .key = "monaco",
     .inherits = Region::Everywhere,
     .country = "Monaco",
     .seat = "Monaco"},
    {.region = Region::Geneva,
     .name = "Suisse — Genève",
     .key = "suisse-geneve",
     .inherits = Region::Switzerland,
     .country = "Suisse",
     .seat = "Genève"},
    {.region = Region::Vaud,
     .name = "Suisse — Vaud",
     .key = "suisse-vaud",
     .inherits = Region::Switzerland,
     .country = "Suisse",
     .seat = "Lausanne"},
    {.region = Region::Neuchatel,
     .name = "Suisse — Neuchâtel",
     .key = "suisse-neuchatel",
     .inherits = Region::Switzerland,
     .country = "Suisse",
     .seat = "Neuchâtel"},
    {.region = Region::Jura,
     .name = "Suisse — Jura",
     .key = "suisse-jura",
     .inherits = Region::Switzerland,
     .country = "Suisse",
     .seat = "Delémont"},
    {.region = Region::Fribourg,
     .name = "Suisse — Fribourg",
     .key = "suisse-fribourg",
     .inherits = Region::Switzerland,
     .country = "Suisse",
     .seat = "Fribourg"},
    {.region = Region::Valais,
     .name = "Suisse — Valais",
     .key = "suisse-valais",
     .inherits = Region::Switzerland,
     .country = "Suisse",
     .seat = "Sion"},
    {.region = Region::Quebec,
     .name = "Canada — Québec",
     .key = "quebec",
     .inherits = Region::Everywhere,
     .country = "Canada",
     .seat = "Québec"},
}};

const std::array<RegionRow, 2> kRegionGroups = {{
    {.region = Region::Switzerland, .name = "Suisse", .key = "suisse", .inherits = Region::Everywhere},
    {.region = Region::Everywhere, .name = "Partout", .key = "partout"},
}};

namespace {

// Every Region has its row, among the places or the groups.
const RegionRow& RowOf(Region region) {
    for (const RegionRow& row : kRegionTable) {
        if (row.region == region) return row;
    }
    for (const RegionRow& row : kRegionGroups) {
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

std::string_view RegionSeat(Region region) { return RowOf(region).seat; }

}  // namespace calendar
