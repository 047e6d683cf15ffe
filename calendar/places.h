#pragma once
// The places whose sun the almanac knows by name. The places' table: every French
// préfecture, metropolitan and overseas, the chefs-lieux of the overseas
// collectivities, and the French-speaking capitals and chefs-lieux beside France
// (Brussels, Luxembourg, Monaco, the Swiss cantons', Quebec City and Montreal). The
// towns: every other town of 15,000 people or more in the countries where French is
// spoken by the state (towns.cpp). Any other place is given by its coordinates
// (coordinates.h).

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/coordinates.h"
#include "calendar/regional_holidays.h"

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

// The town a typed name names, or none, forgiven as FindPlace forgives: among the
// towns beside the places' table, in French where GeoNames has the name (« Liège »,
// « Bâle »), with a bracket where another place bears the name as well:
// « Saint-Denis (Île-de-France) », « Laval (Canada) ». Reads a dozen towns, never the
// whole list.
std::optional<PlaceRow> FindTown(std::string_view typed);

// The towns whose name, before its bracket, is `bare` however written: the choices
// of a name that several towns bear (« Saint-Leu (La Réunion) »…).
std::vector<std::string_view> TownsNamed(std::string_view bare);

// Every town, in the order of their folded names, decoded at the first call.
std::span<const PlaceRow> Towns();

// Whether Towns() has decoded the list: the window's start-up never does, whatever
// place the settings keep.
bool TownListDecoded();

// A name folded for comparison: lower-case ASCII letters and digits, the accents of
// Latin letters dropped (œ and æ written oe and ae), every run of other characters one
// blank, none at either end.
std::string FoldedName(std::string_view text);

inline Coordinates CoordinatesOf(const PlaceRow& place) { return {place.latitude, place.longitude}; }

// The place whose sun and seasons the almanac tells: a place of the table, or any
// other given by its coordinates.
struct Place {
    std::string text;    // UTF-8, as the settings keep it: the table's name, or the coordinates as typed
    bool named = false;  // a place of the table
    Coordinates coordinates;
    bool operator==(const Place&) const = default;
};

// The place a typed text gives: a name of the table, however written (FindPlace), a
// latitude and a longitude (ParseCoordinates), whose text is the typed one without
// the blanks at its ends, or the name of a town (FindTown); none for anything else.
std::optional<Place> PlaceOfText(std::string_view typed);

// The region's chef-lieu, the place when the user has chosen none; Paris for a region
// whose row names no place of the table.
Place SeatOf(Region region);

// Why `typed` gives no place, in one French sentence without its full stop, the
// typed text written as `shown` (a terminal shortens it and writes its control
// bytes): « « Saint-Denis » : précisez, « Saint-Denis (La Réunion) » », or what a
// name or coordinates should be.
std::string NoPlaceSentence(std::string_view typed, std::string_view shown);

}  // namespace calendar
