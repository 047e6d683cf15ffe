#pragma once
// The regions whose public holidays add to the national ones, and each regional day as
// a rule: a fixed date or Easter plus some days, from the first year its text applies.
// The national rows stay those of the holiday panel (holidays.h); a region adds days,
// never removes one.

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "calendar/serial_date.h"

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
    std::string_view name;  // UTF-8, as the user reads and types it: "La Réunion"
    std::string_view key;   // the same in plain ASCII, for a command line: "la-reunion"
};

// In the order of the menu: the nation first, the default.
extern const std::array<RegionRow, 9> kRegionTable;

struct RegionalHolidayRow {
    Region region;
    std::string_view name;  // UTF-8, the day's French name
    std::string_view key;   // ASCII, stable, for identifiers built from the row ("vendredi-saint")
    int month = 0;          // 1..12 for a fixed date; 0: the day follows Easter
    int day = 0;
    int fromEaster = 0;  // days after Easter Sunday (negative before it) where month is 0
    int since = 0;       // the first year the rule applies
    int until = 0;       // the last year it applies; 0: still in force
};

extern const std::array<RegionalHolidayRow, 10> kRegionalHolidayTable;

// The region of a name, its French name or its ASCII key; none for an unknown name.
std::optional<Region> RegionNamed(std::string_view name);
std::string_view RegionName(Region region);
std::string_view RegionKey(Region region);

// The row's date in the given year; `easter` is Easter Sunday of that year.
SerialDate RegionalHolidayDate(const RegionalHolidayRow& row, Int16 year, SerialDate easter);
bool RegionalHolidayApplies(const RegionalHolidayRow& row, Int16 year);

// The names of the holidays of `date`, in its year `year`, for `region`: the national
// ones as HolidaysOn gives them, then the region's own, each in the order of its table.
std::vector<std::string_view> HolidaysOn(Region region, Int16 year, SerialDate date);

}  // namespace calendar
