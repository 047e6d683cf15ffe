// Writes the towns' table that calendar/towns.cpp compiles (town_table.inc): every
// town that Debian's libgeonames keeps (GeoNames, geonames.org, CC BY 4.0: the towns of
// 15,000 people or more, and the seats of smaller countries) in the countries below,
// named in French where the library's translations have the name, with the coordinates
// it gives, to five decimals.
//
// A name that another place of the table or of the places' table (places.cpp) bears
// as well takes a bracket: a town of metropolitan France its région, another town its
// country (the overseas collectivities are countries to GeoNames: « Saint-Leu
// (La Réunion) »), or its region or province where the namesakes share the country
// (« Saint-Nicolas (Wallonie) »). Of two towns that GeoNames keeps under the same name
// in the same region, the table keeps the more populous. A place of the places' table
// keeps its row and its name: the town of the same name within 0.1° is the same place.
//
// Usage: make_town_table OUTPUT

#include <geonames.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "calendar/places.h"

namespace {

// Where French is an official language, or the language of the state's work (Mali,
// Burkina Faso and Niger since their constitutions of 2023 and 2025), by ISO 3166
// code: France, its overseas départements and collectivities, the countries beside
// it, Canada, Haiti, Vanuatu, the Seychelles and French-speaking Africa.
constexpr const char* kCountries[] = {
    "FR", "GP", "MQ", "GF", "RE", "YT", "PM", "BL", "MF", "WF", "PF", "NC",  // France
    "BE", "CH", "LU", "MC", "CA", "HT", "VU", "SC",                          //
    "BJ", "BF", "BI", "CM", "CF", "TD", "KM", "CI", "CD", "CG", "DJ", "GQ",  // Africa
    "GA", "GN", "MG", "ML", "NE", "RW", "SN", "TG",                          //
};

struct Town {
    std::string name, region, country, code;
    unsigned population = 0;
    std::int32_t latitude = 0, longitude = 0;  // 10⁻⁵ degrees
    std::string shown;                         // the name with its bracket, where it needs one
};

std::int32_t Hundred000ths(double degrees) { return static_cast<std::int32_t>(std::lround(degrees * 1e5)); }

std::string BeforeBracket(std::string_view name) { return std::string(name.substr(0, name.find(" ("))); }

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "make_town_table: %s\n", why.c_str());
    std::exit(1);
}

std::vector<Town> LibraryTowns() {
    const std::set<std::string> wanted(std::begin(kCountries), std::end(kCountries));
    std::vector<Town> towns;
    for (int index = 0; index < geonames_get_n_cities(); ++index) {
        GeonamesCity* city = geonames_get_city(index);
        Town town{.name = geonames_city_get_name(city),
                  .region = geonames_city_get_state(city),
                  .country = geonames_city_get_country(city),
                  .code = geonames_city_get_country_code(city),
                  .population = geonames_city_get_population(city),
                  .latitude = Hundred000ths(geonames_city_get_latitude(city)),
                  .longitude = Hundred000ths(geonames_city_get_longitude(city)),
                  .shown = {}};
        geonames_city_free(city);
        if (town.code == "BE" && town.country != "Belgique")
            Fail("libgeonames ne donne pas les noms français (« " + town.country +
                 " ») : la locale C.UTF-8 manque-t-elle ?");
        if (wanted.contains(town.code)) towns.push_back(std::move(town));
    }
    return towns;
}

