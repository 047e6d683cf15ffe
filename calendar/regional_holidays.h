#pragma once
// The holiday regions: each place with a calendar of public holidays, the nation and
// the parts of it whose law adds days of their own. A region other than the nation
// inherits the holidays of the region it names, and its own rows add to them; it
// never removes one. The holidays themselves are rows of one table (holidays.h).

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
};

struct RegionRow {
    Region region;
    std::string_view name;                // UTF-8, as the user reads and types it: "La Réunion"
    std::string_view key;                 // the same in plain ASCII, for a command line: "la-reunion"
    std::optional<Region> inherits = {};  // whose holidays it keeps as well; none for a nation
};

// In the order of the menu: the nation first, the default.
extern const std::array<RegionRow, 9> kRegionTable;

// The region of a name, its French name or its ASCII key; none for an unknown name.
std::optional<Region> RegionNamed(std::string_view name);
std::string_view RegionName(Region region);
std::string_view RegionKey(Region region);
std::optional<Region> RegionInherits(Region region);

}  // namespace calendar
