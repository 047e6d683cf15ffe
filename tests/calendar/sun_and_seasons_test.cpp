// The sun's rising and setting, and the seasons, against PyEphem (python3-ephem): its
// sun comes from the full VSOP87 theory with its own nutation, sidereal time and ΔT,
// and it finds each event by its own search. The places' and the towns' coordinates
// and names against GeoNames, and a sample of the places against the towns of tzdata.
//
// Both define sunrise alike: the sun's centre 50′ below the horizon seen from the
// earth's centre (PyEphem without refraction, its topocentric horizon lowered by the
// sun's 8.8″ of parallax). Each local day is compared whole: the same rises and sets in
// the same order, each within a minute, or none and the sun on the same side of the
// horizon. An event within a minute of midnight may fall on either side of it, and is
// left out. On a day the sun passes within kGrazingDegrees of the horizon at its
// highest or lowest, near the polar circles, an arc-second of its place moves the events
// by minutes, or makes a rise and a set a few minutes apart appear or vanish: such a
// day may differ, and is counted instead.
//
// Where a place's days follow one another, the change of the day's length from the
// day before, « (+1 min) », « (=) », is the change of PyEphem's lengths rounded to the
// minute, except within kHalfMinuteSeconds of a half-minute, where it may round either
// way: each side's instants are whole seconds, so that each side's change may be 2 s
// off, and the theories differ by a second or two. Near the solstices the length
// changes by seconds a day: a change reckoned from lengths already rounded would swing
// between +1 and −1 from day to day.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "calendar/places.h"
#include "calendar/seasons.h"
#include "calendar/sunrise_sunset.h"
#include "tests/calendar/oracle_support.h"
#include "tests/calendar/sweep_support.h"