// The places' table's own row for the town, if it has one.
bool InPlacesTable(const Town& town) {
    for (const calendar::PlaceRow& place : calendar::Places()) {
        if (calendar::FoldedName(BeforeBracket(place.name)) == calendar::FoldedName(town.name) &&
            std::abs(Hundred000ths(place.latitude) - town.latitude) < 10'000 &&
            std::abs(Hundred000ths(place.longitude) - town.longitude) < 10'000)
            return true;
    }
    return false;
}

void NameNamesakes(std::vector<Town>& towns) {
    std::map<std::string, int> bearers;  // by folded name before any bracket
    for (const calendar::PlaceRow& place : calendar::Places())
        ++bearers[calendar::FoldedName(BeforeBracket(place.name))];
    std::map<std::string, std::vector<Town*>> namesakes;
    for (Town& town : towns) {
        ++bearers[calendar::FoldedName(town.name)];
        namesakes[calendar::FoldedName(town.name)].push_back(&town);
    }
    for (Town& town : towns) {
        town.shown = town.name;
        if (bearers[calendar::FoldedName(town.name)] < 2 || town.name.find(" (") != std::string::npos) continue;
        const auto& same = namesakes[calendar::FoldedName(town.name)];
        const bool sharesCountry =
            std::ranges::count_if(same, [&](const Town* other) { return other->code == town.code; }) > 1;
        const bool byRegion = (town.code == "FR" || sharesCountry) && !town.region.empty();
        town.shown += " (" + (byRegion ? town.region : town.country) + ")";
    }
}

// The name as a part of a C++ string literal.
std::string Literal(const std::string& name) {
    for (const char c : name)
        if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20) Fail("un nom à échapper : " + name);
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) Fail("usage : make_town_table SORTIE");
    // The library translates its names by gettext, which reads LANGUAGE in any locale
    // but C, and, from Debian 13's C library on, but C.UTF-8 too. A build machine may
    // have no other locale: the C.UTF-8 one is taken under another name, from a folder
    // of the build's own (LOCPATH), so that gettext reads LANGUAGE whatever the release.
    setenv("LANGUAGE", "fr", 1);
    const std::filesystem::path locales = std::filesystem::path(argv[1]).parent_path() / "locales";
    const std::filesystem::path renamed = locales / "fr_FR.UTF-8";
    std::error_code ignored;
    std::filesystem::create_directories(locales, ignored);
    if (!std::filesystem::exists(renamed))
        std::filesystem::create_directory_symlink("/usr/lib/locale/C.utf8", renamed, ignored);
    setenv("LOCPATH", locales.c_str(), 1);
    if (std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr && std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
        Fail("la locale C.UTF-8 manque");
    }

    std::vector<Town> towns = LibraryTowns();
    std::erase_if(towns, InPlacesTable);
    // Of two towns alike in name, country and region, the more populous.
    std::ranges::stable_sort(towns, std::greater{}, &Town::population);
    std::set<std::string> seen;
    const auto size = towns.size();
    std::erase_if(towns, [&](const Town& town) {
        return !seen.insert(calendar::FoldedName(town.name) + '|' + town.code + '|' + town.region).second;
    });
    std::size_t twice = size - towns.size();
    NameNamesakes(towns);
    std::map<std::string, const Town*> byFolded;  // sorted as FindTown searches
    std::set<std::string> taken;
    for (const calendar::PlaceRow& place : calendar::Places()) taken.insert(calendar::FoldedName(place.name));
    // Still alike with its bracket (namesakes in two regions of the same name): the more
    // populous, which comes first.
    std::size_t alike = 0;
    for (const Town& town : towns) {
        if (taken.insert(calendar::FoldedName(town.shown)).second)
            byFolded.emplace(calendar::FoldedName(town.shown), &town);
        else
            ++alike;
    }

    twice += alike;
    std::string names, records;
    std::size_t offset = 0;  // of the next name in the string of names
    for (const auto& [folded, town] : byFolded) {
        const std::size_t bare = BeforeBracket(town->shown).size();
        if (town->shown.size() > 255) Fail("un nom trop long : " + town->shown);
        records += "    {" + std::to_string(offset) + ", " + std::to_string(town->shown.size()) + ", " +
                   std::to_string(bare) + ", " + std::to_string(town->latitude) + ", " +
                   std::to_string(town->longitude) + "},  // " + town->code + "\n";
        names += "    \"" + Literal(town->shown) + "\"\n";
        offset += town->shown.size();
    }
    std::ofstream out(argv[1]);
    out << "// Written by tools/make_town_table.cpp from libgeonames: " << byFolded.size() << " towns; " << twice
        << " namesakes in the same region left out.\n"
        << "constexpr char kTownNames[] =\n"
        << names << "    \"\";\n"
        << "constexpr TownRecord kTownRecords[] = {\n"
        << records << "};\n";
    out.close();
    if (!out) Fail(std::string("impossible d'écrire ") + argv[1]);
    return 0;
}
