#include "calendar/holidays.h"

#include "calendar/easter.h"

namespace calendar {

// Display order, top to bottom: New Year, Easter, Easter Monday, Labour Day, the
// victory of 1945, Ascension, Whit Monday, the national day, the Assumption, All
// Saints, the armistice of 1918 and Christmas. The two victories are shown from the
// year of the first anniversary of each. The public holidays are those of the
// French labour code (Code du travail, article L3133-1), with Easter Sunday, which
// the panel shows beside its Monday; the names are written as French writes them,
// the captions as the panel has always written them, short forms and old spellings
// included.
// clang-format off
const std::array<HolidayRow, 12> kHolidayTable = {{
    {.caption = "Nouvel an", .name = "Jour de l'an", .key = "jour-de-l-an",
     .followsEaster = false, .month = 1, .day = 1, .daysAfterEaster = 0,
     .pattern = "dddd dd mmmm ", .shownFromYear = 0},
    {.caption = "Pâcques", .name = "Pâques", .key = "paques",
     .followsEaster = true, .month = 0, .day = 0, .daysAfterEaster = 0,
     .pattern = "dddd dd mmmm ", .shownFromYear = 0},
    {.caption = "Lundi de Pâques", .name = "Lundi de Pâques", .key = "lundi-de-paques",
     .followsEaster = true, .month = 0, .day = 0, .daysAfterEaster = 1,
     .pattern = "dddd dd mmmm", .shownFromYear = 0},
    {.caption = "Fête du travail", .name = "Fête du Travail", .key = "fete-du-travail",
     .followsEaster = false, .month = 5, .day = 1, .daysAfterEaster = 0,
     .pattern = "dddd dd mmmm ", .shownFromYear = 0},
    {.caption = "Victoire 1945", .name = "Victoire 1945", .key = "victoire-1945",
     .followsEaster = false, .month = 5, .day = 8, .daysAfterEaster = 0,
     .pattern = "dddd dd mmmm ", .shownFromYear = 1946},
    {.caption = "Ascension", .name = "Ascension", .key = "ascension",
     .followsEaster = true, .month = 0, .day = 0, .daysAfterEaster = 39,
     .pattern = "dddd dd mmmm", .shownFromYear = 0},
    {.caption = "Lun de Pentecôte", .name = "Lundi de Pentecôte", .key = "lundi-de-pentecote",
     .followsEaster = true, .month = 0, .day = 0, .daysAfterEaster = 50,
     .pattern = "dddd dd mmmm ", .shownFromYear = 0},
    {.caption = "Fête Nationale", .name = "Fête nationale", .key = "fete-nationale",
     .followsEaster = false, .month = 7, .day = 14, .daysAfterEaster = 0,
     .pattern = "dddd dd mmmm ", .shownFromYear = 0},
    {.caption = "Assomption", .name = "Assomption", .key = "assomption",
     .followsEaster = false, .month = 8, .day = 15, .daysAfterEaster = 0,
     .pattern = "dddd dd mmmm ", .shownFromYear = 0},
    {.caption = "Toussaint", .name = "Toussaint", .key = "toussaint",
     .followsEaster = false, .month = 11, .day = 1, .daysAfterEaster = 0,
     .pattern = "dddd dd mmm ", .shownFromYear = 0},
    {.caption = "Armistice 1918", .name = "Armistice 1918", .key = "armistice-1918",
     .followsEaster = false, .month = 11, .day = 11, .daysAfterEaster = 0,
     .pattern = "dddd dd mmm ", .shownFromYear = 1919},
    {.caption = "Noël", .name = "Noël", .key = "noel",
     .followsEaster = false, .month = 12, .day = 25, .daysAfterEaster = 0,
     .pattern = "dddd dd mmm ", .shownFromYear = 0},
}};
// clang-format on

SerialDate HolidayDate(const HolidayRow& row, Int16 year, SerialDate easter) {
    // Whole days added to Easter keep its time of day, and Easter has none.
    if (row.followsEaster) return easter + row.daysAfterEaster;
    return MakeDate(year, row.month, row.day);
}

bool HolidayValueVisible(const HolidayRow& row, Int16 year) {
    return row.shownFromYear == 0 || year >= row.shownFromYear;
}

std::vector<std::string_view> HolidaysOn(Int16 year, SerialDate date) {
    const SerialDate easter = EasterSunday(year);
    std::vector<std::string_view> names;
    for (const HolidayRow& row : kHolidayTable) {
        if (HolidayValueVisible(row, year) && HolidayDate(row, year, easter) == date) names.push_back(row.name);
    }
    return names;
}

}  // namespace calendar
