// The place a typed text gives, among the places' table, the towns and coordinates,
// and why a text gives none.

#include <algorithm>
#include <iterator>

#include "calendar/places.h"

namespace calendar {

namespace {

std::string_view WithoutEndBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Quoted(std::string_view text) { return "« " + std::string(text) + " »"; }

}  // namespace

std::optional<Place> PlaceOfText(std::string_view typed) {
    if (const PlaceRow* row = FindPlace(typed))
        return Place{.text = std::string(row->name), .named = true, .coordinates = CoordinatesOf(*row)};
    if (const std::optional<Coordinates> coordinates = ParseCoordinates(typed))
        return Place{.text = std::string(WithoutEndBlanks(typed)), .coordinates = *coordinates};
    if (const std::optional<PlaceRow> town = FindTown(typed))
        return Place{.text = std::string(town->name), .named = true, .coordinates = CoordinatesOf(*town)};
    return std::nullopt;
}

// The seat is written as the table writes it: no folding, which costs a tenth of a
// millisecond for the table, and the tooltips ask for a month of days at once.
Place SeatOf(Region region) {
    const std::string_view seat = RegionSeat(region);
    const std::span<const PlaceRow> table = Places();
    const auto row = std::ranges::find(table, seat, &PlaceRow::name);
    const PlaceRow& place = row != table.end() ? *row : *std::ranges::find(table, "Paris", &PlaceRow::name);
    return {.text = std::string(place.name), .named = true, .coordinates = CoordinatesOf(place)};
}

std::string NoPlaceSentence(std::string_view typed, std::string_view shown) {
    static constexpr std::string_view kWhatToWrite =
        "écrivez une ville, telle « Brest », ou la latitude et la longitude, telles « 48,58 7,75 »";
    const std::string folded = FoldedName(typed);
    if (folded.empty()) return "Aucun lieu n'est écrit : " + std::string(kWhatToWrite);
    // A name the tables give only with its bracket: « Saint-Denis », « Laval ».
    std::string bracketed;
    const auto offer = [&](std::string_view name) { bracketed += (bracketed.empty() ? "" : " ou ") + Quoted(name); };
    for (const PlaceRow& place : Places()) {
        const std::size_t bracket = place.name.find(" (");
        if (bracket != std::string_view::npos && FoldedName(place.name.substr(0, bracket)) == folded) offer(place.name);
    }
    std::ranges::for_each(TownsNamed(typed), offer);
    if (!bracketed.empty()) return Quoted(shown) + " est le nom de plusieurs lieux : précisez, " + bracketed;
    const std::string_view trimmed = WithoutEndBlanks(typed);
    const bool numeric = trimmed.starts_with("\u2212") || trimmed.find_first_of("+-0123456789") == 0;
    if (numeric) {
        return Quoted(shown) +
               " n'est pas une latitude et une longitude : la latitude va de −90 à 90, la longitude de −180 à 180, "
               "telles « 48,58 7,75 »";
    }
    return Quoted(shown) + " n'est pas un lieu connu : " + std::string(kWhatToWrite);
}

}  // namespace calendar
