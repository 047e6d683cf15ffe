#include <gtest/gtest.h>

#include "reminders/wishes.h"

#include <cstdlib>
#include <string>

namespace reminders {
namespace {

TEST(Wishes, GivenNamesAreWishedOnTheirNamesFoldedAndOnTheirParts) {
    struct Row {
        const char* given;
        const char* listName;
        bool wished;
    };
    const Row rows[] = {
        {"Camille", "Camille", true},
        {"Élodie", "Elodie", true},
        {"RÉMY", "remy", true},
        {"François", "Francois", true},
        {"Œdipe", "Oedipe", true},
        {"Ludmiła", "Ludmila", true},
        {"Jean-Pierre", "Jean", true},
        {"Jean-Pierre", "Pierre", true},
        {"Jean-Pierre", "jean-pierre", true},
        {"Marie Claire", "Claire", true},
        {"Jean", "Jean-Pierre", false},
        {"Jeanne", "Jean", false},
        {"Jean", "Jean de Dieu", false},
        {"", "", false},
        {"Jeanne d’Arc", "Jeanne d'Arc", true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(WishedOn(row.given, row.listName), row.wished) << row.given << " on " << row.listName;
}

TEST(Wishes, TheSentenceOfTheDay) {
    const std::vector<Person> people{
        {.name = "Camille Martin", .givenName = {}}, {.name = "Jean-Pierre Durand", .givenName = {}},
        {.name = "Camille Durand", .givenName = {}}, {.name = "Pierre-Camille Roy", .givenName = {}},
        {.name = "Camille Martin", .givenName = {}}, {.name = "Dr Paul Petit", .givenName = "Paul"},
        {.name = "Camillo Rossi", .givenName = {}},
    };
    struct Row {
        const char* entry;
        const char* wishes;
    };
    const Row rows[] = {
        {"Camille", "Bonne fête à Camille Martin, à Camille Durand et à Pierre-Camille Roy"},
        {"Pierre, Paul", "Bonne fête à Jean-Pierre Durand, à Pierre-Camille Roy et à Dr Paul Petit"},
        {" Jean ", "Bonne fête à Jean-Pierre Durand"},
        {"Rémi, Remy", ""},
        {"", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(NameDayWishes(row.entry, people), row.wishes) << row.entry;
}

TEST(Wishes, BirthdaysOfTheDay) {
    const std::vector<agendas::Birthday> contacts{
        {.name = "Léa Martin", .month = 12, .day = 10, .year = 1992},
        {.name = "Élodie", .month = 12, .day = 10, .year = 2025},
        {.name = "Paul Durand", .month = 12, .day = 10, .year = std::nullopt},
        {.name = "Bébé", .month = 12, .day = 10, .year = 2026},
        {.name = "Yves", .month = 2, .day = 29, .year = 2000},
        {.name = "Hugo", .month = 12, .day = 11, .year = 1990},
    };
    struct Row {
        agendas::LocalDate today;
        const char* wishes;
    };
    const Row rows[] = {
        {{2026, 12, 10}, "Anniversaire de Léa Martin (34 ans), d'Élodie (1 an) et de Paul Durand"},
        {{2027, 2, 28}, "Anniversaire d'Yves (27 ans)"},
        {{2028, 2, 28}, ""},
        {{2028, 2, 29}, "Anniversaire d'Yves (28 ans)"},
        {{2026, 12, 9}, ""},
    };
    for (const Row& row : rows) EXPECT_EQ(BirthdayWishes(contacts, row.today), row.wishes) << row.wishes;
}

// 09 h 00 on the local clock, on days whose clock changes before that hour: in Paris at
// 02 h 00 or 03 h 00, in Santiago at midnight. Instants from Python's zoneinfo:
// datetime(2027, 3, 28, 9, tzinfo=ZoneInfo("Europe/Paris")).timestamp().
TEST(Wishes, TheHourOfTheWishesOnTheLocalClock) {
    struct Row {
        const char* zone;
        agendas::LocalDate day;
        calendar::UnixSeconds at;
    };
    const Row rows[] = {
        {"Europe/Paris", {2026, 12, 10}, 1796889600},   {"Europe/Paris", {2027, 3, 28}, 1806217200},
        {"Europe/Paris", {2027, 10, 31}, 1824969600},   {"America/Santiago", {2026, 9, 6}, 1788696000},
        {"America/Santiago", {2026, 4, 5}, 1775394000},
    };
    const char* const kept = std::getenv("TZ");
    const std::string keptZone = kept ? kept : "";
    for (const Row& row : rows) {
        setenv("TZ", row.zone, 1);
        calendar::RefreshLocalZone();
        EXPECT_EQ(WishingTime(row.day), row.at) << row.zone << " " << row.day.month << "-" << row.day.day;
    }
    if (kept) {
        setenv("TZ", keptZone.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    calendar::RefreshLocalZone();
}

}  // namespace
}  // namespace reminders
