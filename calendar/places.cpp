// The places' coordinates come from GeoNames (geonames.org, CC BY 4.0), as Debian's
// libgeonames0 ships them in its table of towns (0.3.0, the towns of 15,000 people or
// more), to five decimals: a few metres, far below what a minute of sunrise needs (at
// the latitudes of France a minute of time is some 15 km east or west). Towns that
// table leaves out carry the coordinates of their Wikipedia article, named in their
// row. The test PlacesTest checks every GeoNames row against the library itself, and
// a sample of places against a second source: the towns tzdata's zone.tab gives the
// time zones, to the arc-minute (Paris, Brussels, Fort-de-France, Papeete, Marigot…),
// within 0.05°.
//
// A name carries a bracket where the bare name is another place as well, in France or
// in the French-speaking world: Saint-Denis (La Réunion) and Saint-Denis in
// Seine-Saint-Denis, Saint-Pierre (Saint-Pierre-et-Miquelon) and Saint-Pierre of La
// Réunion, Laval (Mayenne) and Laval in Quebec.

#include "calendar/places.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "calendar/utf8_text.h"

namespace calendar {

namespace {

constexpr PlaceRow kPlaceTable[] = {
    // The préfectures of metropolitan France, by département.
    {.name = "Bourg-en-Bresse", .latitude = 46.20574, .longitude = 5.2258},   // 01 Ain
    {.name = "Laon", .latitude = 49.5631, .longitude = 3.62714},              // 02 Aisne
    {.name = "Moulins", .latitude = 46.56459, .longitude = 3.33243},          // 03 Allier
    {.name = "Digne-les-Bains", .latitude = 44.09252, .longitude = 6.23199},  // 04 Alpes-de-Haute-Provence
    {.name = "Gap", .latitude = 44.55858, .longitude = 6.07868},              // 05 Hautes-Alpes
    {.name = "Nice", .latitude = 43.70313, .longitude = 7.26608},             // 06 Alpes-Maritimes
    {.name = "Privas",
     .latitude = 44.7358,
     .longitude = 4.6,
     .source = "fr.wikipedia.org, Privas: 44° 44′ 09″ N, 4° 36′ 00″ E"},          // 07 Ardèche
    {.name = "Charleville-Mézières", .latitude = 49.7685, .longitude = 4.72487},  // 08 Ardennes
    {.name = "Foix",
     .latitude = 42.9664,
     .longitude = 1.6078,
     .source = "fr.wikipedia.org, Foix: 42° 57′ 59″ N, 1° 36′ 28″ E"},        // 09 Ariège
    {.name = "Troyes", .latitude = 48.30073, .longitude = 4.08524},           // 10 Aube
    {.name = "Carcassonne", .latitude = 43.21649, .longitude = 2.34863},      // 11 Aude
    {.name = "Rodez", .latitude = 44.35258, .longitude = 2.57338},            // 12 Aveyron
    {.name = "Marseille", .latitude = 43.29695, .longitude = 5.38107},        // 13 Bouches-du-Rhône
    {.name = "Caen", .latitude = 49.18585, .longitude = -0.35912},            // 14 Calvados
    {.name = "Aurillac", .latitude = 44.92539, .longitude = 2.43983},         // 15 Cantal
    {.name = "Angoulême", .latitude = 45.64997, .longitude = 0.15345},        // 16 Charente
    {.name = "La Rochelle", .latitude = 46.16308, .longitude = -1.15222},     // 17 Charente-Maritime
    {.name = "Bourges", .latitude = 47.08333, .longitude = 2.4},              // 18 Cher
    {.name = "Tulle", .latitude = 45.26582, .longitude = 1.77233},            // 19 Corrèze
    {.name = "Ajaccio", .latitude = 41.91886, .longitude = 8.73812},          // 2A Corse-du-Sud
    {.name = "Bastia", .latitude = 42.70278, .longitude = 9.45},              // 2B Haute-Corse
    {.name = "Dijon", .latitude = 47.31667, .longitude = 5.01667},            // 21 Côte-d'Or
    {.name = "Saint-Brieuc", .latitude = 48.51513, .longitude = -2.76838},    // 22 Côtes-d'Armor
    {.name = "Guéret", .latitude = 46.17185, .longitude = 1.87166},           // 23 Creuse
    {.name = "Périgueux", .latitude = 45.18691, .longitude = 0.71439},        // 24 Dordogne
    {.name = "Besançon", .latitude = 47.24878, .longitude = 6.01815},         // 25 Doubs
    {.name = "Valence", .latitude = 44.9256, .longitude = 4.90956},           // 26 Drôme
    {.name = "Évreux", .latitude = 49.02414, .longitude = 1.15082},           // 27 Eure
    {.name = "Chartres", .latitude = 48.44685, .longitude = 1.48925},         // 28 Eure-et-Loir
    {.name = "Quimper", .latitude = 47.99597, .longitude = -4.09795},         // 29 Finistère
    {.name = "Nîmes", .latitude = 43.83665, .longitude = 4.35788},            // 30 Gard
    {.name = "Toulouse", .latitude = 43.60426, .longitude = 1.44367},         // 31 Haute-Garonne
    {.name = "Auch", .latitude = 43.64561, .longitude = 0.58856},             // 32 Gers
    {.name = "Bordeaux", .latitude = 44.84044, .longitude = -0.5805},         // 33 Gironde
    {.name = "Montpellier", .latitude = 43.61093, .longitude = 3.87635},      // 34 Hérault
    {.name = "Rennes", .latitude = 48.11198, .longitude = -1.67429},          // 35 Ille-et-Vilaine
    {.name = "Châteauroux", .latitude = 46.81248, .longitude = 1.69362},      // 36 Indre
    {.name = "Tours", .latitude = 47.39484, .longitude = 0.70398},            // 37 Indre-et-Loire
    {.name = "Grenoble", .latitude = 45.17869, .longitude = 5.71479},         // 38 Isère
    {.name = "Lons-le-Saunier", .latitude = 46.67535, .longitude = 5.55575},  // 39 Jura
    {.name = "Mont-de-Marsan", .latitude = 43.89022, .longitude = -0.49713},  // 40 Landes
    {.name = "Blois", .latitude = 47.59432, .longitude = 1.32912},            // 41 Loir-et-Cher
    {.name = "Saint-Étienne", .latitude = 45.43389, .longitude = 4.39},       // 42 Loire
    {.name = "Le Puy-en-Velay", .latitude = 45.04366, .longitude = 3.88523},  // 43 Haute-Loire
    {.name = "Nantes", .latitude = 47.21725, .longitude = -1.55336},          // 44 Loire-Atlantique
    {.name = "Orléans", .latitude = 47.90289, .longitude = 1.90389},          // 45 Loiret
    {.name = "Cahors", .latitude = 44.4491, .longitude = 1.43663},            // 46 Lot
    {.name = "Agen", .latitude = 44.20199, .longitude = 0.62055},             // 47 Lot-et-Garonne
    {.name = "Mende",
     .latitude = 44.5194,
     .longitude = 3.5014,
     .source = "fr.wikipedia.org, Mende (Lozère): 44° 31′ 10″ N, 3° 30′ 05″ E"},   // 48 Lozère
    {.name = "Angers", .latitude = 47.47156, .longitude = -0.55202},               // 49 Maine-et-Loire
    {.name = "Saint-Lô", .latitude = 49.11624, .longitude = -1.09031},             // 50 Manche
    {.name = "Châlons-en-Champagne", .latitude = 48.95393, .longitude = 4.36724},  // 51 Marne
    {.name = "Chaumont", .latitude = 48.11121, .longitude = 5.14134},              // 52 Haute-Marne
    {.name = "Laval (Mayenne)", .latitude = 48.07247, .longitude = -0.77019},      // 53 Mayenne
    {.name = "Nancy", .latitude = 48.68439, .longitude = 6.18496},                 // 54 Meurthe-et-Moselle
    {.name = "Bar-le-Duc", .latitude = 48.77275, .longitude = 5.16108},            // 55 Meuse
    {.name = "Vannes", .latitude = 47.65688, .longitude = -2.76205},               // 56 Morbihan
    {.name = "Metz", .latitude = 49.11911, .longitude = 6.17269},                  // 57 Moselle
    {.name = "Nevers", .latitude = 46.98956, .longitude = 3.159},                  // 58 Nièvre
    {.name = "Lille", .latitude = 50.63297, .longitude = 3.05858},                 // 59 Nord
    {.name = "Beauvais", .latitude = 49.43333, .longitude = 2.08333},              // 60 Oise
    {.name = "Alençon", .latitude = 48.43476, .longitude = 0.09311},               // 61 Orne
    {.name = "Arras", .latitude = 50.29301, .longitude = 2.78186},                 // 62 Pas-de-Calais
    {.name = "Clermont-Ferrand", .latitude = 45.77969, .longitude = 3.08682},      // 63 Puy-de-Dôme
    {.name = "Pau", .latitude = 43.31117, .longitude = -0.35583},                  // 64 Pyrénées-Atlantiques
    {.name = "Tarbes", .latitude = 43.23407, .longitude = 0.07139},                // 65 Hautes-Pyrénées
    {.name = "Perpignan", .latitude = 42.69764, .longitude = 2.89541},             // 66 Pyrénées-Orientales
    {.name = "Strasbourg", .latitude = 48.58392, .longitude = 7.74553},            // 67 Bas-Rhin
    {.name = "Colmar", .latitude = 48.08078, .longitude = 7.35584},                // 68 Haut-Rhin
    {.name = "Lyon", .latitude = 45.74846, .longitude = 4.84671},                  // 69 Rhône
    {.name = "Vesoul", .latitude = 47.62604, .longitude = 6.14251},                // 70 Haute-Saône
    {.name = "Mâcon", .latitude = 46.31407, .longitude = 4.82823},                 // 71 Saône-et-Loire
    {.name = "Le Mans", .latitude = 48.0021, .longitude = 0.20251},                // 72 Sarthe
    {.name = "Chambéry", .latitude = 45.56628, .longitude = 5.92079},              // 73 Savoie
    {.name = "Annecy", .latitude = 45.90878, .longitude = 6.12565},                // 74 Haute-Savoie
    {.name = "Paris", .latitude = 48.85341, .longitude = 2.3488},                  // 75 Paris
    {.name = "Rouen", .latitude = 49.44313, .longitude = 1.09932},                 // 76 Seine-Maritime
    {.name = "Melun", .latitude = 48.5457, .longitude = 2.65356},                  // 77 Seine-et-Marne
    {.name = "Versailles", .latitude = 48.80359, .longitude = 2.13424},            // 78 Yvelines
    {.name = "Niort", .latitude = 46.32313, .longitude = -0.45877},                // 79 Deux-Sèvres
    {.name = "Amiens", .latitude = 49.9, .longitude = 2.3},                        // 80 Somme
    {.name = "Albi", .latitude = 43.9298, .longitude = 2.148},                     // 81 Tarn
    {.name = "Montauban", .latitude = 44.01759, .longitude = 1.3542},              // 82 Tarn-et-Garonne
    {.name = "Toulon", .latitude = 43.12442, .longitude = 5.92836},                // 83 Var
    {.name = "Avignon", .latitude = 43.94834, .longitude = 4.80892},               // 84 Vaucluse
    {.name = "La Roche-sur-Yon", .latitude = 46.66974, .longitude = -1.42757},     // 85 Vendée
    {.name = "Poitiers", .latitude = 46.58261, .longitude = 0.34348},              // 86 Vienne
    {.name = "Limoges", .latitude = 45.83362, .longitude = 1.24759},               // 87 Haute-Vienne
    {.name = "Épinal", .latitude = 48.18324, .longitude = 6.45304},                // 88 Vosges
    {.name = "Auxerre", .latitude = 47.7996, .longitude = 3.57033},                // 89 Yonne
    {.name = "Belfort", .latitude = 47.64218, .longitude = 6.85385},               // 90 Territoire de Belfort
    {.name = "Évry-Courcouronnes", .latitude = 48.6328, .longitude = 2.44049},     // 91 Essonne
    {.name = "Nanterre", .latitude = 48.89198, .longitude = 2.20675},              // 92 Hauts-de-Seine
    {.name = "Bobigny", .latitude = 48.90982, .longitude = 2.45012},               // 93 Seine-Saint-Denis
    {.name = "Créteil", .latitude = 48.79266, .longitude = 2.46569},               // 94 Val-de-Marne
    {.name = "Cergy", .latitude = 49.03645, .longitude = 2.07613},                 // 95 Val-d'Oise
    // The overseas départements.
    {.name = "Basse-Terre", .latitude = 15.99714, .longitude = -61.73214},              // 971 Guadeloupe
    {.name = "Fort-de-France", .latitude = 14.60365, .longitude = -61.07418},           // 972 Martinique
    {.name = "Cayenne", .latitude = 4.93333, .longitude = -52.33333},                   // 973 Guyane
    {.name = "Saint-Denis (La Réunion)", .latitude = -20.88231, .longitude = 55.4504},  // 974 La Réunion
    {.name = "Mamoudzou", .latitude = -12.78234, .longitude = 45.22878},                // 976 Mayotte
    // The overseas collectivities that have a chef-lieu: Saint-Pierre-et-Miquelon, Saint-Barthélemy,
    // Saint-Martin, Wallis-et-Futuna, French Polynesia, New Caledonia.
    {.name = "Saint-Pierre (Saint-Pierre-et-Miquelon)",
     .latitude = 46.77914,
     .longitude = -56.1773},  // 975 Saint-Pierre-et-Miquelon
    {.name = "Gustavia",
     .latitude = 17.8958,
     .longitude = -62.8514,
     .source = "fr.wikipedia.org, Gustavia (Saint-Barthélemy): 17° 53′ 45″ N, 62° 51′ 05″ W"},  // 977 Saint-Barthélemy
    {.name = "Marigot",
     .latitude = 18.0731,
     .longitude = -63.0844,
     .source = "fr.wikipedia.org, Marigot (Saint-Martin): 18° 04′ 23″ N, 63° 05′ 04″ W"},  // 978 Saint-Martin
    {.name = "Mata-Utu", .latitude = -13.28163, .longitude = -176.17453},                  // 986 Wallis-et-Futuna
    {.name = "Papeete", .latitude = -17.53733, .longitude = -149.5665},                    // 987 Polynésie française
    {.name = "Nouméa", .latitude = -22.27407, .longitude = 166.44884},                     // 988 Nouvelle-Calédonie
    // Brussels, Luxembourg, Monaco, the chefs-lieux of the French-speaking Swiss cantons, Quebec City and
    // Montreal.
    {.name = "Bruxelles", .latitude = 50.85045, .longitude = 4.34878},  // Belgique
    {.name = "Luxembourg", .latitude = 49.61167, .longitude = 6.13},    // Luxembourg
    {.name = "Monaco", .latitude = 43.73333, .longitude = 7.41667},     // Monaco
    {.name = "Genève", .latitude = 46.20222, .longitude = 6.14569},     // canton de Genève
    {.name = "Lausanne", .latitude = 46.516, .longitude = 6.63282},     // canton de Vaud
    {.name = "Neuchâtel", .latitude = 46.99179, .longitude = 6.931},    // canton de Neuchâtel
    {.name = "Delémont",
     .latitude = 47.3653,
     .longitude = 7.3436,
     .source = "de.wikipedia.org, Delsberg: 47° 21′ 55″ N, 7° 20′ 37″ E"},  // canton du Jura
    {.name = "Fribourg", .latitude = 46.80237, .longitude = 7.15128},       // canton de Fribourg
    {.name = "Sion", .latitude = 46.22739, .longitude = 7.35559},           // canton du Valais
    {.name = "Québec", .latitude = 46.81228, .longitude = -71.21454},       // Québec
    {.name = "Montréal", .latitude = 45.50884, .longitude = -73.58781},     // Québec
};

// The base letter of a Latin-1 or Latin Extended-A letter with a diacritic, or 0.
char BaseLetter(char32_t c) {
    struct Accented {
        char32_t from, to;
        char base;
    };
    static constexpr Accented kRanges[] = {
        {U'À', U'Å', 'a'}, {U'à', U'å', 'a'}, {U'Ç', U'Ç', 'c'}, {U'ç', U'ç', 'c'}, {U'È', U'Ë', 'e'},
        {U'è', U'ë', 'e'}, {U'Ì', U'Ï', 'i'}, {U'ì', U'ï', 'i'}, {U'Ñ', U'Ñ', 'n'}, {U'ñ', U'ñ', 'n'},
        {U'Ò', U'Ö', 'o'}, {U'ò', U'ö', 'o'}, {U'Ø', U'Ø', 'o'}, {U'ø', U'ø', 'o'}, {U'Ù', U'Ü', 'u'},
        {U'ù', U'ü', 'u'}, {U'Ý', U'Ý', 'y'}, {U'ý', U'ý', 'y'}, {U'ÿ', U'ÿ', 'y'}, {U'Ÿ', U'Ÿ', 'y'},
    };
    for (const Accented& range : kRanges)
        if (c >= range.from && c <= range.to) return range.base;
    return 0;
}

}  // namespace

std::span<const PlaceRow> Places() { return kPlaceTable; }

std::string FoldedName(std::string_view text) {
    std::string folded;
    bool pendingBlank = false;
    const auto add = [&](std::string_view letters) {
        if (pendingBlank && !folded.empty()) folded += ' ';
        pendingBlank = false;
        folded += letters;
    };
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = NextCodePoint(text, at);
        if ((c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9')) {
            add(std::string(1, static_cast<char>(c)));
        } else if (c >= U'A' && c <= U'Z') {
            add(std::string(1, static_cast<char>(c - U'A' + U'a')));
        } else if (const char base = BaseLetter(c)) {
            add(std::string(1, base));
        } else if (c == U'œ' || c == U'Œ') {
            add("oe");
        } else if (c == U'æ' || c == U'Æ') {
            add("ae");
        } else {
            pendingBlank = true;
        }
    }
    return folded;
}

const PlaceRow* FindPlace(std::string_view typed) {
    const std::string wanted = FoldedName(typed);
    for (const PlaceRow& place : kPlaceTable)
        if (FoldedName(place.name) == wanted) return &place;
    return nullptr;
}

}  // namespace calendar
