// The towns beside the places' table, compiled from the table that
// tools/make_town_table.cpp writes at build time from Debian's libgeonames (GeoNames,
// CC BY 4.0): one record of plain numbers a town and one string of all the names, which
// the program maps with its code and touches only when a name is looked up. The records
// are in the order of their folded names, so that a name is found by a binary search
// that reads a dozen of them; only the list of every town (the completer of « Lieu… »)
// decodes them all, at its first call.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

#include "calendar/places.h"

namespace calendar {

namespace {

struct TownRecord {
    std::uint32_t name;                // where the name begins in kTownNames
    std::uint8_t length, bareLength;   // bytes of the name, and of its part before the bracket
    std::int32_t latitude, longitude;  // 10⁻⁵ degrees
};

#include "town_table.inc"  // kTownNames, kTownRecords

std::string_view NameOf(const TownRecord& town) { return std::string_view(kTownNames + town.name, town.length); }

std::string FoldedNameOf(const TownRecord& town) { return FoldedName(NameOf(town)); }

std::atomic<bool> listDecoded = false;

PlaceRow RowOf(const TownRecord& town) {
    return {.name = NameOf(town), .latitude = town.latitude / 1e5, .longitude = town.longitude / 1e5};
}

}  // namespace

std::optional<PlaceRow> FindTown(std::string_view typed) {
    const std::string wanted = FoldedName(typed);
    const auto town = std::ranges::lower_bound(kTownRecords, wanted, {}, FoldedNameOf);
    if (wanted.empty() || town == std::end(kTownRecords) || FoldedNameOf(*town) != wanted) return std::nullopt;
    return RowOf(*town);
}

std::vector<std::string_view> TownsNamed(std::string_view bare) {
    const std::string folded = FoldedName(bare);
    std::vector<std::string_view> names;
    if (folded.empty()) return names;
    // Every name « bare (…) » folds to a string that begins with the folded bare name and a blank.
    const std::string prefix = folded + ' ';
    for (auto town = std::ranges::lower_bound(kTownRecords, prefix, {}, FoldedNameOf);
         town != std::end(kTownRecords) && FoldedNameOf(*town).starts_with(prefix); ++town) {
        if (FoldedName(NameOf(*town).substr(0, town->bareLength)) == folded) names.push_back(NameOf(*town));
    }
    return names;
}

std::span<const PlaceRow> Towns() {
    static const std::vector<PlaceRow> towns = [] {
        listDecoded = true;
        std::vector<PlaceRow> rows;
        rows.reserve(std::size(kTownRecords));
        for (const TownRecord& town : kTownRecords) rows.push_back(RowOf(town));
        return rows;
    }();
    return towns;
}

bool TownListDecoded() { return listDecoded; }

}  // namespace calendar
