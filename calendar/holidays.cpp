#include "calendar/holidays.h"

#include "calendar/easter.h"

namespace calendar {

// Display order, top to bottom: New Year, Easter, Easter Monday, Labour Day, the
// victory of 1945, Ascension, Whit Monday, the national day, the Assumption, All
// Saints, the armistice of 1918 and Christmas. The two victories are shown from the
// year of the first anniversary of each.
const std::array<HolidayRow, 12> kHolidayTable = {{
    // name, follows Easter, month, day, days after Easter, pattern, shown from
    {"Nouvel an", false, 1, 1, 0, "dddd dd mmmm ", 0},
    {"Pâcques", true, 0, 0, 0, "dddd dd mmmm ", 0},
    {"Lundi de Pâques", true, 0, 0, 1, "dddd dd mmmm", 0},
    {"Fête du travail", false, 5, 1, 0, "dddd dd mmmm ", 0},
    {"Victoire 1945", false, 5, 8, 0, "dddd dd mmmm ", 1946},
    {"Ascension", true, 0, 0, 39, "dddd dd mmmm", 0},
    {"Lun de Pentecôte", true, 0, 0, 50, "dddd dd mmmm ", 0},
    {"Fête Nationale", false, 7, 14, 0, "dddd dd mmmm ", 0},
    {"Assomption", false, 8, 15, 0, "dddd dd mmmm ", 0},
    {"Toussaint", false, 11, 1, 0, "dddd dd mmm ", 0},
    {"Armistice 1918", false, 11, 11, 0, "dddd dd mmm ", 1919},
    {"Noël", false, 12, 25, 0, "dddd dd mmm ", 0},
}};

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