namespace calendar {
namespace {

using namespace std::chrono;

constexpr long kToleranceSeconds = 60;
constexpr double kGrazingDegrees = 0.05;
constexpr long kHalfMinuteSeconds = 5;

struct SunRequest {
    Coordinates place;
    std::string zone;  // a zoneinfo key, or a fixed offset as TZ writes it
    year_month_day date;
};

// France's time for Europe, else a fixed offset near the place's own meridian: both
// sides read the day in the same zone, whatever it is.
SunRequest RequestFor(Coordinates place, year_month_day date) {
    if (place.longitude > -10 && place.longitude < 20 && place.latitude > 35) return {place, "Europe/Paris", date};
    const int hours = static_cast<int>(std::lround(place.longitude / 15));
    char zone[32];
    std::snprintf(zone, sizeof zone, "<%+03d>%+d", hours, -hours);
    return {place, zone, date};
}

year_month_day DayFrom1900(long index) { return year_month_day{sys_days{1900y / 1 / 1} + days{index % 73'414}}; }

struct SunComparison {
    int grazingDays = 0, polarDays = 0, polarNights = 0;
    long largest = 0;  // seconds, on the days compared strictly
    int changes = 0;   // the changes from the day before compared
};

// PyEphem's length of the local day: the time its answer has the sun up.
long LengthOfDay(const std::vector<std::string>& fields, const LocalDay& day) {
    bool up = fields.at(0) == "1";
    UnixSeconds since = day.start;
    long length = 0;
    for (std::size_t f = 2; f < fields.size(); ++f) {
        const UnixSeconds instant = std::stoll(fields[f].substr(1));
        if (up) length += static_cast<long>(instant - since);
        since = instant;
        up = fields[f][0] == 'R';
    }
    return up ? length + static_cast<long>(day.end - since) : length;
}

SunComparison CompareWithPyEphem(const std::vector<SunRequest>& requests, const std::string& fileName) {
    {
        std::ofstream file(fileName);
        for (const SunRequest& request : requests)
            file << request.place.latitude << '|' << request.place.longitude << '|' << request.zone << '|'
                 << test::DateText(request.date) << '\n';
    }
    const std::vector<std::string> answers = test::OracleLines("sun " + fileName);
    EXPECT_EQ(answers.size(), requests.size());
    SunComparison comparison;
    test::MismatchLog log;
    std::vector<std::optional<long>> lengths(requests.size());  // PyEphem's, on the days compared whole
    for (std::size_t i = 0; i < std::min(answers.size(), requests.size()); ++i) {
        const SunRequest& request = requests[i];
        const auto fields = test::Fields(answers[i]);
        const test::ZoneForTest zone(request.zone);
        const int y = int(request.date.year()), m = int(unsigned(request.date.month())),
                  d = int(unsigned(request.date.day()));
        const SunOfDay ours = SunOn(y, m, d, request.place);
        const LocalDay day = LocalDayOf(y, m, d);
        const auto kept = [&](UnixSeconds t) {
            return t - day.start >= kToleranceSeconds && day.end - t > kToleranceSeconds;
        };
        std::vector<std::pair<char, UnixSeconds>> mine, theirs;
        for (const SunEvent& event : ours.events)
            if (kept(event.instant)) mine.emplace_back(event.kind == SunEventKind::Rise ? 'R' : 'S', event.instant);
        for (std::size_t f = 2; f < fields.size(); ++f)
            if (kept(std::stoll(fields[f].substr(1))))
                theirs.emplace_back(fields[f][0], std::stoll(fields[f].substr(1)));
        bool same = mine.size() == theirs.size() &&
                    (!ours.events.empty() || (ours.course == SunCourse::UpAllDay) == (fields.at(0) == "1"));
        long largest = 0;
        for (std::size_t e = 0; same && e < mine.size(); ++e) {
            same = mine[e].first == theirs[e].first;
            largest = std::max(largest, std::labs(static_cast<long>(mine[e].second - theirs[e].second)));
        }
        comparison.polarDays += ours.course == SunCourse::UpAllDay;
        comparison.polarNights += ours.course == SunCourse::DownAllDay;
        const double margin = std::stod(fields.at(1));
        if (same && largest <= kToleranceSeconds) {
            comparison.largest = std::max(comparison.largest, largest);
            if (mine.size() == ours.events.size() && theirs.size() == fields.size() - 2)
                lengths[i] = LengthOfDay(fields, day);
            const SunRequest* before = i > 0 ? &requests[i - 1] : nullptr;
            if (before == nullptr || !lengths[i] || !lengths[i - 1] ||
                before->place.latitude != request.place.latitude ||
                before->place.longitude != request.place.longitude || before->zone != request.zone ||
                sys_days{before->date} + days{1} != sys_days{request.date})
                continue;
            const long change = *lengths[i] - *lengths[i - 1];
            if (std::labs(std::labs(change) % 60 - 30) < kHalfMinuteSeconds) continue;
            ++comparison.changes;
            const long minutes = (std::labs(change) + 30) / 60 * (change < 0 ? -1 : 1);
            if (ours.changeMinutes != minutes)
                log.Record(test::DateText(request.date) + " at " + std::to_string(request.place.latitude) + " " +
                           std::to_string(request.place.longitude) + " (" + request.zone + "): " + SunSentence(ours) +
                           "; PyEphem's day is " + std::to_string(change) + " s longer than the day before");
        } else if (margin >= 0 && margin < kGrazingDegrees)
            ++comparison.grazingDays;
        else
            log.Record(test::DateText(request.date) + " at " + std::to_string(request.place.latitude) + " " +
                       std::to_string(request.place.longitude) + " (" + request.zone + "): " + SunSentence(ours) +
                       "; PyEphem " + answers[i]);
    }
    EXPECT_EQ(log.count(), 0);
    std::printf(
        "%zu days (%d polar days, %d polar nights), %d grazing; largest difference from PyEphem: %ld s; "
        "%d changes of the day's length\n",
        requests.size(), comparison.polarDays, comparison.polarNights, comparison.grazingDays, comparison.largest,
        comparison.changes);
    testing::Test::RecordProperty("largest_difference_seconds", static_cast<int>(comparison.largest));
    return comparison;
}

// A hundred days of 1900–2100 for each place; every day of 2024 in Strasbourg in
// France's time, its two changes of time included; every day of 2025 in Cayenne, near
// the equator, where the day's length changes by less than half a minute all year,
// and in Nouméa, beyond the southern tropic.
TEST(SunTest, EveryPlaceOnAHundredDaysFrom1900To2100) {
    std::vector<SunRequest> requests;
    long index = 0;
    for (const PlaceRow& row : Places())
        for (int sample = 0; sample < 100; ++sample)
            requests.push_back(RequestFor(CoordinatesOf(row), DayFrom1900(7'919 * index++)));
    for (sys_days day = sys_days{2024y / 1 / 1}; day <= sys_days{2024y / 12 / 31}; day += days{1})
        requests.push_back({CoordinatesOf(*FindPlace("Strasbourg")), "Europe/Paris", year_month_day{day}});
    for (const char* place : {"Cayenne", "Nouméa"})
        for (sys_days day = sys_days{2025y / 1 / 1}; day <= sys_days{2025y / 12 / 31}; day += days{1})
            requests.push_back(RequestFor(CoordinatesOf(*FindPlace(place)), year_month_day{day}));
    const SunComparison comparison = CompareWithPyEphem(requests, "sun_places.txt");
    EXPECT_EQ(comparison.grazingDays, 0);
    EXPECT_GT(comparison.changes, 900);
}

// Every 5° of latitude from 70° south to 70° north at longitudes all round, on days of
// 1900–2100; and every day of 2025 near the polar circles, where the polar days and
// nights begin and end.
TEST(SunTest, LatitudesUpTo70DegreesNorthAndSouth) {
    std::vector<SunRequest> requests;
    long index = 0;
    for (int latitude = -70; latitude <= 70; latitude += 5, ++index)
        for (int sample = 0; sample < 60; ++sample, ++index)
            requests.push_back(
                RequestFor({double(latitude), double((index * 137) % 360 - 180)}, DayFrom1900(6'113 * index)));
    for (const double latitude : {64.0, 65.5, 66.5, 67.5, 69.0, 70.0, -64.0, -65.5, -66.5, -67.5, -69.0, -70.0})
        for (sys_days day = sys_days{2025y / 1 / 1}; day <= sys_days{2025y / 12 / 31}; day += days{1})
            requests.push_back(RequestFor({latitude, latitude * 2.5}, year_month_day{day}));
    const SunComparison comparison = CompareWithPyEphem(requests, "sun_latitudes.txt");
    EXPECT_LE(comparison.grazingDays, static_cast<int>(requests.size() / 200));
    EXPECT_GT(comparison.polarDays, 200);
    EXPECT_GT(comparison.polarNights, 200);
    EXPECT_GT(comparison.changes, 3'000);
}

// Every season from 1583 to 2200 within a minute of PyEphem's, on the day SeasonOn gives
// it in Paris, named for the hemisphere, and no other day with one. Two instants a few
// seconds apart can still lie on either side of midnight: a season within the tolerance
// of midnight may fall on the day before or after PyEphem's.
TEST(SeasonsTest, EverySeasonFrom1583To2200AgreesWithPyEphemInParis) {
    const test::ZoneForTest zone("Europe/Paris");
    std::map<std::string, std::pair<int, UnixSeconds>> byDay;  // the local day: the season and its instant
    test::MismatchLog log;
    long largest = 0;
    int year = 1583 * 4;
    for (const std::string& line : test::OracleLines("seasons 1583 2200")) {
        const auto fields = test::Fields(line);
        const int kind = std::stoi(fields.at(0));
        const UnixSeconds instant = std::stoll(fields.at(1));
        const long difference = std::labs(static_cast<long>(SeasonInstant(year++ / 4, Season(kind)) - instant));
        largest = std::max(largest, difference);
        if (difference > kToleranceSeconds) log.Record(line + ": " + std::to_string(difference) + " s off");
        const LocalReading local = LocalReadingOf(instant);
        byDay[test::DateText(local.year, local.month, local.day)] = {kind, instant};
    }
    EXPECT_EQ(byDay.size(), 4u * (2200 - 1583 + 1));
    const auto nearMidnight = [](int hour, int minute) { return hour * 60 + minute < 2 || hour * 60 + minute > 1437; };
    std::size_t ourDays = 0;
    for (sys_days day = sys_days{1583y / 1 / 1}; day <= sys_days{2200y / 12 / 31}; day += days{1}) {
        const year_month_day date{day};
        const int y = int(date.year()), m = int(unsigned(date.month())), d = int(unsigned(date.day()));
        const auto north = SeasonOn(y, m, d, 48.85), south = SeasonOn(y, m, d, -22.27);
        const auto theirs = byDay.find(test::DateText(date));
        ourDays += north.has_value();
        if (!north && theirs == byDay.end()) continue;
        const LocalReading local = theirs == byDay.end() ? LocalReading{} : LocalReadingOf(theirs->second.second);
        if (!north || theirs == byDay.end()) {
            if (!(north ? nearMidnight(north->hour, north->minute) : nearMidnight(local.hour, local.minute)))
                log.Record(test::DateText(date) + ": " + (north ? SeasonSentence(*north) : "none") + "; PyEphem " +
                           (north ? "none" : std::to_string(theirs->second.first)));
            continue;
        }
        const SeasonRow& row = kSeasonTable[theirs->second.first];
        if (int(north->season) != theirs->second.first || north->name != row.northName || !south ||
            south->name != row.southName ||
            std::abs(north->hour * 60 + north->minute - local.hour * 60 - local.minute) > 1)
            log.Record(test::DateText(date) + ": " + SeasonSentence(*north) + ", in the south " +
                       (south ? SeasonSentence(*south) : "none") + "; PyEphem " + std::to_string(local.hour) + ":" +
                       std::to_string(local.minute));
    }
    EXPECT_EQ(log.count(), 0);
    EXPECT_EQ(ourDays, byDay.size());
    RecordProperty("largest_difference_seconds", static_cast<int>(largest));
    std::printf("largest difference from PyEphem: %ld s\n", largest);
}

// Every row that names GeoNames as its source is one of libgeonames0's towns, to 10⁻⁴°.
TEST(PlacesTest, EveryGeoNamesRowIsOneOfTheLibrarysTowns) {
    const std::map<std::string, std::string> kGeoNamesNames = {// in English, or without accents
                                                               {"bruxelles", "brussels"},
                                                               {"geneve", "geneva"},
                                                               {"evry courcouronnes", "evry"}};
    std::multimap<std::string, Coordinates> towns;
    for (const std::string& line : test::OracleLines("geonames")) {
        const auto fields = test::Fields(line);
        towns.emplace(FoldedName(fields.at(0)), Coordinates{std::stod(fields.at(2)), std::stod(fields.at(3))});
    }
    int checked = 0;
    for (const PlaceRow& place : Places()) {
        if (place.source != kGeoNamesSource) continue;
        ++checked;
        std::string name = FoldedName(place.name.substr(0, place.name.find(" (")));
        if (kGeoNamesNames.contains(name)) name = kGeoNamesNames.at(name);
        bool found = false;
        for (auto [town, end] = towns.equal_range(name); town != end; ++town)
            found = found || (std::abs(town->second.latitude - place.latitude) < 1e-4 &&
                              std::abs(town->second.longitude - place.longitude) < 1e-4);
        EXPECT_TRUE(found) << place.name << " is no town of GeoNames at " << place.latitude << " " << place.longitude;
    }
    EXPECT_EQ(checked, 112);
}

std::string FoldedBeforeBracket(std::string_view name) { return FoldedName(name.substr(0, name.find(" ("))); }

// Every town that libgeonames0 keeps where French is spoken by the state is a row of
// the places' table (the same name within 0.1°) or a town, under the library's French
// name, bracketed by its region or its country if at all, at its coordinates to
// 10⁻⁵°; a town left out is the namesake of a town kept in the same region; and every
// town is one of the library's.
TEST(PlacesTest, EveryTownWhereFrenchIsSpokenIsOneOfTheLibrarys) {
    const std::set<std::string> kCountries = {"FR", "GP", "MQ", "GF", "RE", "YT", "PM", "BL", "MF", "WF",
                                              "PF", "NC", "BE", "CH", "LU", "MC", "CA", "HT", "VU", "SC",
                                              "BJ", "BF", "BI", "CM", "CF", "TD", "KM", "CI", "CD", "CG",
                                              "DJ", "GQ", "GA", "GN", "MG", "ML", "NE", "RW", "SN", "TG"};
    std::multimap<std::string, PlaceRow> inTable, towns;  // by the folded name before the bracket
    for (const PlaceRow& place : Places()) inTable.emplace(FoldedBeforeBracket(place.name), place);
    for (const PlaceRow& town : Towns()) towns.emplace(FoldedBeforeBracket(town.name), town);
    const auto near = [](const PlaceRow& place, double latitude, double longitude, double within) {
        return std::abs(place.latitude - latitude) < within && std::abs(place.longitude - longitude) < within;
    };
    std::set<std::string_view> met;
    std::set<std::string> keptKeys;                            // folded name|country|region of a town found
    std::vector<std::pair<std::string, std::string>> leftOut;  // key, line
    for (const std::string& line : test::OracleLines("geonames fr")) {
        const auto fields = test::Fields(line);  // NAME|CODE|LATITUDE|LONGITUDE|REGION|COUNTRY
        if (!kCountries.contains(fields.at(1))) continue;
        const std::string& name = fields[0];
        const double latitude = std::stod(fields.at(2)), longitude = std::stod(fields.at(3));
        bool found = false;
        for (auto [place, end] = inTable.equal_range(FoldedName(name)); place != end; ++place)
            found = found || near(place->second, latitude, longitude, 0.1);
        if (found) continue;
        const std::string key = FoldedName(name) + "|" + fields[1] + "|" + fields.at(4);
        for (auto [town, end] = towns.equal_range(FoldedBeforeBracket(name)); town != end; ++town) {
            const std::string_view shown = town->second.name;
            if (near(town->second, latitude, longitude, 6e-6) &&
                (shown == name || shown == name + " (" + fields[4] + ")" ||
                 shown == name + " (" + fields.at(5) + ")")) {
                met.insert(shown);
                keptKeys.insert(key);
                found = true;
            }
        }
        if (!found) leftOut.emplace_back(key, line);
    }
    for (const auto& [key, line] : leftOut) EXPECT_TRUE(keptKeys.contains(key)) << line << " is no town";
    EXPECT_EQ(met.size(), Towns().size()) << "towns that are none of the library's";
    EXPECT_GT(met.size(), 1'500u);
}

// Degrees of an ISO 6709 angle as tzdata writes it, ±DDMM[SS] or ±DDDMM[SS].
double DegreesOf(const std::string& angle, std::size_t degreeDigits) {
    const auto part = [&](std::size_t at) { return at + 2 <= angle.size() ? std::stod(angle.substr(at, 2)) : 0.0; };
    const double degrees =
        std::stod(angle.substr(1, degreeDigits)) + part(1 + degreeDigits) / 60 + part(3 + degreeDigits) / 3'600;
    return angle[0] == '-' ? -degrees : degrees;
}

// A sample of the places against a second source: the coordinates tzdata's zone.tab
// gives each zone's town, to the arc-minute, for the zones whose town is the place
// (Martinique's is Fort-de-France, La Réunion's Saint-Denis, Tahiti's Papeete,
// Mayotte's Mamoudzou). America/Miquelon, whose town is Saint-Pierre, gives a point
// 30 km from it, and America/Guadeloupe's town is Pointe-à-Pitre: neither is here.
// Within 0.05°: tzdata's point of a town may lie two arc-minutes from GeoNames's
// (Monaco's), while a wrong digit, sign or town lies farther; 0.05° of longitude is
// 12 s of sunrise.
TEST(PlacesTest, ASampleAgreesWithTheTownsOfTzdata) {
    const struct {
        const char *place, *zone;
    } rows[] = {{"Paris", "Europe/Paris"},
                {"Bruxelles", "Europe/Brussels"},
                {"Luxembourg", "Europe/Luxembourg"},
                {"Monaco", "Europe/Monaco"},
                {"Fort-de-France", "America/Martinique"},
                {"Cayenne", "America/Cayenne"},
                {"Saint-Denis (La Réunion)", "Indian/Reunion"},
                {"Mamoudzou", "Indian/Mayotte"},
                {"Marigot", "America/Marigot"},
                {"Papeete", "Pacific/Tahiti"},
                {"Nouméa", "Pacific/Noumea"}};
    std::map<std::string, Coordinates> towns;  // by zone
    std::ifstream file("/usr/share/zoneinfo/zone.tab");
    ASSERT_TRUE(file) << "tzdata's zone.tab is not in /usr/share/zoneinfo";
    for (std::string line; std::getline(file, line);) {
        const auto fields = test::Fields(line.starts_with('#') ? "" : line, '\t');
        if (fields.size() < 3) continue;
        const std::size_t longitude = fields[1].find_first_of("+-", 1);
        towns[fields[2]] = {DegreesOf(fields[1].substr(0, longitude), 2), DegreesOf(fields[1].substr(longitude), 3)};
    }
    for (const auto& row : rows) {
        const PlaceRow* place = FindPlace(row.place);
        ASSERT_NE(place, nullptr) << row.place;
        ASSERT_TRUE(towns.contains(row.zone)) << row.zone << " is not in zone.tab";
        const Coordinates town = towns.at(row.zone);
        EXPECT_NEAR(place->latitude, town.latitude, 0.05) << row.place;
        EXPECT_NEAR(place->longitude, town.longitude, 0.05) << row.place;
    }
}

}  // namespace
}  // namespace calendar
