#include "calendar/holidays.h"

namespace calendar {

// Display order, top to bottom. The captions are shown as they are written here,
// "Pâcques" included. The value labels of the two victories are hidden in the years
// before the first anniversary of each.
const std::array<HolidayRow, 12> kHolidayTable = {{
    // caption label, caption, value label, follows Easter, month, day, days after Easter, pattern, shown from
    {"Label9", "Nouvel an :", "Label10", false, 1, 1, 0, "dddd dd mmmm ", 0},
    {"Label7", "Pâcques :", "Label5", true, 0, 0, 0, "dddd dd mmmm ", 0},
    {"Label11", "Lundi de Pâques :", "Label12", true, 0, 0, 1, "dddd dd mmmm", 0},
    {"Label13", "Fête du travail :", "Label14", false, 5, 1, 0, "dddd dd mmmm ", 0},
    {"Label15", "Victoire 1945 :", "Label16", false, 5, 8, 0, "dddd dd mmmm ", 1946},
    {"Label17", "Ascension :", "Label18", true, 0, 0, 39, "dddd dd mmmm", 0},
    {"Label19", "Lun de Pentecôte :", "Label20", true, 0, 0, 50, "dddd dd mmmm ", 0},
    {"Label21", "Fête Nationale :", "Label22", false, 7, 14, 0, "dddd dd mmmm ", 0},
    {"Label23", "Assomption :", "Label24", false, 8, 15, 0, "dddd dd mmmm ", 0},
    {"Label25", "Toussaint :", "Label26", false, 11, 1, 0, "dddd dd mmm ", 0},
    {"Label27", "Armistice 1918 :", "Label28", false, 11, 11, 0, "dddd dd mmm ", 1919},
    {"Label29", "Noël :", "Label30", false, 12, 25, 0, "dddd dd mmm ", 0},
}};

SerialDate HolidayDate(const HolidayRow& row, Int16 year, SerialDate easter) {
    // Whole days added to Easter keep its time of day, and Easter has none.
    if (row.followsEaster) return easter + row.daysAfterEaster;
    return MakeDate(year, row.month, row.day);
}

bool HolidayValueVisible(const HolidayRow& row, Int16 year) {
    return row.shownFromYear == 0 || year >= row.shownFromYear;
}

}  // namespace calendar
