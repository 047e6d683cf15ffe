#pragma once
// The holiday regions: each place with a calendar of public holidays, the nation,
// the parts of it whose law adds days of their own, and the French-speaking places
// beyond it (Belgium, Luxembourg, Monaco, six Swiss cantons, Québec). A region
// inherits the holidays of the region it names, and its own rows add to them; it
// never removes one. A place that is a country inherits nothing of France's: the
// nation and the countries inherit only the group of the celebrations they share,
// and the cantons the group of Switzerland's federal day and celebrations. The
// holidays themselves are rows of one table (holidays.h).

#include <array>
#include <optional>
#include <string_view>

namespace calendar {

enum class Region {
    National,
    AlsaceMoselle,
    Guadeloupe,
    Guyane,
    Martinique,
    Mayotte,
    LaReunion,
    SaintBarthelemy,
    SaintMartin,
    Belgium,
    Luxembourg,
    Monaco,
    Geneva,
    Vaud,
    Neuchatel,
    Jura,
    Fribourg,
    Valais,
    Quebec,
    // Groups, which no one chooses: rows that several places share.
    Switzerland,  // the federal day and the celebrations of every canton
    Everywhere,   // the feasts of the Christian year that every place marks
};

struct RegionRow {
    Region region;
    std::string_view name;                // UTF-8, as the user reads and types it: "La Réunion"
    std::string_view key;                 // the same in plain ASCII, for a command line: "la-reunion"
    std::optional<Region> inherits = {};  // whose holidays it keeps as well
    std::string_view country = {};        // UTF-8, the country it lies in: the menu keeps a country's places together
    // Its chef-lieu, a name of the places' table (places.h): where the sun and the
    // seasons are reckoned until the user chooses a place; none for a group.
    std::string_view seat = {};
};

// The places, in the order of the menu: the nation first, the default, then its
// regions, then the other countries and their parts.
extern const std::array<RegionRow, 19> kRegionTable;

// The groups, which the places inherit and no one chooses.
extern const std::array<RegionRow, 2> kRegionGroups;

// The place of a name, its French name or its ASCII key; none for an unknown name
// and for a group.
std::optional<Region> RegionNamed(std::string_view name);
std::string_view RegionName(Region region);
std::string_view RegionKey(Region region);
std::optional<Region> RegionInherits(Region region);
std::string_view RegionSeat(Region region);

}  // namespace calendar
