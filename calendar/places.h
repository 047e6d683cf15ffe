#pragma once
// The places whose sun the almanac knows by name: every French préfecture,
// metropolitan and overseas, the chefs-lieux of the overseas collectivities, and the
// French-speaking capitals and chefs-lieux beside France (Brussels, Luxembourg, Monaco,
// the Swiss cantons', Quebec City and Montreal). Any other place is given by its
// coordinates (coordinates.h).

#include <span>
#include <string>
#include <string_view>

#include "calendar/coordinates.h"

namespace calendar {

inline constexpr std::string_view kGeoNamesSource = "GeoNames, as Debian's libgeonames0 ships it";

struct PlaceRow {
    std::string_view name;                      // UTF-8, as the user reads it; unique however written (see FindPlace)
    double latitude = 0, longitude = 0;         // degrees, north and east positive
    std::string_view source = kGeoNamesSource;  // where the coordinates come from
};

// Every place, in the table's order: metropolitan France by département, then overseas
// France, then the places beside France.
std::span<const PlaceRow> Places();

// The place a typed name names, or null. Case, accents and the marks between words are
// forgiven: « saint-denis (la réunion) », « Saint Denis La Reunion » and
// « SAINT-DENIS (LA RÉUNION) » all name Saint-Denis (La Réunion). A name whose table
// row carries a bracket must be typed with it: « Saint-Denis » alone could as well be
// the one in Seine-Saint-Denis, and names nothing.
const PlaceRow* FindPlace(std::string_view typed);

// A name folded for comparison: lower-case ASCII letters and digits, the accents of
// Latin letters dropped (œ and æ written oe and ae), every run of other characters one
// blank, none at either end.
std::string FoldedName(std::string_view text);

inline Coordinates CoordinatesOf(const PlaceRow& place) { return {place.latitude, place.longitude}; }

}  // namespace calendar
